// A fixture for the tests of one of the program's files, in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <utility>

namespace quintavia {

class OwnFileTest : public ::testing::Test {
  protected:
    explicit OwnFileTest(QString fileName) : fileName_(std::move(fileName)) {}

    QString folder() const { return dir.path() + "/Quintavia"; }
    QString path() const { return folder() + '/' + fileName_; }
    // Puts `bytes` in the file, as a hand or another program would.
    void writeFile(const QByteArray& bytes) const {
        QDir().mkpath(folder());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static QByteArray readFile(const QString& at) {
        QFile file(at);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QByteArray readFile() const { return readFile(path()); }
    QStringList filesInFolder() const {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    // After a load that found the file unreadable: one file beside it, not among `earlier`,
    // holds its `bytes`, and the load's one warning names both; `earlier` gains it.
    void expectMovedAside(const QByteArray& bytes, const QStringList& warnings,
                          QStringList* earlier) const {
        EXPECT_FALSE(QFile::exists(path()));
        QStringList aside = filesInFolder().filter(
            QRegularExpression('^' + QRegularExpression::escape(fileName_) + "\\.bad"));
        for (const QString& before : *earlier) aside.removeOne(before);
        ASSERT_EQ(aside.size(), 1) << filesInFolder().join(' ').toStdString();
        const QString asidePath = folder() + '/' + aside[0];
        EXPECT_EQ(readFile(asidePath), bytes);
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains(path())) << warnings[0].toStdString();
        EXPECT_TRUE(warnings[0].contains(asidePath)) << warnings[0].toStdString();
        *earlier += aside;
    }

    QTemporaryDir dir;

  private:
    QString fileName_;
};

}  // namespace quintavia
