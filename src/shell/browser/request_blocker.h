#pragma once

#include <QList>
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>
#include <future>
#include <memory>
#include <mutex>

#include "core/engine/request_blocking.h"
#include "store/block_list_files.h"

namespace quintavia {

// The one request interceptor of every profile of the program: it stops what the lists of
// advertisements, trackers and malware addresses name (ShouldBlock). The lists compile on a
// thread of their own from the first call to instance(), made as the program starts, while the
// engine starts; a request that comes before they are ready waits for them.
class RequestBlocker final : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    static RequestBlocker& instance();

    // The sites whose pages keep their own requests, and may turn the blocking off.
    void setSites(const QList<BlockingSite>& sites);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

    // Requests stopped in this run, by every profile.
    quint64 blockedCount() const { return blocked_.load(); }
    // How many rules the lists gave; 0 when they are not there. Waits for the compilation.
    qsizetype ruleCount();

  private:
    RequestBlocker();
    const LoadedBlockList& lists();

    std::shared_future<std::shared_ptr<const LoadedBlockList>> compiled_;
    std::shared_ptr<const LoadedBlockList> lists_;
    std::mutex sitesMutex_;
    QList<BlockingSite> sites_;
    std::atomic<quint64> blocked_{0};
};

}  // namespace quintavia
