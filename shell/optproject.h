#pragma once

#include "core/globalvar.h"
#include "core/settingsfile.h"

#include <QWidget>

namespace Ui
{
class OptProject;
}
class OptionDiag;
class RedmineLogin;

// The "project Manager" page of the Options dialog: the issue tracker's address, authentication
// and the user's tracker identity. Unlike the other pages it writes each change into the registry
// at once and remembers what it loaded, so that a rejected dialog can put it back.
class OptProject final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OptProject(QWidget *parent = nullptr);
    ~OptProject() override;

    void SetOwner(OptionDiag *owner) { m_owner = owner; }
    void ClearFields();
    void LoadSettings();
    QString GetUserField(int field) const;
    // Takes the page's values as saved (a later rejection keeps them) and gives what the page
    // changed since it was loaded as a change of the settings document, for the dialog's one write.
    SettingsFile::Change TrackerChange();
    void RestoreSettings();

    void ShowMessage(const QString &text);
    void ShowErrorText(const QString &text);
    void ShowReplyError(int mode, int error);
    void SetRedmineUser(const QString &firstName, const QString &lastName, const QString &id);
    QString MessageText() const;
    bool MessageIsError() const { return m_error; }
    RedmineLogin *LoginDialog() const { return m_login; }

public slots:
    void NoPrj();
    void Redmine();
    void UriChanged(const QString &text);
    void FnameChanged(const QString &text);
    void LnameChanged(const QString &text);
    void IdChanged(int id);
    void ApiChanged(const QString &text);
    void MaxChanged(int max);
    void ApiAuthChanged();
    void BasicAuthChanged();
    void HomeCheck();
    void UserProc();
    void LoginProc();

private:
    void showText(const QString &text, bool error);
    void setAuthWidgets(bool apiKey);

    struct Remembered {
        bool active = false;
        QString url;
        QString firstName;
        QString lastName;
        QString redmineId;
        QString key;
        int max = 65535;
        bool apiKey = false;
    };

    Ui::OptProject *m_ui;
    OptionDiag *m_owner = nullptr;
    RedmineLogin *m_login;
    bool m_guard = false;
    bool m_error = false;
    Remembered m_saved;
};
