// What the panel does to one question or answer: create, delete, address, move through its
// states, and the history of entries with their texts.

#include "core/decimalid.h"
#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmltext.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "qa/createqa.h"
#include "qa/qanda.h"
#include "qa/touserdialog.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_qanda.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>

namespace
{
QString now()
{
    return QDateTime::currentDateTime().toString(QString::fromLatin1(DocCdata::TimeFormat));
}

bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &yes,
             const QString &no)
{
    QMessageBox box(parent);
    box.setWindowIcon(globalvar().GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(title);
    box.setText(text);
    QPushButton *y = box.addButton(yes, QMessageBox::YesRole);
    QPushButton *n = box.addButton(no, QMessageBox::NoRole);
    y->setObjectName(QStringLiteral("yes"));
    n->setObjectName(QStringLiteral("no"));
    box.setEscapeButton(n);
    box.exec();
    return box.clickedButton() == y;
}
} // namespace

QString QandA::shownId(QTreeWidgetItem *item) const
{
    return item ? item->text(ColId) : QString();
}

bool QandA::hasAnswers(QTreeWidgetItem *question) const
{
    for (int i = 0; question && i < question->childCount(); ++i) {
        if (question->child(i)->childCount() > 0)
            return true;
    }
    return false;
}

void QandA::CreateQuestion()
{
    QTreeWidgetItem *element = m_ui->UTREE->currentItem();
    if (!element || !element->parent()) {
        UiReport::Error(tr("create Question Error"), tr("instance class is not selected"));
        return;
    }
    if (m_tab != 0)
        return;
    QStringList names;
    QStringList ids;
    if (const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
        for (auto it = table->begin(); it != table->end(); ++it) {
            // A member whose question file could not be read has no known next ID.
            if (it.value() && it.value()->OtherUser == 0 && !m_unreadQuestions.contains(it.key())) {
                names << it.value()->Name;
                const int next = freeNumber(QStringLiteral("question"), it.key(), it.value()->QuestionMaxID);
                ids << QStringLiteral("Q%1-%2").arg(it.key()).arg(next < 0 ? it.value()->QuestionMaxID
                                                                           : next);
            }
        }
    }
    m_create->SetMode(CreateQA::AddQuestion);
    m_create->SetWindowText(tr("Create Question"));
    m_create->SetTypes(m_questionTypes, QString());
    m_create->SetOwners(names, ids);
    m_create->SetInstId(element->text(5));
    m_create->exec();
}

void QandA::AddQuestion(const QString &title, const QString &type, const QString &ownerName)
{
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    int n = -1;
    for (auto it = table ? table->begin() : MemberTable::const_iterator(); table && it != table->end();
         ++it) {
        if (it.value() && it.value()->OtherUser == 0 && it.value()->Name == ownerName &&
            !m_unreadQuestions.contains(it.key())) {
            n = it.key();
            break;
        }
    }
    if (n < 0)
        return;
    MemberInfo *m = member(n);
    QString why;
    const int number = freeNumber(QStringLiteral("question"), n, m->QuestionMaxID, &why);
    if (number < 0) {
        UiReport::Error(tr("create Question Error"), why);
        return;
    }
    m->QuestionMaxID = number + 1;
    SetBoolVar(RegSlot::FlagBusy, true);
    auto *record = new TreeItemData;
    record->number = n;
    record->name = QString::number(n);
    const QString id = QString::number(number);
    record->SetAttr(GetStrVar(RegSlot::StrAttrType), StoredType(type));
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), m->Name);
    record->SetAttr(GetStrVar(RegSlot::StrAttrOwnerID), record->name);
    record->SetAttr(GetStrVar(RegSlot::StrTagTitle), title);
    record->SetAttr(GetStrVar(RegSlot::StrAttrState), QStringLiteral("-1"));
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), now());
    record->SetAttr(GetStrVar(RegSlot::StrAttrID), id);
    const QString instKey = m_instKeys.value(m_ui->UTREE->currentItem(), QStringLiteral("0-1"));
    record->SetAttr(GetStrVar(RegSlot::StrAttrInstID), instKey);
    auto *item = new QTreeWidgetItem;
    item->setData(0, Qt::UserRole, TreeItemData::ToData(record));
    fillQuestionColumns(item);
    m_ui->QTREE->insertTopLevelItem(0, item);
    m_questions.insert(record->name + QLatin1Char('-') + id, item);
    SetBoolVar(RegSlot::FlagBusy, false);
    const QString key = item->text(ColId);
    m_records.AddCaseNow(key, item, -1, m->Name, QString());
    m_records.SetRecordPath(key, HistoryPath(key));
    m_ui->QTREE->setCurrentItem(item);
    TreeColumnAdjustment(m_ui->QTREE);
    fillUserDialog();
    m_toUser->SetQuestion(item);
    m_toUser->exec();
    SetModify();
}

void QandA::CreateAnswer()
{
    QTreeWidgetItem *item = currentItem();
    if (!item)
        return;
    const int level = LevelOf(item);
    QTreeWidgetItem *addressee = level == AnswerLevel      ? item->parent()
                                 : level == AddresseeLevel ? item
                                                           : nullptr;
    if (!addressee)
        return;
    QTreeWidgetItem *question = addressee->parent();
    const int n = addressee->data(ColUser, Qt::UserRole).toInt();
    const MemberInfo *m = member(n);
    if (!m || m->OtherUser != 0 || m_unreadAnswers.contains(n))
        return;
    m_create->SetMode(CreateQA::AddAnswer);
    m_create->SetWindowText(tr("Create Answer"));
    m_create->SetTitle(question->text(ColTitle));
    m_create->SetTypes(m_answerTypes, QString());
    m_create->SetQuestionItem(addressee);
    const int next = freeNumber(QStringLiteral("answer"), n, m->AnswerMaxID);
    m_create->SetId(QStringLiteral("A%1-%2").arg(n).arg(next < 0 ? m->AnswerMaxID : next));
    m_create->SetInstId(question->text(ColInst));
    m_create->exec();
}

void QandA::AddAnswer(QTreeWidgetItem *addressee, const QString &, const QString &type)
{
    QTreeWidgetItem *question = addressee ? addressee->parent() : nullptr;
    MemberInfo *m = addressee ? member(addressee->data(ColUser, Qt::UserRole).toInt()) : nullptr;
    if (!question || !m)
        return;
    QString why;
    const int number = freeNumber(QStringLiteral("answer"), m->ID, m->AnswerMaxID, &why);
    if (number < 0) {
        UiReport::Error(tr("Create Answer"), why);
        return;
    }
    m->AnswerMaxID = number + 1;
    auto *record = new TreeItemData;
    record->number = m->ID;
    record->name = QString::number(m->ID);
    const QString id = QString::number(number);
    record->SetAttr(GetStrVar(RegSlot::StrAttrType), StoredType(type));
    record->SetAttr(GetStrVar(RegSlot::StrAttrID), id);
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), m->Name);
    const TreeItemData *q = RecordOf(question);
    record->SetAttr(GetStrVar(RegSlot::StrAttrQuestID),
                    q->name + QLatin1Char('-') + q->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), now());
    record->SetAttr(GetStrVar(RegSlot::StrAttrState), QStringLiteral("-1"));
    auto *item = new QTreeWidgetItem;
    item->setData(0, Qt::UserRole, TreeItemData::ToData(record));
    addressee->insertChild(0, item);
    fillAnswerColumns(item);
    const QString key = item->text(ColId);
    m_records.AddCaseNow(key, item, -1, m->Name, QString());
    m_records.SetRecordPath(key, HistoryPath(key));
    addressee->setExpanded(true);
    currentTree()->setCurrentItem(item);
    TreeColumnAdjustment(currentTree());
    SetModify();
}

void QandA::DeleteQuestion()
{
    QTreeWidgetItem *item = currentItem();
    if (m_tab != 0 || !item || LevelOf(item) != QuestionLevel)
        return;
    m_create->SetMode(CreateQA::DelQuestion);
    m_create->SetWindowText(tr("Delete Question"));
    m_create->SetTitle(item->text(ColTitle));
    m_create->AddType(item->text(ColType));
    m_create->SetId(item->text(ColId));
    m_create->SetInstId(item->text(ColInst));
    if (hasAnswers(item))
        m_create->SetMessage(tr("answer is exist"));
    m_create->exec();
}

void QandA::RemoveQuestion()
{
    QTreeWidgetItem *item = currentItem();
    if (!item || LevelOf(item) != QuestionLevel)
        return;
    // The dialog may have been opened on a question with answers: they are never dropped.
    if (hasAnswers(item) || !confirm(this, tr("Delete reference"),
                                     tr("Are you sure that you want to delete?"), tr("yes"), tr("no")))
        return;
    if (!commitEditor())
        return;
    const TreeItemData *r = RecordOf(item);
    m_questions.remove(r->name + QLatin1Char('-') + r->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    m_shown = m_historyItem = nullptr;
    m_editedEntry = nullptr;
    freeItem(item);
    delete item;
    TreeColumnAdjustment(m_ui->QTREE);
}

void QandA::DeleteAnswer()
{
    QTreeWidgetItem *item = currentItem();
    if (!item || LevelOf(item) != AnswerLevel)
        return;
    m_create->SetMode(CreateQA::DelAnswer);
    m_create->SetWindowText(tr("Delete Answer"));
    m_create->SetTitle(item->parent()->parent()->text(ColTitle));
    m_create->AddType(item->text(ColType));
    m_create->SetId(item->text(ColId));
    m_create->SetInstId(item->parent()->parent()->text(ColInst));
    m_create->exec();
}

void QandA::RemoveAnswer()
{
    QTreeWidgetItem *item = currentItem();
    if (!item || LevelOf(item) != AnswerLevel ||
        !confirm(this, tr("Delete answer"), tr("Are you sure that you want to delete?"), tr("yes"), tr("no")))
        return;
    if (!commitEditor())
        return;
    m_shown = m_historyItem = nullptr;
    m_editedEntry = nullptr;
    QTreeWidget *tree = item->treeWidget();
    freeItem(item);
    delete item;
    TreeColumnAdjustment(tree);
}

// Members come and go while the instance is open: the list is built again whenever the members
// it would list differ from those it lists.
void QandA::fillUserDialog()
{
    QList<QPair<QString, int>> users;
    if (const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
        for (auto it = table->begin(); it != table->end(); ++it) {
            if (it.value() && it.value()->OtherUser == 0)
                users.append({it.value()->Name, it.key()});
        }
        const auto *list = GetObj<MemberList>(RegSlot::ObjMemberList);
        const QList<int> others = list ? *list : table->keys();
        for (int n : others) {
            const MemberInfo *m = table->value(n);
            if (m && m->OtherUser != 0)
                users.append({m->Name, n});
        }
    }
    if (m_usersFilled && users == m_users)
        return;
    m_usersFilled = true;
    m_users = users;
    m_toUser->ClearUsers();
    for (const auto &user : qAsConst(users))
        m_toUser->AddUser(user.first, user.second, Qt::Unchecked);
}

void QandA::UserListClicked()
{
    QTreeWidgetItem *item = m_ui->QTREE->currentItem();
    if (m_tab != 0 || !item || LevelOf(item) != QuestionLevel)
        return;
    fillUserDialog();
    m_toUser->SetQuestion(item);
    m_toUser->exec();
}

QTreeWidgetItem *QandA::MakeAddressee(int n)
{
    const MemberInfo *m = member(n);
    if (!m)
        return nullptr;
    auto *item = new QTreeWidgetItem;
    item->setText(ColType, tr("answer and confirmation"));
    item->setText(ColUser, m->Name);
    item->setIcon(ColUser, SharedIcon::Get(m->OtherUser == 0 ? SharedIcon::User : SharedIcon::Other));
    item->setData(ColUser, Qt::UserRole, n);
    return item;
}

void QandA::InsertAddressee(QTreeWidgetItem *question, int position, QTreeWidgetItem *addressee)
{
    question->insertChild(std::min(position, question->childCount()), addressee);
    question->setExpanded(true);
}

void QandA::RemoveAddressee(QTreeWidgetItem *question, QTreeWidgetItem *addressee)
{
    if (addressee->parent() != question)
        return;
    if (currentTree()->currentItem() == addressee)
        currentTree()->setCurrentItem(question);
    delete question->takeChild(question->indexOfChild(addressee));
}

void QandA::StateClicked()
{
    QTreeWidgetItem *item = m_shown;
    if (!item || LevelOf(item) == AddresseeLevel ||
        !(LevelOf(item) == QuestionLevel ? m_questionEditable : m_answerEditable))
        return;
    static const char *const titles[4] = {QT_TR_NOOP("modify Message"), QT_TR_NOOP("progress Message"),
                                          QT_TR_NOOP("stop Message"), QT_TR_NOOP("completion Message")};
    static const char *const texts[4] = {QT_TR_NOOP("Are you sure that you modify message?"),
                                         QT_TR_NOOP("Are you sure that you progress message?"),
                                         QT_TR_NOOP("Are you sure that you stop message?"),
                                         QT_TR_NOOP("Are you sure that you completion message?")};
    const int i = m_ui->STATECBX->currentIndex();
    if (i < 0 || i > 3 || !confirm(this, tr(titles[i]), tr(texts[i]), tr("yes"), tr("no")))
        return;
    if (!commitEditor())
        return;
    const QString key = shownId(item);
    DocCdataCase *entry =
        m_records.AddCase(key, item, i, item->text(ColUser), QDateTime::currentDateTime(), QString());
    if (!entry) {
        // No ID left is reported where it is found; a history that could not be read back is
        // told here. The state stays as it was.
        if (!m_records.Refusal().isEmpty())
            UiReport::Error(tr(titles[i]), m_records.Refusal());
        return;
    }
    m_records.SetRecordPath(key, HistoryPath(key));
    TreeItemData *r = RecordOf(item);
    const QString stamp = now();
    item->setText(ColCompletion, QString());
    item->setText(ColState, StateName(i));
    SetStateColours(item, ColState, i);
    r->SetAttr(GetStrVar(RegSlot::StrAttrState), QString::number(i));
    if (i == 0) {
        item->setText(ColModify, stamp);
        r->SetAttr(GetStrVar(RegSlot::StrAttrModifyDate), stamp);
    } else if (i >= 2) {
        item->setText(ColCompletion, stamp);
        r->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), stamp);
    }
    addHistoryRow(entry);
    if (auto *model = qobject_cast<QStandardItemModel *>(m_ui->STATECBX->model()))
        model->item(0)->setEnabled(false);
    m_ui->HISTTREE->setCurrentItem(m_ui->HISTTREE->topLevelItem(m_ui->HISTTREE->topLevelItemCount() - 1));
    SetModify();
}

void QandA::addHistoryRow(DocCdataCase *entry)
{
    auto *row = new QTreeWidgetItem(m_ui->HISTTREE);
    row->setText(0, QString::number(entry->ID));
    row->setText(1, StateName(entry->TYPE));
    SetStateColours(row, 1, entry->TYPE >= -1 && entry->TYPE <= 3 ? entry->TYPE : -1);
    row->setText(2, entry->DateTime.toString(QStringLiteral("yyyy/MM/dd")));
    row->setText(3, entry->DateTime.toString(QStringLiteral("hh:mm")));
    row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(entry)));
}

void QandA::showHistory(QTreeWidgetItem *item)
{
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_ui->HISTTREE->clear();
    m_historyItem = item;
    m_editedEntry = nullptr;
    const QString key = shownId(item);
    QList<DocCdataCase *> *entries = m_records.LoadIfChanged(key, HistoryPath(key));
    for (DocCdataCase *entry : qAsConst(*entries)) {
        if (!entry->Deleted)
            addHistoryRow(entry);
    }
    TreeColumnAdjustment(m_ui->HISTTREE);
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void QandA::QAHistProc(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (GetBoolVar(RegSlot::FlagUpdating))
        return;
    if (m_editedEntry && !m_editedEntry->Stored && previous && m_editor->IsModified() && m_historyItem &&
        !m_records.SetCaseText(shownId(m_historyItem), m_editedEntry->ID, m_editor->toPlainText())) {
        // The row that holds the text stays chosen, with the text in the editor.
        SetBoolVar(RegSlot::FlagUpdating, true);
        m_ui->HISTTREE->setCurrentItem(previous);
        SetBoolVar(RegSlot::FlagUpdating, false);
        refuseText();
        return;
    }
    m_editedEntry =
        current ? static_cast<DocCdataCase *>(current->data(0, Qt::UserRole).value<void *>()) : nullptr;
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_editor->UndoRedoOff();
    m_editor->setPlainText(m_editedEntry ? m_editedEntry->Text : QString());
    m_editor->UndoRedoOn();
    m_editor->ClearModified();
    SetBoolVar(RegSlot::FlagUpdating, updating);
    const bool editable = m_historyItem && m_editedEntry && !m_editedEntry->Stored &&
                          (LevelOf(m_historyItem) == QuestionLevel ? m_questionEditable : m_answerEditable);
    m_editor->setReadOnly(!editable);
}

// The editor's text goes into the newest entry of the shown history, and only there. False when
// the history could not take it: the text stays in the editor, still marked as changed.
bool QandA::commitEditor()
{
    if (!m_historyItem || !m_editor->IsModified() || m_ui->HISTTREE->topLevelItemCount() == 0)
        return true;
    QTreeWidgetItem *last = m_ui->HISTTREE->topLevelItem(m_ui->HISTTREE->topLevelItemCount() - 1);
    if (m_ui->HISTTREE->currentItem() != last)
        return true;
    const QString key = shownId(m_historyItem);
    // The row's entry, not the number shown: a save may have numbered it anew.
    const auto *entry = static_cast<const DocCdataCase *>(last->data(0, Qt::UserRole).value<void *>());
    if (entry && !m_records.SetCaseText(key, entry->ID, m_editor->toPlainText()))
        return refuseText();
    // The history keeps what XML can hold; the status line says what was replaced.
    const QString replaced = XmlText::ReplacedMessage(m_editor->toPlainText());
    auto *window = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!replaced.isEmpty() && window)
        window->StatusMessage(replaced);
    m_records.SetModified(key);
    if (isOwnItem(m_historyItem))
        RecordOf(m_historyItem)
            ->SetAttr(GetStrVar(RegSlot::StrAttrType), StoredType(m_ui->TYPE->currentText()));
    m_editor->ClearModified();
    return true;
}

bool QandA::refuseText()
{
    UiReport::Error(tr("Text not saved"),
                    tr("%1\nThe text was not saved; it stays in the editor.").arg(m_records.Refusal()));
    return false;
}

void QandA::TitleChanged(const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    QTreeWidgetItem *item = m_shown;
    if (m_tab != 0 || !item || LevelOf(item) != QuestionLevel || !m_questionEditable)
        return;
    item->setText(ColTitle, text);
    RecordOf(item)->SetAttr(GetStrVar(RegSlot::StrTagTitle), text);
    TreeColumnAdjustment(m_ui->QTREE);
    SetModify();
}

void QandA::TypeChanged(int)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    QTreeWidgetItem *item = m_shown;
    if (!item || LevelOf(item) == AddresseeLevel)
        return;
    const bool editable = LevelOf(item) == QuestionLevel ? m_questionEditable : m_answerEditable;
    if (!editable)
        return;
    item->setText(ColType, m_ui->TYPE->currentText());
    RecordOf(item)->SetAttr(GetStrVar(RegSlot::StrAttrType), StoredType(m_ui->TYPE->currentText()));
    TreeColumnAdjustment(currentTree());
    SetModify();
}

void QandA::QtreeClicked(QTreeWidgetItem *item, int column)
{
    if (!item || LevelOf(item) != QuestionLevel || !isOwnMember(RecordOf(item)->number))
        return;
    if (column == ColTarget) {
        m_calendar->SetItem(item);
        m_calendar->Open(1, item);
    } else if (column == ColCompletion &&
               RecordOf(item)->GetAttr(GetStrVar(RegSlot::StrAttrState)).toInt() > 0) {
        m_calendar->SetItem(item);
        m_calendar->Open(2, item);
    }
}
