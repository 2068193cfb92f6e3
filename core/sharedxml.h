#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Parsing XML that other machines wrote. The DOM parser recurses once per nesting level, so a
// small file of deeply nested elements would overflow the stack: such nesting is refused by a
// flat streaming pass first, as a parse error.
namespace SharedXml
{
// Far deeper than any of our formats nests.
constexpr int MaxDepth = 256;

// True when an element lies deeper than maxDepth; line and column then point at it.
bool TooDeep(const QByteArray &bytes, int maxDepth, int *line, int *column);
// QDomDocument::setContent with namespace processing, after the depth check.
bool SetContent(QDomDocument &doc, const QByteArray &bytes, QString *message = nullptr, int *line = nullptr,
                int *column = nullptr);
} // namespace SharedXml
