// Writes 16-bit PCM WAV files and synthesizes the short tunes stored in them.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

struct Note {
    int midiKey = 69; // 69 is A4 (440 Hz); 0 is a rest
    double beats = 1.0;
};

struct Tune {
    std::vector<Note> notes;
    int beatsPerMinute = 100;
};

// Mono samples at `sampleRate`: a soft plucked voice playing the tune once.
std::vector<std::int16_t> synthesizeTune(const Tune& tune, int sampleRate);

// A RIFF/WAVE file holding mono 16-bit samples.
QByteArray writeWav(const std::vector<std::int16_t>& samples, int sampleRate);
