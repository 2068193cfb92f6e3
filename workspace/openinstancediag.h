#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class OpenInstanceDiag;
}
class ErrorMsg;
class QTreeWidgetItem;

// Opens an existing instance workspace.
class OpenInstanceDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OpenInstanceDiag(QWidget *parent = nullptr);
    ~OpenInstanceDiag() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    QString Message() const;

public slots:
    void onWsDir();
    void ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void InstanceTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void TreeDblClicked(QTreeWidgetItem *item, int column);
    void OkProc();
    void CancelProc();
    void ModelColumnAdjustment();
    void InstanceColumnAdjustment();

private:
    void ListModels(const QString &workspace);
    void addModels(const QString &defs, bool mark);

    Ui::OpenInstanceDiag *m_ui;
    ErrorMsg *m_error;
    bool m_workspaceCurrent = false;
    QTreeWidgetItem *m_rememberedModel = nullptr;
    QTreeWidgetItem *m_rememberedInstance = nullptr;
};
