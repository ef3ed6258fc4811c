#include <gtest/gtest.h>

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>

#include "counting_beep.h"
#include "harness.h"
#include "shell/desktop/qt_sound.h"

namespace quintavia::e2e {
namespace {

using support::CountingBeep;

// A short, valid PCM wave file.
bool WriteWave(const QString& path) {
    constexpr quint32 kSamples = 4000;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + kSamples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(kSamples * 2);
    for (quint32 i = 0; i < kSamples; ++i) out << qint16((i % 40) * 400);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs where the tests run: most often with no audio device at all.
TEST(QtSound, FilesThatCannotBePlayedSoundTheDefaultAlert) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteWave(folder.filePath("1.wav")));
    QFile broken(folder.filePath("2.wav"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("RIFF, but no wave in it");
    broken.close();

    CountingBeep beep;
    QtSound sound(beep);
    sound.play(folder.filePath("0.wav"));  // missing
    EXPECT_TRUE(WaitFor([&] { return beep.beeps == 1; }, 5000));
    // The same missing file again is found missing again.
    sound.play(folder.filePath("0.wav"));
    EXPECT_TRUE(WaitFor([&] { return beep.beeps == 2; }, 5000));
    sound.play(folder.filePath("2.wav"));
    EXPECT_TRUE(WaitFor([&] { return beep.beeps == 3; }, 5000));

    // A good file plays, twice in a row; without an audio device it plays nothing, and that
    // is no reason for the alert.
    sound.play(folder.filePath("1.wav"));
    sound.play(folder.filePath("1.wav"));
    ASSERT_TRUE(WaitFor([&] { return sound.settled(); }, 5000));
    EXPECT_EQ(beep.beeps, 3);
}

// The platform's decoder waits for good on a wave file cut short, and the next sound would
// wait behind it, the window with it: such a file sounds the alert and the next one plays.
TEST(QtSound, AWaveFileCutShortSoundsTheAlertAndHoldsNothingUp) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteWave(folder.filePath("1.wav")));
    QFile whole(folder.filePath("1.wav"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(folder.filePath("2.wav"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().first(3000));
    cut.close();

    CountingBeep beep;
    QtSound sound(beep);
    for (int round = 1; round <= 3; ++round) {
        sound.play(folder.filePath("2.wav"));
        EXPECT_TRUE(WaitFor([&] { return beep.beeps == round; }, 5000));
        sound.play(folder.filePath("1.wav"));
    }
    ASSERT_TRUE(WaitFor([&] { return sound.settled(); }, 5000));
    EXPECT_EQ(beep.beeps, 3);
}

}  // namespace
}  // namespace quintavia::e2e
