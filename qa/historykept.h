#pragma once

#include <QDomElement>
#include <QString>

// What a history file holds about one item (an entry or the root) that the store does not read:
// attributes and child nodes of the item's own element, and the nodes that follow the item in
// the file up to the next item. The writer puts them back as they were, so what another member's
// program wrote there stays; they go with the item when the user removes it. Held in a document of
// their own, so they outlive the document they were read from.
class HistoryKept
{
public:
    bool IsEmpty() const { return m_own.isNull() && m_following.isNull(); }
    // What the kept nodes cost the reader of the file they are written into: nodes as the reader
    // counts them, bytes at most.
    qint64 Nodes() const { return m_nodes; }
    qint64 Bytes() const { return m_bytes; }

    void KeepAttribute(const QDomAttr &attribute);
    void KeepChild(const QDomNode &node);
    void KeepFollowing(const QDomNode &node);

    // The kept attributes onto element (the ones it has win) and the kept children after its own.
    void PutOwn(QDomElement element) const;
    // The nodes that followed the item, appended to parent.
    void PutFollowing(QDomNode parent) const;

private:
    void count(const QDomNode &node, int depth);

    QDomElement m_own;
    QDomElement m_following;
    qint64 m_nodes = 0;
    qint64 m_bytes = 0;
};
