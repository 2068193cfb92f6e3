#include "members/manager.h"

#include "comm/chat.h"
#include "comm/semaphorecontrol.h"
#include "core/globalmutex.h"
#include "core/safefile.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "docs/instancedocument.h"
#include "instance/deftab.h"
#include "members/mnguser.h"
#include "members/userinf.h"
#include "qa/qanda.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/tab.h"

#include <QDate>
#include <QSemaphore>
#include <QTimer>
#include <QTreeWidget>

void manager::reportSkipped(const QStringList &lines)
{
    if (!lines.isEmpty())
        UiReport::Error(tr("manager.xml"), lines.join(QLatin1Char('\n')));
}

QString manager::wrongRootLine(int index) const
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QDomDocument *doc = store ? store->GetXmlDoc(index) : nullptr;
    const QString found = doc ? doc->documentElement().tagName() : QString();
    return UiReport::LeftOutLine(m_files.ManagerPath(index - XmlIndex::Manager),
                                 UiReport::WrongRoot(found, QStringLiteral("Root_manager")));
}

void manager::takeInstanceDir()
{
    m_files.SetInstanceDir(GetStrVar(RegSlot::StrInstanceDir));
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->SetInstanceDir(m_files.InstanceDir());
    if (auto *qa = GetObj<QandA>(RegSlot::ObjQandA))
        qa->SetInstanceDir(m_files.InstanceDir());
}

void manager::readGroup()
{
    const GroupData data = m_files.ReadGroup();
    reportSkipped(data.skipped);
    if (data.hasRoot) {
        m_nextId = data.maxId;
        m_managerName = data.user;
        m_managerEmail = data.email;
        if (isOwn(data.email))
            SetBoolVar(RegSlot::FlagIsManager, true);
    }
    QStringList failed;
    QStringList leftOut;
    for (const GroupUser &u : data.users) {
        auto *record = new MemberInfo;
        record->ID = u.id;
        record->Name = record->DisplayName = u.name;
        record->Email = u.email;
        const MemberFiles::LoadResult r = m_files.OpenMemberFile(u.id);
        if (r == MemberFiles::Missing)
            m_files.CreateMemberFile(u.id, u.name, u.email, u.email);
        else if (r == MemberFiles::Failed)
            failed.append(GetStrVar(RegSlot::StrLastError));
        else if (!m_files.HasMemberRoot(u.id))
            leftOut.append(wrongRootLine(XmlIndex::Manager + u.id));
        m_addresses[u.email].append(u.id);
        {
            MutexHold hold(MutexNo::Members);
            m_table.insert(u.id, record);
        }
        m_list.append(u.id);
    }
    if (!failed.isEmpty())
        UiReport::Error(tr("File error"), failed.join(QLatin1Char('\n')));
    UiReport::LeftOut(leftOut);
    SetIntVar(RegSlot::IntRedmineProjectId, -1);
    SetBoolVar(RegSlot::FlagRedmineLink, false);
    SetIntVar(RegSlot::IntRedmineLinkType, 0);
    bool ok = false;
    const int id = data.redmineId.toInt(&ok);
    if (data.hasRedmine && ok) {
        SetIntVar(RegSlot::IntRedmineProjectId, id);
        if (id != -1) {
            SetBoolVar(RegSlot::FlagRedmineLink, true);
            SetIntVar(RegSlot::IntRedmineLinkType, data.redmineType.toInt());
        }
    }
}

bool manager::OpenManager()
{
    SetBoolVar(RegSlot::FlagIsManager, false);
    m_tree->clear();
    clearMembers();
    takeInstanceDir();
    const MemberFiles::LoadResult group = m_files.OpenMemberFile(0);
    if (group == MemberFiles::Failed) {
        // Likely caught mid-write by another member's program: replacing it would wipe the
        // team's member list. Report and open nothing.
        UiReport::Error(tr("File error"), GetStrVar(RegSlot::StrLastError));
        return false;
    }
    if (group == MemberFiles::Loaded && !m_files.HasMemberRoot(0)) {
        // Another kind of file under the group's name: an empty team opened on it would hide
        // every member, and a save would put our group over it.
        UiReport::LeftOut({wrongRootLine(XmlIndex::Manager)});
        if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
            store->CloseXmlDoc(XmlIndex::Manager);
        return false;
    }
    m_nextId = 1;
    if (group == MemberFiles::Missing) {
        m_files.CreateManagerFile(GetStrVar(RegSlot::StrUserName), GetStrVar(RegSlot::StrUserEmail),
                                  GetStrVar(RegSlot::StrInstanceName), GetStrVar(RegSlot::StrInstanceVersion),
                                  GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion),
                                  GetStrVar(RegSlot::StrMailAddress));
    } else {
        readGroup();
    }
    buildTree();
    afterLoad();
    ShowRedmineColumns(GetBoolVar(RegSlot::FlagRedmineActive) && GetBoolVar(RegSlot::FlagIsManager));
    if (QTreeWidgetItem *top = m_tree->topLevelItem(0))
        top->setExpanded(true);
    for (MemberInfo *record : qAsConst(m_table))
        m_files.RecordFileTimes(record->ID);
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (mw && mw->IsOtherUpdateHeld()) {
        mw->SetOtherUpdateVisible(false);
        mw->HoldOtherUpdate(false);
    }
    auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    if (timer) {
        timer->StatusMessage(tr("modify process end"));
        timer->StartAutoSaveTimer();
    }
    startSession(true);
    // Started later so that the chat worker's first load runs before the first tick.
    QTimer::singleShot(5000, this, [this] {
        if (m_tree->topLevelItemCount() > 0 && !m_closing)
            ChatTimerStart();
    });
    return true;
}

void manager::NewManager()
{
    m_tree->clear();
    clearMembers();
    SetBoolVar(RegSlot::FlagIsManager, true);
    takeInstanceDir();
    m_managerName = GetStrVar(RegSlot::StrUserName);
    m_managerEmail = GetStrVar(RegSlot::StrUserEmail);
    m_isManager = true;
    m_panel->SetNewModel();
    m_files.CreateManagerFile(m_managerName, m_managerEmail, GetStrVar(RegSlot::StrInstanceName),
                              GetStrVar(RegSlot::StrInstanceVersion), GetStrVar(RegSlot::StrModelName),
                              GetStrVar(RegSlot::StrModelVersion), GetStrVar(RegSlot::StrMailAddress));
    m_files.CreateKindFile(QStringLiteral("instance"), 0, true);
    m_nextId = 1;
    m_files.CreateKindFile(QStringLiteral("question"), 0);
    m_files.CreateKindFile(QStringLiteral("answer"), 0);
    m_files.CreateDocInstanceFile(m_managerName, m_managerEmail, GetStrVar(RegSlot::StrInstanceVersion));
    buildTree();
    afterLoad();
    SetModify();
    if (!GetBoolVar(RegSlot::FlagBusy)) {
        if (MemberInfo *g = m_table.value(0))
            g->MemberModified = true;
    }
    SetIntVar(RegSlot::IntRedmineProjectId, -1);
    SetIntVar(RegSlot::IntRedmineLinkType, 0);
    SetBoolVar(RegSlot::FlagRedmineLink, false);
    ShowRedmineColumns(GetBoolVar(RegSlot::FlagRedmineActive) && GetBoolVar(RegSlot::FlagIsManager));
    startSession(false);
    ChatTimerStart();
}

void manager::afterLoad()
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    if (tab) {
        tab->SetTitleFields();
        tab->LoadModelTree();
    }
    if (auto *doc = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument))
        doc->SetEditMode();
    if (tab)
        tab->LoadInstanceDocument(m_tree);
    if (QTreeWidgetItem *top = m_tree->topLevelItem(0)) {
        m_tree->setCurrentItem(top);
        top->setExpanded(true);
    }
    SetBoolVar(RegSlot::FlagQandAModified, false);
    if (tab)
        tab->SetEditFont();
    ManagerColumnAdjustment();
    SetIntVar(RegSlot::IntDocKind, GetIntVar(RegSlot::IntDocKind) == 3 ? 4 : 2);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepOutFileEnable(true);
        mw->EnableFileAction(1, false);
        mw->EnableFileAction(2, false);
        if (Tab *tabs = GetObj<Tab>(RegSlot::ObjTab)) {
            tabs->SetTabsByKind(0);
            tabs->ActivateTab(0);
        }
        mw->UpdateHistory(GetIntVar(RegSlot::IntDocKind));
        mw->EnableFileAction(7, false);
        mw->EnableFileAction(8, true);
    }
}

void manager::startSession(bool opened)
{
    WriteOpenMarker();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SetChatButtonVisible(true);
    m_chat->SetOwnerAddress();
    {
        MutexHold hold(MutexNo::Chat);
        for (int flag = RegSlot::FlagChatFirstLoad; flag <= RegSlot::FlagChatRefresh; ++flag)
            SetBoolVar(flag, false);
        // An opened workspace has chat files to read first; a new one has none yet.
        SetBoolVar(RegSlot::FlagChatFirstLoad, opened);
    }
    emit m_chatControl->do_start();
    if (opened) {
        if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem))
            wake->release();
    }
    m_chat->SetPollDate(QDate::currentDate());
    // Last: the check may only see the table once the tree is built and the file times recorded.
    StartPresence();
}

void manager::ChatTimerStart()
{
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->StartChatTimer();
}

void manager::CloseManager()
{
    WriteCloseMarker();
    m_closing = true;
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (store) {
        store->CloseXmlDoc(XmlIndex::Manager);
        for (int n : qAsConst(m_list))
            store->CloseXmlDoc(XmlIndex::Manager + n);
    }
    for (MemberInfo *record : qAsConst(m_table))
        record->InstanceItem = nullptr;
    m_tree->clear();
    clearMembers();
    m_panel->ClearModel();
    resetState();
    SetIntVar(RegSlot::IntRedmineProjectId, -1);
    SetIntVar(RegSlot::IntRedmineLinkType, 0);
    SetBoolVar(RegSlot::FlagRedmineLink, false);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SetChatButtonVisible(false);
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->StopChatTimer();
    m_chat->ResetChat();
    // The next session starts with the request hand-over free and no wake-up pending.
    if (auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem)) {
        if (request->available() == 0)
            request->release();
        while (request->available() > 1)
            request->tryAcquire();
    }
    if (auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem)) {
        while (wake->available() > 0)
            wake->tryAcquire();
    }
}

void manager::WriteOpenMarker()
{
    writeOwnMarkers(QStringLiteral("O"));
}

void manager::writeOwnMarkers(const QString &state)
{
    QStringList refused;
    for (const MemberInfo *record : qAsConst(m_table)) {
        // A marker that cannot be written is skipped; one that is a link or a pipe is another
        // member's trap, and that is said.
        if (record->OtherUser == 0 && !record->Deleted && !m_files.WriteMarker(record->ID, state) &&
            SafeFile::LastRefused())
            refused.append(SafeFile::LastError());
    }
    if (!refused.isEmpty())
        UiReport::Error(tr("File error"), refused.join(QLatin1Char('\n')));
}

void manager::WriteCloseMarker()
{
    // The worker's periodic rewrite of "O" must not land after our "C".
    StopPresence();
    writeOwnMarkers(QStringLiteral("C"));
}
