#include "instance/classpaneparts.h"

#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "instance/classinstanceindex.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/calendar.h"
#include "model/model.h"

#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>

void MarkInstanceModified(int member)
{
    struct Registry : protected virtual globalvar {
        using globalvar::GetObj;
    } registry;
    if (auto *tab = registry.GetObj<deftab>(RegSlot::ObjDeftab))
        tab->SetModify();
    if (auto *mgr = registry.GetObj<manager>(RegSlot::ObjManager))
        mgr->SetInstanceModify(member);
}

ClassPaneParts::ClassPaneParts() = default;

ClassPaneParts::~ClassPaneParts()
{
    delete calendar;
    delete files;
    delete links;
}

deftab *ClassPaneParts::Tab()
{
    struct Registry : protected virtual globalvar {
        using globalvar::GetObj;
    } registry;
    return registry.GetObj<deftab>(RegSlot::ObjDeftab);
}

TreeItemData *ClassPaneParts::ModelRecordOf(const QTreeWidgetItem *row)
{
    return model::RecordOf(deftab::LinkedRow(deftab::LinkedRow(row, 4), 0));
}

QString ClassPaneParts::ScopePath(QTreeWidgetItem *row)
{
    return deftab::Level(row) == 2 ? deftab::MakeIdPath(row->parent(), row) : row->text(4);
}

void ClassPaneParts::Build(QTreeWidget *tree, const QString &outVarCaption)
{
    scope = new QComboBox;
    for (int slot : {RegSlot::StrColFirst + 1, RegSlot::StrColFirst + 2, RegSlot::StrColFirst + 3})
        scope->addItem(GetStrVar(slot));
    progress = new QSpinBox;
    progress->setRange(0, 99);
    hours = new QSpinBox;
    hours->setRange(0, 10000);
    outVar = new QLineEdit;
    const QString captions[4] = {GetStrVar(RegSlot::StrColFirst), GetStrVar(RegSlot::StrColFirst + 27),
                                 GetStrVar(RegSlot::StrColFirst + 28), outVarCaption};
    QWidget *widgets[4] = {scope, progress, hours, outVar};
    for (int i = 0; i < 4; ++i) {
        auto *row = new QTreeWidgetItem(tree);
        row->setText(0, captions[i]);
        tree->setItemWidget(row, 1, widgets[i]);
    }
}

void ClassPaneParts::SetupCalendar(QLineEdit *start, QLineEdit *target, QLineEdit *completion,
                                   QAbstractButton *startBtn, QAbstractButton *targetBtn,
                                   QAbstractButton *completionBtn, int level)
{
    calendar = new Calendar;
    calendar->SetDateEdit(start, target, completion);
    calendar->SetDateButton(startBtn, targetBtn, completionBtn);
    calendar->SetType(DateRules::InstanceClass);
    calendar->SetLevel(level);
}

void ClassPaneParts::SetupRefs(QLayout *fileLayout, QLayout *linkLayout)
{
    files = new reffile;
    links = new refurl;
    links->SetOwnerKind(1);
    fileLayout->addWidget(files);
    linkLayout->addWidget(links);
}

void ClassPaneParts::ShowScope(QTreeWidgetItem *row)
{
    const TreeItemData *record = deftab::RecordOf(row);
    scope->setItemIcon(0, QIcon());
    const int value = record ? record->GetAttr(GetStrVar(RegSlot::StrAttrScope)).toInt() : 0;
    if (value != 0) {
        scope->setCurrentIndex(value == 1 ? 1 : 2);
        return;
    }
    // A global element is counted over every member's instances.
    if (deftab *tab = Tab())
        tab->EnsureAllMemberRows();
    const ClassInstanceIndex *index = deftab::ClassIndexOf(deftab::LinkedRow(row, 4));
    if (index && index->Count(ScopePath(row)) >= 2)
        scope->setItemIcon(0, SharedIcon::Get(SharedIcon::Double));
    scope->setCurrentIndex(0);
}

// Progress is 100 only for a completed class; otherwise at most 99.
void ClassPaneParts::ShowProgress(TreeItemData *record, bool completed)
{
    int rate = record->GetAttr(GetStrVar(RegSlot::StrAttrProgressRate)).toInt();
    if (completed && rate != 100) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrProgressRate), QStringLiteral("100"));
        rate = 100;
    }
    progress->setMaximum(completed ? 100 : 99);
    progress->setValue(rate);
    hours->setValue(record->GetAttr(GetStrVar(RegSlot::StrAttrEstimatedHours)).toInt());
}

void ClassPaneParts::ShowOutVar(QTreeWidgetItem *row, bool editable)
{
    const TreeItemData *modelRecord = ModelRecordOf(row);
    if (modelRecord && modelRecord->GetAttr(GetStrVar(RegSlot::StrTagOutVar)).toInt() != 0) {
        outVar->clear();
        outVar->setReadOnly(true);
    } else {
        const TreeItemData *record = deftab::RecordOf(row);
        outVar->setText(record ? record->GetAttr(GetStrVar(RegSlot::StrTagOutVar)) : QString());
    }
    outVar->setEnabled(editable);
    if (editable)
        outVar->setAttribute(Qt::WA_InputMethodEnabled, true);
}

bool ClassPaneParts::ChangeScope(QTreeWidgetItem *row, int n)
{
    TreeItemData *record = deftab::RecordOf(row);
    if (!record)
        return false;
    const QString scopeAttr = GetStrVar(RegSlot::StrAttrScope);
    const int old = record->GetAttr(scopeAttr).toInt();
    if (n == old)
        return false;
    if (deftab *tab = Tab())
        tab->EnsureAllMemberRows();
    ClassInstanceIndex *index = deftab::ClassIndexOf(deftab::LinkedRow(row, 4));
    const QString path = ScopePath(row);
    const QString key = deftab::KeyOf(record, GetStrVar(RegSlot::StrAttrID));
    bool others = false;
    if (index && old == 0 && index->Remove(path, key) && index->Count(path) == 1) {
        deftab *tab = Tab();
        if (QTreeWidgetItem *other = tab ? tab->FindTreeItem(index->byElement.value(path).first()) : nullptr)
            other->setIcon(1, SharedIcon::Get(SharedIcon::Global));
    }
    // The key is registered on entering, so that leaving and deleting find it.
    if (index && n == 0) {
        others = index->Count(path) > 0;
        index->Add(path, key);
    }
    const SharedIcon::Id icons[3] = {SharedIcon::Global, SharedIcon::Local, SharedIcon::None};
    if (others)
        row->setIcon(1, SharedIcon::Get(SharedIcon::EGlobal));
    else if (n >= 0 && n < 3)
        row->setIcon(1, SharedIcon::Get(icons[n]));
    record->SetAttr(scopeAttr, QString::number(n));
    return true;
}

void ClassPaneParts::CommitProperties(TreeItemData *record) const
{
    record->SetAttr(GetStrVar(RegSlot::StrAttrScope), QString::number(scope->currentIndex()));
    record->SetAttr(GetStrVar(RegSlot::StrAttrProgressRate), QString::number(progress->value()));
    record->SetAttr(GetStrVar(RegSlot::StrAttrEstimatedHours), QString::number(hours->value()));
    record->SetAttr(GetStrVar(RegSlot::StrTagOutVar), outVar->text());
}

void ClassPaneParts::ShowRefs(QTreeWidgetItem *row, bool editable)
{
    const TreeItemData *record = deftab::RecordOf(row);
    deftab *tab = Tab();
    if (!record || !tab)
        return;
    files->setEnabled(true);
    links->setEnabled(true);
    files->SetEditable(editable ? 1 : 0);
    files->SetDirectory(tab->GetReferencePath(record->name, record->GetAttr(GetStrVar(RegSlot::StrAttrID))));
    links->SetEditable(editable ? 1 : 0);
    links->SetElement(row);
}

void ClassPaneParts::ClearRefs(bool enabled)
{
    files->ClearList();
    links->ClearList();
    files->setEnabled(enabled);
    links->setEnabled(enabled);
}

void ClassPaneParts::OpenCalendar(int mode, QTreeWidgetItem *row, int member)
{
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    calendar->SetMember(mgr ? mgr->GetMemberInfo(member) : nullptr);
    calendar->Open(mode, row);
}

// The date dialog and the link pane keep the row they show; a deleted row must leave both.
void ClassPaneParts::ReleaseRow(QTreeWidgetItem *row)
{
    if (calendar->Item() == row) {
        calendar->hide();
        calendar->SetItem(nullptr);
    }
    if (links->Element() == row)
        ClearRefs();
}

// Shared by both panes: white captions on grey with the header icons.
void StyleHeader(QTreeWidget *tree, SharedIcon::Id first, SharedIcon::Id second)
{
    QTreeWidgetItem *header = tree->headerItem();
    const SharedIcon::Id icons[2] = {first, second};
    for (int c = 0; c < 2; ++c) {
        header->setForeground(c, QColor(QStringLiteral("#FFFFFF")));
        header->setBackground(c, QColor(QStringLiteral("#666666")));
        header->setIcon(c, SharedIcon::Get(icons[c]));
    }
}

// Two thirds and the rest, or halves, of a splitter's range.
void SplitSizes(QSplitter *splitter, int numerator, int denominator)
{
    int low = 0;
    int high = 0;
    splitter->getRange(1, &low, &high);
    const int first = high * numerator / denominator;
    splitter->setSizes({first, high - first});
}
