#pragma once

#include "core/globalvar.h"
#include "core/initxml.h"
#include "core/redmineuserinfo.h"
#include "core/uireport.h"

#include <QDomElement>
#include <QHash>
#include <QMainWindow>
#include <QMessageBox>

namespace Ui
{
class MainWindow;
}
class AboutPelmorine;
class ErrorMsg;
class InfOwner;
class InstanceDocument;
class ModelDoc;
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
struct MailQueueItem;
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
    void EnableModelAction(int index, bool on);
    void KeepModelActions(bool addL, bool delL, bool addS, bool delS, bool addP, bool delP);
    void RestoreModelActions();
    void PushModelActions();
    void EnableInstanceAction(int index, bool on);
    void SetInstanceActions(bool addL, bool delL, bool addS, bool delS);
    void KeepInstanceActions(bool addL, bool delL, bool addS, bool delS);
    void RestoreInstanceActions();
    void PushInstanceActions();
    void EnableManagerAction(int index, bool on);
    void KeepManagerActions(bool add, bool del, bool change);
    void RestoreManagerActions();
    void PushManagerActions();
    void EnableQandAAction(int index, bool on);
    void SetQandAActions(bool createQ, bool deleteQ, bool createA, bool deleteA);
    void KeepQandAActions(bool createQ, bool deleteQ, bool createA, bool deleteA);
    void RestoreQandAActions();
    void EnableOutMenu(int index, bool on);
    void KeepOutputActions(bool createFile, bool deleteFile, bool nextSeq, bool nestSeq, bool moveUp,
                           bool moveDown, bool fileToTemp, bool tempToFile, bool deleteSeq, bool outCheck);
    void RestoreOutputActions();
    void PushOutputActions();
    void EnableOutFile(bool on);
    void KeepOutFileEnable(bool on) { m_outFileState = on; }
    void EnableOutputOwnerInfo(bool on);
    void EnableDocumentAction(int index, bool on);
    void SetChapterActions(bool add, bool del, bool set, bool unset, bool moveUp, bool moveDown);

    // services
    void ShowErrorMsg(const QString &title, const QString &text) override;
    void SystemErrorBox(const QString &text) override;
    void FatalMessage(const QString &title, const QString &text) override;
    bool AskSaveAnyway(const QStringList &paths) override;
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
    void SetMailQueue(const QList<MailQueueItem> *queue);
    const QList<MailQueueItem> *MailQueue() const { return m_mailQueue; }
    void ShowOtherUpdate(int count);
    void HoldOtherUpdate(bool hold) { m_otherUpdateHeld = hold; }
    bool IsOtherUpdateHeld() const { return m_otherUpdateHeld; }
    int OtherUpdateCount() const { return m_otherUpdateCount; }
    void ShowModelTransfer(const QString &ownerEmail);
    void ShowOutputTransfer(const QString &ownerEmail);

    Tab *TabArea() const { return m_tab; }
    bool IsSaveEnabled() const;

public slots:
    void MenuNewInstance();
    void MenuOpenInstance();
    void MenuNewDefModel();
    void MenuOpenDefModel();
    void MenuNewDefOut();
    void MenuOpenDefOut();
    void MenuSave();
    void MenuClose();
    void MenuEnd();
    void MenuUndo();
    void MenuRedo();
    void MenuCopy();
    void MenuCut();
    void MenuPaste();
    void MenuSelectAll();
    void MenuNumber(bool checked);
    void MenuAddUser();
    void MenuDelUser();
    void MenuChangeUser();
    void MenuRedmine();
    void MenuInstanceAddLclass();
    void MenuInstanceAddSclass();
    void MenuInstanceDelLclass();
    void MenuInstanceDelSclass();
    void MenuModelAddLclass();
    void MenuModelAddSclass();
    void MenuModelDelLclass();
    void MenuModelDelSclass();
    void MenuModelAddParam();
    void MenuModelDelParam();
    void MenuModelModParamName();
    void MenuModelOwnerInfo();
    void MenuOutputCreateFile();
    void MenuOutputDeleteFile();
    void MenuOutputCreateNextSeq();
    void MenuOutputCreateNestSeq();
    void MenuOutputDeleteSeq();
    void MenuOutputMoveUpSeq();
    void MenuOutputMoveDownSeq();
    void MenuOutputFileToTemp();
    void MenuOutputTempToFile();
    void MenuOutputOutReference();
    void MenuOutputOutFile();
    void MenuOutputOwnerInf();
    void MenuCreateQuestion();
    void MenuDeleteQuestion();
    void MenuCreateAnswer();
    void MenuDeleteAnswer();
    void MenuAddChapter();
    void MenuDelChapter();
    void MenuSetChapter();
    void MenuUnsetChapter();
    void MenuMoveUpChapter();
    void MenuMoveDownChapter();
    void MenuOption();
    void MenuAbout();
    void LayoutAdjust();
    void RedmineInterface();
    // The reload after other members' changes is built with the member manager's reload.
    void OtherUpdate();
    void ChatProc();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ConnectMenus();
    void connectActions();
    void makeStatusBar();
    void paintFirstFrame();
    void routeDocument(void (ModelDoc::*modelDocCall)(), void (InstanceDocument::*instanceDocCall)());
    void endProgram();
    void deferSave();
    void saveSteps();
    // The program's message box: logo, the title also as its text, the question below it.
    void prepareBox(QMessageBox &box, const QString &title, const QString &informative,
                    QMessageBox::Icon icon) const;

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
    bool m_modelStates[7] = {};
    bool m_managerStates[3] = {};
    bool m_instanceStates[4] = {};
    bool m_qandaStates[4] = {};
    bool m_outStates[10] = {};
    ErrorMsg *m_errorMsg = nullptr;
    QHash<QString, RedmineUserInfo *> m_userRecords;
    int m_otherUpdateCount = 0;
    bool m_otherUpdateHeld = false;
    QLabel *m_statusLabel = nullptr;
    bool m_ending = false;
    bool m_saving = false;
    const QList<MailQueueItem> *m_mailQueue = nullptr;
    // What this window opened in its workspace, written whole at each history update.
    initxml::WindowHistory m_history;
};
