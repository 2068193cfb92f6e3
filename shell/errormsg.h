#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class ErrorMsg;
}
class QAction;
class QMenu;

// The read-only window for longer error and report texts the user may want to copy.
class ErrorMsg final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ErrorMsg(QWidget *parent = nullptr);
    ~ErrorMsg() override;

    void SetMsg(const QString &title, const QString &text);
    void ShowMsg();
    void ApplyFont();
    QString Text() const;
    QAction *CopyAction() const { return m_copy; }
    QAction *SelectAllAction() const { return m_selectAll; }

public slots:
    void OkProc();
    void EditPopUpMenu(const QPoint &pos);
    void EditCopyAvailable(bool available);
    void ActionCopy(bool checked);
    void ActionSelectAll(bool checked);

private:
    void MakeEditMenu();
    void CenterOnMainWindow();

    Ui::ErrorMsg *m_ui;
    QFont m_font;
    QMenu *m_menu = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_selectAll = nullptr;
};
