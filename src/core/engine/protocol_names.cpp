#include "core/engine/protocol_names.h"

#include <array>
#include <utility>

namespace quintavia {
namespace {

constexpr std::array<std::pair<const char*, const char*>, 10> kNames{{
    {"http", "HyperText Transfer Protocol"},
    {"https", "HyperText Transfer Protocol with Privacy"},
    {"file", "File Protocol"},
    {"ftp", "File Transfer Protocol"},
    {"mailto", "Electronic Mail Protocol"},
    {"data", "Data Protocol"},
    {"blob", "Blob Protocol"},
    {"about", "About Protocol"},
    {"javascript", "JavaScript Protocol"},
    {"qrc", "Qt Resource Protocol"},
}};

}  // namespace

QString ProtocolLongName(QString scheme) {
    if (scheme.endsWith(u':')) scheme.chop(1);
    for (const auto& [known, name] : kNames)
        if (scheme.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name);
    return QString::fromLatin1(kUnknownProtocol);
}

}  // namespace quintavia
