#include "outdef/outheighlighter.h"

#include "outdef/outdef.h"

HighlightRule HighlightRule::Make(const QString &pattern, const QColor &colour)
{
    HighlightRule rule;
    rule.pattern = QRegExp(pattern);
    rule.format.setForeground(QBrush(colour, Qt::SolidPattern));
    rule.format.setFontItalic(true);
    rule.format.setFontWeight(75);
    return rule;
}

void OutHeighlighter::highlightBlock(const QString &text)
{
    for (int i = 0; i < m_rules.size(); ++i) {
        const HighlightRule &rule = m_rules.at(i);
        const QStringList *markers = m_page ? m_page->GetMarkerList(i) : nullptr;
        for (int p = rule.pattern.indexIn(text); p >= 0;) {
            const int length = rule.pattern.matchedLength();
            if (markers && markers->contains(text.mid(p, length)))
                setFormat(p, length, rule.format);
            p = rule.pattern.indexIn(text, p + length);
        }
    }
}

void VarHeighlighter::highlightBlock(const QString &text)
{
    const QStringList *used = m_page ? m_page->GetUsedVariableList() : nullptr;
    for (const HighlightRule &rule : qAsConst(m_rules)) {
        const bool first = rule.pattern.pattern() == m_firstPattern;
        for (int p = rule.pattern.indexIn(text); p >= 0;) {
            const int length = rule.pattern.matchedLength();
            if (first || text.at(p) != QLatin1Char('$') || (used && used->contains(text.mid(p, length))))
                setFormat(p, length, rule.format);
            p = rule.pattern.indexIn(text, p + length);
        }
    }
}
