#include "shell/sound_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "qt_printing.h"

namespace quintavia {
namespace {

// An installation under a prefix of its own: the program in bin/, its sounds in
// share/quintavia/sounds/, as the build installs them.
class SoundFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(prefix.isValid());
        ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
        ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/quintavia/sounds")));
    }

    QString bin() const { return prefix.filePath(QStringLiteral("bin")); }
    QString data() const { return prefix.filePath(QStringLiteral("share/quintavia/sounds")); }

    static bool Touch(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
    }

    QTemporaryDir prefix;
};

TEST_F(SoundFiles, TheInstalledFolderIsFoundFromTheProgramsFolder) {
    EXPECT_EQ(SoundFolders(bin()), (QStringList{bin(), data()}));
    // However the program's folder is written.
    EXPECT_EQ(SoundFolders(bin() + QStringLiteral("/")).value(1), data());
    EXPECT_EQ(SoundFolders(bin() + QStringLiteral("/../bin")).value(1), data());
}

TEST_F(SoundFiles, ASoundBesideTheProgramComesFirst) {
    for (int site = 0; site < 4; ++site) {
        ASSERT_TRUE(Touch(QStringLiteral("%1/%2.wav").arg(bin()).arg(site)));
        ASSERT_TRUE(Touch(QStringLiteral("%1/%2.wav").arg(data()).arg(site)));
        EXPECT_EQ(SoundFile(site, bin()), QStringLiteral("%1/%2.wav").arg(bin()).arg(site));
    }
}

TEST_F(SoundFiles, WithoutOneBesideItTheInstalledSoundPlays) {
    for (int site = 0; site < 4; ++site) {
        ASSERT_TRUE(Touch(QStringLiteral("%1/%2.wav").arg(data()).arg(site)));
        EXPECT_EQ(SoundFile(site, bin()), QStringLiteral("%1/%2.wav").arg(data()).arg(site));
    }
}

TEST_F(SoundFiles, EachSiteIsLookedUpOnItsOwn) {
    ASSERT_TRUE(Touch(bin() + QStringLiteral("/0.wav")));
    ASSERT_TRUE(Touch(data() + QStringLiteral("/1.wav")));
    EXPECT_EQ(SoundFile(0, bin()), bin() + QStringLiteral("/0.wav"));
    EXPECT_EQ(SoundFile(1, bin()), data() + QStringLiteral("/1.wav"));
    // Found nowhere: the path beside the program, which sounds the default alert.
    EXPECT_EQ(SoundFile(2, bin()), bin() + QStringLiteral("/2.wav"));
}

TEST_F(SoundFiles, AFolderInThePlaceOfAFileIsNoSound) {
    ASSERT_TRUE(QDir(bin()).mkdir(QStringLiteral("3.wav")));
    ASSERT_TRUE(Touch(data() + QStringLiteral("/3.wav")));
    EXPECT_EQ(SoundFile(3, bin()), data() + QStringLiteral("/3.wav"));
}

TEST(SoundFileIn, TriesTheFoldersInTheirOrder) {
    QTemporaryDir a, b, c;
    QFile(b.filePath(QStringLiteral("2.wav"))).open(QIODevice::WriteOnly);
    QFile(c.filePath(QStringLiteral("2.wav"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(SoundFileIn(2, {a.path(), b.path(), c.path()}), b.filePath(QStringLiteral("2.wav")));
    EXPECT_EQ(SoundFileIn(1, {a.path(), b.path(), c.path()}), a.filePath(QStringLiteral("1.wav")));
}

}  // namespace
}  // namespace quintavia
