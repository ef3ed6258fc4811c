#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace quintavia {

// A text as it is compared with words the user typed or with another site's titles: letters
// and digits only, in lower case without accents ("Caffè" and "CAFFE" fold alike), every run of
// anything else one space, none at either end.
QString FoldText(QStringView text);

// The folded text's words.
QStringList FoldedWords(QStringView text);

// Whether the folded words `words` hold `phrase`'s folded words, whole and in a row.
bool HoldsPhrase(const QStringList& words, QStringView phrase);

}  // namespace quintavia
