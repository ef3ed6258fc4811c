#include "core/page/listing_extraction.h"

#include <algorithm>

#include "core/listings/listing.h"
#include "core/listings/listing_key.h"
#include "core/sites/sites.h"
#include "core/text/shown_text.h"

namespace quintavia {
namespace {

// A listing's text is cut to this many units in the page, before it crosses to the program:
// enough that CutTitle, not the script, decides where a title ends.
constexpr qsizetype kScriptTextUnits = 2 * kTitleUnits;
// The script's entries: text, href, company, place, date, key.
constexpr qsizetype kScriptEntry = 6;

// A detail of a card as it is kept: one line, shown as every text outside the page, and cut.
QString Detail(const QVariant& value) {
    QString text = ShownText(value.toString().simplified()).left(kDetailUnits);
    if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
    return text;
}

// %1 the title selector, %2 the link selector or null, %3 kMaxListings, %4 kScriptTextUnits,
// %5 kMaxLinkUnits, %6 %7 %8 the company, place and date selectors or null, %9 the key's
// attribute or null, %10 kDetailUnits. Titles are counted one past the most read: a card is the
// largest element around a title that holds no other, and since an element holds a run of the
// document, the next title in document order is the only one that can end the last card.
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
  function textOf(element) {
    return String(element.textContent || '').replace(/\s+/g, ' ').trim();
  }
  function detailOf(card, selector, dated) {
    if (selector === null) return '';
    var found = null;
    try {
      found = card.matches(selector) ? card : card.querySelector(selector);
    } catch (e) {
      return '';
    }
    if (!found) return '';
    if (dated) {
      var time = found.matches('time[datetime]') ? found : found.querySelector('time[datetime]');
      if (time) return String(time.getAttribute('datetime') || '').trim().slice(0, %10);
    }
    return textOf(found).slice(0, %10);
  }
  function keyOf(card) {
    if (keyAttribute === null) return '';
    var holder = card.hasAttribute(keyAttribute) ? card
        : card.querySelector('[' + CSS.escape(keyAttribute) + ']');
    return holder ? String(holder.getAttribute(keyAttribute) || '').trim().slice(0, %10) : '';
  }
  var keyAttribute = %9;
  var listings = [];
  for (var k = 0; k < titles.length && listings.length < %3; ++k) {
    var card = cardOf(titles[k]);
    listings.push([textOf(titles[k]).slice(0, %4), linkOf(titles[k]), detailOf(card, %6, false),
                   detailOf(card, %7, false), detailOf(card, %8, true), keyOf(card)]);
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
    const auto literal = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("null") : JsStringLiteral(text);
    };
    // One pass: a selector may hold "%1" of its own.
    return QString::fromUtf16(kScript).arg(
        JsStringLiteral(rule.selector), literal(rule.linkSelector), QString::number(kMaxListings),
        QString::number(kScriptTextUnits), QString::number(kMaxLinkUnits),
        literal(rule.companySelector), literal(rule.placeSelector), literal(rule.dateSelector),
        literal(KeyAttribute(rule)), QString::number(kDetailUnits));
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
        if (pair.size() != 2 && pair.size() != kScriptEntry) continue;
        if (!std::all_of(pair.cbegin(), pair.cend(),
                         [](const QVariant& v) { return v.typeId() == QMetaType::QString; }))
            continue;
        QString text = pair[0].toString();
        // The script's cut can leave half a pair at the end.
        if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
        const QString title = CutTitle(text.simplified());
        const QString href = pair[1].toString();
        if (title.isEmpty() || href.size() > kMaxLinkUnits) continue;
        const QUrl link = LenientLink(href);
        if (!IsWebAddress(link)) continue;
        Listing listing{title, link};
        if (pair.size() == kScriptEntry) {
            listing.company = Detail(pair[2]);
            listing.place = Detail(pair[3]);
            listing.published = Detail(pair[4]);
            listing.cardKey = Detail(pair[5]);
        }
        listings.append(std::move(listing));
    }
    return listings;
}

}  // namespace quintavia
