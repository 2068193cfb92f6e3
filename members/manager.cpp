#include "members/manager.h"

#include "comm/chat.h"
#include "comm/semaphorecontrol.h"
#include "core/globalmutex.h"
#include "core/initxml.h"
#include "core/postbox.h"
#include "core/safefile.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/mnguser.h"
#include "members/userinf.h"
#include "qa/qanda.h"
#include "redmine/redmineproject.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"

#include <QDate>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

manager::manager(QWidget *parent)
    : QWidget(parent), m_pageLayout(new QVBoxLayout), m_splitter(new QSplitter(this)),
      m_tree(new QTreeWidget), m_panel(new MngUser), m_popup(new QMenu(this)),
      m_chat(std::make_unique<Chat>()), m_chatControl(std::make_unique<SemaphoreControl>())
{
    m_pageLayout->setObjectName(QStringLiteral("HL"));
    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    m_pageLayout->addWidget(m_splitter);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setHandleWidth(1);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_panel);
    m_tree->setObjectName(QStringLiteral("MTREE"));
    m_tree->setColumnCount(8);
    m_tree->setHeaderLabels({tr("User"), tr("email address"), tr("ID"), tr("CurrentState"), tr("Redmine"),
                             tr("Last Name"), tr("First Name"), tr("RedmineID")});
    styleHeader();
    for (int c = 4; c < 8; ++c)
        m_tree->setColumnHidden(c, true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_addAction = m_popup->addAction(tr("Add Group User"));
    m_delAction = m_popup->addAction(tr("Del Group User"));
    connect(m_addAction, &QAction::triggered, this, &manager::AddGroupUser);
    connect(m_delAction, &QAction::triggered, this, &manager::DelGroupUser);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &manager::TreePopupMenu);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &manager::MtreeItemChange);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &manager::MtreeDblClicked);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &manager::ManagerColumnAdjustment);
    connect(m_tree, &QTreeWidget::itemCollapsed, this, &manager::ManagerColumnAdjustment);
    SetObj<QLayout>(RegSlot::ObjManagerLayout, m_pageLayout.data());
    resetState();
    SetIntVar(RegSlot::IntRedmineProjectId, -1);
    SetObj(RegSlot::ObjChatControl, m_chatControl.get());
    m_chat->ConnectSemaphore(m_chatControl->GetWorker());
}

void manager::styleHeader()
{
    QTreeWidgetItem *header = m_tree->headerItem();
    const char *const icons[] = {":src/TBL_USER.png", ":src/logo.png", ":src/TBL_ID.png", ":src/TBL_S.png"};
    for (int c = 0; c < 8; ++c) {
        if (c < 4)
            header->setIcon(c, QIcon(QString::fromLatin1(icons[c])));
        header->setForeground(c, QBrush(QColor("#FFFFFF")));
        header->setBackground(c, QBrush(QColor(c < 4 ? "#666666" : "#28649d")));
    }
}

manager::~manager()
{
    if (GetObj<SemaphoreControl>(RegSlot::ObjChatControl) == m_chatControl.get())
        SetObj<SemaphoreControl>(RegSlot::ObjChatControl, nullptr);
    // The chat worker reads the member records (a first load may still run): it ends before they go.
    m_chatControl.reset();
    m_tree->clear();
    clearMembers();
    if (GetObj<QLayout>(RegSlot::ObjManagerLayout) == m_pageLayout.data())
        SetObj<QLayout>(RegSlot::ObjManagerLayout, nullptr);
    if (m_pageLayout && !m_pageLayout->parent()) {
        delete m_splitter;
        delete m_pageLayout.data();
    }
}

void manager::resetState()
{
    m_closing = false;
    m_isManager = false;
    m_managerName.clear();
    m_managerEmail.clear();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepManagerActions(false, false, false);
        mw->RestoreManagerActions();
    }
}

bool manager::isOwn(const QString &address) const
{
    return address == GetStrVar(RegSlot::StrUserEmail);
}

void manager::clearMembers()
{
    StopPresence();
    // Deleting pages moves the panel's current tab, which would select rows of records that are
    // going away.
    const bool closing = m_closing;
    m_closing = true;
    // The tabs go with their members, built pages or not.
    m_panel->RemoveUserTabs();
    {
        MutexHold hold(MutexNo::Members);
        for (MemberInfo *record : qAsConst(m_table)) {
            if (record->Page && record->Page != m_panel->OwnerPage())
                delete record->Page;
            delete record;
        }
        m_table.clear();
        qDeleteAll(m_removed);
        m_removed.clear();
    }
    m_list.clear();
    m_addresses.clear();
    if (GetObj<MemberTable>(RegSlot::ObjMemberTable) == &m_table)
        SetObj<MemberTable>(RegSlot::ObjMemberTable, nullptr);
    if (GetObj<MemberList>(RegSlot::ObjMemberList) == &m_list)
        SetObj<MemberList>(RegSlot::ObjMemberList, nullptr);
    m_closing = closing;
}

void manager::styleItem(QTreeWidgetItem *item, const MemberInfo *record)
{
    const bool own = record->OtherUser == 0;
    item->setIcon(0, QIcon(own ? QStringLiteral(":src/user.png") : QStringLiteral(":src/other.png")));
    const QBrush brush(QColor(own ? "#ffffff" : "#fae992"));
    for (int c = 1; c <= 3; ++c)
        item->setBackground(c, brush);
    item->setText(3, CurStateText(own ? 0 : 2));
    item->setText(0, record->DisplayName);
    item->setText(1, record->Email);
    item->setText(2, QStringLiteral("I%1").arg(record->ID));
    item->setData(0, Qt::UserRole, record->ID);
}

void manager::buildTree()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Manager) : nullptr;
    const QDomElement root = doc ? doc->documentElement() : QDomElement();
    if (!root.isNull() && root.tagName() == QLatin1String("Root_manager")) {
        auto *group = new MemberInfo;
        group->ID = 0;
        group->Name = group->DisplayName = root.attribute(QStringLiteral("User"));
        group->Email = root.attribute(QStringLiteral("Email"));
        group->OtherUser = isOwn(group->Email) ? 0 : 1;
        if (group->OtherUser == 0)
            m_isManager = true;
        auto *item = new QTreeWidgetItem;
        styleItem(item, group);
        group->TreeItem = item;
        group->Page = m_panel->OwnerPage();
        if (GetBoolVar(RegSlot::FlagIsManager))
            fillRedmineColumns(item);
        m_tree->addTopLevelItem(item);
        {
            MutexHold hold(MutexNo::Members);
            m_table.insert(0, group);
        }
        m_addresses[group->Email].prepend(0);
    }
    SetObj(RegSlot::ObjMemberTable, &m_table);
    SetObj(RegSlot::ObjMemberList, &m_list);
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    for (int n : qAsConst(m_list)) {
        MemberInfo *record = m_table.value(n);
        if (!record || !top)
            continue;
        record->OtherUser = isOwn(record->Email) ? 0 : 1;
        record->DisplayName = MemberFiles::DisplayName(
            record->Name, MemberFiles::SameAddressIndex(m_addresses.value(record->Email), n));
        auto *item = new QTreeWidgetItem(top);
        styleItem(item, record);
        record->TreeItem = item;
        if (GetBoolVar(RegSlot::FlagIsManager))
            fillRedmineColumns(item);
    }
    m_panel->SetUsers(m_list);
    if (MemberInfo *group = m_table.value(0))
        group->Page->ShowUser();
}

MemberSaveData manager::saveData(const MemberInfo *record, int n) const
{
    MemberSaveData d;
    d.id = n;
    d.writeIdentity = record->Transferred || n == 0;
    d.user = record->Transferred ? record->NewName : record->Name;
    d.email = record->Transferred ? record->NewEmail : record->Email;
    d.procEmail = record->ProcEmail;
    // A page not built yet holds the file's values: built now, it gives them back unchanged.
    if (UserInf *page = n == 0 ? record->Page : m_panel->MemberPage(n)) {
        d.startDate = page->StartDate();
        d.targetDate = page->TargetDate();
        d.completionDate = page->CompletionDate();
        d.outDir = page->OutDir();
    }
    if (n == 0)
        d.maxId = m_nextId;
    return d;
}

void manager::writeNotes(const MemberInfo *record)
{
    if (!record->Page || !record->Page->NotesModified())
        return;
    const QString path = m_files.NotesPath(record->ID);
    const QString text = record->Page->NotesText();
    // Notes shown empty for a file that was not read are no edit of it, and notes no member's
    // program would read back are not written: they stay in the editor, still to be saved.
    if (const QString refusal = TextFiles::WriteRefusal(path, text); !refusal.isEmpty()) {
        UiReport::Fatal(tr("File error"), refusal);
    } else if (m_files.WriteNotes(record->ID, text)) {
        record->Page->ClearModified();
        return;
    } else if (const QString why = TextFiles::WriteFailure(path); !why.isEmpty()) {
        UiReport::Fatal(tr("File error"), why);
    }
    SetBoolVar(RegSlot::FlagWriteFailed, true);
}

void manager::saveGroup(QTreeWidgetItem *top)
{
    MemberInfo *group = m_table.value(0);
    // The group file is the manager's: rewritten only by its own program, or on a hand-over.
    if (!group || !(group->OtherUser == 0 || group->Transferred) || !m_files.HasMemberRoot(0))
        return;
    QList<GroupUser> users;
    for (int i = 0; i < top->childCount(); ++i) {
        const int n = top->child(i)->data(0, Qt::UserRole).toInt();
        const MemberInfo *r = m_table.value(n);
        if (!r) {
            users.append({n, QString(), QString()});
            continue;
        }
        users.append({n, r->Transferred ? r->NewName : r->Name, r->Transferred ? r->NewEmail : r->Email});
    }
    // A project picked on the tracker page but not confirmed is not the link yet: saved now, it would
    // link the workspace at the next opening.
    const auto *page = GetObj<RedmineProject>(RegSlot::ObjRedmineProject);
    const int projectId = page ? page->LinkToSave() : GetIntVar(RegSlot::IntRedmineProjectId);
    m_files.SaveGroup(saveData(group, 0), users, projectId, GetIntVar(RegSlot::IntRedmineLinkType));
    // Notes belong to the member the file names: nothing of a file the user kept unsaved.
    if (m_files.SaveMemberDoc(0))
        writeNotes(group);
}

void manager::RewriteGroupFile()
{
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    if (!top)
        return;
    saveGroup(top);
}

void manager::SaveManager()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    if (!top || !store)
        return;
    MemberInfo *group = m_table.value(0);
    if (group && group->MemberModified)
        saveGroup(top);
    for (int i = 0; i < top->childCount(); ++i) {
        const int n = top->child(i)->data(0, Qt::UserRole).toInt();
        MemberInfo *r = m_table.value(n);
        // Another member's file is theirs to write; one that failed to load stays untouched.
        if (!r || !r->MemberModified || !(r->OtherUser == 0 || r->Transferred) || !m_files.HasMemberRoot(n))
            continue;
        m_files.WriteMemberData(n, saveData(r, n));
        if (m_files.SaveMemberDoc(n))
            writeNotes(r);
    }
}

void manager::SetModify()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagMemberModified))
        return;
    SetBoolVar(RegSlot::FlagMemberModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->SetScheduleRefresh(true);
    PostBox::Post(MsgCode::SaveFlag);
}

MemberInfo *manager::SetManagerModify(int n)
{
    MemberInfo *record = m_table.value(n);
    if (record && !GetBoolVar(RegSlot::FlagBusy))
        record->MemberModified = true;
    return record;
}

MemberInfo *manager::SetInstanceModify(int n)
{
    MemberInfo *record = m_table.value(n);
    if (record && !GetBoolVar(RegSlot::FlagBusy))
        record->InstanceModified = true;
    return record;
}

QTreeWidgetItem *manager::CurrentItem() const
{
    return m_tree->currentItem();
}

QString manager::CurrentEmail() const
{
    const QTreeWidgetItem *item = m_tree->currentItem();
    return item ? item->text(1) : m_managerEmail;
}

QString manager::CurStateText(int state) const
{
    switch (state) {
    case 0:
        return tr("cur_state owner");
    case 1:
        return tr("cur_state open");
    case 2:
        return tr("cur_state not open");
    default:
        return QString();
    }
}

void manager::SetCurrentItem(QTreeWidgetItem *item)
{
    m_tree->setCurrentItem(item);
}

void manager::SelectMemberByName(const QString &name)
{
    QTreeWidgetItem *top = m_tree->topLevelItem(0);
    if (!top || m_closing)
        return;
    if (name.isEmpty()) {
        m_tree->setCurrentItem(top);
        return;
    }
    for (int i = 0; i < top->childCount(); ++i) {
        if (top->child(i)->text(0) == name) {
            m_tree->setCurrentItem(top->child(i));
            return;
        }
    }
}

void manager::SetGroupMenu(bool addVisible, bool delVisible, bool)
{
    m_addAction->setVisible(addVisible);
    m_delAction->setVisible(delVisible);
}

void manager::LayoutAdjust()
{
    int lower = 0;
    int upper = 0;
    m_splitter->getRange(1, &lower, &upper);
    const int third = static_cast<int>(upper / 3.0);
    m_splitter->setSizes({third, upper - third});
}

void manager::SetActiveEditor()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    const MemberInfo *record = item ? m_table.value(item->data(0, Qt::UserRole).toInt()) : nullptr;
    if (record && record->Editor) {
        record->Editor->SetActiveEditor();
        return;
    }
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->ReleaseEditor();
        mw->EnableEditAction(0, false);
    }
}

void manager::SetChatFont()
{
    m_chat->SetEditFont();
}

void manager::ShowChat()
{
    if (!m_chat->isVisible()) {
        m_chat->ShowChat();
        return;
    }
    if (m_chat->isMinimized())
        m_chat->showNormal();
    m_chat->activateWindow();
    m_chat->raise();
}

QString manager::LookupProcEmail(const QString &address) const
{
    for (const MemberInfo *record : m_table) {
        if (record->Email == address && !record->Deleted)
            return record->ProcEmail;
    }
    if (auto *settings = GetObj<initxml>(RegSlot::ObjSettings)) {
        const QString proc = settings->GetProcEmail(address);
        if (!proc.isEmpty())
            return proc;
    }
    return address;
}

void manager::MtreeItemChange(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (m_closing || !current)
        return;
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    if (MemberInfo *record = m_table.value(current->data(0, Qt::UserRole).toInt()); record && record->Page)
        record->Page->ShowUser();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        const bool member = current->parent() != nullptr;
        // A group whose manager is "anyone" (no address) may be taken over by any member.
        const bool change =
            !member && mw->NoMailAddress(current->text(1)) ? true : GetBoolVar(RegSlot::FlagIsManager);
        mw->KeepManagerActions(false, false, change);
        if (m_isManager)
            mw->KeepManagerActions(true, member, change);
        mw->RestoreManagerActions();
    }
    m_panel->ShowUserTab(current->parent() ? current->text(0) : QString());
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void manager::MtreeDblClicked(QTreeWidgetItem *item, int)
{
    MemberInfo *record = item ? m_table.value(item->data(0, Qt::UserRole).toInt()) : nullptr;
    if (!record)
        return;
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->SetCurrentUserItem(record->InstanceItem);
    if (auto *tabs = GetObj<Tab>(RegSlot::ObjTab))
        tabs->SelectTab(GetStrVar(RegSlot::StrTabInstance));
}

void manager::TreePopupMenu(const QPoint &pos)
{
    if (!m_isManager)
        return;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->PushManagerActions();
    m_popup->popup(m_tree->viewport()->mapToGlobal(pos));
}

void manager::ManagerColumnAdjustment()
{
    TreeColumnAdjustment(m_tree);
}
