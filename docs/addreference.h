#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QPointer>
#include <QTreeWidget>

namespace Ui
{
class AddReference;
}

// Enters or changes one row (extensions, program) of the Options dialog's table of programs
// that open reference files.
class AddReference final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AddReference(QWidget *parent = nullptr);
    ~AddReference() override;

    void SetTree(QTreeWidget *tree) { m_tree = tree; }
    void SetCaller(QObject *caller) { m_caller = caller; }
    QObject *Caller() const { return m_caller; }
    // Row -1 adds a row; any other index modifies that row of the tree.
    void SetData(int row, const QString &extension, const QString &program);
    // The program chooser's filters; the last one is selected.
    static QStringList ProgramFilters();

public slots:
    void OkProc();
    void CancelProc();
    void RefProc();

signals:
    // A row was stored: the caller refits its table.
    void updated();

private:
    void clearFields();

    Ui::AddReference *m_ui;
    QPointer<QTreeWidget> m_tree;
    QPointer<QObject> m_caller;
    int m_row = -1;
};
