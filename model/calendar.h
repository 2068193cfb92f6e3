#pragma once

#include "core/globalvar.h"
#include "model/daterules.h"

#include <QDate>
#include <QDialog>

namespace Ui
{
class Calendar;
}
class QAbstractButton;
class QLineEdit;
class QTreeWidgetItem;
class TreeItemData;
struct MemberInfo;

// The date dialog that every dated editor owns: picks a start, target or completion date, checks
// it against the object's other dates and the dates above and below it, writes it into the
// owner's date field and keeps the member's and the model's summary dates up to date.
class Calendar final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    // The question tree's date columns.
    enum QandAColumn { QandAStart = 4, QandATarget = 6, QandACompletion = 7 };

    explicit Calendar(QWidget *parent = nullptr);
    ~Calendar() override;

    void SetDate(const QString &date);
    void SetDateButton(QAbstractButton *start, QAbstractButton *target, QAbstractButton *completion);
    void SetDateEdit(QLineEdit *start, QLineEdit *target, QLineEdit *completion);
    void SetMember(MemberInfo *member);
    void SetItem(QTreeWidgetItem *item);
    QTreeWidgetItem *Item() const { return m_item; }
    void SetMode(int mode);
    // What a date button does: preselects the field's date (a target starts from the start, a
    // completion from the target while unset), dates the row, prepares the mode and shows.
    void Open(int mode, QTreeWidgetItem *item = nullptr);
    void SetType(int type);
    void SetLevel(int level);
    static QDate StrToDate(const QString &text);

    void SelectDate(const QDate &date);
    QString Message() const;

public slots:
    void OkProc();
    void CancelProc();
    void UnfinishedProc();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    static TreeItemData *recordOf(const QTreeWidgetItem *item);
    DateRules::Dates datesOf(const QTreeWidgetItem *item) const;
    QList<DateRules::Dates> childDates() const;
    DateRules::Context context() const;
    void keepSummary(const DateRules::Context &c);
    QString ownDate(int mode) const;
    void writeOwn(int mode, const QString &text);
    void writeCompletion(const QString &text);
    void completionChanged(bool completed);
    void NotifyChanged();
    void showMember();
    void updatePage();

    Ui::Calendar *m_ui;
    QLineEdit *m_fields[3] = {};
    QAbstractButton *m_buttons[3] = {};
    MemberInfo *m_member = nullptr;
    QTreeWidgetItem *m_item = nullptr;
    QString m_preset;
    int m_mode = 0;
    int m_type = 0;
    int m_level = 0;
};
