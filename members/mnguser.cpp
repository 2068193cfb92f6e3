#include "members/mnguser.h"

#include "core/xmlclass.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "shell/tab.h"
#include "ui_mnguser.h"

#include <QPlainTextEdit>
#include <QTabBar>

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

void MngUser::appendPage(UserInf *page, const QString &title, bool colour)
{
    const int index = m_ui->USERTAB->addTab(page, title);
    if (colour)
        m_ui->USERTAB->tabBar()->setTabTextColor(index, QColor("#00dd00"));
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
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    for (int n : members) {
        MemberInfo *record = table ? table->value(n) : nullptr;
        if (!record)
            continue;
        // A member whose file could not be read still gets a page, read-only (SetMember decides),
        // so nothing later finds the record without one.
        auto *page = new UserInf;
        record->Page = page;
        appendPage(page, record->DisplayName, false);
        page->SetMember(n);
        page->ShowUser();
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

UserInf *MngUser::AddUserTab(const QString &displayName, const QString &email)
{
    auto *page = new UserInf;
    page->SetUser(displayName, email);
    appendPage(page, displayName);
    return page;
}

void MngUser::SetTabText(UserInf *page, const QString &title)
{
    const int index = m_ui->USERTAB->indexOf(page);
    if (index >= 0)
        m_ui->USERTAB->setTabText(index, title);
}

void MngUser::RemoveUserTab(UserInf *page)
{
    const int index = m_ui->USERTAB->indexOf(page);
    if (index > 0)
        m_ui->USERTAB->removeTab(index);
}

void MngUser::RemoveUserTabs()
{
    // A shown bar lays every tab out again at each removal: hidden, the thousands of tabs of a
    // large group go at once.
    QTabBar *bar = m_ui->USERTAB->tabBar();
    const bool shown = bar->isVisible();
    bar->setVisible(false);
    for (int i = m_ui->USERTAB->count() - 1; i > 0; --i)
        m_ui->USERTAB->removeTab(i);
    bar->setVisible(shown);
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
        if (auto *page = qobject_cast<UserInf *>(m_ui->USERTAB->widget(i)))
            page->RefreshEmail();
        m_ui->USERTAB->setCurrentIndex(i);
        return;
    }
}

void MngUser::ClearMailData()
{
    for (int i = 0; i < m_ui->USERTAB->count(); ++i) {
        if (auto *page = qobject_cast<UserInf *>(m_ui->USERTAB->widget(i)))
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
