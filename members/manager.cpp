#include "members/manager.h"

#include "comm/chat.h"
#include "core/postbox.h"
#include "instance/deftab.h"

#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

manager::manager(QWidget *parent)
    : QWidget(parent), m_pageLayout(new QVBoxLayout), m_splitter(new QSplitter(this)),
      m_tree(new QTreeWidget), m_chat(std::make_unique<Chat>())
{
    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    m_pageLayout->addWidget(m_splitter);
    m_splitter->setHandleWidth(1);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(new QWidget);
    m_tree->setColumnCount(8);
    SetObj<QLayout>(RegSlot::ObjManagerLayout, m_pageLayout.data());
}

manager::~manager()
{
    if (GetObj<QLayout>(RegSlot::ObjManagerLayout) == m_pageLayout.data())
        SetObj<QLayout>(RegSlot::ObjManagerLayout, nullptr);
    if (m_pageLayout && !m_pageLayout->parent())
        delete m_pageLayout.data();
}

void manager::OpenManager()
{
    SetBoolVar(RegSlot::FlagIsManager, false);
    SetIntVar(RegSlot::IntDocKind, GetIntVar(RegSlot::IntDocKind) == 3 ? 4 : 2);
}

void manager::NewManager()
{
    m_isManager = true;
    m_managerEmail = GetStrVar(RegSlot::StrUserEmail);
    SetBoolVar(RegSlot::FlagIsManager, true);
    SetIntVar(RegSlot::IntDocKind, GetIntVar(RegSlot::IntDocKind) == 3 ? 4 : 2);
}

void manager::CloseManager()
{
    m_tree->clear();
    m_isManager = false;
    m_managerEmail.clear();
    SetIntVar(RegSlot::IntRedmineProjectId, -1);
    SetIntVar(RegSlot::IntRedmineLinkType, 0);
    SetBoolVar(RegSlot::FlagRedmineLink, false);
    m_chat->ResetChat();
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

void manager::LayoutAdjust()
{
    int lower = 0;
    int upper = 0;
    m_splitter->getRange(1, &lower, &upper);
    const int third = static_cast<int>(upper / 3.0);
    m_splitter->setSizes({third, upper - third});
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

void manager::SaveManager() {}
void manager::SetInstanceModify(int) {}
void manager::SetManagerModify(int) {}
void manager::SetGroupMenu(bool, bool, bool) {}
void manager::SetActiveEditor() {}
void manager::AddGroupUser() {}
void manager::DelGroupUser() {}
