#include "core/treeitemdata.h"

TreeItemData::TreeItemData() = default;

TreeItemData::~TreeItemData() = default;

QString TreeItemData::Cell(int row, int col) const
{
    if (m_grid.isEmpty() || row < 0 || col < 0 || row >= GridSize || col >= GridSize)
        return QString();
    return m_grid.at(row * GridSize + col);
}

void TreeItemData::SetCell(int row, int col, const QString &text)
{
    if (row < 0 || col < 0 || row >= GridSize || col >= GridSize)
        return;
    if (m_grid.isEmpty()) {
        if (text.isEmpty())
            return;
        m_grid.resize(GridSize * GridSize);
    }
    m_grid[row * GridSize + col] = text;
}

void TreeItemData::SetGridRow(int row, const QString &line)
{
    if (row < 0 || row >= GridSize)
        return;
    GridLoaded() = true;
    const QStringList parts = line.split(QLatin1Char(','));
    for (int c = 0; c < parts.size() && c < GridSize; ++c)
        SetCell(row, c, parts.at(c));
}
