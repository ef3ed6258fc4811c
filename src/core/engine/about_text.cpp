#include "core/engine/about_text.h"

#include <QStringList>

#include "core/engine/engine_start.h"

namespace quintavia {

QString AboutText(const AboutFacts& facts) {
    QStringList lines;
    lines << QStringLiteral("Quintavia %1").arg(facts.programVersion);
    lines << QStringLiteral("Motore del browser: Qt WebEngine %1, Chromium %2")
                 .arg(facts.qtVersion, facts.chromiumVersion);
    lines << (facts.hardened
                  ? QStringLiteral("Protezione rafforzata: attiva, perché il motore è anteriore "
                                   "a Chromium %1 (JavaScript senza JIT né WebAssembly, senza "
                                   "WebGL, canvas accelerato e visore PDF)")
                        .arg(kHardenedBelowChromiumMajor)
                  : QStringLiteral("Protezione rafforzata: non attiva"));
    lines << (facts.sandboxed ? QStringLiteral("Sandbox delle pagine: attiva")
                              : QStringLiteral("Sandbox delle pagine: non attiva"));
    lines << (facts.listsPresent
                  ? QStringLiteral("Richieste bloccate (pubblicità, tracciamento, malware): %1")
                        .arg(facts.blocked)
                  : QStringLiteral("Blocco di pubblicità e tracciamento: non attivo, le liste "
                                   "non sono installate"));
    return lines.join(u'\n');
}

}  // namespace quintavia
