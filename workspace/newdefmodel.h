#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class NewDefModel;
}
class ErrorMsg;
class QTreeWidgetItem;

// Creates a new model definition version in a workspace.
class NewDefModel final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewDefModel(QWidget *parent = nullptr);
    ~NewDefModel() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    // A workspace was just created: start again from its root.
    void ResetDisplay();
    ErrorMsg *ErrorWindow() const { return m_error; }

public slots:
    void onCreate();
    void onReject();
    void onWsDirNew();
    void onWsDirRef();
    void TreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void ModelColumnAdjustment(const QModelIndex &idex);

private:
    void resetFields();
    bool confirmCreate();

    Ui::NewDefModel *m_ui;
    ErrorMsg *m_error;
    QString m_root;
    bool m_defFound = true;
    bool m_wsCurrent = false;
    bool m_markOpenModel = false;
};
