#include "common/ControlEscapes.h"

namespace ks3 {

namespace {
bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}
} // namespace

QString EchappeControles(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && !isControl(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text; // the usual case costs one scan and no copy
    QString out = text.left(first);
    out.reserve(text.size() + 8);
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!isControl(c)) {
            out += text.at(i);
            continue;
        }
        switch (c) {
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default: {
            const bool wide = c > 0xFF; // the line and paragraph separators
            out += QLatin1String(wide ? "\\u" : "\\x") +
                   QString::number(int(c), 16).toUpper().rightJustified(wide ? 4 : 2, QLatin1Char('0'));
        }
        }
    }
    return out;
}

} // namespace ks3
