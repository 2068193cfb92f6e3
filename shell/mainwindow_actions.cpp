#include "shell/mainwindow.h"

#include "docs/instancedocument.h"
#include "docs/modeldoc.h"
#include "instance/deftab.h"
#include "members/infowner.h"
#include "members/manager.h"
#include "members/usertransfer.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "output/outmenudiag.h"
#include "qa/qanda.h"
#include "redmine/redmine.h"
#include "shell/askbox.h"
#include "shell/checktimer.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_mainwindow.h"
#include "workspace/newdefmodel.h"
#include "workspace/newinstancediag.h"
#include "workspace/newout.h"
#include "workspace/opendefmodel.h"
#include "workspace/openinstancediag.h"
#include "workspace/openout.h"

#include <QMessageBox>
#include <QPushButton>

namespace
{
// Calls one operation of the component in a registry slot, when it is there.
template <class T> void call(globalvar &reg, int slot, void (T::*fn)())
{
    if (auto *obj = reg.GetObj<T>(slot))
        (obj->*fn)();
}
} // namespace

void MainWindow::connectActions()
{
    using MW = MainWindow;
    const std::pair<QAction *, void (MW::*)()> table[] = {
        {m_ui->actionNew_Instance, &MW::MenuNewInstance},
        {m_ui->actionOpen_Instance, &MW::MenuOpenInstance},
        {m_ui->actionNew_defmodel, &MW::MenuNewDefModel},
        {m_ui->actionOpen_defmodel, &MW::MenuOpenDefModel},
        {m_ui->actionNew_defout, &MW::MenuNewDefOut},
        {m_ui->actionOpen_defout, &MW::MenuOpenDefOut},
        {m_ui->actionSave, &MW::MenuSave},
        {m_ui->actionClose, &MW::MenuClose},
        {m_ui->actionEnd, &MW::MenuEnd},
        {m_ui->actionUndo, &MW::MenuUndo},
        {m_ui->actionredo, &MW::MenuRedo},
        {m_ui->actionCopy, &MW::MenuCopy},
        {m_ui->actionCut, &MW::MenuCut},
        {m_ui->actionPaste, &MW::MenuPaste},
        {m_ui->actionSelect_ALL, &MW::MenuSelectAll},
        {m_ui->actionAdd_User, &MW::MenuAddUser},
        {m_ui->actionDel_User, &MW::MenuDelUser},
        {m_ui->actionChange_User, &MW::MenuChangeUser},
        {m_ui->actionRedmine, &MW::MenuRedmine},
        {m_ui->actionM_A_L, &MW::MenuModelAddLclass},
        {m_ui->actionM_A_S, &MW::MenuModelAddSclass},
        {m_ui->actionM_D_L, &MW::MenuModelDelLclass},
        {m_ui->actionM_D_S, &MW::MenuModelDelSclass},
        {m_ui->actionM_A_P, &MW::MenuModelAddParam},
        {m_ui->actionM_D_P, &MW::MenuModelDelParam},
        {m_ui->actionM_P_N, &MW::MenuModelModParamName},
        {m_ui->actionM_O_INF, &MW::MenuModelOwnerInfo},
        {m_ui->actionI_A_L, &MW::MenuInstanceAddLclass},
        {m_ui->actionI_A_S, &MW::MenuInstanceAddSclass},
        {m_ui->actionI_D_L, &MW::MenuInstanceDelLclass},
        {m_ui->actionI_D_S, &MW::MenuInstanceDelSclass},
        {m_ui->actionC_F, &MW::MenuOutputCreateFile},
        {m_ui->actionD_F, &MW::MenuOutputDeleteFile},
        {m_ui->actionC_Next_S, &MW::MenuOutputCreateNextSeq},
        {m_ui->actionC_Nest_S, &MW::MenuOutputCreateNestSeq},
        {m_ui->actionD_S, &MW::MenuOutputDeleteSeq},
        {m_ui->actionMoveUpSeq, &MW::MenuOutputMoveUpSeq},
        {m_ui->actionMoveDownSeq, &MW::MenuOutputMoveDownSeq},
        {m_ui->actionFileToTemp, &MW::MenuOutputFileToTemp},
        {m_ui->actionTempToFile, &MW::MenuOutputTempToFile},
        {m_ui->actionO_C, &MW::MenuOutputOutReference},
        {m_ui->actionO_F, &MW::MenuOutputOutFile},
        {m_ui->actionO_O_INF, &MW::MenuOutputOwnerInf},
        {m_ui->actionCreate_Question, &MW::MenuCreateQuestion},
        {m_ui->actionDelete_Question, &MW::MenuDeleteQuestion},
        {m_ui->actionCreate_Answer, &MW::MenuCreateAnswer},
        {m_ui->actionDelete_Answer, &MW::MenuDeleteAnswer},
        {m_ui->actionAdd_Chapter, &MW::MenuAddChapter},
        {m_ui->actionDel_Chapter, &MW::MenuDelChapter},
        {m_ui->actionSet_Chapter, &MW::MenuSetChapter},
        {m_ui->actionUnset_Chapter, &MW::MenuUnsetChapter},
        {m_ui->actionMove_Up, &MW::MenuMoveUpChapter},
        {m_ui->actionMove_Down, &MW::MenuMoveDownChapter},
        {m_ui->actionOption, &MW::MenuOption},
        {m_ui->actionAbout_marsoly, &MW::MenuAbout},
    };
    for (const auto &[action, slot] : table)
        connect(action, &QAction::triggered, this, slot);
    connect(m_ui->actionNumber, &QAction::toggled, this, &MW::MenuNumber);
}

void MainWindow::MenuNewInstance()
{
    m_newInstance->InitDisplay();
    m_newInstance->show();
}

void MainWindow::MenuOpenInstance()
{
    if (GetBoolVar(RegSlot::FlagModelModified)) {
        QMessageBox box(this);
        prepareBox(box, tr("Save Model"), tr("save model, and open instance"), QMessageBox::Information);
        QPushButton *ok = AskBox::Button(box, "OK", QMessageBox::Ok);
        QPushButton *cancel = AskBox::Button(box, "cancel", QMessageBox::Cancel);
        if (!AskBox::Confirmed(box, ok, cancel))
            return;
        // A model that could not be written stays marked, and nothing is opened over it.
        auto *mdl = GetObj<model>(RegSlot::ObjModel);
        if (!mdl || !mdl->SaveModel())
            return;
        SetBoolVar(RegSlot::FlagModelModified, false);
    }
    m_openInstance->InitDisplay();
    m_openInstance->show();
}

void MainWindow::MenuNewDefModel()
{
    if (GetBoolVar(RegSlot::FlagSaveNeeded))
        return;
    m_newModel->InitDisplay();
    m_newModel->show();
}

void MainWindow::MenuOpenDefModel()
{
    if (GetIntVar(RegSlot::IntDocKind) != 0)
        return;
    m_openModel->InitDisplay();
    m_openModel->show();
}

void MainWindow::MenuNewDefOut()
{
    if (GetIntVar(RegSlot::IntDocKind) == 3)
        return;
    m_newOut->InitDisplay();
    m_newOut->show();
}

void MainWindow::MenuOpenDefOut()
{
    m_openOut->InitDisplay();
    m_openOut->show();
}

void MainWindow::MenuUndo()
{
    call(*this, RegSlot::ObjCurrentEditor, &NumEditor::ActionUndo);
}

void MainWindow::MenuRedo()
{
    call(*this, RegSlot::ObjCurrentEditor, &NumEditor::ActionRedo);
}

void MainWindow::MenuCopy()
{
    call(*this, RegSlot::ObjCurrentEditor, &NumEditor::ActionCopy);
}

void MainWindow::MenuCut()
{
    call(*this, RegSlot::ObjCurrentEditor, &NumEditor::ActionCut);
}

void MainWindow::MenuPaste()
{
    call(*this, RegSlot::ObjCurrentEditor, &NumEditor::ActionPaste);
}

void MainWindow::MenuSelectAll()
{
    call(*this, RegSlot::ObjCurrentEditor, &NumEditor::ActionSelectAll);
}

void MainWindow::MenuNumber(bool checked)
{
    auto *editor = GetObj<NumEditor>(RegSlot::ObjCurrentEditor);
    if (!editor)
        return;
    // Both marks are taken, so neither survives into a later toggle.
    const bool mainSync = editor->TakeMainSyncMark();
    const bool actionSync = editor->TakeActionSyncMark();
    if (mainSync || actionSync)
        return;
    editor->SetMenuRequest(true);
    editor->SetNumber(checked);
}

void MainWindow::MenuAddUser()
{
    call(*this, RegSlot::ObjManager, &manager::AddGroupUser);
}

void MainWindow::MenuDelUser()
{
    call(*this, RegSlot::ObjManager, &manager::DelGroupUser);
}

void MainWindow::MenuChangeUser()
{
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    if (!mgr)
        return;
    m_transfer->SetMode(1, mgr->CurrentEmail());
    m_transfer->SetFromItem(mgr->CurrentItem());
    m_transfer->show();
}

void MainWindow::MenuRedmine()
{
    if (!m_redmine->isVisible()) {
        m_redmine->InitPages();
        m_redmine->show();
        return;
    }
    if (GetBoolVar(RegSlot::FlagMemberModified) || GetBoolVar(RegSlot::FlagInstanceModified)) {
        SaveAll();
        m_redmine->RefreshTarget();
    }
    m_redmine->activateWindow();
    m_redmine->ResetTarget();
    m_redmine->raise();
}

void MainWindow::RedmineInterface()
{
    MenuRedmine();
}

void MainWindow::OtherUpdate()
{
    // The reload drops what is in memory: unsaved work is offered for saving first, and a
    // cancelled or failed save leaves the workspace as it is.
    if (GetBoolVar(RegSlot::FlagSaveNeeded) && !AskSave())
        return;
    HoldOtherUpdate(true);
    StatusMessage(tr("under process---"));
    auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    if (timer) {
        timer->StopAutoSaveTimer();
        timer->StopFileCheckTimer();
    }
    const int kept[] = {RegSlot::StrWorkspaceDir, RegSlot::StrModelName,    RegSlot::StrModelVersion,
                        RegSlot::StrModelDir,     RegSlot::StrInstanceName, RegSlot::StrInstanceVersion,
                        RegSlot::StrInstanceDir};
    QStringList values;
    for (int slot : kept)
        values.append(GetStrVar(slot));
    CloseWorkspace();
    for (int i = 0; i < values.size(); ++i)
        SetStrVar(kept[i], values.at(i));
    // Edits declined in the save question must not be written over the reloaded files later.
    ResetState();
    SetIntVar(RegSlot::IntDocKind, 0);
    if (!timer)
        return;
    timer->StopTimers();
    timer->PostMessageOPEN_MANAGER();
    // Also when the reload could not open the member files: the button has nothing left to offer.
    SetOtherUpdateVisible(false);
    HoldOtherUpdate(false);
}

void MainWindow::MenuInstanceAddLclass()
{
    call(*this, RegSlot::ObjDeftab, &deftab::AddLclassInstance);
}

void MainWindow::MenuInstanceAddSclass()
{
    call(*this, RegSlot::ObjDeftab, &deftab::AddSclassInstance);
}

void MainWindow::MenuInstanceDelLclass()
{
    call(*this, RegSlot::ObjDeftab, &deftab::DelLclassInstance);
}

void MainWindow::MenuInstanceDelSclass()
{
    call(*this, RegSlot::ObjDeftab, &deftab::DelSclassInstance);
}

void MainWindow::MenuModelAddLclass()
{
    call(*this, RegSlot::ObjModel, &model::CreateLclassDiag);
}

void MainWindow::MenuModelAddSclass()
{
    call(*this, RegSlot::ObjModel, &model::CreateSclassDiag);
}

void MainWindow::MenuModelDelLclass()
{
    call(*this, RegSlot::ObjModel, &model::DeleteLclassDiag);
}

void MainWindow::MenuModelDelSclass()
{
    call(*this, RegSlot::ObjModel, &model::DeleteSclassDiag);
}

void MainWindow::MenuModelAddParam()
{
    call(*this, RegSlot::ObjModel, &model::CreateParamDiag);
}

void MainWindow::MenuModelDelParam()
{
    call(*this, RegSlot::ObjModel, &model::DeleteParamDiag);
}

void MainWindow::MenuModelModParamName()
{
    call(*this, RegSlot::ObjModel, &model::ModParamNameDiag);
}

void MainWindow::MenuModelOwnerInfo()
{
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    if (!mdl)
        return;
    m_infOwner->SetOwner(0, mdl->GetOwnerName(), mdl->GetOwnerEmail());
    m_infOwner->show();
}

void MainWindow::MenuOutputCreateFile()
{
    call(*this, RegSlot::ObjOutdef, &outdef::CreateFileDiag);
}

void MainWindow::MenuOutputDeleteFile()
{
    call(*this, RegSlot::ObjOutdef, &outdef::DeleteFileDiag);
}

void MainWindow::MenuOutputCreateNextSeq()
{
    call(*this, RegSlot::ObjOutdef, &outdef::CreateNextSeqDiag);
}

void MainWindow::MenuOutputCreateNestSeq()
{
    call(*this, RegSlot::ObjOutdef, &outdef::CreateNestingSeqDiag);
}

void MainWindow::MenuOutputDeleteSeq()
{
    call(*this, RegSlot::ObjOutdef, &outdef::DeleteSeqDiag);
}

void MainWindow::MenuOutputMoveUpSeq()
{
    call(*this, RegSlot::ObjOutdef, &outdef::MoveUpSeqDiag);
}

void MainWindow::MenuOutputMoveDownSeq()
{
    call(*this, RegSlot::ObjOutdef, &outdef::MoveDownSeqDiag);
}

void MainWindow::MenuOutputFileToTemp()
{
    call(*this, RegSlot::ObjOutdef, &outdef::MoveSeqTempDiag);
}

void MainWindow::MenuOutputTempToFile()
{
    call(*this, RegSlot::ObjOutdef, &outdef::MoveSeqFileDiag);
}

void MainWindow::MenuOutputOutReference()
{
    call(*this, RegSlot::ObjOutdef, &outdef::FileOutDiag);
}

void MainWindow::MenuOutputOutFile()
{
    if (GetIntVar(RegSlot::IntDocKind) == 4)
        call(*this, RegSlot::ObjOutdef, &outdef::StoreTemplate);
    const bool outputTab = m_tab && m_tab->CurrentTab() == Tab::Output;
    if (m_outMenu->InitOutMenu(outputTab))
        m_outMenu->show();
}

void MainWindow::MenuOutputOwnerInf()
{
    auto *out = GetObj<outdef>(RegSlot::ObjOutdef);
    if (!out)
        return;
    m_infOwner->SetOwner(1, out->GetOwnerName(), out->GetOwnerMail());
    m_infOwner->show();
}

void MainWindow::MenuCreateQuestion()
{
    call(*this, RegSlot::ObjQandA, &QandA::CreateQuestion);
}

void MainWindow::MenuDeleteQuestion()
{
    call(*this, RegSlot::ObjQandA, &QandA::DeleteQuestion);
}

void MainWindow::MenuCreateAnswer()
{
    call(*this, RegSlot::ObjQandA, &QandA::CreateAnswer);
}

void MainWindow::MenuDeleteAnswer()
{
    call(*this, RegSlot::ObjQandA, &QandA::DeleteAnswer);
}

// The inner document tab decides which document editor a chapter action is for.
void MainWindow::routeDocument(void (ModelDoc::*modelDocCall)(), void (InstanceDocument::*instanceDocCall)())
{
    const bool modelDoc = m_tab && m_tab->DocTabWidget() && m_tab->DocTabWidget()->currentIndex() == 0;
    if (modelDoc)
        call(*this, RegSlot::ObjModelDoc, modelDocCall);
    else
        call(*this, RegSlot::ObjInstanceDocument, instanceDocCall);
}

void MainWindow::MenuAddChapter()
{
    routeDocument(&ModelDoc::CreateChapter, &InstanceDocument::CreateChapter);
}

void MainWindow::MenuDelChapter()
{
    routeDocument(&ModelDoc::DeleteChapter, &InstanceDocument::DeleteChapter);
}

void MainWindow::MenuSetChapter()
{
    routeDocument(&ModelDoc::SetChapter, &InstanceDocument::SetChapter);
}

void MainWindow::MenuUnsetChapter()
{
    routeDocument(&ModelDoc::UnsetChapter, &InstanceDocument::UnsetChapter);
}

void MainWindow::MenuMoveUpChapter()
{
    routeDocument(&ModelDoc::MoveUpChapter, &InstanceDocument::MoveUpChapter);
}

void MainWindow::MenuMoveDownChapter()
{
    routeDocument(&ModelDoc::MoveDownChapter, &InstanceDocument::MoveDownChapter);
}
