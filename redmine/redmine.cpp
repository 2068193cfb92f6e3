#include "redmine/redmine.h"

Redmine::Redmine(QWidget *parent) : QWidget(parent) {}

void Redmine::InitPages() {}
void Redmine::ResetTarget() {}
void Redmine::RefreshTarget() {}
void Redmine::ResetRedmine() {}
