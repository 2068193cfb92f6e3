#include "model/modellclass.h"

#include "core/treeitemdata.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "model/calendar.h"
#include "model/classpage.h"
#include "model/daterules.h"
#include "model/deletelclassdiag.h"
#include "model/model.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_modellclass.h"

#include <QComboBox>
#include <QTabBar>
#include <QVBoxLayout>

ModelLclass::ModelLclass(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::ModelLclass), m_layout(new QVBoxLayout), m_calendar(new Calendar(this)),
      m_editor(new NumEditor), m_files(new reffile), m_links(new refurl)
{
    m_ui->setupUi(this);
    SetObj(RegSlot::ObjModelLclassPage, this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addWidget(this);
    SetObj(RegSlot::ObjModelLclassForm, m_layout);

    connect(m_ui->SDATEBTN, &QPushButton::clicked, this, &ModelLclass::SdateBtnProc);
    connect(m_ui->TDATEBTN, &QPushButton::clicked, this, &ModelLclass::TdateBtnProc);
    connect(m_ui->CDATEBTN, &QPushButton::clicked, this, &ModelLclass::CdateBtnProc);
    connect(m_ui->SDATE, &QLineEdit::textChanged, this, &ModelLclass::SdateChanged);
    connect(m_ui->CDATE, &QLineEdit::textChanged, this, &ModelLclass::CdateChanged);
    connect(m_ui->LCLASS, &QLineEdit::textChanged, this, &ModelLclass::LclassTextChange);
    connect(m_ui->ELEMENT, &QLineEdit::textChanged, this, &ModelLclass::LElementTextChange);
    connect(m_ui->SCLASSTREE, &QTreeWidget::itemDoubleClicked, this, &ModelLclass::SclassItemDblClick);

    m_calendar->SetDateEdit(m_ui->SDATE, m_ui->TDATE, m_ui->CDATE);
    m_calendar->SetDateButton(m_ui->SDATEBTN, m_ui->TDATEBTN, m_ui->CDATEBTN);
    m_calendar->SetType(DateRules::ModelClass);
    m_calendar->SetLevel(DateRules::LclassLevel);

    m_ui->TAB->removeTab(1);
    ClassPage::StyleTabBar(m_ui->TAB);
    ClassPage::StyleHeader(m_ui->SCLASSTREE, ":src/TBL_S.png", ":src/TBL_E.png");
    ClassPage::StyleHeader(m_ui->PR_TREE, ":src/TBL_P.png", ":src/TBL_V.png");
    m_selector = ClassPage::AddOutVarRow(m_ui->PR_TREE, GetStrVar(RegSlot::StrColOutVariable),
                                         GetStrVar(RegSlot::StrTagOutVar), GetStrVar(RegSlot::StrLabelYes),
                                         GetStrVar(RegSlot::StrLabelNo));
    connect(m_selector, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModelLclass::PropertyChanged);

    m_explainTitle = tr("lclass explain");
    m_editor->SetKind(10);
    m_editor->SetNumber(false);
    // Nothing saves this editor (the explanation is edited in the model's explanation tab): typing
    // in it was lost without a word.
    m_editor->SetWritable(false);
    SetObj(RegSlot::ObjModelLclassEditor, m_editor);
    m_ui->EXP_LAYOUT->addWidget(m_editor);
    m_ui->REF1->addWidget(m_files);
    m_links->SetOwnerKind(refurl::ModelKind);
    m_ui->REF2->addWidget(m_links);
    ClassPage::StyleCaptions({m_ui->SLNAME, m_ui->SELEMENT, m_ui->SSDATE, m_ui->STDATE, m_ui->SCDATE});
}

ModelLclass::~ModelLclass()
{
    if (GetObj<ModelLclass>(RegSlot::ObjModelLclassPage) == this) {
        SetObj<ModelLclass>(RegSlot::ObjModelLclassPage, nullptr);
        SetObj<QVBoxLayout>(RegSlot::ObjModelLclassForm, nullptr);
        SetObj<NumEditor>(RegSlot::ObjModelLclassEditor, nullptr);
    }
    // The rows belong to the small-class records: none may go down with the list.
    while (m_ui->SCLASSTREE->topLevelItemCount() > 0)
        m_ui->SCLASSTREE->takeTopLevelItem(0);
    delete m_ui;
}

model *ModelLclass::editor() const
{
    return GetObj<model>(RegSlot::ObjModel);
}

TreeItemData *ModelLclass::record() const
{
    return model::RecordOf(m_item);
}

bool ModelLclass::ignoresChange() const
{
    return GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating);
}

void ModelLclass::markChanged()
{
    if (model *m = editor()) {
        m->ModelChanged();
        m->SetModified(true);
        m->IsUpdateLocked();
    }
}

// The model editor shows the page under its update guard, so filling the fields marks nothing.
void ModelLclass::SetLclass(QTreeWidgetItem *item)
{
    TreeItemData *r = model::RecordOf(item);
    model *m = editor();
    if (!r || !m)
        return;
    m_item = item;
    m_ui->LCLASS->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    m_ui->ELEMENT->setText(m->ElementLabel(r));
    const bool elementEditable =
        GetBoolVar(RegSlot::FlagModelOwned) && m_ui->ELEMENT->text() != GetStrVar(RegSlot::StrLabelArbitary);
    m_ui->ELEMENT->setReadOnly(!elementEditable);
    m_ui->ELEMENT->setAttribute(Qt::WA_InputMethodEnabled, elementEditable);
    m_ui->SDATE->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->TDATE->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate)));
    m_ui->CDATE->setText(r->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)));
    listSclasses();
    const QString key = GetStrVar(RegSlot::StrAttrExpression);
    if (!r->flags[0]) {
        r->SetAttr(key, m->ReadClassText(r->GetAttr(GetStrVar(RegSlot::StrAttrID))));
        r->flags[0] = true;
    }
    m->ShowExplanation(r, m_explainTitle, r->GetAttr(key));
    showReferences(r);
    ClassPage::ShowOutVar(m_ui->PR_TREE, m_selector, r->GetAttr(GetStrVar(RegSlot::StrTagOutVar)));
    UpdateEditState();
    TreeColumnAdjustment(m_ui->SCLASSTREE);
    TreeColumnAdjustment(m_ui->PR_TREE);
}

// The rows belong to their small-class items: taken out here, never deleted.
void ModelLclass::listSclasses()
{
    while (m_ui->SCLASSTREE->topLevelItemCount() > 0)
        m_ui->SCLASSTREE->takeTopLevelItem(0);
    for (int i = 0; m_item && i < m_item->childCount(); ++i) {
        QTreeWidgetItem *sclass = m_item->child(i);
        auto *row =
            static_cast<QTreeWidgetItem *>(sclass->data(model::ColParam, Qt::UserRole).value<void *>());
        if (!row)
            continue;
        row->setText(0, sclass->text(model::ColSclass));
        row->setText(1, sclass->text(model::ColValue));
        row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(sclass)));
        m_ui->SCLASSTREE->addTopLevelItem(row);
    }
}

void ModelLclass::showReferences(const TreeItemData *r)
{
    model *m = editor();
    const bool owner = GetBoolVar(RegSlot::FlagModelOwned);
    m_files->SetEditable(owner);
    m_files->SetDirectory(m->MakeRefPath(r->GetAttr(GetStrVar(RegSlot::StrAttrID))));
    m_links->SetEditable(owner);
    m_links->SetElement(m_item);
}

void ModelLclass::UpdateEditState()
{
    const bool editable = GetBoolVar(RegSlot::FlagModelOwned) && !GetBoolVar(RegSlot::FlagModelReadOnly);
    const bool open = m_ui->CDATE->text().isEmpty();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepModelActions(editable, editable, editable && open, false, false, false);
        mw->RestoreModelActions();
    }
    if (editable && open)
        SetEditable();
    else
        SetReadOnly();
}

// A completion date can still be changed or withdrawn while the model itself is not completed.
void ModelLclass::SetReadOnly()
{
    m_ui->LCLASS->setReadOnly(true);
    m_ui->ELEMENT->setReadOnly(true);
    m_ui->SDATEBTN->setEnabled(false);
    m_ui->TDATEBTN->setEnabled(false);
    model *m = editor();
    m_ui->CDATEBTN->setEnabled(m && !m->IsCompleted() && GetBoolVar(RegSlot::FlagModelOwned));
    m_selector->setEnabled(false);
}

void ModelLclass::SetEditable()
{
    m_ui->LCLASS->setReadOnly(false);
    m_ui->LCLASS->setAttribute(Qt::WA_InputMethodEnabled);
    m_ui->ELEMENT->setReadOnly(!GetBoolVar(RegSlot::FlagModelOwned) ||
                               m_ui->ELEMENT->text() == GetStrVar(RegSlot::StrLabelArbitary));
    m_ui->SDATEBTN->setEnabled(true);
    m_ui->TDATEBTN->setEnabled(true);
    m_ui->CDATEBTN->setEnabled(true);
    m_selector->setEnabled(true);
}

void ModelLclass::SetCdateButton(bool enabled)
{
    m_ui->CDATEBTN->setEnabled(enabled);
}

// Only the large class on show is written: a page emptied for a new class must not empty the
// record of the class left.
void ModelLclass::SaveLclass(QTreeWidgetItem *item)
{
    TreeItemData *r = model::RecordOf(item);
    model *m = editor();
    if (!r || !m || item != m_item)
        return;
    r->SetAttr(GetStrVar(RegSlot::StrAttrName), m_ui->LCLASS->text());
    m->SetElementAttr(r, m_ui->ELEMENT->text());
    r->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), m_ui->SDATE->text());
    r->SetAttr(GetStrVar(RegSlot::StrAttrTargetDate), m_ui->TDATE->text());
    r->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
    r->flags[0] = true;
    r->SetAttr(GetStrVar(RegSlot::StrTagOutVar),
               ClassPage::OutVarValue(m_selector, GetStrVar(RegSlot::StrLabelNo)));
    m_item = item;
}

void ModelLclass::SetCdate()
{
    if (TreeItemData *r = record())
        r->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
}

void ModelLclass::ClearLclass()
{
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_item = nullptr;
    for (QLineEdit *field : {m_ui->LCLASS, m_ui->ELEMENT, m_ui->SDATE, m_ui->CDATE, m_ui->TDATE})
        field->clear();
    while (m_ui->SCLASSTREE->topLevelItemCount() > 0)
        m_ui->SCLASSTREE->takeTopLevelItem(0);
    // The panes must not keep a row that may be freed next.
    m_files->ClearList();
    m_links->ClearList();
    if (model *m = editor())
        m->DisableEmptyTabs();
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void ModelLclass::CloseLclass()
{
    m_item = nullptr;
    for (QLineEdit *field : {m_ui->LCLASS, m_ui->ELEMENT, m_ui->SDATE, m_ui->TDATE, m_ui->CDATE})
        field->clear();
    while (m_ui->SCLASSTREE->topLevelItemCount() > 0)
        m_ui->SCLASSTREE->takeTopLevelItem(0);
    m_selector->setCurrentIndex(0);
    m_editor->ClearText();
    m_files->ClearList();
    m_links->ClearList();
}

// The editor takes the row out with its parameters, records, IDs and page rows; model.xml
// follows at the next save, and the element's text file and reference folder stay on disk.
void ModelLclass::DeleteSclass(QTreeWidgetItem *item)
{
    model *m = editor();
    if (!m || model::GetItemLevel(item) != 2)
        return;
    m->RemoveClassItem(item);
    TreeColumnAdjustment(m->GetTree());
    m->SetModified(true);
    m->ModelChanged();
    m->IsUpdateLocked();
}

void ModelLclass::SetMinStartDate()
{
    QStringList starts;
    for (int i = 0; m_tree && i < m_tree->topLevelItemCount(); ++i) {
        if (const TreeItemData *r = model::RecordOf(m_tree->topLevelItem(i)))
            starts << r->GetAttr(GetStrVar(RegSlot::StrAttrStartDate));
    }
    SetStrVar(RegSlot::StrLclassEarliestStart, DateRules::Earliest(starts));
}

void ModelLclass::AdjustLayout()
{
    ClassPage::SplitSizes(m_ui->splitter_4, 0.6666666666666666);
    for (QSplitter *s : {m_ui->splitter_3, m_ui->splitter_2, m_ui->splitter})
        ClassPage::SplitSizes(s, 0.5);
}

void ModelLclass::SdateBtnProc()
{
    m_calendar->Open(DateRules::Start, m_item);
}

void ModelLclass::TdateBtnProc()
{
    m_calendar->Open(DateRules::Target, m_item);
}

void ModelLclass::CdateBtnProc()
{
    m_calendar->Open(DateRules::Completion, m_item);
}

void ModelLclass::SdateChanged(const QString &text)
{
    if (ignoresChange() || !m_item || !GetBoolVar(RegSlot::FlagModelOwned))
        return;
    record()->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), text);
    SetMinStartDate();
}

void ModelLclass::CdateChanged(const QString &text)
{
    if (ignoresChange() || !GetBoolVar(RegSlot::FlagModelOwned))
        return;
    if (text.isEmpty())
        SetEditable();
    else
        SetReadOnly();
}

void ModelLclass::LclassTextChange(const QString &text)
{
    if (ignoresChange() || !m_item)
        return;
    m_item->setText(model::ColLclass, text);
    markChanged();
}

void ModelLclass::LElementTextChange(const QString &text)
{
    if (ignoresChange() || !m_item)
        return;
    m_item->setText(model::ColValue, text);
    if (model *m = editor())
        TreeColumnAdjustment(m->GetTree());
    markChanged();
}

void ModelLclass::SclassItemDblClick(QTreeWidgetItem *item, int)
{
    auto *sclass =
        item ? static_cast<QTreeWidgetItem *>(item->data(0, Qt::UserRole).value<void *>()) : nullptr;
    if (sclass && m_tree)
        m_tree->setCurrentItem(sclass);
}

void ModelLclass::PropertyChanged(int)
{
    if (model *m = editor()) {
        m->ModelChanged();
        m->IsUpdateLocked();
    }
}

void ModelLclass::ForgetDeleteRow(const QTreeWidgetItem *going)
{
    if (m_deleteDiag)
        m_deleteDiag->ForgetRow(going);
}

void ModelLclass::OpenDeleteDiag(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!m_deleteDiag)
        m_deleteDiag = std::make_unique<DeleteLclassDiag>();
    m_deleteDiag->SetItem(tree, item);
    m_deleteDiag->show();
}
