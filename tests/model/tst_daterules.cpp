#include "model/daterules.h"

#include <QtTest>

using namespace DateRules;
Q_DECLARE_METATYPE(DateRules::Context)

namespace
{
const QString Mar10 = QStringLiteral("2024/03/10");
const QString Mar20 = QStringLiteral("2024/03/20");
const QDate Day(2024, 3, 15);

Context make(int type, int level)
{
    Context c;
    c.type = type;
    c.level = level;
    return c;
}

// The dates an accepted date may change.
QStringList summary(const Context &c)
{
    return {c.memberStart,         c.memberTarget,       c.memberEarliestStart, c.memberLatestTarget,
            c.lclassEarliestStart, c.lclassLatestTarget, c.modelStart,          c.modelTarget};
}
} // namespace

class tst_daterules : public QObject
{
    Q_OBJECT
private slots:
    void strToDate_data();
    void strToDate();
    void earliestLatest();
    void check_data();
    void check();
};

void tst_daterules::strToDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("short parts") << QStringLiteral("2023/4/5") << QDate(2023, 4, 5);
    QTest::newRow("stored form") << QStringLiteral("2023/04/05") << QDate(2023, 4, 5);
    QTest::newRow("dashes") << QStringLiteral("2023-04-05") << QDate(2014, 1, 1);
    QTest::newRow("empty") << QString() << QDate(2014, 1, 1);
    QTest::newRow("not a number") << QStringLiteral("x/4/5") << QDate();
}

void tst_daterules::strToDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(StrToDate(text), date);
}

// Dates compare as dates, not as texts: "2024/3/9" is earlier than "2024/03/10".
void tst_daterules::earliestLatest()
{
    const QStringList dates = {QStringLiteral("2024/05/01"), QString(), Mar10, QStringLiteral("2024/3/10"),
                               QStringLiteral("2024/3/9")};
    QCOMPARE(Earliest(dates), QStringLiteral("2024/3/9"));
    QCOMPARE(Latest(dates), QStringLiteral("2024/05/01"));
    QCOMPARE(Earliest({QStringLiteral("2024/05/01"), Mar10, QStringLiteral("2024/3/10")}), Mar10);
    QCOMPARE(Earliest({QString(), QString()}), QString());
    QCOMPARE(Latest({}), QString());
}

void tst_daterules::check_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QDate>("chosen");
    QTest::addColumn<Context>("context");
    QTest::addColumn<QString>("message");
    QTest::addColumn<Context>("after");
    auto row = [](const char *name, int mode, const QDate &d, const Context &c, const QString &message,
                  const Context &after) { QTest::newRow(name) << mode << d << c << message << after; };
    auto refused = [&row](const char *name, int mode, const QDate &d, const Context &c, const char *message) {
        row(name, mode, d, c, QString::fromLatin1(message), c);
    };

    // Own start, target and completion: every type.
    Context own = make(Member, 0);
    own.target = Mar10;
    row("start on target", Start, QDate(2024, 3, 10), own, QString(), [&] {
        Context a = own;
        a.memberStart = Mar10;
        return a;
    }());
    refused("start after target", Start, QDate(2024, 3, 11), own, "Start Date > Target Date");
    Context out = make(OutputDefinition, 0);
    out.target = Mar10;
    row("output definition: no start/target rule", Start, Day, out, QString(), out);
    refused("target without start", Target, Day, make(QandARow, 0), "Start Date is not set");
    Context q = make(QandARow, 0);
    q.start = Mar20;
    refused("target before start", Target, Day, q, "Start Date > Target Date");
    refused("completion before start", Completion, Day, q, "Start Date > Completion Date");
    refused("completion without start", Completion, Day, make(OutputDefinition, 0), "Start Date is not set");

    // A member against its large-class instances.
    Context m = make(Member, 0);
    m.start = Mar10;
    m.memberEarliestStart = Mar10;
    m.memberLatestTarget = Mar20;
    refused("member start after its first class", Start, Day, m, "Lclass minimum start date:2024/03/10");
    refused("member target before its last class", Target, Day, m, "Lclass max target date:2024/03/20");
    row("member target after its last class", Target, QDate(2024, 3, 21), m, QString(), [&] {
        Context a = m;
        a.memberTarget = QStringLiteral("2024/03/21");
        return a;
    }());
    Context mc = m;
    mc.children = {{Mar10, Mar20, Mar20}, {Mar10, Mar20, QString()}};
    refused("member completion with a class open", Completion, Day, mc, "All Lclass is not competion");
    mc.children[1].completion = Mar10;
    refused("member completion before its last class", Completion, Day, mc,
            "Lclass Maximum completion date:2024/03/20");
    row("member completion without classes", Completion, Day, m, QString(), m);

    // A large-class instance between its member and its small classes.
    Context il = make(InstanceClass, LclassLevel);
    refused("instance start, member start unset", Start, Day, il, "at first, Manager Start date must be set");
    il.memberStart = Mar10;
    refused("instance start before member", Start, QDate(2024, 3, 9), il, "Manger Start Date:2024/03/10");
    il.children = {{QStringLiteral("2024/03/12"), QString(), QString()}, {QString(), QString(), QString()}};
    refused("instance start after a small class", Start, Day, il, "Sclass Start date:2024/03/12");
    il.memberEarliestStart = QStringLiteral("2024/03/11");
    row("instance start lowers nothing later", Start, QDate(2024, 3, 12), il, QString(), il);
    row("instance start lowers the member's earliest", Start, QDate(2024, 3, 10), il, QString(), [&] {
        Context a = il;
        a.memberEarliestStart = Mar10;
        return a;
    }());
    il.start = Mar10;
    refused("instance target, member target unset", Target, Day, il,
            "at first, you must set Manager Target date");
    il.memberTarget = Mar20;
    refused("instance target after member", Target, QDate(2024, 3, 21), il, "Manager Target date:2024/03/20");
    il.children[0].target = QStringLiteral("2024/03/18");
    refused("instance target before a small class", Target, Day, il, "Sclass Target date:2024/03/18");
    row("instance target raises the member's latest", Target, QDate(2024, 3, 19), il, QString(), [&] {
        Context a = il;
        a.memberLatestTarget = QStringLiteral("2024/03/19");
        return a;
    }());
    refused("instance completion with a small class open", Completion, Day, il,
            "All Sclass is not completion");
    il.children[0].completion = Mar20;
    il.children[1].completion = Mar10;
    refused("instance completion before its last small class", Completion, Day, il,
            "Maximum Slclass completion date:2024/03/20");

    // Small classes, of an instance and of a model, within their large class.
    for (int type : {InstanceClass, ModelClass}) {
        Context s = make(type, SclassLevel);
        s.start = Mar10;
        const bool inst = type == InstanceClass;
        refused(inst ? "instance sclass start, lclass unset" : "model sclass start, lclass unset", Start, Day,
                s, "at first, Lclass start date must be set");
        refused(inst ? "instance sclass target, lclass unset" : "model sclass target, lclass unset", Target,
                Day, s, "Target date of LClass is not set");
        s.parent = {QStringLiteral("2024/03/12"), QStringLiteral("2024/03/14"), QString()};
        refused(inst ? "instance sclass start before lclass" : "model sclass start before lclass", Start,
                QDate(2024, 3, 11), s, "LClass Start Date:2024/03/12");
        refused(inst ? "instance sclass target after lclass" : "model sclass target after lclass", Target,
                Day, s, "LClass Target date:2024/03/14");
        row(inst ? "instance sclass within lclass" : "model sclass within lclass", Target, QDate(2024, 3, 14),
            s, QString(), s);
    }

    // The model against its large classes.
    Context md = make(ModelClass, ModelLevel);
    md.lclassEarliestStart = Mar10;
    md.lclassLatestTarget = Mar20;
    refused("model start after first lclass", Start, Day, md, "Minimu Lclass Start Date:2024/03/10.");
    row("model start without lclass starts is recorded", Start, Day, make(ModelClass, ModelLevel), QString(),
        [&] {
            Context a = make(ModelClass, ModelLevel);
            a.modelStart = QStringLiteral("2024/03/15");
            return a;
        }());
    md.start = Mar10;
    refused("model target before last lclass", Target, Day, md, "Max Target date:2024/03/20");
    md.children = {{Mar10, Mar20, Mar20}, {Mar10, Mar20, QString()}};
    refused("model completion with an lclass open", Completion, Day, md, "All Lclasses is not completion");
    md.children[1].completion = Mar10;
    refused("model completion before last lclass", Completion, Day, md,
            "Maximum Lclass Completion date:2024/03/20");

    // A large class between the model and its small classes.
    Context ml = make(ModelClass, LclassLevel);
    refused("lclass start, model start unset", Start, Day, ml, "at first, Model Start date must be set");
    ml.modelStart = Mar10;
    ml.lclassEarliestStart = QStringLiteral("2024/03/12");
    refused("lclass start before model", Start, QDate(2024, 3, 9), ml, "Model Start Date:2024/03/10");
    row("lclass start lowers the earliest", Start, QDate(2024, 3, 11), ml, QString(), [&] {
        Context a = ml;
        a.lclassEarliestStart = QStringLiteral("2024/03/11");
        return a;
    }());
    ml.start = Mar10;
    refused("lclass target, model target unset", Target, Day, ml, "at first, you must set Model Target date");
    ml.modelTarget = Mar20;
    refused("lclass target after model", Target, QDate(2024, 3, 21), ml, "Model Target date:2024/03/20");
    row("lclass target raises the latest", Target, Day, ml, QString(), [&] {
        Context a = ml;
        a.lclassLatestTarget = QStringLiteral("2024/03/15");
        return a;
    }());
}

void tst_daterules::check()
{
    QFETCH(int, mode);
    QFETCH(QDate, chosen);
    QFETCH(Context, context);
    QFETCH(QString, message);
    QFETCH(Context, after);
    QCOMPARE(Check(mode, chosen, &context), message);
    QCOMPARE(summary(context), summary(after));
}

QTEST_GUILESS_MAIN(tst_daterules)
#include "tst_daterules.moc"
