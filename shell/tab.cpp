#include "shell/tab.h"

#include "docs/instancedocument.h"
#include "docs/modeldoc.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "qa/qanda.h"
#include "shell/mainwindow.h"
#include "shell/manual.h"
#include "shell/tabcorner.h"
#include "ui_tab.h"
#include "views/schedule.h"
#include "views/statuswidget.h"

#include <QLayout>
#include <QTabBar>

namespace
{
const QColor kUsable(QStringLiteral("#00dd00"));
const QColor kCurrent(Qt::white);
const QColor kUnusable(Qt::gray);
enum LayoutMark {
    LmManagement,
    LmInstance,
    LmModel,
    LmOutput,
    LmState,
    LmQandA,
    LmSchedule,
    LmModelDoc,
    LmInstanceDoc,
    LmManual
};
} // namespace

Tab::Tab(QWidget *parent) : QWidget(parent), m_ui(new Ui::Tab)
{
    m_ui->setupUi(this);
    QTabWidget *tabs = m_ui->tabWidget;
    tabs->setCornerWidget(new tabcorner(tabs), Qt::TopRightCorner);
    m_mainBar = tabs->tabBar();
    m_mainBar->setUsesScrollButtons(true);
    m_mainBar->setExpanding(false);

    SetObj(RegSlot::ObjTabWidget, tabs);
    SetObj(RegSlot::ObjTab, this);
    SetObj(RegSlot::ObjManagementPage, m_ui->MANAGEMENT);

    m_manager = new manager;
    SetObj(RegSlot::ObjManager, m_manager);
    if (auto *layout = GetObj<QLayout>(RegSlot::ObjManagerLayout))
        m_ui->MANAGEMENT->setLayout(layout);
    SetObj(RegSlot::ObjInstancePage, m_ui->INSTANCE);
    m_deftab = new deftab;
    SetObj(RegSlot::ObjDeftab, m_deftab);
    if (auto *layout = GetObj<QLayout>(RegSlot::ObjInstanceLayout))
        m_ui->INSTANCE->setLayout(layout);

    tabs->addTab(new model, GetStrVar(RegSlot::StrTabModel));
    tabs->addTab(new outdef, GetStrVar(RegSlot::StrTabOutput));
    auto *state = new StatusWidget;
    SetObj(RegSlot::ObjStatusWidget, state);
    tabs->addTab(state, GetStrVar(RegSlot::StrTabState));
    // The diagram and its tree keep pointers to instance rows; a deleted row must not outlive them.
    // Showing the page rebuilds both from the instance tab.
    connect(m_deftab, &deftab::RowDeleting, state, [state] { state->ClearStatus(); });
    auto *schedule = new ::Schedule;
    SetObj(RegSlot::ObjSchedule, schedule);
    tabs->addTab(schedule, GetStrVar(RegSlot::StrTabSchedule));
    auto *qa = new ::QandA;
    SetObj(RegSlot::ObjQandA, qa);
    tabs->addTab(qa, GetStrVar(RegSlot::StrTabQandA));

    m_docTabs = new QTabWidget;
    m_modelDoc = new ModelDoc;
    m_instanceDoc = new InstanceDocument;
    m_docTabs->addTab(m_modelDoc, tr("Model Document"));
    m_docTabs->addTab(m_instanceDoc, tr("Instance Document"));
    tabs->addTab(m_docTabs, GetStrVar(RegSlot::StrTabDocument));
    if (auto *manual = GetObj<::Manual>(RegSlot::ObjManualWindow))
        tabs->addTab(manual, GetStrVar(RegSlot::StrTabManual));

    m_docBar = m_docTabs->tabBar();
    const QString barStyle = QStringLiteral("background-color: #666666");
    m_mainBar->setStyleSheet(barStyle);
    m_docBar->setStyleSheet(barStyle);
    colourTab(m_mainBar, Manual, kUsable);
    colourTab(m_docBar, 0, kCurrent);
    colourTab(m_docBar, 1, kUnusable);
    connect(tabs, &QTabWidget::currentChanged, this, &Tab::TabChanged);
    connect(m_docTabs, &QTabWidget::currentChanged, this, &Tab::DocTabChanged);
    m_current = -1;
    m_currentDoc = 0;
    tabs->hide();

    m_changing = true;
    SetIntVar(RegSlot::IntDocKind, 0);
    const bool none[8] = {};
    SetTabStates(-1, none);
    m_changing = false;
    std::fill(std::begin(m_layoutMarks), std::end(m_layoutMarks), true);
    m_modelDocFirst = m_instanceDocFirst = true;
}

Tab::~Tab()
{
    if (GetObj<manager>(RegSlot::ObjManager) == m_manager)
        SetObj<manager>(RegSlot::ObjManager, nullptr);
    if (GetObj<deftab>(RegSlot::ObjDeftab) == m_deftab)
        SetObj<deftab>(RegSlot::ObjDeftab, nullptr);
    delete m_manager;
    delete m_deftab;
    if (GetObj<Tab>(RegSlot::ObjTab) == this)
        SetObj<Tab>(RegSlot::ObjTab, nullptr);
    delete m_ui;
}

QTabWidget *Tab::MainTabs() const
{
    return m_ui->tabWidget;
}

void Tab::colourTab(QTabBar *bar, int index, const QColor &colour)
{
    if (index >= 0 && index < bar->count())
        bar->setTabTextColor(index, colour);
}

void Tab::SetTabsByKind(int current)
{
    static const bool kinds[5][8] = {{false, false, false, false, false, false, false, false},
                                     {false, false, true, false, false, false, false, true},
                                     {true, true, true, false, true, true, true, true},
                                     {false, false, true, true, false, false, false, true},
                                     {true, true, true, true, true, true, true, true}};
    const int kind = GetIntVar(RegSlot::IntDocKind);
    if (kind < 0 || kind > 4)
        return;
    m_changing = true;
    SetTabStates(current, kinds[kind]);
    m_changing = false;
}

void Tab::SetTabStates(int current, const bool enabled[8])
{
    QTabWidget *tabs = m_ui->tabWidget;
    if (current != -1) {
        for (int i = 0; i < 8; ++i)
            tabs->setTabEnabled(i, true);
        colourTab(m_mainBar, current, kCurrent);
        tabs->setCurrentIndex(current);
        m_current = current;
    }
    for (int i = 0; i < 8; ++i) {
        if (!enabled[i])
            colourTab(m_mainBar, i, kUnusable);
        else if (i != current)
            colourTab(m_mainBar, i, kUsable);
        tabs->setTabEnabled(i, enabled[i]);
    }
}

void Tab::SelectTab(const QString &label)
{
    QTabWidget *tabs = m_ui->tabWidget;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == label) {
            tabs->setCurrentIndex(i);
            return;
        }
    }
}

void Tab::EmitCurrentChanged(int index)
{
    emit m_ui->tabWidget->currentChanged(index);
}

bool Tab::IsTabAreaVisible() const
{
    return m_ui->tabWidget->isVisible();
}

void Tab::SetTabAreaVisible(bool visible)
{
    m_ui->tabWidget->setVisible(visible);
}

void Tab::TabChanged(int index)
{
    if (m_changing)
        return;
    if (m_current != -1)
        colourTab(m_mainBar, m_current, kUsable);
    colourTab(m_mainBar, index, kCurrent);
    ActivateTab(index);
    m_current = index;
}

void Tab::firstLayout(int mark, int index)
{
    if (!m_layoutMarks[mark])
        return;
    m_layoutMarks[mark] = false;
    const int saved = m_current;
    m_current = index;
    AdjustCurrent();
    m_current = saved;
}

void Tab::ActivateTab(int index)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    auto *inst = GetObj<deftab>(RegSlot::ObjDeftab);
    auto releaseEditor = [mw] {
        if (mw) {
            mw->ReleaseEditor();
            mw->EnableEditAction(0, false);
        }
    };
    auto menus = [mw](int mode, bool m0, bool m1, bool m2, bool m3, bool m4, bool m5) {
        if (mw)
            mw->EnableMenus(mode, m0, m1, m2, m3, m4, m5);
    };
    if (m_current == State) {
        if (auto *state = GetObj<StatusWidget>(RegSlot::ObjStatusWidget))
            state->UpdateGraph();
        releaseEditor();
    }
    switch (index) {
    case Management:
        menus(0, true, false, false, false, false, false);
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->SetActiveEditor();
        firstLayout(LmManagement, index);
        break;
    case Instance:
        menus(1, false, true, false, true, false, false);
        if (mw)
            mw->EnableOutputOwnerInfo(false);
        if (inst) {
            inst->SetActiveEditor();
            inst->SelectFirstUser();
        }
        firstLayout(LmInstance, index);
        break;
    case Model:
        menus(2, false, false, GetIntVar(RegSlot::IntDocKind) == 1, false, false, false);
        if (auto *mdl = GetObj<model>(RegSlot::ObjModel))
            mdl->ShowCurrent();
        firstLayout(LmModel, index);
        break;
    case Output:
        menus(3, false, false, false, true, false, false);
        if (mw) {
            mw->RestoreOutputActions();
            mw->EnableOutputOwnerInfo(true);
        }
        if (auto *out = GetObj<outdef>(RegSlot::ObjOutdef))
            out->SetFocusEditor();
        firstLayout(LmOutput, index);
        break;
    case State:
        SetBoolVar(RegSlot::FlagBusy, true);
        if (inst) {
            inst->CommitValueTable();
            inst->SyncStatusWidget();
        }
        menus(4, false, false, false, false, false, false);
        SetBoolVar(RegSlot::FlagBusy, false);
        releaseEditor();
        firstLayout(LmState, index);
        break;
    case Schedule:
        // The tree first: building other members' rows for it asks for a refresh.
        if (auto *s = GetObj<::Schedule>(RegSlot::ObjSchedule); s && inst) {
            QTreeWidget *users = inst->GetUserTree();
            s->MakeSchedule(users, inst->GetScheduleRefresh());
        }
        menus(5, false, false, false, false, false, false);
        releaseEditor();
        firstLayout(LmSchedule, index);
        break;
    case QandA: {
        auto *qa = GetObj<::QandA>(RegSlot::ObjQandA);
        if (qa && inst) {
            QTreeWidget *users = inst->GetUserTree();
            qa->ShowQandA(users, inst->GetQandARefresh());
        }
        menus(6, false, false, false, false, true, false);
        if (qa)
            qa->SetActiveEditor();
        firstLayout(LmQandA, index);
        break;
    }
    case Document:
        menus(7, false, false, false, false, false, true);
        activateDocument();
        break;
    case Manual:
        menus(8, false, false, false, false, false, false);
        releaseEditor();
        firstLayout(LmManual, index);
        break;
    default:
        break;
    }
}

void Tab::activateDocument()
{
    const int kind = GetIntVar(RegSlot::IntDocKind);
    auto *inst = GetObj<deftab>(RegSlot::ObjDeftab);
    if (kind == 1 || kind == 3) {
        if (auto *mdl = GetObj<model>(RegSlot::ObjModel))
            m_modelDoc->RebuildClassTree(mdl->GetTree(), mdl->IsModified());
        if (m_modelDocFirst) {
            m_modelDocFirst = false;
            m_modelDoc->SelectFirstChapter();
        }
        // Every time: an instance opened earlier in this run left its page usable and current.
        m_docTabs->setTabEnabled(1, false);
        m_docTabs->setCurrentIndex(0);
    } else {
        m_instanceDoc->RefreshClassItem();
        if (inst) {
            inst->SyncInstanceDocument();
            QTreeWidget *users = inst->GetUserTree();
            m_instanceDoc->RebuildClassTree(users, inst->GetDocumentRefresh());
        }
        // A model opened since the last instance disabled the page; within one instance the
        // user's choice of page stays.
        if (m_instanceDocFirst || !m_docTabs->isTabEnabled(1)) {
            m_instanceDocFirst = false;
            m_docTabs->setTabEnabled(1, true);
            m_docTabs->setCurrentIndex(1);
        }
    }
    if (m_docTabs->currentIndex() == 1) {
        m_instanceDoc->ActivateEditor();
        m_instanceDoc->RefreshChapterMenu();
        m_instanceDoc->UpdateEditorState();
        firstLayout(LmInstanceDoc, Document);
    } else {
        m_modelDoc->RefreshClassItem();
        m_modelDoc->ActivateEditor();
        m_modelDoc->RefreshChapterMenu();
        m_modelDoc->UpdateEditorState();
        firstLayout(LmModelDoc, Document);
    }
}

void Tab::DocTabChanged(int index)
{
    colourTab(m_docBar, m_currentDoc, kUsable);
    colourTab(m_docBar, index, kCurrent);
    m_currentDoc = index;
    if (index == 0) {
        m_modelDoc->SetEditMode();
        const int kind = GetIntVar(RegSlot::IntDocKind);
        if (kind == 2 || kind == 4)
            m_modelDoc->DisableChapterMenu();
        m_modelDoc->ActivateEditor();
        m_modelDoc->RefreshChapterMenu();
        m_modelDoc->UpdateEditorState();
    } else {
        m_instanceDoc->ActivateEditor();
        m_instanceDoc->RefreshChapterMenu();
        m_instanceDoc->UpdateEditorState();
    }
}

void Tab::AdjustCurrent()
{
    switch (m_current) {
    case Management:
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->LayoutAdjust();
        break;
    case Instance:
        if (auto *inst = GetObj<deftab>(RegSlot::ObjDeftab))
            inst->AdjustLayout();
        break;
    case Model:
        if (auto *mdl = GetObj<model>(RegSlot::ObjModel))
            mdl->AdjustLayout();
        break;
    case Output:
        if (auto *out = GetObj<outdef>(RegSlot::ObjOutdef))
            out->AdjustSplitter();
        break;
    case State:
        if (auto *state = GetObj<StatusWidget>(RegSlot::ObjStatusWidget))
            state->LayoutAdjust();
        break;
    case Schedule:
        if (auto *s = GetObj<::Schedule>(RegSlot::ObjSchedule))
            s->SplitterAdjust();
        break;
    case QandA:
        if (auto *qa = GetObj<::QandA>(RegSlot::ObjQandA))
            qa->AdjustLayout();
        break;
    case Document:
        if (m_docTabs->currentIndex() == 0)
            m_modelDoc->LayoutAdjust();
        else
            m_instanceDoc->LayoutAdjust();
        break;
    case Manual:
        if (auto *manual = GetObj<::Manual>(RegSlot::ObjManualWindow))
            manual->AdjustLayout();
        break;
    default:
        break;
    }
}
