#include "shell/app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace quintavia {
namespace {

struct Text {
    const char* english;
    const char* italian;
};

// The items of the panes' menus, as the engine names them, in the words Italian browsers use.
constexpr Text kEngineMenu[] = {
    {"Back", "Indietro"},
    {"Forward", "Avanti"},
    {"Reload", "Ricarica"},
    {"Cut", "Taglia"},
    {"Copy", "Copia"},
    {"Paste", "Incolla"},
    {"Undo", "Annulla"},
    {"Redo", "Ripeti"},
    {"Select all", "Seleziona tutto"},
    {"Paste and match style", "Incolla e mantieni lo stile"},
    {"Open link in new window", "Apri link in un'altra finestra"},
    {"Open link in new tab", "Apri link in un'altra scheda"},
    {"Copy link address", "Copia indirizzo link"},
    {"Save link", "Salva link"},
    {"Copy image", "Copia immagine"},
    {"Copy image address", "Copia indirizzo immagine"},
    {"Save image", "Salva immagine"},
    {"Copy media address", "Copia indirizzo media"},
    {"Show controls", "Mostra controlli"},
    {"Loop", "Ripeti in loop"},
    {"Save media", "Salva media"},
    {"Inspect", "Ispeziona"},
    {"Exit full screen", "Esci da schermo intero"},
    {"Save page", "Salva pagina"},
    {"View page source", "Visualizza sorgente pagina"},
    {"Add to dictionary", "Aggiungi al dizionario"},
};

// The engine's menu texts, which Qt translates in a context of their own.
class EngineMenuTranslator final : public QTranslator {
  public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (!context || !sourceText || std::strcmp(context, "RenderViewContextMenuQt") != 0)
            return {};
        for (const Text& text : kEngineMenu)
            if (std::strcmp(sourceText, text.english) == 0) return QString::fromUtf8(text.italian);
        return {};
    }
};

}  // namespace

void InstallItalianTranslations() {
    QCoreApplication* app = QCoreApplication::instance();
    // Asked last: Qt's own translations of the engine's menus, where it has them, come first.
    QCoreApplication::installTranslator(new EngineMenuTranslator(app));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // qt_it gathers the modules' own (qtbase_it, qtmultimedia_it); the engine's, where Qt has
    // them, come in a file apart. A missing file leaves those texts in English.
    for (const char* name : {"qt_it", "qtwebengine_it"}) {
        auto* translator = new QTranslator(app);
        if (translator->load(QString::fromLatin1(name), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

}  // namespace quintavia
