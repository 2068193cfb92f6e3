#include "shell/mainwindow.h"

#include "comm/smtpcontrol.h"
#include "core/initxml.h"
#include "core/safefile.h"
#include "core/saveconflict.h"
#include "core/settingsfile.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "members/manager.h"
#include "members/usertransfer.h"
#include "shell/askbox.h"
#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "shell/numeditor.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

void MainWindow::ShowErrorMsg(const QString &title, const QString &text)
{
    if (!SaveConflict::FirstReport(text))
        return;
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

void MainWindow::prepareBox(QMessageBox &box, const QString &title, const QString &informative,
                            QMessageBox::Icon icon) const
{
    box.setWindowTitle(title);
    box.setWindowIcon(GetLogoIcon());
    if (icon != QMessageBox::NoIcon)
        box.setIcon(icon);
    box.setText(title);
    box.setInformativeText(informative);
}

void MainWindow::FatalMessage(const QString &title, const QString &text)
{
    if (!SaveConflict::FirstReport(text))
        return;
    QMessageBox box(this);
    prepareBox(box, title, text, QMessageBox::Warning);
    AskBox::Button(box, "OK", tr("OK"), QMessageBox::AcceptRole);
    box.exec();
}

// As an editor asks of a file changed on disk; keeping is the default, so that nothing of the
// other program's is replaced without the user's word.
bool MainWindow::AskSaveAnyway(const QStringList &paths)
{
    QMessageBox box(this);
    const QString intro = paths.size() == 1 ? tr("Another program changed this file since it was read:")
                                            : tr("Another program changed these files since they were read:");
    prepareBox(box, tr("Changed by another program"),
               intro + QStringLiteral("\n") + paths.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
                   tr("Save anyway: your version is written and the other program's change is replaced.\n"
                      "Keep editing: none of these files is written; your edit stays open, unsaved, and Save "
                      "stays on."),
               QMessageBox::Warning);
    QPushButton *save = AskBox::Button(box, "saveAnyway", tr("Save anyway"), QMessageBox::DestructiveRole);
    QPushButton *keep = AskBox::Button(box, "keepEditing", tr("Keep editing"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    // A save shows the wait cursor; the question wants the pointer.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool anyway = AskBox::Confirmed(box, save, keep);
    QApplication::restoreOverrideCursor();
    return anyway;
}

// The mail thread's controller takes its copy of the queue from here when the poster starts it.
void MainWindow::SetMailQueue(const QList<MailQueueItem> *queue)
{
    m_mailQueue = queue;
    if (auto *control = GetObj<SmtpControl>(RegSlot::ObjSmtpControl))
        control->SetQueue(queue);
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
    if (auto *editor = GetObj<NumEditor>(RegSlot::ObjCurrentEditor))
        editor->ClearActiveMark();
    SetObj<NumEditor>(RegSlot::ObjCurrentEditor, nullptr);
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

bool MainWindow::WriteTextFile(TreeItemData *record, const QString &path)
{
    if (!record->TextChanged())
        return true;
    const QString text = record->GetAttr(GetStrVar(RegSlot::StrAttrExpression));
    // The empty text that stands in for a file that was not read is no edit of it, and a text past
    // what the readers take back would be refused to every member on the next open: the record
    // stays changed, so the text is kept and saved once it fits.
    const QString refusal = TextFiles::WriteRefusal(path, text);
    if (!refusal.isEmpty()) {
        FatalMessage(tr("File error"), refusal);
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return false;
    }
    if (!TextFiles::Write(path, text)) {
        if (const QString why = TextFiles::WriteFailure(path); !why.isEmpty())
            FatalMessage(tr("File error"), why);
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return false;
    }
    record->TextChanged() = false;
    return true;
}

QString MainWindow::ReadTextFile(const QString &path)
{
    return TextFiles::Read(path);
}

int MainWindow::WaitFileStable(const QString &path)
{
    return TextFiles::WaitStable(path);
}

int MainWindow::CheckFileRemoved(const QString &folder, const QString &name)
{
    const int gone = WaitFileStable(folder + name);
    if (gone == 1) {
        QMessageBox box(this);
        prepareBox(box, tr("Remove file"), tr("Delete file:") + name, QMessageBox::Information);
        box.addButton(QMessageBox::Ok)->setObjectName(QStringLiteral("OK"));
        box.exec();
    }
    return gone;
}

void MainWindow::CopyReferenceFile(const QString &source, const QString &folder)
{
    const QString name = FileNameOfPath(source);
    if (!QFileInfo::exists(source))
        return;
    const QString target1 = folder + name;
    const QString target2 = folder + QStringLiteral("others/") + name;
    if (!QDir().mkpath(folder + QStringLiteral("others/"))) {
        FatalMessage(tr("File error"), tr("can not write file:%1").arg(target1));
        return;
    }
    QStringList targets;
    if (QFileInfo::exists(target1) &&
        QFileInfo(source).canonicalFilePath() == QFileInfo(target1).canonicalFilePath()) {
        // Chosen from the element's own folder: the file is in place already, and copying it
        // onto itself must neither ask nor touch it; only its viewing copy is renewed.
        targets << target2;
    } else if (QFileInfo::exists(target1)) {
        QMessageBox box(this);
        prepareBox(box, tr("File overwrite"), tr("Do you want to overwrite?"), QMessageBox::Information);
        QPushButton *save = AskBox::Button(box, "save", QMessageBox::Save);
        QPushButton *cancel = AskBox::Button(box, "cancel", QMessageBox::Cancel);
        if (!AskBox::Confirmed(box, save, cancel))
            return;
        targets << target1 << target2;
    } else {
        targets << target1;
        if (!QFileInfo::exists(target2))
            targets << target2;
    }
    QString failed;
    QString failedReason;
    for (const QString &target : qAsConst(targets)) {
        if (!SafeFile::ReplaceByCopy(source, target)) {
            failed = target;
            failedReason = SafeFile::WithReason(tr("can not write file:%1").arg(target));
            break;
        }
    }
    // The source stays readable and writable for its user; the others/ copy is read-only.
    QFile::setPermissions(source,
                          QFile::permissions(source) | QFileDevice::WriteUser | QFileDevice::ReadUser);
    if (QFileInfo::exists(target2))
        QFile::setPermissions(target2, QFileDevice::ReadUser | QFileDevice::ReadOwner);
    if (!failed.isEmpty())
        FatalMessage(tr("File error"), failedReason);
}

void MainWindow::CopyFile(const QString &source, const QString &target)
{
    if (QFileInfo::exists(source) && !QFileInfo::exists(target))
        QFile::copy(source, target);
}

QString MainWindow::FileNameOfPath(const QString &path) const
{
    return TextFiles::FileNameOfPath(path);
}

QString MainWindow::TruncateUtf8(const QString &text) const
{
    return TextFiles::TruncateUtf8(text, GetIntVar(RegSlot::IntDescriptionMax));
}

void MainWindow::UpdateHistory(int kind)
{
    const QString ws = GetStrVar(RegSlot::StrWorkspaceDir);
    QList<initxml::HistoryEntry> entries{
        {QStringLiteral("MODEL"), GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion)}};
    if (kind == 2 || kind == 4)
        entries.append({QStringLiteral("INSTANCE"), GetStrVar(RegSlot::StrInstanceName),
                        GetStrVar(RegSlot::StrInstanceVersion)});
    if (kind == 3 || kind == 4)
        entries.append({QStringLiteral("OUTPUT"), GetStrVar(RegSlot::StrOutputName),
                        GetStrVar(RegSlot::StrOutputVersion)});
    // Another window of the user may have written init.xml since, for another workspace: this
    // window's whole set goes into that file as it is, so that it names no other workspace's
    // entries, and its other settings stay. The set is copied: the change may be put again into a
    // copy read later, when the set has moved on.
    m_history.Open(ws, entries);
    const QString setWorkspace = m_history.Workspace();
    const QList<initxml::HistoryEntry> set = m_history.Entries();
    SettingsFile::Save(GetObj<xmlclass>(RegSlot::ObjXmlStore), [setWorkspace, set](QDomDocument &doc) {
        return initxml::SetHistory(doc, setWorkspace, set);
    });
}

void MainWindow::ShowOtherUpdate(int count)
{
    if (m_otherUpdateHeld)
        return;
    m_otherUpdateCount = count;
    if (count >= 1)
        SetOtherUpdateVisible(true);
}

void MainWindow::ShowModelTransfer(const QString &ownerEmail)
{
    m_transfer->SetMode(0, ownerEmail);
    m_transfer->show();
}

void MainWindow::ShowOutputTransfer(const QString &ownerEmail)
{
    m_transfer->SetMode(2, ownerEmail);
    m_transfer->show();
}

void MainWindow::ChatProc()
{
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->ShowChat();
}
