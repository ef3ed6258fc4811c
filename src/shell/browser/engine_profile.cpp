#include "shell/browser/engine_profile.h"

#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "core/engine/engine_start.h"
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
    const QString storage = storagePath();
    QString refusal;
    if (MakePrivateFolder(storage).isEmpty()) {
        // The engine's own files would be spoilt by two runs writing them at once.
        lock_ = std::make_unique<FileLock>(storage + QStringLiteral("/quintavia.lock"));
        if (!lock_->take(std::chrono::milliseconds(0)).isEmpty()) {
            refusal = lock_->busy() ? QStringLiteral("another Quintavia is using it")
                                    : QStringLiteral("it cannot be locked");
            lock_.reset();
        }
    } else {
        refusal = QStringLiteral("it cannot be made");
    }

    if (lock_) {
        profile_ = std::make_unique<QWebEngineProfile>(QLatin1StringView(kName));
        profile_->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        profile_->setHttpCacheMaximumSize(static_cast<int>(kCacheBytes));
        profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    } else {
        profile_ = std::make_unique<QWebEngineProfile>();  // kept in memory
        notice_ = QStringLiteral(
                      "the browser data in %1 is not used (%2): cookies and site "
                      "data last only until this run ends")
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
}

}  // namespace quintavia
