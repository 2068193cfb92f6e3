#pragma once

#include "redmine/redmineitemdiag.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

// Adds, renames or deletes an issue category of the linked tracker project.
class RedmineAddCategory final : public RedmineItemDiag
{
    Q_OBJECT
public:
    explicit RedmineAddCategory(RedmineProject *page);

    void SetNew();
    void SetUpdate(QTreeWidgetItem *row);

public slots:
    void SetProc(bool status = false);
    void DelProc(bool status = false);

private:
    QLineEdit *m_category;
    QLabel *m_lb2;
    QPushButton *m_set;
};
