#include "members/usertransfer.h"

UserTransfer::UserTransfer(QWidget *parent) : QDialog(parent) {}

void UserTransfer::SetMode(int mode, const QString &email)
{
    m_mode = mode;
    m_email = email;
}

void UserTransfer::SetFromItem(QTreeWidgetItem *) {}
