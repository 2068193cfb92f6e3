#include "comm/mailtest.h"

MailTest::MailTest(QWidget *parent) : QDialog(parent) {}

void MailTest::ClearResult()
{
    m_testSent = false;
}

void MailTest::EndProc()
{
    accept();
}
