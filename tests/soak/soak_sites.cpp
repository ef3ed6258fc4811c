#include "soak_sites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "core/layout/panes.h"
#include "shell/app/program_start.h"

namespace quintavia::soak {
namespace {

struct Board {
    const char* id;
    const char* name;
    const char* host;
};
constexpr Board kBoards[] = {{"soak-bacheca-uno", "Bacheca Uno", "www.bachecauno.example"},
                             {"soak-bacheca-due", "Bacheca Due", "www.bachecadue.example"}};

const Board& BoardOf(int site) {
    return kBoards[site - SoakSites::kFirstBoard];
}

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

SoakSites::SoakSites(std::array<int, fixtures::kPaneCount> changeEvery, int pageKib, bool hostile,
                     int boardAdds)
    : changeEvery_(changeEvery),
      pageBytes_(qsizetype{std::max(pageKib, 0)} * 1024),
      hostile_(hostile),
      boardAdds_(std::max(boardAdds, 0)) {
    for (int& every : changeEvery_) every = std::max(every, 1);
}

QString SoakSites::placeBoards(SettingsFile& store) const {
    if (boardAdds_ == 0) return {};
    QString rules;
    SettingsEntries panes;
    for (int site = kFirstBoard; site < fixtures::kPaneCount; ++site) {
        const Board& board = BoardOf(site);
        const QString host = QString::fromLatin1(board.host);
        rules +=
            QStringLiteral(
                "[%1]\nnome = %2\nindirizzo = http://%3/offerte/?r={regione_slug}\n"
                "dominio = %4\nselettore = .annuncio h2\n"
                "selettore_link = a.dettagli\n\n")
                .arg(QLatin1String(board.id), QString::fromUtf8(board.name), host, host.mid(4));
        panes.append({QStringLiteral("Siti"), QString::number(site), QLatin1String(board.id)});
    }
    const QString path = SitesPathBeside(store.path());
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rules.toUtf8()) < 0 || !file.flush())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    const WriteResult written = store.write(panes);
    return written ? QString() : written.error;
}

fixtures::Handler SoakSites::handler() {
    return [this](const fixtures::Request& request) {
        int site = fixtures::SiteForHost(request.host);
        for (int board = kFirstBoard; boardAdds_ > 0 && board < fixtures::kPaneCount; ++board) {
            if (request.host.toLower().startsWith(BoardOf(board).host)) site = board;
            // With boards, the default sites of their panes are not shown.
            else if (site == board)
                site = -1;
        }
        // The engine may ask for more than the search page; only that page counts.
        if (site < 0 || request.path == "/favicon.ico") return fixtures::Response{.status = 404};
        const auto s = static_cast<std::size_t>(site);
        if (isBoard(site)) {
            const int first = loads_[s]++ * boardAdds_ + 1;
            for (int n = first; n < first + boardAdds_; ++n) servedKeys_[s] << boardLink(site, n);
            served_[s] << Title(site, first + boardAdds_ - 1);
            return fixtures::Response{.body = boardPage(site)};
        }
        const QString title = Title(site, loads_[s]++ / changeEvery_[s] + 1);
        if (served_[s].isEmpty() || served_[s].back() != title) {
            served_[s] << title;
            servedKeys_[s] << title.toUpper();
        }
        return fixtures::Response{.body = page(site, title)};
    };
}

QString SoakSites::boardLink(int site, int number) const {
    return QStringLiteral("http://%1/offerta/%2")
        .arg(QLatin1String(BoardOf(site).host))
        .arg(number);
}

QByteArray SoakSites::boardPage(int site) const {
    // Cards as a board writes them, newest first: the title with no link of its own, the
    // listing's page under "Dettagli".
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>\n";
    const int newest = loads(site) * boardAdds_;
    for (int n = newest; n > std::max(newest - kBoardShown, 0); --n)
        page += "<div class=\"annuncio\"><h2>" + Title(site, n).toUtf8() +
                "</h2><a class=\"dettagli\" href=\"/offerta/" + QByteArray::number(n) +
                "\">Dettagli</a></div>\n";
    return page + "</body></html>\n";
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

QStringList SoakSites::keysIn(int site, const QString& markup) const {
    if (!isBoard(site)) {
        const QString title = titleIn(site, markup);
        return title.isEmpty() ? QStringList{} : QStringList{title.toUpper()};
    }
    static const QRegularExpression link(QStringLiteral("href=\"/offerta/(\\d+)\""));
    QStringList keys;
    for (auto it = link.globalMatch(markup); it.hasNext();)
        keys << boardLink(site, it.next().captured(1).toInt());
    return keys;
}

}  // namespace quintavia::soak
