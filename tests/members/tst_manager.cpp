#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/mnguser.h"
#include "members/userinf.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace
{
QString g_boxText;

void answerNextBox(const QString &button)
{
    QTimer::singleShot(0, [button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            answerNextBox(button);
            return;
        }
        g_boxText = box->text();
        if (auto *b = box->findChild<QPushButton *>(button))
            b->click();
    });
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Workspace : public RegistryScope {
    QTemporaryDir dir;
    xmlclass *store = new xmlclass;
    deftab *tab = new deftab;
    manager *mgr;
    Workspace(const QString &user, const QString &email)
    {
        SetObj(RegSlot::ObjXmlStore, store);
        SetObj(RegSlot::ObjDeftab, tab);
        mgr = new manager;
        SetObj(RegSlot::ObjManager, mgr);
        mgr->Files().SetRetry(2, 5);
        SetStrVar(RegSlot::StrUserName, user);
        SetStrVar(RegSlot::StrUserEmail, email);
        SetStrVar(RegSlot::StrInstanceDir, dir.path());
        SetStrVar(RegSlot::StrInstanceName, QStringLiteral("I"));
        SetStrVar(RegSlot::StrInstanceVersion, QStringLiteral("0.0.1"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
    }
    ~Workspace() override
    {
        delete mgr;
        delete tab;
        delete store;
    }
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    // Keeps every parsed document alive for the test: an element outlives its document badly.
    mutable QList<QDomDocument> docs;
    QDomElement root(const QString &name) const
    {
        QDomDocument doc;
        doc.setContent(readFile(path(name)));
        docs.append(doc);
        return doc.documentElement();
    }
};
} // namespace

class tst_manager : public QObject
{
    Q_OBJECT
private slots:
    void newManager_writesWorkspaceFiles();
    void addMember_writesFilesAndNumbersSameAddress();
    void delGroupUser_withInstanceData_refused();
    void saveThenClose_groupOrderAndCloseMarker();
    void open_otherMembersFiles_neverWritten();
    void open_damagedManagerFile_keptAndNothingOpened();
    void open_memberWithoutRoot_getsReadOnlyPage();
};

void tst_manager::newManager_writesWorkspaceFiles()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    const QDomElement m = w.root(QStringLiteral("manager.xml"));
    QCOMPARE(m.tagName(), QStringLiteral("Root_manager"));
    QCOMPARE(m.attribute(QStringLiteral("Name")), QStringLiteral("I"));
    QCOMPARE(m.attribute(QStringLiteral("Version")), QStringLiteral("0.0.1"));
    QCOMPARE(m.attribute(QStringLiteral("ID")), QStringLiteral("0"));
    QCOMPARE(m.attribute(QStringLiteral("MaxID")), QStringLiteral("1"));
    QCOMPARE(w.root(QStringLiteral("instance.xml")).tagName(), QStringLiteral("Root_Instance"));
    QCOMPARE(w.root(QStringLiteral("question.xml")).attribute(QStringLiteral("MaxID")), QStringLiteral("1"));
    QCOMPARE(w.root(QStringLiteral("answer.xml")).tagName(), QStringLiteral("Root_Answer"));
    QCOMPARE(w.root(QStringLiteral("DocInstance.xml")).tagName(), QStringLiteral("Root_InstanceDoc"));
    QCOMPARE(readFile(w.path(QStringLiteral("0.iod"))), QByteArray("O"));
    QCOMPARE(w.GetIntVar(RegSlot::IntDocKind), 2);
    QCOMPARE(w.mgr->Panel()->TabCount(), 1);
}

void tst_manager::addMember_writesFilesAndNumbersSameAddress()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Root_manager/>"); // orphan of a crash
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    QCOMPARE(readFile(w.path(QStringLiteral("manager_1.xml"))), QByteArray("<Root_manager/>"));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("manager_2.xml"))));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("question_3.xml"))));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("answer_3.xml"))));
    QCOMPARE(w.mgr->GetMemberInfo(2)->DisplayName, QStringLiteral("a"));
    QCOMPARE(w.mgr->GetMemberInfo(3)->DisplayName, QStringLiteral("a(1)"));
    QCOMPARE(w.root(QStringLiteral("manager_3.xml")).attribute(QStringLiteral("User")), QStringLiteral("a"));
    QCOMPARE(w.mgr->Panel()->TabTitle(2), QStringLiteral("a(1)"));
    // Removing the first renames the second to the plain name; numbers are not reused.
    w.mgr->RemoveMember(w.mgr->GetMemberInfo(2)->TreeItem, w.mgr->GetMemberInfo(2));
    QCOMPARE(w.mgr->GetMemberInfo(3)->DisplayName, QStringLiteral("a"));
    QVERIFY(w.mgr->AddMember(QStringLiteral("b"), QStringLiteral("b@x")));
    QVERIFY(w.mgr->GetMemberInfo(4));
}

void tst_manager::delGroupUser_withInstanceData_refused()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    MemberInfo *record = w.mgr->GetMemberInfo(1);
    QVERIFY(record->InstanceItem);
    new QTreeWidgetItem(record->InstanceItem);
    w.mgr->SetCurrentItem(record->TreeItem);
    answerNextBox(QStringLiteral("yes"));
    w.mgr->DelGroupUser();
    QCOMPARE(g_boxText,
             QStringLiteral("Since there are instance data, you will not be able to delete the user."));
    QVERIFY(w.mgr->GetMemberInfo(1));
}

void tst_manager::saveThenClose_groupOrderAndCloseMarker()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("u@x")));
    w.mgr->SaveManager();
    QStringList tags;
    for (QDomElement e = w.root(QStringLiteral("manager.xml")).firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        tags << e.tagName();
    QCOMPARE(tags, (QStringList{QStringLiteral("Model"), QStringLiteral("REDMINE"), QStringLiteral("GROUP"),
                                QStringLiteral("OUT")}));
    QCOMPARE(w.root(QStringLiteral("manager.xml")).attribute(QStringLiteral("MaxID")), QStringLiteral("2"));
    w.mgr->CloseManager();
    QCOMPARE(readFile(w.path(QStringLiteral("0.iod"))), QByteArray("C"));
    QCOMPARE(readFile(w.path(QStringLiteral("1.iod"))), QByteArray("C"));
}

void tst_manager::open_otherMembersFiles_neverWritten()
{
    Workspace w(QStringLiteral("b"), QStringLiteral("b@x"));
    // Written by the manager's program: the group is a@x's, member 1 is a@x's, member 2 is ours.
    writeFile(
        w.path(QStringLiteral("manager.xml")),
        "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"3\"><Model Name=\"M\" Version=\"1.0.0\"/><GROUP>"
        "<USER ID=\"1\" Name=\"a\" Email=\"a@x\"/><USER ID=\"2\" Name=\"b\" Email=\"b@x\"/></GROUP>"
        "</Root_manager>");
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Root_manager ID=\"1\" User=\"a\" Email=\"a@x\"/>");
    writeFile(w.path(QStringLiteral("manager_2.xml")), "<Root_manager ID=\"2\" User=\"b\" Email=\"b@x\"/>");
    writeFile(w.path(QStringLiteral("1.iod")), "O");
    const QStringList theirs{QStringLiteral("manager.xml"), QStringLiteral("manager_1.xml"),
                             QStringLiteral("1.iod")};
    QMap<QString, QByteArray> bytes;
    QMap<QString, QDateTime> times;
    for (const QString &f : theirs) {
        bytes[f] = readFile(w.path(f));
        times[f] = QFileInfo(w.path(f)).lastModified();
    }
    QTest::qWait(20);
    w.mgr->OpenManager();
    QVERIFY(!w.mgr->IsManager());
    QCOMPARE(w.mgr->Panel()->TabCount(), 3);
    for (int n : {0, 1, 2})
        w.mgr->SetManagerModify(n);
    w.mgr->SaveManager();
    w.mgr->CloseManager();
    for (const QString &f : theirs) {
        QCOMPARE(readFile(w.path(f)), bytes[f]);
        QCOMPARE(QFileInfo(w.path(f)).lastModified(), times[f]);
    }
    QVERIFY(readFile(w.path(QStringLiteral("manager_2.xml"))).contains("OUT"));
    QCOMPARE(readFile(w.path(QStringLiteral("2.iod"))), QByteArray("C"));
}

void tst_manager::open_damagedManagerFile_keptAndNothingOpened()
{
    Workspace w(QStringLiteral("b"), QStringLiteral("b@x"));
    const QByteArray half = "<Root_manager User=\"a\" Email=\"a@x\"><GROUP><USER ID=\"1\"";
    writeFile(w.path(QStringLiteral("manager.xml")), half);
    w.mgr->OpenManager();
    QCOMPARE(readFile(w.path(QStringLiteral("manager.xml"))), half);
    QCOMPARE(w.mgr->GetTree()->topLevelItemCount(), 0);
    QCOMPARE(w.GetIntVar(RegSlot::IntDocKind), 0);
}

void tst_manager::open_memberWithoutRoot_getsReadOnlyPage()
{
    Workspace w(QStringLiteral("a"), QStringLiteral("a@x"));
    writeFile(
        w.path(QStringLiteral("manager.xml")),
        "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"2\"><GROUP><USER ID=\"1\" Name=\"a\" Email=\"a@x\"/>"
        "<USER ID=\"abc\" Name=\"x\"/></GROUP></Root_manager>");
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Other/>");
    w.mgr->OpenManager();
    MemberInfo *record = w.mgr->GetMemberInfo(1);
    QVERIFY(record && record->Page);
    QVERIFY(w.mgr->GetMemberInfo(0));
    QCOMPARE(w.mgr->GetTree()->topLevelItem(0)->childCount(), 1);
    w.mgr->SetManagerModify(1);
    w.mgr->SaveManager();
    QCOMPARE(readFile(w.path(QStringLiteral("manager_1.xml"))), QByteArray("<Other/>"));
}

QTEST_MAIN(tst_manager)
#include "tst_manager.moc"
