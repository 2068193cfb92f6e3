#include "instance/valuegrid.h"

#include "core/treeitemdata.h"

#include <QSet>

namespace ValueGrid
{
QVector<CellKind> NormalLayout(const QList<ParamList::Address> &params, int maxParam)
{
    QVector<CellKind> cells(Size * Size, Blank);
    if (params.isEmpty())
        return cells;
    const bool nRows = params.first().row == QLatin1String("N");
    const int rows = qBound(0, maxParam, Size);
    for (const ParamList::Address &p : params) {
        bool ok = false;
        const int col = p.col.toInt(&ok) - 1;
        if (!ok || col < 0 || col >= Size)
            continue;
        if (nRows) {
            if (p.row != QLatin1String("N"))
                continue;
            for (int r = 0; r < rows; ++r)
                cells[r * Size + col] = Value;
        } else {
            const int row = p.row.toInt(&ok) - 1;
            if (ok && row >= 0 && row < Size)
                cells[row * Size + col] = Value;
        }
    }
    return cells;
}

QVector<CellKind> TransitionLayout(int maxParam)
{
    QVector<CellKind> cells(Size * Size, Blank);
    for (int r = 0; r < qBound(0, maxParam, Size); ++r) {
        cells[r * Size] = Value;
        cells[r * Size + 1] = State;
        cells[r * Size + 2] = State;
    }
    return cells;
}

bool IsStorable(const QString &text)
{
    return !text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('\n')) &&
           !text.contains(QLatin1Char('\r')) && !text.contains(QChar(0));
}

QStringList StateList(const TreeItemData *states, const QString &none)
{
    QStringList list;
    if (!states)
        return list;
    list << none;
    for (int r = 0; r < Size && !states->Cell(r, 0).isEmpty(); ++r)
        list << states->Cell(r, 0);
    return list;
}

QString StateText(const QStringList &states, const QString &value)
{
    const int index = value.toInt();
    return index >= 0 && index < states.size() ? states.at(index) : states.value(0);
}

QList<int> Choices(const QStringList &states, const QList<QPair<int, int>> &rows, int r, bool fromEnd)
{
    QList<int> choices;
    if (states.isEmpty() || r < 0 || r >= rows.size())
        return choices;
    QSet<QPair<int, int>> used;
    for (const auto &row : rows) {
        if (row.first != 0 && row.second != 0)
            used.insert(row);
    }
    const int fixed = fromEnd ? rows.at(r).second : rows.at(r).first;
    const QString fixedName = fixed >= 0 && fixed < states.size() ? states.at(fixed) : states.at(0);
    for (int j = 0; j < states.size(); ++j) {
        const QPair<int, int> pair = fromEnd ? qMakePair(j, fixed) : qMakePair(fixed, j);
        if (!used.contains(pair) && (j == 0 || states.at(j) != fixedName))
            choices << j;
    }
    return choices;
}
} // namespace ValueGrid
