#include "views/schedule.h"

Schedule::Schedule(QWidget *parent) : QWidget(parent) {}

void Schedule::MakeSchedule(QTreeWidget *, bool) {}
void Schedule::SplitterAdjust() {}
void Schedule::ClearSchedule() {}
