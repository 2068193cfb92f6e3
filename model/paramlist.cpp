#include "model/paramlist.h"

#include <QRegularExpression>

namespace ParamList
{
namespace
{
const QString kN = QStringLiteral("N");

QString next(const QString &number)
{
    return QString::number(number.toInt() + 1);
}
} // namespace

QString MakeLabel(int row, int col)
{
    return QStringLiteral("K[%1][%2]").arg(row < 0 ? kN : QString::number(row)).arg(col);
}

QString Label(const Address &a)
{
    return QStringLiteral("K[%1][%2]").arg(a.row, a.col);
}

void ParseLabel(const QString &label, int *row, int *col)
{
    static const QRegularExpression value(QStringLiteral("\\d+|N"));
    int values[2] = {1, 1};
    QRegularExpressionMatchIterator it = value.globalMatch(label);
    for (int n = 0; n < 2 && it.hasNext(); ++n) {
        const QString text = it.next().captured();
        bool ok = false;
        const int number = text.toInt(&ok);
        values[n] = text == kN ? (n == 0 ? -1 : 1) : (ok ? number : 1);
    }
    *row = values[0];
    *col = values[1];
}

QList<Change> Renumber(const QList<Address> &params, int i)
{
    QList<Change> changes;
    if (i < 0 || i + 1 >= params.size())
        return changes;
    const QString r0 = params.at(i).row;
    const QString c0 = params.at(i).col;
    const Address &first = params.at(i + 1);
    if (first.row == r0) {
        // Column mode: the rest of the row closes up.
        changes.append({i + 1, {r0, c0}});
        QString free = first.col;
        for (int k = i + 2; k < params.size() && params.at(k).row == r0; ++k) {
            changes.append({k, {r0, free}});
            free = params.at(k).col;
        }
        return changes;
    }
    // The deleted parameter ended a row that keeps others: nothing moves.
    if (c0.toInt() > 1)
        return changes;
    // Row mode: the deleted one was alone in its row; every following row moves up by one.
    QString oldRow = first.row;
    QString newRow = r0;
    for (int k = i + 1; k < params.size(); ++k) {
        if (params.at(k).row != oldRow) {
            newRow = oldRow;
            oldRow = params.at(k).row;
        }
        changes.append({k, {newRow, params.at(k).col}});
    }
    return changes;
}

QList<Change> ShiftRow(const QList<Address> &params, int i)
{
    QList<Change> changes;
    if (i < 0 || i >= params.size())
        return changes;
    const QString row = params.at(i).row;
    int col = params.at(i).col.toInt();
    for (int k = i; k < params.size() && params.at(k).row == row; ++k)
        changes.append({k, {row, QString::number(++col)}});
    return changes;
}

Candidates ForCurrent(const QList<Address> &params, int current)
{
    Candidates c;
    if (params.isEmpty()) {
        c.rows = QStringList{QStringLiteral("1"), kN};
        c.cols = QStringList{QStringLiteral("1")};
        return c;
    }
    if (current < 0 || current >= params.size()) {
        c.rows = QStringList{params.first().row};
        c.cols = QStringList{params.first().col};
        c.follows = true;
        c.reference = 0;
        return c;
    }
    const Address &cur = params.at(current);
    if (current + 1 < params.size()) {
        const Address &following = params.at(current + 1);
        c.follows = true;
        c.reference = current + 1;
        if (following.row == cur.row) {
            c.rows = QStringList{following.row};
            c.cols = QStringList{following.col};
        } else {
            c.rows = QStringList{cur.row, following.row};
            c.cols = QStringList{next(cur.col), following.col};
            c.twoPositions = true;
            c.rowEnd = current;
        }
        return c;
    }
    c.reference = current;
    if (cur.row == kN) {
        c.rows = QStringList{kN};
        c.cols = QStringList{next(cur.col)};
    } else {
        c.rows = QStringList{cur.row, next(cur.row)};
        c.cols = QStringList{next(cur.col), QStringLiteral("1")};
    }
    return c;
}
} // namespace ParamList
