#include "comm/chat.h"

#include "comm/chatcdata.h"
#include "comm/chattable.h"
#include "core/globalmutex.h"
#include "ui_chat.h"

namespace
{
const int SeqRole = Qt::UserRole; // 256
const QColor SpareColour("#99bfe9");

void paint(QTableWidgetItem *item, const QString &text, const char *background,
           const char *foreground = nullptr)
{
    item->setText(text);
    item->setBackground(QBrush(QColor(background)));
    if (foreground)
        item->setForeground(QBrush(QColor(foreground)));
}
} // namespace

// The spare row pair every table ends with; a new message is written into it.
void Chat::addEmptyRowPair(int index)
{
    ChatTable *table = m_table[index];
    const int row = table->rowCount();
    table->setRowCount(row + 2);
    int n = 0;
    for (int r = row; r < row + 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            auto *item = new QTableWidgetItem(c == 0 ? QString() : QStringLiteral("   "));
            item->setFont(m_bold);
            item->setFlags(Qt::NoItemFlags);
            item->setBackground(QBrush(SpareColour));
            table->setItem(r, c, item);
            m_spare[index][n++] = item;
        }
    }
}

QString Chat::headText(const ChatRecord *record, bool full) const
{
    QString time = record->Time.toString(QStringLiteral("hh:mm"));
    if (record->Type == 1) {
        const bool sameDay = record->ModTime.date() == record->Time.date();
        const QString format =
            sameDay ? QStringLiteral("hh:mm")
                    : (full ? QStringLiteral("yyyy/MM/dd hh:mm") : QStringLiteral("MM/dd hh:mm"));
        time += QStringLiteral("  ") + tr("deletedate") + record->ModTime.toString(format);
    }
    const QString count = QString::number(record->Recipients.size());
    if (record->Own)
        return time + QStringLiteral("  ") + tr("sendnum") + count + tr("people") +
               (record->Unsaved ? QStringLiteral("  ") + tr("not saved") : QString());
    const QString name = record->Day ? record->Day->Users.value(record->Author).Name : QString();
    return name + QStringLiteral("  ") + time + QStringLiteral("  ") + tr("rcvnum") + count + tr("people");
}

void Chat::setTextCell(ChatRecord *record)
{
    QTableWidgetItem *item = record->TextItem;
    if (record->Type == 1)
        paint(item, tr(" delete "), "#f3c6d7", "#ff0000");
    else if (record->Own)
        paint(item, record->Text + QLatin1Char('\n'), "#3f9b2d", "#ffffff");
    else
        paint(item, record->Text + QLatin1Char('\n'), "#ffffff", "#000000");
}

// Writes the message into row pair `pair`, which must exist; the other side stays blank.
void Chat::fillPair(int index, ChatRecord *record, int pair, bool full)
{
    ChatTable *table = m_table[index];
    const int side = record->Own ? 1 : 0;
    table->item(2 * pair, 1 - side)->setData(SeqRole, -1);
    table->item(2 * pair + 1, 1 - side)->setData(SeqRole, -1);
    record->HeadItem = table->item(2 * pair, side);
    record->TextItem = table->item(2 * pair + 1, side);
    record->Row = pair;
    record->HeadItem->setData(SeqRole, 0);
    paint(record->HeadItem, headText(record, full), "#faf6ce");
    record->TextItem->setData(SeqRole, record->Seq);
    setTextCell(record);
}

void Chat::fitRows(int index, int pair)
{
    m_table[index]->resizeRowToContents(2 * pair);
    m_table[index]->resizeRowToContents(2 * pair + 1);
}

// A poll can bring thousands of messages or responses, one step each: their rows are fitted
// together once the last is shown.
void Chat::fitPending()
{
    QList<int> rows;
    for (int pair : qAsConst(m_unfitted)) {
        if (pair < m_count[0])
            rows << 2 * pair << 2 * pair + 1;
    }
    m_unfitted.clear();
    m_table[0]->FitRows(rows);
}

// Column 1 of another member's message: the user's own response to it.
QTableWidgetItem *Chat::showMyResponse(int index, ChatRecord *message)
{
    const ChatRecord *response = m_store[index]->Record(message->MyResponse);
    QTableWidgetItem *cell = message->Row < 0 ? nullptr : m_table[index]->item(2 * message->Row + 1, 1);
    if (!response || !cell)
        return nullptr;
    cell->setData(SeqRole, response->Seq);
    if (response->Kind == 0)
        paint(cell, QString(), "#99bfe9");
    else
        paint(cell, response->Kind > 5 ? QStringLiteral("ERROR") : m_kindTexts[response->Kind], "#7af7cb",
              "#000000");
    return cell;
}

// Column 0 of the user's own message: the other members' responses counted by kind.
QTableWidgetItem *Chat::showSummary(int index, ChatRecord *message)
{
    QTableWidgetItem *cell = message->Row < 0 ? nullptr : m_table[index]->item(2 * message->Row + 1, 0);
    if (!cell)
        return nullptr;
    const QList<int> counts = m_store[index]->ResponseCounts(message);
    QString text;
    for (int kind = 1; kind <= 5; ++kind) {
        if (counts[kind] > 0)
            text += m_kindTexts[kind] + QStringLiteral("  ") + QString::number(counts[kind]) + tr("num") +
                    QLatin1Char('\n');
    }
    if (text.isEmpty())
        paint(cell, text, "#99bfe9");
    else
        paint(cell, text, "#7af7cb", "#000000");
    return cell;
}

void Chat::buildTable(int index)
{
    ChatTable *table = m_table[index];
    ChatCdata *store = m_store[index];
    for (auto &cell : m_spare[index])
        cell = nullptr;
    if (index == 0) {
        m_unfitted.clear();
        m_unsummed.clear();
    }
    table->setRowCount(0);
    m_count[index] = 0;
    setColumnWidth(table);
    QList<ChatRecord *> shown;
    for (const auto &entry : store->GetTimeList()) {
        ChatRecord *record = store->Record(entry.first);
        if (!record)
            continue;
        addEmptyRowPair(index);
        fillPair(index, record, m_count[index]++, true);
        shown << record;
    }
    for (ChatRecord *record : qAsConst(shown)) {
        if (record->MyResponse)
            showMyResponse(index, record);
        if (record->Own && !record->Responses.isEmpty())
            showSummary(index, record);
    }
    addEmptyRowPair(index);
    table->FitAllRows();
}

void Chat::LoadTodayChat()
{
    buildTable(0);
    showNotes();
}

void Chat::showNotes()
{
    const QStringList notes = m_store[0]->TakeNotes();
    if (notes.isEmpty())
        return;
    for (QLineEdit *line : {m_ui->MSG2, m_ui->MSG})
        setLine(line, QStringLiteral("#FF0000"), notes.join(QLatin1Char(' ')));
}

// The own messages whose file could not be written keep a mark until it is written; the status
// line says which file failed, and when it came right.
void Chat::showSaveNews()
{
    if (!m_store[0]->HasSaveNews())
        return;
    const ChatCdata::SaveNews news = m_store[0]->TakeSaveNews();
    for (int seq : news.Changed) {
        const ChatRecord *record = m_store[0]->Record(seq);
        if (!record || !record->Own || record->Type == 2 || record->Row < 0 || record->Row >= m_count[0])
            continue;
        if (QTableWidgetItem *head = m_table[0]->item(2 * record->Row, 1))
            head->setText(headText(record, false));
    }
    if (!news.Failed.isEmpty()) {
        const QString text = tr("message was not saved: %1").arg(news.Failed.join(QStringLiteral(", ")));
        showRedMessage(news.Reason.isEmpty() ? text : text + QLatin1Char(' ') + news.Reason);
    } else if (news.Recovered) {
        setLine(m_ui->MSG2, QStringLiteral("#000000"), tr("unsaved messages are saved now"));
    }
}

bool Chat::ShowNewMessage(int seq)
{
    setColumnWidth(m_table[0]);
    ChatRecord *record = m_store[0]->Record(seq);
    if (!record)
        return false;
    fillPair(0, record, m_count[0], false);
    m_unfitted << m_count[0];
    ++m_count[0];
    addEmptyRowPair(0);
    // The last of those a poll brought fits them all.
    if (m_store[0]->NewCount() == 0)
        fitPending();
    return record->Own;
}

int Chat::ApplyModifiedMessage(int taken, int target)
{
    if (taken == 0)
        return -100;
    ChatRecord *message = m_store[0]->Record(target);
    if (message && message->HeadItem && message->TextItem) {
        paint(message->HeadItem, headText(message, false), "#faf6ce");
        setTextCell(message);
        SetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem, message->TextItem);
        fitRows(0, message->Row);
        m_table[0]->viewport()->update();
    }
    return 1;
}

int Chat::ApplyResponse(int taken, int target)
{
    const ChatRecord *response = m_store[0]->Record(taken);
    if (!response)
        return -100;
    ChatRecord *message = m_store[0]->Record(target);
    if (response->Own) {
        QTableWidgetItem *cell = message ? showMyResponse(0, message) : nullptr;
        if (!cell)
            return -100;
        SetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem, cell);
        return 2 * message->Row + 1;
    }
    // Counting a message's responses costs them all: with more of them queued, the count waits
    // for the last.
    if (message)
        m_unsummed.insert(message->Seq);
    if (m_store[0]->ResponseCount() > 0)
        return 1;
    for (int seq : qAsConst(m_unsummed)) {
        ChatRecord *summed = m_store[0]->Record(seq);
        if (QTableWidgetItem *cell = summed ? showSummary(0, summed) : nullptr) {
            m_unfitted << summed->Row;
            if (summed == message)
                SetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem, cell);
        }
    }
    m_unsummed.clear();
    fitPending();
    return 1;
}

int Chat::LoadDateChat(const QDate &date)
{
    if (date == m_loadedDate)
        return 0;
    {
        MutexHold chat(MutexNo::Chat);
        m_store[1]->Reset();
    }
    m_loadedDate = date;
    // Takes the chat lock itself, only to merge what it read.
    m_store[1]->ReadDayFiles(date);
    MutexHold chat(MutexNo::Chat);
    buildTable(1);
    return m_store[1]->GetTimeList().size();
}
