#pragma once

#include <QString>

namespace quintavia {

// What "Informazioni su Quintavia" tells of the program and of the engine it runs on.
struct AboutFacts {
    QString programVersion;
    QString qtVersion;
    QString chromiumVersion;
    bool hardened = false;
    bool sandboxed = false;
    bool listsPresent = false;
    quint64 blocked = 0;  // requests stopped in this run
};

// The box's text, plain, one fact a line.
QString AboutText(const AboutFacts& facts);

}  // namespace quintavia
