#include "core/watch/notices.h"

#include <algorithm>

#include "core/text/shown_text.h"
#include "core/text/text_cut.h"

namespace quintavia {
namespace {

constexpr int kWatchedAgainTimeoutMs = 5000;

}  // namespace

Notice ListingsNotice(const QString& site, const QList<FoundListing>& first, int count) {
    Notice notice;
    notice.summary = count <= 1 ? QStringLiteral("Nuovo annuncio su %1").arg(site)
                                : QStringLiteral("%1 nuovi annunci su %2").arg(count).arg(site);
    QStringList lines;
    for (const FoundListing& listing : first.first(std::min(first.size(), kNoticeTitles)))
        lines.append(ShownText(TitleWithDetails(listing)));
    if (count > lines.size()) lines.append(QStringLiteral("e altri %1").arg(count - lines.size()));
    notice.body = lines.join(u'\n');
    notice.action = NoticeAction::ShowFound;
    if (!first.isEmpty() && IsOpenableLink(first.first().link)) {
        notice.action = NoticeAction::OpenLink;
        notice.link = first.first().link;
    }
    return notice;
}

QString BlindTag(const QString& siteId) {
    return QStringLiteral("cieco:") + siteId;
}

Notice BlindNotice(const QString& site, const QString& reason, const QString& advice,
                   bool watchedBefore, int pane) {
    const QString body = (watchedBefore ? QStringLiteral("Quintavia non vede più gli annunci: %1")
                                        : QStringLiteral("Quintavia non vede gli annunci: %1"))
                             .arg(BlindState(reason, advice));
    Notice notice{watchedBefore ? QStringLiteral("%1 non è più sorvegliato").arg(site)
                                : QStringLiteral("%1 non è sorvegliato").arg(site),
                  body + u'.'};
    if (pane >= 0) {
        notice.action = NoticeAction::ShowSettings;
        notice.pane = pane;
    }
    return notice;
}

Notice WatchedAgainNotice(const QString& site) {
    return {QStringLiteral("%1 di nuovo sorvegliato").arg(site),
            QStringLiteral("Quintavia vede di nuovo gli annunci."), kWatchedAgainTimeoutMs};
}

QString NoticeBody(const QString& text, bool markup) {
    // Line by line: a notice's lines are its titles, which stay apart.
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) line = ShownText(line);
    const QString shown = lines.join(u'\n');
    const qsizetype end = CutEnd(shown, kNoticeBodyUnits);
    QString out;
    out.reserve(end + (markup ? end / 8 : 0));
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = shown[i];
        if (c.isHighSurrogate() && i + 1 < end && shown[i + 1].isLowSurrogate()) {
            out += c;
            out += shown[++i];
            continue;
        }
        if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
            continue;
        }
        const char16_t* reference = nullptr;
        if (markup) {
            switch (c.unicode()) {
                case u'&':
                    reference = u"&amp;";
                    break;
                case u'<':
                    reference = u"&lt;";
                    break;
                case u'>':
                    reference = u"&gt;";
                    break;
                case u'"':
                    reference = u"&quot;";
                    break;
                case u'\'':
                    reference = u"&#39;";
                    break;
                default:
                    break;
            }
        }
        if (reference)
            out += QStringView(reference);
        else
            out += c;
    }
    return out;
}

QString BlindState(const QString& reason, const QString& advice) {
    if (advice.isEmpty()) return reason;
    return reason + QStringLiteral("; ") + advice;
}

QString TrayToolTip(int secondsLeft, const QStringList& siteNames, const QStringList& blindReasons,
                    int unopened, const QList<bool>& checking) {
    const int seconds = std::max(secondsLeft, 0);
    QString tip = QStringLiteral("Quintavia: prossimo aggiornamento tra %1:%2")
                      .arg(seconds / 60)
                      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    for (qsizetype i = 0; i < siteNames.size(); ++i) {
        const QString reason = blindReasons.value(i);
        QString state = QStringLiteral("non sorvegliato, ") + reason;
        if (reason.isEmpty())
            state =
                checking.value(i) ? QStringLiteral("in verifica") : QStringLiteral("sorvegliato");
        tip += u'\n' + siteNames[i] + QStringLiteral(": ") + state;
    }
    if (unopened > 0)
        tip += unopened == 1 ? QStringLiteral("\n1 annuncio trovato da aprire")
                             : QStringLiteral("\n%1 annunci trovati da aprire").arg(unopened);
    return tip;
}

QString SiteLabelToolTip(const QString& blindReason, bool checking) {
    if (blindReason.isEmpty())
        return checking ? QStringLiteral("In verifica: la prima pagina non è ancora stata letta")
                        : QString();
    return QStringLiteral("Non sorvegliato: ") + blindReason;
}

}  // namespace quintavia
