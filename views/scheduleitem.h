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

    // The years a chart spans. A date outside is a slip or a hostile file: every year is twelve
    // columns of items, so one far date would freeze the chart or overflow its month count.
    static constexpr int FirstYear = 1900;
    static constexpr int LastYear = 2200;
    static bool InWindow(const QDate &date)
    {
        return date.isValid() && date.year() >= FirstYear && date.year() <= LastYear;
    }
    // ParseDate, and the date is a calendar date inside the chart's window.
    bool ParseChartDate(const QString &text) { return ParseDate(text) && InWindow(m_date); }

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
