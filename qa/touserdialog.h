#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QHash>

namespace Ui
{
class ToUserDialog;
}
class QListWidgetItem;
class QTreeWidgetItem;

// Lets the owner of a question check the members it is addressed to; an addressee who already
// answered cannot be taken off.
class ToUserDialog final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ToUserDialog(QWidget *parent = nullptr);
    ~ToUserDialog() override;

    QListWidgetItem *AddUser(const QString &name, int id, Qt::CheckState state);
    void ClearUsers();
    void SetQuestion(QTreeWidgetItem *question);
    int Count() const;
    QListWidgetItem *Entry(int row) const;

public slots:
    void OkProc();
    void CancelProc();

private:
    Ui::ToUserDialog *m_ui;
    QHash<QListWidgetItem *, int> m_ids;
    QTreeWidgetItem *m_question = nullptr;
};
