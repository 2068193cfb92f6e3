#include "comm/mailtest.h"

#include "shell/optfont.h"

MailTest::MailTest(QWidget *parent) : QDialog(parent) {}

void MailTest::ClearResult()
{
    m_testSent = false;
}

// Settings go back to the page only when a test mail went out with them.
void MailTest::EndProc()
{
    if (m_testSent && m_owner) {
        SetBoolVar(RegSlot::FlagUpdating, true);
        m_owner->SetServer(m_server);
        m_owner->SetPort(m_port);
        m_owner->SetSecurity(m_security);
        m_owner->SetAuth(m_auth);
        m_owner->SetAddress(m_sender);
        m_owner->SetPassword(m_password);
        m_owner->SetConnect(QStringLiteral("1"));
        SetBoolVar(RegSlot::FlagUpdating, false);
    }
    accept();
}
