#include "store/unopened_file.h"

#include <gtest/gtest.h>

#include <QDir>

#include "odd_files.h"
#include "own_file_test.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

class UnopenedFileTest : public OwnFileTest {
  protected:
    UnopenedFileTest() : OwnFileTest(u"da-aprire.txt"_s) {}
};

TEST_F(UnopenedFileTest, WhatWaitsComesBackAsItWentAndBesideTheHistory) {
    EXPECT_EQ(UnopenedFile::PathBeside(folder() + u"/cronologia.csv"_s), path());
    EXPECT_EQ(UnopenedFile::PathBeside({}), QString());
    ASSERT_TRUE(QDir().mkpath(folder()));
    UnopenedFile file(path());
    // Nothing waits and nothing was there: no file is made for it.
    EXPECT_TRUE(file.save({}));
    EXPECT_FALSE(QFile::exists(path()));

    const QStringList addresses = {u"https://www.miojob.it/annuncio/1"_s,
                                   u"https://www.jobrapido.it/a%20b?x=%C3%A8"_s};
    ASSERT_TRUE(file.save(addresses));
    EXPECT_EQ(UnopenedFile(path()).load(), addresses);
    ASSERT_TRUE(file.save({}));
    EXPECT_EQ(UnopenedFile(path()).load(), QStringList());
    // A hand's blank lines and blanks around an address are passed over.
    writeFile("\n  https://www.miojob.it/annuncio/2 \r\n\n");
    EXPECT_EQ(UnopenedFile(path()).load(), QStringList{u"https://www.miojob.it/annuncio/2"_s});
}

TEST_F(UnopenedFileTest, LinksAndOtherKindsOfFileAreNeitherReadNorReplaced) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    WithEachOddFileAt(
        path(), dir.path() + u"/elsewhere.txt"_s, "https://a.example/\n", [&](const char* reason) {
            QString warning;
            EXPECT_EQ(UnopenedFile(path()).load(&warning), QStringList());
            EXPECT_TRUE(warning.contains(reason)) << warning.toStdString();
            const WriteResult failed = UnopenedFile(path()).save({u"https://b.example/"_s});
            EXPECT_FALSE(failed);
            EXPECT_TRUE(failed.error.contains(path())) << failed.error.toStdString();
        });
}

}  // namespace
}  // namespace quintavia
