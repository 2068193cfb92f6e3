#include "outdef/outdef.h"

#include "core/postbox.h"
#include "model/calendar.h"
#include "model/daterules.h"
#include "outdef/outfile.h"
#include "outdef/outheighlighter.h"
#include "outdef/outputwidget.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_outdef.h"

#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QTreeWidget>

namespace
{
const QString kHeaderStyle =
    QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF }");

void styleTab(QTabWidget *tab)
{
    tab->removeTab(1);
    tab->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    tab->tabBar()->setTabTextColor(0, Qt::white);
}

void styleTree(QTreeWidget *tree, std::initializer_list<const char *> icons)
{
    int i = 0;
    for (const char *icon : icons)
        tree->headerItem()->setIcon(i++, QIcon(QString::fromLatin1(icon)));
    tree->header()->setStyleSheet(kHeaderStyle);
}

const char *const kEntryTexts[outdef::EntryCount] = {
    QT_TRANSLATE_NOOP("outdef", "Create File Identifier"),
    QT_TRANSLATE_NOOP("outdef", "Delete File Identifier"),
    QT_TRANSLATE_NOOP("outdef", "Create next Seq Identifier"),
    QT_TRANSLATE_NOOP("outdef", "Create nesting Seq Identifier"),
    QT_TRANSLATE_NOOP("outdef", "Move up Seq Identifier"),
    QT_TRANSLATE_NOOP("outdef", "Move down Seq Identifier"),
    QT_TRANSLATE_NOOP("outdef", "Move Seq Identifier to Temp"),
    QT_TRANSLATE_NOOP("outdef", "Move Seq Identifier to File"),
    QT_TRANSLATE_NOOP("outdef", "Delete Seq Identifier"),
    QT_TRANSLATE_NOOP("outdef", "check output file")};
} // namespace

outdef::outdef(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::outdef), m_outFile(new OutFile), m_outSeq(new OutSeq),
      m_editor(new NumEditor), m_problem(new NumEditor), m_outputWidget(new OutputWidget),
      m_highlighter(new OutHeighlighter(m_editor->document())), m_calendar(new Calendar(this)),
      m_popup(new QMenu(this))
{
    m_ui->setupUi(this);
    // Designer drops this for a styled frame; the title bar paints its own background.
    m_ui->FRAME->setAutoFillBackground(true);
    for (QTabWidget *tab : {m_ui->TEMP_TAB, m_ui->CURRENT_TAB, m_ui->MODEL_TAB})
        styleTab(tab);
    styleTree(m_ui->FILE_TREE, {":src/TBL_F.png", ":src/TBL_S.png", ":src/TBL_T.png"});
    styleTree(m_ui->TEMP_TREE, {":src/TBL_S.png", ":src/TBL_T.png"});
    styleTree(m_ui->CURRENT_TREE, {":src/TBL_V.png", ":src/TBL_L.png", ":src/TBL_S.png", ":src/TBL_K.png",
                                   ":src/TBL_E.png", ":src/TBL_ID.png"});
    styleTree(m_ui->MODEL_TREE,
              {":src/TBL_L.png", ":src/TBL_S.png", ":src/TBL_K.png", ":src/TBL_E.png", ":src/TBL_ID.png"});
    m_ui->FLAYOUT->addWidget(m_outFile);
    m_ui->SLAYOUT->addWidget(m_outSeq);
    m_problem->SetKind(10);
    m_problem->SetNumber(false);
    m_ui->PLAYOUT->addWidget(m_problem);
    m_editor->SetKind(8);
    m_editor->SetVarTree(this);
    m_editor->SetVarHash(&m_markerCounts);
    m_editor->SetMarkerCheck(0);
    m_editor->SetNumber(false);
    m_ui->EDIT_LAYOUT->addWidget(m_editor);
    m_ui->OLAYOUT->addWidget(m_outputWidget);
    m_outputWidget->GetHighlighter()->SetOwner(this);
    m_highlighter->SetOwner(this);
    m_highlighter->AddRule(QStringLiteral("\\$Seq\\[[0-9]+\\]"), Qt::darkGreen);
    m_highlighter->AddRule(QStringLiteral("\\$Var\\[[0-9]+\\]"), Qt::blue);
    m_generator.SetTree(m_ui->FILE_TREE);
    m_generator.SetOutputWidget(m_outputWidget);
    m_generator.SetTabWidget(m_ui->INF_TAB);
    m_generator.SetPage(this);

    m_calendar->SetDateEdit(m_ui->SDATE, nullptr, m_ui->CDATE);
    m_calendar->SetDateButton(m_ui->SDATEBTN, nullptr, m_ui->CDATEBTN);
    m_calendar->SetType(DateRules::OutputDefinition);
    BuildPopupMenu();

    connect(m_ui->INF_TAB, &QTabWidget::currentChanged, this, &outdef::TabChangeProc);
    connect(m_outFile->GetTitleEdit(), &QLineEdit::textChanged, this, &outdef::ChangeFileTitle);
    connect(m_outSeq->GetTitleEdit(), &QLineEdit::textChanged, this, &outdef::ChangeSeqTitle);
    connect(m_outSeq->GetVarTree(), &QTreeWidget::currentItemChanged, this, &outdef::VarTreeChanged);
    connect(m_outSeq->GetCodeSetButton(), &QPushButton::clicked, this, &outdef::SeqSetClicked);
    connect(m_outSeq->GetCodeDelButton(), &QPushButton::clicked, this, &outdef::SeqDelClicked);
    connect(m_outSeq->GetVarCodeSetButton(), &QPushButton::clicked, this, &outdef::VarSetClicked);
    connect(m_outSeq->GetVarCodeDelButton(), &QPushButton::clicked, this, &outdef::VarDelClicked);
    connect(m_outSeq->GetModButton(), &QPushButton::clicked, this, &outdef::ModVarSeqCount);
    QTreeWidget *files = m_ui->FILE_TREE;
    connect(files, &QTreeWidget::currentItemChanged, this, &outdef::FileTreeChanged);
    connect(files, &QTreeWidget::itemClicked, this, &outdef::FileTreeActivated);
    connect(files, &QTreeWidget::expanded, this, &outdef::FtreeAdjust);
    connect(files, &QTreeWidget::collapsed, this, &outdef::FtreeAdjust);
    connect(files, &QTreeWidget::customContextMenuRequested, this, &outdef::FileTreePopupMenu);
    QTreeWidget *temps = m_ui->TEMP_TREE;
    connect(temps, &QTreeWidget::currentItemChanged, this, &outdef::TempTreeChanged);
    connect(temps, &QTreeWidget::itemClicked, this, &outdef::TempTreeActivated);
    connect(temps, &QTreeWidget::expanded, this, &outdef::TtreeAdjust);
    connect(temps, &QTreeWidget::collapsed, this, &outdef::TtreeAdjust);
    connect(temps, &QTreeWidget::customContextMenuRequested, this, &outdef::TempTreePopupMenu);
    connect(m_ui->CURRENT_TREE, &QTreeWidget::currentItemChanged, this, &outdef::CurrentTreeChanged);
    connect(m_ui->CURRENT_TREE, &QTreeWidget::expanded, this, &outdef::CtreeAdjust);
    connect(m_ui->CURRENT_TREE, &QTreeWidget::collapsed, this, &outdef::CtreeAdjust);
    connect(m_ui->MODEL_TREE, &QTreeWidget::currentItemChanged, this, &outdef::ModelTreeChanged);
    connect(m_ui->MODEL_TREE, &QTreeWidget::itemDoubleClicked, this, &outdef::ModelTreeDblClicked);
    connect(m_ui->MODEL_TREE, &QTreeWidget::expanded, this, &outdef::MtreeAdjust);
    connect(m_ui->MODEL_TREE, &QTreeWidget::collapsed, this, &outdef::MtreeAdjust);
    connect(m_ui->SDATEBTN, &QPushButton::clicked, this, &outdef::SdateBtnProc);
    connect(m_ui->CDATEBTN, &QPushButton::clicked, this, &outdef::CdateBtnProc);
    connect(m_ui->SET_BTN, &QPushButton::clicked, this, &outdef::SetBtnClicked);
    connect(m_ui->UNSET_BTN, &QPushButton::clicked, this, &outdef::UnsetBtnClicked);
    files->setContextMenuPolicy(Qt::CustomContextMenu);
    temps->setContextMenuPolicy(Qt::CustomContextMenu);
    files->installEventFilter(this);
    temps->installEventFilter(this);
    // The two buttons come and go with the selection; each keeps its own place so that a click
    // never lands on the other one, and the trees beside them never move.
    for (QPushButton *button : {m_ui->SET_BTN, m_ui->UNSET_BTN}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->hide();
    }

    SetObj(RegSlot::ObjOutdef, this);
    if (GetBoolVar(RegSlot::FlagOutputOwned)) {
        const bool states[EntryCount] = {true};
        keepOutStates(states);
    }
}

outdef::~outdef()
{
    m_clearing = true;
    m_ui->FILE_TREE->clear();
    m_ui->TEMP_TREE->clear();
    m_ui->CURRENT_TREE->clear();
    m_ui->MODEL_TREE->clear();
    m_outSeq->Clear();
    qDeleteAll(m_files);
    qDeleteAll(m_seqs);
    qDeleteAll(m_modelItems);
    if (GetObj<outdef>(RegSlot::ObjOutdef) == this)
        SetObj<outdef>(RegSlot::ObjOutdef, nullptr);
    delete m_ui;
}

void outdef::BuildPopupMenu()
{
    void (outdef::*const handlers[EntryCount])() = {&outdef::CreateFileDiag,    &outdef::DeleteFileDiag,
                                                    &outdef::CreateNextSeqDiag, &outdef::CreateNestingSeqDiag,
                                                    &outdef::MoveUpSeqDiag,     &outdef::MoveDownSeqDiag,
                                                    &outdef::MoveSeqTempDiag,   &outdef::MoveSeqFileDiag,
                                                    &outdef::DeleteSeqDiag,     &outdef::FileOutDiag};
    for (int i = 0; i < EntryCount; ++i) {
        m_actions[i] = new QAction(tr(kEntryTexts[i]), this);
        connect(m_actions[i], &QAction::triggered, this, handlers[i]);
    }
    for (int i : {0, 1, 2, 3, 8, 4, 5, 6, 7, 9})
        m_popup->addAction(m_actions[i]);
}

void outdef::SetChanged()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagOutputModified))
        return;
    SetBoolVar(RegSlot::FlagOutputModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

// ---- Out-menu states ----

void outdef::keepOutStates(const bool states[EntryCount])
{
    std::copy(states, states + EntryCount, m_outStates);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepOutputActions(states[0], states[1], states[2], states[3], states[4], states[5], states[6],
                              states[7], states[8], states[9]);
        mw->RestoreOutputActions();
    }
}

void outdef::keepFileStates(QTreeWidgetItem *item)
{
    const bool e = GetBoolVar(RegSlot::FlagOutputOwned);
    if (!item)
        return;
    QTreeWidgetItem *parent = item->parent();
    if (!parent) {
        const bool states[EntryCount] = {
            e, e && item->childCount() == 0, false, e, false, false, false, false, false, true};
        keepOutStates(states);
        return;
    }
    const int index = parent->indexOfChild(item);
    const bool states[EntryCount] = {
        e, false, e, e, e && index > 0, e && index < parent->childCount() - 1, e, false, false, true};
    keepOutStates(states);
}

void outdef::keepTempStates()
{
    const bool e = GetBoolVar(RegSlot::FlagOutputOwned);
    const bool states[EntryCount] = {false, false, false, false, false, false, false, e, e, false};
    keepOutStates(states);
}

void outdef::SetMenuVisible(bool s0, bool s1, bool s2, bool s3, bool s4, bool s5, bool s6, bool s7, bool s8,
                            bool s9)
{
    const bool states[EntryCount] = {s0, s1, s2, s3, s4, s5, s6, s7, s8, s9};
    for (int i = 0; i < EntryCount; ++i)
        m_actions[i]->setVisible(states[i]);
}

void outdef::FileTreePopupMenu(const QPoint &point)
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->PushOutputActions();
    else
        SetMenuVisible(m_outStates[0], m_outStates[1], m_outStates[2], m_outStates[3], m_outStates[4],
                       m_outStates[5], m_outStates[6], m_outStates[7], m_outStates[8], m_outStates[9]);
    m_popup->popup(m_ui->FILE_TREE->mapToGlobal(point + QPoint(10, 0)));
}

void outdef::TempTreePopupMenu(const QPoint &point)
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->PushOutputActions();
    QTreeWidgetItem *cur = m_ui->TEMP_TREE->currentItem();
    if (!cur || cur->parent() || !GetBoolVar(RegSlot::FlagOutputOwned))
        return;
    m_actions[EntryDeleteSeq]->setVisible(true);
    m_popup->popup(m_ui->TEMP_TREE->mapToGlobal(point + QPoint(10, 0)));
}

// ---- main-window menus and editor state ----

void outdef::SetMenuState()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!mw)
        return;
    mw->EnableFileAction(1, false);
    mw->EnableFileAction(2, GetIntVar(RegSlot::IntDocKind) != 4);
    for (int i : {3, 4, 5, 6})
        mw->EnableFileAction(i, false);
    mw->EnableFileAction(8, true);
    for (int i : {1, 3, 4, 5, 6})
        mw->EnableEditAction(i, false);
    mw->EnableMenus(0, false, false, false, true, false, false);
}

void outdef::SetEditState()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    const bool any = m_ui->FILE_TREE->topLevelItemCount() > 0;
    if (mw)
        mw->EnableEditAction(0, any);
    m_editor->setEnabled(any);
    if (any)
        return;
    m_editor->SetEditItem(nullptr);
    m_editor->clear();
    m_editor->SetRefusal(QString());
    m_editor->SetNumber(false);
}

void outdef::SetFocusEditor()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    const int index = m_ui->INF_TAB->currentIndex();
    if (index == 2) {
        if (auto *view = qobject_cast<NumEditor *>(m_outputWidget->GetView()))
            view->SetActiveEditor();
        return;
    }
    QTreeWidget *tree = m_pageMode == 1 ? m_ui->FILE_TREE : m_ui->TEMP_TREE;
    if (tree->topLevelItemCount() == 0) {
        if (mw) {
            mw->ReleaseEditor();
            mw->EnableEditAction(0, false);
        }
        return;
    }
    (index == 3 ? m_problem : m_editor)->SetActiveEditor();
}

void outdef::SetEditorFont()
{
    m_editor->SetEditFont();
    m_problem->SetEditFont();
    QTabWidget *views = m_outputWidget->GetTabWidget();
    for (int i = 0; i < views->count(); ++i) {
        if (auto *view = qobject_cast<NumEditor *>(views->widget(i)))
            view->SetEditFont();
    }
}

void outdef::setEditorsReadOnly(bool readOnly)
{
    m_outFile->SetReadOnly(readOnly);
    m_outSeq->SetReadOnly(readOnly);
    m_editor->SetWritable(!readOnly);
}

// ---- tabs and splitters ----

void outdef::ResetInfoTabs()
{
    m_tabReset = true;
    m_ui->INF_TAB->setTabEnabled(0, false);
    m_ui->INF_TAB->setTabEnabled(1, false);
    QTabBar *bar = m_ui->INF_TAB->tabBar();
    bar->setStyleSheet(QStringLiteral("background-color: #666666"));
    bar->setTabTextColor(0, Qt::gray);
    bar->setTabTextColor(1, Qt::gray);
    bar->setTabTextColor(2, QColor(QStringLiteral("#00dd00")));
    bar->setTabTextColor(3, QColor(QStringLiteral("#00dd00")));
    m_tabReset = false;
}

// Enables one of the two entry tabs, makes it current and greys the other.
void outdef::setTabState(int enabled, int disabled)
{
    m_ui->INF_TAB->setTabEnabled(disabled, false);
    m_ui->INF_TAB->setTabEnabled(enabled, true);
    m_ui->INF_TAB->setCurrentIndex(enabled);
    m_ui->INF_TAB->tabBar()->setTabTextColor(disabled, Qt::gray);
}

void outdef::TabChangeProc(int index)
{
    if (GetBoolVar(RegSlot::FlagBusy) || m_tabReset)
        return;
    QTabBar *bar = m_ui->INF_TAB->tabBar();
    bar->setTabTextColor(m_prevTab, QColor(QStringLiteral("#00dd00")));
    bar->setTabTextColor(index, Qt::white);
    m_prevTab = index;
    m_ui->ED_SPLITTER->setVisible(index == 0 || index == 1);
}

void outdef::FitEditorSplitter(int kind)
{
    const int h = kind == FileKind ? m_outFile->GetEditorHeight() : m_outSeq->GetEditorHeight();
    int min = 0;
    int max = 0;
    m_ui->RIGHT_SPLITTER->getRange(1, &min, &max);
    m_ui->RIGHT_SPLITTER->setSizes(FitSizes(h, max));
}

void outdef::AdjustSplitter()
{
    int min = 0;
    int m = 0;
    m_ui->splitter_2->getRange(1, &min, &m);
    m_ui->splitter_2->setSizes(SplitSizes(m, 1, 3));
    m_ui->splitter->getRange(1, &min, &m);
    m_ui->splitter->setSizes(SplitSizes(m, 2, 3));
    const int index = m_ui->INF_TAB->currentIndex();
    if (index != 0 && index != 1)
        return;
    FitEditorSplitter(index);
    m_ui->ED_SPLITTER->getRange(1, &min, &m);
    m_ui->ED_SPLITTER->setSizes(SplitSizes(m, 1, 2));
}

// ---- small slots ----

void outdef::FileTreeActivated(QTreeWidgetItem *item, int)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    if (m_pageMode == 2 && item == m_ui->FILE_TREE->currentItem())
        FileTreeFocused();
}

void outdef::TempTreeActivated(QTreeWidgetItem *item, int)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    if (m_pageMode == 1 && item == m_ui->TEMP_TREE->currentItem())
        tempTreeFocused();
}

void outdef::ChangeFileTitle(const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    if (!cur || cur->parent())
        return;
    cur->setText(2, text);
    SetChanged();
}

void outdef::ChangeSeqTitle(const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    if (m_pageMode == 1) {
        QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
        if (!cur || !cur->parent())
            return;
        cur->setText(2, text);
        SetChanged();
        return;
    }
    // A temporary sequence's title is an edit too: without the mark it would be lost at close.
    // The record takes it at once: a save while the temporary tree is current stores no entry.
    QTreeWidgetItem *cur = m_ui->TEMP_TREE->currentItem();
    SeqRecord *record = cur ? m_seqs.value(cur->data(2, Qt::UserRole).toInt()) : nullptr;
    if (m_pageMode != 2 || !cur)
        return;
    cur->setText(1, text);
    if (record)
        record->data->SetAttr(OutXml::Title, text);
    SetChanged();
}

void outdef::SdateBtnProc()
{
    m_calendar->SetMode(DateRules::Start);
    m_calendar->show();
}

void outdef::CdateBtnProc()
{
    m_calendar->SetMode(DateRules::Completion);
    m_calendar->show();
}

void outdef::FtreeAdjust()
{
    TreeColumnAdjustment(m_ui->FILE_TREE);
}

void outdef::TtreeAdjust()
{
    TreeColumnAdjustment(m_ui->TEMP_TREE);
}

void outdef::CtreeAdjust()
{
    TreeColumnAdjustment(m_ui->CURRENT_TREE);
}

void outdef::MtreeAdjust()
{
    TreeColumnAdjustment(m_ui->MODEL_TREE);
}

QTreeWidget *outdef::GetFileTree() const
{
    return m_ui->FILE_TREE;
}

QTreeWidget *outdef::GetTempTree() const
{
    return m_ui->TEMP_TREE;
}

QTreeWidget *outdef::GetCurrentTree() const
{
    return m_ui->CURRENT_TREE;
}

QTreeWidget *outdef::GetModelTree() const
{
    return m_ui->MODEL_TREE;
}

bool outdef::IsCurrentFileItem(QTreeWidgetItem *item) const
{
    return m_pageMode == 1 && item && item == m_ui->FILE_TREE->currentItem();
}

QTreeWidgetItem *outdef::GetFileTreeItem() const
{
    return m_ui->FILE_TREE->currentItem();
}
