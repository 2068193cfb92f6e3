#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class ChapterDiag;
}
class QTreeWidget;
class QTreeWidgetItem;

// Creates a chapter at a number the user picks among the places next to the current chapter,
// renumbering the chapters that move down to make room.
class ChapterDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ChapterDiag(QWidget *parent = nullptr);
    ~ChapterDiag() override;

    void SetDocKind(int kind) { m_kind = kind; }
    // Fills the number choices; false, after reporting it, when a non-empty tree has no current
    // chapter to place the new one by.
    bool SetData(QTreeWidget *tree, QTreeWidgetItem *current);

public slots:
    void OkProc();
    void CancelProc();
    void IndexChanged(int index);

private:
    void place(QTreeWidgetItem *item);
    // A sub-chapter of the anchor would nest deeper than a chapter file holds.
    bool subTooDeep() const;
    QString tooDeepText() const;

    Ui::ChapterDiag *m_ui;
    int m_kind = 0;
    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_anchor = nullptr;
    bool m_first = false;
    bool m_anchorLast = false;
    int m_subChoice = 1;
    QString m_notice;
};
