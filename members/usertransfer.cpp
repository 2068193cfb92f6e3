#include "members/usertransfer.h"

#include "core/xmlclass.h"
#include "docs/modeldoc.h"
#include "members/manager.h"
#include "members/memberfiles.h"
#include "members/ownertransfer.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "shell/askbox.h"
#include "ui_usertransfer.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>

UserTransfer::UserTransfer(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::UserTransfer), m_fromRow(new QTreeWidgetItem),
      m_transRow(new QTreeWidgetItem)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    for (QTreeWidget *tree : {m_ui->FROM_TREE, m_ui->TRANS_TREE, m_ui->GROUP_TREE}) {
        tree->header()->setStyleSheet(
            QStringLiteral("QHeaderView::section { color: #FFFFFF; background-color: #666666; }"));
        tree->headerItem()->setIcon(0, QIcon(QStringLiteral(":/src/TBL_USER.png")));
        tree->headerItem()->setIcon(1, QIcon(QStringLiteral(":/src/TBL_MAIL.png")));
    }
    m_ui->FROM_TREE->addTopLevelItem(m_fromRow);
    m_ui->TRANS_TREE->addTopLevelItem(m_transRow);
    connect(m_ui->GROUP_TREE, &QTreeWidget::currentItemChanged, this, &UserTransfer::TreeChanged);
    connect(m_ui->TRANS_BTN, &QPushButton::clicked, this, &UserTransfer::TransProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &UserTransfer::CancelProc);
}

UserTransfer::~UserTransfer()
{
    delete m_ui;
}

QString UserTransfer::Message() const
{
    return m_ui->MSG->text();
}

void UserTransfer::SetMode(int mode, const QString &email)
{
    m_ui->MSG->clear();
    m_transRow->setText(0, QString());
    m_transRow->setText(1, QString());
    m_mode = mode;
    m_ui->GROUP_TREE->clear();
    if (mode == 0)
        setWindowTitle(tr("Model Transfer"));
    else if (mode == 1)
        setWindowTitle(tr("Manager Transfer"));
    else
        setWindowTitle(tr("OUtput Transfer"));
    m_ui->FROM_NAME->setVisible(mode == 1);
    m_ui->FROM_TREE->setVisible(mode == 1);
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QDomDocument *settings = store ? store->GetXmlDoc(XmlIndex::Settings) : nullptr;
    const QList<TransferAccount> accounts =
        OwnerTransfer::Candidates(settings ? *settings : QDomDocument(), email);
    for (const TransferAccount &a : accounts)
        m_ui->GROUP_TREE->addTopLevelItem(new QTreeWidgetItem({a.name, a.email}));
}

void UserTransfer::SetFromItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    m_fromRow->setText(0, item->text(0));
    m_fromRow->setText(1, item->text(1));
}

void UserTransfer::TreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (!current)
        return;
    m_transRow->setText(0, current->text(0));
    m_transRow->setText(1, current->text(1));
}

bool UserTransfer::confirm()
{
    QMessageBox box(this);
    box.setWindowTitle(tr("Transfer"));
    box.setIcon(QMessageBox::Information);
    box.setWindowIcon(GetLogoIcon());
    box.setInformativeText(tr("Do you want to change email"));
    QPushButton *set = AskBox::Button(box, "setTransfer", tr("set transfer"), QMessageBox::AcceptRole);
    QPushButton *cancel = AskBox::Button(box, "cancel", tr("cancel"), QMessageBox::RejectRole);
    return AskBox::Confirmed(box, set, cancel);
}

void UserTransfer::TransProc()
{
    m_ui->MSG->clear();
    const QString name = m_transRow->text(0);
    const QString email = m_transRow->text(1);
    if (name.isEmpty() || email.isEmpty()) {
        m_ui->MSG->setText(tr("transfer is not selected"));
        return;
    }
    // Stored as the owner or a member, such an account would be left out by the file's reader.
    if (const QString refusal = MemberFiles::LongIdentity(name, email); !refusal.isEmpty()) {
        m_ui->MSG->setText(refusal);
        return;
    }
    if (!confirm())
        return;
    hide();
    handOver(name, email);
    accept();
}

void UserTransfer::handOver(const QString &name, const QString &email)
{
    if (m_mode == 0) {
        if (auto *doc = GetObj<ModelDoc>(RegSlot::ObjModelDoc))
            doc->TransferUser(name, email);
        if (auto *mdl = GetObj<model>(RegSlot::ObjModel))
            mdl->TransferOwner(name, email);
    } else if (m_mode == 1) {
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->ChangeMember(name, email);
    } else {
        if (auto *out = GetObj<outdef>(RegSlot::ObjOutdef))
            out->SetRootAttribute(name, email);
    }
}

void UserTransfer::CancelProc()
{
    reject();
}
