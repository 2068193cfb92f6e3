#include "comm/chattable.h"

#include "comm/chat.h"
#include "comm/chatcdata.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>

ChatTable::ChatTable(QWidget *parent) : QTableWidget(parent)
{
    setRowCount(0);
    setColumnCount(2);
    horizontalHeader()->setStretchLastSection(true);
    setShowGrid(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setStyleSheet(QStringLiteral("background-color: #99bfe9"));
    connect(this, &QTableWidget::cellClicked, this, &ChatTable::ValueCellClicked);
    // Rows made anew after a reset have the same count but were never fitted.
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { m_fitted.clear(); });
}

ChatTable::~ChatTable() = default;

void ChatTable::SetChat(Chat *chat, bool second)
{
    m_chat = chat;
    m_second = second;
}

void ChatTable::ScrollTo(QTableWidgetItem *item)
{
    if (item)
        scrollToItem(item, QAbstractItemView::PositionAtBottom);
}

void ChatTable::ValueCellClicked(int row, int column)
{
    const int index = m_second ? 1 : 0;
    QTableWidgetItem *clicked = item(row, column);
    if (!m_chat || row >= 2 * m_chat->MessageCount(index) || !clicked)
        return;
    // Copies: the chat worker changes records (a deletion, a response read) under the chat lock.
    if (row % 2 == 0) {
        const QTableWidgetItem *below = item(row + 1, column);
        const ChatRecord record =
            below ? m_chat->CopyMessage(below->data(Qt::UserRole).toInt(), index) : ChatRecord();
        if (record.Seq != 0)
            m_chat->CheckRecipients(&record);
        return;
    }
    // The earlier day's records are not today's: deleting or answering from there would reach
    // the message of today's store that carries the same number.
    const QTableWidgetItem *head = item(row - 1, column);
    if (m_second || !head || head->data(Qt::UserRole).toInt() != 0)
        return;
    const ChatRecord record = m_chat->CopyMessage(clicked->data(Qt::UserRole).toInt());
    if (record.Seq == 0)
        return;
    if (column == 1) {
        if (record.Type != 1 && ConfirmDelete(clicked))
            m_chat->DeleteMessage(clicked);
        return;
    }
    const QStringList parts = head->text().split(QStringLiteral("  "), Qt::SkipEmptyParts);
    const QString author = parts.size() >= 2 ? parts.at(0) : QString();
    const QString time = parts.size() >= 2 ? parts.at(1) : QString();
    const QTableWidgetItem *mine = item(row, 1);
    const ChatRecord response = mine ? m_chat->CopyMessage(mine->data(Qt::UserRole).toInt()) : ChatRecord();
    m_chat->OpenResponse(response.Seq != 0 && response.Type == 2 ? response.Kind : 0, author, time,
                         record.Seq);
}

void ChatTable::FitRows(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    ensurePolished();
    QHeaderView *header = verticalHeader();
    // With its updates off the header only records each size; the rows are placed once after.
    header->setUpdatesEnabled(false);
    for (int row : rows) {
        if (row < 0 || row >= rowCount() || isRowHidden(row))
            continue;
        QStyleOptionViewItem option = viewOptions();
        int hint = 0;
        for (int column = 0; column < columnCount(); ++column) {
            if (isColumnHidden(column))
                continue;
            const QModelIndex index = model()->index(row, column);
            option.rect = QRect(0, 0, columnWidth(column), rowHeight(row));
            hint = qMax(hint, itemDelegate(index)->sizeHint(option, index).height());
        }
        header->resizeSection(row, qMax(hint + (showGrid() ? 1 : 0), header->minimumSectionSize()));
    }
    header->setUpdatesEnabled(true);
}

void ChatTable::FitAllRows()
{
    const QVector<int> now{rowCount(), columnWidth(0), columnWidth(1)};
    if (now == m_fitted)
        return;
    // Rows that came since, at the same widths: those a message filled were fitted as it came,
    // the spare pair after them is not yet.
    if (!m_fitted.isEmpty() && now.mid(1) == m_fitted.mid(1) && now.first() > m_fitted.first()) {
        QList<int> rows;
        for (int row = m_fitted.first(); row < now.first(); ++row)
            rows << row;
        FitRows(rows);
        m_fitted = now;
        return;
    }
    resizeRowsToContents();
    m_fitted = now;
}

bool ChatTable::ConfirmDelete(QTableWidgetItem *)
{
    QMessageBox box;
    box.setWindowTitle(tr("DelMessage"));
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setInformativeText(tr("Is delete message?"));
    QPushButton *del = box.addButton(QMessageBox::Ok);
    del->setText(tr("del"));
    del->setObjectName(QStringLiteral("del"));
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setText(tr("cancel"));
    cancel->setObjectName(QStringLiteral("cancel"));
    box.setEscapeButton(cancel);
    return box.exec() == QMessageBox::Ok;
}
