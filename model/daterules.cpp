#include "model/daterules.h"

#include <QCoreApplication>
#include <QStringList>

namespace DateRules
{
QDate StrToDate(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return QDate(2014, 1, 1);
    return QDate(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt());
}

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("Calendar", text);
}
} // namespace

QString CheckOrder(int mode, const QDate &chosen, const QString &start, const QString &target,
                   bool compareTarget)
{
    switch (mode) {
    case Start:
        if (compareTarget && !target.isEmpty() && chosen > StrToDate(target))
            return tr("Start Date > Target Date");
        return QString();
    case Target:
        if (start.isEmpty())
            return tr("Start Date is not set");
        if (StrToDate(start) > chosen)
            return tr("Start Date > Target Date");
        return QString();
    case Completion:
        if (start.isEmpty())
            return tr("Start Date is not set");
        if (StrToDate(start) > chosen)
            return tr("Start Date > Completion Date");
        return QString();
    default:
        return QString();
    }
}
} // namespace DateRules
