#include "core/text/text_fold.h"

namespace quintavia {

QString FoldText(QStringView text) {
    // Decomposed, an accented letter is its letter and a combining mark, which is left out.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    bool gap = false;
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar c = decomposed[i];
        if (c.category() == QChar::Mark_NonSpacing ||
            c.category() == QChar::Mark_SpacingCombining || c.category() == QChar::Mark_Enclosing)
            continue;
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < decomposed.size() &&
            decomposed[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, decomposed[i + 1]);
            ++i;
        }
        if (!QChar::isLetterOrNumber(code)) {
            gap = !folded.isEmpty();
            continue;
        }
        if (gap) folded += u' ';
        gap = false;
        const char32_t lower = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(lower)) {
            folded += QChar(QChar::highSurrogate(lower));
            folded += QChar(QChar::lowSurrogate(lower));
        } else {
            folded += QChar(static_cast<char16_t>(lower));
        }
    }
    return folded;
}

QStringList FoldedWords(QStringView text) {
    return FoldText(text).split(u' ', Qt::SkipEmptyParts);
}

bool HoldsPhrase(const QStringList& words, QStringView phrase) {
    const QStringList wanted = FoldedWords(phrase);
    if (wanted.isEmpty()) return false;
    for (qsizetype at = 0; at + wanted.size() <= words.size(); ++at) {
        bool all = true;
        for (qsizetype k = 0; k < wanted.size() && all; ++k) all = words[at + k] == wanted[k];
        if (all) return true;
    }
    return false;
}

}  // namespace quintavia
