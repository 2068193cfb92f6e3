#include "members/infowner.h"

InfOwner::InfOwner(QWidget *parent) : QDialog(parent) {}

void InfOwner::SetOwner(int kind, const QString &name, const QString &email)
{
    m_kind = kind;
    m_name = name;
    m_email = email;
}
