#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <vector>

#include "core/sites/public_suffixes.h"

namespace quintavia {

// What a request fetches, as the lists' type options name it; one bit each.
enum class RequestKind : quint16 {
    Document = 1 << 0,  // a main frame's page
    Subdocument = 1 << 1,
    Script = 1 << 2,
    Image = 1 << 3,
    Xhr = 1 << 4,
    Stylesheet = 1 << 5,
    Font = 1 << 6,
    Media = 1 << 7,
    Object = 1 << 8,
    Ping = 1 << 9,
    WebSocket = 1 << 10,
    Other = 1 << 11,
};

// One request as the blocking sees it: hosts in QUrl's ASCII lower-case form.
struct BlockedRequest {
    QByteArray host;
    // What follows the host in the address: ":port" when one is written, the path, the query.
    QByteArray rest;
    // The host of the page the request is for (its top frame); empty when there is none.
    QByteArray pageHost;
    RequestKind kind = RequestKind::Other;
};

// The network rules of filter lists in the form EasyList and its kin are written in, kept by
// host: a request is matched against the rules of its host and of each domain above it, never
// against the whole list. Taken are the rules anchored at a host, "||host^" and
// "||host/path" (with "*" and "^" in the path), the bare host names of host lists, and the
// options $third-party (3p) and its negation, $script, $image, $subdocument (frame),
// $xmlhttprequest (xhr), $stylesheet, $font, $media, $object, $ping, $websocket, $other,
// $all, $domain= (from=), $important and "@@" exceptions. Element hiding, rules not anchored at a
// host, regular expressions, rules for documents alone and rules with any other option are skipped:
// an option not understood could turn the rule's meaning around.
class BlockList {
  public:
    // Adds the rules of one list's text.
    void add(QByteArrayView text);
    qsizetype ruleCount() const { return ruleCount_; }
    qsizetype skippedCount() const { return skippedCount_; }
    bool isEmpty() const { return ruleCount_ == 0; }

    // Whether a rule stops the request and no exception lets it through. `suffixes` tells
    // which hosts are one site (an empty list: the last two labels).
    bool blocks(const BlockedRequest& request, const PublicSuffixes& suffixes) const;

  private:
    struct Rule {
        quint16 kinds = 0;
        qint8 party = 0;  // 0 any, 1 third party only, -1 first party only
        bool exception = false;
        bool important = false;  // no exception lets it through
        QByteArray path;         // the pattern after the host; empty: any
        QByteArrayList domains;
        QByteArrayList notDomains;
    };
    struct Entry {
        bool blocksAll = false;  // a plain "||host^" or host line
        std::vector<Rule> rules;
    };

    void addLine(QByteArrayView line);
    bool matches(const Rule& rule, const BlockedRequest& request, bool thirdParty) const;

    QHash<QByteArray, Entry> byHost_;
    qsizetype ruleCount_ = 0;
    qsizetype skippedCount_ = 0;
};

// A site of the catalogue as the blocking needs it.
struct BlockingSite {
    QString domain;
    bool blocking = true;
};

// Whether the program stops a request: never a page's own document, nor, on the pages of a
// site of the catalogue, anything on that site, nor anything at all when the site turned the
// blocking off; otherwise when the list stops it.
bool ShouldBlock(const BlockList& list, const PublicSuffixes& suffixes,
                 const QList<BlockingSite>& sites, const BlockedRequest& request);

}  // namespace quintavia
