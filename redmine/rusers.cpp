#include "redmine/rusers.h"

RUsers::RUsers(QWidget *parent) : QDialog(parent) {}

void RUsers::InitSearch() {}
void RUsers::SetTarget(int target)
{
    m_target = target;
}
void RUsers::ShowUsers() {}
void RUsers::ShowError(int, int) {}
// The result list arrives with the tracker search itself; until then there is no row to hand on.
void RUsers::SetProc()
{
    accept();
}
