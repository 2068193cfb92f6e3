#pragma once

#include <QDomDocument>

// The request bodies the project page sends: one root element holding text children.
namespace RedmineBody
{
// Empties doc and gives it the root `tag`.
inline QDomElement NewRoot(QDomDocument &doc, const QString &tag)
{
    doc.clear();
    QDomElement root = doc.createElement(tag);
    doc.appendChild(root);
    return root;
}

inline QDomElement AddText(QDomDocument &doc, QDomElement parent, const QString &tag, const QString &text)
{
    QDomElement e = doc.createElement(tag);
    e.appendChild(doc.createTextNode(text));
    parent.appendChild(e);
    return e;
}
} // namespace RedmineBody
