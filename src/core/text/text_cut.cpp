#include "core/text/text_cut.h"

namespace quintavia {

qsizetype CutEnd(QStringView text, qsizetype units) {
    if (units <= 0) return 0;
    if (text.size() <= units) return text.size();
    if (text[units - 1].isHighSurrogate() && text[units].isLowSurrogate()) return units - 1;
    return units;
}

QString CutUnits(const QString& text, qsizetype units) {
    return text.left(CutEnd(text, units));
}

}  // namespace quintavia
