#pragma once

#include <QDomElement>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

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

    // The value grid of a small-class instance, GridSize x GridSize texts. It is allocated on the
    // first write only: a large workspace holds tens of thousands of records, few with values.
    QString Cell(int row, int col) const;
    void SetCell(int row, int col, const QString &text);
    bool HasGrid() const { return !m_grid.isEmpty(); }
    // Fills one grid row from a line of an instance's .csv file: part c goes to cell (row, c),
    // cells beyond the parts keep their text; rows from GridSize on are ignored.
    void SetGridRow(int row, const QString &line);

    // A tree row carries its record as an untyped pointer in column 0 under Qt::UserRole.
    static QVariant ToData(TreeItemData *record) { return QVariant::fromValue(static_cast<void *>(record)); }
    static TreeItemData *FromData(const QVariant &data)
    {
        return static_cast<TreeItemData *>(data.value<void *>());
    }

    // The element's web links, each "title[$$]address", in the order they are shown.
    QStringList &Links() { return links; }

    bool flags[6] = {false, false, false, false, false, false};
    // Whether the explanation, the value grid and the node positions were read from their files,
    // and whether the record's copy must be written at the next save.
    bool &TextLoaded() { return flags[0]; }
    bool &GridLoaded() { return flags[1]; }
    bool &GridChanged() { return flags[2]; }
    bool &PosLoaded() { return flags[3]; }
    bool &PosChanged() { return flags[4]; }
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
    int gridSize = GridSize;
    QString text;
    QList<QString> list3;
    int counter1 = 0;
    int counter2 = 0;

    QStringList links;
    // The element as it was read (model/elementlayout.h): what the loader did not take (a bad ID,
    // an unknown tag, a comment) is written back where it was, since what this program does not
    // understand belongs to another member.
    QList<QDomElement> kept;
    // The same for a small class's PARAM level.
    QList<QDomElement> keptParams;
    // The parameter's (or small class's) row on the small-class page, owned with the record.
    QTreeWidgetItem *pageItem = nullptr;
    // A model element's row in the instance tab's model tree; the instance tab owns that row.
    QTreeWidgetItem *instanceItem = nullptr;
    // Diagram node positions of a transition small-class instance, node i at index i.
    QList<QPointF> positions;
    // Where the explanation editor stood when the row was left.
    int scrollPos = 0;
    int cursorPos = 0;
    // An instance element's rows in the instance document, schedule and question-and-answer
    // trees.
    QTreeWidgetItem *docRow = nullptr;
    QTreeWidgetItem *scheduleRow = nullptr;
    QTreeWidgetItem *qandaRow = nullptr;

private:
    QHash<QString, QString> m_attrs;
    QTreeWidgetItem *m_item = nullptr;
    QVector<QString> m_grid;
};
