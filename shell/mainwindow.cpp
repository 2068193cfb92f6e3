#include "shell/mainwindow.h"

#include "comm/qasmtp.h"
#include "core/defvar.h"
#include "core/platformstore.h"
#include "core/xmlclass.h"
#include "members/infowner.h"
#include "members/usertransfer.h"
#include "output/outmenudiag.h"
#include "redmine/nwredmine.h"
#include "redmine/redmine.h"
#include "shell/aboutpelmorine.h"
#include "shell/appundo.h"
#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "shell/manual.h"
#include "shell/optiondiag.h"
#include "shell/tab.h"
#include "shell/titlediag.h"
#include "ui_mainwindow.h"
#include "workspace/newdefmodel.h"
#include "workspace/newinstancediag.h"
#include "workspace/newout.h"
#include "workspace/opendefmodel.h"
#include "workspace/openinstancediag.h"
#include "workspace/openout.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_ui(new Ui::MainWindow)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());

    m_title = new TitleDiag;
    m_title->show();
    SetObj(RegSlot::ObjTitleDialog, m_title);

    SetObj(RegSlot::ObjMainHash, &m_mainHash);
    SetObj(RegSlot::ObjChildUsers, &m_childUsers);
    SetObj(RegSlot::ObjMainWindow, this);
    UiReport::Install(this);

    SetStrVar(RegSlot::StrFontName, QStringLiteral("Meiryo UI"));
    SetStrVar(RegSlot::StrFontSize, QStringLiteral("12"));
    {
        DefVar defvar;
        defvar.InitVar();
    }
    SetStrVar(RegSlot::StrAppDir, QCoreApplication::applicationDirPath());

    SetObj(RegSlot::ObjXmlStore, new xmlclass(this));
    SetBoolVar(RegSlot::FlagWriteFailed, false);

    SetObj(RegSlot::ObjManualWindow, new Manual(nullptr, Manual::ViewLater));
    SetObj(RegSlot::ObjStartPage, new Manual(nullptr, Manual::ViewLater));
    SetBoolVar(RegSlot::FlagStartPageUp, true);

    auto *timer = new CheckTimer(this);
    SetObj(RegSlot::ObjCheckTimer, timer);
    timer->PostMessage(MsgCode::PmInit);

    m_outFileState = false;
    SetObj(RegSlot::ObjNwRedmine, new NwRedmine(this));
    m_otherUpdateCount = 0;
    m_otherUpdateHeld = false;

    m_smtp = new QaSmtp(this);
    SetObj(RegSlot::ObjSmtpClient, m_smtp);
}

MainWindow::~MainWindow()
{
    UiReport::Install(nullptr);
    // The tab area's editors work on widgets that live in this window's tab widget: they go
    // first, while those widgets still exist.
    delete m_tab;
    m_tab = nullptr;
    delete m_ui;
    m_userRecords.clear();
    SetObj<MainWindow>(RegSlot::ObjMainWindow, nullptr);
    SetObj<CheckTimer>(RegSlot::ObjCheckTimer, nullptr);
}

void MainWindow::LoadUserIdentity()
{
    SetStrVar(RegSlot::StrUserName, PlatformStore::Read(QStringLiteral("name")));
    SetStrVar(RegSlot::StrUserEmail, PlatformStore::Read(QStringLiteral("addr")));
    SetStrVar(RegSlot::StrMailPassword, PlatformStore::Read(QStringLiteral("mail_pwd")));
}

// The second half of start-up, once the settings exist (code 100).
void MainWindow::FinishStartup()
{
    if (auto *title = GetObj<TitleDiag>(RegSlot::ObjTitleDialog)) {
        SetObj<TitleDiag>(RegSlot::ObjTitleDialog, nullptr);
        delete title;
    }
    m_title = nullptr;
    // The first frame shows the menus, the status bar and the start page's index; the tab area's
    // editors (hidden until a workspace opens), the dialogs, the tracker's window and the manual's
    // web views and pages are built right after it, before any input is taken.
    auto *manual = GetObj<Manual>(RegSlot::ObjManualWindow);
    auto *start = GetObj<Manual>(RegSlot::ObjStartPage);
    for (Manual *m : {manual, start}) {
        if (m)
            m->HoldPages(true);
    }
    ResetState();
    makeStatusBar();
    if (start)
        m_ui->VL->addWidget(start);
    // Without an index (missing or damaged) the trees stay empty and start-up goes on.
    if (manual) {
        manual->LoadManualIndex();
        manual->MakeManualTree(false);
    }
    if (start) {
        start->MakeManualTree(true);
        start->setVisible(true);
    }
    EnableMenus(-1, false, false, false, false, false, false);
    const bool showing = !isVisible();
    if (showing) {
        showMaximized();
        paintFirstFrame();
    }
    StartSession();
    EnableMenus(-1, false, false, false, false, false, false);
    for (Manual *m : {manual, start}) {
        if (m) {
            m->MakeView();
            m->HoldPages(false);
        }
    }
    if (showing)
        GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->StartLayoutTimer();
}

// Lets the window system expose the window (a few milliseconds; no input is taken meanwhile) and
// paints it, so that the frame is on screen while the rest of start-up is built.
void MainWindow::paintFirstFrame()
{
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
}

void MainWindow::StartSession()
{
    m_infOwner = new InfOwner;
    m_transfer = new UserTransfer;
    m_about = new AboutPelmorine;
    // Its pages register themselves for the tracker's replies and the options' save.
    m_redmine = new Redmine;
    ConnectMenus();
    m_newInstance = new NewInstanceDiag;
    m_openInstance = new OpenInstanceDiag;
    m_newModel = new NewDefModel;
    m_openModel = new OpenDefModel;
    m_newOut = new NewOut;
    m_openOut = new OpenOut;
    m_options = new OptionDiag;
    SetObj(RegSlot::ObjUndo, new AppUndo(this));
    ResetState();
    SetIntVar(RegSlot::IntDocKind, 0);
    m_outMenu = new OutMenuDiag;
    // A report during the settings' establishment may have built it already.
    if (!m_errorMsg)
        m_errorMsg = new ErrorMsg;
}
