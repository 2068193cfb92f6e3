#pragma once

#include "core/globalvar.h"

#include <QDialog>

class QAbstractButton;
class QLineEdit;
struct MemberInfo;

// The date dialog that every dated editor owns: picks a start, target or completion date and
// writes it into the owner's date field.
class Calendar final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Calendar(QWidget *parent = nullptr);

    void SetDate(const QString &date);
    void SetDateButton(QAbstractButton *start, QAbstractButton *target, QAbstractButton *completion);
    void SetDateEdit(QLineEdit *start, QLineEdit *target, QLineEdit *completion);
    void SetMember(MemberInfo *member);
    void SetMode(int mode);
    void SetType(int type);
};
