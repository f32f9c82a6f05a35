#include "WavWriter.h"

#include <QtEndian>
#include <cmath>
#include <numbers>

namespace {

template <typename T> void appendLittleEndian(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

double frequencyOf(int midiKey) {
    return 440.0 * std::pow(2.0, (midiKey - 69) / 12.0);
}

// A plucked sound: a quick attack, an exponential decay, and two quieter overtones.
double voice(double frequency, double seconds) {
    const double attack = std::min(1.0, seconds / 0.01);
    const double decay = std::exp(-3.0 * seconds);
    const double phase = 2 * std::numbers::pi * frequency * seconds;
    return attack * decay *
           (std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase)) / 1.4;
}

} // namespace

std::vector<std::int16_t> synthesizeTune(const Tune& tune, int sampleRate) {
    std::vector<std::int16_t> samples;
    const double secondsPerBeat = 60.0 / tune.beatsPerMinute;
    for (const Note& note : tune.notes) {
        const auto length = static_cast<std::size_t>(note.beats * secondsPerBeat * sampleRate);
        for (std::size_t index = 0; index < length; ++index) {
            const double seconds = static_cast<double>(index) / sampleRate;
            // The last 5 ms fade out so that notes join without a click.
            const double release = std::min(1.0, (length - index) / (0.005 * sampleRate));
            const double value =
                note.midiKey == 0 ? 0.0 : voice(frequencyOf(note.midiKey), seconds) * release;
            samples.push_back(static_cast<std::int16_t>(std::lround(value * 0.6 * 32767)));
        }
    }
    return samples;
}

QByteArray writeWav(const std::vector<std::int16_t>& samples, int sampleRate) {
    constexpr std::uint16_t channels = 1;
    constexpr std::uint16_t bitsPerSample = 16;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    QByteArray out("RIFF");
    appendLittleEndian(out, std::uint32_t(36 + dataSize));
    out += "WAVEfmt ";
    appendLittleEndian(out, std::uint32_t(16));
    appendLittleEndian(out, std::uint16_t(1)); // PCM
    appendLittleEndian(out, channels);
    appendLittleEndian(out, static_cast<std::uint32_t>(sampleRate));
    appendLittleEndian(out, static_cast<std::uint32_t>(sampleRate * channels * bitsPerSample / 8));
    appendLittleEndian(out, static_cast<std::uint16_t>(channels * bitsPerSample / 8));
    appendLittleEndian(out, bitsPerSample);
    out += "data";
    appendLittleEndian(out, dataSize);
    for (const std::int16_t sample : samples) {
        appendLittleEndian(out, sample);
    }
    return out;
}
