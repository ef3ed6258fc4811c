#include "shell/browser/focused_element.h"

#include <QVariantMap>

#include "core/engine/protocol_names.h"

namespace quintavia {
namespace {

// Runs in an isolated world: it sees the page's elements through the engine's own
// properties, untouched by anything the page's scripts may have put on them. Only elements
// that carry a link address have an `href` (a text; SVG links give an object, which cannot
// be read as one), and only anchors and image-map areas name their protocol.
constexpr auto kScript = R"JS(
(function () {
    var d = document;
    if (!d || (d.contentType !== 'text/html' && d.contentType !== 'application/xhtml+xml'))
        return null;
    var e = d.activeElement;
    if (!e) return {present: false};
    var facts = {present: true};
    if ('href' in e && typeof e.href === 'string') facts.href = e.href;
    if (e instanceof HTMLAnchorElement || e instanceof HTMLAreaElement)
        facts.protocol = e.protocol;
    return facts;
})()
)JS";

}  // namespace

QString FocusedElementScript() {
    return QString::fromLatin1(kScript);
}

FocusedElement FocusedElementFromScript(const QVariant& answer) {
    FocusedElement element;
    if (answer.typeId() != QMetaType::QVariantMap) return element;
    const QVariantMap facts = answer.toMap();
    const QVariant present = facts.value(QStringLiteral("present"));
    if (present.typeId() != QMetaType::Bool) return element;
    element.present = present.toBool();
    const QVariant href = facts.value(QStringLiteral("href"));
    if (href.typeId() == QMetaType::QString) element.href = href.toString();
    const QVariant protocol = facts.value(QStringLiteral("protocol"));
    if (protocol.typeId() == QMetaType::QString)
        element.protocolLong = ProtocolLongName(protocol.toString());
    return element;
}

}  // namespace quintavia
