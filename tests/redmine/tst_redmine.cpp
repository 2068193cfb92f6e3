#include "core/defvar.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "redmine/nwredmine.h"
#include "redmine/redmine.h"
#include "redmine/redmineissue.h"
#include "redmine/redmineproject.h"
#include "redmine/redminerefproject.h"
#include "redmine/rusers.h"
#include "shell/checktimer.h"
#include "shell/optproject.h"
#include "testsupport_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
QString g_dir;
QString file(const QString &name)
{
    return QString::fromUtf8(readFile(g_dir + QLatin1Char('/') + name)).trimmed();
}
QString baseUrl()
{
    return QStringLiteral("http://127.0.0.1:") + file(QStringLiteral("port"));
}

// Reads the tracker back as an outsider would, with the admin's key.
QDomElement rest(const QByteArray &verb, const QString &path, int *status = nullptr)
{
    QNetworkAccessManager net;
    QNetworkRequest request(QUrl(baseUrl() + path));
    request.setRawHeader("X-Redmine-API-Key", file(QStringLiteral("apikey")).toLatin1());
    QNetworkReply *reply = net.sendCustomRequest(request, verb);
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(20000);
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QDomDocument doc;
    doc.setContent(reply->readAll());
    reply->deleteLater();
    return doc.documentElement();
}

QString projectId(const QString &identifier)
{
    return rest("GET", QStringLiteral("/projects/") + identifier + QStringLiteral(".xml"))
        .firstChildElement(QStringLiteral("id"))
        .text();
}

// One workspace with its member manager, the dispatcher, the tracker client and the tracker window,
// as the program has them once a workspace is open.
struct Tracker : public RegistryScope {
    QTemporaryDir dir;
    xmlclass *store = new xmlclass;
    deftab *tab = new deftab;
    manager *mgr = nullptr;
    CheckTimer timer;
    NwRedmine client;
    Redmine *window = nullptr;
    Tracker()
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjXmlStore, store);
        SetObj(RegSlot::ObjDeftab, tab);
        SetObj(RegSlot::ObjCheckTimer, &timer);
        SetObj(RegSlot::ObjNwRedmine, &client);
        SetStrVar(RegSlot::StrUserName, QStringLiteral("u"));
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("u@x"));
        SetStrVar(RegSlot::StrInstanceDir, dir.path());
        SetStrVar(RegSlot::StrInstanceName, QStringLiteral("Inst"));
        SetStrVar(RegSlot::StrInstanceVersion, QStringLiteral("0.0.1"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
        SetStrVar(RegSlot::StrRedmineUrl, baseUrl());
        SetBoolVar(RegSlot::FlagRedmineKeySet, true);
        SetStrVar(RegSlot::StrRedmineKey, file(QStringLiteral("apikey")));
        newManager(true);
        window = new Redmine;
    }
    ~Tracker() override
    {
        delete window;
        delete mgr;
        delete tab;
        delete store;
    }
    void newManager(bool create)
    {
        delete mgr;
        mgr = new manager;
        SetObj(RegSlot::ObjManager, mgr);
        if (create)
            mgr->NewManager();
        else
            mgr->OpenManager();
    }
    RedmineProject *page() const { return window->ProjectPage(); }
    template <class W> W *w(const char *name) const { return page()->findChild<W *>(QLatin1String(name)); }
    QString msg() const { return page()->MessageText(); }
    // Waits until the window has no request outstanding.
    bool idle(int ms = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QTest::qWait(20);
            if (!client.IsBusy())
                return true;
        }
        return false;
    }
    QDomElement redmineRecord() const
    {
        QDomDocument doc;
        doc.setContent(readFile(dir.path() + QStringLiteral("/manager.xml")));
        return doc.documentElement().firstChildElement(QStringLiteral("REDMINE"));
    }
};
} // namespace

class tst_redmine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void identifier_rules_data();
    void identifier_rules();
    void create_update_delete_chain();
    void reference_listsEveryProjectAndLinksWithoutRequest();
    void busy_clickDuringChain_saysUnderProcessAndChainEnds();
    void issues_pagedWithSubIssuesUnderParents_data();
    void issues_pagedWithSubIssuesUnderParents();
    void userSearch_twoWordNamesReachOptions();
    void window_backAndCloseClearPages();

private:
    bool m_started = false;
    QString m_skip;
};

void tst_redmine::initTestCase()
{
    g_dir = QDir::homePath() + QStringLiteral("/redmine");
    QProcess p;
    p.start(QStringLiteral("/bin/bash"), {QStringLiteral(REDMINE_SERVER_SCRIPT), QStringLiteral("start"),
                                          g_dir, QString::number(QCoreApplication::applicationPid())});
    QVERIFY(p.waitForStarted(10000));
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished(5000);
        QProcess::execute(QStringLiteral("/bin/bash"),
                          {QStringLiteral(REDMINE_SERVER_SCRIPT), QStringLiteral("stop"), g_dir});
        QFAIL("the Redmine start script did not finish within 240 s");
    }
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (p.exitCode() == 77) {
        m_skip = err;
        return;
    }
    QVERIFY2(p.exitCode() == 0, qPrintable(err));
    m_started = true;
}

void tst_redmine::cleanupTestCase()
{
    if (m_started)
        QProcess::execute(QStringLiteral("/bin/bash"),
                          {QStringLiteral(REDMINE_SERVER_SCRIPT), QStringLiteral("stop"), g_dir});
}

#define NEED_SERVER()                                                                                        \
    do {                                                                                                     \
        if (!m_started)                                                                                      \
            QSKIP(qPrintable(QStringLiteral("Redmine packages unavailable: ") + m_skip));                    \
    } while (0)

void tst_redmine::identifier_rules_data()
{
    QTest::addColumn<QString>("ident");
    QTest::addColumn<QString>("message");
    QTest::newRow("single letter") << "a"
                                   << "";
    QTest::newRow("upper first") << "A1"
                                 << "first charactor is not lower";
    QTest::newRow("digit first") << "1a"
                                 << "first charactor is not alphabet";
    QTest::newRow("dot") << "ab.c"
                         << "3th. this charactor is not correct";
    QTest::newRow("upper later") << "aB"
                                 << "2th. this charactor is upper";
    QTest::newRow("dash underscore digit") << "ab-c_d9"
                                           << "";
    QTest::newRow("101 letters") << QString(101, QLatin1Char('a')) << "length is over 100 word";
    QTest::newRow("accented") << QStringLiteral("caf\u00e9") << "2byte code is in this text";
    QTest::newRow("empty") << ""
                           << "ident is empty";
}

void tst_redmine::identifier_rules()
{
    QFETCH(QString, ident);
    QFETCH(QString, message);
    QCOMPARE(RedmineProject::CheckIdentifier(ident), message);
}

// An unlinked workspace creates its tracker project, keeps the link in manager.xml, pushes changes
// of its fields and notices when the project is gone from the tracker.
void tst_redmine::create_update_delete_chain()
{
    NEED_SERVER();
    Tracker t;
    const QString ident = QStringLiteral("pel-create-%1").arg(QCoreApplication::applicationPid());
    t.page()->InitPage();
    QCOMPARE(t.msg(), QStringLiteral("project is new. select new or reference"));
    QVERIFY(t.idle());

    QTest::mouseClick(t.w<QPushButton>("NEW"), Qt::LeftButton);
    QVERIFY(t.idle());
    QTreeWidget *trackers = t.page()->GetTrackerTree();
    QCOMPARE(trackers->topLevelItemCount(), 3);
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        names << trackers->topLevelItem(i)->text(0);
        QCOMPARE(trackers->topLevelItem(i)->checkState(0), Qt::Checked);
    }
    QCOMPARE(names, (QStringList{"Bug", "Feature", "Support"}));
    trackers->topLevelItem(2)->setCheckState(0, Qt::Unchecked);

    t.w<QLineEdit>("IDENT")->setText(QStringLiteral("Bad"));
    QTest::mouseClick(t.w<QPushButton>("SET"), Qt::LeftButton);
    QCOMPARE(t.msg(), QStringLiteral("first charactor is not lower"));
    t.w<QLineEdit>("IDENT")->setText(ident);
    t.w<QCheckBox>("PUBLICCHK")->setChecked(true);
    answerNextBox(QStringLiteral("ok"));
    QTest::mouseClick(t.w<QPushButton>("SET"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(t.msg(), QStringLiteral("project is set"), 30000);
    QVERIFY(t.idle());

    const QString id = projectId(ident);
    QVERIFY(!id.isEmpty());
    QCOMPARE(QString::number(t.GetIntVar(RegSlot::IntRedmineProjectId)), id);
    QDomElement project = rest("GET", QStringLiteral("/projects/%1.xml?include=trackers").arg(id));
    QCOMPARE(project.firstChildElement("name").text(), QStringLiteral("Inst:ver(0.0.1)::[Pelmorine]"));
    QCOMPARE(project.firstChildElement("is_public").text(), QStringLiteral("true"));
    QStringList sent;
    for (QDomElement e = project.firstChildElement("trackers").firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        sent << e.attribute("name");
    QCOMPARE(sent, (QStringList{"Bug", "Feature"}));
    QVERIFY(t.page()->GetStatusTree()->topLevelItemCount() >= 6);
    QVERIFY(t.page()->GetPriorityTree()->topLevelItemCount() >= 5);
    QVERIFY(t.page()->IsClosedStatus(QStringLiteral("5")));

    // The link is on disk at once and comes back with the workspace.
    QCOMPARE(t.redmineRecord().attribute("ID"), id);
    QCOMPARE(t.redmineRecord().attribute("TYPE"), QStringLiteral("1"));
    t.mgr->CloseManager();
    t.newManager(false);
    QCOMPARE(QString::number(t.GetIntVar(RegSlot::IntRedmineProjectId)), id);
    QCOMPARE(t.GetIntVar(RegSlot::IntRedmineLinkType), 1);

    // Reopened: homepage and public flag changed and pushed.
    t.page()->ResetPage();
    t.page()->InitPage();
    QVERIFY(t.idle());
    QCOMPARE(t.w<QLineEdit>("PRJNAME")->text(), QStringLiteral("Inst:ver(0.0.1)"));
    t.w<QLineEdit>("URL")->setText(QStringLiteral("http://example.invalid/home"));
    t.w<QCheckBox>("PUBLICCHK")->setChecked(false);
    QVERIFY(t.w<QPushButton>("SET")->isVisibleTo(t.page()));
    answerNextBox(QStringLiteral("ok"));
    QTest::mouseClick(t.w<QPushButton>("SET"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(t.msg(), QStringLiteral("modify is completed"), 30000);
    project = rest("GET", QStringLiteral("/projects/%1.xml").arg(id));
    QCOMPARE(project.firstChildElement("homepage").text(), QStringLiteral("http://example.invalid/home"));
    QCOMPARE(project.firstChildElement("is_public").text(), QStringLiteral("false"));

    // Deleted on the tracker: the page offers a new link and the issue pages close.
    int status = 0;
    rest("DELETE", QStringLiteral("/projects/%1.xml").arg(id), &status);
    QVERIFY2(status == 204 || status == 200, qPrintable(QString::number(status)));
    t.page()->ResetPage();
    t.page()->InitPage();
    QTRY_COMPARE_WITH_TIMEOUT(t.msg(), QStringLiteral("maybe project is deleted"), 30000);
    QVERIFY(t.w<QLineEdit>("MSG")->styleSheet().contains("#ff0000"));
    QVERIFY(t.w<QPushButton>("NEW")->isEnabled());
    QVERIFY(t.w<QPushButton>("REF")->isEnabled());
    QVERIFY(!t.window->Tabs()->isTabEnabled(1));
    QVERIFY(!t.window->Tabs()->isTabEnabled(2));
}

// The pick list holds every project, not the tracker's first page of 25; linking the picked one asks
// the tracker nothing.
void tst_redmine::reference_listsEveryProjectAndLinksWithoutRequest()
{
    NEED_SERVER();
    Tracker t;
    t.page()->InitPage();
    QVERIFY(t.idle());
    QTest::mouseClick(t.w<QPushButton>("REF"), Qt::LeftButton);
    auto *pick = t.page()->findChild<RedmineRefProject *>();
    QTRY_VERIFY_WITH_TIMEOUT(pick->isVisible(), 30000);
    const int total = rest("GET", QStringLiteral("/projects.xml?limit=1")).attribute("total_count").toInt();
    QVERIFY(total >= 31);
    QCOMPARE(pick->ProjectTree()->topLevelItemCount(), total);

    const QString id = projectId(QStringLiteral("pel-list-07"));
    const auto rows = pick->ProjectTree()->findItems(id, Qt::MatchExactly, 1);
    QCOMPARE(rows.size(), 1);
    pick->ProjectTree()->setCurrentItem(rows.first());
    QTest::mouseClick(pick->findChild<QPushButton *>("SET"), Qt::LeftButton);
    QVERIFY(t.idle());
    QCOMPARE(t.w<QLineEdit>("PRJNAME")->text(), QStringLiteral("Pel list 7"));
    QCOMPARE(t.w<QLineEdit>("ID")->text(), id);
    QVERIFY(!t.GetBoolVar(RegSlot::FlagRedmineLink));

    QSignalSpy dispatched(&t.timer, &CheckTimer::Dispatched);
    answerNextBox(QStringLiteral("ok"));
    QTest::mouseClick(t.w<QPushButton>("SET"), Qt::LeftButton);
    QCOMPARE(t.msg(), QStringLiteral("Redmine project is set at Pelmorine"));
    QVERIFY(!t.client.IsBusy());
    QTest::qWait(200);
    QCOMPARE(dispatched.count(), 0);
    QCOMPARE(t.redmineRecord().attribute("ID"), id);
    QCOMPARE(t.redmineRecord().attribute("TYPE"), QStringLiteral("2"));
}

// A click that would start a second request while the first chain runs is refused, and the first
// chain still ends.
void tst_redmine::busy_clickDuringChain_saysUnderProcessAndChainEnds()
{
    NEED_SERVER();
    Tracker t;
    t.page()->InitPage();
    QVERIFY(t.idle());
    QTest::mouseClick(t.w<QPushButton>("NEW"), Qt::LeftButton);
    QVERIFY(t.client.IsBusy());
    QTest::mouseClick(t.w<QPushButton>("REF"), Qt::LeftButton);
    QCOMPARE(t.msg(), QStringLiteral("Under Process"));
    QVERIFY(t.idle());
    QCOMPARE(t.page()->GetTrackerTree()->topLevelItemCount(), 3);
    auto *pick = t.page()->findChild<RedmineRefProject *>();
    QVERIFY(!pick->isVisible());
}

void tst_redmine::issues_pagedWithSubIssuesUnderParents_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("progress");
    QTest::newRow("250") << "pel-issues-250" << 250
                         << QStringList{"processing(1-100)", "processing(101-200)", "processing(201-300)",
                                        "processed count:250nums"};
    QTest::newRow("exactly 100") << "pel-issues-100" << 100
                                 << QStringList{"processing(1-100)", "processing(101-200)",
                                                "processed count:100nums"};
}

void tst_redmine::issues_pagedWithSubIssuesUnderParents()
{
    NEED_SERVER();
    QFETCH(QString, identifier);
    QFETCH(int, count);
    QFETCH(QStringList, progress);
    Tracker t;
    t.SetIntVar(RegSlot::IntRedmineProjectId, projectId(identifier).toInt());
    RedmineIssue *issues = t.window->IssuePage();
    issues->CheckProjectSet();
    auto *msg = issues->findChild<QLineEdit *>("MSG");
    QStringList seen;
    connect(msg, &QLineEdit::textChanged, msg, [&seen](const QString &text) { seen << text; });
    QSignalSpy dispatched(&t.timer, &CheckTimer::Dispatched);
    QTest::mouseClick(issues->findChild<QPushButton *>("SHOW"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(issues->MessageText().startsWith("processed"), 60000);
    QCOMPARE(seen, progress);
    QCOMPARE(dispatched.count(), progress.size() - 1);
    QCOMPARE(issues->CountText(0), QStringLiteral(" %1ken").arg(count));

    QTreeWidget *tree = issues->IssueTree();
    const auto twelve =
        tree->findItems(QStringLiteral("element twelve::[I1-12]"), Qt::MatchExactly | Qt::MatchRecursive, 3);
    QCOMPARE(twelve.size(), 1);
    QCOMPARE(twelve.first()->text(14), QStringLiteral("I1-12"));
    // No instance element answers to the key here: the double click leaves everything as it was.
    emit tree->itemDoubleClicked(twelve.first(), 14);
    if (count == 250) {
        const auto parent = tree->findItems(QStringLiteral("issue 1"), Qt::MatchExactly, 3);
        QCOMPARE(parent.size(), 1);
        QCOMPARE(parent.first()->childCount(), 1);
        QCOMPARE(parent.first()->child(0)->text(3), QStringLiteral("issue 250"));
        QCOMPARE(tree->topLevelItemCount(), 249);
    }
}

void tst_redmine::userSearch_twoWordNamesReachOptions()
{
    NEED_SERVER();
    Tracker t;
    RUsers users;
    OptProject options;
    users.SetProjectPage(&options);
    t.SetObj(RegSlot::ObjRUsers, &users);
    users.SetCallerKind(1);
    users.findChild<QRadioButton *>("USRB")->click();
    users.InitSearch();
    users.findChild<QComboBox *>("NAMEBX")->setEditText(QStringLiteral("pel-"));
    QTest::mouseClick(users.findChild<QPushButton *>("SEARCH"), Qt::LeftButton);
    QVERIFY(t.idle());
    QStringList rows;
    for (int i = 0; i < users.UserTable()->topLevelItemCount(); ++i)
        rows << users.UserTable()->topLevelItem(i)->text(0) + QLatin1Char(' ') +
                    users.UserTable()->topLevelItem(i)->text(1);
    rows.sort();
    QCOMPARE(rows, (QStringList{"Hanako Suzuki", "Taro Yamada"}));
    users.UserTable()->setCurrentItem(users.UserTable()->findItems("Taro", Qt::MatchExactly, 0).first());
    QTest::mouseClick(users.findChild<QPushButton *>("SET"), Qt::LeftButton);
    QCOMPARE(options.GetUserField(0), QStringLiteral("Taro"));
    QCOMPARE(options.GetUserField(1), QStringLiteral("Yamada"));
    t.SetObj<RUsers>(RegSlot::ObjRUsers, nullptr);
}

void tst_redmine::window_backAndCloseClearPages()
{
    NEED_SERVER();
    Tracker t;
    t.window->InitPages();
    t.window->show();
    QVERIFY(t.idle());
    QVERIFY(!t.page()->MessageText().isEmpty());
    t.window->Tabs()->setCurrentIndex(2);
    t.window->close();
    QVERIFY(t.window->isHidden());
    QCOMPARE(t.window->Tabs()->currentIndex(), 0);
    QVERIFY(t.page()->MessageText().isEmpty());
    QCOMPARE(t.page()->GetWorkspaceMemberTree()->topLevelItemCount(), 0);

    t.window->InitPages();
    t.window->show();
    QVERIFY(t.idle());
    QTest::mouseClick(t.window->findChild<QPushButton *>("BACK"), Qt::LeftButton);
    QVERIFY(t.window->isHidden());
    QVERIFY(t.page()->MessageText().isEmpty());

    t.window->InitPages();
    QVERIFY(t.idle());
    t.window->ResetRedmine();
    QVERIFY(t.window->isHidden());
    QVERIFY(t.page()->MessageText().isEmpty());
}

QTEST_MAIN(tst_redmine)
#include "tst_redmine.moc"
