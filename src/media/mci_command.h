#pragma once
// Splits an MCI command string into its verb, device and the words after them.
#include <QString>
#include <QStringList>
#include <optional>

struct MciCommand {
    QString verb;       // lower-cased: open, close, play, status, ...
    QString device;     // alias (or, for open, the file or drive), quotes removed
    QStringList words;  // the rest; keywords lower-cased, quoted words kept as given

    // Index of keyword in words, or -1.
    qsizetype find(const QString& keyword) const;
    bool has(const QString& keyword) const { return find(keyword) >= 0; }
    // The word after keyword ("alias X" -> X), or empty.
    QString valueAfter(const QString& keyword) const;
    // The whole number after keyword, if there is one and it reads as a number.
    std::optional<long long> numberAfter(const QString& keyword) const;
};

// Words are separated by blanks; a double-quoted word may hold blanks. An unquoted open
// target runs up to the first open keyword so that "open /a b.flv type ..." keeps its blank.
MciCommand parseMciCommand(const QString& command);

// Aliases compare without regard to case.
inline QString aliasKey(const QString& alias) { return alias.toLower(); }
