#include "views/scheduleitem.h"

#include <QStringList>

bool ScheduleItem::ParseDate(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QStringList parts = text.split(QLatin1Char('/'), Qt::KeepEmptyParts);
    if (parts.size() != 3)
        return false;
    m_year = parts[0].toInt();
    m_month = parts[1].toInt();
    m_day = parts[2].toInt();
    m_date = QDate(m_year, m_month, m_day);
    return true;
}
