#include "shell/optproject.h"

#include "redmine/nwredmine.h"

OptProject::OptProject(QWidget *parent) : QWidget(parent)
{
    SetObj(RegSlot::ObjOptProject, this);
}

void OptProject::ShowMessage(const QString &text)
{
    m_message = text;
    m_error = false;
}

void OptProject::ShowErrorText(const QString &text)
{
    m_message = text;
    m_error = true;
}

void OptProject::ShowReplyError(int mode, int error)
{
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine))
        ShowErrorText(client->GetErrorText(mode, error));
}

void OptProject::SetRedmineUser(const QString &, const QString &, const QString &) {}
