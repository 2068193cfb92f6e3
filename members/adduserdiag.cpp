#include "members/adduserdiag.h"

#include "core/defvar.h"
#include "core/xmlclass.h"
#include "members/groupcheck.h"
#include "ui_adduserdiag.h"

AddUserDiag::AddUserDiag(QWidget *parent) : QDialog(parent), m_ui(new Ui::AddUserDiag)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->OK, &QPushButton::clicked, this, &AddUserDiag::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &AddUserDiag::CancelProc);
    connect(m_ui->TREE, &QTreeWidget::itemDoubleClicked, this, &AddUserDiag::TreeDblClicked);
}

AddUserDiag::~AddUserDiag()
{
    delete m_ui;
}

void AddUserDiag::ShowList(const QString &managerName, const QString &managerEmail)
{
    m_ui->TREE->clear();
    setWindowTitle(tr("Add User"));
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QDomDocument *settings = store ? store->GetXmlDoc(XmlIndex::Settings) : nullptr;
    const QString own = GetStrVar(RegSlot::StrUserEmail);
    for (const ChildUserRow &account : GroupCheck::Accounts(managerName, managerEmail, settings)) {
        auto *item = new QTreeWidgetItem(m_ui->TREE, {account.name, account.email});
        item->setIcon(0, SharedIcon::Get(account.email == own ? SharedIcon::User : SharedIcon::Other));
    }
    m_ui->TREE->setCurrentItem(m_ui->TREE->topLevelItem(0));
}

void AddUserDiag::OkProc()
{
    // Nothing to hand on without a chosen row; the picker stays up.
    const QTreeWidgetItem *item = m_ui->TREE->currentItem();
    if (!item)
        return;
    emit memberChosen(item->text(0), item->text(1));
    accept();
}

void AddUserDiag::CancelProc()
{
    reject();
}

void AddUserDiag::TreeDblClicked(QTreeWidgetItem *, int)
{
    // The current row counts, as for OK, not the row under the pointer.
    OkProc();
}
