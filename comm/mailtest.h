#pragma once

#include "core/globalvar.h"

#include <QDialog>

class OptFont;

// The SMTP test dialog: sends a test mail with the settings of the Options mail page and hands
// settings that worked back to that page.
class MailTest final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MailTest(QWidget *parent = nullptr);

    void SetOwner(OptFont *page) { m_owner = page; }
    void SetServer(const QString &server) { m_server = server; }
    void SetPort(int port) { m_port = port; }
    void SetSecurity(int security) { m_security = security; }
    void SetAuth(int auth) { m_auth = auth; }
    void SetSender(const QString &sender) { m_sender = sender; }
    void SetPassword(const QString &password) { m_password = password; }
    void ClearResult();

public slots:
    void EndProc();

private:
    OptFont *m_owner = nullptr;
    QString m_server;
    int m_port = 0;
    int m_security = 0;
    int m_auth = 0;
    QString m_sender;
    QString m_password;
    bool m_testSent = false;
};
