// Sites whose pages carry scripts of a test's choosing, and tell the test what they saw.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/layout/panes.h"
#include "harness.h"
#include "listing_pages.h"

namespace quintavia::e2e {

// A page tells the test what it saw by asking its own site for /report?<what>.
inline constexpr char kReport[] =
    "function report(what) { new Image().src = '/report?' + what; }\n";

// `script` runs in the page's head, before the listings are parsed.
inline QByteArray WithScript(QByteArray page, const QByteArray& script) {
    return page.insert(page.indexOf("<head>") + 6,
                       QByteArray("<script>") + kReport + script + "</script>");
}

// Each site serves its listing page with the test's script in it, or the test's whole page in
// its place; other addresses serve what the test put there. Read at every request.
struct HostileSites {
    std::array<QString, kPaneCount> titles{
        QStringLiteral("Magazziniere"), QStringLiteral("Cameriere di sala"),
        QStringLiteral("Cuoco capo partita"), QStringLiteral("Autista patente C")};
    std::array<QByteArray, kPaneCount> scripts{};
    std::array<std::optional<QByteArray>, kPaneCount> pages{};
    QHash<QByteArray, fixtures::Response> elsewhere;  // by host and path

    fixtures::Handler handler() {
        return [this](const fixtures::Request& request) {
            if (request.path.startsWith("/report")) return fixtures::Response{.status = 204};
            const auto other = elsewhere.constFind(request.host + request.path);
            if (other != elsewhere.constEnd()) return *other;
            const int site = fixtures::SiteForHost(request.host);
            if (site < 0) return fixtures::Response{.status = 404};
            const auto s = static_cast<std::size_t>(site);
            if (pages[s]) return fixtures::Response{.body = *pages[s]};
            return fixtures::Response{
                .body = WithScript(fixtures::ListingPage(site, titles[s]), scripts[s])};
        };
    }
};

// "host?what" for each report received so far, in order.
inline QStringList Reports() {
    QStringList reports;
    for (const fixtures::Request& request : Harness::instance().server().requests())
        if (request.path.startsWith("/report?"))
            reports << QString::fromUtf8(request.host + request.path.mid(7));
    return reports;
}

}  // namespace quintavia::e2e
