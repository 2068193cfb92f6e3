#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Parsing XML that other machines wrote. The DOM parser recurses once per nesting level, so a
// small file of deeply nested elements would overflow the stack: a flat streaming pass reads the
// whole document first and refuses such nesting, as a parse error.
namespace SharedXml
{
// Far deeper than any of our formats nests.
constexpr int MaxDepth = 256;

// The streaming pass: false when an element lies deeper than maxDepth or the document is not
// well-formed (a document it cannot read through is not handed on), with the message and the
// position.
bool CheckNesting(const QByteArray &bytes, int maxDepth, QString *message, int *line, int *column);
// QDomDocument::setContent with namespace processing, after the streaming pass; bytes above
// SafeFile::MaxReadBytes are refused as a parse error.
bool SetContent(QDomDocument &doc, const QByteArray &bytes, QString *message = nullptr, int *line = nullptr,
                int *column = nullptr);
} // namespace SharedXml
