// What may lie where one of the program's files should be and must never be opened nor
// replaced, for the tests of the files that refuse them.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <functional>

namespace quintavia {

// Puts at `path` in turn a link to a file at `target` holding `targetBytes`, a link to nothing,
// a FIFO and a folder; calls `use(reason)` with the words that the file's refusal must say;
// then checks that what lies there and the link's target are as they were, and removes it.
inline void WithEachOddFileAt(const QString& path, const QString& target,
                              const QByteArray& targetBytes,
                              const std::function<void(const char* reason)>& use) {
    const QByteArray at = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(target);
    const struct {
        const char* what;
        std::function<bool()> make;
        const char* reason;
    } cases[] = {
        {"a link to a file",
         [&] {
             QFile t(target);
             return t.open(QIODevice::WriteOnly) && t.write(targetBytes) == targetBytes.size() &&
                    ::symlink(to.constData(), at.constData()) == 0;
         },
         "collegamento simbolico"},
        {"a link to nothing",
         [&] { return QFile::remove(target) && ::symlink(to.constData(), at.constData()) == 0; },
         "collegamento simbolico"},
        {"a FIFO", [&] { return ::mkfifo(at.constData(), 0600) == 0; }, "non è un file normale"},
        {"a folder", [&] { return ::mkdir(at.constData(), 0700) == 0; }, "non è un file normale"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make());
        struct stat before {};
        ASSERT_EQ(::lstat(at.constData(), &before), 0);
        use(c.reason);
        if (QFileInfo::exists(target)) {
            QFile t(target);
            EXPECT_TRUE(t.open(QIODevice::ReadOnly) && t.readAll() == targetBytes);
        }
        struct stat after {};
        ASSERT_EQ(::lstat(at.constData(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        ::unlink(at.constData());
        ::rmdir(at.constData());
    }
    EXPECT_FALSE(QFileInfo::exists(target));  // the link to nothing made nothing
}

}  // namespace quintavia
