// Music, ringtones and a short film: WAV tunes synthesized here and a Motion-JPEG AVI that
// pans across one of the city pictures.
#include "AviWriter.h"
#include "CityPicture.h"
#include "JpegBytes.h"
#include "SamplePhone.h"
#include "WavWriter.h"

#include <QTimeZone>

namespace {

constexpr int sampleRate = 22050;

QDateTime moscowTime(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone(3 * 3600));
}

// Notes as MIDI keys, each one beat long unless written as {key, beats}.
Tune tune(int beatsPerMinute, std::vector<Note> notes) {
    return {std::move(notes), beatsPerMinute};
}

void writeTune(const SampleTree& tree, const QString& relativePath, const Tune& tune,
               const QDateTime& modified) {
    tree.writeFile(relativePath, writeWav(synthesizeTune(tune, sampleRate), sampleRate), modified);
}

} // namespace

void writeSampleMusic(const SampleTree& tree) {
    writeTune(tree, "Music/Morning tune.wav",
              tune(112, {{60},
                         {64},
                         {67},
                         {72, 2},
                         {71},
                         {67},
                         {64},
                         {65, 2},
                         {69},
                         {72},
                         {77, 2},
                         {76},
                         {72},
                         {67},
                         {72, 3}}),
              moscowTime(2023, 11, 3, 8, 15));
    writeTune(tree, "Music/Вечерняя мелодия.wav",
              tune(76, {{57, 1.5},
                        {60, 0.5},
                        {64},
                        {62},
                        {60},
                        {59},
                        {57, 2},
                        {0, 0.5},
                        {64, 1.5},
                        {65, 0.5},
                        {64},
                        {62},
                        {60, 3}}),
              moscowTime(2023, 11, 5, 21, 40));
    writeTune(tree, "Music/Album 'Sea' | live/01 Waves.wav",
              tune(90, {{62}, {66}, {69}, {74}, {69}, {66}, {62, 2}, {64}, {67}, {71}, {76, 3}}),
              moscowTime(2023, 12, 1, 19, 0));
    writeTune(tree, "Music/Album 'Sea' | live/02 Gulls.wav",
              tune(140, {{79, 0.5},
                         {83, 0.5},
                         {86},
                         {83, 0.5},
                         {79, 0.5},
                         {81, 2},
                         {0, 0.5},
                         {79, 0.5},
                         {76, 0.5},
                         {74, 3}}),
              moscowTime(2023, 12, 1, 19, 4));
    writeTune(tree, "Ringtones/Bell.wav", tune(160, {{84}, {79}, {84}, {79}, {84, 2}}),
              moscowTime(2023, 10, 1, 12, 0));
    writeTune(tree, "Notifications/Ding.wav", tune(120, {{88, 0.5}, {93, 1.5}}),
              moscowTime(2023, 10, 1, 12, 1));
}

void writeSampleMovie(const SampleTree& tree) {
    const QSize frameSize(640, 360);
    constexpr int framesPerSecond = 12;
    constexpr int frameCount = 72;
    const PhotoShot& shot = cityShots().at(1);
    const QImage scene = paintCityPicture(shot, QSize(1280, 720));

    std::vector<QByteArray> frames;
    for (int frame = 0; frame < frameCount; ++frame) {
        // A slow zoom in while panning from left to right.
        const double progress = static_cast<double>(frame) / (frameCount - 1);
        const int width = static_cast<int>(1280 - progress * 480);
        const int height = width * 9 / 16;
        const int left = static_cast<int>(progress * (1280 - width));
        const int top = (720 - height) / 2;
        const QImage view = scene.copy(left, top, width, height)
                                .scaled(frameSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        frames.push_back(jpegBytes(view, 75));
    }
    tree.writeFile("Movies/White nights.avi", writeMjpegAvi(frames, frameSize, framesPerSecond),
                   shot.takenAt.addSecs(120));
}
