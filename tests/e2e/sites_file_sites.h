#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <map>

#include "csv_reader.h"
#include "notifying_sites.h"
#include "shell/app/program_start.h"
#include "store/history_file.h"
#include "store/listing_memory_file.h"

namespace quintavia::e2e {

// A window started with a sites file beside the harness's settings file, against the scripted
// default sites and, at the hosts a test gives, pages of its own; with no history and no
// listings seen before.
class SitesFileTest : public NotifyingSitesTest {
  protected:
    void SetUp() override {
        NotifyingSitesTest::SetUp();
        ForgetFiles();
        Harness::instance().server().setHandler(
            [this, scripted = sites.handler()](const fixtures::Request& request) {
                const auto page = pages.find(request.host.toLower());
                if (page == pages.end()) return scripted(request);
                return fixtures::Response{.body = page->second};
            });
    }
    void TearDown() override {
        NotifyingSitesTest::TearDown();
        ForgetFiles();
    }

    void ForgetFiles() const {
        QFile::remove(sitesPath);
        QFile::remove(historyPath);
        QFile::remove(historyPath + QStringLiteral(".1"));
        QFile::remove(ListingMemoryFile::UserPath());
    }

    bool WriteSitesFile(const QString& text) const {
        QDir().mkpath(QFileInfo(sitesPath).path());
        QFile file(sitesPath);
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
    }

    // The history's listings, without the heading.
    QList<QStringList> History() const {
        QFile file(historyPath);
        if (!file.open(QIODevice::ReadOnly)) return {};
        QList<QStringList> rows =
            support::ReadCsv(QString::fromUtf8(file.readAll())).value_or(QList<QStringList>{});
        if (!rows.isEmpty()) rows.removeFirst();
        return rows;
    }

    std::map<QByteArray, QByteArray> pages;  // by host
    const QString sitesPath = SitesPathBeside(Harness::instance().settingsPath());
    const QString historyPath = HistoryFile::UserPath();
};

// Two boards of the user's, read by selector: each serves its listings newest first, each with
// its own page, and a test adds listings between loads.
class TwoBoardsTest : public SitesFileTest {
  protected:
    struct Board {
        QString id;
        QString name;
        QByteArray host;
    };
    static inline const Board kBoards[] = {
        {QStringLiteral("bacheca-uno"), QStringLiteral("Bacheca Uno"), "www.bachecauno.example"},
        {QStringLiteral("bacheca-due"), QStringLiteral("Bacheca Due"), "www.bachecadue.example"},
    };

    // The boards' rules in the sites file, each with one listing of yesterday's; `places` gains
    // the [Siti] entries that put them at `firstPlace` and the place after.
    [[nodiscard]] bool WriteBoards(int firstPlace, SettingsEntries& places) {
        QString rules;
        for (int b = 0; b < 2; ++b) {
            const Board& board = kBoards[b];
            rules += QStringLiteral(
                         "[%1]\nnome = %2\nindirizzo = http://%3/offerte/?r={regione_slug}\n"
                         "dominio = %4\nselettore = .annuncio h2\nselettore_link = "
                         "a.dettagli\n")
                         .arg(board.id, board.name, QString::fromLatin1(board.host),
                              QString::fromLatin1(board.host.mid(4)));
            places += {QStringLiteral("Siti"), QString::number(firstPlace + b), board.id};
            cards[b] = {{QStringLiteral("Annuncio di ieri"), 1}};
            pages[board.host] = Page(cards[b]);
        }
        return WriteSitesFile(rules);
    }

    // Cards as a board writes them: the title with no link of its own, the listing's page
    // under "Dettagli".
    static QByteArray Page(const QList<std::pair<QString, int>>& cards) {
        QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>\n";
        for (const auto& [title, n] : cards)
            page += "<div class=\"annuncio\"><h2>" + title.toHtmlEscaped().toUtf8() +
                    "</h2><a class=\"dettagli\" href=\"/offerta/" + QByteArray::number(n) +
                    "\">Dettagli</a></div>\n";
        return page + "</body></html>\n";
    }

    // Puts a listing at the top of board `b`'s page; gives its link.
    QString Add(int b, const QString& title) {
        const int n = ++lastNumber;
        cards[b].prepend({title, n});
        pages[kBoards[b].host] = Page(cards[b]);
        return QStringLiteral("http://%1/offerta/%2")
            .arg(QString::fromLatin1(kBoards[b].host))
            .arg(n);
    }

    std::array<QList<std::pair<QString, int>>, 2> cards;  // per board, newest first
    int lastNumber = 100;
};

}  // namespace quintavia::e2e
