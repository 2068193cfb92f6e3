#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class NewOut;
}
class ErrorMsg;
class QTreeWidgetItem;

// Creates a new output definition version under a model version.
class NewOut final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewOut(QWidget *parent = nullptr);
    ~NewOut() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    ErrorMsg *ErrorWindow() const { return m_error; }

public slots:
    void CreateProc();
    void CancelProc();
    void onWsDir();
    void ModelTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void OutputTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void ModelColumnAdjustment(const QModelIndex &idex);
    void OutputColumnAdjustment(const QModelIndex &idex);

private:
    void fillModels(const QString &workspace, bool mark);
    void setDefaultVersion();
    QString refusal(const QString &workspace) const;

    Ui::NewOut *m_ui;
    ErrorMsg *m_error;
    QString m_root;
    bool m_wsCurrent = false;
    bool m_markOpenModel = false;
    bool m_markOpenOutput = false;
};
