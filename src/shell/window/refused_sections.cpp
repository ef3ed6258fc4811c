#include "shell/window/refused_sections.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "shell/window/accessible_names.h"

namespace quintavia {

RefusedSections::RefusedSections(const QList<RefusedSection>& refused, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("refusedSections"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(this);
    Named(list_, "refusedSectionsList",
          QStringLiteral("Correggi la sezione in %1 e riavvia Quintavia")
              .arg(QLatin1StringView(kSitesFileName)),
          QStringLiteral("Sezioni di %1 scartate").arg(QLatin1StringView(kSitesFileName)),
          QStringLiteral("Le sezioni del file dei siti che Quintavia non ha potuto usare, "
                         "ciascuna con il motivo"));
    auto* caption = new QLabel(
        QStringLiteral("Sezioni di %1 &scartate:").arg(QLatin1StringView(kSitesFileName)), this);
    caption->setBuddy(list_);
    caption->setWordWrap(true);
    for (const RefusedSection& one : refused)
        list_->addItem(QStringLiteral("[%1]: %2").arg(one.section, one.reason));
    // A few lines high: the dialog stays the size it was, the rest scrolls.
    list_->setMaximumHeight(list_->sizeHintForRow(0) * 4 + 2 * list_->frameWidth());
    list_->setWordWrap(true);
    layout->addWidget(caption);
    layout->addWidget(list_);
}

}  // namespace quintavia
