#pragma once

#include "core/globalvar.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QPair>
#include <QSet>

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
    // Reports of one action a window holds; the rest are counted.
    static constexpr int MaxReports = 20;

    explicit ErrorMsg(QWidget *parent = nullptr);
    ~ErrorMsg() override;

    // The reports of one action stay together: one that comes while the window is still up joins
    // those before it (a report it holds already is not repeated), for one action may refuse
    // several files and each must be named. Once dismissed, the next report starts a new window.
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
    QString joinedReports() const;

    Ui::ErrorMsg *m_ui;
    QFont m_font;
    QMenu *m_menu = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_selectAll = nullptr;
    // (title, text) of the reports shown, and how many more came.
    QList<QPair<QString, QString>> m_reports;
    int m_more = 0;
    // A digest of each report the window has taken, held or counted: one sent again is no new
    // report. Digests, for a flood of long reports must not be kept whole.
    QSet<QByteArray> m_seen;
};
