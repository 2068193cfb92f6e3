#include "shell/mainwindow.h"

#include "shell/aboutpelmorine.h"
#include "shell/manual.h"
#include "shell/optiondiag.h"
#include "shell/tab.h"
#include "ui_mainwindow.h"

#include <QLabel>
#include <QPushButton>

void MainWindow::ConnectMenus()
{
    connectActions();

    m_tab = new Tab;
    // Above the start page, which start-up placed already.
    if (auto *tabs = GetObj<QTabWidget>(RegSlot::ObjTabWidget))
        m_ui->VL->insertWidget(0, tabs);
    m_ui->actionSave->setEnabled(false);
}

void MainWindow::makeStatusBar()
{
    m_statusLabel = new QLabel(this);
    m_statusLabel->setStyleSheet(QStringLiteral("color:white"));
    m_ui->statusBar->addWidget(m_statusLabel, 1);
    auto button = [this](const QString &text, const QString &style, bool visible) {
        auto *b = new QPushButton(text, this);
        b->setStyleSheet(style);
        b->setVisible(visible);
        m_ui->statusBar->addPermanentWidget(b);
        return b;
    };
    m_layoutButton = button(tr("Layout"), QStringLiteral("QPushButton {color: white}"), true);
    m_redmineButton =
        button(tr("Redmine interface"),
               QStringLiteral("QPushButton {background-color: '#28649d' ; color: white}"), false);
    m_otherUpdateButton =
        button(tr("modify other user"),
               QStringLiteral("QPushButton {background-color: '#f60d4d' ; color: white}"), false);
    m_chatButton =
        button(tr("chat"), QStringLiteral("QPushButton {background-color: '#82fb83' ; color: black}"), false);
    connect(m_layoutButton, &QPushButton::clicked, this, &MainWindow::LayoutAdjust);
    connect(m_redmineButton, &QPushButton::clicked, this, &MainWindow::RedmineInterface);
    connect(m_otherUpdateButton, &QPushButton::clicked, this, &MainWindow::OtherUpdate);
    connect(m_chatButton, &QPushButton::clicked, this, &MainWindow::ChatProc);
}

void MainWindow::EnableFileAction(int index, bool on)
{
    QAction *actions[] = {nullptr,
                          m_ui->actionNew_Instance,
                          m_ui->actionOpen_Instance,
                          m_ui->actionNew_defmodel,
                          m_ui->actionOpen_defmodel,
                          m_ui->actionNew_defout,
                          m_ui->actionOpen_defout,
                          m_ui->actionSave,
                          m_ui->actionClose};
    if (index < 0 || index > 8)
        return;
    // The menu is switched as a widget, so that its popup follows its menu-bar entry.
    if (index == 0) {
        if (m_ui->menuFile->isEnabled() != on)
            m_ui->menuFile->setEnabled(on);
    } else if (actions[index]->isEnabled() != on) {
        actions[index]->setEnabled(on);
    }
}

void MainWindow::SetFileActions(bool menu, bool newInst, bool openInst, bool newModel, bool openModel,
                                bool newOut, bool openOut, bool save, bool close)
{
    const bool states[] = {menu, newInst, openInst, newModel, openModel, newOut, openOut, save, close};
    for (int i = 0; i < 9; ++i)
        EnableFileAction(i, states[i]);
}

void MainWindow::EnableEditAction(int index, bool on)
{
    QAction *actions[] = {nullptr,         m_ui->actionUndo,  m_ui->actionredo,      m_ui->actionCopy,
                          m_ui->actionCut, m_ui->actionPaste, m_ui->actionSelect_ALL};
    if (index == 0)
        m_ui->menuEdit->setEnabled(on);
    else if (index >= 1 && index <= 6)
        actions[index]->setEnabled(on);
    else if (index == 7)
        m_ui->actionNumber->setChecked(on);
}

void MainWindow::ResetEditActions()
{
    m_ui->menuEdit->setEnabled(false);
    for (QAction *a : {m_ui->actionUndo, m_ui->actionCopy, m_ui->actionCut, m_ui->actionPaste})
        a->setEnabled(false);
    m_ui->actionSelect_ALL->setEnabled(true);
}

bool MainWindow::IsNumberChecked() const
{
    return m_ui->actionNumber->isChecked();
}

void MainWindow::EnableMenus(int mode, bool managerMenu, bool instanceMenu, bool modelMenu, bool outMenu,
                             bool qaMenu, bool documentMenu)
{
    m_ui->menuManager->setEnabled(managerMenu);
    m_ui->menuInstance_I->setEnabled(instanceMenu);
    m_ui->menuModel->setEnabled(modelMenu);
    m_ui->menuOut_O->setEnabled(outMenu);
    m_ui->menuQ_and_A->setEnabled(qaMenu);
    m_ui->menuDocument->setEnabled(documentMenu);
    if (mode == 1) {
        for (QAction *a : {m_ui->actionC_F, m_ui->actionD_F, m_ui->actionC_Next_S, m_ui->actionC_Nest_S,
                           m_ui->actionD_S, m_ui->actionMoveUpSeq, m_ui->actionMoveDownSeq,
                           m_ui->actionFileToTemp, m_ui->actionTempToFile, m_ui->actionO_C})
            a->setEnabled(false);
        m_ui->actionO_F->setEnabled(true);
    }
}

void MainWindow::MenuOption()
{
    if (m_options) {
        m_options->LoadOptions();
        m_options->show();
    }
}

void MainWindow::MenuAbout()
{
    if (m_about)
        m_about->show();
}

void MainWindow::LayoutAdjust()
{
    AdjustLayouts();
}

void MainWindow::AdjustLayouts()
{
    auto *start = GetObj<Manual>(RegSlot::ObjStartPage);
    if (start && start->isVisible()) {
        start->AdjustLayout();
        return;
    }
    if (m_tab)
        m_tab->AdjustCurrent();
}
