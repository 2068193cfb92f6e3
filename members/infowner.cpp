#include "members/infowner.h"

#include "members/ownertransfer.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "shell/mainwindow.h"
#include "ui_infowner.h"

#include <QHeaderView>

InfOwner::InfOwner(QWidget *parent) : QDialog(parent), m_ui(new Ui::InfOwner), m_row(new QTreeWidgetItem)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->OWNER_TREE->header()->setStyleSheet(
        QStringLiteral("QHeaderView::section { color: #FFFFFF; background-color: #666666; }"));
    m_ui->OWNER_TREE->headerItem()->setIcon(0, QIcon(QStringLiteral(":/src/TBL_USER.png")));
    m_ui->OWNER_TREE->headerItem()->setIcon(1, QIcon(QStringLiteral(":/src/TBL_MAIL.png")));
    m_ui->OWNER_TREE->addTopLevelItem(m_row);
    connect(m_ui->TRANSFER, &QPushButton::clicked, this, &InfOwner::TransferProc);
    connect(m_ui->CLOSE, &QPushButton::clicked, this, &InfOwner::CancelProc);
}

InfOwner::~InfOwner()
{
    delete m_ui;
}

void InfOwner::SetOwner(int kind, const QString &name, const QString &email)
{
    m_kind = kind;
    m_email = email;
    m_row->setText(0, name);
    m_row->setText(1, email);
    bool enabled = false;
    const int docKind = GetIntVar(RegSlot::IntDocKind);
    if (kind == 0) {
        setWindowTitle(tr("Model Owner Info"));
        const auto *mdl = GetObj<model>(RegSlot::ObjModel);
        enabled = OwnerTransfer::CanTransfer(0, GetBoolVar(RegSlot::FlagModelOwned), email,
                                             !mdl || mdl->IsNewModel(), docKind);
    } else if (kind == 1) {
        setWindowTitle(tr("Output Owner Info"));
        const auto *out = GetObj<outdef>(RegSlot::ObjOutdef);
        enabled = OwnerTransfer::CanTransfer(1, GetBoolVar(RegSlot::FlagOutputOwned), email,
                                             !out || out->IsNewOutput(), docKind);
    }
    m_ui->TRANSFER->setEnabled(enabled);
}

bool InfOwner::IsTransferEnabled() const
{
    return m_ui->TRANSFER->isEnabled();
}

void InfOwner::TransferProc()
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        if (m_kind == 0)
            mw->ShowModelTransfer(m_email);
        else if (m_kind == 1)
            mw->ShowOutputTransfer(m_email);
    }
    accept();
}

void InfOwner::CancelProc()
{
    reject();
}
