#include "xmltext.h"

#include <QCoreApplication>
#include <QVector>

bool XmlText::IsAllowed(uint c)
{
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    return (c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

namespace
{
// Walks the text by code point; an unpaired surrogate comes out as itself, which IsAllowed refuses.
template <typename F> void eachCodePoint(const QString &text, F f)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            f(QChar::surrogateToUcs4(c, text.at(i + 1)), 2);
            ++i;
        } else {
            f(uint(c.unicode()), 1);
        }
    }
}
} // namespace

QStringList XmlText::Forbidden(const QString &text)
{
    QStringList found;
    eachCodePoint(text, [&found](uint c, int) {
        if (IsAllowed(c))
            return;
        const QString name = QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper();
        if (!found.contains(name))
            found.append(name);
    });
    return found;
}

QString XmlText::Clean(const QString &text)
{
    bool clean = true;
    eachCodePoint(text, [&clean](uint c, int) { clean = clean && IsAllowed(c); });
    if (clean)
        return text;
    QString out;
    out.reserve(text.size());
    int at = 0;
    eachCodePoint(text, [&](uint c, int width) {
        if (IsAllowed(c))
            out.append(text.midRef(at, width));
        else
            out.append(QChar(QChar::ReplacementCharacter));
        at += width;
    });
    return out;
}

qint64 XmlText::CleanUtf8Size(const QString &text)
{
    qint64 bytes = 0;
    eachCodePoint(text, [&bytes](uint c, int) {
        if (!IsAllowed(c))
            c = QChar::ReplacementCharacter;
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    });
    return bytes;
}

QString XmlText::ReplacedMessage(const QString &text)
{
    const QStringList forbidden = Forbidden(text);
    if (forbidden.isEmpty())
        return QString();
    return QCoreApplication::translate("XmlText", "characters XML cannot hold were replaced: %1")
        .arg(forbidden.join(QStringLiteral(", ")));
}

void XmlText::AppendCData(QDomDocument &doc, QDomElement &element, const QString &text)
{
    // "]]>" cannot stand inside one section: the "]]" ends one section and the ">" starts the next.
    const QStringList parts = Clean(text).split(QStringLiteral("]]>"));
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts.at(i);
        if (i + 1 < parts.size())
            part += QStringLiteral("]]");
        if (i > 0)
            part.prepend(QLatin1Char('>'));
        element.appendChild(doc.createCDATASection(part));
    }
}

QString XmlText::ReadCData(const QDomElement &element)
{
    QString text;
    for (QDomNode n = element.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isCDATASection())
            text += n.toCDATASection().data();
        else if (n.isText())
            text += n.toText().data();
    }
    return text;
}
