#pragma once

#include <QDomElement>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QTreeWidgetItem;

// The record behind every model, instance, output-definition and question tree row: the row's
// copy of its element's attributes plus a few working fields the editors use.
class TreeItemData
{
public:
    static constexpr int GridSize = 30;

    TreeItemData();
    ~TreeItemData();
    TreeItemData(const TreeItemData &) = delete;
    TreeItemData &operator=(const TreeItemData &) = delete;

    QString GetAttr(const QString &name) const { return m_attrs.value(name); }
    void SetAttr(const QString &name, const QString &value) { m_attrs.insert(name, value); }
    bool HasAttr(const QString &name) const { return m_attrs.contains(name); }
    const QHash<QString, QString> &Attrs() const { return m_attrs; }

    // The tree row this record created for itself; the widgets side attaches and owns it.
    QTreeWidgetItem *Item() const { return m_item; }
    void SetItem(QTreeWidgetItem *item) { m_item = item; }

    // A tree row carries its record as an untyped pointer in column 0 under Qt::UserRole.
    static QVariant ToData(TreeItemData *record) { return QVariant::fromValue(static_cast<void *>(record)); }
    static TreeItemData *FromData(const QVariant &data)
    {
        return static_cast<TreeItemData *>(data.value<void *>());
    }

    // The element's web links, each "title[$$]address", in the order they are shown.
    QStringList &Links() { return links; }

    bool flags[6] = {false, false, false, false, false, false};
    // flags[5] marks a changed text that WriteTextFile must write.
    bool &TextChanged() { return flags[5]; }
    QString name;
    QString element;
    int number = 0;
    void *link = nullptr;
    int number2 = 0;
    QStringList strings;
    QList<QString> list1;
    QList<QString> list2;
    QList<QStringList> grid;
    int gridSize = GridSize;
    QString text;
    QList<QString> list3;
    int counter1 = 0;
    int counter2 = 0;

    QStringList links;
    // Child elements a loader refused (a bad ID, an unknown tag): written back as they were,
    // since what this program does not understand belongs to another member.
    QList<QDomElement> kept;
    // The same for a small class's PARAM level.
    QList<QDomElement> keptParams;
    // The parameter's (or small class's) row on the small-class page, owned with the record.
    QTreeWidgetItem *pageItem = nullptr;
    // A model element's row in the instance tab's model tree; the instance tab owns that row.
    QTreeWidgetItem *instanceItem = nullptr;
    // An instance element's row in the instance document's class tree.
    QTreeWidgetItem *docRow = nullptr;

private:
    QHash<QString, QString> m_attrs;
    QTreeWidgetItem *m_item = nullptr;
};
