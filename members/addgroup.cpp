#include "members/addgroup.h"

#include "redmine/nwredmine.h"

AddGroup::AddGroup(QWidget *parent) : QDialog(parent)
{
    SetObj(RegSlot::ObjAddGroup, this);
}

void AddGroup::SetResultText(const QString &text)
{
    m_result = text;
}

void AddGroup::SetRedmineResult(int mode, int error)
{
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine))
        m_result = client->GetErrorText(mode, error);
}

void AddGroup::SetRedmineUser(const QString &, const QString &, const QString &) {}
