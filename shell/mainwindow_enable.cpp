#include "shell/mainwindow.h"

#include "instance/deftab.h"
#include "members/manager.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "ui_mainwindow.h"

#include <QMenu>

namespace
{
// Index 0 is the menu itself, 1 and up its actions; out of range does nothing. The menu is
// switched as a widget: enabling only its menu-bar entry would leave the popup disabled (greyed,
// deaf to clicks) after a reset switched the widget off.
void enableAt(QMenu *menu, std::initializer_list<QAction *> actions, int index, bool on)
{
    if (index == 0)
        menu->setEnabled(on);
    else if (index > 0 && index <= static_cast<int>(actions.size()))
        actions.begin()[index - 1]->setEnabled(on);
}

template <std::size_t N> void applyStates(QAction *const (&actions)[N], const bool (&states)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        actions[i]->setEnabled(states[i]);
}
} // namespace

void MainWindow::EnableModelAction(int index, bool on)
{
    enableAt(m_ui->menuModel,
             {m_ui->actionM_A_L, m_ui->actionM_A_S, m_ui->actionM_D_L, m_ui->actionM_D_S, m_ui->actionM_A_P,
              m_ui->actionM_D_P},
             index, on);
}

void MainWindow::KeepModelActions(bool addL, bool delL, bool addS, bool delS, bool addP, bool delP)
{
    const bool states[7] = {addL, delL, addS, delS, addP, delP, delP};
    std::copy(std::begin(states), std::end(states), m_modelStates);
}

void MainWindow::RestoreModelActions()
{
    QAction *const actions[7] = {m_ui->actionM_A_L, m_ui->actionM_D_L, m_ui->actionM_A_S, m_ui->actionM_D_S,
                                 m_ui->actionM_A_P, m_ui->actionM_D_P, m_ui->actionM_P_N};
    applyStates(actions, m_modelStates);
}

void MainWindow::PushModelActions()
{
    if (auto *mdl = GetObj<model>(RegSlot::ObjModel))
        mdl->SetMenuVisible(m_modelStates[0], m_modelStates[1], m_modelStates[2], m_modelStates[3],
                            m_modelStates[4], m_modelStates[5]);
}

void MainWindow::EnableInstanceAction(int index, bool on)
{
    enableAt(m_ui->menuInstance_I,
             {m_ui->actionI_A_L, m_ui->actionI_A_S, m_ui->actionI_D_L, m_ui->actionI_D_S}, index, on);
}

void MainWindow::SetInstanceActions(bool addL, bool delL, bool addS, bool delS)
{
    QAction *const actions[4] = {m_ui->actionI_A_L, m_ui->actionI_D_L, m_ui->actionI_A_S, m_ui->actionI_D_S};
    const bool states[4] = {addL, delL, addS, delS};
    applyStates(actions, states);
}

void MainWindow::KeepInstanceActions(bool addL, bool delL, bool addS, bool delS)
{
    const bool states[4] = {addL, delL, addS, delS};
    std::copy(std::begin(states), std::end(states), m_instanceStates);
}

void MainWindow::RestoreInstanceActions()
{
    SetInstanceActions(m_instanceStates[0], m_instanceStates[1], m_instanceStates[2], m_instanceStates[3]);
}

void MainWindow::PushInstanceActions()
{
    if (auto *inst = GetObj<deftab>(RegSlot::ObjDeftab))
        inst->SetPopupMenuVisible(m_instanceStates[0], m_instanceStates[1], m_instanceStates[2],
                                  m_instanceStates[3]);
}

void MainWindow::EnableManagerAction(int index, bool on)
{
    enableAt(m_ui->menuManager, {m_ui->actionAdd_User, m_ui->actionDel_User}, index, on);
}

void MainWindow::KeepManagerActions(bool add, bool del, bool change)
{
    m_managerStates[0] = add;
    m_managerStates[1] = del;
    m_managerStates[2] = change;
}

void MainWindow::RestoreManagerActions()
{
    QAction *const actions[3] = {m_ui->actionAdd_User, m_ui->actionDel_User, m_ui->actionChange_User};
    applyStates(actions, m_managerStates);
}

void MainWindow::PushManagerActions()
{
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetGroupMenu(m_managerStates[0], m_managerStates[1], m_managerStates[2]);
}

void MainWindow::EnableQandAAction(int index, bool on)
{
    enableAt(m_ui->menuQ_and_A,
             {m_ui->actionCreate_Question, m_ui->actionDelete_Question, m_ui->actionCreate_Answer,
              m_ui->actionDelete_Answer},
             index, on);
}

void MainWindow::SetQandAActions(bool createQ, bool deleteQ, bool createA, bool deleteA)
{
    QAction *const actions[4] = {m_ui->actionCreate_Question, m_ui->actionDelete_Question,
                                 m_ui->actionCreate_Answer, m_ui->actionDelete_Answer};
    const bool states[4] = {createQ, deleteQ, createA, deleteA};
    applyStates(actions, states);
}

void MainWindow::KeepQandAActions(bool createQ, bool deleteQ, bool createA, bool deleteA)
{
    const bool states[4] = {createQ, deleteQ, createA, deleteA};
    std::copy(std::begin(states), std::end(states), m_qandaStates);
}

void MainWindow::RestoreQandAActions()
{
    SetQandAActions(m_qandaStates[0], m_qandaStates[1], m_qandaStates[2], m_qandaStates[3]);
}

void MainWindow::EnableOutMenu(int index, bool on)
{
    if (index == 0)
        m_ui->menuOut_O->setEnabled(on);
}

void MainWindow::KeepOutputActions(bool createFile, bool deleteFile, bool nextSeq, bool nestSeq, bool moveUp,
                                   bool moveDown, bool fileToTemp, bool tempToFile, bool deleteSeq,
                                   bool outCheck)
{
    const bool states[10] = {createFile, deleteFile, nextSeq,    nestSeq,   moveUp,
                             moveDown,   fileToTemp, tempToFile, deleteSeq, outCheck};
    std::copy(std::begin(states), std::end(states), m_outStates);
}

void MainWindow::RestoreOutputActions()
{
    QAction *const actions[10] = {m_ui->actionC_F,        m_ui->actionD_F,        m_ui->actionC_Next_S,
                                  m_ui->actionC_Nest_S,   m_ui->actionMoveUpSeq,  m_ui->actionMoveDownSeq,
                                  m_ui->actionFileToTemp, m_ui->actionTempToFile, m_ui->actionD_S,
                                  m_ui->actionO_C};
    applyStates(actions, m_outStates);
    m_ui->actionO_F->setEnabled(m_outFileState);
}

void MainWindow::PushOutputActions()
{
    const bool *s = m_outStates;
    if (auto *out = GetObj<outdef>(RegSlot::ObjOutdef))
        out->SetMenuVisible(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[8], s[9]);
}

void MainWindow::EnableOutFile(bool on)
{
    m_outFileState = on;
    m_ui->actionO_F->setEnabled(on);
}

void MainWindow::EnableOutputOwnerInfo(bool on)
{
    m_ui->actionO_O_INF->setEnabled(on);
}

void MainWindow::EnableDocumentAction(int index, bool on)
{
    enableAt(m_ui->menuDocument,
             {m_ui->actionAdd_Chapter, m_ui->actionDel_Chapter, m_ui->actionSet_Chapter,
              m_ui->actionUnset_Chapter},
             index, on);
}

void MainWindow::SetChapterActions(bool add, bool del, bool set, bool unset, bool moveUp, bool moveDown)
{
    QAction *const actions[6] = {m_ui->actionAdd_Chapter,   m_ui->actionDel_Chapter, m_ui->actionSet_Chapter,
                                 m_ui->actionUnset_Chapter, m_ui->actionMove_Up,     m_ui->actionMove_Down};
    const bool states[6] = {add, del, set, unset, moveUp, moveDown};
    applyStates(actions, states);
}
