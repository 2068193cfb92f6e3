#include "redmine/rusers.h"

RUsers::RUsers(QWidget *parent) : QDialog(parent) {}

void RUsers::InitSearch() {}
void RUsers::SetTarget(int) {}
void RUsers::ShowUsers() {}
void RUsers::ShowError(int, int) {}
void RUsers::SetProc() {}
