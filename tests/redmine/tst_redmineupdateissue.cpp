#include "core/defvar.h"
#include "core/postbox.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "cutproxy.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/model.h"
#include "redmine/nwredmine.h"
#include "redmine/redmine.h"
#include "redmine/redmineexp.h"
#include "redmine/redmineproject.h"
#include "redmine/redmineupdateissue.h"
#include "redmineserver.h"
#include "shell/checktimer.h"
#include "shell/numeditor.h"
#include "testsupport_widgets.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;
using namespace RedmineServer;

namespace
{
// Bytes of another encoding: the reader refuses the file rather than take it as a text.
const QByteArray kNotUtf8 = "Shift_JIS \x82\xa0\x82\xa2";

QString text(const QDomElement &e, const char *tag)
{
    return e.firstChildElement(QLatin1String(tag)).text();
}

// Three global elements (one a small class under a large class) and one local one, as member 0's
// instance file holds them; the large class explains itself at length.
const QByteArray kModel = "<Root_Model Name=\"M\" User=\"u\" Email=\"u@x\" Version=\"1.0.0\" MaxID=\"8\">"
                          "<LClass ID=\"1\" Name=\"L1\" Element=\"E1\"><REFERENCE/>"
                          "<SClass ID=\"2\" Name=\"S1\" Element=\"SE\"><REFERENCE/><PARAM/></SClass>"
                          "<SClass ID=\"3\" Name=\"S2\" Element=\"SF\"><REFERENCE/><PARAM/></SClass></LClass>"
                          "<LClass ID=\"4\" Name=\"L2\" Element=\"E2\"><REFERENCE/></LClass></Root_Model>";
const QByteArray kInstance =
    "<Root_Instance ID=\"0\" MaxID=\"20\">"
    "<LClass ID=\"1\" MID=\"1\" SCOPE=\"0\" StartDate=\"2026/01/05\" TargetDate=\"2026/03/31\" "
    "ProgressRate=\"45\" EstimatedHours=\"40\">"
    "<SClass ID=\"2\" MID=\"2\" SCOPE=\"0\" StartDate=\"2026/01/05\" TargetDate=\"2026/01/31\" "
    "ProgressRate=\"30\" EstimatedHours=\"8\"/>"
    "<SClass ID=\"3\" MID=\"3\" SCOPE=\"1\" StartDate=\"2026/01/05\"/></LClass>"
    "<LClass ID=\"4\" MID=\"4\" StartDate=\"2026/02/01\" TargetDate=\"2026/02/20\" ProgressRate=\"7\" "
    "EstimatedHours=\"2.5\"/></Root_Instance>";
const QString kLongExplanation =
    QStringLiteral("The large class explains itself at a length beyond the limit.");

// A workspace of one member (tracker user Taro Yamada) linked to a tracker project of its own, with the
// member manager, the instance tab, the dispatcher, the client and the tracker window.
struct Sync : public RegistryScope {
    QTemporaryDir dir;
    xmlclass *store = new xmlclass;
    deftab *tab = new deftab;
    model *mdl = nullptr;
    manager *mgr = nullptr;
    CheckTimer timer;
    NwRedmine client;
    Redmine *window = nullptr;
    RedmineUpdateIssue *page = nullptr;
    QString projectId;
    QString taroId;

    explicit Sync(const QString &linkTo = QString())
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjXmlStore, store);
        SetObj(RegSlot::ObjCheckTimer, &timer);
        SetObj(RegSlot::ObjNwRedmine, &client);
        SetStrVar(RegSlot::StrUserName, QStringLiteral("u"));
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("u@x"));
        SetStrVar(RegSlot::StrInstanceDir, dir.path());
        SetStrVar(RegSlot::StrWorkspaceDir, dir.filePath(QStringLiteral("ws")));
        SetStrVar(RegSlot::StrInstanceName, QStringLiteral("Inst"));
        SetStrVar(RegSlot::StrInstanceVersion, QStringLiteral("0.0.1"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
        SetStrVar(RegSlot::StrRedmineUrl, QStringLiteral("http://127.0.0.1:") + file(QStringLiteral("port")));
        SetBoolVar(RegSlot::FlagRedmineKeySet, true);
        SetStrVar(RegSlot::StrRedmineKey, file(QStringLiteral("apikey")));
        SetIntVar(RegSlot::IntDescriptionMax, 40);
        mgr = new manager;
        SetObj(RegSlot::ObjManager, mgr);
        mgr->NewManager();
        taroId =
            text(rest("GET", QStringLiteral("/users.xml?name=pel-taro")).firstChildElement("user"), "id");
        QTreeWidgetItem *own = mgr->GetTree()->topLevelItem(0);
        own->setText(5, QStringLiteral("Yamada"));
        own->setText(6, QStringLiteral("Taro"));
        own->setText(7, taroId);

        mdl = new model;
        writeFile(mdl->VersionFolder() + QStringLiteral("/model.xml"), kModel);
        writeFile(dir.filePath(QStringLiteral("instance.xml")), kInstance);
        writeFile(dir.filePath(QStringLiteral("instance_0_1.txt")), kLongExplanation.toUtf8());
        writeFile(dir.filePath(QStringLiteral("instance_0_4.txt")), "short\r\ntext");
        store->CloseXmlDoc(XmlIndex::Instance);
        SetObj(RegSlot::ObjDeftab, tab);
        tab->SetInstanceDir(dir.path());
        SetIntVar(RegSlot::IntDocKind, 0);
        tab->LoadModelTree();
        tab->LoadInstanceDocument(mgr->GetTree());
        window = new Redmine;
        page = GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue);

        if (linkTo.isEmpty()) {
            const QString ident =
                QStringLiteral("pel-sync-%1-%2").arg(QCoreApplication::applicationPid()).arg(++s_count);
            projectId =
                text(rest("POST", QStringLiteral("/projects.xml"), nullptr,
                          QStringLiteral("<project><name>%1</name><identifier>%1</identifier></project>")
                              .arg(ident)
                              .toUtf8()),
                     "id");
            rest("POST", QStringLiteral("/projects/%1/memberships.xml").arg(projectId), nullptr,
                 QStringLiteral(
                     "<membership><user_id>%1</user_id><role_ids type=\"array\"><role_id>4</role_id>"
                     "</role_ids></membership>")
                     .arg(taroId)
                     .toUtf8());
        }
        SetIntVar(RegSlot::IntRedmineProjectId, (linkTo.isEmpty() ? projectId : linkTo).toInt());
        SetIntVar(RegSlot::IntRedmineLinkType, 2);
        SetBoolVar(RegSlot::FlagRedmineLink, true);
        window->ProjectPage()->InitPage();
        idle();
        window->Tabs()->setCurrentIndex(1);
    }
    ~Sync() override
    {
        if (!projectId.isEmpty())
            rest("DELETE", QStringLiteral("/projects/%1.xml").arg(projectId));
        delete window;
        delete mgr;
        delete tab;
        delete mdl;
        delete store;
    }
    // Every request ends by the client's deadline (30 s): minutes are left for a busy machine.
    bool idle(int ms = 300000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QTest::qWait(20);
            if (!client.IsBusy() && !page->IsBusy())
                return true;
        }
        return false;
    }
    template <class W> W *w(const char *name) const { return page->findChild<W *>(QLatin1String(name)); }
    QTreeWidget *tree() const { return page->IssueTree(); }
    QTreeWidgetItem *row(const QString &key) const
    {
        const auto found =
            tree()->findItems(key, Qt::MatchExactly | Qt::MatchRecursive, RedmineUpdateIssue::ColKey);
        return found.isEmpty() ? nullptr : found.first();
    }
    QTreeWidgetItem *mapping(const char *treeName, const QString &name) const
    {
        const auto found = w<QTreeWidget>(treeName)->findItems(name, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    bool show()
    {
        page->TargetShowProc();
        return idle() && page->MessageText() == QLatin1String("show end");
    }
    bool update()
    {
        QTest::mouseClick(w<QPushButton>("UPDATE"), Qt::LeftButton);
        return idle();
    }
    // Lists the elements, gives every row a tracker at once and creates the issues.
    void createAll()
    {
        QVERIFY(show());
        tree()->setCurrentItem(row(QStringLiteral("I0-1")));
        answerNextBox(QStringLiteral("yes"));
        page->DblTrackerProc(mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
        QVERIFY(update());
        QCOMPARE(page->MessageText(), QStringLiteral("Redmine process is end"));
    }
    QDomElement issue(const QString &key, const QString &include = QString()) const
    {
        return rest(
            "GET",
            QStringLiteral("/issues/%1.xml%2").arg(row(key)->text(RedmineUpdateIssue::ColId), include));
    }
    // An issue made on the tracker by someone else, a sub-issue when a parent id is given.
    QString postIssue(const QString &subject, const QString &parent = QString()) const
    {
        const QString under = parent.isEmpty()
                                  ? QString()
                                  : QStringLiteral("<parent_issue_id>%1</parent_issue_id>").arg(parent);
        return text(rest("POST", QStringLiteral("/issues.xml"), nullptr,
                         QStringLiteral("<issue><project_id>%1</project_id><subject>%2</subject>%3</issue>")
                             .arg(projectId, subject.toHtmlEscaped(), under)
                             .toUtf8()),
                    "id");
    }
    // How many of the project's issues carry this subject.
    int countSubject(const QString &subject) const
    {
        const QDomElement list =
            rest("GET", QStringLiteral("/issues.xml?project_id=%1&status_id=*&limit=100").arg(projectId));
        int n = 0;
        for (QDomElement e = list.firstChildElement("issue"); !e.isNull(); e = e.nextSiblingElement("issue"))
            n += text(e, "subject") == subject;
        return n;
    }
    static inline int s_count = 0;
};

int httpStatus(const QString &path)
{
    int status = 0;
    rest("GET", path, &status);
    return status;
}

// Stands between the client and the tracker on 127.0.0.1 and, while told to, swallows the
// tracker's answers: the request is carried out, its reply never comes.
struct DropProxy {
    QTcpServer server;
    bool drop = false;
    explicit DropProxy(quint16 target)
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this, target] {
            while (QTcpSocket *in = server.nextPendingConnection()) {
                auto *out = new QTcpSocket(in);
                out->connectToHost(QHostAddress::LocalHost, target);
                out->waitForConnected(10000);
                QObject::connect(in, &QTcpSocket::readyRead, out, [in, out] { out->write(in->readAll()); });
                QObject::connect(out, &QTcpSocket::readyRead, in, [this, in, out] {
                    const QByteArray bytes = out->readAll();
                    if (!drop)
                        in->write(bytes);
                });
                QObject::connect(in, &QTcpSocket::disconnected, in, &QObject::deleteLater);
                QObject::connect(out, &QTcpSocket::disconnected, in, &QTcpSocket::disconnectFromHost);
                out->write(in->readAll());
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }
};

QString back(const QTreeWidgetItem *row, int column)
{
    return row->background(column).style() == Qt::NoBrush ? QString()
                                                          : row->background(column).color().name();
}

bool hasCheckBox(const QTreeWidgetItem *row)
{
    return row->data(0, Qt::CheckStateRole).isValid();
}

// Answers every message box with the named button and keeps what each one said.
struct Boxes {
    QStringList texts;
    QTimer timer;
    explicit Boxes(const QString &button)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            box->findChild<QPushButton *>(button)->click();
        });
        timer.start(10);
    }
};
// Holds the client busy with a request to a silent peer on 127.0.0.1: at once, or just as the
// dispatcher is about to hand on the reply of one kind, so that the page's next send meets a busy
// client. Stands between the client and the dispatcher while it lives.
struct Holder final : public PostBox {
    Sync &t;
    QTcpServer silent;
    int at = 0;
    bool held = false;
    explicit Holder(Sync &sync) : t(sync)
    {
        silent.listen(QHostAddress::LocalHost, 0);
        PostBox::Install(this);
    }
    ~Holder() override
    {
        release();
        PostBox::Install(&t.timer);
    }
    void hold()
    {
        const QString url = t.GetStrVar(RegSlot::StrRedmineUrl);
        t.SetStrVar(RegSlot::StrRedmineUrl, QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
        held = t.client.TestConnection();
        t.SetStrVar(RegSlot::StrRedmineUrl, url);
    }
    void release()
    {
        if (held)
            t.client.Abort();
        held = false;
    }
    void PostMessage(int code) override
    {
        if (code != at)
            return t.timer.PostMessage(code);
        at = 0;
        QTimer::singleShot(0, [this, code] {
            t.client.TakeReply();
            hold();
            t.timer.PostMessage(code);
        });
    }
};

bool checked(const QTreeWidgetItem *row)
{
    return row->data(0, Qt::CheckStateRole).toInt() == Qt::Checked;
}
} // namespace

class tst_redmineupdateissue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void list_classifiesRowsAndRefusesBadMappings();
    void send_createsWithParentsThenSendsOnlyChangedFields();
    void delete_askedOnceNamingCount_childRemovedRunGoesOn();
    void failure_refusedStatusMarkedErrorClearsBusy();
    void paging_fullPageAsksOnceMore();
    void readOnly_closedProjectOffersNothing();
    void refusal_everySend_underProcessKeepsChoicesPressAgainGoesOn();
    void marker_valueHoldingMarker_oneIssueOverThreeRuns();
    void list_memberWithoutTrackerUser_assigneeRed();
    void delete_singleRow_askedBeforeAnyRequest();
    void delete_parentWithSubIssuesNotDeleted_keptWithReasonCountMatches();
    void timeout_lostCreateReply_updateOnlyAfterTargetShow();
    void lostAnswer_createDone_oneIssueUpdateOnlyAfterTargetShow_data();
    void lostAnswer_createDone_oneIssueUpdateOnlyAfterTargetShow();
    void marker_subjectEditedOnTracker_staysLinked_data();
    void marker_subjectEditedOnTracker_staysLinked();
    void refusedExplanation_update_trackerDescriptionKept();
    void refusedExplanation_create_stopsAtRowNothingFiled();

private:
    bool m_started = false;
    QString m_skip;
};

void tst_redmineupdateissue::initTestCase()
{
    watchConnections();
    start(&m_started, &m_skip);
}

void tst_redmineupdateissue::cleanupTestCase()
{
    if (m_started)
        stop();
    QVERIFY(g_badConnections.isEmpty());
}

#define NEED_SERVER()                                                                                        \
    do {                                                                                                     \
        if (!m_started)                                                                                      \
            PEL_SKIP_PEER(QStringLiteral("Redmine packages unavailable: ") + m_skip);                        \
    } while (0)

void tst_redmineupdateissue::list_classifiesRowsAndRefusesBadMappings()
{
    NEED_SERVER();
    Sync t;
    QVERIFY(t.show());
    QCOMPARE(t.tree()->topLevelItemCount(), 2);
    QTreeWidgetItem *parent = t.row(QStringLiteral("I0-1"));
    QTreeWidgetItem *child = t.row(QStringLiteral("I0-2"));
    QTreeWidgetItem *single = t.row(QStringLiteral("I0-4"));
    QVERIFY(parent && child && single && !t.row(QStringLiteral("I0-3")));
    QCOMPARE(child->parent(), parent);
    for (QTreeWidgetItem *r : {parent, child, single}) {
        QCOMPARE(r->text(1), QStringLiteral("New Issue"));
        QCOMPARE(back(r, 1), QStringLiteral("#ff0000"));
        QCOMPARE(r->text(3), QStringLiteral("Taro Yamada"));
        QCOMPARE(r->checkState(0), Qt::Unchecked);
    }
    QCOMPARE((QStringList{parent->text(4), child->text(4), parent->text(5), single->text(5)}),
             (QStringList{"L1::E1", "S1::SE", "The large ...", "short\ntext"}));
    QCOMPARE((QStringList{parent->text(8), child->text(8), single->text(8), single->text(9)}),
             (QStringList{"40", "30", "0", "2.5"}));
    QCOMPARE(single->text(12), QStringLiteral("Normal"));
    QCOMPARE(back(parent, 7), QStringLiteral("#bcbbb4"));
    QCOMPARE(back(child, 7), QString());
    QCOMPARE(t.w<QLineEdit>("N_COUNT")->text(), QStringLiteral(" 3ken"));
    t.page->IssueClicked(parent, 6);
    QCOMPARE(t.page->MessageText(),
             QStringLiteral("parent ticket is have no value. this value is Pelmorine's value"));

    // A new row takes its status from its tracker, and "None" only once.
    t.tree()->setCurrentItem(single);
    t.page->DblStatusProc(t.mapping("STATUS_TREE", QStringLiteral("New")), 0);
    QCOMPARE(t.page->MessageText(), QStringLiteral("you must set tracker"));
    t.page->DblCategoryProc(t.mapping("CATEGORY_TREE", QStringLiteral("None")), 0);
    QCOMPARE(t.page->MessageText(), QStringLiteral("category name is same"));
    t.page->DblPriorityProc(t.mapping("PRIORITY_TREE", QStringLiteral("High")), 0);
    QCOMPARE(back(single, 12), QStringLiteral("#ffff00"));
    t.page->DblPriorityProc(t.mapping("PRIORITY_TREE", QStringLiteral("Normal")), 0);
    QCOMPARE(back(single, 12), QStringLiteral("#ffffff"));

    // "no" to the batch question gives the tracker to the chosen row only.
    QString title;
    answerNextBox(QStringLiteral("no"), &title);
    t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Feature")), 0);
    QCOMPARE(title, QStringLiteral("Tracker batch process "));
    QCOMPARE((QStringList{single->text(10), single->text(11), back(single, 1)}),
             (QStringList{"Feature", "New", "#ffff00"}));
    QCOMPARE(single->checkState(0), Qt::Checked);
    QCOMPARE(back(parent, 10), QStringLiteral("#ff0000"));
    t.page->DblStatusProc(t.mapping("STATUS_TREE", QStringLiteral("Closed")), 0);
    QCOMPARE(t.page->MessageText(), QStringLiteral("status of new ticket is not change"));
    // A red row is never sent.
    parent->setCheckState(0, Qt::Checked);
    QTest::mouseClick(t.w<QPushButton>("UPDATE"), Qt::LeftButton);
    QCOMPARE(t.page->MessageText(), QStringLiteral("red term:I0-1is modify"));
    QVERIFY(!t.client.IsBusy());
}

void tst_redmineupdateissue::send_createsWithParentsThenSendsOnlyChangedFields()
{
    NEED_SERVER();
    Sync t;
    QSignalSpy dispatched(&t.timer, &CheckTimer::Dispatched);
    t.createAll();
    // Posted at the run's end and delivered by the dispatcher's next turn, later on a loaded machine.
    QTRY_VERIFY_WITH_TIMEOUT(dispatched.contains(QVariantList{MsgCode::IssueCheckChanged}), 300000);
    for (const char *key : {"I0-1", "I0-2", "I0-4"}) {
        QTreeWidgetItem *r = t.row(QLatin1String(key));
        QCOMPARE(r->text(1), QStringLiteral("Set Issue"));
        QCOMPARE(back(r, 1), QStringLiteral("#00ff00"));
        QVERIFY(!hasCheckBox(r));
        for (int c = 2; c < 15; ++c)
            QVERIFY2(r->text(c) != QLatin1String("No field"),
                     qPrintable(QStringLiteral("%1 %2").arg(key).arg(c)));
    }
    const QDomElement parent = t.issue(QStringLiteral("I0-1"));
    const QDomElement child = t.issue(QStringLiteral("I0-2"));
    QCOMPARE(text(parent, "subject"), QStringLiteral("L1::E1::[I0-1]"));
    QCOMPARE(text(child, "subject"), QStringLiteral("S1::SE::[I0-2]"));
    QCOMPARE(child.firstChildElement("parent").attribute("id"), text(parent, "id"));
    QCOMPARE(child.firstChildElement("assigned_to").attribute("name"), QStringLiteral("Taro Yamada"));
    // The explanation goes out cut to the limit, exactly as it is compared later.
    QCOMPARE(text(parent, "description"), kLongExplanation.left(36) + QStringLiteral("..."));
    const QDomElement single = t.issue(QStringLiteral("I0-4"));
    QCOMPARE((QStringList{text(single, "start_date"), text(single, "due_date"), text(single, "done_ratio"),
                          text(single, "estimated_hours")}),
             (QStringList{"2026-02-01", "2026-02-20", "0", "2.5"}));

    // Listed again, nothing differs; a changed target date is the only field sent.
    QVERIFY(t.show());
    QCOMPARE(t.row(QStringLiteral("I0-1"))->text(1), QStringLiteral("Set Issue"));
    QCOMPARE(t.row(QStringLiteral("I0-4"))->text(1), QStringLiteral("Set Issue"));
    QVERIFY(!t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
    deftab::RecordOf(t.tab->FindTreeItem(QStringLiteral("0-4")))
        ->SetAttr(QStringLiteral("TargetDate"), "2026/02/27");
    QVERIFY(t.show());
    QTreeWidgetItem *changed = t.row(QStringLiteral("I0-4"));
    QCOMPARE(changed->text(1), QStringLiteral("Mod Issue"));
    QCOMPARE(back(changed, 7), QStringLiteral("#ffff00"));
    QCOMPARE(changed->checkState(0), Qt::Checked);
    QCOMPARE(t.row(QStringLiteral("I0-1"))->text(1), QStringLiteral("Set Issue"));
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QCOMPARE(changed->text(1), QStringLiteral("Set Issue"));
    QCOMPARE(back(changed, 7), QStringLiteral("#ffffff"));
    const QDomElement journals = t.issue(QStringLiteral("I0-4"), QStringLiteral("?include=journals"));
    QDomElement details =
        journals.firstChildElement("journals").lastChildElement("journal").firstChildElement("details");
    QCOMPARE(details.childNodes().count(), 1);
    QCOMPARE(details.firstChildElement("detail").attribute("name"), QStringLiteral("due_date"));
    QCOMPARE(text(details.firstChildElement("detail"), "new_value"), QStringLiteral("2026-02-27"));

    // Closing a parent closes its open children, and they go first: the tracker keeps a parent with
    // open sub-issues open.
    QTreeWidgetItem *parentRow = t.row(QStringLiteral("I0-1"));
    t.tree()->setCurrentItem(parentRow);
    t.page->DblStatusProc(t.mapping("STATUS_TREE", QStringLiteral("Closed")), 0);
    QCOMPARE(t.page->MessageText(), QStringLiteral("warning:done_rate is not 100%"));
    QTreeWidgetItem *childRow = t.row(QStringLiteral("I0-2"));
    QCOMPARE((QStringList{childRow->text(11), back(childRow, 11)}), (QStringList{"Closed", "#ffff00"}));
    QCOMPARE(childRow->checkState(0), Qt::Checked);
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    for (const char *key : {"I0-1", "I0-2"}) {
        QCOMPARE(t.issue(QLatin1String(key)).firstChildElement("status").attribute("name"),
                 QStringLiteral("Closed"));
        QCOMPARE(t.row(QLatin1String(key))->text(1), QStringLiteral("Close Issue"));
    }
}

void tst_redmineupdateissue::delete_askedOnceNamingCount_childRemovedRunGoesOn()
{
    NEED_SERVER();
    Sync t;
    t.createAll();
    const QString parentId = t.row(QStringLiteral("I0-1"))->text(RedmineUpdateIssue::ColId);
    const QString gone = t.postIssue(QStringLiteral("Gone::[I0-99]"));
    const QString goneChild = t.postIssue(QStringLiteral("Gone child::[I0-98]"), parentId);
    const QString foreign = t.postIssue(QStringLiteral("made elsewhere"));
    QVERIFY(t.show());
    QTreeWidgetItem *childRow = t.row(QStringLiteral("I0-98"));
    QCOMPARE(childRow->parent(), t.row(QStringLiteral("I0-1")));
    QCOMPARE(childRow->text(1), QStringLiteral("Delete Issue"));
    QCOMPARE(t.row(QStringLiteral("I0-99"))->checkState(0), Qt::Checked);
    QCOMPARE(t.w<QLineEdit>("D_COUNT")->text(), QStringLiteral(" 2ken"));

    {
        QSignalSpy dispatched(&t.timer, &CheckTimer::Dispatched);
        Boxes boxes(QStringLiteral("no"));
        QTest::mouseClick(t.w<QPushButton>("UPDATE"), Qt::LeftButton);
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts.first().startsWith(QLatin1String("2 issue(s) will be deleted")));
        QTest::qWait(300);
        QCOMPARE(dispatched.count(), 0);
        QCOMPARE(t.row(QStringLiteral("I0-99"))->checkState(0), Qt::Checked);
    }
    int status = 0;
    rest("GET", QStringLiteral("/issues/%1.xml").arg(gone), &status);
    QCOMPARE(status, 200);

    Boxes boxes(QStringLiteral("yes"));
    QVERIFY(t.update());
    QCOMPARE(boxes.texts.size(), 1);
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QVERIFY(!t.row(QStringLiteral("I0-98")) && !t.row(QStringLiteral("I0-99")));
    for (const QString &id : {gone, goneChild}) {
        rest("GET", QStringLiteral("/issues/%1.xml").arg(id), &status);
        QCOMPARE(status, 404);
    }
    rest("GET", QStringLiteral("/issues/%1.xml").arg(foreign), &status);
    QCOMPARE(status, 200);
}

void tst_redmineupdateissue::failure_refusedStatusMarkedErrorClearsBusy()
{
    NEED_SERVER();
    Sync t;
    t.createAll();
    // A due date before the start date: the tracker refuses the update with 422.
    deftab::RecordOf(t.tab->FindTreeItem(QStringLiteral("0-4")))
        ->SetAttr(QStringLiteral("TargetDate"), "2026/01/01");
    QVERIFY(t.show());
    QVERIFY(t.update());
    QVERIFY2(t.page->MessageText().contains(QLatin1String("error(")), qPrintable(t.page->MessageText()));
    QVERIFY(t.w<QLineEdit>("MSG")->styleSheet().contains(QLatin1String("#FF0000")));
    QVERIFY(!t.page->IsBusy());
    QVERIFY(t.w<QPushButton>("TARGETSHOW")->isVisibleTo(t.page));
    // The tracker answered: nothing was done, and the same send may go again.
    QVERIFY(t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
    deftab::RecordOf(t.tab->FindTreeItem(QStringLiteral("0-4")))
        ->SetAttr(QStringLiteral("TargetDate"), "2026/02/20");
    QVERIFY(t.show());

    // Taro, a developer, may not reject a new issue: the tracker keeps the status without a word.
    t.SetBoolVar(RegSlot::FlagRedmineKeySet, false);
    t.SetStrVar(RegSlot::StrRedmineLogin, QStringLiteral("pel-taro"));
    t.SetStrVar(RegSlot::StrRedminePassword, file(QStringLiteral("password")));
    QTreeWidgetItem *single = t.row(QStringLiteral("I0-4"));
    t.tree()->setCurrentItem(single);
    t.page->DblStatusProc(t.mapping("STATUS_TREE", QStringLiteral("Rejected")), 0);
    QCOMPARE(t.page->MessageText(), QStringLiteral("warning:done_rate is not 100%"));
    QCOMPARE(single->text(1), QStringLiteral("Mod Issue"));
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QCOMPARE(back(single, 11), QStringLiteral("#93d9f3"));
    t.page->IssueClicked(single, 11);
    QCOMPARE(t.page->MessageText(), QStringLiteral("status is not workflow of tracker or not check"));
    QCOMPARE(t.issue(QStringLiteral("I0-4")).firstChildElement("status").attribute("name"),
             QStringLiteral("New"));
}

void tst_redmineupdateissue::paging_fullPageAsksOnceMore()
{
    NEED_SERVER();
    const QString hundred = text(rest("GET", QStringLiteral("/projects/pel-issues-100.xml")), "id");
    QVERIFY(!hundred.isEmpty());
    // The shared project is only listed, never sent to.
    Sync t(hundred);
    QSignalSpy dispatched(&t.timer, &CheckTimer::Dispatched);
    QVERIFY(t.show());
    int pages = 0;
    for (const QList<QVariant> &code : dispatched)
        pages += code.first().toInt() == MsgCode::RedmineIssuesUpdatePage;
    QCOMPARE(pages, 2);
    QCOMPARE(t.tree()->topLevelItemCount(), 3);
    QTreeWidgetItem *foreign = t.row(QStringLiteral("I1-12"));
    QVERIFY(foreign);
    QCOMPARE(foreign->text(1), QStringLiteral("Delete Issue"));
    QCOMPARE(foreign->text(4), QStringLiteral("element twelve"));
}

void tst_redmineupdateissue::readOnly_closedProjectOffersNothing()
{
    NEED_SERVER();
    Sync t;
    t.postIssue(QStringLiteral("Gone::[I0-99]"));
    int status = 0;
    rest("PUT", QStringLiteral("/projects/%1/close.xml").arg(t.projectId), &status);
    QVERIFY2(status == 204 || status == 200, qPrintable(QString::number(status)));
    t.window->ProjectPage()->InitPage();
    QVERIFY(t.idle());
    QVERIFY(t.page->IsReadOnly());
    QVERIFY(t.show());
    QCOMPARE(t.row(QStringLiteral("I0-99"))->text(1), QStringLiteral("Delete Issue"));
    for (const char *key : {"I0-99", "I0-1", "I0-2", "I0-4"})
        QVERIFY2(!hasCheckBox(t.row(QLatin1String(key))), key);
    QVERIFY(!t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
    t.page->UpdateProc();
    QVERIFY(!t.client.IsBusy());
}

// Every send of the page meets the client's busy gate: refused, the page says "Under Process", is
// not left busy, keeps the rows and checks the user chose, and the same button goes on from there.
void tst_redmineupdateissue::refusal_everySend_underProcessKeepsChoicesPressAgainGoesOn()
{
    NEED_SERVER();
    Sync t;
    Holder h(t);
    auto *targetShow = t.w<QPushButton>("TARGETSHOW");
    auto *update = t.w<QPushButton>("UPDATE");
    auto refusedAndFree = [&] {
        QTRY_COMPARE_WITH_TIMEOUT(t.page->MessageText(), QStringLiteral("Under Process"), 120000);
        QVERIFY(!t.page->IsBusy());
        QCOMPARE(t.client.RequestKind(), int(MsgCode::RedmineTestConnection));
        h.release();
    };

    h.hold();
    QTest::mouseClick(targetShow, Qt::LeftButton);
    refusedAndFree();
    QVERIFY(targetShow->isVisibleTo(t.page));
    // A list request the client cannot send (no project) leaves the page free as well.
    t.SetIntVar(RegSlot::IntRedmineProjectId, -1);
    QTest::mouseClick(targetShow, Qt::LeftButton);
    QVERIFY(!t.page->IsBusy());
    QVERIFY(targetShow->isVisibleTo(t.page));
    t.SetIntVar(RegSlot::IntRedmineProjectId, t.projectId.toInt());
    QVERIFY(t.show());

    t.tree()->setCurrentItem(t.row(QStringLiteral("I0-1")));
    answerNextBox(QStringLiteral("yes"));
    t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
    const QStringList keys = {"I0-1", "I0-2", "I0-4"};
    for (const QString &key : keys)
        QVERIFY2(checked(t.row(key)), qPrintable(key));
    h.hold();
    QTest::mouseClick(update, Qt::LeftButton);
    refusedAndFree();
    QVERIFY(update->isVisibleTo(t.page));
    for (const QString &key : keys)
        QVERIFY2(checked(t.row(key)) && t.row(key)->text(RedmineUpdateIssue::ColId).isEmpty(),
                 qPrintable(key));

    // The second create is refused: the first issue stands, the others wait, still checked.
    h.at = MsgCode::RedmineIssueCreated;
    QTest::mouseClick(update, Qt::LeftButton);
    refusedAndFree();
    QCOMPARE(t.row(QStringLiteral("I0-1"))->text(1), QStringLiteral("Set Issue"));
    for (const char *key : {"I0-2", "I0-4"})
        QVERIFY2(checked(t.row(QLatin1String(key))), key);
    QVERIFY(update->isVisibleTo(t.page));
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    for (const QString &key : keys)
        QCOMPARE(t.row(key)->text(1), QStringLiteral("Set Issue"));

    // The re-read after an update is refused: the row keeps its change and check, and goes again.
    deftab::RecordOf(t.tab->FindTreeItem(QStringLiteral("0-4")))
        ->SetAttr(QStringLiteral("TargetDate"), "2026/02/27");
    QVERIFY(t.show());
    QTreeWidgetItem *changed = t.row(QStringLiteral("I0-4"));
    h.at = MsgCode::RedmineIssueUpdated;
    QTest::mouseClick(update, Qt::LeftButton);
    refusedAndFree();
    QVERIFY(checked(changed));
    QCOMPARE(back(changed, 7), QStringLiteral("#ffff00"));
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QCOMPARE(back(changed, 7), QStringLiteral("#ffffff"));
    QCOMPARE(text(t.issue(QStringLiteral("I0-4")), "due_date"), QStringLiteral("2026-02-27"));

    // The second delete is refused: one issue is gone, the other row waits, checked.
    for (const char *subject : {"Gone::[I0-99]", "Gone too::[I0-98]"})
        t.postIssue(QLatin1String(subject));
    QVERIFY(t.show());
    Boxes boxes(QStringLiteral("yes"));
    h.at = MsgCode::RedmineIssueDeleted;
    QTest::mouseClick(update, Qt::LeftButton);
    refusedAndFree();
    const bool first = t.row(QStringLiteral("I0-99")) == nullptr;
    QTreeWidgetItem *left = t.row(first ? QStringLiteral("I0-98") : QStringLiteral("I0-99"));
    QVERIFY(first != (t.row(QStringLiteral("I0-98")) == nullptr));
    QVERIFY(left && checked(left));
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QVERIFY(!t.row(QStringLiteral("I0-98")) && !t.row(QStringLiteral("I0-99")));
}

// An element's value that holds a link marker: the issue is found by the marker its subject ends
// with, so later runs neither file it again nor take it for the other element.
void tst_redmineupdateissue::marker_valueHoldingMarker_oneIssueOverThreeRuns()
{
    NEED_SERVER();
    Sync t;
    t.tab->FindTreeItem(QStringLiteral("0-4"))->setText(4, QStringLiteral("x::[I0-1]y"));
    const QString subject = QStringLiteral("L2::x::[I0-1]y::[I0-4]");
    Boxes boxes(QStringLiteral("yes"));
    for (int run = 0; run < 3; ++run) {
        QVERIFY(t.show());
        if (t.row(QStringLiteral("I0-4"))->text(1) == QLatin1String("New Issue")) {
            t.tree()->setCurrentItem(t.row(QStringLiteral("I0-4")));
            t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
        }
        if (t.w<QPushButton>("UPDATE")->isVisibleTo(t.page))
            QVERIFY(t.update());
    }
    QCOMPARE(t.countSubject(subject), 1);
    QVERIFY(t.show());
    QTreeWidgetItem *row = t.row(QStringLiteral("I0-4"));
    QCOMPARE((QStringList{row->text(1), row->text(4)}), (QStringList{"Set Issue", "L2::x::[I0-1]y"}));
    QCOMPARE(t.row(QStringLiteral("I0-1"))->text(1), QStringLiteral("Set Issue"));
    QVERIFY(!t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
}

void tst_redmineupdateissue::list_memberWithoutTrackerUser_assigneeRed()
{
    NEED_SERVER();
    Sync t;
    QTreeWidgetItem *own = t.mgr->GetTree()->topLevelItem(0);
    for (int c : {5, 6, 7})
        own->setText(c, QString());
    QVERIFY(t.show());
    for (const char *key : {"I0-1", "I0-2", "I0-4"}) {
        QTreeWidgetItem *r = t.row(QLatin1String(key));
        QCOMPARE(r->text(3), QString());
        QCOMPARE(back(r, 3), QStringLiteral("#ff0000"));
    }
}

// The one question before a run also comes for a single "Delete Issue" row, and "no" sends nothing.
void tst_redmineupdateissue::delete_singleRow_askedBeforeAnyRequest()
{
    NEED_SERVER();
    Sync t;
    const QString gone = t.postIssue(QStringLiteral("Gone::[I0-99]"));
    QVERIFY(t.show());
    QVERIFY(t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
    {
        Boxes boxes(QStringLiteral("no"));
        QTest::mouseClick(t.w<QPushButton>("UPDATE"), Qt::LeftButton);
        QCOMPARE(boxes.texts,
                 QStringList{"1 issue(s) will be deleted on the tracker. Do you want to delete them?"});
        QVERIFY(!t.client.IsBusy() && !t.page->IsBusy());
    }
    QCOMPARE(httpStatus(QStringLiteral("/issues/%1.xml").arg(gone)), 200);
    Boxes boxes(QStringLiteral("yes"));
    QVERIFY(t.update());
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(!t.row(QStringLiteral("I0-99")));
    QCOMPARE(httpStatus(QStringLiteral("/issues/%1.xml").arg(gone)), 404);
}

// The tracker deletes an issue's sub-issues with it: a parent whose sub-issues are not all deleted in
// the run stays, says why, and is not counted in the question; sub-issues that go, go first.
void tst_redmineupdateissue::delete_parentWithSubIssuesNotDeleted_keptWithReasonCountMatches()
{
    NEED_SERVER();
    Sync t;
    t.createAll();
    const QString live = t.row(QStringLiteral("I0-4"))->text(RedmineUpdateIssue::ColId);
    const QString parent = t.postIssue(QStringLiteral("Gone::[I0-99]"));
    const QString byHand = t.postIssue(QStringLiteral("made by hand"), parent);
    int status = 0;
    rest("PUT", QStringLiteral("/issues/%1.xml").arg(live), &status,
         QStringLiteral("<issue><parent_issue_id>%1</parent_issue_id></issue>").arg(parent).toUtf8());
    QCOMPARE(status, 204);
    const QString other = t.postIssue(QStringLiteral("Gone too::[I0-97]"));
    const QString otherChild = t.postIssue(QStringLiteral("Gone child::[I0-96]"), other);
    // Listed under a live row, with its own sub-issue listed as a row of its own.
    const QString nested = t.postIssue(QStringLiteral("Nested::[I0-93]"),
                                       t.row(QStringLiteral("I0-1"))->text(RedmineUpdateIssue::ColId));
    const QString nestedChild = t.postIssue(QStringLiteral("Nested child::[I0-92]"), nested);
    QVERIFY(t.show());
    QCOMPARE(t.row(QStringLiteral("I0-96"))->parent(), t.row(QStringLiteral("I0-97")));
    QCOMPARE(t.row(QStringLiteral("I0-93"))->parent(), t.row(QStringLiteral("I0-1")));
    for (const char *key : {"I0-99", "I0-97", "I0-96"})
        QVERIFY2(checked(t.row(QLatin1String(key))), key);

    Boxes boxes(QStringLiteral("yes"));
    QVERIFY(t.update());
    QCOMPARE(boxes.texts,
             QStringList{"4 issue(s) will be deleted on the tracker. Do you want to delete them?"});
    const QString keptEnd =
        QStringLiteral("Redmine process is end; 1 issue(s) not deleted: the tracker would "
                       "delete sub-issues with them (click the row)");
    QCOMPARE(t.page->MessageText(), keptEnd);
    for (const QString &id : {other, otherChild, nested, nestedChild})
        QCOMPARE(httpStatus(QStringLiteral("/issues/%1.xml").arg(id)), 404);
    for (const QString &id : {parent, byHand, live})
        QCOMPARE(httpStatus(QStringLiteral("/issues/%1.xml").arg(id)), 200);
    QTreeWidgetItem *kept = t.row(QStringLiteral("I0-99"));
    QVERIFY(kept && !checked(kept));
    QCOMPARE(kept->text(1), QStringLiteral("Delete Issue"));
    t.page->IssueClicked(kept, 4);
    for (const QString &id : {byHand, live})
        QVERIFY2(t.page->MessageText().contains(QLatin1Char('#') + id), qPrintable(t.page->MessageText()));
    QCOMPARE(kept->toolTip(1), t.page->MessageText());

    // A sub-issue made after the list was read is found on the tracker just before the delete.
    const QString late = t.postIssue(QStringLiteral("Late::[I0-95]"));
    QVERIFY(t.show());
    const QString lateChild = t.postIssue(QStringLiteral("late by hand"), late);
    boxes.texts.clear();
    QVERIFY(t.update());
    QCOMPARE(boxes.texts,
             QStringList{"1 issue(s) will be deleted on the tracker. Do you want to delete them?"});
    // The end names both: the one kept before the run and the one kept at its delete.
    QCOMPARE(t.page->MessageText(),
             QStringLiteral("Redmine process is end; 2 issue(s) not deleted: the tracker "
                            "would delete sub-issues with them (click the row)"));
    for (const QString &id : {parent, late, lateChild})
        QCOMPARE(httpStatus(QStringLiteral("/issues/%1.xml").arg(id)), 200);
    t.page->IssueClicked(t.row(QStringLiteral("I0-95")), 1);
    QVERIFY2(t.page->MessageText().contains(QLatin1Char('#') + lateChild), qPrintable(t.page->MessageText()));
}

// A create whose answer is lost may stand on the tracker: nothing is offered for sending until the
// list is read again, which finds the issue by its marker.
void tst_redmineupdateissue::timeout_lostCreateReply_updateOnlyAfterTargetShow()
{
    NEED_SERVER();
    Sync t;
    DropProxy proxy(file(QStringLiteral("port")).toUShort());
    t.SetStrVar(RegSlot::StrRedmineUrl, proxy.url());
    QVERIFY(t.show());
    QTreeWidgetItem *single = t.row(QStringLiteral("I0-4"));
    t.tree()->setCurrentItem(single);
    answerNextBox(QStringLiteral("no"));
    t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
    QVERIFY(checked(single));
    // The deadline goes back for the later tests whatever happens here.
    const auto restore =
        qScopeGuard([ms = NwRedmine::RequestTimeout()] { NwRedmine::SetRequestTimeout(ms); });
    NwRedmine::SetRequestTimeout(3000);
    proxy.drop = true;
    QVERIFY(t.update());
    proxy.drop = false;
    QVERIFY2(t.page->MessageText().contains(QLatin1String("target show")), qPrintable(t.page->MessageText()));
    auto *update = t.w<QPushButton>("UPDATE");
    QVERIFY(!update->isVisibleTo(t.page));
    QVERIFY(t.w<QPushButton>("TARGETSHOW")->isVisibleTo(t.page));
    t.page->ShowPageState();
    QVERIFY(!update->isVisibleTo(t.page));
    // Checking a row again offers nothing either, and a press that comes anyway sends nothing.
    single->setCheckState(0, Qt::Unchecked);
    single->setCheckState(0, Qt::Checked);
    QVERIFY(!update->isVisibleTo(t.page));
    t.page->UpdateProc();
    QVERIFY(!t.client.IsBusy());
    QCOMPARE(t.countSubject(QStringLiteral("L2::E2::[I0-4]")), 1);

    QVERIFY(t.show());
    single = t.row(QStringLiteral("I0-4"));
    QCOMPARE(single->text(1), QStringLiteral("Set Issue"));
    QVERIFY(!single->text(RedmineUpdateIssue::ColId).isEmpty());
    QCOMPARE(t.countSubject(QStringLiteral("L2::E2::[I0-4]")), 1);
}

void tst_redmineupdateissue::lostAnswer_createDone_oneIssueUpdateOnlyAfterTargetShow_data()
{
    QTest::addColumn<int>("cut");
    QTest::newRow("connection closed") << int(CutProxy::Close);
    QTest::newRow("gateway 504") << int(CutProxy::Gateway);
}

// The tracker makes the issue and its answer is lost on the way back, the connection closed or a
// gateway's 504 in its place: the create went out once, the run does not end as if all was well,
// and nothing is offered for sending until the list is read again, which finds the issue.
void tst_redmineupdateissue::lostAnswer_createDone_oneIssueUpdateOnlyAfterTargetShow()
{
    NEED_SERVER();
    QFETCH(int, cut);
    Sync t;
    CutProxy proxy(file(QStringLiteral("port")).toUShort());
    t.SetStrVar(RegSlot::StrRedmineUrl, proxy.url());
    QVERIFY(t.show());
    QTreeWidgetItem *single = t.row(QStringLiteral("I0-4"));
    t.tree()->setCurrentItem(single);
    answerNextBox(QStringLiteral("no"));
    t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
    QVERIFY(checked(single));
    proxy.cut = CutProxy::Cut(cut);
    QVERIFY(t.update());
    QCOMPARE(proxy.posts, 1);
    const QString message = t.page->MessageText();
    QVERIFY2(!message.startsWith(QLatin1String("Redmine process is end")) &&
                 message.contains(QLatin1String("target show")),
             qPrintable(message));
    QVERIFY(!t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
    QVERIFY(t.w<QPushButton>("TARGETSHOW")->isVisibleTo(t.page));
    t.page->UpdateProc();
    QVERIFY(!t.client.IsBusy());
    QCOMPARE(proxy.posts, 1);
    QCOMPARE(t.countSubject(QStringLiteral("L2::E2::[I0-4]")), 1);

    QVERIFY(t.show());
    single = t.row(QStringLiteral("I0-4"));
    QCOMPARE(single->text(1), QStringLiteral("Set Issue"));
    QVERIFY(!t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
    QCOMPARE(proxy.posts, 1);
    QCOMPARE(t.countSubject(QStringLiteral("L2::E2::[I0-4]")), 1);
}

void tst_redmineupdateissue::marker_subjectEditedOnTracker_staysLinked_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("trailing blank") << " ";
    QTest::newRow("note after the marker") << " (urgent)";
}

// Someone edits the subject on the tracker after the marker: the issue is still the element's, is
// neither filed again nor offered for deletion, and an update reads its subject back as unchanged.
void tst_redmineupdateissue::marker_subjectEditedOnTracker_staysLinked()
{
    NEED_SERVER();
    QFETCH(QString, edit);
    Sync t;
    QVERIFY(t.show());
    t.tree()->setCurrentItem(t.row(QStringLiteral("I0-4")));
    answerNextBox(QStringLiteral("no"));
    t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    const QString id = t.row(QStringLiteral("I0-4"))->text(RedmineUpdateIssue::ColId);
    const QString edited = QStringLiteral("L2::E2::[I0-4]") + edit;
    int status = 0;
    rest("PUT", QStringLiteral("/issues/%1.xml").arg(id), &status,
         QStringLiteral("<issue><subject>%1</subject><done_ratio>50</done_ratio></issue>")
             .arg(edited)
             .toUtf8());
    QCOMPARE(status, 204);
    QCOMPARE(text(rest("GET", QStringLiteral("/issues/%1.xml").arg(id)), "subject"), edited);

    QVERIFY(t.show());
    QTreeWidgetItem *row = t.row(QStringLiteral("I0-4"));
    QCOMPARE(row->text(RedmineUpdateIssue::ColId), id);
    QCOMPARE(row->text(1), QStringLiteral("Mod Issue"));
    QVERIFY(!t.page->IssueTree()
                 ->findItems(QStringLiteral("Delete Issue"), Qt::MatchExactly | Qt::MatchRecursive, 1)
                 .size());
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QCOMPARE(row->text(RedmineUpdateIssue::ColSubject), QStringLiteral("L2::E2"));
    QCOMPARE(t.countSubject(edited), 1);
    QVERIFY(t.show());
    QCOMPARE(t.row(QStringLiteral("I0-4"))->text(1), QStringLiteral("Set Issue"));
    QVERIFY(!t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));
}

// An explanation that is refused when read is not an empty description: it never marks the
// description changed, the viewer says why, and an update that finds it refused at the send (the
// file damaged after the list was read) leaves the tracker's text and still sends the other changes.
void tst_redmineupdateissue::refusedExplanation_update_trackerDescriptionKept()
{
    NEED_SERVER();
    Sync t;
    t.createAll();
    const QString path = t.dir.filePath(QStringLiteral("instance_0_4.txt"));
    TreeItemData *record = deftab::RecordOf(t.tab->FindTreeItem(QStringLiteral("0-4")));
    // The file as read anew: the instance tab keeps an explanation it read once.
    const auto rewrite = [&](const QByteArray &bytes) {
        writeFile(path, bytes);
        record->TextLoaded() = false;
    };
    const int description = RedmineUpdateIssue::ColDescription;
    rewrite(kNotUtf8);
    QVERIFY(t.show());
    QTreeWidgetItem *single = t.row(QStringLiteral("I0-4"));
    QCOMPARE(single->text(1), QStringLiteral("Set Issue"));
    QVERIFY(!hasCheckBox(single));
    QVERIFY(back(single, description) != QLatin1String("#ffff00"));
    t.page->DblIssueProc(single, description);
    const QString shown = t.page->findChild<RedmineExp *>()->Editor()->toPlainText();
    QVERIFY2(shown.contains(path) && shown.contains(QLatin1String("not UTF-8")), qPrintable(shown));

    rewrite("changed");
    record->SetAttr(QStringLiteral("TargetDate"), "2026/02/27");
    QVERIFY(t.show());
    single = t.row(QStringLiteral("I0-4"));
    QCOMPARE(single->text(1), QStringLiteral("Mod Issue"));
    QCOMPARE(back(single, description), QStringLiteral("#ffff00"));
    rewrite(kNotUtf8);
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QVERIFY(single->text(description) != QLatin1String("No field"));
    const QDomElement issue = t.issue(QStringLiteral("I0-4"));
    QCOMPARE(text(issue, "due_date"), QStringLiteral("2026-02-27"));
    QCOMPARE(text(issue, "description").replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
             QStringLiteral("short\ntext"));
}

// A new issue always carries its description: with the explanation refused, the run stops at that
// row, says which file and why, files nothing, and goes once the file reads again.
void tst_redmineupdateissue::refusedExplanation_create_stopsAtRowNothingFiled()
{
    NEED_SERVER();
    Sync t;
    const QString path = t.dir.filePath(QStringLiteral("instance_0_1.txt"));
    writeFile(path, kNotUtf8);
    deftab::RecordOf(t.tab->FindTreeItem(QStringLiteral("0-1")))->TextLoaded() = false;
    QVERIFY(t.show());
    t.tree()->setCurrentItem(t.row(QStringLiteral("I0-1")));
    answerNextBox(QStringLiteral("yes"));
    t.page->DblTrackerProc(t.mapping("TRACKER_TREE", QStringLiteral("Bug")), 0);
    QVERIFY(t.update());
    const QString message = t.page->MessageText();
    QVERIFY2(message.contains(QLatin1String("I0-1")) && message.contains(path) &&
                 message.contains(QLatin1String("not UTF-8")),
             qPrintable(message));
    QVERIFY(t.w<QLineEdit>("MSG")->styleSheet().contains(QLatin1String("#FF0000")));
    for (const char *key : {"I0-1", "I0-2", "I0-4"}) {
        QTreeWidgetItem *r = t.row(QLatin1String(key));
        QVERIFY2(checked(r) && r->text(RedmineUpdateIssue::ColId).isEmpty(), key);
    }
    QCOMPARE(t.row(QStringLiteral("I0-1"))->text(1), QStringLiteral("New Issue"));
    QCOMPARE(rest("GET", QStringLiteral("/issues.xml?project_id=%1&status_id=*").arg(t.projectId))
                 .attribute(QStringLiteral("total_count")),
             QStringLiteral("0"));
    QVERIFY(t.w<QPushButton>("UPDATE")->isVisibleTo(t.page));

    writeFile(path, "mended");
    QVERIFY(t.update());
    QCOMPARE(t.page->MessageText(), QStringLiteral("Redmine process is end"));
    QCOMPARE(text(t.issue(QStringLiteral("I0-1")), "description"), QStringLiteral("mended"));
    QCOMPARE(t.countSubject(QStringLiteral("L1::E1::[I0-1]")), 1);
}

QTEST_MAIN(tst_redmineupdateissue)
#include "tst_redmineupdateissue.moc"
