#include "redmine/redminerefproject.h"

RedmineRefProject::RedmineRefProject(QWidget *parent) : QDialog(parent) {}

void RedmineRefProject::ShowProjects() {}
