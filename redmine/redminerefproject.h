#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;

// The pick dialog that lists the tracker's projects for linking one to the workspace. The pick only
// loads the project into the project page; the page's SET links it.
class RedmineRefProject final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineRefProject(QWidget *parent = nullptr);
    ~RedmineRefProject() override;

    void ShowProjects();
    QTreeWidget *ProjectTree() const { return m_tree; }
    QString MessageText() const;

public slots:
    void SetProc(bool status = false);
    void CancelProc(bool status = false);

private:
    QTreeWidget *m_tree;
    QLineEdit *m_msg;
    QPushButton *m_set;
    QString m_pickedId;
};
