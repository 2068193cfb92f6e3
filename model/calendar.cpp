#include "model/calendar.h"

Calendar::Calendar(QWidget *parent) : QDialog(parent) {}

void Calendar::SetDate(const QString &) {}
void Calendar::SetDateButton(QAbstractButton *, QAbstractButton *, QAbstractButton *) {}
void Calendar::SetDateEdit(QLineEdit *, QLineEdit *, QLineEdit *) {}
void Calendar::SetMember(MemberInfo *) {}

void Calendar::SetMode(int mode)
{
    switch (mode) {
    case 0:
        setWindowTitle(tr("Set Start Date"));
        break;
    case 1:
        setWindowTitle(tr("Set Target Date"));
        break;
    case 2:
        setWindowTitle(tr("Set Completion Date"));
        break;
    default:
        break;
    }
}

void Calendar::SetType(int) {}
