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
    // How long each server reply may take (tests shorten it).
    void SetReplyTimeout(int ms) { m_replyTimeoutMs = ms; }
    bool IsRunning() const { return m_running; }

public slots:
    void SendProc();
    void EndProc();
    void SecChanged(int index);
    void reject() override;

private:
    Ui::MailTest *m_ui;
    OptFont *m_owner = nullptr;
    bool m_running = false;
    QString m_server;
    int m_port = 0;
    int m_security = 0;
    int m_auth = 0;
    QString m_sender;
    QString m_password;
    int m_lastResult = -1;
    int m_replyTimeoutMs;
};
