#include "views/schedulechart.h"

#include "views/schedule.h"
#include "views/schelist.h"

#include <QBrush>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTabWidget>
#include <QTreeWidgetItem>

namespace
{
constexpr int MonthWidth = 90;
constexpr int LineHeight = 27;

QGraphicsTextItem *htmlItem(QGraphicsItem *parent, const QString &html, qreal x, qreal y, qreal z)
{
    auto *item = new QGraphicsTextItem(parent);
    item->setHtml(html);
    item->setPos(x, y);
    item->setZValue(z);
    return item;
}
} // namespace

ScheduleTitle::ScheduleTitle(QGraphicsView *view, const QDate &start, const QDate &end) : m_view(view)
{
    m_monthCount = end.month() + (1 - start.month()) + 12 * (end.year() - start.year());
    const QString names[12] = {tr("Jan"), tr("Feb"), tr("Mar"), tr("Apr"), tr("May"), tr("Jun"),
                               tr("Jul"), tr("Aug"), tr("Sep"), tr("Oct"), tr("Nov"), tr("Dec")};
    auto *user = new QGraphicsTextItem(tr("User Name"), this);
    user->setPos(10, 5);
    m_nameWidth = static_cast<int>(user->boundingRect().width() + 40.0);
    m_textHeight = static_cast<int>(user->boundingRect().height());
    auto *id = new QGraphicsTextItem(tr(" ID "), this);
    id->setPos(m_nameWidth + 10, 5.0);
    m_idWidth = static_cast<int>(id->boundingRect().width() + 30.0);
    m_x0 = m_nameWidth + m_idWidth;
    m_totalWidth = m_x0 + MonthWidth * m_monthCount;
    m_headerHeight = 2 * m_textHeight + 15;

    int year = start.year();
    int month = start.month();
    for (int i = 0; i < m_monthCount; ++i) {
        ScheduleMonth column;
        column.x = m_x0 + MonthWidth * i;
        column.year = year;
        column.month = month;
        column.monthLabel = htmlItem(this, names[month - 1], column.x + 5, m_textHeight + 10, 3);
        if (i == 0 || month == 1) {
            // The year label of a January column names the year that column starts.
            if (i != 0)
                ++year;
            column.year = year;
            column.yearLabel = htmlItem(this, QString::number(year), column.x + 5, 5.0, 3);
        }
        m_months.append(column);
        month = month == 12 ? 1 : month + 1;
    }
    auto *background = new QGraphicsRectItem(0, 0, m_totalWidth, m_headerHeight, this);
    background->setBrush(QColor(198, 243, 197, 128));
    background->setPen(Qt::NoPen);
    background->setZValue(1);
    setZValue(5);
    m_bottom = m_headerHeight;
}

QRectF ScheduleTitle::boundingRect() const
{
    return QRectF(0, 0, m_totalWidth, m_headerHeight);
}

void ScheduleTitle::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->drawLine(m_nameWidth, 0, m_nameWidth, m_headerHeight);
    for (const ScheduleMonth &column : m_months) {
        painter->drawLine(column.x, 0, column.x, m_headerHeight);
        for (int tick : {30, 60})
            painter->drawLine(column.x + tick, m_headerHeight - 5, column.x + tick, m_headerHeight);
    }
    if (!m_months.isEmpty()) {
        const int x = m_months.last().x + MonthWidth;
        painter->drawLine(x, 0, x, m_headerHeight);
    }
}

ScheduleUser::ScheduleUser(QGraphicsView *view, QGraphicsScene *scene, ScheduleMember *member, int nameWidth)
    : m_view(view), m_scene(scene), m_member(member), m_nameWidth(nameWidth)
{
    m_user = QPixmap(QStringLiteral(":src/user.png")).scaled(24, 24);
    m_other = QPixmap(QStringLiteral(":src/other.png")).scaled(24, 24);
    m_lclass = QPixmap(QStringLiteral(":src/lclass.png")).scaled(24, 24);
    m_sclass = QPixmap(QStringLiteral(":src/sclass.png")).scaled(24, 24);

    // Member names come from shared files: plain text, never markup.
    htmlItem(this, member->name.toHtmlEscaped(), 0.0, 5.0, 3);
    m_top = member->top;
    int y =
        AddBars(member->row, m_top, member->start, member->target, member->completion, QString(), 0, 1, 2);
    addLine(member->row, m_top, QColor(224, 224, 224, 224), member->own ? m_user : m_other, 0);
    for (const ScheduleMember::LClass &entry : member->lclasses) {
        const int line = y;
        QTreeWidgetItem *row = entry.row;
        y = AddBars(row, line, row->text(4), row->text(5), row->text(6), row->text(7), 3, 4, 5);
        addLine(row, line, QColor(QStringLiteral("#7cedd1")), m_lclass, 1);
        for (QTreeWidgetItem *srow : entry.sclassRows) {
            const int sline = y;
            y = AddBars(srow, sline, srow->text(4), srow->text(5), srow->text(6), srow->text(7), 6, 7, 8);
            addLine(srow, sline, QColor(QStringLiteral("#edd47c")), m_sclass, 1);
        }
    }
    m_height = qMax(y - m_top, member->minHeight);
    m_bottom = m_top + m_height;
    auto *background = new QGraphicsRectItem(0, 0, member->totalWidth, m_height, this);
    background->setBrush(QColor(254, 255, 217, 128));
    background->setPen(Qt::NoPen);
    background->setZValue(1);
    setPos(0, m_top);
}

void ScheduleUser::addLine(QTreeWidgetItem *row, int y, const QColor &color, const QPixmap &icon, int iconDy)
{
    auto *line = m_scene->addRect(m_nameWidth, y, m_member->totalWidth - m_nameWidth, LineHeight,
                                  QPen(Qt::NoPen), QBrush(color));
    line->setZValue(0);
    auto *pixmap = m_scene->addPixmap(icon);
    pixmap->setOffset(m_nameWidth, y + iconDy);
    pixmap->setZValue(10);
    auto *text = new SchUserText;
    const QString id = row ? row->text(ScheList::ColID) : QString();
    text->setHtml(id.toHtmlEscaped());
    text->SetKey(id);
    text->setPos(m_nameWidth + 26, y + 2);
    text->setZValue(3);
    m_scene->addItem(text);
}

int ScheduleUser::xOf(int year, int month, int day) const
{
    const ScheduleMonth &first = m_member->months.first();
    return ((year - first.year) * 12 - first.month + month) * MonthWidth - DayShift(day) + first.x;
}

int ScheduleUser::distance(int y1, int m1, int d1, int y2, int m2, int d2)
{
    return ((y2 - y1) * 12 - m1 + m2) * MonthWidth - DayShift(d2 - d1);
}

int ScheduleUser::AddBars(QTreeWidgetItem *row, int y, const QString &start, const QString &target,
                          const QString &completion, const QString &progress, int planned, int completed,
                          int progressKind)
{
    auto addBar = [&](int kind, const QString &label, const QRectF &rect) {
        if (rect.isNull())
            return;
        m_scene->addItem(new ScheduleBar({kind, label, rect, row}));
    };
    // Only calendar dates inside the chart's window place bars: a start that does not parse
    // would take whatever date was read before it, one that is no calendar date or lies outside
    // the range lands over the name columns or far beyond the last month.
    if (start.isEmpty() || m_member->months.isEmpty() || !ParseChartDate(start))
        return y + LineHeight;
    const int sy = m_year, sm = m_month, sd = m_day;
    if (!target.isEmpty()) {
        if (ParseChartDate(target))
            addBar(planned, start + QLatin1Char('-') + target,
                   QRectF(xOf(sy, sm, sd), y + 5, distance(sy, sm, sd, m_year, m_month, m_day), 10));
        if (!completion.isEmpty()) {
            addBar(completed, start + QLatin1Char('-') + completion + QStringLiteral(":(100%)"),
                   BarRect(y + 15, start, target, completion, 100));
        } else {
            const int p = progress.toInt();
            if (p >= 1 && p <= 100)
                addBar(progressKind,
                       start + QStringLiteral("-:(") + QString::number(p) + QStringLiteral("%)"),
                       BarRect(y + 15, start, target, completion, p));
        }
    } else if (!completion.isEmpty()) {
        addBar(completed, start + QLatin1Char('-') + completion + QStringLiteral(":(100%)"),
               BarRect(y + 15, start, target, completion, 100));
    }
    return y + LineHeight;
}

QRectF ScheduleUser::BarRect(int y, const QString &start, const QString &target, const QString &completion,
                             int percent)
{
    if (!ParseChartDate(start))
        return {};
    const int sy = m_year, sm = m_month, sd = m_day;
    const int x = xOf(sy, sm, sd);
    // A completion that parses decides the bar; one outside the window leaves it out rather than
    // falling back to the target.
    if (ParseDate(completion))
        return InWindow(m_date) ? QRectF(x, y, distance(sy, sm, sd, m_year, m_month, m_day), 10) : QRectF();
    if (percent == 0 || !ParseChartDate(target))
        return {};
    return QRectF(x, y, static_cast<int>(distance(sy, sm, sd, m_year, m_month, m_day) * percent / 100.0), 10);
}

QRectF ScheduleUser::boundingRect() const
{
    return QRectF(0, 0, m_member->totalWidth, m_height);
}

void ScheduleUser::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->drawLine(m_nameWidth, 0, m_nameWidth, m_height);
    for (const ScheduleMonth &column : m_member->months)
        painter->drawLine(column.x, 0, column.x, m_height);
    if (!m_member->months.isEmpty()) {
        const int x = m_member->months.last().x + MonthWidth;
        painter->drawLine(x, 0, x, m_height);
    }
}

ScheduleBar::ScheduleBar(const Record &record) : m_record(record)
{
    // Labels are built from dates typed in other members' files: escaped, never live markup.
    m_label = htmlItem(this,
                       QStringLiteral("<div style='background-color:#FFFF00;'>") +
                           record.label.toHtmlEscaped() + QStringLiteral("</div>"),
                       0, 0, 8);
    m_label->hide();
    m_rect = new QGraphicsRectItem(0, 0, record.rect.width(), record.rect.height(), this);
    static const QColor colors[3] = {QColor(17, 130, 245, 128), QColor(12, 19, 6, 128),
                                     QColor(255, 0, 0, 128)};
    m_rect->setBrush(colors[record.kind % 3]);
    m_rect->setZValue(6);
    setAcceptHoverEvents(true);
    setPos(record.rect.topLeft());
    setZValue(5);
}

QRectF ScheduleBar::boundingRect() const
{
    return QRectF(0, 0, m_record.rect.width(), m_record.rect.height());
}

void ScheduleBar::mark()
{
    if (auto *tabs = GetObj<QTabWidget>(RegSlot::ObjScheduleBarOwner); tabs && tabs->currentIndex() != 0)
        tabs->setCurrentIndex(0);
    if (auto *page = GetObj<Schedule>(RegSlot::ObjSchedule))
        page->List()->MarkItem(m_record.row, true, m_record.kind % 3);
}

void ScheduleBar::hoverEnterEvent(QGraphicsSceneHoverEvent *)
{
    if (!GetBoolVar(RegSlot::FlagScheduleBars))
        mark();
    m_label->show();
}

void ScheduleBar::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    if (auto *page = GetObj<Schedule>(RegSlot::ObjSchedule))
        page->List()->ClearMark();
    m_label->hide();
}

void ScheduleBar::mousePressEvent(QGraphicsSceneMouseEvent *)
{
    if (GetBoolVar(RegSlot::FlagScheduleBars))
        mark();
}

void ScheduleBar::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *)
{
    SetBoolVar(RegSlot::FlagScheduleBars, !GetBoolVar(RegSlot::FlagScheduleBars));
}

void SchUserText::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *)
{
    if (auto *page = GetObj<Schedule>(RegSlot::ObjSchedule))
        page->OpenKey(m_key);
}
