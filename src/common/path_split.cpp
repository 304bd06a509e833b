#include "common/file_object.h"

namespace {

// Blanks only, as the paths arrive from text boxes and list lines; tabs are kept.
QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return s.mid(b, e - b);
}

}  // namespace

PathParts splitPath(const QString& raw) {
    const QString p = trimBlanks(raw);
    PathParts r;
    const qsizetype L = p.size();
    if (L == 0) return r;
    // Positions count from 1, as in the rule: S the last separator, D the extension's dot.
    const qsizetype S = p.lastIndexOf(u'/') + 1;
    const qsizetype lastDot = p.lastIndexOf(u'.') + 1;
    const qsizetype D = lastDot > S ? lastDot : L + 1;
    // A bare name that begins with "." has no parts. A leading "/" is the root folder here,
    // so "/a.flv" splits like any other absolute path.
    if (D == 1) return r;
    r.base = p.mid(S, D - 1 - S);
    r.fileName = p.mid(S);
    r.parent = p.left(S);
    r.drive = p.left(1);
    r.extension = D <= L ? p.mid(D) : QString();
    return r;
}

bool wildcardMatch(const QString& pattern, const QString& name) {
    // Iterative matcher with one backtrack point for the last "*".
    qsizetype p = 0, n = 0, star = -1, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}
