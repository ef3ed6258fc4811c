#include "core/listings/listing.h"

#include "core/text/text_cut.h"

namespace quintavia {

QString CutTitle(const QString& title) {
    return CutUnits(title, kTitleUnits);
}

}  // namespace quintavia
