#include "shell/browser/request_blocker.h"

#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <cstdio>

#include "store/public_suffix_file.h"

namespace quintavia {
namespace {

RequestKind KindOf(QWebEngineUrlRequestInfo::ResourceType type) {
    using Info = QWebEngineUrlRequestInfo;
    switch (type) {
        case Info::ResourceTypeMainFrame:
        case Info::ResourceTypeNavigationPreloadMainFrame:
            return RequestKind::Document;
        case Info::ResourceTypeSubFrame:
        case Info::ResourceTypeNavigationPreloadSubFrame:
            return RequestKind::Subdocument;
        case Info::ResourceTypeStylesheet:
            return RequestKind::Stylesheet;
        case Info::ResourceTypeScript:
        case Info::ResourceTypeWorker:
        case Info::ResourceTypeSharedWorker:
        case Info::ResourceTypeServiceWorker:
            return RequestKind::Script;
        case Info::ResourceTypeImage:
        case Info::ResourceTypeFavicon:
            return RequestKind::Image;
        case Info::ResourceTypeFontResource:
            return RequestKind::Font;
        case Info::ResourceTypeObject:
        case Info::ResourceTypePluginResource:
            return RequestKind::Object;
        case Info::ResourceTypeMedia:
            return RequestKind::Media;
        case Info::ResourceTypeXhr:
            return RequestKind::Xhr;
        case Info::ResourceTypePing:
        case Info::ResourceTypeCspReport:
            return RequestKind::Ping;
        case Info::ResourceTypeWebSocket:
            return RequestKind::WebSocket;
        default:
            return RequestKind::Other;
    }
}

QByteArray HostOf(const QUrl& url) {
    return url.host(QUrl::FullyEncoded).toLatin1().toLower();
}

}  // namespace

RequestBlocker& RequestBlocker::instance() {
    // Never destroyed: profiles of the engine may still hold it while the program ends.
    static RequestBlocker* blocker = new RequestBlocker;
    return *blocker;
}

RequestBlocker::RequestBlocker() {
    compiled_ = std::async(std::launch::async, [] {
                    auto loaded = std::make_shared<LoadedBlockList>(LoadBlockLists());
                    // Read here too, so that no page waits for it later.
                    SystemPublicSuffixes();
                    return std::shared_ptr<const LoadedBlockList>(std::move(loaded));
                }).share();
}

const LoadedBlockList& RequestBlocker::lists() {
    if (!lists_) {
        lists_ = compiled_.get();
        if (!lists_->notice.isEmpty())
            std::fprintf(stderr, "Quintavia: %s\n", qUtf8Printable(lists_->notice));
    }
    return *lists_;
}

qsizetype RequestBlocker::ruleCount() {
    return lists().list.ruleCount();
}

void RequestBlocker::setSites(const QList<BlockingSite>& sites) {
    const std::lock_guard lock(sitesMutex_);
    sites_ = sites;
}

void RequestBlocker::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme();
    if (scheme != u"http" && scheme != u"https" && scheme != u"ws" && scheme != u"wss") return;
    const LoadedBlockList& loaded = lists();
    if (loaded.list.isEmpty()) return;
    QByteArray rest = url.path(QUrl::FullyEncoded).toLatin1();
    if (rest.isEmpty()) rest = "/";
    if (url.port() >= 0) rest.prepend(':' + QByteArray::number(url.port()));
    if (url.hasQuery()) rest += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    const BlockedRequest request{.host = HostOf(url),
                                 .rest = rest,
                                 .pageHost = HostOf(info.firstPartyUrl()),
                                 .kind = KindOf(info.resourceType())};
    bool block = false;
    {
        const std::lock_guard lock(sitesMutex_);
        block = ShouldBlock(loaded.list, SystemPublicSuffixes(), sites_, request);
    }
    if (!block) return;
    info.block(true);
    ++blocked_;
}

}  // namespace quintavia
