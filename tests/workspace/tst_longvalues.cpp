#include "instance/readcost.h"
#include "openedprogram.h"
#include "shell/tab.h"

#include <QTemporaryDir>

using namespace TestSupport;

// A value no one types (a name of megabytes) in a shared file was laid out by every view that shows
// it: one name of 10 MB held the open for a minute. The entry or the file that holds it is left out
// and named, the open costs about what a plain one does, and the value stays in the file.
class tst_longvalues : public QObject
{
    Q_OBJECT
private slots:
    void open_valueOfMegabytes_leftOutNamedQuickly_data();
    void open_valueOfMegabytes_leftOutNamedQuickly();
};

void tst_longvalues::open_valueOfMegabytes_leftOutNamedQuickly_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("attribute"); // as the generated file has it
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("member"); // whose rows are not shown
    QTest::newRow("a member's name in the group file")
        << "manager.xml" << QByteArray("Name=\"member1\"") << true << 1;
    QTest::newRow("an address in another member's file")
        << "manager_2.xml" << QByteArray("Email=\"member2@example.invalid\"") << true << 2;
    // The group itself cannot be left out: nothing opens.
    QTest::newRow("the group's own name") << "manager.xml" << QByteArray("User=\"member0\"") << false << -1;
}

void tst_longvalues::open_valueOfMegabytes_leftOutNamedQuickly()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, attribute);
    QFETCH(bool, opens);
    QFETCH(int, member);
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    QString error;
    QVERIFY(WorkspaceGen::Generate(WorkspaceGen::Size::Small(), dir.path() + "/ws", &ws, &error));
    // Processor time of an open with every view of the instance drawn once.
    const auto openAndShow = [&ws](OpenedProgram &p, bool opens) {
        const ReadCost cost;
        if (p.Open(ws) != opens)
            return -1.0;
        for (int index :
             {Tab::Instance, Tab::State, Tab::Schedule, Tab::QandA, Tab::Document, Tab::Management}) {
            p.GetObj<Tab>(RegSlot::ObjTab)->ActivateTab(index);
            p.window->repaint();
        }
        return cost.spentMs();
    };
    double plainMs = 0;
    {
        OpenedProgram plain;
        plainMs = openAndShow(plain, true);
        QVERIFY(plainMs >= 0);
        plain.window->CloseWorkspace();
    }
    const QString path = ws.instanceDir + '/' + file;
    QByteArray bytes = readFile(path);
    QVERIFY(bytes.contains(attribute));
    const QByteArray value = attribute.left(attribute.indexOf('"') + 1) + QByteArray(10 << 20, 'A') + '"';
    writeFile(path, bytes.replace(attribute, value));

    OpenedProgram p;
    const double ms = openAndShow(p, opens);
    QVERIFY(ms >= 0);
    // A member's name of 10 MB took 53 s here, a thousand plain opens, and takes five now:
    // measured against a plain open of the same run, which a busy machine or a sanitizer
    // stretches alike.
    qInfo("%.0f ms, a plain open %.0f ms", ms, plainMs);
    QVERIFY2(ReadCost::WithinPlain(ms, plainMs, 30),
             qPrintable(QStringLiteral("%1 ms, a plain open %2 ms").arg(ms).arg(plainMs)));
    const QString said = p.reports.join('\n');
    QVERIFY2(said.contains(file) && said.size() < 10000, qPrintable(said.left(10000)));
    // Every other member's rows are there; the left-out member's, if any, hold nothing.
    QTreeWidget *users = p.tab()->GetUserTree();
    int others = 0;
    for (int r = 0; r < users->topLevelItemCount(); ++r) {
        const bool other = users->topLevelItem(r)->data(1, Qt::UserRole).toInt() != member;
        QCOMPARE(users->topLevelItem(r)->childCount(), other ? WorkspaceGen::Size::Small().instLclasses : 0);
        others += other ? 1 : 0;
    }
    QCOMPARE(others, opens ? 2 : 0);
    // The group file is the running user's own: its save writes the entry back as it was.
    p.SaveEverythingOwn();
    p.window->CloseWorkspace();
    QVERIFY(file == "manager.xml" && opens ? readFile(path).contains(value) : readFile(path) == bytes);
}

QTEST_MAIN(tst_longvalues)
#include "tst_longvalues.moc"
