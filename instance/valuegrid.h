#pragma once

#include "model/paramlist.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class TreeItemData;

// What the value table of a small-class instance shows of its 30 x 30 grid, apart from the
// widget: which cells hold values, the state names a transition table offers, and which states
// may still be chosen for one end of a transition.
namespace ValueGrid
{
constexpr int Size = 30;

enum CellKind { Blank, Value, State };

// Cell (r, c) at index r * Size + c. A parameter K[i][j] is cell (i-1, j-1); when the first
// parameter's row is "N", only the "N" parameters count, each a column of maxParam values.
QVector<CellKind> NormalLayout(const QList<ParamList::Address> &params, int maxParam);
// Rows below maxParam: the name in column 0, the From and To states in columns 1 and 2.
QVector<CellKind> TransitionLayout(int maxParam);

// The .csv file has no quoting: a "," or a line break would split the cell for every reader, and
// a NUL makes the file undecodable.
bool IsStorable(const QString &text);

// "None" followed by the names in column 0 of the state instance's grid, up to the first empty
// one (all of them when none is empty). Empty without a state instance.
QStringList StateList(const TreeItemData *states, const QString &none);
// The text of a state cell holding the index text; an index outside the list shows entry 0.
QString StateText(const QStringList &states, const QString &value);

// The state indexes to offer for the From end (fromEnd) or the To end of transition row r,
// given the (From, To) indexes of every used row: "None" always, never the fixed end's own
// name, and no pair that some row already uses.
QList<int> Choices(const QStringList &states, const QList<QPair<int, int>> &rows, int r, bool fromEnd);
} // namespace ValueGrid
