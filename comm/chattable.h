#pragma once

#include "core/globalvar.h"

#include <QTableWidget>

class Chat;

// One of the chat window's two message tables: received messages in column 0, the user's own in
// column 1, two rows per message.
class ChatTable final : public QTableWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ChatTable(QWidget *parent = nullptr);
    ~ChatTable() override;

    // second: the earlier-day table, whose records live in the second store.
    void SetChat(Chat *chat, bool second = false);
    void ScrollTo(QTableWidgetItem *item);
    bool ConfirmDelete(QTableWidgetItem *item);
    // Rows fitted to their cells as resizeRowToContents fits one, without asking where each row
    // lies: after a row's height changed that is a pass over every row, so fitting rows one by one
    // would cost the rows times the table.
    void FitRows(const QList<int> &rows);
    // Every row fitted, unless the rows and the column widths are those of the last time: a row
    // that comes or changes since is fitted by itself, and a day's rows take seconds to fit.
    void FitAllRows();

public slots:
    void ValueCellClicked(int row, int column);

private:
    Chat *m_chat = nullptr;
    bool m_second = false;
    QVector<int> m_fitted; // row count and column widths of the last whole fit
};
