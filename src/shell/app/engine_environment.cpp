#include "shell/app/engine_environment.h"

#include <QByteArray>
#include <QString>
#include <cstdio>

#include "core/engine/engine_start.h"
#include "shell/browser/engine_profile.h"
#include "store/io/platform.h"

namespace quintavia {
namespace {

constexpr char kDisableSandbox[] = "QTWEBENGINE_DISABLE_SANDBOX";
constexpr char kChromiumFlags[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr char kAccessibility[] = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";

QtMessageHandler g_next = nullptr;
bool g_hardened = false;

void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString category = QString::fromLatin1(context.category ? context.category : "");
    if (IsEngineNotice(category, message)) return;
    if (g_next) g_next(type, context, message);
}

}  // namespace

void PrepareEngineEnvironment() {
    const EngineStart start =
        PlanEngineStart(platform::RunningAsSuperUser(), qEnvironmentVariableIsSet(kDisableSandbox),
                        qEnvironmentVariable(kChromiumFlags), EngineNeedsHardening());
    g_hardened = start.hardened;
    if (start.disableSandbox)
        qputenv(kDisableSandbox, "1");
    else
        qunsetenv(kDisableSandbox);
    qputenv(kChromiumFlags, start.chromiumFlags.toLocal8Bit());
    // The pages' content reaches assistive technology only with this set, on Linux; the engine
    // builds it only while a screen reader or the like is listening.
    if (!qEnvironmentVariableIsSet(kAccessibility)) qputenv(kAccessibility, "1");
    for (const QString& notice : start.notices)
        std::fprintf(stderr, "%s\n", qUtf8Printable(notice));
    g_next = qInstallMessageHandler(Quiet);
}

bool EngineStartedHardened() {
    return g_hardened;
}

}  // namespace quintavia
