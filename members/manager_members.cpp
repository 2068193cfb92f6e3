#include "members/manager.h"

#include "core/globalmutex.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/adduserdiag.h"
#include "members/mnguser.h"
#include "members/userinf.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace
{
QMessageBox *deleteBox(QWidget *parent, const QIcon &logo, const QString &text)
{
    auto *box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setWindowIcon(logo);
    box->setWindowTitle(QObject::tr("Delete Group"));
    box->setIcon(QMessageBox::Information);
    box->setText(text);
    return box;
}
} // namespace

void manager::AddGroupUser()
{
    if (!m_picker) {
        m_picker = new AddUserDiag;
        connect(m_picker, &AddUserDiag::memberChosen, this,
                [this](const QString &name, const QString &email) { AddMember(name, email); });
    }
    m_picker->ShowList(ManagerName(), ManagerEmail());
    m_picker->show();
}

bool manager::AddMember(const QString &name, const QString &address)
{
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    if (!top) {
        UiReport::Error(tr("Add Group User"), tr("no member number is left"));
        return false;
    }
    // The group's reader would leave such an entry out: the member would be gone at the next open.
    if (const QString refusal = MemberFiles::LongIdentity(name, address); !refusal.isEmpty()) {
        UiReport::Error(tr("Add Group User"), refusal);
        return false;
    }
    QString why;
    const int n = m_files.NextFreeNumber(m_nextId, &why);
    if (n < 0) {
        UiReport::Error(tr("Add Group User"), why);
        return false;
    }
    const QString proc = LookupProcEmail(address);
    // A member whose file could not be written (reported) is not added: nothing else is made.
    if (!m_files.CreateMemberFile(n, name, address, proc)) {
        if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
            store->CloseXmlDoc(XmlIndex::Manager + n);
        return false;
    }
    m_addresses[address].append(n);
    auto *record = new MemberInfo;
    record->ID = n;
    record->Name = record->DisplayName = name;
    record->Email = address;
    record->ProcEmail = proc;
    record->OtherUser = isOwn(address) ? 0 : 1;
    // Another member's files are now watched for changes.
    if (record->OtherUser == 1) {
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
            timer->StartFileCheckTimer();
    }
    {
        MutexHold hold(MutexNo::Members);
        m_table.insert(n, record);
    }
    m_list.append(n);
    record->DisplayName =
        MemberFiles::DisplayName(name, MemberFiles::SameAddressIndex(m_addresses.value(address), n));
    auto *item = new QTreeWidgetItem;
    styleItem(item, record);
    fillRedmineColumns(item);
    record->TreeItem = item;
    record->Page = m_panel->AddUserTab(n, record->DisplayName, address);
    m_files.CreateKindFile(QStringLiteral("question"), n);
    m_files.CreateKindFile(QStringLiteral("answer"), n);
    // A lower number found free leaves the counter where it was: it never goes back.
    m_nextId = std::max(m_nextId, n + 1);
    record->Page->SetMember(n);
    top->addChild(item);
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab)) {
        tab->LoadInstance(item);
        tab->SetScheduleRefresh(true);
        tab->SetQandARefresh(true);
        tab->SetDocumentRefresh(true);
    }
    ManagerColumnAdjustment();
    m_tree->setCurrentItem(item);
    SetModify();
    if (!GetBoolVar(RegSlot::FlagBusy)) {
        if (MemberInfo *group = m_table.value(0))
            group->MemberModified = true;
    }
    return true;
}

void manager::DelGroupUser()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || !item->parent())
        return;
    const int n = item->data(0, Qt::UserRole).toInt();
    MemberInfo *record = m_table.value(n);
    if (!record) {
        delete item;
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
        ManagerColumnAdjustment();
        SetModify();
        SetManagerModify(0);
        return;
    }
    std::unique_ptr<QMessageBox> box;
    // Another member's rows may not be built yet: they are, before they are counted.
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->EnsureMemberRows(record->ID);
    if (record->InstanceItem && record->InstanceItem->childCount() > 0) {
        box.reset(deleteBox(this, GetLogoIcon(),
                            tr("Since there are instance data, you will not be able to delete the user.")));
        box->addButton(tr("yes"), QMessageBox::AcceptRole)->setObjectName(QStringLiteral("yes"));
        box->exec();
        return;
    }
    box.reset(deleteBox(this, GetLogoIcon(), tr("Do you want to delete this user?")));
    QPushButton *yes = box->addButton(tr("yes"), QMessageBox::YesRole);
    yes->setObjectName(QStringLiteral("yes"));
    QPushButton *no = box->addButton(tr("no"), QMessageBox::NoRole);
    no->setObjectName(QStringLiteral("no"));
    box->setEscapeButton(no);
    box->exec();
    if (box->clickedButton() != yes)
        return;
    RemoveMember(item, record);
    ManagerColumnAdjustment();
}

void manager::RemoveMember(QTreeWidgetItem *item, MemberInfo *record)
{
    const int n = record->ID;
    QList<int> &same = m_addresses[record->Email];
    std::sort(same.begin(), same.end());
    same.removeAll(n);
    {
        MutexHold hold(MutexNo::Members);
        m_table.remove(n);
    }
    m_list.removeAll(n);
    delete item;
    record->TreeItem = nullptr;
    m_panel->RemoveUserTab(n);
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab)) {
        tab->RemoveUser(record->InstanceItem);
        tab->CloseMember(n);
        tab->SetScheduleRefresh(true);
        tab->SetQandARefresh(true);
        tab->SetDocumentRefresh(true);
    }
    record->InstanceItem = nullptr;
    delete record->Page;
    record->Page = nullptr;
    // A presence change already queued may still point at the record: it is kept, marked. The
    // mark is read by a check that took the record before it left the table: mutex 0.
    {
        MutexHold hold(MutexNo::Members);
        record->Deleted = true;
    }
    m_removed.append(record);
    RenumberAddress(record->Name, record->Email);
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
    SetModify();
    if (!GetBoolVar(RegSlot::FlagBusy)) {
        if (MemberInfo *group = m_table.value(0))
            group->MemberModified = true;
    }
}

// The name given is the removed member's: the others sharing the address keep their own.
void manager::RenumberAddress(const QString &, const QString &address)
{
    QList<int> same = m_addresses.value(address);
    std::sort(same.begin(), same.end());
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    for (int k = 0; k < same.size(); ++k) {
        MemberInfo *record = m_table.value(same.at(k));
        if (!record || record->ID == 0)
            continue;
        record->DisplayName = MemberFiles::DisplayName(record->Name, k);
        record->Email = address;
        if (record->Page)
            record->Page->SetUser(record->DisplayName, address);
        m_panel->SetTabText(record->ID, record->DisplayName);
        if (record->TreeItem) {
            record->TreeItem->setText(0, record->DisplayName);
            record->TreeItem->setText(1, address);
        }
        if (tab)
            tab->UpdateItemText(record->InstanceItem, record->Name, k);
    }
}

void manager::ChangeMember(const QString &newName, const QString &newAddress)
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return;
    const int n = item->data(0, Qt::UserRole).toInt();
    MemberInfo *record = m_table.value(n);
    if (!record)
        return;
    if (const QString refusal = MemberFiles::LongIdentity(newName, newAddress); !refusal.isEmpty()) {
        UiReport::Error(tr("Manager Transfer"), refusal);
        return;
    }
    record->Transferred = true;
    record->NewEmail = newAddress;
    record->NewName = newName;
    record->ProcEmail = LookupProcEmail(newAddress);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    SetBoolVar(RegSlot::FlagMemberModified, true);
    if (n != 0) {
        if (MemberInfo *group = m_table.value(0))
            group->MemberModified = true;
    }
    if (!GetBoolVar(RegSlot::FlagBusy))
        record->MemberModified = true;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAndCloseWorkspace();
}
