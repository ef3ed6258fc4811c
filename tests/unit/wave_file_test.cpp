#include "core/wave_file.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtEndian>

namespace quintavia {
namespace {

QByteArray Le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray Chunk(const QByteArray& id, const QByteArray& body) {
    return id + Le32(static_cast<quint32>(body.size())) + body + (body.size() % 2 ? "\0" : "");
}

// A RIFF file of the given chunks, its size field counting them.
QByteArray Riff(const QByteArray& chunks) {
    return "RIFF" + Le32(static_cast<quint32>(4 + chunks.size())) + "WAVE" + chunks;
}

const QByteArray kFormat = Chunk("fmt ", QByteArray(16, '\x01'));
const QByteArray kData = Chunk("data", QByteArray(801, 'x'));  // an odd length, padded

TEST(WaveFile, OnlyAWholeFileWithFormatAndDataIsPlayed) {
    const QByteArray whole = Riff(kFormat + Chunk("LIST", "info") + kData);
    EXPECT_TRUE(IsWholeWave(whole));
    EXPECT_TRUE(IsWholeWave(whole + "trailing bytes"));
    // Cut anywhere, the file is refused: its decoding would never end.
    for (qsizetype size = 0; size < whole.size() - 1; ++size)
        EXPECT_FALSE(IsWholeWave(whole.first(size))) << size;

    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case refused[] = {
        {"no wave", QByteArray("RIFF, but no wave in it")},
        {"another kind of RIFF", "RIFF" + Le32(4 + kData.size()) + "AVI " + kData},
        {"no format before the data", Riff(kData + kFormat)},
        {"a format too short", Riff(Chunk("fmt ", "1234") + kData)},
        {"no data", Riff(kFormat)},
        {"a chunk larger than the file", Riff(kFormat) + "data" + Le32(0xFFFFFFF0u)},
        {"a RIFF size beyond the bytes", "RIFF" + Le32(1000000) + "WAVE" + kFormat + kData},
    };
    for (const Case& c : refused) EXPECT_FALSE(IsWholeWave(c.bytes)) << c.what;
}

}  // namespace
}  // namespace quintavia
