#include "soak_sites.h"

#include <algorithm>

namespace quintavia::soak {
namespace {

constexpr const char* kTitles[] = {"Magazziniere",        "Operaio metalmeccanico",
                                   "Cameriere di sala",   "Addetto alle pulizie",
                                   "Autista patente C",   "Commesso di negozio",
                                   "Cuoco capo partita",  "Elettricista industriale",
                                   "Impiegata contabile", "Sviluppatore software",
                                   "Infermiere",          "Receptionist"};
constexpr int kTitleCount = sizeof(kTitles) / sizeof(kTitles[0]);

// Titles hold nothing that markup would escape, so the engine hands them back as served.
QString Title(int site, int number) {
    return QString::fromLatin1(kTitles[(number + 5 * site) % kTitleCount]) +
           QStringLiteral(" - annuncio %1").arg(number);
}

// Run before the listings are parsed, at every load.
constexpr char kHostileScript[] = R"(<script>
alert('Benvenuto!');
confirm('Accetti i cookie?');
Notification.requestPermission();
navigator.geolocation.getCurrentPosition(function () {}, function () {});
for (var i = 0; i < 500; ++i) console.log('rumore ' + i);
window.open('/finestra');
setTimeout(function () { location.reload(); }, 1000);
</script>)";

}  // namespace

SoakSites::SoakSites(std::array<int, fixtures::kSiteCount> changeEvery, int pageKib, bool hostile)
    : changeEvery_(changeEvery),
      pageBytes_(qsizetype{std::max(pageKib, 0)} * 1024),
      hostile_(hostile) {
    for (int& every : changeEvery_) every = std::max(every, 1);
}

fixtures::Handler SoakSites::handler() {
    return [this](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        // The engine may ask for more than the search page; only that page counts.
        if (site < 0 || request.path == "/favicon.ico") return fixtures::Response{.status = 404};
        const auto s = static_cast<std::size_t>(site);
        const QString title = Title(site, loads_[s]++ / changeEvery_[s] + 1);
        if (served_[s].isEmpty() || served_[s].back() != title) served_[s] << title;
        return fixtures::Response{.body = page(site, title)};
    };
}

QByteArray SoakSites::page(int site, const QString& title) const {
    QByteArray page = fixtures::ListingPage(site, title);
    if (hostile_) page.insert(page.indexOf("<head>") + 6, kHostileScript);
    if (page.size() >= pageBytes_) return page;
    // Older listings of no site's markup, as on a long results page.
    QByteArray older;
    for (int id = 0; page.size() + older.size() < pageBytes_; ++id)
        older += "<div class=\"risultato\"><a href=\"/archivio/" + QByteArray::number(id) +
                 "\">Impiegato amministrativo</a><p>Sede: Pescara. Contratto a tempo "
                 "determinato, esperienza richiesta.</p></div>\n";
    return page.insert(page.lastIndexOf("</body>"), older);
}

QString SoakSites::titleIn(int site, const QString& markup) const {
    const QStringList& titles = served(site);
    // A page holds one served title; it ends where its element does, so "annuncio 1" is not
    // found in "annuncio 12". The latest titles are the likeliest.
    for (auto it = titles.crbegin(); it != titles.crend(); ++it)
        if (markup.contains(*it + u'<')) return *it;
    return {};
}

}  // namespace quintavia::soak
