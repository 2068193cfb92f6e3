#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTreeWidget;

// The question-and-answer panel: questions the members ask about class instances and their
// answers, with the notification mails they trigger.
class QandA final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit QandA(QWidget *parent = nullptr);

    void Clear();
    void CreateQuestion();
    void DeleteQuestion();
    void CreateAnswer();
    void DeleteAnswer();
    void SaveQandA();
    void SaveRecords();
    void SetInstanceDir(const QString &dir);
    void SetModify();
    void ShowQandA(QTreeWidget *userTree, bool refresh);
    void SetActiveEditor();
    void AdjustLayout();

private:
    QString m_instanceDir;
};
