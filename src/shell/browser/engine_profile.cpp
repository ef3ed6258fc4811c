#include "shell/browser/engine_profile.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <cstdio>
#include <thread>
#include <utility>

#ifdef Q_OS_UNIX
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include "core/engine/engine_start.h"
#include "shell/browser/request_blocker.h"
#include "store/io/file_lock.h"
#include "store/io/private_folder.h"

namespace quintavia {

QString EngineProfile::storagePath() {
    // Where the engine keeps a profile of this name by itself, under the program's own data
    // folder: a profile moved elsewhere would still leave its first file there.
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/QtWebEngine/") + QLatin1StringView(kName);
}

EngineProfile::EngineProfile() {
    StartEngine();
    const QString storage = storagePath();
    QString refusal;
    if (MakePrivateFolder(storage).isEmpty()) {
        // The engine's own files would be spoilt by two runs writing them at once.
        lock_ = std::make_unique<FileLock>(storage + QStringLiteral("/quintavia.lock"));
        if (!lock_->take(std::chrono::milliseconds(0)).isEmpty()) {
            refusal = lock_->busy() ? QStringLiteral("un altro Quintavia li sta usando")
                                    : QStringLiteral("non si possono bloccare");
            lock_.reset();
        }
    } else {
        refusal = QStringLiteral("la cartella non si può creare");
    }

    if (lock_) {
        profile_ = std::make_unique<QWebEngineProfile>(QLatin1StringView(kName));
        profile_->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        profile_->setHttpCacheMaximumSize(static_cast<int>(kCacheBytes));
        profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    } else {
        profile_ = std::make_unique<QWebEngineProfile>();  // kept in memory
        notice_ = QStringLiteral(
                      "i dati del browser in %1 non sono usati (%2): i cookie e i dati "
                      "dei siti durano solo fino alla fine di questa esecuzione")
                      .arg(storage, refusal);
    }

    GuardProfile(*profile_);
}

EngineProfile::~EngineProfile() {
    // The profile closes its files before the lock lets another run have them.
    profile_.reset();
    lock_.reset();
}

void GuardProfile(QWebEngineProfile& profile) {
    // Downloads are refused. The engine writes a partial file into the download folder before
    // it asks, so that folder is one of ours, never the user's.
    profile.setDownloadPath(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                            QStringLiteral("/refused-downloads"));
    profile.setUrlRequestInterceptor(&RequestBlocker::instance());
    QObject::connect(&profile, &QWebEngineProfile::downloadRequested, &profile,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });
    profile.setHttpAcceptLanguage(QString::fromLatin1(kAcceptLanguage));
    QWebEngineSettings& settings = *profile.settings();
    settings.setAttribute(QWebEngineSettings::WebGLEnabled, false);
    settings.setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings.setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    settings.setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    settings.setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings.setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings.setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    settings.setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings.setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings.setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    settings.setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
    settings.setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    if (EngineNeedsHardening()) {
        settings.setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, false);
        settings.setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    }
}

#ifdef Q_OS_UNIX
namespace {

void WriteAll(int to, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t wrote = ::write(to, bytes.data(), static_cast<size_t>(bytes.size()));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return;
        bytes = bytes.sliced(wrote);
    }
}

// Copies what the page processes write to `to`, line by line, leaving out the hardening's
// notice; for as long as any of them runs.
void CopyLines(int from, int to) {
    QByteArray pending;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        pending.append(buffer, got);
        qsizetype start = 0;
        for (qsizetype end; (end = pending.indexOf('\n', start)) >= 0; start = end + 1) {
            const QByteArrayView line(pending.constData() + start, end + 1 - start);
            if (!IsHardeningNotice(line)) WriteAll(to, line);
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty() && !IsHardeningNotice(pending)) WriteAll(to, pending);
    ::close(from);
    ::close(to);
}

}  // namespace
#endif

void StartEngine() {
    static bool started = false;
    if (std::exchange(started, true)) return;
#ifdef Q_OS_UNIX
    int pipe[2] = {-1, -1};
    const int ours = EngineNeedsHardening() ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    const int copy = ours >= 0 ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    if (copy < 0 || ::pipe2(pipe, O_CLOEXEC) != 0) {
        for (const int fd : {ours, copy})
            if (fd >= 0) ::close(fd);
        QWebEngineProfile::defaultProfile();
        return;
    }
    std::fflush(stderr);
    ::dup2(pipe[1], STDERR_FILENO);  // without O_CLOEXEC: the engine's processes inherit it
    ::close(pipe[1]);
    std::thread(CopyLines, pipe[0], copy).detach();
    // The first profile starts the engine, and with it the process the pages' come from.
    QWebEngineProfile::defaultProfile();
    std::fflush(stderr);
    ::dup2(ours, STDERR_FILENO);
    ::close(ours);
#else
    QWebEngineProfile::defaultProfile();
#endif
}

bool EngineNeedsHardening() {
    return EngineNeedsHardening(QString::fromLatin1(qWebEngineChromiumVersion()));
}

}  // namespace quintavia
