#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class CreateQA;
}
class QandA;
class QTreeWidgetItem;

// The one dialog through which the questions-and-answers panel creates and deletes questions and
// answers; it stores nothing itself and hands the confirmation back to the panel.
class CreateQA final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Mode : int { AddQuestion = 0, DelQuestion = 1, AddAnswer = 2, DelAnswer = 3 };

    explicit CreateQA(QandA *panel, QWidget *parent = nullptr);
    ~CreateQA() override;

    void SetMode(int mode);
    void SetWindowText(const QString &text) { setWindowTitle(text); }
    void SetTitle(const QString &title);
    void SetTypes(const QStringList &types, const QString &current);
    void AddType(const QString &type);
    void SetOwners(const QStringList &names, const QStringList &ids);
    void SetId(const QString &id);
    void SetInstId(const QString &id);
    void SetMessage(const QString &text);
    void SetQuestionItem(QTreeWidgetItem *item) { m_item = item; }
    QString Message() const;

public slots:
    void OkProc();
    void CancelProc();
    void OwnerChanged(int index);

private:
    Ui::CreateQA *m_ui;
    QandA *m_panel;
    int m_mode = AddQuestion;
    QTreeWidgetItem *m_item = nullptr;
    bool m_filling = false;
};
