#pragma once

#include "core/globalvar.h"

#include <QDate>
#include <QDialog>

namespace Ui
{
class Calendar;
}
class QAbstractButton;
class QLineEdit;
struct MemberInfo;

// The date dialog that every dated editor owns: picks a start, target or completion date, checks
// it against the object's other dates and writes it into the owner's date field.
class Calendar final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Calendar(QWidget *parent = nullptr);
    ~Calendar() override;

    void SetDate(const QString &date);
    void SetDateButton(QAbstractButton *start, QAbstractButton *target, QAbstractButton *completion);
    void SetDateEdit(QLineEdit *start, QLineEdit *target, QLineEdit *completion);
    void SetMember(MemberInfo *member);
    void SetMode(int mode);
    void SetType(int type);
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
    void notifyChanged();
    void showMember();
    void writeDate(QLineEdit *field, const QString &text);

    Ui::Calendar *m_ui;
    QLineEdit *m_fields[3] = {};
    QAbstractButton *m_buttons[3] = {};
    MemberInfo *m_member = nullptr;
    QString m_preset;
    int m_mode = 0;
    int m_type = 0;
};
