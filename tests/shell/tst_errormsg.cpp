#include "core/globalvar.h"
#include "shell/errormsg.h"
#include "testsupport_widgets.h"

#include <QPlainTextEdit>
#include <QWidget>
#include <QtTest>

// The error window while reports keep coming: what it counts and where it stays.
class tst_errormsg : public QObject
{
    Q_OBJECT
private slots:
    void count_data();
    void count();
    void dismissed_nextReportStartsAfresh();
    void position_movedWindow_staysWhileReportsJoin();
    void position_newShowing_centredAgain();
};

namespace
{
// The window over a main window of its own, through the registry as the program has it.
struct Scene {
    RegistryScope reg;
    QWidget main;
    ErrorMsg *msg = nullptr;
    Scene()
    {
        main.setGeometry(100, 100, 900, 700);
        main.show();
        msg = new ErrorMsg(&main);
    }
    ~Scene() { delete msg; }
    void report(const QString &text)
    {
        msg->SetMsg(QStringLiteral("File error"), text);
        msg->ShowMsg();
    }
    QString lastLine() const { return msg->Text().split(QLatin1Char('\n')).last(); }
    QPoint centred() const
    {
        const QPoint centre = main.geometry().center();
        return {centre.x() - msg->width() / 2, centre.y() - msg->height() / 2};
    }
};
} // namespace

void tst_errormsg::count_data()
{
    QTest::addColumn<int>("distinct");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<QString>("last");
    QTest::newRow("at the limit, nothing counted") << ErrorMsg::MaxReports << 1 << QStringLiteral("file 19");
    QTest::newRow("one past, sent once")
        << ErrorMsg::MaxReports + 1 << 1 << QStringLiteral("... and 1 more report(s)");
    QTest::newRow("one past, sent ten times")
        << ErrorMsg::MaxReports + 1 << 10 << QStringLiteral("... and 1 more report(s)");
    QTest::newRow("three past, each sent four times")
        << ErrorMsg::MaxReports + 3 << 4 << QStringLiteral("... and 3 more report(s)");
}

// Each report past the limit is sent `repeats` times; a held report sent again is no new one either.
void tst_errormsg::count()
{
    QFETCH(int, distinct);
    QFETCH(int, repeats);
    QFETCH(QString, last);
    Scene s;
    for (int i = 0; i < ErrorMsg::MaxReports; ++i)
        s.report(QStringLiteral("file %1").arg(i));
    s.report(QStringLiteral("file 0"));
    for (int i = ErrorMsg::MaxReports; i < distinct; ++i) {
        for (int k = 0; k < repeats; ++k)
            s.report(QStringLiteral("file %1").arg(i));
    }
    QCOMPARE(s.lastLine(), last);
    QCOMPARE(s.msg->Text().count(QStringLiteral("file 0")), 1);
}

void tst_errormsg::dismissed_nextReportStartsAfresh()
{
    Scene s;
    for (int i = 0; i <= ErrorMsg::MaxReports; ++i)
        s.report(QStringLiteral("file %1").arg(i));
    s.msg->OkProc();
    QVERIFY(!s.msg->isVisible());
    // Sent before, but the window that counted it is gone: it is a report of the new action.
    s.report(QStringLiteral("file %1").arg(ErrorMsg::MaxReports));
    QCOMPARE(s.msg->Text(), QStringLiteral("file %1").arg(ErrorMsg::MaxReports));
    s.msg->close();
}

void tst_errormsg::position_movedWindow_staysWhileReportsJoin()
{
    Scene s;
    s.report(QStringLiteral("a.txt refused"));
    QCOMPARE(s.msg->pos(), s.centred());
    const QPoint aside = s.centred() + QPoint(-80, 120);
    s.msg->move(aside);
    s.report(QStringLiteral("b.txt refused"));
    s.report(QStringLiteral("a.txt refused"));
    QCOMPARE(s.msg->pos(), aside);
    QCOMPARE(s.msg->Text(), QStringLiteral("a.txt refused\nb.txt refused"));
    s.msg->close();
}

void tst_errormsg::position_newShowing_centredAgain()
{
    Scene s;
    s.report(QStringLiteral("a.txt refused"));
    s.msg->move(s.centred() + QPoint(50, 50));
    s.msg->OkProc();
    s.report(QStringLiteral("c.txt refused"));
    QCOMPARE(s.msg->pos(), s.centred());
    s.msg->close();
}

QTEST_MAIN(tst_errormsg)
#include "tst_errormsg.moc"
