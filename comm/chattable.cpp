#include "comm/chattable.h"

#include "comm/chat.h"

#include <QHeaderView>

ChatTable::ChatTable(QWidget *parent) : QTableWidget(parent)
{
    setRowCount(0);
    setColumnCount(2);
    horizontalHeader()->setStretchLastSection(true);
    setShowGrid(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setStyleSheet(QStringLiteral("background-color: #99bfe9"));
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
