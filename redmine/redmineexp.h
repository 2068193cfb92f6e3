#pragma once

#include "core/globalvar.h"

#include <QDialog>

class NumEditor;

// A read-only viewer for the full text of an issue.
class RedmineExp final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit RedmineExp(QWidget *parent = nullptr);

    void ShowText(const QString &text);
    NumEditor *Editor() const { return m_editor; }

public slots:
    void CancelProc(bool status = false);

private:
    NumEditor *m_editor;
};
