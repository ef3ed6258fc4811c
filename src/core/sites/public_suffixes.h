#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

namespace quintavia {

// The Public Suffix List: the names under which unrelated parties register their own domains
// ("it", "co.uk", "github.io"), with its wildcard ("*.ck") and exception ("!www.ck") rules. An
// empty list knows no suffix, and callers fall back to checks of their own.
class PublicSuffixes {
  public:
    PublicSuffixes() = default;
    // The list's text as published: one rule a line, "//" comments, both of its sections (the
    // private one holds the hosting services, such as blogspot.com). Names outside ASCII are
    // kept in the ASCII form that QUrl gives hosts.
    static PublicSuffixes Parse(QStringView text);

    bool isEmpty() const { return rules_.isEmpty() && wildcards_.isEmpty(); }

    // The registrable domain of a host in QUrl's ASCII lower-case form: its public suffix and
    // the label before it ("www.bbc.co.uk" -> "bbc.co.uk"). Empty when the host is a public
    // suffix itself, or when the list is empty. A name the list does not know has its last
    // label for suffix, as the list's own default rule says.
    QString registrableDomain(QStringView host) const;

  private:
    // How many labels of the host, counted from its end, its public suffix has.
    qsizetype suffixLabels(const QStringList& labels) const;

    QSet<QString> rules_;
    QSet<QString> wildcards_;   // "ck" for "*.ck"
    QSet<QString> exceptions_;  // "www.ck" for "!www.ck"
};

}  // namespace quintavia
