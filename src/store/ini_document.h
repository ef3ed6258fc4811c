#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <utility>

namespace quintavia {

// The settings file's format, kept simple enough to edit by hand:
//
//   [Section]
//   key=value
//
// A value is everything after the first "=" up to the end of its line, blanks included, as
// written: commas, quotes, ";", "=", "@" and brackets are plain characters. A backslash starts
// an escape only in "\\", "\n", "\r", "\t" and "\u" followed by four hex digits; any other
// backslash stands for itself. The program writes line breaks, other control characters, the
// Unicode line separators and lone surrogates as escapes, so every text fits on its line and
// the file stays valid UTF-8. Lines starting with ";" or "#" are comments; lines that are
// neither a section, a key nor a comment are ignored.

// A section or key name the format can hold: not empty, no blanks around it, no line breaks,
// "=", brackets or backslashes, and not starting like a comment.
bool IsIniName(const QString& name);

QString EncodeIniValue(QStringView text);
QString DecodeIniValue(QStringView written);

// The file's content: sections of keyed text values, in the order they first appeared.
class IniDocument {
  public:
    std::optional<QString> value(const QString& section, const QString& key) const;
    // The names must satisfy IsIniName.
    void setValue(const QString& section, const QString& key, const QString& value);
    // The names in the order they first appeared; no keys for a section that is not there.
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    QByteArray toUtf8() const;
    // nullopt when the bytes are not a text file: not UTF-8, or holding NUL bytes.
    static std::optional<IniDocument> parse(const QByteArray& bytes);

  private:
    // Lists keep the order of first appearance for writing; the hashes find a name without
    // a scan, so that reading a file takes time in proportion to its size. One hash serves the
    // keys of every section, as a hash of its own for each would cost a file of many small
    // sections more than the rest of the reading. Qt seeds its hashes afresh in every process,
    // so no hand-made file can make the lookups slow on purpose.
    struct Section {
        QString name;
        QList<std::pair<QString, QString>> entries;
    };
    QList<Section> sections_;
    QHash<QString, qsizetype> sectionAt_;  // into sections_
    // (place in sections_, key) to the place in that section's entries
    QHash<std::pair<qsizetype, QString>, qsizetype> entryAt_;
};

}  // namespace quintavia
