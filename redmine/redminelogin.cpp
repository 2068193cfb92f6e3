#include "redmine/redminelogin.h"

#include "redmine/nwredmine.h"
#include "ui_redminelogin.h"

RedmineLogin::RedmineLogin(QWidget *parent) : QDialog(parent), m_ui(new Ui::RedmineLogin)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->OK, &QPushButton::clicked, this, &RedmineLogin::SetProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &RedmineLogin::reject);
}

RedmineLogin::~RedmineLogin()
{
    delete m_ui;
}

// The login stays in the registry only: it is never written to a file.
void RedmineLogin::SetProc()
{
    if (m_ui->LOGINID->text().isEmpty()) {
        m_ui->MSG->setText(tr("Login id is empty"));
        return;
    }
    if (m_ui->PASSWORD->text().isEmpty()) {
        m_ui->MSG->setText(tr("password id is empty"));
        return;
    }
    // Refused while another request runs: the dialog stays open with what was typed, and the login
    // in use is not replaced under the running chain.
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (client && client->IsBusy()) {
        m_ui->MSG->setText(tr("Under Process"));
        return;
    }
    m_ui->MSG->clear();
    SetStrVar(RegSlot::StrRedmineLogin, m_ui->LOGINID->text());
    SetStrVar(RegSlot::StrRedminePassword, m_ui->PASSWORD->text());
    if (client)
        client->StartTest(RedmineOrigin::LoginTest);
    accept();
}
