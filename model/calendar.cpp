#include "model/calendar.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "model/model.h"
#include "model/modellclass.h"
#include "model/modelsclass.h"
#include "outdef/outdef.h"
#include "qa/qanda.h"
#include "ui_calendar.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QEvent>
#include <QLineEdit>
#include <QTreeWidget>

Calendar::Calendar(QWidget *parent) : QDialog(parent), m_ui(new Ui::Calendar)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->MSG->clear();
    m_ui->MSG->setReadOnly(true);
    m_ui->CALENDAR->installEventFilter(this);
    m_ui->CALENDAR->setGridVisible(true);
    connect(m_ui->OK, &QPushButton::clicked, this, &Calendar::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &Calendar::CancelProc);
    connect(m_ui->UNFINISHED, &QPushButton::clicked, this, &Calendar::UnfinishedProc);
}

Calendar::~Calendar()
{
    delete m_ui;
}

void Calendar::SetDate(const QString &date)
{
    m_preset = date;
}

void Calendar::SetDateButton(QAbstractButton *start, QAbstractButton *target, QAbstractButton *completion)
{
    m_buttons[0] = start;
    m_buttons[1] = target;
    m_buttons[2] = completion;
}

void Calendar::SetDateEdit(QLineEdit *start, QLineEdit *target, QLineEdit *completion)
{
    m_fields[0] = start;
    m_fields[1] = target;
    m_fields[2] = completion;
}

void Calendar::SetMember(MemberInfo *member)
{
    m_member = member;
}

void Calendar::SetItem(QTreeWidgetItem *item)
{
    m_item = item;
}

void Calendar::SetType(int type)
{
    m_type = type;
}

void Calendar::SetLevel(int level)
{
    m_level = level;
}

QDate Calendar::StrToDate(const QString &text)
{
    return DateRules::StrToDate(text);
}

void Calendar::SetMode(int mode)
{
    static const char *const titles[] = {QT_TR_NOOP("Set Start Date"), QT_TR_NOOP("Set Target Date"),
                                         QT_TR_NOOP("Set Completion Date")};
    if (mode < 0 || mode > 2)
        return;
    m_mode = mode;
    setWindowTitle(tr(titles[mode]));
    m_ui->UNFINISHED->setVisible(mode == 2 && m_type != DateRules::QandARow && m_fields[2] &&
                                 !m_fields[2]->text().isEmpty());
    const QDate date = m_preset.isEmpty() ? QDate::currentDate() : StrToDate(m_preset);
    m_ui->CALENDAR->setSelectedDate(date);
    m_ui->CALENDAR->setCurrentPage(date.year(), date.month());
    m_preset.clear();
    m_ui->CALENDAR->setFocus();
}

void Calendar::Open(int mode, QTreeWidgetItem *item)
{
    if (mode < DateRules::Start || mode > DateRules::Completion)
        return;
    SetItem(item);
    QString preset = ownDate(mode);
    if (preset.isEmpty() && mode > DateRules::Start)
        preset = ownDate(mode - 1);
    SetDate(preset);
    SetMode(mode);
    show();
}

void Calendar::SelectDate(const QDate &date)
{
    m_ui->CALENDAR->setSelectedDate(date);
}

QString Calendar::Message() const
{
    return m_ui->MSG->toPlainText();
}

// Every dated tree keeps a row's record in the row's first column.
TreeItemData *Calendar::recordOf(const QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
}

DateRules::Dates Calendar::datesOf(const QTreeWidgetItem *item) const
{
    const TreeItemData *r = recordOf(item);
    if (!r)
        return {};
    return {r->GetAttr(GetStrVar(RegSlot::StrAttrStartDate)),
            r->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate)),
            r->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate))};
}

// The rows below the dated object: a member's large-class instances, a large class's small
// classes, or the model's large classes.
QList<DateRules::Dates> Calendar::childDates() const
{
    const QTreeWidgetItem *parent = nullptr;
    if (m_type == DateRules::Member) {
        auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
        if (tab && m_member)
            tab->EnsureMemberRows(m_member->ID);
        parent = m_member ? m_member->InstanceItem : nullptr;
    } else if (m_level == DateRules::LclassLevel) {
        parent = m_item;
    } else if (m_type == DateRules::ModelClass && m_level == DateRules::ModelLevel) {
        if (auto *editor = GetObj<model>(RegSlot::ObjModel))
            parent = editor->GetTree()->invisibleRootItem();
    }
    QList<DateRules::Dates> dates;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        dates << datesOf(parent->child(i));
    return dates;
}

DateRules::Context Calendar::context() const
{
    DateRules::Context c;
    c.type = m_type;
    c.level = m_level;
    c.start = ownDate(DateRules::Start);
    c.target = ownDate(DateRules::Target);
    if (m_type == DateRules::Member || m_type == DateRules::InstanceClass ||
        (m_type == DateRules::ModelClass && m_level != DateRules::SclassLevel))
        c.children = childDates();
    if (m_level == DateRules::SclassLevel && m_item)
        c.parent = datesOf(m_item->parent());
    if (m_member) {
        c.memberStart = m_member->StartDate;
        c.memberTarget = m_member->TargetDate;
        c.memberEarliestStart = m_member->EarliestStart;
        c.memberLatestTarget = m_member->LatestTarget;
    }
    c.lclassEarliestStart = GetStrVar(RegSlot::StrLclassEarliestStart);
    c.lclassLatestTarget = GetStrVar(RegSlot::StrLclassLatestTarget);
    c.modelStart = GetStrVar(RegSlot::StrModelStartDate);
    c.modelTarget = GetStrVar(RegSlot::StrModelTargetDate);
    return c;
}

void Calendar::keepSummary(const DateRules::Context &c)
{
    if ((m_type == DateRules::Member || m_type == DateRules::InstanceClass) && m_member) {
        m_member->StartDate = c.memberStart;
        m_member->TargetDate = c.memberTarget;
        m_member->EarliestStart = c.memberEarliestStart;
        m_member->LatestTarget = c.memberLatestTarget;
    } else if (m_type == DateRules::ModelClass) {
        SetStrVar(RegSlot::StrLclassEarliestStart, c.lclassEarliestStart);
        SetStrVar(RegSlot::StrLclassLatestTarget, c.lclassLatestTarget);
        SetStrVar(RegSlot::StrModelStartDate, c.modelStart);
        SetStrVar(RegSlot::StrModelTargetDate, c.modelTarget);
    }
}

// A question-and-answer row keeps its dates in its columns; everything else in the owner's
// fields, any of which may be missing.
QString Calendar::ownDate(int mode) const
{
    static const int columns[3] = {QandAStart, QandATarget, QandACompletion};
    if (m_type == DateRules::QandARow)
        return m_item ? m_item->text(columns[mode]) : QString();
    return m_fields[mode] ? m_fields[mode]->text() : QString();
}

void Calendar::writeOwn(int mode, const QString &text)
{
    static const int columns[3] = {QandAStart, QandATarget, QandACompletion};
    static const int attrs[3] = {RegSlot::StrAttrStartDate, RegSlot::StrAttrTargetDate,
                                 RegSlot::StrAttrCompletionDate};
    if (m_type != DateRules::QandARow) {
        if (m_fields[mode])
            m_fields[mode]->setText(text);
        return;
    }
    if (!m_item)
        return;
    m_item->setText(columns[mode], text);
    if (TreeItemData *r = recordOf(m_item))
        r->SetAttr(GetStrVar(attrs[mode]), text);
}

void Calendar::NotifyChanged()
{
    switch (m_type) {
    case DateRules::Member:
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->SetModify();
        break;
    case DateRules::InstanceClass:
        if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->SetModify();
        if (m_member)
            m_member->InstanceModified = true;
        break;
    case DateRules::ModelClass:
        if (auto *editor = GetObj<model>(RegSlot::ObjModel)) {
            editor->ModelChanged();
            editor->IsUpdateLocked();
        }
        break;
    case DateRules::OutputDefinition:
        if (auto *editor = GetObj<outdef>(RegSlot::ObjOutdef))
            editor->SetChanged();
        break;
    case DateRules::QandARow:
        if (m_item && m_item->treeWidget())
            TreeColumnAdjustment(m_item->treeWidget());
        if (auto *panel = GetObj<QandA>(RegSlot::ObjQandA))
            panel->SetModify();
        break;
    default:
        break;
    }
}

void Calendar::showMember()
{
    if (m_member && m_member->Page)
        m_member->Page->ShowUser();
}

// The page that shows a model class decides its editability again once its dates changed.
void Calendar::updatePage()
{
    if (m_type != DateRules::ModelClass)
        return;
    if (m_level == DateRules::LclassLevel) {
        if (auto *page = GetObj<ModelLclass>(RegSlot::ObjModelLclassPage))
            page->UpdateEditState();
    } else if (m_level == DateRules::SclassLevel) {
        if (auto *page = GetObj<ModelSClass>(RegSlot::ObjModelSclassPage))
            page->UpdateEditState();
    }
}

// Only the notification marks the owner changed: setting its modified flag here instead would
// make the model editor believe the save flag is already up.
void Calendar::writeCompletion(const QString &text)
{
    writeOwn(DateRules::Completion, text);
    completionChanged(true);
    if (m_type == DateRules::ModelClass) {
        if (m_level == DateRules::LclassLevel) {
            if (auto *page = GetObj<ModelLclass>(RegSlot::ObjModelLclassPage))
                page->SetCdate();
        }
        updatePage();
    }
    NotifyChanged();
}

// A member's completed mark and an instance class's row follow its completion date.
void Calendar::completionChanged(bool completed)
{
    if (m_type == DateRules::Member) {
        if (m_member)
            m_member->Completed = completed;
        showMember();
    } else if (m_type == DateRules::InstanceClass) {
        if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->RefreshCurrentItem();
    }
}

void Calendar::OkProc()
{
    m_ui->MSG->clear();
    const QDate chosen = m_ui->CALENDAR->selectedDate();
    if (m_type == DateRules::ModelClass && m_level == DateRules::ModelLevel &&
        m_mode == DateRules::Completion) {
        // The large class on show may hold a completion date its record has not taken yet.
        auto *page = GetObj<ModelLclass>(RegSlot::ObjModelLclassPage);
        auto *editor = GetObj<model>(RegSlot::ObjModel);
        if (page && editor && editor->GetCurrentItem() && !editor->GetCurrentItem()->parent())
            page->SetCdate();
    }
    DateRules::Context c = context();
    const QString refused = DateRules::Check(m_mode, chosen, &c);
    if (!refused.isEmpty()) {
        m_ui->MSG->appendPlainText(refused);
        return;
    }
    keepSummary(c);
    const QString value = DateRules::DateText(chosen);
    const bool changed = value != ownDate(m_mode);
    switch (m_mode) {
    case DateRules::Start:
        if (changed)
            NotifyChanged();
        writeOwn(DateRules::Start, value);
        break;
    case DateRules::Target:
        if (changed)
            NotifyChanged();
        writeOwn(DateRules::Target, value);
        NotifyChanged();
        break;
    default:
        writeCompletion(value);
        break;
    }
    m_ui->MSG->clear();
    accept();
}

void Calendar::CancelProc()
{
    m_ui->MSG->clear();
    reject();
}

void Calendar::UnfinishedProc()
{
    for (QAbstractButton *button : m_buttons) {
        if (button)
            button->setEnabled(true);
    }
    if (m_fields[2])
        m_fields[2]->clear();
    completionChanged(false);
    // A class reopened reopens the model it belongs to.
    if (m_type == DateRules::ModelClass && m_level != DateRules::ModelLevel) {
        if (auto *editor = GetObj<model>(RegSlot::ObjModel))
            editor->ClearCompletion();
        if (TreeItemData *r = recordOf(m_item))
            r->SetAttr(GetStrVar(RegSlot::StrAttrCompletionDate), QString());
        updatePage();
    }
    NotifyChanged();
    m_ui->MSG->clear();
    accept();
}

bool Calendar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->CALENDAR && event->type() == QEvent::MouseButtonRelease)
        OkProc();
    return QDialog::eventFilter(watched, event);
}

void Calendar::closeEvent(QCloseEvent *event)
{
    m_ui->MSG->clear();
    QDialog::closeEvent(event);
}
