#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class DelChapter;
}
class QTreeWidget;
class QTreeWidgetItem;

// Deletes the current chapter with all its sub-chapters and renumbers the chapters after it.
class DelChapter final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit DelChapter(QWidget *parent = nullptr);
    ~DelChapter() override;

    void SetDocKind(int kind) { m_kind = kind; }
    void SetData(QTreeWidget *tree, QTreeWidgetItem *current);

public slots:
    void OkProc();
    void CancelProc();

private:
    Ui::DelChapter *m_ui;
    int m_kind = 0;
    QTreeWidget *m_tree = nullptr;
};
