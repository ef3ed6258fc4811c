#include "core/engine/engine_start.h"

#include <array>
#include <utility>

namespace quintavia {
namespace {

// Chromium takes a switch with one dash or two, with or without a value.
bool IsSwitch(QStringView token, QLatin1StringView name) {
    if (token.startsWith(u"--"))
        token = token.mid(2);
    else if (token.startsWith(u'-'))
        token = token.mid(1);
    else
        return false;
    return token == name ||
           (token.startsWith(name) && token.size() > name.size() && token[name.size()] == u'=');
}

// The switches as the engine splits them: at spaces outside double quotes. Each keeps its
// quotes, so that joining them with spaces gives them back unchanged.
QStringList Tokens(const QString& flags) {
    QStringList tokens;
    QString token;
    bool quoted = false;
    for (const QChar c : flags) {
        if (c == u'"') quoted = !quoted;
        if (c == u' ' && !quoted) {
            if (!token.isEmpty()) tokens << std::exchange(token, QString());
            continue;
        }
        token += c;
    }
    if (!token.isEmpty()) tokens << token;
    return tokens;
}

// Switches that would run the pages without the sandbox's system call filter.
constexpr std::array<QLatin1StringView, 4> kSandboxOff{
    QLatin1StringView("no-sandbox"), QLatin1StringView("disable-seccomp-filter-sandbox"),
    QLatin1StringView("disable-namespace-sandbox"), QLatin1StringView("single-process")};

// Switches by which someone asks for the engine's own log.
constexpr std::array<QLatin1StringView, 4> kLogging{
    QLatin1StringView("log-level"), QLatin1StringView("enable-logging"), QLatin1StringView("v"),
    QLatin1StringView("vmodule")};

}  // namespace

bool EngineNeedsHardening(QStringView chromiumVersion) {
    bool number = false;
    const qsizetype dot = chromiumVersion.indexOf(u'.');
    const int major = chromiumVersion.first(dot < 0 ? chromiumVersion.size() : dot).toInt(&number);
    return !number || major < kHardenedBelowChromiumMajor;
}

EngineStart PlanEngineStart(bool root, bool sandboxDisabledByEnvironment, const QString& flags,
                            bool harden) {
    EngineStart start;
    QStringList kept;
    QStringList removed;
    bool logging = false;
    bool language = false;
    bool jsFlags = false;
    bool jitless = false;
    for (const QString& token : Tokens(flags)) {
        bool off = false;
        for (QLatin1StringView name : kSandboxOff) off = off || IsSwitch(token, name);
        for (QLatin1StringView name : kLogging) logging = logging || IsSwitch(token, name);
        language = language || IsSwitch(token, QLatin1StringView("lang"));
        if (IsSwitch(token, QLatin1StringView("js-flags"))) {
            jsFlags = true;
            jitless = jitless || token.contains(u"--jitless");
        }
        if (off && !root)
            removed << token;
        else
            kept << token;
    }
    // Errors only: the engine's own lines would otherwise reach standard error on every run.
    if (!logging) kept << QStringLiteral("--log-level=3");
    if (!language) kept << QStringLiteral("--lang=it");
    // Without the JIT V8 also drops WebAssembly, which it would otherwise say on every start.
    if (harden && !jsFlags) kept << QStringLiteral("--js-flags=--jitless");
    start.hardened = harden && (!jsFlags || jitless);
    start.chromiumFlags = kept.join(u' ');

    if (root) {
        start.disableSandbox = true;
        start.notices << QStringLiteral(
            "Quintavia: attenzione: avviato come root, dove il motore del browser non può usare "
            "la sua sandbox: le pagine girano senza. Avvia Quintavia come utente normale.");
        return start;
    }
    if (sandboxDisabledByEnvironment)
        removed.prepend(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
    if (!removed.isEmpty())
        start.notices << QStringLiteral(
                             "Quintavia: il motore del browser tiene la sua sandbox; ignorato "
                             "dall'ambiente: ") +
                             removed.join(QStringLiteral(", "));
    return start;
}

bool IsEngineNotice(QStringView category, QStringView message) {
    if (category == u"qt.webenginecontext" || category == u"js") return true;
    if (category != u"default") return false;
    static constexpr std::array<QLatin1StringView, 4> kNotices{
        QLatin1StringView("Sandboxing disabled by user."),
        QLatin1StringView("QStandardPaths: XDG_RUNTIME_DIR not set"),
        QLatin1StringView("WebEngineContext used before QtWebEngineCore::initialize()"),
        QLatin1StringView("No suitable graphics backend found")};
    for (QLatin1StringView notice : kNotices)
        if (message.startsWith(notice)) return true;
    return false;
}

bool IsHardeningNotice(QByteArrayView line) {
    if (line.endsWith('\n')) line.chop(1);
    return line == "Warning: disabling flag --expose_wasm due to conflicting flags";
}

}  // namespace quintavia
