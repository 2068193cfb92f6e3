#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class OptFont;
}
class EditFont;
class MailTest;

// The "Font" page of the Options dialog: editor font, auto-save interval and the mail server.
// It stores nothing itself; the Options dialog fills it on opening and reads it on OK.
class OptFont final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OptFont(QWidget *parent = nullptr);
    ~OptFont() override;

    QString GetFontName() const;
    int GetFontSize() const;
    int GetAutoSave() const;
    QString GetServer() const;
    QString GetPort() const;
    int GetSecurity() const;
    int GetAuth() const;
    QString GetAddress() const;
    QString GetPassword() const;
    QString GetSend() const;
    QString GetConnect() const;

    void SetFontName(const QString &name);
    void SetFontSize(int size);
    void SetAutoSave(int minutes);
    void SetServer(const QString &server);
    void SetPort(int port);
    void SetSecurity(int index);
    void SetAuth(int index);
    void SetAddress(const QString &address);
    void SetPassword(const QString &password);
    void SetSend(const QString &send);
    void SetConnect(const QString &connect);

    void ShowDefaultPort(int security);
    void ResetConnect();
    EditFont *FontDialog() const { return m_editFont; }
    MailTest *TestDialog() const { return m_mailTest; }

public slots:
    void ChangeProc();
    void TestProc();
    void SecChanged(int index);

private:
    Ui::OptFont *m_ui;
    EditFont *m_editFont;
    MailTest *m_mailTest;
    bool m_connected = false;
    bool m_send = false;
};
