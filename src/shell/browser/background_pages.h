#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

#include "core/page/page_capture.h"
#include "core/page/structure_reading.h"
#include "core/sites/site_rules.h"
#include "shell/desktop/beep.h"

class QWebEngineProfile;

namespace quintavia {

class WebPane;

// The pages that load the sites watched without a pane: a few hidden panes of the panes'
// profile, with every guard of theirs, each reading its page as a pane does. The loads asked
// for wait their turn; a site asked for again while it waits keeps its place.
class BackgroundPages final : public QObject {
    Q_OBJECT
  public:
    // Each hidden page costs a renderer of its own: two at most, whatever the number of sites.
    static constexpr int kPagesAtOnce = 2;

    BackgroundPages(Beep& beep, QWebEngineProfile* profile, QObject* parent = nullptr);
    ~BackgroundPages() override;

    // Site `site` of those watched without a pane, read by `rule` (and the selectors kept for
    // it), at `address`.
    void load(int site, const SiteRule& rule, const StructureSelectors& kept,
              const QString& address);
    // The sites were chosen anew, and those without a pane are now at these addresses, by
    // site: what waits or loads for another place or address is dropped, the rest goes on.
    void forget(const QStringList& addresses);

    int waiting() const { return static_cast<int>(queue_.size()); }
    int loading() const;

  signals:
    void pageCaptured(int site, const quintavia::PageCapture& capture);

  private:
    struct Job {
        int site = 0;
        SiteRule rule;
        StructureSelectors kept;
        QString address;
    };
    struct Page {
        WebPane* pane = nullptr;
        std::optional<Job> job;
        bool dropped = false;  // its job's site moved or went: what it reads is for nobody
    };
    void next();
    void captured(Page& page, const PageCapture& capture);

    Beep& beep_;
    QWebEngineProfile* profile_;
    QList<Page*> pages_;
    QList<Job> queue_;
};

}  // namespace quintavia
