#include "shell/browser/background_pages.h"

#include <algorithm>

#include "shell/browser/web_pane.h"

namespace quintavia {
namespace {

// As large as a pane of a window of the design's size: a site lays its listings out for it.
constexpr int kPageWidth = 800;
constexpr int kPageHeight = 600;

}  // namespace

BackgroundPages::BackgroundPages(Beep& beep, QWebEngineProfile* profile, QObject* parent)
    : QObject(parent), beep_(beep), profile_(profile) {}

BackgroundPages::~BackgroundPages() {
    for (Page* page : pages_) {
        delete page->pane;
        delete page;
    }
}

int BackgroundPages::loading() const {
    return static_cast<int>(
        std::ranges::count_if(pages_, [](const Page* page) { return page->job.has_value(); }));
}

void BackgroundPages::load(int site, const SiteRule& rule, const StructureSelectors& kept,
                           const QString& address) {
    for (const Page* page : pages_)
        if (page->job && page->job->site == site && !page->dropped) return;
    const auto waiting =
        std::ranges::find_if(queue_, [site](const Job& job) { return job.site == site; });
    if (waiting != queue_.end()) {
        *waiting = {site, rule, kept, address};
        return;
    }
    queue_.append({site, rule, kept, address});
    next();
}

void BackgroundPages::forget(const QStringList& addresses) {
    const auto stale = [&](const Job& job) { return addresses.value(job.site) != job.address; };
    queue_.removeIf(stale);
    for (Page* page : pages_)
        if (page->job && stale(*page->job)) page->dropped = true;
}

void BackgroundPages::next() {
    while (!queue_.isEmpty()) {
        auto free = std::ranges::find_if(pages_, [](const Page* page) { return !page->job; });
        if (free == pages_.end()) {
            if (pages_.size() >= kPagesAtOnce) return;
            // Never shown, and no child of the window: nothing of it is in view or in the
            // window's keyboard order, and the desktop's assistive technology does not meet it.
            auto* page = new Page;
            page->pane = new WebPane(-1, beep_, profile_, nullptr);
            page->pane->setObjectName(QStringLiteral("backgroundPage"));
            page->pane->setAttribute(Qt::WA_DontShowOnScreen);
            page->pane->resize(kPageWidth, kPageHeight);
            connect(page->pane, &WebPane::pageCaptured, this,
                    [this, page](int, const PageCapture& capture) { captured(*page, capture); });
            pages_.append(page);
            free = pages_.end() - 1;
        }
        Page& page = **free;
        Job job = queue_.takeFirst();
        page.pane->showSite(job.rule);
        page.pane->keepSelectors(job.kept);
        if (!page.pane->navigate(job.address)) continue;
        page.job = std::move(job);
        page.dropped = false;
    }
}

void BackgroundPages::captured(Page& page, const PageCapture& capture) {
    // What the page went to by itself says nothing the next load of the program's will not.
    if (!page.job || !capture.startedByProgram) return;
    const Job job = *std::exchange(page.job, std::nullopt);
    if (!page.dropped) emit pageCaptured(job.site, capture);
    next();
}

}  // namespace quintavia
