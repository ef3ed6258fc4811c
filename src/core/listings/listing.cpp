#include "core/listings/listing.h"

namespace quintavia {

QString CutTitle(const QString& title) {
    if (title.size() <= kTitleUnits) return title;
    qsizetype units = kTitleUnits;
    if (title[units - 1].isHighSurrogate() && title[units].isLowSurrogate()) --units;
    return title.left(units);
}

}  // namespace quintavia
