#pragma once

#include "redmine/redmineitemdiag.h"

class NumEditor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

// Adds a version to the linked tracker project (always open and not shared), changes a version's
// name and description, or deletes it.
class RedmineAddVersion final : public RedmineItemDiag
{
    Q_OBJECT
public:
    explicit RedmineAddVersion(RedmineProject *page);

    void SetNew();
    void SetUpdate(QTreeWidgetItem *row, const QString &description);
    NumEditor *Editor() const { return m_editor; }

public slots:
    void OkProc(bool status = false);
    void DelProc(bool status = false);

private:
    void prepare(int mode);

    NumEditor *m_editor;
    QString m_initialDescription;
    QLineEdit *m_version;
    QLabel *m_idLabel;
    QComboBox *m_state;
    QComboBox *m_share;
    QPushButton *m_ok;
};
