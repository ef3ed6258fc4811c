#pragma once

#include <QByteArrayView>

namespace quintavia {

// Whether `bytes` hold a whole RIFF/WAVE file: a format chunk and a data chunk, each within the
// bytes. The platform's decoder waits for good on a file cut short, and the next sound then
// waits behind it, so such a file is refused before it is played.
bool IsWholeWave(QByteArrayView bytes);

}  // namespace quintavia
