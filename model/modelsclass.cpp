#include "model/modelsclass.h"

#include "core/treeitemdata.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "model/calendar.h"
#include "model/classpage.h"
#include "model/daterules.h"
#include "model/deleteparamdiag.h"
#include "model/deletesclassdiag.h"
#include "model/model.h"
#include "model/newparam.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_modelsclass.h"

#include <QComboBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace
{
QTreeWidgetItem *itemIn(const QTreeWidgetItem *item, int column)
{
    return item ? static_cast<QTreeWidgetItem *>(item->data(column, Qt::UserRole).value<void *>()) : nullptr;
}
} // namespace

ModelSClass::ModelSClass(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::ModelSClass), m_layout(new QVBoxLayout), m_calendar(new Calendar(this)),
      m_files(new reffile), m_links(new refurl)
{
    m_ui->setupUi(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addWidget(this);
    SetObj(RegSlot::ObjModelSclassForm, m_layout);
    SetObj(RegSlot::ObjModelSclassPage, this);

    connect(m_ui->SBTN, &QPushButton::clicked, this, &ModelSClass::SdateBtnProc);
    connect(m_ui->TBTN, &QPushButton::clicked, this, &ModelSClass::TdateBtnProc);
    connect(m_ui->CBTN, &QPushButton::clicked, this, &ModelSClass::CdateBtnProc);
    connect(m_ui->CDATE, &QLineEdit::textChanged, this, &ModelSClass::CdateChanged);
    m_calendar->SetDateEdit(m_ui->SDATE, m_ui->TDATE, m_ui->CDATE);
    m_calendar->SetDateButton(m_ui->SBTN, m_ui->TBTN, m_ui->CBTN);
    m_calendar->SetType(DateRules::ModelClass);
    m_calendar->SetLevel(DateRules::SclassLevel);
    connect(m_ui->SCLASS, &QLineEdit::textChanged, this, &ModelSClass::SclassTextChange);
    connect(m_ui->ELEMENT, &QLineEdit::textChanged, this, &ModelSClass::SElementTextChange);
    connect(m_ui->TAB, &QTabWidget::currentChanged, this, &ModelSClass::TabChangeProc);
    connect(m_ui->PARAM_TREE, &QTreeWidget::currentItemChanged, this, &ModelSClass::ParamTreeChangeProc);
    connect(m_ui->PARAM_TREE, &QTreeWidget::itemClicked, this, &ModelSClass::ParamClicked);

    ClassPage::StyleHeader(m_ui->PARAM_TREE, ":src/TBL_K.png", ":src/TBL_E.png");
    ClassPage::StyleHeader(m_ui->PR_TREE, ":src/TBL_P.png", ":src/TBL_V.png");
    ClassPage::StyleHeader(m_ui->P_TREE, ":src/TBL_P.png", ":src/TBL_V.png");
    ClassPage::StyleTabBar(m_ui->TAB);
    m_ui->TAB->tabBar()->setTabTextColor(1, QColor(QStringLiteral("#666666")));
    m_ui->P_TAB->removeTab(1);
    ClassPage::StyleTabBar(m_ui->P_TAB);

    m_inactive.setColor(QPalette::Base, QColor(QStringLiteral("#EEEEEE")));
    m_active.setColor(QPalette::Base, QColor(QStringLiteral("#ffffff")));
    initPropertyTree();

    for (QLineEdit *date : {m_ui->SDATE, m_ui->TDATE, m_ui->CDATE})
        date->setReadOnly(true);
    m_sclassTitle = tr("sclass explain");
    m_paramTitle = tr("param explain");
    const int editorSlots[2] = {RegSlot::ObjModelSclassEditor1, RegSlot::ObjModelSclassEditor2};
    QVBoxLayout *editorLayouts[2] = {m_ui->EXP_LAYOUT, m_ui->PEXP_LAYOUT};
    for (int i = 0; i < 2; ++i) {
        m_editors[i] = new NumEditor;
        m_editors[i]->SetKind(10);
        m_editors[i]->SetNumber(false);
        // Nothing saves these editors (the explanations are edited in the model's explanation
        // tab), whether a parameter is selected or not: typing in them was lost without a word.
        m_editors[i]->SetWritable(false);
        editorLayouts[i]->addWidget(m_editors[i]);
        SetObj(editorSlots[i], m_editors[i]);
    }
    m_ui->REF1->addWidget(m_files);
    m_links->SetOwnerKind(refurl::ModelKind);
    m_ui->REF2->addWidget(m_links);
    ClassPage::StyleCaptions(
        {m_ui->SLNAME, m_ui->SLEL, m_ui->SSNAME, m_ui->SSEL, m_ui->SSDATE, m_ui->STDATE, m_ui->SCDATE});
}

ModelSClass::~ModelSClass()
{
    if (GetObj<ModelSClass>(RegSlot::ObjModelSclassPage) == this) {
        SetObj<ModelSClass>(RegSlot::ObjModelSclassPage, nullptr);
        SetObj<QVBoxLayout>(RegSlot::ObjModelSclassForm, nullptr);
        SetObj<NumEditor>(RegSlot::ObjModelSclassEditor1, nullptr);
        SetObj<NumEditor>(RegSlot::ObjModelSclassEditor2, nullptr);
    }
    // The list items belong to the parameter records: none may go down with the list.
    while (m_ui->PARAM_TREE->topLevelItemCount() > 0)
        m_ui->PARAM_TREE->takeTopLevelItem(0);
    delete m_ui;
}

void ModelSClass::initPropertyTree()
{
    m_outVar = ClassPage::AddOutVarRow(m_ui->PR_TREE, tr("Out Variable"), GetStrVar(RegSlot::StrTagOutVar),
                                       GetStrVar(RegSlot::StrLabelYes), GetStrVar(RegSlot::StrLabelNo));
    connect(m_outVar, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModelSClass::PropertyChanged);
    const char *const titles[4] = {QT_TR_NOOP("State"), QT_TR_NOOP("Transition"), QT_TR_NOOP("FromState"),
                                   QT_TR_NOOP("ToState")};
    for (int i = 0; i < 4; ++i) {
        auto *row = new QTreeWidgetItem(m_ui->P_TREE);
        row->setText(0, tr(titles[i]));
        m_properties[i] = new QLineEdit;
        m_properties[i]->setReadOnly(true);
        m_properties[i]->setPalette(m_inactive);
        m_ui->P_TREE->setItemWidget(row, 1, m_properties[i]);
    }
    TreeColumnAdjustment(m_ui->P_TREE);
}

model *ModelSClass::editor() const
{
    return GetObj<model>(RegSlot::ObjModel);
}

bool ModelSClass::ignoresChange() const
{
    return GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating);
}

// The fields of the small class and of its large class, its output variable and its parameters.
void ModelSClass::showSclassFields(QTreeWidgetItem *sclass, bool elementNeedsOwner)
{
    m_param = nullptr;
    m_ui->TAB->setTabEnabled(0, true);
    m_ui->TAB->setTabText(1, tr("Param Attribute"));
    m_ui->TAB->setTabEnabled(1, false);
    QTreeWidgetItem *lclass = sclass->parent();
    m_ui->LCLASS->setText(lclass ? lclass->text(model::ColLclass) : QString());
    m_ui->LELEMENT->setText(lclass ? lclass->text(model::ColValue) : QString());
    m_sclass = sclass;
    const TreeItemData *r = model::RecordOf(sclass);
    m_ui->SCLASS->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    m_ui->ELEMENT->setText(editor()->ElementLabel(r));
    m_ui->ELEMENT->setEnabled(m_ui->ELEMENT->text() != GetStrVar(RegSlot::StrLabelArbitary) &&
                              (!elementNeedsOwner || GetBoolVar(RegSlot::FlagModelOwned)));
    m_ui->SDATE->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->TDATE->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate)));
    m_ui->CDATE->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)));
    ClassPage::ShowOutVar(m_ui->PR_TREE, m_outVar, r->GetAttr(GetStrVar(RegSlot::StrTagOutVar)));
    listParams(sclass);
}

// The list items belong to the parameter records: taken out, never deleted.
void ModelSClass::listParams(QTreeWidgetItem *sclass)
{
    const bool locked = m_treeLock;
    m_treeLock = true;
    while (m_ui->PARAM_TREE->topLevelItemCount() > 0)
        m_ui->PARAM_TREE->takeTopLevelItem(0);
    for (int i = 0; sclass && i < sclass->childCount(); ++i) {
        if (QTreeWidgetItem *listItem = itemIn(sclass->child(i), 1))
            m_ui->PARAM_TREE->addTopLevelItem(listItem);
    }
    m_treeLock = locked;
}

void ModelSClass::ShowSclass(QTreeWidgetItem *sclass)
{
    model *m = editor();
    TreeItemData *r = model::RecordOf(sclass);
    if (!m || !r)
        return;
    showSclassFields(sclass, true);
    const QString key = GetStrVar(RegSlot::StrAttrExpression);
    if (!r->flags[0]) {
        r->SetAttr(key, m->ReadClassText(r->GetAttr(GetStrVar(RegSlot::StrAttrID))));
        r->flags[0] = true;
    }
    m->ShowExplanation(r, m_sclassTitle, r->GetAttr(key));
    UpdateEditState();
    TreeColumnAdjustment(m_ui->PARAM_TREE);
    TreeColumnAdjustment(m_ui->PR_TREE);
    showReferences(r);
}

void ModelSClass::ShowParamSclass(QTreeWidgetItem *param)
{
    if (param && param->parent() && model::RecordOf(param->parent()))
        showSclassFields(param->parent(), false);
}

void ModelSClass::SelectParam(QTreeWidgetItem *param)
{
    m_param = param;
    m_ui->TAB->setTabEnabled(1, true);
    m_ui->TAB->setTabEnabled(0, false);
}

void ModelSClass::selectListItem(QTreeWidgetItem *listItem)
{
    if (!listItem || m_ui->PARAM_TREE->currentItem() == listItem)
        return;
    const bool locked = m_treeLock;
    m_treeLock = true;
    m_ui->PARAM_TREE->setCurrentItem(listItem);
    m_treeLock = locked;
}

void ModelSClass::ShowParam(QTreeWidgetItem *sclass, QTreeWidgetItem *param, QTreeWidgetItem *listItem)
{
    TreeItemData *r = model::RecordOf(param);
    model *m = editor();
    if (!r || !m) {
        if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
            mw->SystemErrorBox(QStringLiteral("SYSTEM ERROR:MODELS008"));
    } else {
        const QString key = GetStrVar(RegSlot::StrAttrExpression);
        if (!r->flags[0]) {
            r->SetAttr(key, m->ReadClassText(r->GetAttr(GetStrVar(RegSlot::StrAttrID))));
            r->flags[0] = true;
        }
        m->ShowExplanation(r, m_paramTitle, r->GetAttr(key));
        selectListItem(listItem);
        showStateProperty(sclass, param);
        if (listItem)
            m_ui->TAB->setTabText(1, tr("Param Attribute:") + listItem->text(0) + QStringLiteral("  ") +
                                         tr("el_name:") + listItem->text(1));
    }
    clearReferences();
}

void ModelSClass::showReferences(const TreeItemData *r)
{
    const bool owner = GetBoolVar(RegSlot::FlagModelOwned);
    m_files->setEnabled(true);
    m_links->setEnabled(true);
    m_files->SetEditable(owner);
    m_files->SetDirectory(editor()->MakeRefPath(r->GetAttr(GetStrVar(RegSlot::StrAttrID))));
    m_links->SetEditable(owner);
    m_links->SetElement(m_sclass);
}

// A parameter has no reference panes of its own; and the panes must not keep a row that may be
// freed next.
void ModelSClass::clearReferences()
{
    m_files->ClearList();
    m_links->ClearList();
    m_files->setEnabled(false);
    m_links->setEnabled(false);
}

void ModelSClass::showStateProperty(QTreeWidgetItem *sclass, QTreeWidgetItem *param)
{
    const TreeItemData *s = model::RecordOf(sclass);
    if (!s)
        return;
    const QString kind = s->GetAttr(GetStrVar(RegSlot::StrAttrParamType));
    const QString state = s->GetAttr(GetStrVar(RegSlot::StrAttrState));
    if (kind.isEmpty() || kind == QLatin1String("0")) {
        SetStateProperty(-1, QString(), QString());
    } else if (kind == QLatin1String("1")) {
        SetStateProperty(0, state, QString());
    } else if (kind == QLatin1String("2")) {
        const int position = sclass->indexOfChild(param);
        if (position == 0) {
            const QString transition = s->GetAttr(GetStrVar(RegSlot::StrAttrTransition));
            SetStateProperty(transition.isEmpty() ? -1 : 1, transition, state);
        } else if (position == 1 || position == 2) {
            const TreeItemData *stateClass = editor() ? model::RecordOf(editor()->FindItem(state)) : nullptr;
            const QString name =
                stateClass ? stateClass->GetAttr(GetStrVar(RegSlot::StrAttrState)) : QString();
            SetStateProperty(name.isEmpty() ? -1 : position + 1, name, QString());
        }
    }
}

void ModelSClass::SetStateProperty(int row, const QString &text, const QString &stateId)
{
    for (QLineEdit *field : m_properties) {
        field->clear();
        field->setPalette(m_inactive);
    }
    if (row < 0 || row > 3)
        return;
    m_properties[row]->setText(text);
    m_properties[row]->setPalette(m_active);
    if (row == 1) {
        m_properties[0]->setText(editor() ? editor()->StateOfID(stateId) : QString());
        m_properties[0]->setPalette(m_active);
    }
}

void ModelSClass::SetCurrentTab(int index)
{
    m_ui->TAB->setCurrentIndex(index);
}

// Only the small class on show is written: an emptied page must not empty a record.
void ModelSClass::StoreSclass(QTreeWidgetItem *sclass)
{
    TreeItemData *r = model::RecordOf(sclass);
    model *m = editor();
    if (!r || !m || sclass != m_sclass)
        return;
    r->SetAttr(GetStrVar(RegSlot::StrAttrName), m_ui->SCLASS->text());
    m->SetElementAttr(r, m_ui->ELEMENT->text());
    r->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), m_ui->SDATE->text());
    r->SetAttr(GetStrVar(RegSlot::StrAttrTargetDate), m_ui->TDATE->text());
    r->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
    r->SetAttr(GetStrVar(RegSlot::StrTagOutVar),
               ClassPage::OutVarValue(m_outVar, GetStrVar(RegSlot::StrLabelNo)));
    m_sclass = sclass;
}

// The parameter's explanation reaches its record through the model editor; the property rows
// are display only.
void ModelSClass::StoreParam(QTreeWidgetItem *param)
{
    if (model::RecordOf(param))
        return;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SystemErrorBox(QStringLiteral("SYSTEM ERROR:MODELS005"));
}

void ModelSClass::ClearSclass()
{
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_sclass = nullptr;
    for (QLineEdit *field : {m_ui->SCLASS, m_ui->ELEMENT, m_ui->SDATE, m_ui->TDATE, m_ui->CDATE})
        field->clear();
    listParams(nullptr);
    clearReferences();
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void ModelSClass::ClearPage()
{
    m_sclass = nullptr;
    m_param = nullptr;
    m_ui->LCLASS->clear();
    m_ui->LELEMENT->clear();
    m_ui->SCLASS->clear();
    m_ui->ELEMENT->clear();
    listParams(nullptr);
    m_outVar->setCurrentIndex(0);
    for (NumEditor *e : m_editors)
        e->ClearText();
    clearReferences();
}

// The Model menu while a small class or one of its parameters shows; with no parameter dialogs
// yet the parameter actions are offered but do nothing.
void ModelSClass::keepMenu(bool addParam, bool deleteParam, bool addSclass)
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepModelActions(false, false, addSclass, addSclass, addParam, deleteParam);
        mw->RestoreModelActions();
    }
}

void ModelSClass::UpdateEditState()
{
    model *m = editor();
    const bool editable = GetBoolVar(RegSlot::FlagModelOwned) && !GetBoolVar(RegSlot::FlagModelReadOnly);
    const bool completed = !m_ui->CDATE->text().isEmpty();
    if (!editable || !m) {
        keepMenu(false, false, false);
        LockPage(false);
        return;
    }
    const bool sclassShown = !m_param;
    QTreeWidgetItem *current = m->GetCurrentItem();
    const bool normal = m->IsNormalKind(sclassShown ? m_sclass : (current ? current->parent() : nullptr));
    keepMenu(!completed && normal && (sclassShown || current), !completed && !sclassShown, sclassShown);
    if (completed)
        LockPage(true);
    else
        UnlockPage();
}

// A completed small class keeps only its completion date changeable, and only while its large
// class and the model are not completed.
void ModelSClass::LockPage(bool parentCheck)
{
    m_ui->SCLASS->setReadOnly(true);
    m_ui->ELEMENT->setReadOnly(true);
    m_ui->SBTN->setEnabled(false);
    m_ui->TBTN->setEnabled(false);
    const TreeItemData *lclass = model::RecordOf(m_sclass ? m_sclass->parent() : nullptr);
    const bool lclassOpen = lclass && lclass->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)).isEmpty();
    m_ui->CBTN->setEnabled(editor() && !editor()->IsCompleted() && GetBoolVar(RegSlot::FlagModelOwned) &&
                           parentCheck && lclassOpen);
    m_outVar->setEnabled(false);
    m_readOnly = 1;
}

void ModelSClass::UnlockPage()
{
    m_ui->SCLASS->setReadOnly(false);
    m_ui->SCLASS->setAttribute(Qt::WA_InputMethodEnabled);
    m_ui->ELEMENT->setReadOnly(false);
    for (QWidget *w : {static_cast<QWidget *>(m_ui->SBTN), static_cast<QWidget *>(m_ui->TBTN),
                       static_cast<QWidget *>(m_ui->CBTN), static_cast<QWidget *>(m_outVar)})
        w->setEnabled(true);
    m_readOnly = 0;
}

void ModelSClass::SetReadOnly()
{
    m_ui->SCLASS->setReadOnly(true);
    m_ui->SBTN->setEnabled(false);
    m_ui->TBTN->setEnabled(false);
    m_ui->CBTN->setEnabled(editor() && !editor()->IsCompleted() && GetBoolVar(RegSlot::FlagModelOwned));
    m_outVar->setEnabled(false);
    m_readOnly = 1;
}

void ModelSClass::SetEditable(bool editable)
{
    m_ui->SCLASS->setReadOnly(!editable);
    m_ui->ELEMENT->setReadOnly(!editable);
    for (QWidget *w : {static_cast<QWidget *>(m_ui->SBTN), static_cast<QWidget *>(m_ui->TBTN),
                       static_cast<QWidget *>(m_ui->CBTN), static_cast<QWidget *>(m_outVar)})
        w->setEnabled(editable);
}

void ModelSClass::EnableCdateBtn(bool enabled)
{
    m_ui->CBTN->setEnabled(enabled);
}

void ModelSClass::AdjustLayout()
{
    ClassPage::SplitSizes(m_ui->splitter_5, 0.6666666666666666);
    for (QSplitter *s : {m_ui->splitter_4, m_ui->splitter_3, m_ui->splitter_2})
        ClassPage::SplitSizes(s, 0.5);
    if (m_ui->TAB->currentIndex() == 1)
        ClassPage::SplitSizes(m_ui->splitter, 0.5);
}

void ModelSClass::SdateBtnProc()
{
    m_calendar->Open(DateRules::Start, m_sclass);
}

void ModelSClass::TdateBtnProc()
{
    m_calendar->Open(DateRules::Target, m_sclass);
}

void ModelSClass::CdateBtnProc()
{
    m_calendar->Open(DateRules::Completion, m_sclass);
}

void ModelSClass::CdateChanged(const QString &text)
{
    if (ignoresChange())
        return;
    if (text.isEmpty())
        UnlockPage();
    else
        LockPage(true);
}

// The class tree follows a typed name or element at once; the record takes it when stored.
void ModelSClass::editColumn(int column, const QString &text)
{
    if (ignoresChange() || !m_sclass)
        return;
    m_sclass->setText(column, text);
    if (model *m = editor()) {
        TreeColumnAdjustment(m->GetTree());
        m->ModelChanged();
        m->SetModified(true);
        m->IsUpdateLocked();
    }
}

void ModelSClass::SclassTextChange(const QString &text)
{
    editColumn(model::ColSclass, text);
}

void ModelSClass::SElementTextChange(const QString &text)
{
    editColumn(model::ColValue, text);
}

void ModelSClass::TabChangeProc(int index)
{
    QTabBar *bar = m_ui->TAB->tabBar();
    bar->setTabTextColor(m_tabIndex, QColor(QStringLiteral("#666666")));
    bar->setTabTextColor(index, Qt::white);
    m_tabIndex = index;
}

void ModelSClass::ParamTreeChangeProc(QTreeWidgetItem *item, QTreeWidgetItem *prev)
{
    model *m = editor();
    if (!m || m->IsClearing() || m_treeLock || !item || item == prev)
        return;
    QTreeWidgetItem *param = itemIn(item, 1);
    if (param && m->GetCurrentItem() != param)
        m->SetCurrentItem(param);
}

void ModelSClass::ParamClicked(QTreeWidgetItem *item, int)
{
    if (item == m_ui->PARAM_TREE->currentItem())
        ParamTreeChangeProc(item, nullptr);
}

void ModelSClass::PropertyChanged(int)
{
    if (model *m = editor()) {
        m->ModelChanged();
        m->IsUpdateLocked();
    }
}
