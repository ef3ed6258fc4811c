#include "core/wave_file.h"

#include <QtEndian>

namespace quintavia {
namespace {

quint32 Le32(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

}  // namespace

bool IsWholeWave(QByteArrayView bytes) {
    if (bytes.size() < 12 || bytes.first(4) != "RIFF" || bytes.sliced(8, 4) != "WAVE") return false;
    if (qsizetype{Le32(bytes, 4)} + 8 > bytes.size()) return false;
    bool format = false;
    // Chunks follow one another, each padded to an even length.
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArrayView id = bytes.sliced(at, 4);
        const qsizetype size = Le32(bytes, at + 4);
        if (size > bytes.size() - at - 8) return false;
        if (id == "fmt ") format = size >= 16;
        if (id == "data") return format;
        at += 8 + size + (size & 1);
    }
    return false;
}

}  // namespace quintavia
