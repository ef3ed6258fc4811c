#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <chrono>
#include <cstdio>
#include <optional>

#include "core/sites/sites.h"
#include "core/watch/kept.h"
#include "shell/app/application_names.h"
#include "shell/app/engine_environment.h"
#include "shell/app/program_start.h"
#include "shell/app/quit_signals.h"
#include "shell/app/single_instance.h"
#include "shell/app/site_check.h"
#include "shell/app/translations.h"
#include "shell/app/warn.h"
#include "shell/browser/engine_profile.h"
#include "shell/browser/request_blocker.h"
#include "shell/window/main_window.h"
#include "store/settings_file.h"

namespace {

// What the command line asks for: the window, by default.
struct Request {
    bool help = false;
    bool listSites = false;
    std::optional<QString> checkSite;  // a site's id
    std::optional<QUrl> checkAddress;  // or a results page's address, read by structure
    bool regionGiven = false;
    quintavia::SearchQuery query;  // what the checked site searches
};

const QString kUsage = QStringLiteral(
    " (le opzioni sono --siti, --prova-sito ID o INDIRIZZO, --regione TESTO e --parole TESTO; "
    "--help le spiega)");

const QString kHelp = QStringLiteral(
    "Uso: quintavia [OPZIONE]\n"
    "Senza opzioni apre la finestra che sorveglia gli annunci di lavoro.\n"
    "\n"
    "  --siti                  stampa i siti che Quintavia conosce, come li scrive siti.ini\n"
    "  --prova-sito ID         carica la ricerca del sito ID e dice che cosa ne legge un\n"
    "                          riquadro\n"
    "  --prova-sito INDIRIZZO  legge per struttura la pagina di risultati all'indirizzo e\n"
    "                          ne propone la sezione per siti.ini\n"
    "  --regione TESTO         con --prova-sito, la regione da cercare\n"
    "  --parole TESTO          con --prova-sito, le parole da cercare\n"
    "  -h, --help              mostra questo aiuto\n");

// Qt's own messages are English whatever the translations: what was wrong, told again.
QString ParseProblem(const QCommandLineParser& parser, const QStringList& arguments) {
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        return QStringLiteral("opzione sconosciuta: %1%2")
                   .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name) +
               kUsage;
    }
    // The only other faults: an option that takes a value given without one, and one that
    // takes none given one.
    for (const QString& argument : arguments) {
        const QString name = QString(argument).remove(QRegularExpression(QStringLiteral("^-+")));
        if (name == u"prova-sito" || name == u"regione" || name == u"parole")
            if (argument == arguments.last())
                return QStringLiteral("manca il valore dopo %1").arg(argument);
        const QString bare = name.section(u'=', 0, 0);
        if (name.contains(u'=') && (bare == u"siti" || bare == u"help" || bare == u"h"))
            return QStringLiteral("%1 non vuole un valore").arg(argument.section(u'=', 0, 0));
    }
    return QStringLiteral("la riga di comando non si legge") + kUsage;
}

// The request, or none after one line on standard error.
std::optional<Request> ParseArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments += QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    const QCommandLineOption sites(QStringLiteral("siti"));
    const QCommandLineOption check(QStringLiteral("prova-sito"), {}, QStringLiteral("ID"));
    const QCommandLineOption region(QStringLiteral("regione"), {}, QStringLiteral("TESTO"));
    const QCommandLineOption words(QStringLiteral("parole"), {}, QStringLiteral("TESTO"));
    // Qt's own help option would print Qt's English.
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({sites, check, region, words, help});
    QString problem;
    if (!parser.parse(arguments))
        problem = ParseProblem(parser, arguments);
    else if (!parser.positionalArguments().isEmpty())
        problem =
            QStringLiteral("argomento inatteso: %1").arg(parser.positionalArguments()[0]) + kUsage;
    else if (parser.isSet(sites) && parser.isSet(check))
        problem = QStringLiteral("--siti e --prova-sito vanno uno alla volta");
    else if (!parser.isSet(check) && (parser.isSet(region) || parser.isSet(words)))
        problem = QStringLiteral("--regione e --parole vanno con --prova-sito");
    if (!problem.isEmpty()) {
        quintavia::Warn(problem);
        return std::nullopt;
    }
    Request request;
    request.help = parser.isSet(help);
    request.listSites = parser.isSet(sites);
    if (parser.isSet(check)) {
        const QString value = parser.value(check);
        if (value.startsWith(u"http://", Qt::CaseInsensitive) ||
            value.startsWith(u"https://", Qt::CaseInsensitive)) {
            const QUrl address(value, QUrl::StrictMode);
            if (!address.isValid() || address.host().isEmpty()) {
                quintavia::Warn(QStringLiteral("%1 non è un indirizzo da provare").arg(value));
                return std::nullopt;
            }
            request.checkAddress = address;
        } else {
            request.checkSite = value;
        }
    }
    request.regionGiven = parser.isSet(region);
    request.query.regionText =
        parser.isSet(region) ? parser.value(region) : quintavia::kDefaultRegionText;
    request.query.regionIndex =
        static_cast<qint16>(quintavia::RegionNamed(request.query.regionText).value_or(0));
    request.query.keywords = parser.value(words);
    return request;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::optional<Request> request = ParseArguments(argc, argv);
    if (!request) return 2;
    if (request->help) {
        std::fputs(kHelp.toUtf8().constData(), stdout);
        return 0;
    }
    const QString sitesPath = quintavia::SitesPathBeside(quintavia::SettingsFile::UserPath());
    if (request->listSites) return quintavia::PrintCatalogue(sitesPath);
    std::optional<quintavia::SiteRule> checked;
    if (request->checkSite) {
        checked = quintavia::SiteToCheck(sitesPath, *request->checkSite);
        if (!checked) return 2;
    }
    // A check shows nothing: it runs where no display is, and never opens a window.
    if (checked || request->checkAddress) qputenv("QT_QPA_PLATFORM", "offscreen");

    quintavia::PrepareEngineEnvironment();
    // The blocking's lists compile while the engine starts.
    quintavia::RequestBlocker::instance();
    // The browser engine shares its GL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    quintavia::NameTheApplication();
    // The window, the tray and notifications map to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("it.norvello.Quintavia"));
    quintavia::InstallItalianTranslations();
    if (checked) return quintavia::CheckSiteAndReport(*checked, request->query);
    if (request->checkAddress)
        return quintavia::CheckAddressAndReport(
            *request->checkAddress, request->regionGiven ? request->query.regionText : QString(),
            request->query.keywords);

    // A second start with the same settings shows the window of the first, and ends.
    const QString settingsFolder =
        quintavia::SettingsFile::UserPath().isEmpty()
            ? QString()
            : QFileInfo(quintavia::SettingsFile::UserPath()).absolutePath();
    const std::unique_ptr<quintavia::SingleInstance> instance =
        quintavia::SingleInstance::claim(settingsFolder);
    if (!instance) {
        if (quintavia::SingleInstance::askToShow(settingsFolder, std::chrono::seconds(10)))
            return 0;
        quintavia::Warn(QStringLiteral("un altro Quintavia è aperto con le impostazioni in %1, "
                                       "ma non risponde; questo si chiude")
                            .arg(settingsFolder));
        return 1;
    }

    quintavia::SettingsFile store(quintavia::SettingsFile::UserPath());

    // The engine starts with its first profile and resets SIGTERM, SIGINT and SIGHUP to their
    // defaults as it does: our handlers go in after it, and before the window starts up, so a
    // signal from then on closes the window through its normal path. The profile outlives the
    // window, whose pages belong to it.
    quintavia::EngineProfile engine;
    if (!engine.notice().isEmpty()) quintavia::Warn(engine.notice());
    quintavia::QuitSignals quitSignals;

    const std::unique_ptr<quintavia::MainWindow> window =
        quintavia::StartProgram(store, engine.profile());
    QObject::connect(&quitSignals, &quintavia::QuitSignals::received, window.get(),
                     &QWidget::close);
    QObject::connect(instance.get(), &quintavia::SingleInstance::showAsked, window.get(),
                     &quintavia::MainWindow::bringBack);
    // Quitting by any other path still stores what outlives the run before the window goes.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, window.get(),
                     &quintavia::MainWindow::shutDown);
    window->show();
    const int status = QApplication::exec();
    return status != 0 ? status : (window->settingsSaved() ? 0 : 1);
}
