#include "redmine/issuesync.h"

#include <QtTest>

using namespace IssueSync;

namespace
{
// The body's children as "tag=text", in document order.
QStringList fields(const QDomDocument &doc)
{
    QStringList out;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        out << e.tagName() + QLatin1Char('=') + e.text();
    return out;
}

IssueBody sampleBody()
{
    IssueBody b;
    b.projectId = QStringLiteral("7");
    b.subject = MarkedSubject(QStringLiteral("L1::Value"), QStringLiteral("I0-3"));
    const QString values[FieldCount] = {"5", "text", "2026-01-02", "2026-02-03", "40", "8",
                                        "1", "1",    "0",          "0",          "2"};
    for (int f = 0; f < FieldCount; ++f)
        b.values[f] = values[f];
    return b;
}
} // namespace

class tst_issuesync : public QObject
{
    Q_OBJECT
private slots:
    void linkKey_data();
    void linkKey();
    void rowValues();
    void readIssueElement_takesEveryFieldAndTheKey();
    void createBody_requiredFieldsAlwaysOptionalOnlyWhenSet();
    void updateBody_markedFieldsOnlyClearedChoicesEmpty();
};

void tst_issuesync::linkKey_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("made here") << "L1::V::[I0-3]"
                               << "I0-3"
                               << "L1::V";
    QTest::newRow("no marker") << "plain issue"
                               << ""
                               << "plain issue";
    QTest::newRow("marker not ours") << "x::[J1-2]"
                                     << ""
                                     << "x::[J1-2]";
    QTest::newRow("never closed") << "x::[I1-2"
                                  << ""
                                  << "x::[I1-2";
    // The page appends its marker: a value that holds one keeps it as text.
    QTest::newRow("last of two") << "a::[I1-2]b::[I3-4]"
                                 << "I3-4"
                                 << "a::[I1-2]b";
    QTest::newRow("value holds marker") << "L2::x::[I0-1]y::[I0-4]"
                                        << "I0-4"
                                        << "L2::x::[I0-1]y";
    // Edited on the tracker after the marker: still linked.
    QTest::newRow("text after marker") << "a::[I1-2]b"
                                       << "I1-2"
                                       << "a";
    QTest::newRow("bracket after marker") << "a::[I1-2]]"
                                          << "I1-2"
                                          << "a";
    QTest::newRow("trailing blank") << "L2::E2::[I0-4] "
                                    << "I0-4"
                                    << "L2::E2";
    QTest::newRow("note after marker") << "L2::x::[I0-1]y::[I0-4] (urgent)"
                                       << "I0-4"
                                       << "L2::x::[I0-1]y";
    QTest::newRow("later marker never closed") << "a::[I1-2] see ::[I3"
                                               << "I1-2"
                                               << "a";
    QTest::newRow("bracket before marker only") << "]a::[I1-2"
                                                << ""
                                                << "]a::[I1-2";
    QTest::newRow("case matters") << "a::[i1-2]"
                                  << ""
                                  << "a::[i1-2]";
}

void tst_issuesync::linkKey()
{
    QFETCH(QString, subject);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QCOMPARE(LinkKey(subject), key);
    QCOMPARE(SubjectText(subject), text);
    if (!key.isEmpty())
        QCOMPARE(LinkKey(MarkedSubject(SubjectText(subject), key)), key);
}

void tst_issuesync::rowValues()
{
    QCOMPARE(DoneRatio(QStringLiteral("45")), QStringLiteral("40"));
    QCOMPARE(DoneRatio(QStringLiteral("7")), QStringLiteral("0"));
    QCOMPARE(DoneRatio(QStringLiteral("100")), QStringLiteral("100"));
    QCOMPARE(DoneRatio(QString()), QStringLiteral("0"));
    QCOMPARE(Abbreviated(QStringLiteral("0123456789")), QStringLiteral("0123456789"));
    QCOMPARE(Abbreviated(QStringLiteral("0123456789a")), QStringLiteral("0123456789..."));
    QCOMPARE(TrackerDate(QStringLiteral("2026/01/02")), QStringLiteral("2026-01-02"));
    QVERIFY(SameText(QStringLiteral("a\nb"), QStringLiteral("a\r\nb")));
    QVERIFY(!SameText(QStringLiteral("a\nb"), QStringLiteral("a\n b")));
    QVERIFY(SameHours(QStringLiteral("8"), QStringLiteral("8.0")));
    QVERIFY(SameHours(QStringLiteral("2.5"), QStringLiteral("2.5")));
    QVERIFY(SameHours(QStringLiteral("0"), QString()));
    QVERIFY(!SameHours(QStringLiteral("3"), QStringLiteral("2.9")));
}

void tst_issuesync::readIssueElement_takesEveryFieldAndTheKey()
{
    QDomDocument doc;
    QVERIFY(doc.setContent(QByteArrayLiteral(
        "<issue><id>12</id><project id=\"3\" name=\"p\"/><tracker id=\"1\" name=\"Bug\"/>"
        "<status id=\"5\" name=\"Closed\"/><priority id=\"2\" name=\"Normal\"/>"
        "<assigned_to id=\"9\" name=\"Taro Yamada\"/><category id=\"4\" name=\"Design\"/>"
        "<fixed_version id=\"6\" name=\"1.0\"/><parent id=\"11\"/><subject>S::V::[I1-2]</subject>"
        "<description>a\r\nb</description><start_date>2026-01-02</start_date><due_date/>"
        "<done_ratio>40</done_ratio><estimated_hours>2.5</estimated_hours></issue>")));
    IssueRecord r;
    QCOMPARE(ReadIssueElement(doc.documentElement(), &r), QStringLiteral("I1-2"));
    QCOMPARE(
        (QStringList{r.id, r.subject, r.trackerId, r.trackerName, r.statusId, r.statusName, r.priorityId,
                     r.assignedId, r.assignedName, r.categoryName, r.versionId, r.parentId}),
        (QStringList{"12", "S::V", "1", "Bug", "5", "Closed", "2", "9", "Taro Yamada", "Design", "6", "11"}));
    QCOMPARE((QStringList{r.description, r.startDate, r.dueDate, r.doneRatio, r.estimatedHours}),
             (QStringList{"a\r\nb", "2026-01-02", "", "40", "2.5"}));
    QVERIFY(!r.matched);
}

void tst_issuesync::createBody_requiredFieldsAlwaysOptionalOnlyWhenSet()
{
    IssueBody b = sampleBody();
    b.withCategory = true;
    b.values[Category] = QStringLiteral("4");
    b.parentId = QStringLiteral("11");
    QCOMPARE(CreateBody(b).documentElement().tagName(), QStringLiteral("issue"));
    QCOMPARE(
        fields(CreateBody(b)),
        (QStringList{"project_id=7", "subject=L1::Value::[I0-3]", "description=text", "start_date=2026-01-02",
                     "due_date=2026-02-03", "done_ratio=40", "estimated_hours=8", "assigned_to_id=5",
                     "tracker_id=1", "status_id=1", "category_id=4", "priority_id=2", "parent_issue_id=11"}));
    // Without dates, category, version or parent: those elements are not sent at all.
    b = sampleBody();
    b.values[StartDate].clear();
    b.values[DueDate].clear();
    b.values[Description].clear();
    QCOMPARE(fields(CreateBody(b)), (QStringList{"project_id=7", "subject=L1::Value::[I0-3]", "description=",
                                                 "done_ratio=40", "estimated_hours=8", "assigned_to_id=5",
                                                 "tracker_id=1", "status_id=1", "priority_id=2"}));
}

void tst_issuesync::updateBody_markedFieldsOnlyClearedChoicesEmpty()
{
    IssueBody b = sampleBody();
    QCOMPARE(fields(UpdateBody(b)), QStringList{"project_id=7"});
    b.marked[DueDate] = true;
    QCOMPARE(fields(UpdateBody(b)), (QStringList{"project_id=7", "due_date=2026-02-03"}));
    // "0" is the "None" choice: it clears the issue's category or version.
    b.marked[Category] = b.marked[Version] = b.marked[Assigned] = b.marked[Description] = true;
    const QDomDocument doc = UpdateBody(b);
    QCOMPARE(fields(doc), (QStringList{"project_id=7", "assigned_to_id=5", "description=text",
                                       "due_date=2026-02-03", "category_id=", "fixed_version_id="}));
    QVERIFY(!doc.documentElement().firstChildElement(QStringLiteral("category_id")).hasChildNodes());
    QVERIFY(doc.documentElement().firstChildElement(QStringLiteral("subject")).isNull());
}

QTEST_GUILESS_MAIN(tst_issuesync)
#include "tst_issuesync.moc"
