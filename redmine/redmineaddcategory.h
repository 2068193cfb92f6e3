#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;
class RedmineProject;

// Adds, renames or deletes an issue category of the linked tracker project.
class RedmineAddCategory final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineAddCategory(RedmineProject *page);

    void SetNew();
    void SetUpdate(QTreeWidgetItem *row);
    QString MessageText() const;

public slots:
    void SetProc(bool status = false);
    void DelProc(bool status = false);
    void CancelProc(bool status = false);

private:
    RedmineProject *m_page;
    QString m_initialName;
    int m_mode = 1;
    QLineEdit *m_category;
    QLabel *m_lb2;
    QLineEdit *m_id;
    QLineEdit *m_msg;
    QPushButton *m_del;
    QPushButton *m_set;
};
