#pragma once

#include "core/globalvar.h"

#include <QWidget>

class QTreeWidget;

// The schedule page: a bar chart of the members' class instances over their dates.
class Schedule final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit Schedule(QWidget *parent = nullptr);

    void MakeSchedule(QTreeWidget *userTree, bool refresh);
    void SplitterAdjust();
    void ClearSchedule();
};
