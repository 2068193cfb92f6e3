#include "comm/membermail.h"

#include "comm/smtpcontrol.h"
#include "core/decimalid.h"
#include "core/postbox.h"
#include "core/xmltext.h"
#include "members/memberinfo.h"
#include "shell/askbox.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_membermail.h"

#include <QMessageBox>
#include <QPushButton>

namespace
{
enum HistState : int { NewState = 0, UnsentState = 1, SentState = 2 };
}

// Stored unsent: whatever happens next, only a send result marks the mail sent.
bool MemberMail::AddMail(QTreeWidgetItem *item)
{
    DocCdataCase *entry = m_store.AddRecordNow(m_key, item, GetStrVar(RegSlot::StrUserName), CheckedIds(),
                                               item->text(4), QStringLiteral("0"), m_editor->toPlainText());
    if (!entry) {
        // The file's IDs are used up, or the history could not be read back with the mail: the
        // mail stays new, its text in the editor.
        const DocCdataRecord *record = m_store.Record(m_key);
        SetMessage(m_store.Refusal().isEmpty() ? DecimalId::ExhaustedMessage(record ? record->Path : m_key)
                                               : notSaved(m_store.Refusal()),
                   true);
        return false;
    }
    item->setText(0, QString::number(entry->ID));
    item->setText(1, entry->DateTime.toString(QStringLiteral("yyyy/MM/dd")));
    item->setText(2, entry->DateTime.toString(QStringLiteral("hh:mm")));
    item->setData(0, Qt::UserRole, QVariant::fromValue<void *>(entry));
    ShowResult(item, false);
    FitHistory();
    return true;
}

// False when the history could not be read back with the mail so changed: nothing changes.
bool MemberMail::UpdateMail(QTreeWidgetItem *item)
{
    DocCdataCase *entry = EntryOf(item);
    if (!entry)
        return true;
    DocCdataCase changed(*entry);
    changed.MID = CheckedIds();
    changed.TITLE = item->text(4);
    changed.Text = m_editor->toPlainText();
    const QString refusal = m_store.EntryRefusal(m_key, changed, entry);
    if (!refusal.isEmpty()) {
        SetMessage(notSaved(refusal), true);
        return false;
    }
    entry->MID = changed.MID;
    entry->DateTime = QDateTime::currentDateTime();
    entry->TITLE = changed.TITLE;
    entry->Text = changed.Text;
    m_store.SetChanged(m_key, entry);
    item->setText(1, entry->DateTime.toString(QStringLiteral("yyyy/MM/dd")));
    item->setText(2, entry->DateTime.toString(QStringLiteral("hh:mm")));
    return true;
}

QString MemberMail::notSaved(const QString &refusal) const
{
    return tr("The mail was not saved: %1. It stays in the editor.").arg(refusal);
}

// A stored mail leaves the new-mail state, so a second Send or save cannot add it again.
bool MemberMail::StoreMail(QTreeWidgetItem *item)
{
    if (!m_ui->NEW->isEnabled()) {
        if (!AddMail(item))
            return false;
    } else if (!UpdateMail(item)) {
        return false;
    }
    SetButtons(true, true, true, true);
    return true;
}

// The current mail when it may be saved or sent, else null with the reason in MSG.
QTreeWidgetItem *MemberMail::MailToStore()
{
    m_ui->MSG->clear();
    QTreeWidgetItem *item = m_ui->HIST->currentItem();
    if (item && m_editor->toPlainText().isEmpty()) {
        SetMessage(tr("contents is empty"), true);
        return nullptr;
    }
    return item;
}

void MemberMail::NSendSaveProc()
{
    // The run's result marks the mail it was posted for: a change now would be marked sent unsent.
    if (m_awaiting)
        return;
    QTreeWidgetItem *item = MailToStore();
    if (!item)
        return;
    if (!StoreMail(item))
        return;
    if (DocCdataCase *entry = EntryOf(item)) {
        entry->IsSend = false;
        m_store.SetChanged(m_key, entry);
    }
    ShowResult(item, false);
    save();
    m_ui->HIST->setEnabled(true);
    showReplaced();
}

void MemberMail::SendProc()
{
    // One run at a time: its result settles the mail it was posted for.
    if (m_awaiting)
        return;
    QTreeWidgetItem *item = MailToStore();
    if (!item)
        return;
    if (CheckedIds().isEmpty()) {
        SetMessage(tr("Send user is not selected"), true);
        return;
    }
    if (!StoreMail(item))
        return;
    if (ComposeMail(item) < 0) {
        // Kept as an unsent mail the user can address again.
        save();
        m_ui->HIST->setEnabled(true);
        SetMessage(tr("Send user is not proc email address"), true);
        return;
    }
    showReplaced();
}

// The file keeps what XML can hold; the user is told what was replaced.
void MemberMail::showReplaced()
{
    QString text = m_editor->toPlainText();
    if (QTreeWidgetItem *item = m_ui->HIST->currentItem())
        text += item->text(4);
    const QString replaced = XmlText::ReplacedMessage(text);
    if (!replaced.isEmpty())
        SetMessage(replaced, false);
}

int MemberMail::ComposeMail(QTreeWidgetItem *item)
{
    m_queue.clear();
    const DocCdataCase *entry = EntryOf(item);
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    if (!entry || !table)
        return -1;
    // The panel marks its mail by the run's result; the worker gets no pointer into the store.
    MailQueueItem mail;
    for (const QString &id : entry->MID.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const MemberInfo *m = table->value(id.toInt());
        if (m && !m->ProcEmail.isEmpty())
            mail.Recipients.append({m->Name, m->ProcEmail});
    }
    if (mail.Recipients.isEmpty())
        return -1;
    mail.Subject = GetStrVar(RegSlot::StrUserName) + tr("mr. have a email message");
    auto *control = GetObj<SmtpControl>(RegSlot::ObjSmtpControl);
    if (!control)
        return -1;
    QStringList lines = control->HeaderLines();
    lines << QString() << tr("[message]")
          << tr("message number[") + QString::number(entry->ID) + QStringLiteral("]")
          << tr("Date:") + entry->DateTime.toString(QString::fromLatin1(DocCdata::TimeFormat))
          << tr("title:") + item->text(4) << tr("--------- ") + tr("contents") + tr("----------")
          << entry->Text;
    mail.Body = lines.join(QLatin1Char('\n'));
    m_queue.append(mail);
    m_awaiting = true;
    m_sendingSerial = entry->Serial();
    m_sendingId = entry->ID;
    m_sendingKey = m_key;
    if (auto *window = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        window->SetMailQueue(&m_queue);
    else
        control->SetQueue(&m_queue);
    SetIntVar(RegSlot::IntStatusMode, 1);
    SetObj<StatusWindow>(RegSlot::ObjStatusWindow, this);
    emit control->do_start();
    return 1;
}

QTreeWidgetItem *MemberMail::HistItem(const DocCdataCase *entry) const
{
    for (int i = 0; i < m_ui->HIST->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_ui->HIST->topLevelItem(i);
        if (entry && EntryOf(item) == entry)
            return item;
    }
    return nullptr;
}

// The entry the run was posted for: the same object while the history holds it, else (the file
// was read again) the entry of its ID.
DocCdataCase *MemberMail::SendingEntry() const
{
    const DocCdataRecord *record = m_store.Record(m_sendingKey);
    if (!record)
        return nullptr;
    DocCdataCase *live = DocCdataCase::Live(m_sendingSerial);
    if (live && record->Cases.contains(live))
        return live->Deleted ? nullptr : live;
    DocCdataCase *entry = nullptr;
    for (DocCdataCase *e : record->Cases)
        entry = e->ID == m_sendingId && !e->Deleted ? e : entry;
    return entry;
}

// Saving may number a new mail anew when another program added one to the file meanwhile.
// A history not written keeps its mails for the next save: Save stays on and quitting asks, and
// the main window's save writes it again.
void MemberMail::save()
{
    if (!m_store.SaveModified()) {
        SetBoolVar(RegSlot::FlagSaveNeeded, true);
        PostBox::Post(MsgCode::SaveFlag);
    }
    for (int i = 0; i < m_ui->HIST->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_ui->HIST->topLevelItem(i);
        if (const DocCdataCase *entry = EntryOf(item))
            item->setText(0, QString::number(entry->ID));
    }
}

bool MemberMail::SaveUnwritten()
{
    if (m_store.HasUnwritten())
        save();
    return !m_store.HasUnwritten();
}

// Only the result of this panel's own run settles a mail; anything else said here is shown.
void MemberMail::SendResult(const QString &result)
{
    if (!m_awaiting) {
        SetMessage(result, false);
        return;
    }
    m_awaiting = false;
    const bool sent = GetBoolVar(RegSlot::FlagMailSent);
    DocCdataCase *entry = SendingEntry();
    if (entry) {
        entry->IsSend = sent;
        m_store.SetChanged(m_sendingKey, entry);
    }
    QTreeWidgetItem *item = m_sendingKey == m_key ? HistItem(entry) : nullptr;
    if (item) {
        ShowResult(item, sent);
        if (m_ui->HIST->currentItem() == item) {
            if (sent) {
                SetButtons(true, false, false, false);
                m_editor->setReadOnly(true);
            } else {
                SetButtons(true, true, true, true);
            }
        }
    }
    SetMessage(result, !sent);
    save();
    m_ui->HIST->setEnabled(true);
}

void MemberMail::CancelProc()
{
    if (m_awaiting)
        return;
    QTreeWidgetItem *item = m_ui->HIST->currentItem();
    if (!item)
        return;
    QMessageBox box(this);
    box.setWindowTitle(tr("Delete mail"));
    box.setIcon(QMessageBox::Information);
    box.setWindowIcon(GetLogoIcon());
    box.setText(tr("Do you want to delete this mail?"));
    QPushButton *yes = AskBox::Button(box, "yes", tr("yes"), QMessageBox::YesRole);
    QPushButton *no = AskBox::Button(box, "no", tr("no"), QMessageBox::NoRole);
    if (AskBox::Confirmed(box, yes, no)) {
        m_ui->MSG->clear();
        DeleteMail(item);
    }
    m_ui->HIST->setEnabled(true);
}

void MemberMail::DeleteMail(QTreeWidgetItem *item)
{
    m_removing = true;
    if (item->data(3, Qt::UserRole).toInt() != NewState) {
        if (DocCdataCase *entry = EntryOf(item)) {
            entry->Deleted = true;
            m_store.SetChanged(m_key, entry);
            save();
        }
    }
    delete item;
    m_editor->clear();
    m_removing = false;
    const int count = m_ui->HIST->topLevelItemCount();
    if (count == 0) {
        SetAllChecks(false, false);
        SetButtons(true, false, false, false);
        m_editor->setReadOnly(true);
        return;
    }
    QTreeWidgetItem *last = m_ui->HIST->topLevelItem(count - 1);
    if (!m_ui->NEW->isEnabled())
        SetButtons(true, true, true, true);
    m_ui->HIST->setCurrentItem(last);
    HistProc(last, nullptr);
    FitHistory();
}
