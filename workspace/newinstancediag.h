#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class NewInstanceDiag;
}
class ErrorMsg;
class QTreeWidgetItem;

// Creates a new instance workspace for a model version.
class NewInstanceDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewInstanceDiag(QWidget *parent = nullptr);
    ~NewInstanceDiag() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    QString Message() const;

public slots:
    void onWsDir();
    void ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void InstanceTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void CreateProc();
    void CancelProc();
    void ModelColumnAdjustment();
    void InstanceColumnAdjustment();

private:
    void ListModels(const QString &workspace);
    void SetVersionSpins(const QString &version);
    void fail(const char *text);

    Ui::NewInstanceDiag *m_ui;
    ErrorMsg *m_error;
    QString m_workspace;
    bool m_workspaceCurrent = false;
    QTreeWidgetItem *m_rememberedModel = nullptr;
    QTreeWidgetItem *m_rememberedInstance = nullptr;
};
