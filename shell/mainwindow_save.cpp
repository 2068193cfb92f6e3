#include "shell/mainwindow.h"

#include "comm/membermail.h"
#include "core/saveconflict.h"
#include "docs/instancedocument.h"
#include "docs/modeldoc.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "qa/qanda.h"
#include "redmine/redmine.h"
#include "shell/askbox.h"
#include "shell/checktimer.h"
#include "shell/manual.h"
#include "shell/tab.h"
#include "ui_mainwindow.h"
#include "views/schedule.h"
#include "views/statuswidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace
{
// Runs one editor's save when its flag is set; the flag then follows the write-failed flag so that
// an editor whose file could not be written stays marked.
template <class Editor, class Fn> void saveStep(globalvar &reg, int flag, Editor *editor, Fn save)
{
    if (!reg.GetBoolVar(flag))
        return;
    if (editor)
        (editor->*save)();
    reg.SetBoolVar(flag, reg.GetBoolVar(RegSlot::FlagWriteFailed));
}
} // namespace

void MainWindow::SaveAll()
{
    if (!GetBoolVar(RegSlot::FlagSaveNeeded))
        return;
    // A code delivered inside a modal box of a running save (a "File error" box under auto-save)
    // must not start a second save inside the first: that save answers it and says how it ended.
    if (m_saving)
        return;
    // Other work holds the documents (an open, an output run), or another save's question is open
    // (the run dialog's): dropped here, the user's save used to vanish without a word, and run
    // inside that question its refusals joined it unnamed. It waits for that work to end.
    if (GetBoolVar(RegSlot::FlagBusy) || SaveConflict::InProgress()) {
        deferSave();
        return;
    }
    m_saving = true;
    StatusMessage(tr("under saving"));
    SetBoolVar(RegSlot::FlagBusy, true);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // Files another program changed are asked about once, at the end; those the user saves
    // anyway are written by a second pass, which rewrites only what is still unsaved.
    SaveConflict::Batch conflicts;
    do {
        SetBoolVar(RegSlot::FlagWriteFailed, false);
        saveSteps();
    } while (conflicts.Ask());

    auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    const bool failed = GetBoolVar(RegSlot::FlagWriteFailed);
    // Saving again changes nothing for a kept edit: the status says what stays unsaved.
    const QString result = !conflicts.KeptFiles().isEmpty()
                               ? tr("not saved: changed by another program, your edit is kept")
                           : failed ? tr("save failed, retry")
                                    : tr("save end");
    if (timer)
        timer->StatusMessage(result);
    else
        StatusMessage(result);
    if (failed) {
        SetBoolVar(RegSlot::FlagWriteFailed, false);
    } else {
        SetBoolVar(RegSlot::FlagSaveNeeded, false);
        if (m_ui->actionSave->isEnabled())
            m_ui->actionSave->setEnabled(false);
    }
    QApplication::restoreOverrideCursor();
    SetBoolVar(RegSlot::FlagBusy, false);
    m_saving = false;
}

void MainWindow::saveSteps()
{
    globalvar &reg = *this;
    saveStep(reg, RegSlot::FlagModelModified, GetObj<model>(RegSlot::ObjModel), &model::SaveModel);
    saveStep(reg, RegSlot::FlagModelDocModified, GetObj<ModelDoc>(RegSlot::ObjModelDoc), &ModelDoc::Save);
    saveStep(reg, RegSlot::FlagMemberModified, GetObj<manager>(RegSlot::ObjManager), &manager::SaveManager);
    saveStep(reg, RegSlot::FlagInstanceModified, GetObj<deftab>(RegSlot::ObjDeftab), &deftab::SaveInstance);
    auto *qa = GetObj<QandA>(RegSlot::ObjQandA);
    saveStep(reg, RegSlot::FlagQandAModified, qa, &QandA::SaveQandA);
    if (qa)
        qa->SaveRecords();
    // A mail panel writes its history at once; one it could not write is written here, or this
    // save fails too.
    for (QWidget *widget : QApplication::allWidgets()) {
        if (auto *mail = qobject_cast<MemberMail *>(widget))
            mail->SaveUnwritten();
    }
    saveStep(reg, RegSlot::FlagInstDocModified, GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument),
             &InstanceDocument::Save);
    saveStep(reg, RegSlot::FlagOutputModified, GetObj<outdef>(RegSlot::ObjOutdef), &outdef::SaveOutput);
}

void MainWindow::deferSave()
{
    auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    if (!timer) {
        StatusMessage(tr("not saved: the program is busy, save again"));
        return;
    }
    timer->DeferSave();
    StatusMessage(tr("save waits until the current work ends"));
}

// Ctrl+S typed in the same burst of input as an edit arrives before code 115 has turned Save on:
// the disabled action lets the key through to here, and the save it asks for must not be lost.
void MainWindow::keyPressEvent(QKeyEvent *event)
{
    const QKeySequence typed(int(event->modifiers()) | event->key());
    if (!m_ui->actionSave->isEnabled() && !m_ui->actionSave->shortcut().isEmpty() &&
        typed == m_ui->actionSave->shortcut()) {
        event->accept();
        MenuSave();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// False when the user cancels, and also when "save" was chosen but a file could not be written:
// closing then would lose the unsaved data.
bool MainWindow::AskSave()
{
    QMessageBox box(this);
    prepareBox(box, tr("Save Contents"), tr("Do you want to save Contens?"), QMessageBox::NoIcon);
    QPushButton *save = AskBox::Button(box, "save", tr("save"), QMessageBox::AcceptRole);
    QPushButton *discard = AskBox::Button(box, "dontSave", tr("Don't save"), QMessageBox::DestructiveRole);
    QPushButton *cancel = AskBox::Button(box, "cancel", tr("Cancel"), QMessageBox::RejectRole);
    if (AskBox::Confirmed(box, save, cancel)) {
        SaveAll();
        return !GetBoolVar(RegSlot::FlagSaveNeeded);
    }
    return box.clickedButton() == discard;
}

void MainWindow::CloseWorkspace()
{
    SetBoolVar(RegSlot::FlagBusy, true);
    SetBoolVar(RegSlot::FlagUpdating, true);
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->StopTimers();
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    auto *mdoc = GetObj<ModelDoc>(RegSlot::ObjModelDoc);
    auto closeModel = [&] {
        if (mdoc)
            mdoc->Clear();
        if (mdl)
            mdl->CloseModel();
    };
    const int kind = GetIntVar(RegSlot::IntDocKind);
    if (kind == 2 || kind == 4) {
        if (auto *s = GetObj<Schedule>(RegSlot::ObjSchedule))
            s->ClearSchedule();
        if (auto *s = GetObj<StatusWidget>(RegSlot::ObjStatusWidget))
            s->ClearStatus();
        if (auto *q = GetObj<QandA>(RegSlot::ObjQandA))
            q->Clear();
        if (auto *d = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument))
            d->Clear();
        if (auto *t = GetObj<deftab>(RegSlot::ObjDeftab))
            t->ClearTab();
        if (kind == 4) {
            if (auto *o = GetObj<outdef>(RegSlot::ObjOutdef))
                o->ClearOutput();
        }
        if (auto *m = GetObj<manager>(RegSlot::ObjManager))
            m->CloseManager();
        if (m_redmine)
            m_redmine->ResetRedmine();
        closeModel();
    } else if (kind == 3) {
        if (auto *o = GetObj<outdef>(RegSlot::ObjOutdef))
            o->ClearOutput();
        closeModel();
    } else if (kind == 1) {
        closeModel();
    }
    SetBoolVar(RegSlot::FlagUpdating, false);
    SetBoolVar(RegSlot::FlagBusy, false);
}

// Clears the questions-and-answers flag too: left set after a "Don't save" close, the next
// save-all would write a cleared panel over the real files.
void MainWindow::ResetState()
{
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->CancelDeferredSave();
    SetIntVar(RegSlot::IntDocKind, 0);
    for (int flag : {RegSlot::FlagSaveNeeded, RegSlot::FlagMemberModified, RegSlot::FlagModelModified,
                     RegSlot::FlagModelReadOnly, RegSlot::FlagModelDocModified, RegSlot::FlagInstanceModified,
                     RegSlot::FlagInstDocModified, RegSlot::FlagOutputModified, RegSlot::FlagModelCopyMode,
                     RegSlot::FlagBusy, RegSlot::FlagQandAModified})
        SetBoolVar(flag, false);
    SetFileActions(true, true, true, true, true, true, true, false, false);
    m_ui->actionEnd->setEnabled(true);
    for (QMenu *menu : {m_ui->menuEdit, m_ui->menuManager, m_ui->menuInstance_I, m_ui->menuModel,
                        m_ui->menuOut_O, m_ui->menuQ_and_A, m_ui->menuDocument})
        menu->setEnabled(false);
    m_ui->menuTool_T->setEnabled(true);
    m_ui->menuHelp->setEnabled(true);
}

void MainWindow::SaveAndCloseWorkspace()
{
    SaveAll();
    // A failed save keeps the workspace open: closing would drop what could not be written.
    if (GetBoolVar(RegSlot::FlagSaveNeeded))
        return;
    CloseWorkspace();
    ResetState();
    SetIntVar(RegSlot::IntDocKind, 0);
    if (m_tab && m_tab->IsTabAreaVisible())
        m_tab->SetTabAreaVisible(false);
    ShowStartPage();
}

void MainWindow::ShowStartPage()
{
    if (GetBoolVar(RegSlot::FlagStartPageUp))
        return;
    if (auto *tabs = GetObj<QTabWidget>(RegSlot::ObjTabWidget))
        tabs->hide();
    if (auto *start = GetObj<Manual>(RegSlot::ObjStartPage))
        start->show();
    SetBoolVar(RegSlot::FlagStartPageUp, true);
}

void MainWindow::ShowTabArea()
{
    if (!GetBoolVar(RegSlot::FlagStartPageUp))
        return;
    if (auto *start = GetObj<Manual>(RegSlot::ObjStartPage))
        start->hide();
    if (auto *tabs = GetObj<QTabWidget>(RegSlot::ObjTabWidget))
        tabs->show();
    SetBoolVar(RegSlot::FlagStartPageUp, false);
}

void MainWindow::DeleteManuals()
{
    for (int slot : {RegSlot::ObjManualWindow, RegSlot::ObjStartPage}) {
        if (auto *manual = GetObj<Manual>(slot)) {
            SetObj<Manual>(slot, nullptr);
            delete manual;
        }
    }
}

void MainWindow::MenuSave()
{
    SaveAll();
}

void MainWindow::MenuClose()
{
    QMessageBox box(this);
    prepareBox(box, tr("Close"), tr("Do you want to Close?"), QMessageBox::Information);
    QPushButton *close = AskBox::Button(box, "close", tr("close"), QMessageBox::AcceptRole);
    QPushButton *cancel = AskBox::Button(box, "cancel", tr("cancel"), QMessageBox::RejectRole);
    if (!AskBox::Confirmed(box, close, cancel))
        return;
    if (GetBoolVar(RegSlot::FlagSaveNeeded) && !AskSave())
        return;
    CloseWorkspace();
    ResetState();
    SetIntVar(RegSlot::IntDocKind, 0);
    SetOtherUpdateVisible(false);
    if (m_tab && m_tab->IsTabAreaVisible())
        m_tab->SetTabAreaVisible(false);
    ShowStartPage();
    // Only the status-bar button goes; the Manager menu's "Redmine" keeps its visibility.
    if (m_redmineButton)
        m_redmineButton->hide();
}

void MainWindow::MenuEnd()
{
    endProgram();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The window never closes by itself: the same path as "End" decides.
    event->ignore();
    endProgram();
}

void MainWindow::endProgram()
{
    if (m_ending)
        return;
    bool proceed = true;
    if (GetBoolVar(RegSlot::FlagSaveNeeded))
        proceed = AskSave();
    SetOtherUpdateVisible(false);
    if (!proceed)
        return;
    m_ending = true;
    CloseWorkspace();
    DeleteManuals();
    if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
        timer->StopTimers();
    QCoreApplication::exit(0);
}
