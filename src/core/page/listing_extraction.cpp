#include "core/page/listing_extraction.h"

#include "core/listings/listing.h"
#include "core/sites/sites.h"

namespace quintavia {
namespace {

// A listing's text is cut to this many units in the page, before it crosses to the program:
// enough that CutTitle, not the script, decides where a title ends.
constexpr qsizetype kScriptTextUnits = 2 * kTitleUnits;

// %1 the title selector, %2 the link selector or null, %3 kMaxListings, %4 kScriptTextUnits,
// %5 kMaxLinkUnits. Titles are counted one past the most read: a card is the largest element
// around a title that holds no other, and since an element holds a run of the document, the
// next title in document order is the only one that can end the last card.
constexpr char16_t kScript[] =
    uR"js((function () {
  var titleSelector = %1;
  var linkSelector = %2;
  var titles;
  try {
    titles = document.querySelectorAll(titleSelector);
    if (linkSelector !== null) document.querySelector(linkSelector);
  } catch (e) {
    return 'bad-selector';
  }
  var counted = Math.min(titles.length, %3 + 1);
  var held = new Map();
  for (var i = 0; i < counted; ++i)
    for (var up = titles[i].parentElement; up; up = up.parentElement)
      held.set(up, (held.get(up) || 0) + 1);
  function cardOf(title) {
    var card = title;
    while (card.parentElement && held.get(card.parentElement) === 1) card = card.parentElement;
    return card;
  }
  function anchorOf(element) {
    if (!element) return null;
    return element.closest('a[href]') || element.querySelector('a[href]');
  }
  function linkOf(title) {
    var anchor = null;
    if (linkSelector === null) {
      anchor = anchorOf(title) || cardOf(title).querySelector('a[href]');
    } else {
      var card = cardOf(title);
      try {
        anchor = anchorOf(card.matches(linkSelector) ? card : card.querySelector(linkSelector));
      } catch (e) {
        anchor = null;
      }
    }
    var href = anchor ? anchor.href : '';
    return typeof href === 'string' && href.length <= %5 ? href : '';
  }
  var listings = [];
  for (var k = 0; k < titles.length && listings.length < %3; ++k) {
    var text = String(titles[k].textContent || '').replace(/\s+/g, ' ').trim();
    listings.push([text.slice(0, %4), linkOf(titles[k])]);
  }
  return listings;
})())js";

}  // namespace

QString JsStringLiteral(QStringView text) {
    QString literal;
    literal.reserve(text.size() + 2);
    literal += u'"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            literal += u'\\';
            literal += c;
        } else if (u >= 0x20 && u < 0x7f) {
            literal += c;
        } else {
            // Line breaks, the line separators JavaScript once refused in a string, and
            // everything outside ASCII, surrogate halves one by one.
            literal += QStringLiteral("\\u%1").arg(static_cast<uint>(u), 4, 16, QLatin1Char('0'));
        }
    }
    literal += u'"';
    return literal;
}

QString ExtractionScript(const SiteRule& rule) {
    if (rule.findBy != FindBy::Selector) return {};
    const QString link =
        rule.linkSelector.isEmpty() ? QStringLiteral("null") : JsStringLiteral(rule.linkSelector);
    return QString::fromUtf16(kScript).arg(
        JsStringLiteral(rule.selector), link, QString::number(kMaxListings),
        QString::number(kScriptTextUnits), QString::number(kMaxLinkUnits));
}

bool IsBadSelectorAnswer(const QVariant& answer) {
    return answer.typeId() == QMetaType::QString && answer.toString() == u"bad-selector";
}

QList<Listing> ListingsFromAnswer(const QVariant& answer) {
    QList<Listing> listings;
    if (answer.typeId() != QMetaType::QVariantList) return listings;
    const QVariantList entries = answer.toList();
    const qsizetype looked = std::min<qsizetype>(entries.size(), kMaxListings);
    for (qsizetype i = 0; i < looked; ++i) {
        if (entries[i].typeId() != QMetaType::QVariantList) continue;
        const QVariantList pair = entries[i].toList();
        if (pair.size() != 2 || pair[0].typeId() != QMetaType::QString ||
            pair[1].typeId() != QMetaType::QString)
            continue;
        QString text = pair[0].toString();
        // The script's cut can leave half a pair at the end.
        if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
        const QString title = CutTitle(text.simplified());
        const QString href = pair[1].toString();
        if (title.isEmpty() || href.size() > kMaxLinkUnits) continue;
        const QUrl link(href, QUrl::StrictMode);
        if (!IsWebAddress(link)) continue;
        listings.append({title, link});
    }
    return listings;
}

}  // namespace quintavia
