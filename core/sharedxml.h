#pragma once

#include "core/safefile.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Parsing XML that other machines wrote. The DOM parser recurses once per nesting level, so a
// small file of deeply nested elements would overflow the stack; and its tree costs some hundreds
// of bytes a node, so a file of small entries under the size limit can still take gigabytes, and
// it expands a declared entity at every reference. A flat pass over the bytes reads the whole
// document first and refuses each of these, as a parse error.
namespace SharedXml
{
// Far deeper than any of our formats nests.
constexpr int MaxDepth = 256;
// Nodes (elements, attributes, texts) of the largest document the tree is built for. A file of
// 200,000 entries of up to six attributes each fits; the tree of the largest takes some 600 MB,
// and the rows the program shows of it as much again.
constexpr qint64 MaxNodes = 1500000;

// What the pass over the bytes counted, for a caller that holds several documents to one count or
// tells a crowded document from a broken one.
struct Counted {
    qint64 nodes = 0;      // all of them when the document was taken, else as far as the pass went
    bool crowded = false;  // refused for holding more than maxNodes
    bool entities = false; // refused for declaring entities, well-formed or not
};

// The streaming pass: false when an element lies deeper than maxDepth, the document holds more
// than maxNodes nodes, declares entities or is not well-formed (a document it cannot read through
// is not handed on), with the message and the position.
bool CheckNesting(const QByteArray &bytes, int maxDepth, QString *message, int *line, int *column,
                  qint64 maxNodes = MaxNodes, Counted *counted = nullptr);
// QDomDocument::setContent with namespace processing, after the pass over the bytes; bytes above
// SafeFile::MaxReadBytes, documents of more than maxNodes nodes and bytes XmlInput::Prepare refuses
// (another encoding than UTF-8, UTF-16 or UTF-32, bytes that do not decode) are refused as a parse
// error. The DOM reads what Prepare made of the bytes.
bool SetContent(QDomDocument &doc, const QByteArray &bytes, QString *message = nullptr, int *line = nullptr,
                int *column = nullptr, qint64 maxNodes = MaxNodes, Counted *counted = nullptr);
// Whether SetContent would take the bytes, without building the tree: a writer asks here before
// it writes, so that the program never writes a file it would refuse when it reads it back.
bool ReadsBack(const QByteArray &bytes, QString *message, qint64 maxNodes = MaxNodes);

enum class Written {
    Yes,
    Unreadable, // its reader would refuse the bytes: nothing written
    Changed,    // the file is no longer the one the copy was made from: nothing written
    Failed,     // the write itself failed (SafeFile::LastError())
};
// The one write of a shared XML document: only bytes that read back, and only over the file the
// writer's copy was made from (SafeFile::WriteOver). why gets a message naming the file.
Written Write(const QString &path, const QByteArray &bytes, const SafeFile::Seen &seen, int options,
              QString *why, qint64 maxNodes = MaxNodes);
} // namespace SharedXml
