#include "instance/valuetable.h"

#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "instance/instancefiles.h"
#include "instance/translist.h"
#include "shell/checktimer.h"

#include <QTreeWidgetItem>

namespace
{
const QColor kBlank(QStringLiteral("#195AA5"));
const QColor kState(QStringLiteral("#f8fded"));

TreeItemData *recordOf(const QTreeWidgetItem *row)
{
    return row ? TreeItemData::FromData(row->data(0, Qt::UserRole)) : nullptr;
}
} // namespace

ValueTable::ValueTable(QWidget *parent)
    : QTableWidget(ValueGrid::Size, ValueGrid::Size, parent),
      m_layout(ValueGrid::Size * ValueGrid::Size, ValueGrid::Blank), m_transList(new TransList)
{
    QStringList cols;
    QStringList rows;
    for (int i = 1; i <= ValueGrid::Size; ++i) {
        cols << QStringLiteral("Col%1").arg(i);
        rows << QStringLiteral("Row%1").arg(i);
    }
    setHorizontalHeaderLabels(cols);
    setVerticalHeaderLabels(rows);
    m_filling = true;
    for (int r = 0; r < ValueGrid::Size; ++r) {
        for (int c = 0; c < ValueGrid::Size; ++c)
            setItem(r, c, new QTableWidgetItem);
    }
    m_filling = false;
    connect(this, &QTableWidget::cellChanged, this, &ValueTable::TextChanged);
    connect(this, &QTableWidget::cellClicked, this, &ValueTable::ValueCellClicked);
}

ValueTable::~ValueTable()
{
    delete m_transList;
}

bool ValueTable::editable() const
{
    const auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    bool ok = false;
    const int n = m_record ? m_record->name.toInt(&ok) : -1;
    return tab && ok && tab->IsWritableMember(n);
}

void ValueTable::setLook(int row, int col, ValueGrid::CellKind kind, const QString &text)
{
    QTableWidgetItem *cell = item(row, col);
    cell->setText(text);
    Qt::ItemFlags flags = cell->flags() & ~(Qt::ItemIsEditable | Qt::ItemIsEnabled);
    if (kind == ValueGrid::Value && m_editable)
        flags |= Qt::ItemIsEditable | Qt::ItemIsEnabled;
    cell->setFlags(flags);
    cell->setBackground(kind == ValueGrid::Blank   ? kBlank
                        : kind == ValueGrid::State ? kState
                                                   : QColor(Qt::white));
    if (kind != ValueGrid::State)
        cell->setData(Qt::UserRole, QVariant());
}

void ValueTable::SetParam(QTreeWidgetItem *param)
{
    ReleaseTable();
    if (!param || !param->parent() || !recordOf(param->parent()))
        return;
    m_shown = param->parent();
    m_record = recordOf(m_shown);
    // A grid whose file was refused shows no values of it: typing there would be saved over it.
    m_unread = !readGrid(m_record)->GridLoaded();
    m_editable = editable() && !m_unread;
    m_filling = true;
    m_transitionMode = m_record->GetAttr(GetStrVar(RegSlot::StrAttrParamType)).toInt() == 2;
    if (m_transitionMode)
        SetTransitionTable();
    else
        SetNormalTable();
    m_filling = false;
    setCurrentCell(0, 0);
}

void ValueTable::SetNormalTable()
{
    QList<ParamList::Address> params;
    const QString rowKey = GetStrVar(RegSlot::StrAttrRow);
    const QString colKey = GetStrVar(RegSlot::StrAttrCol);
    for (int i = 0; i < m_shown->childCount(); ++i) {
        if (const TreeItemData *p = recordOf(m_shown->child(i)))
            params.append({p->GetAttr(rowKey), p->GetAttr(colKey)});
    }
    m_layout =
        ValueGrid::NormalLayout(params, m_record->GetAttr(GetStrVar(RegSlot::StrAttrMaxParam)).toInt());
    for (int r = 0; r < ValueGrid::Size; ++r) {
        for (int c = 0; c < ValueGrid::Size; ++c) {
            const ValueGrid::CellKind kind = m_layout.at(r * ValueGrid::Size + c);
            setLook(r, c, kind, kind == ValueGrid::Blank ? QString() : m_record->Cell(r, c));
        }
    }
}

TreeItemData *ValueTable::readGrid(TreeItemData *record) const
{
    if (record && !record->GridLoaded()) {
        if (const auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->ReadInstanceCsv(record, record->name, record->GetAttr(GetStrVar(RegSlot::StrAttrID)));
        else
            record->GridLoaded() = true;
    }
    return record;
}

void ValueTable::SetTransitionTable()
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    m_states = ValueGrid::StateList(readGrid(tab ? tab->GetRefItemData(m_shown) : nullptr), tr("None"));
    readGrid(m_record);
    m_usedRows = qBound(0, m_record->GetAttr(GetStrVar(RegSlot::StrAttrMaxParam)).toInt(), ValueGrid::Size);
    m_layout = ValueGrid::TransitionLayout(m_usedRows);
    for (int r = 0; r < ValueGrid::Size; ++r) {
        for (int c = 0; c < ValueGrid::Size; ++c)
            SetTransitionCell(r, c);
    }
}

void ValueTable::SetTransitionCell(int row, int col)
{
    const ValueGrid::CellKind kind = m_layout.at(row * ValueGrid::Size + col);
    const QString value = m_record->Cell(row, col);
    if (kind != ValueGrid::State) {
        setLook(row, col, kind, kind == ValueGrid::Blank ? QString() : value);
        return;
    }
    // An index outside the list shows "None" but is written back as it was.
    setLook(row, col, kind, ValueGrid::StateText(m_states, value));
    item(row, col)->setData(Qt::UserRole, value.toInt());
}

int ValueTable::StateIndex(int row, int col) const
{
    const QTableWidgetItem *cell = item(row, col);
    return cell ? cell->data(Qt::UserRole).toInt() : 0;
}

void ValueTable::SetStateCell(int row, int col, const QString &text, int index)
{
    QTableWidgetItem *cell = item(row, col);
    if (!cell)
        return;
    cell->setData(Qt::UserRole, index);
    cell->setText(text);
}

void ValueTable::TextChanged(int row, int col)
{
    if (m_filling || GetBoolVar(RegSlot::FlagBusy) || !m_record)
        return;
    const QString old = m_record->Cell(row, col);
    const QString text = item(row, col)->text();
    if (m_layout.value(row * ValueGrid::Size + col) == ValueGrid::Value && !ValueGrid::IsStorable(text)) {
        m_filling = true;
        item(row, col)->setText(old);
        m_filling = false;
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
            timer->StatusMessage(tr("a value can not hold \",\" or a line break"));
        return;
    }
    if (text == old)
        return;
    // Kept as typed, so that it can be shortened: the save refuses the grid while the row is too long.
    if (rowBytes(row) > InstanceFiles::MaxLineBytes) {
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
            timer->StatusMessage(tr("row %1 is too long to be saved: its values take more than %2 bytes")
                                     .arg(row + 1)
                                     .arg(InstanceFiles::MaxLineBytes));
    }
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->SetModify();
    m_record->GridChanged() = true;
}

// The bytes of the row's line in the .csv file as the table shows it; hidden cells count as held.
int ValueTable::rowBytes(int row) const
{
    QStringList cells;
    for (int c = 0; c < ValueGrid::Size; ++c) {
        const ValueGrid::CellKind kind = m_layout.at(row * ValueGrid::Size + c);
        cells << (kind == ValueGrid::Value   ? item(row, c)->text()
                  : kind == ValueGrid::State ? QString::number(StateIndex(row, c))
                                             : m_record->Cell(row, c));
    }
    return cells.join(QLatin1Char(',')).toUtf8().size();
}

// Only the cells the table shows are written: a lowered "Max Param" hides rows whose values
// must survive an edit elsewhere in the grid.
void ValueTable::writeBack(bool release)
{
    if (!m_shown || !m_record)
        return;
    m_filling = true;
    // A grid whose file was refused showed none of its values: its empty cells are not written
    // into it, where a read of the mended file may have put the values meanwhile.
    const bool shownAreValues = !m_unread;
    for (int r = 0; r < ValueGrid::Size; ++r) {
        for (int c = 0; c < ValueGrid::Size; ++c) {
            const ValueGrid::CellKind kind =
                shownAreValues ? m_layout.at(r * ValueGrid::Size + c) : ValueGrid::Blank;
            if (kind == ValueGrid::State)
                m_record->SetCell(r, c, QString::number(StateIndex(r, c)));
            else if (kind == ValueGrid::Value)
                m_record->SetCell(r, c, item(r, c)->text());
            if (release)
                item(r, c)->setText(QString());
        }
    }
    m_filling = false;
    if (release) {
        m_shown = nullptr;
        m_record = nullptr;
    }
}

void ValueTable::CommitTable()
{
    writeBack(false);
}

void ValueTable::ReleaseTable()
{
    writeBack(true);
}

void ValueTable::ClearTable()
{
    m_filling = true;
    m_editable = false;
    for (int r = 0; r < ValueGrid::Size; ++r) {
        for (int c = 0; c < ValueGrid::Size; ++c)
            setLook(r, c, ValueGrid::Blank, QString());
    }
    m_layout.fill(ValueGrid::Blank);
    m_filling = false;
    m_shown = nullptr;
    m_record = nullptr;
}

// Without a state small class there is no state to choose, and another member's instance is
// not ours to change: no dialog.
void ValueTable::ValueCellClicked(int row, int col)
{
    if (!m_transitionMode || !m_record || !m_editable || (col != 1 && col != 2) || row >= m_usedRows ||
        m_states.isEmpty())
        return;
    m_transList->SetTransition(m_record, m_states, this, m_usedRows, row, col);
    m_transList->exec();
}
