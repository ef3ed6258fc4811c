#include "shell/window/band_controls.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <array>

#include "core/layout/top_band.h"
#include "core/watch/kept.h"
#include "shell/window/accessibility.h"
#include "shell/window/accessible_names.h"

namespace quintavia {

BandControls BandControls::MakeOn(QWidget* window) {
    BandControls band;
    band.regionBox =
        Named(new RegionBox(window), "regionBox", QStringLiteral("Scelta delle regioni"),
              QStringLiteral("Regione"),
              QStringLiteral("La regione in cui cercare: sceglila dall'elenco, oppure scrivila e "
                             "premi Invio"));
    band.regionBox->setEditText(kDefaultRegionText);
    Name(band.regionBox->view(), QStringLiteral("Elenco delle regioni"),
         QStringLiteral("Le venti regioni, in ordine alfabetico"));
    Name(band.regionBox->lineEdit(), QStringLiteral("Regione"),
         QStringLiteral("Il testo della regione in cui cercare"));
    AddSpokenLabel(band.regionBox, QStringLiteral("Regione"));
    SetDesignColours(band.regionBox, QColor(255, 255, 192));

    band.refreshButton =
        Named(new QPushButton(QStringLiteral("Aggiorna"), window), "refreshButton",
              QStringLiteral("Aggiorna manualmente le pagine"), QStringLiteral("Aggiorna"),
              QStringLiteral("Carica di nuovo le pagine dei quattro siti"));

    band.logBox = Named(
        new QComboBox(window), "logBox", QStringLiteral("Log"), QStringLiteral("Annunci nuovi"),
        QStringLiteral("Gli annunci nuovi trovati in questa sessione, il più recente "
                       "per ultimo; un doppio clic apre gli annunci trovati"));
    band.logBox->setEditable(true);
    band.logBox->setInsertPolicy(QComboBox::NoInsert);
    band.logBox->setCompleter(nullptr);
    Name(band.logBox->view(), QStringLiteral("Elenco degli annunci nuovi"),
         QStringLiteral("Gli annunci nuovi trovati, il più recente per ultimo"));
    Name(band.logBox->lineEdit(), QStringLiteral("Annunci nuovi"),
         QStringLiteral("L'ultimo annuncio nuovo scelto o trovato"));
    AddSpokenLabel(band.logBox, QStringLiteral("Annunci nuovi"));
    SetDesignColours(band.logBox, QColor(192, 255, 255));

    band.soundAlertOption =
        Named(new TriStateCheckBox(QStringLiteral("Avviso sonoro"), window), "soundAlertOption",
              QStringLiteral("Avviso vocale di nuovi annunci"), QStringLiteral("Avviso sonoro"),
              QStringLiteral("Suona un avviso per ogni annuncio nuovo"));

    band.autoPositionOption =
        Named(new TriStateCheckBox(QStringLiteral("Auto Posizione"), window), "autoPositionOption",
              QStringLiteral("Attiva la posizione delle pagine nelle finestre browser salvate"),
              QStringLiteral("Auto Posizione"),
              QStringLiteral("Riporta ogni pagina alla posizione salvata dopo ogni caricamento"));

    band.saveScrollButton = Named(
        new QPushButton(QStringLiteral("Salva posizione finestre"), window), "saveScrollButton",
        QStringLiteral("Salva la posizione delle pagine nelle finestre browser"),
        QStringLiteral("Salva posizione finestre"),
        QStringLiteral("Salva la posizione a cui è scorsa ciascuna delle quattro pagine"));

    // Only as wide as its square: the caption is there but never seen.
    band.siteLabelsOption =
        Named(new TriStateCheckBox(QStringLiteral("Check3"), window), "siteLabelsOption",
              QStringLiteral("Visualizza Nome Agenzie"), QStringLiteral("Nomi dei siti"),
              QStringLiteral("Mostra il nome del sito sopra ogni pagina"));

    // The way to the settings that shows: the keys and the menus are found only by those who
    // know them.
    band.settingsButton = Named(
        new QPushButton(QStringLiteral("Impostazioni"), window), "settingsButton",
        QStringLiteral("Scegli la regione, i siti e le parole da cercare (Ctrl+,)"),
        QStringLiteral("Impostazioni"),
        QStringLiteral("Apre le impostazioni: la regione, il sito di ogni riquadro e le parole "
                       "da cercare o da escludere"));
    return band;
}

void BandControls::layOut(int clientWidth) const {
    const QList<QWidget*> band = inOrder();
    const BandRects rects = TopBand(clientWidth);
    for (std::size_t i = 0; i < kBandControls; ++i)
        band[static_cast<qsizetype>(i)]->setGeometry(rects[i]);
}

QList<QWidget*> BandControls::inOrder() const {
    return {regionBox,          refreshButton,    logBox,           soundAlertOption,
            autoPositionOption, saveScrollButton, siteLabelsOption, settingsButton};
}

}  // namespace quintavia
