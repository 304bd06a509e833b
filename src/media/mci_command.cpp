#include "media/mci_command.h"

namespace {

struct Token {
    QString text;
    bool quoted = false;
};

QList<Token> tokenize(const QString& s) {
    QList<Token> out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        while (i < n && s[i].isSpace()) ++i;
        if (i >= n) break;
        Token t;
        if (s[i] == u'"') {
            const qsizetype end = s.indexOf(u'"', i + 1);
            t.quoted = true;
            t.text = s.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? n : end + 1;
        } else {
            const qsizetype start = i;
            while (i < n && !s[i].isSpace()) ++i;
            t.text = s.mid(start, i - start);
        }
        out.append(t);
    }
    return out;
}

bool isOpenKeyword(const QString& w) {
    static const QStringList keys = {QStringLiteral("type"),   QStringLiteral("alias"),
                                     QStringLiteral("parent"), QStringLiteral("style"),
                                     QStringLiteral("wait"),   QStringLiteral("shareable")};
    return keys.contains(w.toLower());
}

}  // namespace

qsizetype MciCommand::find(const QString& keyword) const { return words.indexOf(keyword); }

QString MciCommand::valueAfter(const QString& keyword) const {
    const qsizetype i = find(keyword);
    return (i >= 0 && i + 1 < words.size()) ? words[i + 1] : QString();
}

std::optional<long long> MciCommand::numberAfter(const QString& keyword) const {
    const QString v = valueAfter(keyword);
    bool ok = false;
    const long long n = v.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return n;
}

MciCommand parseMciCommand(const QString& command) {
    MciCommand c;
    const QList<Token> tokens = tokenize(command);
    if (tokens.isEmpty()) return c;
    c.verb = tokens[0].text.toLower();
    // A quoted open target ends at the last quotation mark, so a file name may hold one.
    if (c.verb == QLatin1String("open") && tokens.size() > 1 && tokens[1].quoted) {
        const qsizetype first = command.indexOf(u'"');
        const qsizetype last = command.lastIndexOf(u'"');
        if (last > first) {
            c.device = command.mid(first + 1, last - first - 1);
            for (const Token& t : tokenize(command.mid(last + 1)))
                c.words.append(t.quoted ? t.text : t.text.toLower());
            return c;
        }
    }
    qsizetype i = 1;
    if (i < tokens.size()) {
        if (c.verb == QLatin1String("open") && !tokens[i].quoted) {
            QStringList parts;
            while (i < tokens.size() && (parts.isEmpty() || !isOpenKeyword(tokens[i].text)))
                parts.append(tokens[i++].text);
            c.device = parts.join(u' ');
        } else {
            c.device = tokens[i++].text;
        }
    }
    for (; i < tokens.size(); ++i)
        c.words.append(tokens[i].quoted ? tokens[i].text : tokens[i].text.toLower());
    return c;
}
