#pragma once

#include <QString>

namespace quintavia {

inline constexpr auto kUnknownProtocol = "Unknown Protocol";

// A link's protocol as the document describes it (its `protocolLong`): a descriptive name for
// each scheme the browser engine handles, and "Unknown Protocol" for any other. The scheme is
// taken with or without its trailing colon, in any case.
QString ProtocolLongName(QString scheme);

}  // namespace quintavia
