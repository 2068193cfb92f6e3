#pragma once

#include "core/globalvar.h"

#include <QColor>
#include <QList>
#include <QRegExp>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class outdef;

// One colouring rule of the output highlighters: bold italic text in the rule's colour.
struct HighlightRule {
    QRegExp pattern;
    QTextCharFormat format;
    static HighlightRule Make(const QString &pattern, const QColor &colour);
};

// The rules and the owning page both output highlighters keep.
class RuleHighlighter : public QSyntaxHighlighter, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RuleHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {}
    void SetOwner(outdef *page) { m_page = page; }
    void AddRule(const QString &pattern, const QColor &colour)
    {
        m_rules.append(HighlightRule::Make(pattern, colour));
    }

protected:
    QList<HighlightRule> m_rules;
    outdef *m_page = nullptr;
};

// Colours the $Seq/$Var markers in the template editor, but only those that belong to the entry
// being edited: the page's marker list of the rule's index says which.
class OutHeighlighter final : public RuleHighlighter
{
    Q_OBJECT
public:
    using RuleHighlighter::RuleHighlighter;

protected:
    void highlightBlock(const QString &text) override;
};

// Colours in the output view the placeholder forms that generation leaves where no value was found.
class VarHeighlighter final : public RuleHighlighter
{
    Q_OBJECT
public:
    using RuleHighlighter::RuleHighlighter;

protected:
    void highlightBlock(const QString &text) override;

private:
    const QString m_firstPattern = QStringLiteral("\\%Var\\[[0-9]+\\]\\[[0-9]+\\]");
};
