#include "shell/desktop/sound_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/layout/panes.h"
#include "core/sites/site_rules.h"
#include "core/sites/sites.h"
#include "core/wave_file.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

bool Touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
}

// Each case runs for every site in an installation under a prefix of its own: the program in
// bin/, its sounds in {sounds} (share/quintavia/sounds), as the build installs them. In the
// paths, {site} is the site looked up and {other} another site.
TEST(SoundFiles, TheFirstFolderThatHoldsTheSiteSoundGivesIt) {
    const struct {
        const char* what;
        QStringList made;     // before the look-up; a path ending in "/" is a folder
        QStringList folders;  // tried in this order; none: the program's own
        QString found;
    } cases[] = {
        {"beside the program and installed: the one beside comes first",
         {"bin/{site}.wav", "{sounds}/{site}.wav"},
         {},
         "bin/{site}.wav"},
        {"installed only", {"{sounds}/{site}.wav"}, {}, "{sounds}/{site}.wav"},
        {"another site's sound beside, this one's installed",
         {"bin/{other}.wav", "{sounds}/{site}.wav"},
         {},
         "{sounds}/{site}.wav"},
        {"only another site's sounds: the path beside, which sounds the default alert",
         {"bin/{other}.wav", "{sounds}/{other}.wav"},
         {},
         "bin/{site}.wav"},
        {"a folder in the place of the file beside",
         {"bin/{site}.wav/", "{sounds}/{site}.wav"},
         {},
         "{sounds}/{site}.wav"},
        {"three folders, the last two with it",
         {"a/", "b/{site}.wav", "c/{site}.wav"},
         {"a", "b", "c"},
         "b/{site}.wav"},
        {"three folders, none with it",
         {"a/", "b/{other}.wav", "c/{other}.wav"},
         {"a", "b", "c"},
         "a/{site}.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int site = 0; site < kPaneCount; ++site) {
            SCOPED_TRACE(testing::Message() << "site " << site);
            QTemporaryDir prefix;
            ASSERT_TRUE(prefix.isValid());
            const auto at = [&](QString path) {
                path.replace(QStringLiteral("{sounds}"), QStringLiteral("share/quintavia/sounds"));
                path.replace(QStringLiteral("{site}"), QString::number(site));
                path.replace(QStringLiteral("{other}"), QString::number((site + 1) % kPaneCount));
                return prefix.filePath(path);
            };
            ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("bin"))));
            ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("{sounds}"))));
            for (const QString& path : c.made) {
                if (path.endsWith(u'/'))
                    ASSERT_TRUE(QDir().mkpath(at(path))) << path.toStdString();
                else
                    ASSERT_TRUE(QDir().mkpath(QFileInfo(at(path)).path()) && Touch(at(path)))
                        << path.toStdString();
            }
            if (!c.folders.isEmpty()) {
                QStringList folders;
                for (const QString& folder : c.folders) folders += at(folder);
                EXPECT_EQ(SoundFileIn(site, folders), at(c.found));
                continue;
            }
            // However the program's folder is written.
            for (const char* program : {"bin", "bin/", "bin/../bin"}) {
                SCOPED_TRACE(program);
                EXPECT_EQ(SoundFolders(at(program)).value(1), at(QStringLiteral("{sounds}")));
                EXPECT_EQ(QDir::cleanPath(SoundFile(site, at(program))), at(c.found));
            }
        }
    }
}

// The program as built plays, for each site of the catalogue, a whole sound of that site's own;
// a site of the user's own gets the chime that names no site.
TEST(SoundFiles, EverySiteOfTheCatalogueHasItsOwnSoundBesideTheBuiltProgram) {
    const QStringList folders =
        SoundFolders(QFileInfo(QStringLiteral(QUINTAVIA_PROGRAM)).absolutePath());
    // The defaults come first in the catalogue, and keep their sounds by pane.
    QList<std::pair<QString, QString>> expected;  // a site's id, its sound's file name
    for (const SiteRule& rule : BuiltInCatalogue().rules) {
        const qsizetype at = expected.size();
        expected.append({rule.id, (at < DefaultRules().size() ? QString::number(at) : rule.id) +
                                      QStringLiteral(".wav")});
    }
    expected.append({QStringLiteral("cercalavoro"), QStringLiteral("chime.wav")});
    QStringList played;
    for (const auto& [id, name] : expected) {
        SCOPED_TRACE(id.toStdString());
        const QString path = SoundFileFor(id, folders);
        EXPECT_EQ(QFileInfo(path).fileName(), name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(IsWholeWave(file.readAll()));
        EXPECT_FALSE(played.contains(path));
        played += path;
    }
}

}  // namespace
}  // namespace quintavia
