#include "redmine/redminelogin.h"

RedmineLogin::RedmineLogin(QWidget *parent) : QDialog(parent) {}

void RedmineLogin::SetProc() {}
