#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class OpenOut;
}
class ErrorMsg;
class QTreeWidgetItem;

// Opens an existing output definition version.
class OpenOut final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OpenOut(QWidget *parent = nullptr);
    ~OpenOut() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    ErrorMsg *ErrorWindow() const { return m_error; }

public slots:
    void onWsDir();
    void ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void OutputTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void ModelColumnAdjustment(const QModelIndex &index);
    void OutputColumnAdjustment(const QModelIndex &index);
    void OkProc();
    void CancelProc();

private:
    void ListModels(const QString &workspace);
    QTreeWidgetItem *AddModelItems(const QString &workspace);

    Ui::OpenOut *m_ui;
    ErrorMsg *m_error;
    QString m_workspace;
    bool m_wsCurrent = false;
    bool m_markOutput = false;
};
