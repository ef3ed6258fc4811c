#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace quintavia::fuzz {

// A fuzz input is a list of chunks separated by the byte 0xFF, which UTF-8 never holds, so a
// kept input stays readable as text. A chunk is UTF-8, its bad sequences read as U+FFFD the
// way a browser shows them; a chunk that starts with 0xFE is raw UTF-16 units, little-endian
// (an odd last byte dropped), so lone surrogates, NULs and any other unit can appear too.
inline QList<QByteArrayView> SplitChunks(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView all(data, static_cast<qsizetype>(size));
    QList<QByteArrayView> chunks;
    qsizetype from = 0;
    for (qsizetype at; (at = all.indexOf('\xFF', from)) >= 0; from = at + 1)
        chunks.append(all.sliced(from, at - from));
    chunks.append(all.sliced(from));
    return chunks;
}

inline QString ChunkText(QByteArrayView chunk) {
    if (!chunk.startsWith('\xFE')) return QString::fromUtf8(chunk);
    const qsizetype units = (chunk.size() - 1) / 2;
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i) {
        const auto low = static_cast<std::uint8_t>(chunk[1 + 2 * i]);
        const auto high = static_cast<std::uint8_t>(chunk[2 + 2 * i]);
        text[i] = QChar(static_cast<char16_t>(low | high << 8));
    }
    return text;
}

// A broken invariant is a crash, so that libFuzzer keeps the input that broke it.
#define FUZZ_REQUIRE(...)                                                             \
    do {                                                                              \
        if (!(__VA_ARGS__)) {                                                         \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, \
                         #__VA_ARGS__);                                               \
            std::abort();                                                             \
        }                                                                             \
    } while (false)

}  // namespace quintavia::fuzz
