#pragma once

#include <QDate>
#include <QString>

// Date parsing shared by the schedule page and its chart items: dates are "yyyy/MM/dd" texts.
class ScheduleItem
{
public:
    virtual ~ScheduleItem() = default;

    // Splits the text at "/" into year, month and day; fails unless there are exactly three
    // parts. The date may still be no calendar date (see m_date.isValid()).
    bool ParseDate(const QString &text);

    // The chart's day offset: a day n lies -DayShift(n) units right of its month column.
    static int DayShift(int days) { return static_cast<int>(days / -30.0 * 90.0); }

    int Bottom() const { return m_bottom; }

protected:
    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    QDate m_date;
    int m_bottom = 0;
};
