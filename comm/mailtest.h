#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class MailTest;
}
class OptFont;
class QaSmtp;

// The SMTP test dialog: sends a test mail with the settings of the Options mail page and hands
// settings that worked back to that page.
class MailTest final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MailTest(QWidget *parent = nullptr);
    ~MailTest() override;

    void SetOwner(OptFont *page) { m_owner = page; }
    void SetServer(const QString &server);
    void SetPort(int port);
    void SetSecurity(int security);
    void SetAuth(int auth);
    void SetSender(const QString &sender);
    void SetPassword(const QString &password);
    void ClearResult();
    static QString ResultText(int result);

public slots:
    void SendProc();
    void EndProc();
    void SecChanged(int index);

private:
    Ui::MailTest *m_ui;
    OptFont *m_owner = nullptr;
    QaSmtp *m_client = nullptr;
    QString m_server;
    int m_port = 0;
    int m_security = 0;
    int m_auth = 0;
    QString m_sender;
    QString m_password;
    int m_lastResult = -1;
};
