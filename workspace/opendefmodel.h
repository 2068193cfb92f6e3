#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class OpenDefModel;
}
class ErrorMsg;
class QTreeWidgetItem;

// Opens an existing model definition version.
class OpenDefModel final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OpenDefModel(QWidget *parent = nullptr);
    ~OpenDefModel() override;

    // Prepares the dialog from the registry right before the main window shows it.
    void InitDisplay();
    ErrorMsg *ErrorWindow() const { return m_error; }

public slots:
    void onAccept();
    void onReject();
    void onWsDir();
    void TreeDblClicked(QTreeWidgetItem *item, int col);
    void ModelColumnAdjustment(const QModelIndex &idex);

private:
    void openRow(QTreeWidgetItem *item);

    Ui::OpenDefModel *m_ui;
    ErrorMsg *m_error;
    bool m_wsCurrent = false;
    bool m_markOpenModel = false;
};
