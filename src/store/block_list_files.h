#pragma once

#include <QString>
#include <QStringList>

#include "core/engine/request_blocking.h"

namespace quintavia {

// Where Debian's webext-ublock-origin-chromium package keeps the lists it ships.
inline constexpr char kBlockListFolder[] = "/usr/share/chromium/extensions/ublock-origin/assets";

// The lists taken from that folder: advertising (EasyList), tracking (EasyPrivacy), addresses
// that serve malware now (URLhaus) and sites known for badware.
inline constexpr const char* kBlockListFiles[] = {
    "thirdparties/easylist/easylist.txt",
    "thirdparties/easylist/easyprivacy.txt",
    "thirdparties/urlhaus-filter/urlhaus-filter-online.txt",
    "ublock/badware.min.txt",
};

struct LoadedBlockList {
    BlockList list;
    qint64 bytes = 0;  // read from the files
    // One line for standard error when a list could not be read; empty otherwise.
    QString notice;
};

// The lists in `folder`, compiled: seconds of work on a slow machine, safe on any thread.
LoadedBlockList LoadBlockLists(const QString& folder = QString::fromLatin1(kBlockListFolder));

}  // namespace quintavia
