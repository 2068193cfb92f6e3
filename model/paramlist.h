#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The address arithmetic of a small class's parameter list: labels K[row][col], the renumbering
// that closes the gap a deleted parameter leaves, the column shift that makes room for an
// insertion, and the addresses the parameter dialog offers. Rows are decimal texts or "N".
namespace ParamList
{
struct Address {
    QString row;
    QString col;
    bool operator==(const Address &o) const { return row == o.row && col == o.col; }
};

// A parameter at a position of the list that takes a new address.
struct Change {
    int index;
    Address address;
    bool operator==(const Change &o) const { return index == o.index && address == o.address; }
};

// What the parameter dialog offers for the current item: candidate rows and columns, whether a
// parameter follows the insertion point, whether both the end of the current row and the start
// of the next row may be chosen, the position of the reference parameter and of the parameter
// that ends its row (-1 for none).
struct Candidates {
    QStringList rows;
    QStringList cols;
    bool follows = false;
    bool twoPositions = false;
    int reference = -1;
    int rowEnd = -1;
};

// "K[row][col]"; a row of -1 stands for "N".
QString MakeLabel(int row, int col);
QString Label(const Address &a);
// The first two values of the label, each a whole number or "N", found from the left; a
// missing one counts as 1. "N" gives a row of -1.
void ParseLabel(const QString &label, int *row, int *col);

// The addresses that change when the parameter at position i is deleted: the rest of its row
// moves one column left when it was not the last of its row; a row it was alone in closes and
// every following row moves up by one; the last of a row with others renumbers nothing.
QList<Change> Renumber(const QList<Address> &params, int i);
// The addresses that change when a parameter is inserted before position i: the parameters of
// that row from i on move one column to the right.
QList<Change> ShiftRow(const QList<Address> &params, int i);
// The candidates for a new parameter with the parameter at position current selected, or the
// small class itself (current -1).
Candidates ForCurrent(const QList<Address> &params, int current);
} // namespace ParamList
