#include "instance/instancesclass.h"

#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_instancesclass.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTabBar>

namespace
{
const QString kCaption = QStringLiteral("background-color: #666666;color: #FFFFFF");
const QString kGreyBar = QStringLiteral("background-color: #666666");

QString attrOf(const QTreeWidgetItem *row, int slot)
{
    struct Registry : protected virtual globalvar {
        using globalvar::GetStrVar;
    } registry;
    const TreeItemData *record = deftab::RecordOf(row);
    return record ? record->GetAttr(registry.GetStrVar(slot)) : QString();
}
} // namespace

InstanceSclass::InstanceSclass(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::InstanceSclass), m_explain(new NumEditor), m_paramExplain(new NumEditor)
{
    m_ui->setupUi(this);
    StyleHeader(m_ui->PARAM_TREE, SharedIcon::TblK, SharedIcon::TblE);
    StyleHeader(m_ui->PR_TREE, SharedIcon::TblP, SharedIcon::TblV);
    StyleHeader(m_ui->P_TREE, SharedIcon::TblP, SharedIcon::TblV);
    m_ui->TAB->tabBar()->setStyleSheet(kGreyBar);
    m_ui->P_TAB->tabBar()->setStyleSheet(kGreyBar);
    delete m_ui->P_TAB->widget(1);
    m_ui->TAB->tabBar()->setTabTextColor(0, Qt::gray);
    m_ui->TAB->tabBar()->setTabTextColor(1, Qt::gray);
    m_ui->P_TAB->tabBar()->setTabTextColor(0, Qt::white);
    m_ui->TAB->setCurrentIndex(1);
    m_ui->P_TAB->setCurrentIndex(0);
    m_parts.SetupCalendar(m_ui->SDATE, m_ui->TDATE, m_ui->CDATE, m_ui->SBTN, m_ui->TBTN, m_ui->CBTN,
                          DateRules::SclassLevel);

    connect(m_ui->ELEMENT, &QLineEdit::textChanged, this, &InstanceSclass::ElementChanged);
    connect(m_ui->SDATE, &QLineEdit::textChanged, this, &InstanceSclass::SdateChanged);
    connect(m_ui->TDATE, &QLineEdit::textChanged, this, &InstanceSclass::TdateChanged);
    connect(m_ui->CDATE, &QLineEdit::textChanged, this, &InstanceSclass::CdateChanged);
    connect(m_ui->SBTN, &QPushButton::clicked, this, &InstanceSclass::SdateBtnProc);
    connect(m_ui->TBTN, &QPushButton::clicked, this, &InstanceSclass::TdateBtnProc);
    connect(m_ui->CBTN, &QPushButton::clicked, this, &InstanceSclass::CdateBtnProc);
    connect(m_ui->TAB, &QTabWidget::currentChanged, this, &InstanceSclass::TabChangeProc);
    connect(m_ui->PARAM_TREE, &QTreeWidget::currentItemChanged, this, &InstanceSclass::ParamTreeChangeProc);
    connect(m_ui->PARAM_TREE, &QTreeWidget::itemClicked, this, &InstanceSclass::ParamTreeClickedProc);
    connect(m_ui->PARAM_TREE, &QTreeWidget::itemDoubleClicked, this,
            &InstanceSclass::ParamTreeDblClickedProc);

    for (NumEditor *editor : {m_explain, m_paramExplain}) {
        editor->SetKind(10);
        editor->SetEditItem(nullptr);
        editor->SetNumber(false);
        // Nothing saves these editors (the explanations are edited in the tab's explanation
        // editor), whether a parameter is selected or not: typing in them would be lost.
        editor->SetWritable(false);
    }
    SetObj(RegSlot::ObjInstSclassEditor1, m_explain);
    SetObj(RegSlot::ObjInstSclassEditor2, m_paramExplain);
    m_ui->LOUT->addWidget(m_explain);
    m_ui->PLOUT->addWidget(m_paramExplain);

    m_parts.Build(m_ui->PR_TREE, tr("OUTVAR NAME"));
    m_maxParam = new QSpinBox;
    m_maxParam->setRange(0, 30);
    auto *maxRow = new QTreeWidgetItem(m_ui->PR_TREE);
    maxRow->setText(0, GetStrVar(RegSlot::StrColFirst + 5));
    m_ui->PR_TREE->setItemWidget(maxRow, 1, m_maxParam);
    connect(m_parts.scope, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &InstanceSclass::ScopeChanged);
    connect(m_parts.progress, qOverload<int>(&QSpinBox::valueChanged), this,
            &InstanceSclass::ProgressRateChanged);
    connect(m_parts.hours, qOverload<int>(&QSpinBox::valueChanged), this,
            &InstanceSclass::EstimatedHoursChanged);
    connect(m_parts.outVar, &QLineEdit::textChanged, this, &InstanceSclass::OutvarChanged);
    connect(m_maxParam, qOverload<int>(&QSpinBox::valueChanged), this, &InstanceSclass::MaxParamChanged);
    buildParamRows();

    for (QLineEdit *field : {m_ui->SDATE, m_ui->TDATE, m_ui->CDATE, m_ui->SCLASS})
        field->setReadOnly(true);
    m_noneText = tr("NONE");
    m_parts.SetupRefs(m_ui->REF1, m_ui->REF2);
    for (QLabel *label :
         {m_ui->SLNAME, m_ui->SLELM, m_ui->SSNAME, m_ui->SSELM, m_ui->SSDATE, m_ui->STDATE, m_ui->SCDATE})
        label->setStyleSheet(kCaption);
}

InstanceSclass::~InstanceSclass()
{
    if (GetObj<NumEditor>(RegSlot::ObjInstSclassEditor1) == m_explain)
        SetObj<NumEditor>(RegSlot::ObjInstSclassEditor1, nullptr);
    if (GetObj<NumEditor>(RegSlot::ObjInstSclassEditor2) == m_paramExplain)
        SetObj<NumEditor>(RegSlot::ObjInstSclassEditor2, nullptr);
    delete m_ui;
}

void InstanceSclass::buildParamRows()
{
    m_stateName = new QLineEdit;
    m_stateName->setReadOnly(true);
    m_transition = new QLineEdit;
    m_stateCbx = new QComboBox;
    m_stateCbx->setEnabled(false);
    m_fromState = new QLineEdit;
    m_fromState->setReadOnly(true);
    m_toState = new QLineEdit;
    m_toState->setReadOnly(true);
    const QString captions[5] = {tr("State Name"), GetStrVar(RegSlot::StrColFirst + 18), tr("state id"),
                                 GetStrVar(RegSlot::StrColFromState), GetStrVar(RegSlot::StrColToState)};
    QWidget *widgets[5] = {m_stateName, m_transition, m_stateCbx, m_fromState, m_toState};
    for (int i = 0; i < 5; ++i) {
        auto *row = new QTreeWidgetItem(m_ui->P_TREE);
        row->setText(0, captions[i]);
        m_ui->P_TREE->setItemWidget(row, 1, widgets[i]);
    }
    connect(m_stateName, &QLineEdit::textChanged, this, &InstanceSclass::ParamStateEditChanged);
    connect(m_transition, &QLineEdit::textChanged, this, &InstanceSclass::ParamTransitionChanged);
    connect(m_stateCbx, &QComboBox::currentTextChanged, this, &InstanceSclass::ChangeStateCbx);
}

bool InstanceSclass::guarded() const
{
    return m_filling || GetBoolVar(RegSlot::FlagUpdating);
}

void InstanceSclass::SetFlags(QTreeWidgetItem *sclass, bool *own)
{
    *own = m_memberCompleted = m_elementEditable = false;
    const TreeItemData *record = deftab::RecordOf(sclass);
    deftab *tab = ClassPaneParts::Tab();
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    const MemberInfo *m = record && table ? table->value(record->name.toInt()) : nullptr;
    *own = m && tab && tab->IsWritableMember(record->name.toInt());
    m_memberCompleted = m && m->Completed;
    m_elementEditable = tab && tab->IsArbitraryScope(sclass);
    m_sclassCompleted = !attrOf(sclass, RegSlot::StrAttrCompletionDate).isEmpty();
    m_lclassCompleted = sclass && !attrOf(sclass->parent(), RegSlot::StrAttrCompletionDate).isEmpty();
}

void InstanceSclass::showFields(TreeItemData *record)
{
    QTreeWidgetItem *lclass = m_current->parent();
    m_ui->LCLASS->setText(lclass ? lclass->text(1) : QString());
    m_ui->SSELEMENT->setText(lclass ? lclass->text(4) : QString());
    m_ui->SCLASS->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    m_ui->ELEMENT->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrElement)));
    m_ui->SDATE->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->TDATE->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate)));
    m_ui->CDATE->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)));
    const bool open = m_ui->CDATE->text().isEmpty();
    for (QWidget *w : {static_cast<QWidget *>(m_ui->SDATE), static_cast<QWidget *>(m_ui->SBTN),
                       static_cast<QWidget *>(m_ui->TDATE), static_cast<QWidget *>(m_ui->TBTN),
                       static_cast<QWidget *>(m_ui->CDATE)})
        w->setEnabled(open);
}

void InstanceSclass::fillParamTree(QTreeWidgetItem *sclass)
{
    while (m_ui->PARAM_TREE->topLevelItemCount() > 0)
        m_ui->PARAM_TREE->takeTopLevelItem(0);
    for (int i = 0; i < sclass->childCount(); ++i) {
        const TreeItemData *record = deftab::RecordOf(sclass->child(i));
        if (record && record->pageItem && !record->pageItem->treeWidget())
            m_ui->PARAM_TREE->addTopLevelItem(record->pageItem);
    }
    TreeColumnAdjustment(m_ui->PARAM_TREE);
    TreeColumnAdjustment(m_ui->PR_TREE);
}

void InstanceSclass::SetSclass(QTreeWidgetItem *item)
{
    TreeItemData *record = deftab::RecordOf(item);
    deftab *tab = ClassPaneParts::Tab();
    if (!record || !tab)
        return;
    m_filling = true;
    m_current = item;
    m_param = nullptr;
    m_parts.calendar->SetItem(item);
    SetFlags(item, &m_own);
    m_ownParam = false;
    m_ui->TAB->setTabEnabled(0, true);
    m_ui->TAB->setTabText(1, tr("Param Attribute"));
    m_ui->TAB->setTabEnabled(1, false);
    m_member = record->name.toInt();
    showFields(record);
    tab->ShowExplanation(record, tr("sclass explain"), tab->GetItemExplanation(item));
    SetSclassProperty(record, m_own);
    fillParamTree(item);
    SetAccess();
    m_parts.ShowRefs(item, editable());
    m_filling = false;
}

void InstanceSclass::SetClassItem(QTreeWidgetItem *item)
{
    TreeItemData *record = deftab::RecordOf(item);
    if (!record)
        return;
    m_filling = true;
    m_ui->TAB->setTabEnabled(0, true);
    m_ui->TAB->setTabText(1, tr("Param Attribute"));
    m_ui->TAB->setTabEnabled(1, false);
    m_current = item;
    bool own = false;
    SetFlags(item, &own);
    m_own = false;
    m_member = record->name.toInt();
    showFields(record);
    fillParamTree(item);
    SetSclassProperty(record, false);
    m_filling = false;
}

void InstanceSclass::SetParam(QTreeWidgetItem *param, QTreeWidgetItem *pageItem, QTreeWidgetItem *sclass)
{
    TreeItemData *record = deftab::RecordOf(param);
    deftab *tab = ClassPaneParts::Tab();
    if (!record || !tab)
        return;
    m_filling = true;
    m_param = param;
    SetFlags(sclass, &m_ownParam);
    m_member = record->name.toInt();
    m_own = false;
    tab->ShowExplanation(record, tr("param explain"), tab->GetItemExplanation(param));
    if (pageItem && m_ui->PARAM_TREE->currentItem() != pageItem)
        m_ui->PARAM_TREE->setCurrentItem(pageItem);
    if (pageItem)
        m_ui->TAB->setTabText(1, tr("Param Attribute:") + pageItem->text(0) + QStringLiteral("  ") +
                                     tr("el_name:") + pageItem->text(1));
    if (m_ui->TAB->isTabEnabled(0)) {
        m_ui->TAB->setTabEnabled(0, false);
        m_ui->TAB->setTabEnabled(1, true);
        m_ui->TAB->setCurrentIndex(1);
    }
    SetParamProperty(param, record, sclass);
    applyAccess(m_ownParam, true);
    m_parts.ClearRefs(false);
    m_filling = false;
}

void InstanceSclass::shade(std::initializer_list<int> rows)
{
    for (int i = 0; i < m_ui->P_TREE->topLevelItemCount(); ++i) {
        const bool shaded = std::find(rows.begin(), rows.end(), i) != rows.end();
        const QBrush brush(shaded ? QColor(QStringLiteral("#D6D6D6")) : QColor(Qt::white), Qt::SolidPattern);
        m_ui->P_TREE->topLevelItem(i)->setBackground(0, brush);
        m_ui->P_TREE->topLevelItem(i)->setBackground(1, brush);
    }
}

void InstanceSclass::SetParamProperty(QTreeWidgetItem *param, TreeItemData *record, QTreeWidgetItem *sclass)
{
    deftab *tab = ClassPaneParts::Tab();
    TreeItemData *srec = deftab::RecordOf(sclass);
    if (!tab || tab->HasNoModelItem() || !srec || !record || !param)
        return;
    const bool filling = std::exchange(m_filling, true);
    const TreeItemData *modelRecord = ClassPaneParts::ModelRecordOf(sclass);
    const int type = modelRecord ? modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrParamType)).toInt() : 0;
    const QString stateAttr = GetStrVar(RegSlot::StrAttrState);
    const QString state = srec->GetAttr(stateAttr);
    for (QLineEdit *field : {m_stateName, m_transition, m_fromState, m_toState})
        field->clear();
    m_stateName->setReadOnly(true);
    m_transition->setReadOnly(true);
    if (type == 1) {
        shade({0, 2});
        const QString key = deftab::KeyOf(srec, GetStrVar(RegSlot::StrAttrID));
        m_stateCbx->clear();
        m_stateCbx->addItem(tab->FindTreeItem(key) ? QStringLiteral("I") + key : m_noneText);
        m_stateName->setText(state);
        m_stateName->setReadOnly(!paramEditable());
        if (paramEditable())
            m_stateName->setAttribute(Qt::WA_InputMethodEnabled, true);
    } else if (type == 2) {
        const QString col = record->GetAttr(GetStrVar(RegSlot::StrAttrCol));
        if (col == QLatin1String("1")) {
            shade({0, 1, 2});
            m_transition->setReadOnly(!paramEditable());
            m_transition->setText(srec->GetAttr(GetStrVar(RegSlot::StrAttrTransition)));
            fillStateCombo(srec);
        } else if (col == QLatin1String("2") || col == QLatin1String("3")) {
            const bool from = col == QLatin1String("2");
            shade({0, 1, from ? 3 : 4});
            QLineEdit *end = from ? m_fromState : m_toState;
            m_stateName->setText(state.isEmpty() ? m_noneText
                                                 : attrOf(tab->FindTreeItem(state), RegSlot::StrAttrState));
            end->setText(state.isEmpty() ? m_noneText : QStringLiteral("I") + state);
            m_stateCbx->clear();
            m_stateCbx->setEnabled(false);
        }
    } else {
        shade({});
        m_stateCbx->clear();
    }
    TreeColumnAdjustment(m_ui->P_TREE);
    m_filling = filling;
}

// The state instances a transition may lead from: those of its model state class.
void InstanceSclass::fillStateCombo(TreeItemData *srec)
{
    deftab *tab = ClassPaneParts::Tab();
    m_stateName->setReadOnly(true);
    m_stateCbx->clear();
    QString stateKey = srec->GetAttr(GetStrVar(RegSlot::StrAttrState));
    if (QTreeWidgetItem *stateRow = tab->FindTreeItem(stateKey)) {
        m_stateName->setText(attrOf(stateRow, RegSlot::StrAttrState));
    } else {
        m_stateName->setText(m_noneText);
        stateKey = m_noneText;
    }
    const TreeItemData *modelRecord = ClassPaneParts::ModelRecordOf(m_param ? m_param->parent() : nullptr);
    const QStringList keys =
        tab->GetKeyedItems(modelRecord ? modelRecord->GetAttr(GetStrVar(RegSlot::StrAttrState)) : QString());
    if (paramEditable()) {
        m_stateCbx->addItem(m_noneText);
        for (const QString &key : keys)
            m_stateCbx->addItem(QStringLiteral("I") + key);
        const int index = stateKey == m_noneText ? 0 : m_stateCbx->findText(QStringLiteral("I") + stateKey);
        m_stateCbx->setCurrentIndex(std::max(index, 0));
        m_stateCbx->setEnabled(true);
    } else {
        if (stateKey != m_noneText)
            m_stateCbx->addItem(QStringLiteral("I") + stateKey);
        m_stateCbx->setEnabled(false);
    }
}

void InstanceSclass::SetAccess()
{
    applyAccess(m_own, false);
}

void InstanceSclass::applyAccess(bool own, bool atParam)
{
    deftab *tab = ClassPaneParts::Tab();
    bool actions[4] = {false, false, false, false};
    bool explainEditable = false;
    if (!own || m_memberCompleted) {
        m_ui->ELEMENT->setReadOnly(true);
        for (QPushButton *button : {m_ui->SBTN, m_ui->TBTN, m_ui->CBTN})
            button->setEnabled(false);
    } else if (atParam || m_sclassCompleted) {
        m_ui->ELEMENT->setReadOnly(true);
        m_ui->SBTN->setEnabled(false);
        m_ui->TBTN->setEnabled(false);
        m_ui->CBTN->setEnabled(!atParam && !m_lclassCompleted);
        actions[0] = true;
        actions[1] = m_sclassCompleted;
        actions[2] = actions[3] = !m_sclassCompleted;
    } else {
        m_ui->ELEMENT->setReadOnly(!m_elementEditable);
        if (m_elementEditable)
            m_ui->ELEMENT->setAttribute(Qt::WA_InputMethodEnabled, true);
        for (QPushButton *button : {m_ui->SBTN, m_ui->TBTN, m_ui->CBTN})
            button->setEnabled(true);
        explainEditable = true;
        actions[0] = actions[2] = actions[3] = true;
    }
    if (tab)
        tab->SetExplanationReadOnly(!explainEditable);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->KeepInstanceActions(actions[0], actions[1], actions[2], actions[3]);
}

void InstanceSclass::SetSclassProperty(TreeItemData *record, bool e)
{
    deftab *tab = ClassPaneParts::Tab();
    if (!tab || !deftab::LinkedRow(m_current, 4)) {
        m_parts.scope->setEnabled(false);
        m_parts.progress->setValue(0);
        m_parts.hours->setValue(0);
        m_parts.progress->setEnabled(false);
        m_parts.hours->setEnabled(false);
        return;
    }
    const bool on = e && !m_memberCompleted && !m_sclassCompleted;
    m_parts.ShowScope(m_current);
    m_parts.ShowProgress(record, !m_ui->CDATE->text().isEmpty());
    m_parts.ShowOutVar(m_current, editable());
    showMaxParam(record);
    for (QWidget *w : {static_cast<QWidget *>(m_parts.scope), static_cast<QWidget *>(m_parts.progress),
                       static_cast<QWidget *>(m_parts.hours)})
        w->setEnabled(on);
    m_maxParam->setEnabled(editable());
}

// "N" rows run up to the small class's maximum; numbered rows give the largest row.
void InstanceSclass::showMaxParam(TreeItemData *record)
{
    const QString maxAttr = GetStrVar(RegSlot::StrAttrMaxParam);
    int largest = 0;
    for (int i = 0; i < m_current->childCount(); ++i) {
        const QString row = attrOf(m_current->child(i), RegSlot::StrAttrRow);
        if (row == QLatin1String("N")) {
            deftab *tab = ClassPaneParts::Tab();
            if (record->GetAttr(maxAttr).isEmpty() && tab)
                record->SetAttr(maxAttr, QString::number(tab->GetDefaultMaxParam()));
            m_maxParam->setValue(record->GetAttr(maxAttr).toInt());
            return;
        }
        largest = std::max(largest, row.toInt());
    }
    m_maxParam->setValue(largest);
}

void InstanceSclass::UpdateSclass()
{
    if (!m_current)
        return;
    SetFlags(m_current, &m_own);
    const bool on = editable();
    m_parts.scope->setEnabled(on);
    m_parts.hours->setEnabled(on);
    if (!m_own) {
        m_parts.progress->setEnabled(false);
    } else if (m_memberCompleted || m_sclassCompleted) {
        m_parts.progress->setMaximum(100);
        m_parts.progress->setValue(100);
        m_parts.progress->setEnabled(false);
    } else {
        m_parts.progress->setEnabled(true);
        m_parts.progress->setMaximum(99);
    }
    const TreeItemData *modelRecord = ClassPaneParts::ModelRecordOf(m_current);
    const bool outVarFree =
        !modelRecord || modelRecord->GetAttr(GetStrVar(RegSlot::StrTagOutVar)).toInt() == 0;
    m_parts.outVar->setEnabled(outVarFree && on);
    bool hasN = false;
    for (int i = 0; i < m_current->childCount() && !hasN; ++i)
        hasN = attrOf(m_current->child(i), RegSlot::StrAttrRow) == QLatin1String("N");
    m_maxParam->setEnabled(hasN && on);
    SetAccess();
}

void InstanceSclass::UpdateParam()
{
    if (!m_param)
        return;
    SetFlags(m_param->parent(), &m_ownParam);
    m_stateName->setReadOnly(m_stateName->isReadOnly() || !paramEditable());
    m_transition->setReadOnly(m_transition->isReadOnly() || !paramEditable());
    applyAccess(m_ownParam, true);
}

void InstanceSclass::SaveSclass(QTreeWidgetItem *item)
{
    TreeItemData *record = deftab::RecordOf(item);
    deftab *tab = ClassPaneParts::Tab();
    // Only the row on show: another row's fields would overwrite this one.
    if (!record || !tab || item != m_current || m_param)
        return;
    record->SetAttr(GetStrVar(RegSlot::StrAttrElement), m_ui->ELEMENT->text());
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), m_ui->SDATE->text());
    record->SetAttr(GetStrVar(RegSlot::StrAttrTargetDate), m_ui->TDATE->text());
    record->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
    if (tab->IsExplanationModified()) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), tab->GetExplanationText());
        record->TextChanged() = true;
    }
    if (deftab::LinkedRow(item, 4)) {
        m_parts.CommitProperties(record);
        record->SetAttr(GetStrVar(RegSlot::StrAttrMaxParam), QString::number(m_maxParam->value()));
    }
}

void InstanceSclass::SaveExplanation(QTreeWidgetItem *, QTreeWidgetItem *param)
{
    TreeItemData *record = deftab::RecordOf(param);
    deftab *tab = ClassPaneParts::Tab();
    if (record && tab && param == m_param && tab->IsExplanationModified()) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), tab->GetExplanationText());
        record->TextChanged() = true;
    }
}

void InstanceSclass::emptyFields()
{
    const bool filling = std::exchange(m_filling, true);
    for (QLineEdit *field : {m_ui->SCLASS, m_ui->ELEMENT, m_ui->SDATE, m_ui->TDATE, m_ui->CDATE})
        field->clear();
    m_filling = filling;
}

void InstanceSclass::ClearCurrent()
{
    m_current = m_param = nullptr;
    emptyFields();
}

// The workspace is closing and its rows are about to be freed: nothing of them is kept.
void InstanceSclass::ClearPane()
{
    m_current = m_param = nullptr;
    emptyFields();
    m_ui->LCLASS->clear();
    m_filling = true;
    while (m_ui->PARAM_TREE->topLevelItemCount() > 0)
        m_ui->PARAM_TREE->takeTopLevelItem(0);
    m_filling = false;
    m_explain->clear();
    m_paramExplain->clear();
    m_parts.ReleaseRow(m_parts.calendar->Item());
    m_parts.ClearRefs();
}

void InstanceSclass::ReleaseRow(QTreeWidgetItem *row)
{
    if (m_current == row || m_param == row)
        ClearCurrent();
    m_parts.ReleaseRow(row);
}

void InstanceSclass::TakeParamItem(QTreeWidgetItem *pageItem)
{
    if (!pageItem || pageItem->treeWidget() != m_ui->PARAM_TREE)
        return;
    m_filling = true;
    if (QTreeWidgetItem *parent = pageItem->parent())
        parent->removeChild(pageItem);
    else
        m_ui->PARAM_TREE->takeTopLevelItem(m_ui->PARAM_TREE->indexOfTopLevelItem(pageItem));
    m_filling = false;
}

QString InstanceSclass::GetOutVar() const
{
    return m_parts.outVar->text();
}

void InstanceSclass::SplitterAdjust()
{
    SplitSizes(m_ui->splitter_5, 2, 3);
    for (QSplitter *splitter : {m_ui->splitter_4, m_ui->splitter_3, m_ui->splitter_2})
        SplitSizes(splitter, 1, 2);
    if (m_ui->TAB->currentIndex() == 1)
        SplitSizes(m_ui->splitter, 1, 3);
}

void InstanceSclass::storeAttr(int slot, const QString &text)
{
    if (TreeItemData *record = deftab::RecordOf(m_current)) {
        record->SetAttr(GetStrVar(slot), text);
        MarkInstanceModified(m_member);
    }
}

void InstanceSclass::ElementChanged(const QString &text)
{
    if (guarded() || GetBoolVar(RegSlot::FlagBusy) || !m_current)
        return;
    m_current->setText(4, text);
    storeAttr(RegSlot::StrAttrElement, text);
    if (deftab *tab = ClassPaneParts::Tab()) {
        tab->UserColumnAdjustment(QModelIndex());
        tab->SetDocumentRefresh(true);
    }
}

void InstanceSclass::SdateChanged(const QString &text)
{
    if (!guarded() && !GetBoolVar(RegSlot::FlagBusy))
        storeAttr(RegSlot::StrAttrStartDate, text);
}

void InstanceSclass::TdateChanged(const QString &text)
{
    if (!guarded() && !GetBoolVar(RegSlot::FlagBusy))
        storeAttr(RegSlot::StrAttrTargetDate, text);
}

void InstanceSclass::CdateChanged(const QString &text)
{
    if (guarded() || GetBoolVar(RegSlot::FlagBusy))
        return;
    storeAttr(RegSlot::StrAttrCompletionDate, text);
    for (QLineEdit *field : {m_ui->SDATE, m_ui->TDATE, m_ui->CDATE})
        field->setEnabled(text.isEmpty());
}

void InstanceSclass::ProgressRateChanged(int value)
{
    if (!guarded())
        storeAttr(RegSlot::StrAttrProgressRate, QString::number(value));
}

void InstanceSclass::EstimatedHoursChanged(int value)
{
    if (!guarded())
        storeAttr(RegSlot::StrAttrEstimatedHours, QString::number(value));
}

void InstanceSclass::OutvarChanged(const QString &)
{
    if (!m_filling && m_current)
        MarkInstanceModified(m_member);
}

void InstanceSclass::MaxParamChanged(int)
{
    if (!m_filling && m_current)
        MarkInstanceModified(m_member);
}

void InstanceSclass::ScopeChanged(int index)
{
    if (!guarded() && m_parts.ChangeScope(m_current, index))
        MarkInstanceModified(m_member);
}

void InstanceSclass::ParamStateEditChanged(const QString &text)
{
    if (!guarded() && m_param)
        storeAttr(RegSlot::StrAttrState, text);
}

void InstanceSclass::ParamTransitionChanged(const QString &text)
{
    if (!guarded() && m_param)
        storeAttr(RegSlot::StrAttrTransition, text);
}

// The entries are "I" and a key, or the none text, which stands for no state: stored empty.
void InstanceSclass::ChangeStateCbx(const QString &text)
{
    if (guarded() || !m_param)
        return;
    const QString key = text.isEmpty() || text == m_noneText ? QString() : text.mid(1);
    storeAttr(RegSlot::StrAttrState, key);
    deftab *tab = ClassPaneParts::Tab();
    const QString name = tab ? attrOf(tab->FindTreeItem(key), RegSlot::StrAttrState) : QString();
    const bool filling = std::exchange(m_filling, true);
    m_stateName->setText(key.isEmpty() ? m_noneText : name);
    m_filling = filling;
}

void InstanceSclass::SdateBtnProc()
{
    m_parts.OpenCalendar(DateRules::Start, m_current, m_member);
}

void InstanceSclass::TdateBtnProc()
{
    m_parts.OpenCalendar(DateRules::Target, m_current, m_member);
}

void InstanceSclass::CdateBtnProc()
{
    m_parts.OpenCalendar(DateRules::Completion, m_current, m_member);
}

void InstanceSclass::TabChangeProc(int index)
{
    m_ui->TAB->tabBar()->setTabTextColor(m_lastTab, Qt::gray);
    m_ui->TAB->tabBar()->setTabTextColor(index, Qt::white);
    m_lastTab = index;
}

void InstanceSclass::selectMemberRow(QTreeWidgetItem *pageItem)
{
    deftab *tab = ClassPaneParts::Tab();
    QTreeWidgetItem *row = deftab::LinkedRow(pageItem, 1);
    if (tab && row && tab->GetCurrentUserItem() != row)
        tab->SetCurrentUserItem(row);
}

void InstanceSclass::ParamTreeChangeProc(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (m_filling || m_editLock || !current || current == previous)
        return;
    selectMemberRow(current);
    if (m_ui->TAB->isTabEnabled(0)) {
        m_ui->TAB->setTabEnabled(0, false);
        m_ui->TAB->setTabEnabled(1, true);
        m_ui->TAB->setCurrentIndex(1);
    }
}

void InstanceSclass::ParamTreeClickedProc(QTreeWidgetItem *item, int)
{
    if (!m_filling)
        selectMemberRow(item);
}

void InstanceSclass::ParamTreeDblClickedProc(QTreeWidgetItem *item, int)
{
    deftab *tab = ClassPaneParts::Tab();
    if (QTreeWidgetItem *row = deftab::LinkedRow(item, 1); tab && row)
        tab->UserDblTreeClicked(row, 0);
}
