#include "core/treeitemdata.h"

TreeItemData::TreeItemData()
{
    grid.reserve(GridSize);
    for (int r = 0; r < GridSize; ++r) {
        QStringList row;
        row.reserve(GridSize);
        for (int c = 0; c < GridSize; ++c)
            row.append(QString());
        grid.append(row);
    }
}

TreeItemData::~TreeItemData() = default;
