#pragma once

#include <QDate>
#include <QString>

// The order rules every date dialog applies before it writes a start, target or completion
// date; the texts are those the dialog shows for a refused date.
namespace DateRules
{
enum Mode { Start = 0, Target = 1, Completion = 2 };

// "yyyy/M/d" with three parts; a part that is not a number gives an invalid date; any other
// number of parts gives 2014/01/01.
QDate StrToDate(const QString &text);
QString DateText(const QDate &date);

// The first rule of the mode that the chosen date breaks, or an empty text. compareTarget off
// skips the start-after-target rule of the start mode (an output definition has none).
QString CheckOrder(int mode, const QDate &chosen, const QString &start, const QString &target,
                   bool compareTarget = true);
} // namespace DateRules
