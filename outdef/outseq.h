#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class OutSeq;
}
class QLineEdit;
class QPushButton;
class QTreeWidget;
class TreeItemData;

// The "Seq" tab of the output-definition page: title, marker and loop choices of the sequence
// the page shows, with its nested-sequence and variable trees and their marker buttons.
class OutSeq final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OutSeq(QWidget *parent = nullptr);
    ~OutSeq() override;

    void SetRecord(TreeItemData *record) { m_record = record; }
    TreeItemData *Record() const { return m_record; }
    void ShowLoop(TreeItemData *record);
    void HideLoop();
    void StoreLoop(TreeItemData *record);
    void Clear();
    void SetReadOnly(bool readOnly);
    void UpdateCounts(const QString &text);
    int GetEditorHeight() const;
    // Heights of GRID and NTAB, 45 apart from the tab bar: the height the page fits to.
    static int EditorHeight(int gridHeight, int nestTabHeight) { return gridHeight + nestTabHeight + 45; }

    QLineEdit *GetTitleEdit() const;
    QLineEdit *GetSeqIdEdit() const;
    QTreeWidget *GetNestTree() const;
    QTreeWidget *GetVarTree() const;
    QPushButton *GetCodeSetButton() const;
    QPushButton *GetCodeDelButton() const;
    QPushButton *GetVarCodeSetButton() const;
    QPushButton *GetVarCodeDelButton() const;
    QPushButton *GetModButton() const;

public slots:
    void ChangeLoopCbx(int index);
    void ChangeLoopEndCbx(int index);

private:
    void storeChoice(const QString &attr, int index);
    void setLoopVisible(bool on);
    QList<QWidget *> loopRow() const;

    Ui::OutSeq *m_ui;
    TreeItemData *m_record = nullptr;
};
