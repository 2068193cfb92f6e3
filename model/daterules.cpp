#include "model/daterules.h"

#include <QCoreApplication>

namespace DateRules
{
QDate StrToDate(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return QDate(2014, 1, 1);
    return QDate(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt());
}

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

namespace
{
// The texts are the date dialog's, translated in its context.
QString translated(const char *text)
{
    return QCoreApplication::translate("Calendar", text);
}

// The date that wins over all others by the comparison; empty texts are not dates.
template <class Wins> QString extreme(const QStringList &dates, Wins wins)
{
    QString best;
    for (const QString &d : dates) {
        if (!d.isEmpty() && (best.isEmpty() || wins(StrToDate(d), StrToDate(best))))
            best = d;
    }
    return best;
}

QStringList childDates(const QList<Dates> &children, QString Dates::*field)
{
    QStringList dates;
    for (const Dates &c : children)
        dates << c.*field;
    return dates;
}

bool later(const QString &a, const QDate &b)
{
    return StrToDate(a) > b;
}

bool earlier(const QString &a, const QDate &b)
{
    return StrToDate(a) < b;
}

// A small class's start and target lie within its large class's.
QString checkParent(int mode, const QDate &d, const Dates &parent)
{
    if (mode == Start) {
        if (parent.start.isEmpty())
            return translated(QT_TRANSLATE_NOOP("Calendar", "at first, Lclass start date must be set"));
        return later(parent.start, d)
                   ? translated(QT_TRANSLATE_NOOP("Calendar", "LClass Start Date:")) + parent.start
                   : QString();
    }
    if (parent.target.isEmpty())
        return translated(QT_TRANSLATE_NOOP("Calendar", "Target date of LClass is not set"));
    return earlier(parent.target, d)
               ? translated(QT_TRANSLATE_NOOP("Calendar", "LClass Target date:")) + parent.target
               : QString();
}

// The start rules of a large class: within the bound above, and no later than any of its
// small classes' starts.
QString checkLclassStart(const QDate &d, const QString &bound, const char *unset, const char *label,
                         const QList<Dates> &children)
{
    if (bound.isEmpty())
        return translated(unset);
    if (later(bound, d))
        return translated(label) + bound;
    const QString first = Earliest(childDates(children, &Dates::start));
    if (!first.isEmpty() && earlier(first, d))
        return translated(QT_TRANSLATE_NOOP("Calendar", "Sclass Start date:")) + first;
    return QString();
}

QString checkLclassTarget(const QDate &d, const QString &bound, const char *unset, const char *label,
                          const QList<Dates> &children)
{
    if (bound.isEmpty())
        return translated(unset);
    if (earlier(bound, d))
        return translated(label) + bound;
    const QString last = Latest(childDates(children, &Dates::target));
    if (!last.isEmpty() && later(last, d))
        return translated(QT_TRANSLATE_NOOP("Calendar", "Sclass Target date:")) + last;
    return QString();
}

// Completing something needs everything below it completed, and no earlier than the last.
QString checkChildrenCompleted(const QDate &d, const QList<Dates> &children, const char *notAll,
                               const char *label)
{
    const QStringList done = childDates(children, &Dates::completion);
    if (done.contains(QString()))
        return translated(notAll);
    const QString last = Latest(done);
    if (!last.isEmpty() && later(last, d))
        return translated(label) + last;
    return QString();
}

QString checkStart(const QDate &d, Context *c)
{
    if (c->type != OutputDefinition && !c->target.isEmpty() && earlier(c->target, d))
        return translated(QT_TRANSLATE_NOOP("Calendar", "Start Date > Target Date"));
    QString refused;
    switch (c->type) {
    case Member:
        if (!c->memberEarliestStart.isEmpty() && earlier(c->memberEarliestStart, d))
            return translated(QT_TRANSLATE_NOOP("Calendar", "Lclass minimum start date:")) +
                   c->memberEarliestStart;
        c->memberStart = DateText(d);
        return QString();
    case InstanceClass:
        if (c->level == SclassLevel)
            return checkParent(Start, d, c->parent);
        refused = checkLclassStart(d, c->memberStart,
                                   QT_TRANSLATE_NOOP("Calendar", "at first, Manager Start date must be set"),
                                   QT_TRANSLATE_NOOP("Calendar", "Manger Start Date:"), c->children);
        if (refused.isEmpty() && (c->memberEarliestStart.isEmpty() || later(c->memberEarliestStart, d)))
            c->memberEarliestStart = DateText(d);
        return refused;
    case ModelClass:
        if (c->level == SclassLevel)
            return checkParent(Start, d, c->parent);
        if (c->level == LclassLevel) {
            refused = checkLclassStart(
                d, c->modelStart, QT_TRANSLATE_NOOP("Calendar", "at first, Model Start date must be set"),
                QT_TRANSLATE_NOOP("Calendar", "Model Start Date:"), c->children);
            if (refused.isEmpty() && (c->lclassEarliestStart.isEmpty() || later(c->lclassEarliestStart, d)))
                c->lclassEarliestStart = DateText(d);
            return refused;
        }
        if (!c->lclassEarliestStart.isEmpty() && earlier(c->lclassEarliestStart, d))
            return translated(QT_TRANSLATE_NOOP("Calendar", "Minimu Lclass Start Date:")) +
                   c->lclassEarliestStart + QLatin1Char('.');
        // Recorded whether or not a large class has a start yet: the large classes' own rule
        // reads it, and a stale one would hold them to the model's previous start.
        c->modelStart = DateText(d);
        return QString();
    default:
        return QString();
    }
}

QString checkTarget(const QDate &d, Context *c)
{
    if (c->start.isEmpty())
        return translated(QT_TRANSLATE_NOOP("Calendar", "Start Date is not set"));
    if (later(c->start, d))
        return translated(QT_TRANSLATE_NOOP("Calendar", "Start Date > Target Date"));
    QString refused;
    switch (c->type) {
    case Member:
        if (!c->memberLatestTarget.isEmpty() && later(c->memberLatestTarget, d))
            return translated(QT_TRANSLATE_NOOP("Calendar", "Lclass max target date:")) +
                   c->memberLatestTarget;
        c->memberTarget = DateText(d);
        return QString();
    case InstanceClass:
        if (c->level == SclassLevel)
            return checkParent(Target, d, c->parent);
        refused = checkLclassTarget(
            d, c->memberTarget, QT_TRANSLATE_NOOP("Calendar", "at first, you must set Manager Target date"),
            QT_TRANSLATE_NOOP("Calendar", "Manager Target date:"), c->children);
        if (refused.isEmpty() && (c->memberLatestTarget.isEmpty() || earlier(c->memberLatestTarget, d)))
            c->memberLatestTarget = DateText(d);
        return refused;
    case ModelClass:
        if (c->level == SclassLevel)
            return checkParent(Target, d, c->parent);
        if (c->level == LclassLevel) {
            refused = checkLclassTarget(
                d, c->modelTarget, QT_TRANSLATE_NOOP("Calendar", "at first, you must set Model Target date"),
                QT_TRANSLATE_NOOP("Calendar", "Model Target date:"), c->children);
            if (refused.isEmpty() && (c->lclassLatestTarget.isEmpty() || earlier(c->lclassLatestTarget, d)))
                c->lclassLatestTarget = DateText(d);
            return refused;
        }
        if (!c->lclassLatestTarget.isEmpty() && later(c->lclassLatestTarget, d))
            return translated(QT_TRANSLATE_NOOP("Calendar", "Max Target date:")) + c->lclassLatestTarget;
        c->modelTarget = DateText(d);
        return QString();
    default:
        return QString();
    }
}

QString checkCompletion(const QDate &d, const Context &c)
{
    if (c.start.isEmpty())
        return translated(QT_TRANSLATE_NOOP("Calendar", "Start Date is not set"));
    if (later(c.start, d))
        return translated(QT_TRANSLATE_NOOP("Calendar", "Start Date > Completion Date"));
    if (c.type == Member)
        return checkChildrenCompleted(d, c.children,
                                      QT_TRANSLATE_NOOP("Calendar", "All Lclass is not competion"),
                                      QT_TRANSLATE_NOOP("Calendar", "Lclass Maximum completion date:"));
    if ((c.type == InstanceClass || c.type == ModelClass) && c.level == LclassLevel)
        return checkChildrenCompleted(d, c.children,
                                      QT_TRANSLATE_NOOP("Calendar", "All Sclass is not completion"),
                                      QT_TRANSLATE_NOOP("Calendar", "Maximum Slclass completion date:"));
    if (c.type == ModelClass && c.level == ModelLevel)
        return checkChildrenCompleted(d, c.children,
                                      QT_TRANSLATE_NOOP("Calendar", "All Lclasses is not completion"),
                                      QT_TRANSLATE_NOOP("Calendar", "Maximum Lclass Completion date:"));
    return QString();
}
} // namespace

QString Earliest(const QStringList &dates)
{
    return extreme(dates, [](const QDate &a, const QDate &b) { return a < b; });
}

QString Latest(const QStringList &dates)
{
    return extreme(dates, [](const QDate &a, const QDate &b) { return a > b; });
}

QString Check(int mode, const QDate &chosen, Context *context)
{
    // The summary dates change only when every rule passes.
    Context tried = *context;
    QString refused;
    switch (mode) {
    case Start:
        refused = checkStart(chosen, &tried);
        break;
    case Target:
        refused = checkTarget(chosen, &tried);
        break;
    case Completion:
        refused = checkCompletion(chosen, tried);
        break;
    default:
        break;
    }
    if (refused.isEmpty())
        *context = tried;
    return refused;
}
} // namespace DateRules
