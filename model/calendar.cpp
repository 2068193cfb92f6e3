#include "model/calendar.h"

#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "model/daterules.h"
#include "ui_calendar.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QEvent>
#include <QLineEdit>

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

void Calendar::SetType(int type)
{
    m_type = type;
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
    m_ui->UNFINISHED->setVisible(mode == 2 && m_type != 4 && m_fields[2] && !m_fields[2]->text().isEmpty());
    const QDate date = m_preset.isEmpty() ? QDate::currentDate() : StrToDate(m_preset);
    m_ui->CALENDAR->setSelectedDate(date);
    m_ui->CALENDAR->setCurrentPage(date.year(), date.month());
    m_preset.clear();
    m_ui->CALENDAR->setFocus();
}

void Calendar::SelectDate(const QDate &date)
{
    m_ui->CALENDAR->setSelectedDate(date);
}

QString Calendar::Message() const
{
    return m_ui->MSG->toPlainText();
}

void Calendar::notifyChanged()
{
    if (m_type == 0) {
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->SetModify();
    }
}

void Calendar::showMember()
{
    if (m_type == 0 && m_member && m_member->Page)
        m_member->Page->ShowUser();
}

void Calendar::writeDate(QLineEdit *field, const QString &text)
{
    if (field)
        field->setText(text);
}

void Calendar::OkProc()
{
    m_ui->MSG->clear();
    const QDate chosen = m_ui->CALENDAR->selectedDate();
    auto text = [this](int i) { return m_fields[i] ? m_fields[i]->text() : QString(); };
    const QString refused = DateRules::CheckOrder(m_mode, chosen, text(0), text(1), m_type != 3);
    if (!refused.isEmpty()) {
        m_ui->MSG->appendPlainText(refused);
        return;
    }
    const QString value = DateRules::DateText(chosen);
    const bool changed = value != text(m_mode);
    switch (m_mode) {
    case DateRules::Start:
        if (changed)
            notifyChanged();
        writeDate(m_fields[0], value);
        break;
    case DateRules::Target:
        if (m_type == 0 && m_member)
            m_member->TargetDate = value;
        if (changed)
            notifyChanged();
        writeDate(m_fields[1], value);
        notifyChanged();
        break;
    default:
        // Only a model's own dates mark the model changed; a member's would make save-all
        // rewrite a model definition that may belong to someone else.
        if (changed && m_type == 2)
            SetBoolVar(RegSlot::FlagModelModified, true);
        writeDate(m_fields[2], value);
        if (m_type == 0 && m_member)
            m_member->Completed = true;
        showMember();
        notifyChanged();
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
    writeDate(m_fields[2], QString());
    if (m_type == 0 && m_member)
        m_member->Completed = false;
    showMember();
    notifyChanged();
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
