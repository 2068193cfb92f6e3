#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <memory>

namespace Ui
{
class HtmlList;
}
class AddHtml;
class QTreeWidgetItem;
class TreeItemData;

// The modal list of an element's web links with buttons to add, delete and open them. Changes
// stay in the dialog until "Close" writes them into the record and marks the owner modified;
// "CANCEL" and the window frame leave the record as it was.
//
// The owner calls SetReadOnly, SetOwnerKind (0 model, 1 instance, 2 question or answer),
// SetMemberNo (kind 1: the member whose instance data change) and SetElement (the tree row whose
// column 0 carries the record under Qt::UserRole), then shows the dialog.
class HtmlList final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit HtmlList(QWidget *parent = nullptr);
    ~HtmlList() override;

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    void SetOwnerKind(int kind) { m_kind = kind; }
    void SetMemberNo(int member) { m_member = member; }
    void SetElement(QTreeWidgetItem *item);
    bool IsChanged() const { return m_changed; }

public slots:
    void NewProc();
    void DelProc();
    void RefProc();
    void CloseProc();
    void CancelProc();
    void DblClicked(QTreeWidgetItem *item, int column);
    void reject() override;

private:
    void linkAdded();

    Ui::HtmlList *m_ui;
    bool m_readOnly = true;
    int m_kind = 0;
    int m_member = 0;
    QTreeWidgetItem *m_item = nullptr;
    TreeItemData *m_record = nullptr;
    bool m_changed = false;
    std::unique_ptr<AddHtml> m_addHtml;
};
