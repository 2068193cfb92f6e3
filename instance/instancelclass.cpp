#include "instance/instancelclass.h"

#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_instancelclass.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTabBar>

namespace
{
const QString kCaption = QStringLiteral("background-color: #666666;color: #FFFFFF");
} // namespace

InstanceLclass::InstanceLclass(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::InstanceLclass), m_explain(new NumEditor)
{
    m_ui->setupUi(this);
    delete m_ui->TAB->widget(1);
    m_ui->TAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->TAB->tabBar()->setTabTextColor(0, Qt::white);
    StyleHeader(m_ui->SCLASSTREE, SharedIcon::TblS, SharedIcon::TblE);
    StyleHeader(m_ui->PR_TREE, SharedIcon::TblP, SharedIcon::TblV);

    connect(m_ui->SDATEBTN, &QPushButton::clicked, this, &InstanceLclass::SdateBtnProc);
    connect(m_ui->TDATEBTN, &QPushButton::clicked, this, &InstanceLclass::TdateBtnProc);
    connect(m_ui->CDATEBTN, &QPushButton::clicked, this, &InstanceLclass::CdateBtnProc);
    connect(m_ui->SDATE, &QLineEdit::textChanged, this, &InstanceLclass::SdateChanged);
    connect(m_ui->TDATE, &QLineEdit::textChanged, this, &InstanceLclass::TdateChanged);
    connect(m_ui->CDATE, &QLineEdit::textChanged, this, &InstanceLclass::CdateChanged);
    m_parts.SetupCalendar(m_ui->SDATE, m_ui->TDATE, m_ui->CDATE, m_ui->SDATEBTN, m_ui->TDATEBTN,
                          m_ui->CDATEBTN, DateRules::LclassLevel);
    connect(m_ui->SCLASSTREE, &QTreeWidget::itemClicked, this, &InstanceLclass::TreeDblClicked);
    connect(m_ui->ELEMENT, &QLineEdit::textChanged, this, &InstanceLclass::ElementChanged);
    for (QLineEdit *field : {m_ui->SDATE, m_ui->TDATE, m_ui->CDATE, m_ui->LCLASS})
        field->setReadOnly(true);

    m_explain->SetKind(10);
    m_explain->SetEditItem(nullptr);
    m_explain->SetNumber(false);
    // Nothing saves this editor (the explanation is edited in the tab's explanation editor).
    m_explain->SetWritable(false);
    SetObj(RegSlot::ObjInstLclassEditor, m_explain);
    m_ui->LOUT->addWidget(m_explain);

    m_parts.Build(m_ui->PR_TREE, tr("OUTVAR NAME"));
    connect(m_parts.scope, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &InstanceLclass::ScopeChanged);
    connect(m_parts.progress, qOverload<int>(&QSpinBox::valueChanged), this,
            &InstanceLclass::ProgressRateChanged);
    connect(m_parts.hours, qOverload<int>(&QSpinBox::valueChanged), this,
            &InstanceLclass::EstimatedHoursChanged);
    connect(m_parts.outVar, &QLineEdit::textChanged, this, &InstanceLclass::OutVarChanged);
    m_parts.SetupRefs(m_ui->REF1, m_ui->REF2);
    for (QLabel *label : {m_ui->SLNAME, m_ui->SLELM, m_ui->SSDATE, m_ui->STDATE, m_ui->SCDATE})
        label->setStyleSheet(kCaption);
}

InstanceLclass::~InstanceLclass()
{
    if (GetObj<NumEditor>(RegSlot::ObjInstLclassEditor) == m_explain)
        SetObj<NumEditor>(RegSlot::ObjInstLclassEditor, nullptr);
    delete m_ui;
}

bool InstanceLclass::guarded() const
{
    return m_filling || !m_current || GetBoolVar(RegSlot::FlagUpdating);
}

void InstanceLclass::SetFlags(QTreeWidgetItem *item)
{
    m_own = m_memberCompleted = m_completed = m_elementEditable = false;
    const TreeItemData *record = deftab::RecordOf(item);
    deftab *tab = ClassPaneParts::Tab();
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    const MemberInfo *m = record && table ? table->value(record->name.toInt()) : nullptr;
    m_own = m && tab && tab->IsWritableMember(record->name.toInt());
    if (!m_own)
        return;
    m_memberCompleted = m->Completed;
    m_elementEditable = tab->IsArbitraryScope(item);
    m_completed = !record->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)).isEmpty();
}

void InstanceLclass::SetLclass(QTreeWidgetItem *item)
{
    TreeItemData *record = deftab::RecordOf(item);
    deftab *tab = ClassPaneParts::Tab();
    if (!record || !tab)
        return;
    m_filling = true;
    m_current = item;
    m_parts.calendar->SetItem(item);
    SetFlags(item);
    m_member = record->name.toInt();
    tab->SetExplanationRecord(record);
    m_ui->LCLASS->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    m_ui->ELEMENT->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrElement)));
    m_ui->SDATE->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->TDATE->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate)));
    m_ui->CDATE->setText(record->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)));
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *companion = deftab::LinkedRow(item->child(i), 2);
        if (!companion || companion->treeWidget())
            continue;
        companion->setText(0, item->child(i)->text(2));
        companion->setText(1, item->child(i)->text(4));
        m_ui->SCLASSTREE->addTopLevelItem(companion);
    }
    const QString text = tab->GetItemExplanation(item);
    tab->ShowExplanation(record, tr("lclass explain"), text);
    SetLclassProperty(record);
    TreeColumnAdjustment(m_ui->SCLASSTREE);
    TreeColumnAdjustment(m_ui->PR_TREE);
    SetAccess();
    m_parts.ShowRefs(item, editable());
    m_filling = false;
}

void InstanceLclass::SetAccess()
{
    deftab *tab = ClassPaneParts::Tab();
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    bool actions[4] = {false, false, false, false};
    if (!m_own || m_memberCompleted) {
        m_ui->ELEMENT->setReadOnly(true);
        for (QPushButton *button : {m_ui->SDATEBTN, m_ui->TDATEBTN, m_ui->CDATEBTN})
            button->setEnabled(false);
    } else if (m_completed) {
        m_ui->ELEMENT->setReadOnly(true);
        m_ui->SDATEBTN->setEnabled(false);
        m_ui->TDATEBTN->setEnabled(false);
        m_ui->CDATEBTN->setEnabled(true);
        actions[0] = true;
    } else {
        m_ui->ELEMENT->setReadOnly(!m_elementEditable);
        if (m_elementEditable)
            m_ui->ELEMENT->setAttribute(Qt::WA_InputMethodEnabled, true);
        for (QPushButton *button : {m_ui->SDATEBTN, m_ui->TDATEBTN, m_ui->CDATEBTN})
            button->setEnabled(true);
        actions[0] = actions[1] = actions[2] = true;
    }
    if (tab)
        tab->SetExplanationReadOnly(!editable());
    if (mw)
        mw->KeepInstanceActions(actions[0], actions[1], actions[2], actions[3]);
}

void InstanceLclass::SetLclassProperty(TreeItemData *record)
{
    deftab *tab = ClassPaneParts::Tab();
    if (!tab || tab->HasNoModelItem()) {
        const int none = m_parts.scope->findText(GetStrVar(RegSlot::StrLabelNone));
        if (none >= 0)
            m_parts.scope->setCurrentIndex(none);
        m_parts.scope->setEnabled(false);
        m_parts.progress->setValue(0);
        m_parts.hours->setValue(0);
        SetPropertyState();
        return;
    }
    m_parts.ShowScope(m_current);
    m_parts.ShowProgress(record, !m_ui->CDATE->text().isEmpty());
    m_parts.ShowOutVar(m_current, editable());
    SetPropertyState();
}

void InstanceLclass::SetPropertyState()
{
    const bool on = editable();
    for (QWidget *w : {static_cast<QWidget *>(m_parts.scope), static_cast<QWidget *>(m_parts.progress),
                       static_cast<QWidget *>(m_parts.hours), static_cast<QWidget *>(m_parts.outVar)})
        w->setEnabled(on);
    if (on) {
        m_parts.progress->setMaximum(99);
        m_parts.outVar->setAttribute(Qt::WA_InputMethodEnabled, true);
    } else if (m_own) {
        m_parts.progress->setMaximum(100);
        m_parts.progress->setValue(100);
    }
}

void InstanceLclass::UpdateLclass()
{
    if (!m_current)
        return;
    SetFlags(m_current);
    const TreeItemData *modelRecord = ClassPaneParts::ModelRecordOf(m_current);
    const bool outVarFree =
        !modelRecord || modelRecord->GetAttr(GetStrVar(RegSlot::StrTagOutVar)).toInt() == 0;
    m_parts.outVar->setReadOnly(!(outVarFree && editable()));
    SetPropertyState();
    SetAccess();
}

void InstanceLclass::SaveLclass(QTreeWidgetItem *item, int)
{
    TreeItemData *record = deftab::RecordOf(item);
    deftab *tab = ClassPaneParts::Tab();
    // Only the row on show: fields of another row would overwrite this one's dates.
    if (!record || item != m_current || !tab)
        return;
    record->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), m_ui->SDATE->text());
    record->SetAttr(GetStrVar(RegSlot::StrAttrTargetDate), m_ui->TDATE->text());
    record->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
    if (tab->IsExplanationModified()) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), tab->GetExplanationText());
        record->TextChanged() = true;
    }
    if (deftab::LinkedRow(item, 4))
        m_parts.CommitProperties(record);
}

void InstanceLclass::emptyFields()
{
    m_filling = true;
    for (QLineEdit *field : {m_ui->LCLASS, m_ui->ELEMENT, m_ui->SDATE, m_ui->TDATE, m_ui->CDATE})
        field->clear();
    while (m_ui->SCLASSTREE->topLevelItemCount() > 0)
        m_ui->SCLASSTREE->takeTopLevelItem(0);
    m_filling = false;
}

void InstanceLclass::ClearCurrent()
{
    m_current = nullptr;
    emptyFields();
}

// The workspace is closing and its rows are about to be freed: nothing of them is kept.
void InstanceLclass::ClearPane()
{
    m_current = nullptr;
    emptyFields();
    m_explain->clear();
    m_parts.ReleaseRow(m_parts.calendar->Item());
    m_parts.ClearRefs();
}

void InstanceLclass::ReleaseRow(QTreeWidgetItem *row)
{
    if (m_current == row)
        ClearCurrent();
    m_parts.ReleaseRow(row);
}

void InstanceLclass::TakeSclassItem(QTreeWidgetItem *companion)
{
    const int index = companion ? m_ui->SCLASSTREE->indexOfTopLevelItem(companion) : -1;
    if (index >= 0)
        m_ui->SCLASSTREE->takeTopLevelItem(index);
}

QString InstanceLclass::GetOutVar() const
{
    return m_parts.outVar->text();
}

void InstanceLclass::SplitterAdjust()
{
    SplitSizes(m_ui->splitter_4, 2, 3);
    for (QSplitter *splitter : {m_ui->splitter_3, m_ui->splitter_2, m_ui->splitter})
        SplitSizes(splitter, 1, 2);
}

void InstanceLclass::ElementChanged(const QString &text)
{
    if (guarded() || GetBoolVar(RegSlot::FlagBusy))
        return;
    m_current->setText(4, text);
    deftab::RecordOf(m_current)->SetAttr(GetStrVar(RegSlot::StrAttrElement), text);
    if (deftab *tab = ClassPaneParts::Tab()) {
        tab->UserColumnAdjustment(QModelIndex());
        tab->SetDocumentRefresh(true);
    }
    MarkInstanceModified(m_member);
}

void InstanceLclass::storeAttr(int slot, const QString &text)
{
    deftab::RecordOf(m_current)->SetAttr(GetStrVar(slot), text);
    MarkInstanceModified(m_member);
}

void InstanceLclass::SdateChanged(const QString &text)
{
    if (guarded() || GetBoolVar(RegSlot::FlagBusy))
        return;
    deftab::RecordOf(m_current)->SetAttr(GetStrVar(RegSlot::StrAttrStartDate), text);
    SetMemberStartDate();
    MarkInstanceModified(m_member);
}

void InstanceLclass::TdateChanged(const QString &text)
{
    if (!guarded() && !GetBoolVar(RegSlot::FlagBusy))
        storeAttr(RegSlot::StrAttrTargetDate, text);
}

void InstanceLclass::CdateChanged(const QString &text)
{
    if (!guarded() && !GetBoolVar(RegSlot::FlagBusy))
        storeAttr(RegSlot::StrAttrCompletionDate, text);
}

void InstanceLclass::ProgressRateChanged(int value)
{
    if (!guarded())
        storeAttr(RegSlot::StrAttrProgressRate, QString::number(value));
}

void InstanceLclass::EstimatedHoursChanged(int value)
{
    if (!guarded())
        storeAttr(RegSlot::StrAttrEstimatedHours, QString::number(value));
}

void InstanceLclass::OutVarChanged(const QString &)
{
    if (!guarded())
        MarkInstanceModified(m_member);
}

void InstanceLclass::ScopeChanged(int index)
{
    if (!guarded() && m_parts.ChangeScope(m_current, index))
        MarkInstanceModified(m_member);
}

void InstanceLclass::SdateBtnProc()
{
    m_parts.OpenCalendar(DateRules::Start, m_current, m_member);
}

void InstanceLclass::TdateBtnProc()
{
    m_parts.OpenCalendar(DateRules::Target, m_current, m_member);
}

void InstanceLclass::CdateBtnProc()
{
    m_parts.OpenCalendar(DateRules::Completion, m_current, m_member);
}

void InstanceLclass::TreeDblClicked(QTreeWidgetItem *item, int)
{
    QTreeWidgetItem *row =
        item ? static_cast<QTreeWidgetItem *>(item->data(0, Qt::UserRole).value<void *>()) : nullptr;
    if (row && m_memberTree)
        m_memberTree->setCurrentItem(row);
}

// The member's earliest large-class start follows its large classes once it is known.
void InstanceLclass::SetMemberStartDate()
{
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    MemberInfo *m = table ? table->value(m_member) : nullptr;
    QTreeWidgetItem *memberRow = m_current ? m_current->parent() : nullptr;
    if (!m || m->EarliestStart.isEmpty() || !memberRow)
        return;
    QString earliest;
    QDate earliestDate;
    for (int i = 0; i < memberRow->childCount(); ++i) {
        const QString text =
            deftab::RecordOf(memberRow->child(i))
                ? deftab::RecordOf(memberRow->child(i))->GetAttr(GetStrVar(RegSlot::StrAttrStartDate))
                : QString();
        const QDate date = Calendar::StrToDate(text);
        if (text.isEmpty() || !date.isValid())
            continue;
        if (earliest.isEmpty() || date < earliestDate) {
            earliest = text;
            earliestDate = date;
        }
    }
    if (!earliest.isEmpty())
        m->EarliestStart = earliest;
}
