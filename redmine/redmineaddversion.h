#pragma once

#include "core/globalvar.h"

#include <QDialog>

class NumEditor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;
class RedmineProject;

// Adds a version to the linked tracker project (always open and not shared), changes a version's
// name and description, or deletes it.
class RedmineAddVersion final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineAddVersion(RedmineProject *page);

    void SetNew();
    void SetUpdate(QTreeWidgetItem *row, const QString &description);
    NumEditor *Editor() const { return m_editor; }
    QString MessageText() const;

public slots:
    void OkProc(bool status = false);
    void DelProc(bool status = false);
    void CancelProc(bool status = false);

private:
    void prepare(int mode);

    RedmineProject *m_page;
    NumEditor *m_editor;
    int m_mode = 1;
    QString m_initialName;
    QString m_initialDescription;
    QLineEdit *m_version;
    QLabel *m_idLabel;
    QLineEdit *m_id;
    QComboBox *m_state;
    QComboBox *m_share;
    QLineEdit *m_msg;
    QPushButton *m_del;
    QPushButton *m_ok;
};
