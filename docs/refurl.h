#pragma once

#include "core/globalvar.h"

#include <QWidget>
#include <memory>

namespace Ui
{
class refurl;
}
class AddHtml;
class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;

// The web-link pane an element's page embeds: lists the links of the element's record and,
// through its context menu, adds, changes, deletes and opens them. Every change is written back
// into the record at once and the owner, chosen by kind, is marked modified.
//
// The host sets the owner kind once after construction (0 model element, 1 instance element,
// 2 question or answer, 3 and 4 the model and instance document editors, which nobody is told
// about); on each change of its current element it calls SetEditable and then SetElement with
// the element's tree row (whose column 0 carries the record under Qt::UserRole), and ClearList
// when no element is current.
class refurl final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Kind : int { ModelKind = 0, InstanceKind = 1, QandAKind = 2, ModelDocKind = 3, InstanceDocKind = 4 };

    explicit refurl(QWidget *parent = nullptr);
    ~refurl() override;

    void SetEditable(int editable);
    void SetOwnerKind(int kind) { m_kind = kind; }
    void SetElement(QTreeWidgetItem *item);
    QTreeWidgetItem *Element() const { return m_item; }
    void ClearList();
    int OwnerKind() const { return m_kind; }

    // Shared with the link dialog.
    static TreeItemData *RecordOf(QTreeWidgetItem *item);
    // Rows of the record's links that split into title and address; returns the row count.
    static int FillList(QTreeWidget *list, TreeItemData *record);
    // Takes the list's rows (as FillList made them and the user edited them) into the record's
    // links, and carries the edit into what the element of the record held as read: an edited link
    // keeps what the file held besides, a deleted one takes it along. kind as for TellOwner; item
    // is the element's tree row.
    static void StoreLinks(QTreeWidget *list, QTreeWidgetItem *item, TreeItemData *record, int kind);
    // Marks the owner of the links modified: 0 the model, 1 the member's instance data and the
    // instance workspace, 2 the questions and answers; other kinds tell nobody.
    static void TellOwner(int kind, int member);
    // Web and mail links open at once; others only after the user agreed.
    static void OpenLink(QWidget *parent, const QString &address);
    static bool AskDelete(QWidget *parent);

public slots:
    void AddRefferenceUrl();
    void ModRefferenceUrl();
    void DelRefferenceUrl();
    void ShowRefferenceUrl();
    void UrlShow(QTreeWidgetItem *item, int column);
    void TreePopupMenu(const QPoint &pos);

private:
    void openDialog(int mode);
    void writeBack();
    int memberOfElement() const;

    Ui::refurl *m_ui;
    int m_editable = 0;
    int m_kind = ModelKind;
    QTreeWidgetItem *m_item = nullptr;
    TreeItemData *m_record = nullptr;
    QMenu *m_menu;
    QAction *m_add;
    QAction *m_mod;
    QAction *m_del;
    QAction *m_show;
    std::unique_ptr<AddHtml> m_addHtml;
};
