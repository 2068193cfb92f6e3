#include "members/mnguser.h"

#include "core/xmlclass.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "shell/tab.h"
#include "ui_mnguser.h"

#include <QPlainTextEdit>
#include <QTabBar>
#include <QVBoxLayout>

namespace
{
// A shown tab widget lays all its tabs out again at each tab added or removed; hidden, it does so
// once when shown, and the thousands of tabs of a large group come and go in linear time. Nothing
// is painted in between, so the user never sees it hidden.
struct HiddenWhileChanged {
    QWidget *widget;
    bool shown;
    explicit HiddenWhileChanged(QWidget *w) : widget(w), shown(w->isVisible())
    {
        if (shown)
            widget->hide();
    }
    ~HiddenWhileChanged()
    {
        if (shown)
            widget->show();
    }
};
} // namespace

MngUser::MngUser(QWidget *parent) : QWidget(parent), m_ui(new Ui::MngUser), m_owner(new UserInf)
{
    m_ui->setupUi(this);
    while (m_ui->USERTAB->count() > 0) {
        QWidget *page = m_ui->USERTAB->widget(0);
        m_ui->USERTAB->removeTab(0);
        delete page;
    }
    m_ui->USERTAB->addTab(m_owner, tr("Owner"));
    m_ui->USERTAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->USERTAB->tabBar()->setTabTextColor(0, QColor("#FFFFFF"));
    connect(m_ui->USERTAB, &QTabWidget::currentChanged, this, &MngUser::TabChanged);
    connect(m_ui->TOINSTANCE, &QPushButton::clicked, this, &MngUser::ToInstance);
}

MngUser::~MngUser()
{
    delete m_ui;
}

// Each member's page sits in a holder, the tab's own widget. The pages of other members are built
// when their tab is first shown or their values are first asked for: a group may have thousands
// of members, and a page is the heaviest part of one.
QWidget *MngUser::appendHolder(int n, const QString &title, bool colour)
{
    auto *holder = new QWidget;
    holder->setProperty("member", n);
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    const int index = m_ui->USERTAB->addTab(holder, title);
    if (colour)
        m_ui->USERTAB->tabBar()->setTabTextColor(index, QColor("#00dd00"));
    return holder;
}

UserInf *MngUser::placePage(QWidget *holder, int n)
{
    auto *page = new UserInf;
    holder->layout()->addWidget(page);
    // Filling the fields from the file is no edit of the member.
    const bool busy = GetBoolVar(RegSlot::FlagBusy);
    SetBoolVar(RegSlot::FlagBusy, true);
    page->SetMember(n);
    page->ShowUser();
    SetBoolVar(RegSlot::FlagBusy, busy);
    return page;
}

UserInf *MngUser::pageAt(int index) const
{
    QWidget *widget = m_ui->USERTAB->widget(index);
    if (auto *page = qobject_cast<UserInf *>(widget))
        return page;
    return widget ? widget->findChild<UserInf *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

int MngUser::tabOf(int n) const
{
    for (int i = 1; i < m_ui->USERTAB->count(); ++i) {
        if (m_ui->USERTAB->widget(i)->property("member").toInt() == n)
            return i;
    }
    return -1;
}

UserInf *MngUser::MemberPage(int n)
{
    return pageOfTab(tabOf(n));
}

UserInf *MngUser::pageOfTab(int index)
{
    if (index <= 0)
        return index == 0 ? m_owner : nullptr;
    UserInf *page = pageAt(index);
    QWidget *holder = m_ui->USERTAB->widget(index);
    return page ? page : placePage(holder, holder->property("member").toInt());
}

void MngUser::SetUsers(const QList<int> &members)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *group = store ? store->GetXmlDoc(XmlIndex::Manager) : nullptr;
    if (group) {
        const QDomElement root = group->documentElement();
        m_ui->INSTANCENAME->setText(root.attribute(QStringLiteral("Name")));
        m_ui->INSTANCEVERSION->setText(root.attribute(QStringLiteral("Version")));
        const QDomElement model = root.firstChildElement(QStringLiteral("Model"));
        m_ui->MODELNAME->setText(model.attribute(QStringLiteral("Name")));
        m_ui->MODELVERSION->setText(model.attribute(QStringLiteral("Version")));
    }
    m_owner->SetMember(0);
    const HiddenWhileChanged hidden(m_ui->USERTAB);
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    for (int n : members) {
        MemberInfo *record = table ? table->value(n) : nullptr;
        if (!record)
            continue;
        QWidget *holder = appendHolder(n, record->DisplayName, false);
        // The running user's own pages are built now: their notes and dates are edited from the
        // start. Another member's record gets the values of its file all the same.
        if (record->OtherUser == 0)
            placePage(holder, n);
        else
            UserInf::ReadMember(record, store ? store->GetXmlDoc(XmlIndex::Manager + n) : nullptr);
    }
    // Coloured once all tabs are in: each colour lays the whole bar out when it is not laid out
    // yet, and colouring after each added tab made the open of many members quadratic.
    QTabBar *bar = m_ui->USERTAB->tabBar();
    for (int i = 1; i < bar->count(); ++i)
        bar->setTabTextColor(i, QColor("#00dd00"));
}

void MngUser::SetNewModel()
{
    m_ui->INSTANCENAME->setText(GetStrVar(RegSlot::StrInstanceName));
    m_ui->INSTANCEVERSION->setText(GetStrVar(RegSlot::StrInstanceVersion));
    m_ui->MODELNAME->setText(GetStrVar(RegSlot::StrModelName));
    m_ui->MODELVERSION->setText(GetStrVar(RegSlot::StrModelVersion));
    m_owner->SetOwnUser();
}

void MngUser::ClearModel()
{
    m_ui->INSTANCENAME->clear();
    m_ui->INSTANCEVERSION->clear();
    m_ui->MODELNAME->clear();
    m_ui->MODELVERSION->clear();
    m_owner->ClearPage();
}

UserInf *MngUser::AddUserTab(int n, const QString &displayName, const QString &email)
{
    QWidget *holder = appendHolder(n, displayName);
    auto *page = new UserInf;
    holder->layout()->addWidget(page);
    page->SetUser(displayName, email);
    return page;
}

void MngUser::SetTabText(int n, const QString &title)
{
    const int index = tabOf(n);
    if (index >= 0)
        m_ui->USERTAB->setTabText(index, title);
}

void MngUser::RemoveUserTab(int n)
{
    const int index = tabOf(n);
    if (index < 0)
        return;
    QWidget *holder = m_ui->USERTAB->widget(index);
    m_ui->USERTAB->removeTab(index);
    if (auto *page = holder->findChild<UserInf *>(QString(), Qt::FindDirectChildrenOnly))
        page->setParent(nullptr);
    delete holder;
}

void MngUser::RemoveUserTabs()
{
    // The owner's tab first: a member's tab made current as its neighbours go would build its page.
    m_ui->USERTAB->setCurrentIndex(0);
    const HiddenWhileChanged hidden(m_ui->USERTAB);
    for (int i = m_ui->USERTAB->count() - 1; i > 0; --i) {
        QWidget *holder = m_ui->USERTAB->widget(i);
        m_ui->USERTAB->removeTab(i);
        // The member records free their pages right after; the emptied holders go with the
        // next turn of the event loop, or with the panel.
        holder->deleteLater();
    }
}

void MngUser::ShowUserTab(const QString &title)
{
    if (title.isEmpty()) {
        m_ui->USERTAB->setCurrentIndex(0);
        return;
    }
    for (int i = 0; i < m_ui->USERTAB->count(); ++i) {
        if (m_ui->USERTAB->tabText(i) != title)
            continue;
        if (UserInf *page = pageOfTab(i))
            page->RefreshEmail();
        m_ui->USERTAB->setCurrentIndex(i);
        return;
    }
}

void MngUser::ClearMailData()
{
    for (int i = 0; i < m_ui->USERTAB->count(); ++i) {
        if (UserInf *page = pageAt(i))
            page->ClearMailData();
    }
}

int MngUser::TabCount() const
{
    return m_ui->USERTAB->count();
}

QString MngUser::TabTitle(int index) const
{
    return m_ui->USERTAB->tabText(index);
}

void MngUser::TabChanged(int index)
{
    QTabBar *bar = m_ui->USERTAB->tabBar();
    if (m_previous >= 0 && m_previous < bar->count())
        bar->setTabTextColor(m_previous, QColor("#00dd00"));
    if (index >= 0)
        bar->setTabTextColor(index, QColor("#FFFFFF"));
    if (index > 0)
        pageOfTab(index);
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    if (mgr && index >= 0) {
        mgr->SelectMemberByName(index == 0 ? QString() : bar->tabText(index));
        // Edit must act on the notes the user now sees, not on the previous member's hidden
        // ones; while another main tab is up its own editor stays current.
        if (isVisible())
            mgr->SetActiveEditor();
    }
    m_previous = index;
}

void MngUser::ToInstance()
{
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
        tab->SelectTab(GetStrVar(RegSlot::StrTabInstance));
}
