#pragma once

#include "core/globalvar.h"
#include "core/redmineuserinfo.h"
#include "core/uireport.h"

#include <QDomElement>
#include <QHash>
#include <QMainWindow>

namespace Ui
{
class MainWindow;
}
class AboutPelmorine;
class ErrorMsg;
class InfOwner;
class NewDefModel;
class NewInstanceDiag;
class NewOut;
class OpenDefModel;
class OpenInstanceDiag;
class OpenOut;
class OptionDiag;
class OutMenuDiag;
class QLabel;
class QPushButton;
class QaSmtp;
class Redmine;
class Tab;
class TitleDiag;
class UserTransfer;
class TreeItemData;

// The main window: menus and their dispatch to the owning components, save-all and closing, and
// the services (message boxes, status line, text files, history) every component reaches it for.
class MainWindow final : public QMainWindow, public UiReport, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // start-up
    void LoadUserIdentity();
    void StartSession();
    void FinishStartup();

    // save, close, exit
    void SaveAll();
    bool AskSave();
    void CloseWorkspace();
    void ResetState();
    void SaveAndCloseWorkspace();
    void ShowStartPage();
    void ShowTabArea();
    void DeleteManuals();

    // enabling
    void EnableFileAction(int index, bool on);
    void SetFileActions(bool menu, bool newInst, bool openInst, bool newModel, bool openModel, bool newOut,
                        bool openOut, bool save, bool close);
    void EnableEditAction(int index, bool on);
    void ResetEditActions();
    bool IsNumberChecked() const;
    void EnableMenus(int mode, bool managerMenu, bool instanceMenu, bool modelMenu, bool outMenu, bool qaMenu,
                     bool documentMenu);
    void SetRedmineVisible(bool visible);
    void AdjustLayouts();

    // services
    void ShowErrorMsg(const QString &title, const QString &text) override;
    void SystemErrorBox(const QString &text) override;
    void FatalMessage(const QString &title, const QString &text) override;
    void StatusMessage(const QString &text);
    QString StatusText() const;
    void WaitCursor();
    void RestoreCursor();
    void SetUserRecord(const QString &key, RedmineUserInfo *record);
    RedmineUserInfo *FindUserRecord(const QString &key) const { return m_userRecords.value(key); }
    void ReleaseEditor();
    void SetChatButtonVisible(bool visible);
    void SetOtherUpdateVisible(bool visible);
    bool IsOtherUpdateVisible() const;

    bool WriteTextFile(TreeItemData *record, const QString &path);
    QString ReadTextFile(const QString &path);
    int CheckFileRemoved(const QString &folder, const QString &name);
    int WaitFileStable(const QString &path);
    void CopyReferenceFile(const QString &source, const QString &folder);
    void CopyFile(const QString &source, const QString &target);
    QString FileNameOfPath(const QString &path) const;
    QString TruncateUtf8(const QString &text) const;
    bool NoMailAddress(const QString &text) const { return !text.contains(QLatin1Char('@')); }
    void UpdateHistory(int kind);
    void SetMailQueue(void *queue) { m_mailQueue = queue; }
    void *MailQueue() const { return m_mailQueue; }
    void ShowOtherUpdate(int count);
    void HoldOtherUpdate(bool hold) { m_otherUpdateHeld = hold; }
    bool IsOtherUpdateHeld() const { return m_otherUpdateHeld; }
    int OtherUpdateCount() const { return m_otherUpdateCount; }
    void ShowModelTransfer(const QString &ownerEmail);
    void ShowOutputTransfer(const QString &ownerEmail);

    Tab *TabArea() const { return m_tab; }
    bool IsSaveEnabled() const;

public slots:
    void MenuSave();
    void MenuClose();
    void MenuEnd();
    void MenuOption();
    void MenuAbout();
    void LayoutAdjust();
    void ChatProc();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void ConnectMenus();
    void makeStatusBar();
    void endProgram();
    bool setNameVersion(QDomElement element, const QString &name, const QString &version);
    bool updateHistoryEntry(QDomElement history, const QString &tag, const QString &name,
                            const QString &version);

    Ui::MainWindow *m_ui;
    TitleDiag *m_title = nullptr;
    Tab *m_tab = nullptr;
    OutMenuDiag *m_outMenu = nullptr;
    OpenInstanceDiag *m_openInstance = nullptr;
    NewDefModel *m_newModel = nullptr;
    OpenDefModel *m_openModel = nullptr;
    NewInstanceDiag *m_newInstance = nullptr;
    NewOut *m_newOut = nullptr;
    OpenOut *m_openOut = nullptr;
    InfOwner *m_infOwner = nullptr;
    UserTransfer *m_transfer = nullptr;
    Redmine *m_redmine = nullptr;
    QPushButton *m_layoutButton = nullptr;
    QPushButton *m_redmineButton = nullptr;
    QPushButton *m_otherUpdateButton = nullptr;
    QPushButton *m_chatButton = nullptr;
    QaSmtp *m_smtp = nullptr;
    QHash<QString, QString> m_mainHash;
    QHash<QString, QString> m_childUsers;
    OptionDiag *m_options = nullptr;
    AboutPelmorine *m_about = nullptr;
    bool m_outFileState = false;
    ErrorMsg *m_errorMsg = nullptr;
    QHash<QString, RedmineUserInfo *> m_userRecords;
    int m_otherUpdateCount = 0;
    bool m_otherUpdateHeld = false;
    QLabel *m_statusLabel = nullptr;
    bool m_ending = false;
    void *m_mailQueue = nullptr;
};
