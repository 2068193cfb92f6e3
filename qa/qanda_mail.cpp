#include "comm/smtpcontrol.h"
#include "core/treeitemdata.h"
#include "members/memberinfo.h"
#include "qa/qanda.h"
#include "shell/mainwindow.h"
#include "ui_qanda.h"

#include <QTreeWidgetItemIterator>

namespace
{
// Columns of the instance tree rows the mail names.
enum InstColumn : int { InstLClass = 1, InstSClass = 2, InstElement = 4, InstId = 5 };
const QString Rule(35, QLatin1Char('-'));
} // namespace

// Every save-all writes the changed histories, whether or not the trees changed, and mails their
// new entries when notification mail is on.
void QandA::SaveRecords()
{
    m_mailQueue.clear();
    m_records.SaveModified();
    // A new entry is numbered anew when another program added one to its file meanwhile.
    for (int i = 0; i < m_ui->HISTTREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_ui->HISTTREE->topLevelItem(i);
        if (const auto *entry = static_cast<const DocCdataCase *>(row->data(0, Qt::UserRole).value<void *>()))
            row->setText(0, QString::number(entry->ID));
    }
    if (GetStrVar(RegSlot::StrMailIsSend) != QLatin1String("1") || m_mailQueue.isEmpty())
        return;
    auto *control = GetObj<SmtpControl>(RegSlot::ObjSmtpControl);
    if (!control)
        return;
    // The run's result goes to the status bar, not to a mail panel.
    SetIntVar(RegSlot::IntStatusMode, 0);
    if (auto *window = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        window->SetMailQueue(&m_mailQueue);
    else
        control->SetQueue(&m_mailQueue);
    emit control->do_start();
}

// A history's owner may have been removed from the trees since its entry was added.
bool QandA::isLiveItem(QTreeWidgetItem *item) const
{
    for (QTreeWidget *tree : {m_ui->QTREE, m_ui->ATREE}) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if (*it == item)
                return true;
        }
    }
    return false;
}

void QandA::QueueMails(DocCdataRecord *record, QTreeWidgetItem *owner)
{
    if (!owner || !isLiveItem(owner) || !RecordOf(owner))
        return;
    for (DocCdataCase *entry : qAsConst(record->Cases)) {
        if (!entry->Stored && !entry->IsSend && !entry->Deleted)
            BuildMail(owner, entry);
    }
}

void QandA::addRecipient(QList<MailRecipient> *to, int n) const
{
    const MemberInfo *m = member(n);
    if (m && m->OtherUser != 0 && !m->ProcEmail.isEmpty())
        to->append({m->Name, m->ProcEmail});
}

QStringList QandA::instanceLines(QTreeWidgetItem *question) const
{
    const QTreeWidgetItem *element =
        m_instItems.value(RecordOf(question)->GetAttr(GetStrVar(RegSlot::StrAttrInstID)));
    if (!element || !element->parent())
        return {};
    const QTreeWidgetItem *parent = element->parent();
    if (!parent->parent())
        return {QString(), tr("[instance Lclass]"), tr("Lclass ID:") + element->text(InstId),
                tr("Lclass name:") + element->text(InstLClass),
                tr("Lelementname:") + element->text(InstElement)};
    return {QString(),
            tr("[instance Lclass]"),
            tr("Lclass ID:") + parent->text(InstId),
            tr("Lclass name:") + parent->text(InstLClass),
            tr("elementname:") + parent->text(InstElement),
            QString(),
            tr("[instance Sclass]"),
            tr("Sclass ID:") + element->text(InstId),
            tr("Sclass name:") + element->text(InstSClass),
            tr("elementname:") + element->text(InstElement)};
}

void QandA::BuildMail(QTreeWidgetItem *item, DocCdataCase *entry)
{
    const bool isQuestion = !item->parent();
    QTreeWidgetItem *question =
        isQuestion ? item : (item->parent()->parent() ? item->parent()->parent() : item->parent());
    MailQueueItem mail;
    mail.Entry = entry;
    addRecipient(&mail.Recipients, RecordOf(question)->number);
    for (int i = 0; i < question->childCount(); ++i)
        addRecipient(&mail.Recipients, question->child(i)->data(ColUser, Qt::UserRole).toInt());
    if (mail.Recipients.isEmpty())
        return;
    mail.Subject = GetStrVar(RegSlot::StrUserName) +
                   (isQuestion ? tr("mr. have a question") : tr("mr. have a answer from question"));
    auto *control = GetObj<SmtpControl>(RegSlot::ObjSmtpControl);
    if (!control)
        return;
    QStringList lines = control->HeaderLines();
    lines << instanceLines(question) << QString();
    const QString title =
        tr("Title(ID:") + question->text(ColId) + QStringLiteral("):") + question->text(ColTitle);
    const QString status = tr("No.") + QString::number(entry->ID) + QStringLiteral("   ") + tr(" Status:") +
                           StateName(entry->TYPE);
    if (isQuestion) {
        lines << Rule << QStringLiteral("[") + question->text(ColType) + QStringLiteral("]") << title
              << tr("Target Instance ID:") + question->text(ColInst);
    } else {
        lines << QStringLiteral("[") + question->text(ColType) + QStringLiteral("]") << title
              << tr("Target Instance ID:") + question->text(ColInst)
              << tr(" Status:") + question->text(ColState) << Rule
              << QStringLiteral("[") + item->text(ColType) + QStringLiteral("]")
              << tr("ID:") + item->text(ColId);
    }
    lines << status << tr("[conts]") << entry->Text << Rule << QString() << QString() << QString();
    mail.Body = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    m_mailQueue.append(mail);
}
