#include "core/engine/request_blocking.h"

#include <array>
#include <utility>

#include "core/sites/sites.h"

namespace quintavia {
namespace {

constexpr quint16 kAllKinds = (1 << 12) - 1;
constexpr auto kDocument = static_cast<quint16>(RequestKind::Document);

struct KindName {
    const char* name;
    RequestKind kind;
};
constexpr std::array<KindName, 17> kKindNames{{
    {"script", RequestKind::Script},
    {"image", RequestKind::Image},
    {"subdocument", RequestKind::Subdocument},
    {"frame", RequestKind::Subdocument},
    {"xmlhttprequest", RequestKind::Xhr},
    {"xhr", RequestKind::Xhr},
    {"stylesheet", RequestKind::Stylesheet},
    {"css", RequestKind::Stylesheet},
    {"font", RequestKind::Font},
    {"media", RequestKind::Media},
    {"object", RequestKind::Object},
    {"ping", RequestKind::Ping},
    {"websocket", RequestKind::WebSocket},
    {"other", RequestKind::Other},
    {"document", RequestKind::Document},
    {"doc", RequestKind::Document},
    {"all", static_cast<RequestKind>(kAllKinds)},
}};

bool IsHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

bool IsHostName(QByteArrayView name) {
    if (name.isEmpty() || !name.contains('.')) return false;
    if (name.front() == '.' || name.back() == '.' || name.front() == '-') return false;
    for (const char c : name)
        if (!IsHostChar(c)) return false;
    return true;
}

// A separator in the lists' sense: anything but a letter, a digit and "_-.%".
bool IsSeparator(char c) {
    const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-' || c == '.' || c == '%';
    return !word;
}

// The whole of `text` against a pattern of literal characters, "*" for any run of them and
// "^" for one separator or the end of the text. Each "*" is tried at one place at a time,
// going back to the last one only: the time is bounded by the two lengths' product.
bool Glob(QByteArrayView pattern, QByteArrayView text) {
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype star = -1;
    qsizetype mark = 0;
    while (j < text.size()) {
        if (i < pattern.size() && pattern[i] == '*') {
            star = i++;
            mark = j;
            continue;
        }
        if (i < pattern.size() &&
            (pattern[i] == text[j] || (pattern[i] == '^' && IsSeparator(text[j])))) {
            ++i;
            ++j;
            continue;
        }
        if (star < 0) return false;
        i = star + 1;
        j = ++mark;
    }
    while (i < pattern.size() && (pattern[i] == '*' || pattern[i] == '^')) ++i;
    return i == pattern.size();
}

bool Within(QByteArrayView host, QByteArrayView domain) {
    return host == domain || (host.size() > domain.size() && host.endsWith(domain) &&
                              host[host.size() - domain.size() - 1] == '.');
}

bool WithinAny(QByteArrayView host, const QByteArrayList& domains) {
    for (const QByteArray& domain : domains)
        if (Within(host, domain)) return true;
    return false;
}

// The site a host belongs to, for telling third parties: its registrable domain, or its last
// two labels without a list.
QByteArray SiteOf(const QByteArray& host, const PublicSuffixes& suffixes) {
    if (!suffixes.isEmpty()) {
        const QString site = suffixes.registrableDomain(QString::fromLatin1(host));
        return site.isEmpty() ? host : site.toLatin1();
    }
    const qsizetype last = host.lastIndexOf('.');
    if (last <= 0) return host;
    const qsizetype before = host.lastIndexOf('.', last - 1);
    return before < 0 ? host : host.mid(before + 1);
}

}  // namespace

void BlockList::add(QByteArrayView text) {
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0) end = text.size();
        addLine(text.sliced(start, end - start));
        start = end + 1;
    }
}

void BlockList::addLine(QByteArrayView raw) {
    const QByteArray line = raw.trimmed().toByteArray().toLower();
    if (line.isEmpty() || line.startsWith('!') || line.startsWith('[')) return;
    const auto skip = [this] { ++skippedCount_; };
    // Element hiding and scriptlets, in all their spellings.
    if (line.contains("##") || line.contains("#@#") || line.contains("#?#") ||
        line.contains("#$#") || line.contains("#%#"))
        return skip();

    Rule rule;
    QByteArrayView body(line);
    if (body.startsWith("@@")) {
        rule.exception = true;
        body = body.sliced(2);
    }
    QByteArrayView options;
    if (const qsizetype dollar = body.lastIndexOf('$'); dollar >= 0) {
        options = body.sliced(dollar + 1);
        body = body.first(dollar);
    }

    QByteArray host;
    QByteArrayView path;
    if (body.startsWith("||")) {
        qsizetype end = 2;
        while (end < body.size() && IsHostChar(body[end])) ++end;
        host = body.sliced(2, end - 2).toByteArray();
        path = body.sliced(end);
        // A host cut short by a wildcard or followed by anything but a separator, a path or
        // a port is no host of its own.
        if (!path.isEmpty() && path.front() != '^' && path.front() != '/' && path.front() != ':')
            return skip();
        if (path == "^" || path == "^|") path = {};
    } else if (IsHostName(body) && options.isEmpty() && !rule.exception) {
        host = body.toByteArray();  // a host list's line
    } else {
        return skip();
    }
    if (!IsHostName(host)) return skip();

    quint16 kinds = 0;
    quint16 notKinds = 0;
    bool droppedDomain = false;
    for (QByteArrayView option : options.toByteArray().split(',')) {
        if (option.isEmpty()) continue;
        const bool negated = option.startsWith('~');
        if (negated) option = option.sliced(1);
        if (option == "third-party" || option == "3p") {
            rule.party = negated ? -1 : 1;
            continue;
        }
        if (option == "first-party" || option == "1p") {
            rule.party = negated ? 1 : -1;
            continue;
        }
        if (option == "important" && !negated) {
            rule.important = true;
            continue;
        }
        if (!negated && (option.startsWith("domain=") || option.startsWith("from="))) {
            const QByteArrayView list = option.sliced(option.indexOf('=') + 1);
            for (QByteArrayView domain : list.toByteArray().split('|')) {
                const bool not_ = domain.startsWith('~');
                if (not_) domain = domain.sliced(1);
                // "example.*" stands for every suffix, which a host list cannot say.
                if (!IsHostName(domain)) {
                    droppedDomain = droppedDomain || !not_;
                    continue;
                }
                (not_ ? rule.notDomains : rule.domains) << domain.toByteArray();
            }
            continue;
        }
        bool known = false;
        for (const KindName& name : kKindNames) {
            if (option != QByteArrayView(name.name)) continue;
            known = true;
            (negated ? notKinds : kinds) |= static_cast<quint16>(name.kind);
        }
        if (!known) return skip();
    }
    if (droppedDomain && rule.domains.isEmpty()) return skip();
    if (kinds == 0) kinds = kAllKinds;
    // A page's own document is never stopped: rules for documents alone have nothing left.
    rule.kinds = kinds & ~notKinds & ~kDocument;
    if (rule.kinds == 0) return skip();

    if (!path.isEmpty()) {
        rule.path = path.toByteArray();
        if (rule.path.endsWith('|'))
            rule.path.chop(1);
        else
            rule.path.append('*');
    }
    ++ruleCount_;
    Entry& entry = byHost_[host];
    const bool plain = !rule.exception && !rule.important && rule.party == 0 &&
                       rule.path.isEmpty() && rule.domains.isEmpty() && rule.notDomains.isEmpty() &&
                       rule.kinds == (kAllKinds & ~kDocument);
    if (plain)
        entry.blocksAll = true;
    else
        entry.rules.push_back(std::move(rule));
}

bool BlockList::matches(const Rule& rule, const BlockedRequest& request, bool thirdParty) const {
    if ((rule.kinds & static_cast<quint16>(request.kind)) == 0) return false;
    if ((rule.party == 1 && !thirdParty) || (rule.party == -1 && thirdParty)) return false;
    if (!rule.domains.isEmpty() && !WithinAny(request.pageHost, rule.domains)) return false;
    if (WithinAny(request.pageHost, rule.notDomains)) return false;
    return rule.path.isEmpty() || Glob(rule.path, request.rest.toLower());
}

bool BlockList::blocks(const BlockedRequest& request, const PublicSuffixes& suffixes) const {
    if (byHost_.isEmpty() || request.host.isEmpty()) return false;
    const bool thirdParty = request.pageHost.isEmpty() ||
                            SiteOf(request.host, suffixes) != SiteOf(request.pageHost, suffixes);
    bool blocked = false;
    bool excepted = false;
    QByteArrayView host(request.host);
    if (host.endsWith('.')) host.chop(1);
    // The host and each domain above it: as many look-ups as the host has labels.
    while (!host.isEmpty()) {
        const auto found = byHost_.constFind(host.toByteArray());
        if (found != byHost_.constEnd()) {
            blocked = blocked || found->blocksAll;
            for (const Rule& rule : found->rules) {
                if (!matches(rule, request, thirdParty)) continue;
                if (rule.important && !rule.exception) return true;
                (rule.exception ? excepted : blocked) = true;
            }
        }
        const qsizetype dot = host.indexOf('.');
        if (dot < 0) break;
        host = host.sliced(dot + 1);
    }
    return blocked && !excepted;
}

bool ShouldBlock(const BlockList& list, const PublicSuffixes& suffixes,
                 const QList<BlockingSite>& sites, const BlockedRequest& request) {
    if (request.kind == RequestKind::Document) return false;
    const QString pageHost = QString::fromLatin1(request.pageHost);
    const QString host = QString::fromLatin1(request.host);
    for (const BlockingSite& site : sites) {
        if (!IsHostWithin(pageHost, site.domain)) continue;
        if (!site.blocking || IsHostWithin(host, site.domain)) return false;
    }
    return list.blocks(request, suffixes);
}

}  // namespace quintavia
