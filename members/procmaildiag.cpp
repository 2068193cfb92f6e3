#include "members/procmaildiag.h"

#include "core/uireport.h"
#include "members/memberfiles.h"
#include "members/userinf.h"
#include "ui_procmaildiag.h"

ProcMailDiag::ProcMailDiag(QWidget *parent) : QDialog(parent), m_ui(new Ui::ProcMailDiag)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->SET, &QPushButton::clicked, this, &ProcMailDiag::SetProc);
    connect(m_ui->CANSEL, &QPushButton::clicked, this, &ProcMailDiag::CancelProc);
}

ProcMailDiag::~ProcMailDiag()
{
    delete m_ui;
}

void ProcMailDiag::SetAddress(const QString &address)
{
    m_ui->PEMAIL->setText(address);
}

void ProcMailDiag::SetProc()
{
    // Written into the member files, such an address would keep them from opening again; the
    // dialog stays up with what was typed. Its form's title is a bare "Dialog": the box says
    // what was refused.
    if (const QString refusal = MemberFiles::LongIdentity(QString(), m_ui->PEMAIL->text());
        !refusal.isEmpty()) {
        UiReport::Error(tr("Receiving address"), refusal);
        return;
    }
    if (m_page)
        m_page->SetProcEmail(m_ui->PEMAIL->text());
    accept();
}

void ProcMailDiag::CancelProc()
{
    reject();
}
