#include "shell/mainwindow.h"

#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

void MainWindow::ShowErrorMsg(const QString &title, const QString &text)
{
    // Reports can come before the second start-up stage built the error window.
    if (!m_errorMsg)
        m_errorMsg = new ErrorMsg;
    m_errorMsg->SetMsg(title, text);
    m_errorMsg->ShowMsg();
}

void MainWindow::SystemErrorBox(const QString &text)
{
    ShowErrorMsg(tr("System Error"), text);
}

void MainWindow::FatalMessage(const QString &title, const QString &text)
{
    QMessageBox box(this);
    box.setWindowTitle(title);
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Warning);
    box.setText(title);
    box.setInformativeText(text);
    QPushButton *ok = box.addButton(tr("OK"), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    box.exec();
}

void MainWindow::StatusMessage(const QString &text)
{
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->StopStatusMessageTimer();
    if (m_statusLabel)
        m_statusLabel->setText(text);
}

QString MainWindow::StatusText() const
{
    return m_statusLabel ? m_statusLabel->text() : QString();
}

void MainWindow::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::RestoreCursor()
{
    QApplication::restoreOverrideCursor();
}

void MainWindow::SetUserRecord(const QString &key, RedmineUserInfo *record)
{
    m_userRecords.insert(key, record);
}

void MainWindow::ReleaseEditor()
{
    SetPtrVar(RegSlot::ObjCurrentEditor, nullptr);
}

void MainWindow::SetChatButtonVisible(bool visible)
{
    if (m_chatButton)
        m_chatButton->setVisible(visible);
}

void MainWindow::SetOtherUpdateVisible(bool visible)
{
    if (m_otherUpdateButton)
        m_otherUpdateButton->setVisible(visible);
}

bool MainWindow::IsOtherUpdateVisible() const
{
    return m_otherUpdateButton && m_otherUpdateButton->isVisible();
}

void MainWindow::SetRedmineVisible(bool visible)
{
    m_ui->actionRedmine->setVisible(visible);
    if (m_redmineButton)
        m_redmineButton->setVisible(visible);
}

bool MainWindow::IsSaveEnabled() const
{
    return m_ui->actionSave->isEnabled();
}
