#include "core/defvar.h"
#include "core/globalmutex.h"
#include "core/longvalue.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "domtext.h"
#include "instance/deftab.h"
#include "loadtiming.h"
#include "members/adduserdiag.h"
#include "members/manager.h"
#include "members/mnguser.h"
#include "members/userinf.h"
#include "model/calendar.h"
#include "shell/numeditor.h"
#include "testsupport_widgets.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <map>
#include <memory>

using namespace TestSupport;

namespace
{
struct Workspace : public RegistryScope {
    QTemporaryDir own;
    QString dirPath;
    // The program's process-wide mutexes: the chat worker reads the member records under them.
    GlobalMutex mutex;
    xmlclass *store = new xmlclass;
    deftab *tab = new deftab;
    manager *mgr;
    // A shared folder stands for one workspace that several members' programs open.
    Workspace(const QString &user, const QString &email, const QString &shared = QString())
        : dirPath(shared.isEmpty() ? own.path() : shared)
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjGlobalMutex, &mutex);
        SetObj(RegSlot::ObjXmlStore, store);
        SetObj(RegSlot::ObjDeftab, tab);
        mgr = new manager;
        SetObj(RegSlot::ObjManager, mgr);
        mgr->Files().SetRetry(2, 5);
        SetStrVar(RegSlot::StrUserName, user);
        SetStrVar(RegSlot::StrUserEmail, email);
        SetStrVar(RegSlot::StrInstanceDir, dirPath);
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
    QString path(const QString &name) const { return dirPath + QLatin1Char('/') + name; }
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
    void newManager_instanceFile_isANewInstanceDocument();
    void addMember_writesFilesAndNumbersSameAddress();
    void delGroupUser_withInstanceData_refused();
    void saveThenClose_groupOrderAndCloseMarker();
    void open_otherMembersFiles_neverWritten();
    void open_unreadableManagerFile_keptAndNothingOpened_data();
    void open_unreadableManagerFile_keptAndNothingOpened();
    void open_memberWithoutRoot_getsReadOnlyPage();
    void open_wrongRootManagerFiles_namedAndKept_data();
    void open_wrongRootManagerFiles_namedAndKept();
    void open_ownMarkerALink_refusedByNameOthersMarkerKept();
    void open_otherMembersPage_builtOnFirstUseWithTheFilesValues();
    void openClose_manyMembers_timeGrowsLinearly();
    void notes_editedInEditor_marksMemberAndIsWritten();
    void calendar_completionLocksPage_unfinishedReopens();
    void saveInstance_writesOwnFilesOnly();
    void saveInstance_unwritableFile_setsWriteFailed();
    void twoPrograms_eachWritesOnlyItsOwnFiles();
    void redmineTable_looksUpByIdColumn();
    void addGroupUser_pickerAddsChosenAccount();
    void addGroupUser_folderNotListed_noNumberLeavesWorkspaceUnmodified();
    void addMember_filesOfANumberWithoutMemberFile_takesTheNextNumber();
    void addMember_longNameOrAddress_refusedWithNothingCreated_data();
    void addMember_longNameOrAddress_refusedWithNothingCreated();
    void changeMember_longAccount_refusedRecordUnchanged();
    void notes_atAndPastTheLimit_writtenOrKeptInEditor_data();
    void notes_atAndPastTheLimit_writtenOrKeptInEditor();
    void save_noEdit_keepsWhatTheGroupFileHoldsUnread();
    void handOverAndOwnSave_eitherOrder_bothKept_data();
    void handOverAndOwnSave_eitherOrder_bothKept();
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

// The instance tab reads this file as its own: the next element ID is 0 and the dates are there.
void tst_manager::newManager_instanceFile_isANewInstanceDocument()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    // Either day, should the run cross midnight.
    const QString before = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    w.mgr->NewManager();
    const QString after = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    const QDomElement root = w.root(QStringLiteral("instance.xml"));
    QCOMPARE(root.tagName(), QStringLiteral("Root_Instance"));
    QStringList attrs;
    for (int i = 0; i < root.attributes().count(); ++i)
        attrs << root.attributes().item(i).nodeName();
    attrs.sort();
    QCOMPARE(attrs, QStringList({"CompletionDate", "ID", "MaxID", "StartDate", "TargetDate"}));
    QCOMPARE(root.attribute(QStringLiteral("ID")), QStringLiteral("0"));
    QCOMPARE(root.attribute(QStringLiteral("MaxID")), QStringLiteral("0"));
    const QString start = root.attribute(QStringLiteral("StartDate"));
    QVERIFY2(start == before || start == after, qPrintable(start));
    QCOMPARE(root.attribute(QStringLiteral("TargetDate"), QStringLiteral("<none>")), QString());
    QCOMPARE(root.attribute(QStringLiteral("CompletionDate"), QStringLiteral("<none>")), QString());
    QVERIFY(!root.hasChildNodes());
}

void tst_manager::addMember_writesFilesAndNumbersSameAddress()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Root_manager/>"); // orphan of a crash
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    QVERIFY(w.mgr->AddMember(QStringLiteral("b"), QStringLiteral("a@x")));
    QCOMPARE(readFile(w.path(QStringLiteral("manager_1.xml"))), QByteArray("<Root_manager/>"));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("manager_2.xml"))));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("question_3.xml"))));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("answer_3.xml"))));
    QCOMPARE(w.mgr->GetMemberInfo(2)->DisplayName, QStringLiteral("a"));
    QCOMPARE(w.mgr->GetMemberInfo(3)->DisplayName, QStringLiteral("b(1)"));
    QCOMPARE(w.root(QStringLiteral("manager_3.xml")).attribute(QStringLiteral("User")), QStringLiteral("b"));
    QCOMPARE(w.mgr->Panel()->TabTitle(2), QStringLiteral("b(1)"));
    // Removing the first drops the second's suffix, under its own name; numbers are not reused.
    w.mgr->RemoveMember(w.mgr->GetMemberInfo(2)->TreeItem, w.mgr->GetMemberInfo(2));
    QCOMPARE(w.mgr->GetMemberInfo(3)->DisplayName, QStringLiteral("b"));
    QCOMPARE(w.mgr->GetMemberInfo(3)->TreeItem->text(0), QStringLiteral("b"));
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
    QString boxText;
    answerNextBox(QStringLiteral("yes"), nullptr, &boxText);
    w.mgr->DelGroupUser();
    QCOMPARE(boxText,
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

namespace
{
// The group file of a@x's team, a@x as member 1 and b@x as member 2, each member's file its own.
void writeTeamManager(Workspace &w)
{
    writeFile(
        w.path(QStringLiteral("manager.xml")),
        "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"3\"><Model Name=\"M\" Version=\"1.0.0\"/><GROUP>"
        "<USER ID=\"1\" Name=\"a\" Email=\"a@x\"/><USER ID=\"2\" Name=\"b\" Email=\"b@x\"/></GROUP>"
        "</Root_manager>");
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Root_manager ID=\"1\" User=\"a\" Email=\"a@x\"/>");
    writeFile(w.path(QStringLiteral("manager_2.xml")), "<Root_manager ID=\"2\" User=\"b\" Email=\"b@x\"/>");
}
} // namespace

void tst_manager::open_otherMembersFiles_neverWritten()
{
    Workspace w(QStringLiteral("b"), QStringLiteral("b@x"));
    // Written by the manager's program: the group is a@x's, member 1 is a@x's, member 2 is ours.
    writeTeamManager(w);
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

void tst_manager::open_unreadableManagerFile_keptAndNothingOpened_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("half written") << QString()
                                  << QByteArray("<Root_manager User=\"a\"><GROUP><USER ID=\"1\"");
    QTest::newRow("deep") << QString()
                          << QByteArray("<a>").repeated(50000) + QByteArray("</a>").repeated(50000);
    // A share that is offline: a new manager.xml would replace the team's when it comes back.
    QTest::newRow("folder gone") << QStringLiteral("/gone") << QByteArray();
}

void tst_manager::open_unreadableManagerFile_keptAndNothingOpened()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, bytes);
    Workspace w(QStringLiteral("b"), QStringLiteral("b@x"));
    w.SetStrVar(RegSlot::StrInstanceDir, w.dirPath + folder);
    if (!bytes.isEmpty())
        writeFile(w.path(QStringLiteral("manager.xml")), bytes);
    QVERIFY(!w.mgr->OpenManager());
    QCOMPARE(readFile(w.path(QStringLiteral("manager.xml"))), bytes);
    QVERIFY(!QFileInfo::exists(w.dirPath + folder + QStringLiteral("/0.iod")));
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

void tst_manager::open_wrongRootManagerFiles_namedAndKept_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("manager.xml") << QStringLiteral("manager.xml") << false;
    QTest::newRow("manager_1.xml") << QStringLiteral("manager_1.xml") << true;
}

// Another kind of file under a member file's name: said by name, never saved over; a group file
// that is not one opens nothing rather than an empty team.
void tst_manager::open_wrongRootManagerFiles_namedAndKept()
{
    QFETCH(QString, name);
    QFETCH(bool, opens);
    Workspace w(QStringLiteral("a"), QStringLiteral("a@x"));
    writeFile(w.path(QStringLiteral("manager.xml")),
              "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"2\"><GROUP><USER ID=\"1\" Name=\"a\" "
              "Email=\"a@x\"/></GROUP></Root_manager>");
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Root_manager ID=\"1\" User=\"a\" Email=\"a@x\"/>");
    const QByteArray foreign("<Root_Question ID=\"1\" MaxID=\"1\"/>");
    writeFile(w.path(name), foreign);
    UiReport::ClearLast();
    QCOMPARE(w.mgr->OpenManager(), opens);
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File left out"));
    QVERIFY2(UiReport::LastText().contains(w.path(name)), qPrintable(UiReport::LastText()));
    QVERIFY(UiReport::LastText().contains(QStringLiteral("\"Root_Question\"")));
    QCOMPARE(w.mgr->GetTree()->topLevelItemCount(), opens ? 1 : 0);
    if (opens) {
        w.mgr->SetManagerModify(0);
        w.mgr->SetManagerModify(1);
        w.mgr->SaveManager();
        w.mgr->CloseManager();
    }
    QCOMPARE(readFile(w.path(name)), foreign);
}

// The own presence file made a link to member 1's: "O" never reaches member 1's file, and the
// refusal names the own file.
void tst_manager::open_ownMarkerALink_refusedByNameOthersMarkerKept()
{
    Workspace w(QStringLiteral("a"), QStringLiteral("a@x"));
    writeFile(w.path(QStringLiteral("manager.xml")),
              "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"2\"><GROUP><USER ID=\"1\" Name=\"b\" "
              "Email=\"b@x\"/></GROUP></Root_manager>");
    writeFile(w.path(QStringLiteral("manager_1.xml")), "<Root_manager ID=\"1\" User=\"b\" Email=\"b@x\"/>");
    writeFile(w.path(QStringLiteral("1.iod")), "C");
    QVERIFY(QFile::link(w.path(QStringLiteral("1.iod")), w.path(QStringLiteral("0.iod"))));
    UiReport::ClearLast();
    QVERIFY(w.mgr->OpenManager());
    QVERIFY2(UiReport::LastText().contains(w.path(QStringLiteral("0.iod"))),
             qPrintable(UiReport::LastText()));
    w.mgr->CloseManager();
    QCOMPARE(readFile(w.path(QStringLiteral("1.iod"))), QByteArray("C"));
    QVERIFY(QFileInfo(w.path(QStringLiteral("0.iod"))).isSymLink());
}

namespace
{
struct Snapshot {
    QMap<QString, QByteArray> bytes;
    QMap<QString, QDateTime> times;
};

Snapshot snapshot(const Workspace &w, const QStringList &files)
{
    Snapshot s;
    for (const QString &f : files) {
        s.bytes[f] = readFile(w.path(f));
        s.times[f] = QFileInfo(w.path(f)).lastModified();
    }
    return s;
}

bool unchanged(const Workspace &w, const Snapshot &s)
{
    for (auto it = s.bytes.begin(); it != s.bytes.end(); ++it) {
        if (readFile(w.path(it.key())) != it.value() ||
            QFileInfo(w.path(it.key())).lastModified() != s.times.value(it.key())) {
            qWarning() << "changed:" << it.key();
            return false;
        }
    }
    return true;
}

// What a member's program does on save-all when everything is marked.
void saveEverything(Workspace &w)
{
    for (int n = 0; n < 10; ++n) {
        w.mgr->SetManagerModify(n);
        w.mgr->SetInstanceModify(n);
    }
    w.mgr->SaveManager();
    w.tab->SaveInstance();
}
} // namespace

// A group may have thousands of members: another member's page is built when first needed, and
// until then its record, its tab and every reader see the values of its file.
void tst_manager::open_otherMembersPage_builtOnFirstUseWithTheFilesValues()
{
    Workspace w(QStringLiteral("a"), QStringLiteral("a@x"));
    writeFile(
        w.path(QStringLiteral("manager.xml")),
        "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"3\"><GROUP><USER ID=\"1\" Name=\"a\" Email=\"a@x\"/>"
        "<USER ID=\"2\" Name=\"b\" Email=\"b@x\"/></GROUP></Root_manager>");
    writeFile(w.path(QStringLiteral("manager_2.xml")),
              "<Root_manager User=\"b\" Email=\"b@x\" ProcEmail=\"p@x\" StartDate=\"2026/01/02\" "
              "TargetDate=\"2026/03/04\" CompletionDate=\"\"><OUT DIR=\"/out/b\"/></Root_manager>");
    writeFile(w.path(QStringLiteral("manager_2.txt")), "b's notes");
    QVERIFY(w.mgr->OpenManager());
    MngUser *panel = w.mgr->Panel();
    QVERIFY(w.mgr->GetMemberInfo(1)->Page); // the running user's own page is there at once
    MemberInfo *other = w.mgr->GetMemberInfo(2);
    QVERIFY(!other->Page && !other->Editor);
    QCOMPARE(other->StartDate, QStringLiteral("2026/01/02"));
    QCOMPARE(other->OutDir, QStringLiteral("/out/b"));
    QCOMPARE(panel->TabCount(), 3);
    QCOMPARE(panel->TabTitle(2), QStringLiteral("b"));

    // Shown by its tab: built from the file, and building it is no edit.
    w.SetBoolVar(RegSlot::FlagMemberModified, false);
    panel->ShowUserTab(QStringLiteral("b"));
    UserInf *page = other->Page;
    QVERIFY(page);
    QCOMPARE(panel->MemberPage(2), page);
    QCOMPARE(page->TargetDate(), QStringLiteral("2026/03/04"));
    QCOMPARE(page->OutDir(), QStringLiteral("/out/b"));
    QCOMPARE(page->NotesText(), QStringLiteral("b's notes"));
    QCOMPARE(other->Editor, page->NotesEditor());
    QVERIFY(!w.GetBoolVar(RegSlot::FlagMemberModified));
    QVERIFY(!other->MemberModified);
    // Read again without a close: no tab is left of the members before, built or not.
    w.mgr->OpenManager();
    QCOMPARE(panel->TabCount(), w.GetObj<MemberList>(RegSlot::ObjMemberList)->size() + 1);
    w.mgr->CloseManager();
    QCOMPARE(panel->TabCount(), 1);
}

// Pages, tabs, absence checks and tree rows per member were each quadratic in the group's size.
// Each size's workspace is written whole (every member's files there, as in a team's workspace)
// before any run is timed: a run that made and synced thousands of missing files and removed its
// folder spent most of its processor time in the kernel, whose share on a loaded machine varies
// several times over from run to run, and failed the bound on a linear open.
void tst_manager::openClose_manyMembers_timeGrowsLinearly()
{
    std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    const auto folderOf = [&folders](int count) {
        std::unique_ptr<QTemporaryDir> &folder = folders[count];
        if (folder)
            return folder->path();
        folder = std::make_unique<QTemporaryDir>();
        const QString dir = folder->path() + QLatin1Char('/');
        QByteArray xml("<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"2\"><GROUP>");
        for (int i = 1; i <= count; ++i) {
            const QByteArray n = QByteArray::number(i);
            xml += "<USER ID=\"" + n + "\" Name=\"u\" Email=\"u" + n + "@x\"/>";
            writeFile(dir + QStringLiteral("manager_%1.xml").arg(i),
                      "<Root_manager ID=\"" + n + "\" User=\"u\" Email=\"u" + n + "@x\"/>");
            writeFile(dir + QStringLiteral("instance_%1.xml").arg(i),
                      "<Root_Instance ID=\"" + n + "\" MaxID=\"0\"/>");
        }
        writeFile(dir + QStringLiteral("manager.xml"), xml + "</GROUP></Root_manager>");
        return folder->path();
    };
    const int small = 200;
    const int large = 2000;
    folderOf(small);
    folderOf(large);
    const auto load = [&folderOf](int count) {
        Workspace w(QStringLiteral("a"), QStringLiteral("a@x"), folderOf(count));
        QVERIFY(w.mgr->OpenManager());
        QCOMPARE(w.mgr->Panel()->TabCount(), count + 1);
        w.mgr->CloseManager();
    };
    TestSupport::verifyScales(load, small, large);
}

void tst_manager::notes_editedInEditor_marksMemberAndIsWritten()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("u@x")));
    MemberInfo *record = w.mgr->GetMemberInfo(1);
    QVERIFY(record->Editor);
    QCOMPARE(record->Editor, record->Page->NotesEditor());
    QCOMPARE(record->Editor->Kind(), 6);
    w.mgr->SaveManager();
    QVERIFY(!QFileInfo::exists(w.path(QStringLiteral("manager_1.txt")))); // notes not edited
    record->MemberModified = false;
    w.SetBoolVar(RegSlot::FlagMemberModified, false);
    record->Editor->insertPlainText(QStringLiteral("notes \u00e9"));
    QVERIFY(record->MemberModified);
    QVERIFY(w.GetBoolVar(RegSlot::FlagMemberModified));
    w.mgr->SaveManager();
    QCOMPARE(readFile(w.path(QStringLiteral("manager_1.txt"))), QStringLiteral("notes \u00e9").toUtf8());
    QVERIFY(!record->Editor->IsModified());

    w.mgr->SetCurrentItem(record->TreeItem);
    w.mgr->SetActiveEditor();
    QCOMPARE(w.GetObj<NumEditor>(RegSlot::ObjCurrentEditor), record->Editor);

    // A member tab the user brings up makes its notes the editor Edit acts on.
    w.mgr->show();
    auto *tabs = w.mgr->Panel()->findChild<QTabWidget *>(QStringLiteral("USERTAB"));
    tabs->setCurrentIndex(0);
    QCOMPARE(w.GetObj<NumEditor>(RegSlot::ObjCurrentEditor), w.mgr->GetMemberInfo(0)->Editor);
    tabs->setCurrentIndex(1);
    QCOMPARE(w.GetObj<NumEditor>(RegSlot::ObjCurrentEditor), record->Editor);

    // Notes of more lines than an editor is given are not read, and what stands in for them is
    // never saved over them, even when the editor was let to take an edit.
    const QByteArray crowded = QByteArray("n\n").repeated(TextFiles::MaxTextLines + 1);
    writeFile(w.path(QStringLiteral("manager_1.txt")), crowded);
    record->Page->SetMember(1);
    QVERIFY(record->Editor->isReadOnly());
    QVERIFY(
        record->Editor->placeholderText().startsWith(w.path(QStringLiteral("manager_1.txt")) + " holds "));
    record->Editor->setReadOnly(false);
    record->Editor->insertPlainText(QStringLiteral("typed"));
    QVERIFY(record->Page->NotesModified());
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    w.mgr->SaveManager();
    QCOMPARE(readFile(w.path(QStringLiteral("manager_1.txt"))), crowded);
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));
}

void tst_manager::calendar_completionLocksPage_unfinishedReopens()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    UserInf *page = w.mgr->Panel()->OwnerPage();
    MemberInfo *group = w.mgr->GetMemberInfo(0);
    Calendar *calendar = page->DateDialog();
    // The day the start was set to, whichever side of midnight the run is on now.
    const QDate today = QDate::fromString(page->StartDate(), QStringLiteral("yyyy/MM/dd"));
    QVERIFY(today.isValid() && today.daysTo(QDate::currentDate()) >= 0 &&
            today.daysTo(QDate::currentDate()) <= 1);
    auto *startButton = page->findChild<QPushButton *>(QStringLiteral("SBTN"));
    auto *completionButton = page->findChild<QPushButton *>(QStringLiteral("CBTN"));
    QVERIFY(startButton->isEnabled());

    page->CdateBtnProc();
    QCOMPARE(calendar->windowTitle(), QStringLiteral("Set Completion Date"));
    calendar->SelectDate(today.addDays(-1));
    calendar->OkProc();
    QCOMPARE(calendar->Message(), QStringLiteral("Start Date > Completion Date"));
    QVERIFY(page->CompletionDate().isEmpty());
    QVERIFY(calendar->isVisible());

    calendar->SelectDate(today.addDays(3));
    calendar->OkProc();
    QCOMPARE(page->CompletionDate(), today.addDays(3).toString(QStringLiteral("yyyy/MM/dd")));
    QVERIFY(group->Completed);
    QVERIFY(!startButton->isEnabled());
    QVERIFY(completionButton->isEnabled()); // the user may still withdraw it
    QVERIFY(!calendar->isVisible());

    page->CdateBtnProc();
    calendar->UnfinishedProc();
    QVERIFY(page->CompletionDate().isEmpty());
    QVERIFY(!group->Completed);
    QVERIFY(startButton->isEnabled());

    page->TdateBtnProc();
    QCOMPARE(calendar->windowTitle(), QStringLiteral("Set Target Date"));
    calendar->SelectDate(today.addDays(7));
    calendar->OkProc();
    QCOMPARE(page->TargetDate(), today.addDays(7).toString(QStringLiteral("yyyy/MM/dd")));
    page->SdateBtnProc();
    QCOMPARE(calendar->windowTitle(), QStringLiteral("Set Start Date"));
    calendar->SelectDate(today.addDays(8));
    calendar->OkProc();
    QCOMPARE(calendar->Message(), QStringLiteral("Start Date > Target Date"));
    calendar->CancelProc();
}

namespace
{
void writeTeamWorkspace(Workspace &w)
{
    // Written by a@x's program: the group and member 1 are a@x's, member 2 is b@x's.
    writeTeamManager(w);
    writeFile(w.path(QStringLiteral("instance.xml")), "<Root_Instance ID=\"0\" MaxID=\"1\"/>");
    writeFile(w.path(QStringLiteral("instance_1.xml")), "<Root_Instance ID=\"1\" MaxID=\"1\"/>");
}
} // namespace

void tst_manager::saveInstance_writesOwnFilesOnly()
{
    Workspace w(QStringLiteral("b"), QStringLiteral("b@x"));
    writeTeamWorkspace(w);
    const Snapshot theirs = snapshot(w, {QStringLiteral("instance.xml"), QStringLiteral("instance_1.xml")});
    QTest::qWait(20);
    w.mgr->OpenManager();
    for (int n : {0, 1, 2})
        QVERIFY(w.mgr->SetInstanceModify(n));
    w.tab->SaveInstance();
    QVERIFY(unchanged(w, theirs));
    QCOMPARE(w.root(QStringLiteral("instance_2.xml")).tagName(), QStringLiteral("Root_Instance"));
    QVERIFY(!w.mgr->GetMemberInfo(2)->InstanceModified);
    QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
}

void tst_manager::saveInstance_unwritableFile_setsWriteFailed()
{
    Workspace w(QStringLiteral("b"), QStringLiteral("b@x"));
    writeTeamWorkspace(w);
    w.mgr->OpenManager();
    QVERIFY(QFile::remove(w.path(QStringLiteral("instance_2.xml"))));
    QVERIFY(QDir(w.dirPath).mkdir(QStringLiteral("instance_2.xml")));
    w.mgr->SetInstanceModify(2);
    w.tab->SaveInstance();
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(w.mgr->GetMemberInfo(2)->InstanceModified); // still to be written next time
}

void tst_manager::twoPrograms_eachWritesOnlyItsOwnFiles()
{
    QTemporaryDir shared;
    QTemporaryDir homeA;
    QTemporaryDir homeB;
    const QStringList groupFiles{QStringLiteral("manager.xml"),     QStringLiteral("instance.xml"),
                                 QStringLiteral("question.xml"),    QStringLiteral("answer.xml"),
                                 QStringLiteral("DocInstance.xml"), QStringLiteral("0.iod")};
    const QStringList memberFiles{QStringLiteral("manager_1.xml"),  QStringLiteral("instance_1.xml"),
                                  QStringLiteral("question_1.xml"), QStringLiteral("answer_1.xml"),
                                  QStringLiteral("1.iod"),          QStringLiteral("manager_1.txt")};
    const QByteArray oldHome = qgetenv("HOME");
    Snapshot aFiles;
    {
        qputenv("HOME", homeA.path().toUtf8());
        Workspace a(QStringLiteral("a"), QStringLiteral("a@x"), shared.path());
        a.mgr->NewManager();
        QVERIFY(a.mgr->AddMember(QStringLiteral("b"), QStringLiteral("b@x")));
        saveEverything(a);
        a.mgr->CloseManager();
        aFiles = snapshot(a, groupFiles);
        QVERIFY(!QFileInfo::exists(a.path(QStringLiteral("1.iod")))); // b's marker is b's to write
        // b's missing instance file is made once, empty; from then on it is b's to write.
        QCOMPARE(a.root(QStringLiteral("instance_1.xml")).attribute(QStringLiteral("ID")),
                 QStringLiteral("1"));
    }
    QTest::qWait(20);
    Snapshot bFiles;
    {
        qputenv("HOME", homeB.path().toUtf8());
        Workspace b(QStringLiteral("b"), QStringLiteral("b@x"), shared.path());
        b.mgr->OpenManager();
        QVERIFY(!b.mgr->IsManager());
        MemberInfo *own = b.mgr->GetMemberInfo(1);
        QVERIFY(own && own->OtherUser == 0);
        own->Editor->insertPlainText(QStringLiteral("b's notes"));
        saveEverything(b);
        QCOMPARE(readFile(b.path(QStringLiteral("1.iod"))), QByteArray("O"));
        b.mgr->CloseManager();
        QVERIFY(unchanged(b, aFiles));
        QVERIFY(readFile(b.path(QStringLiteral("manager_1.xml"))).contains("OUT"));
        QCOMPARE(readFile(b.path(QStringLiteral("1.iod"))), QByteArray("C"));
        QCOMPARE(readFile(b.path(QStringLiteral("manager_1.txt"))), QByteArray("b's notes"));
        bFiles = snapshot(b, memberFiles);
    }
    QTest::qWait(20);
    {
        qputenv("HOME", homeA.path().toUtf8());
        Workspace a(QStringLiteral("a"), QStringLiteral("a@x"), shared.path());
        a.mgr->OpenManager();
        QVERIFY(a.mgr->IsManager());
        // Another member's page is built when first shown.
        QVERIFY(!a.mgr->GetMemberInfo(1)->Page);
        QCOMPARE(a.mgr->Panel()->MemberPage(1)->NotesText(), QStringLiteral("b's notes"));
        saveEverything(a);
        a.mgr->CloseManager();
        QVERIFY(unchanged(a, bFiles));
        const QDomElement user = a.root(QStringLiteral("manager.xml"))
                                     .firstChildElement(QStringLiteral("GROUP"))
                                     .firstChildElement(QStringLiteral("USER"));
        QCOMPARE(user.attribute(QStringLiteral("ID")), QStringLiteral("1"));
        QCOMPARE(user.attribute(QStringLiteral("Email")), QStringLiteral("b@x"));
        QCOMPARE(readFile(a.path(QStringLiteral("0.iod"))), QByteArray("C"));
    }
    qputenv("HOME", oldHome);
}

void tst_manager::redmineTable_looksUpByIdColumn()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    QTreeWidgetItem *member = w.mgr->GetMemberInfo(1)->TreeItem;
    member->setText(5, QStringLiteral("Last"));
    member->setText(6, QStringLiteral("First"));
    member->setText(7, QStringLiteral("12"));
    w.mgr->MakeRedmineTable();
    QCOMPARE(w.mgr->RedmineUserName(QStringLiteral("I1-Subject")),
             qMakePair(QStringLiteral("First Last"), QStringLiteral("12")));
    QCOMPARE(w.mgr->RedmineUserName(QStringLiteral("I9-x")), qMakePair(QString(), QString()));
    QVERIFY(w.mgr->GetTree()->isColumnHidden(5));
    w.mgr->ShowRedmineColumns(true);
    QVERIFY(!w.mgr->GetTree()->isColumnHidden(5));
}

AddUserDiag *shownPicker()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<AddUserDiag *>(top); d && d->isVisible())
            return d;
    }
    return nullptr;
}

void tst_manager::addGroupUser_pickerAddsChosenAccount()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.store->NewXmlDoc(XmlIndex::Settings, QStringLiteral("Init"));
    QDomDocument *settings = w.store->GetXmlDoc(XmlIndex::Settings);
    QDomElement child = settings->createElement(QStringLiteral("CHILD"));
    QDomElement kid = settings->createElement(QStringLiteral("ChildUser"));
    kid.setAttribute(QStringLiteral("Name"), QStringLiteral("kid"));
    kid.setAttribute(QStringLiteral("Email"), QStringLiteral("kid@x"));
    child.appendChild(kid);
    settings->documentElement().appendChild(child);
    w.mgr->NewManager();
    w.mgr->AddGroupUser();
    AddUserDiag *picker = shownPicker();
    QVERIFY(picker);
    auto *tree = picker->findChild<QTreeWidget *>(QStringLiteral("TREE"));
    QCOMPARE(tree->topLevelItemCount(), 2);
    tree->setCurrentItem(tree->topLevelItem(1));
    picker->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    QVERIFY(!picker->isVisible());
    QCOMPARE(w.mgr->GetMemberInfo(1)->Email, QStringLiteral("kid@x"));
    QVERIFY(QFileInfo::exists(w.path(QStringLiteral("manager_1.xml"))));
    QVERIFY(w.GetBoolVar(RegSlot::FlagMemberModified));
}

// A number is found while any is free; a folder that cannot be listed gives none, since a file
// there may hold any of them: the member is refused and nothing changes.
void tst_manager::addGroupUser_folderNotListed_noNumberLeavesWorkspaceUnmodified()
{
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("instance"));
    QVERIFY(QDir().mkpath(folder));
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"), folder);
    writeFile(w.path(QStringLiteral("manager.xml")),
              "<Root_manager User=\"u\" Email=\"u@x\" MaxID=\"10000\"><GROUP/></Root_manager>");
    QVERIFY(w.mgr->OpenManager());
    QVERIFY(!w.GetBoolVar(RegSlot::FlagSaveNeeded));
    // A file where the folder was: it cannot be listed.
    QVERIFY(QDir(folder).removeRecursively());
    writeFile(folder, "not a folder");
    w.mgr->AddGroupUser();
    AddUserDiag *picker = shownPicker();
    QVERIFY(picker);
    auto *tree = picker->findChild<QTreeWidget *>(QStringLiteral("TREE"));
    tree->setCurrentItem(tree->topLevelItem(0));
    picker->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    QCOMPARE(w.mgr->GetTree()->topLevelItem(0)->childCount(), 0);
    QCOMPARE(UiReport::LastText(), QStringLiteral("folder not readable:") + folder);
    QVERIFY(!w.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(!w.GetBoolVar(RegSlot::FlagMemberModified));
    QVERIFY(!w.mgr->GetMemberInfo(0)->MemberModified);
    QCOMPARE(readFile(folder), QByteArray("not a folder"));
}

// Member 3's member file was never written (or was removed), its other files are there: the next
// member must not take them over.
void tst_manager::addMember_filesOfANumberWithoutMemberFile_takesTheNextNumber()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    QVERIFY(w.mgr->AddMember(QStringLiteral("b"), QStringLiteral("b@x")));
    const std::map<QString, QByteArray> left{
        {QStringLiteral("question_3.xml"),
         "<Root_Question ID=\"3\" MaxID=\"2\"><QUESTION ID=\"1\" Title=\"q\"/></Root_Question>"},
        {QStringLiteral("instance_3.xml"),
         "<Root_Instance ID=\"3\" MaxID=\"1\"><ELEMENT ID=\"0\"/></Root_Instance>"},
        {QStringLiteral("manager_3.txt"), "c's notes"}};
    for (const auto &[name, bytes] : left)
        writeFile(w.path(name), bytes);
    QVERIFY(w.mgr->AddMember(QStringLiteral("d"), QStringLiteral("d@x")));
    QVERIFY(!w.mgr->GetMemberInfo(3));
    QCOMPARE(w.mgr->GetMemberInfo(4)->Name, QStringLiteral("d"));
    QVERIFY(!QFileInfo::exists(w.path(QStringLiteral("manager_3.xml"))));
    for (int n : {0, 1, 2, 4})
        w.mgr->SetManagerModify(n);
    w.mgr->SaveManager();
    for (const auto &[name, bytes] : left)
        QCOMPARE(readFile(w.path(name)), bytes);
    QCOMPARE(w.root(QStringLiteral("manager.xml")).attribute(QStringLiteral("MaxID")), QStringLiteral("5"));
}

void tst_manager::addMember_longNameOrAddress_refusedWithNothingCreated_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("added");
    const int max = LongValue::MaxChars;
    QTest::newRow("a name of 5,000") << QString(5000, 'n') << "a@x" << false;
    QTest::newRow("an account of 4,996") << "a" << QString(4994, 'a') + "@x" << false;
    QTest::newRow("a name one past the limit") << QString(max + 1, 'n') << "a@x" << false;
    QTest::newRow("a name at the limit") << QString(max, 'n') << "a@x" << true;
}

// The group's reader leaves out an entry with such a value: the member would be gone at the next
// open. Refused before anything is made: no row, no tab, no file, no mark, and Ctrl+S writes none.
void tst_manager::addMember_longNameOrAddress_refusedWithNothingCreated()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(bool, added);
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    w.SetBoolVar(RegSlot::FlagSaveNeeded, false);
    w.SetBoolVar(RegSlot::FlagMemberModified, false);
    w.mgr->GetMemberInfo(0)->MemberModified = false;
    UiReport::ClearLast();
    QCOMPARE(w.mgr->AddMember(name, address), added);
    QCOMPARE(w.mgr->GetTree()->topLevelItem(0)->childCount(), added ? 1 : 0);
    QCOMPARE(w.mgr->Panel()->TabCount(), added ? 2 : 1);
    for (const char *file : {"manager_1.xml", "question_1.xml", "answer_1.xml"})
        QCOMPARE(QFileInfo::exists(w.path(QLatin1String(file))), added);
    QCOMPARE(w.GetBoolVar(RegSlot::FlagSaveNeeded), added);
    if (!added) {
        const QString shown = LongValue::Shown(name.size() > address.size() ? name : address);
        QVERIFY2(UiReport::LastText().startsWith(shown), qPrintable(UiReport::LastText()));
    }
    w.mgr->SetManagerModify(0);
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    w.mgr->SaveManager();
    QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(w.mgr->OpenManager());
    QCOMPARE(w.mgr->GetTree()->topLevelItem(0)->childCount(), added ? 1 : 0);
}

void tst_manager::changeMember_longAccount_refusedRecordUnchanged()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("a@x")));
    MemberInfo *record = w.mgr->GetMemberInfo(1);
    w.mgr->SetCurrentItem(record->TreeItem);
    const QString longName(LongValue::MaxChars + 1, QLatin1Char('g'));
    w.mgr->ChangeMember(longName, QStringLiteral("g@x"));
    QVERIFY(!record->Transferred);
    QVERIFY(record->NewName.isEmpty());
    QVERIFY(UiReport::LastText().startsWith(LongValue::Shown(longName)));
    w.mgr->ChangeMember(QStringLiteral("g"), QStringLiteral("g@x"));
    QVERIFY(record->Transferred);
    QCOMPARE(record->NewName, QStringLiteral("g"));
}

void tst_manager::notes_atAndPastTheLimit_writtenOrKeptInEditor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("written");
    const QString line = QString(1023, QLatin1Char('b')) + QLatin1Char('\n'); // 1 KiB
    const QString atBytes = line.repeated(int(TextFiles::MaxTextBytes / 1024));
    const QString atLines = QStringLiteral("n\n").repeated(TextFiles::MaxTextLines);
    QTest::newRow("lines at the limit") << atLines << true;
    QTest::newRow("one line past it") << atLines + QStringLiteral("n") << false;
    QTest::newRow("bytes at the limit") << atBytes << true;
    QTest::newRow("one byte past it") << atBytes + QStringLiteral("b") << false;
}

// Notes no member's program would read back are never saved: said, kept in the editor (still to be
// saved), the file as it was.
void tst_manager::notes_atAndPastTheLimit_writtenOrKeptInEditor()
{
    QFETCH(QString, text);
    QFETCH(bool, written);
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    w.mgr->NewManager();
    QVERIFY(w.mgr->AddMember(QStringLiteral("a"), QStringLiteral("u@x")));
    const QString notes = w.path(QStringLiteral("manager_1.txt"));
    writeFile(notes, "old notes");
    MemberInfo *record = w.mgr->GetMemberInfo(1);
    record->Page->SetMember(1);
    record->Editor->selectAll();
    record->Editor->insertPlainText(text);
    QVERIFY(record->Page->NotesModified());
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    UiReport::ClearLast();
    w.mgr->SaveManager();
    QCOMPARE(w.GetBoolVar(RegSlot::FlagWriteFailed), !written);
    QCOMPARE(record->Page->NotesModified(), !written);
    QCOMPARE(record->Page->NotesText().size(), text.size());
    if (written) {
        QCOMPARE(readFile(notes).size(), text.toUtf8().size());
    } else {
        QCOMPARE(readFile(notes), QByteArray("old notes"));
        QVERIFY2(UiReport::LastText().startsWith(notes + " was not saved"), qPrintable(UiReport::LastText()));
    }
}

namespace
{
// The document as its readers see it: elements, attributes in name order, comments and text, without
// the layout whitespace.

QString domTextOf(const QByteArray &bytes)
{
    QDomDocument doc;
    return doc.setContent(bytes) ? domText(doc) : QStringLiteral("unreadable");
}
} // namespace

// What the program does not read (attributes, elements, comments, refused entries) belongs to other
// members' programs: an open and a save with nothing edited write it back as it was.
void tst_manager::save_noEdit_keepsWhatTheGroupFileHoldsUnread()
{
    Workspace w(QStringLiteral("u"), QStringLiteral("u@x"));
    const QByteArray group = "<Root_manager User=\"u\" Email=\"u@x\" ID=\"0\" MaxID=\"2\" ProcEmail=\"u@x\" "
                             "StartDate=\"2026/01/02\" TargetDate=\"\" CompletionDate=\"\" Colour=\"red\">"
                             "<!-- the team --><Model Name=\"M\" Version=\"1.0.0\" Hash=\"ab\"/>"
                             "<REDMINE ID=\"-1\" TYPE=\"0\" Url=\"http://r\"/><GROUP Kind=\"team\">"
                             "<USER ID=\"1\" Name=\"a\" Email=\"u@x\" Role=\"lead\"/><!-- joined in May -->"
                             "<USER ID=\"zz\" Name=\"refused\"/><GUEST Name=\"g\"/></GROUP>"
                             "<OUT DIR=\"/o\" Mode=\"copy\"/><PLAN Week=\"3\"/></Root_manager>";
    const QByteArray member =
        "<Root_manager ID=\"1\" User=\"a\" Email=\"u@x\" ProcEmail=\"u@x\" StartDate=\"\" "
        "TargetDate=\"\" CompletionDate=\"\" Theme=\"dark\"><!-- mine -->"
        "<OUT DIR=\"/a\" Mode=\"link\"/><TOOLS Editor=\"vi\"/></Root_manager>";
    writeFile(w.path(QStringLiteral("manager.xml")), group);
    writeFile(w.path(QStringLiteral("manager_1.xml")), member);
    const auto content = [&w](const QString &name) { return domTextOf(readFile(w.path(name))); };
    const QString groupContent = domTextOf(group);
    const QString memberContent = domTextOf(member);
    for (int round = 0; round < 2; ++round) {
        QVERIFY(w.mgr->OpenManager());
        w.mgr->SetManagerModify(0);
        w.mgr->SetManagerModify(1);
        w.SetBoolVar(RegSlot::FlagWriteFailed, false);
        w.mgr->SaveManager();
        QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
        QCOMPARE(content(QStringLiteral("manager.xml")), groupContent);
        QCOMPARE(content(QStringLiteral("manager_1.xml")), memberContent);
        w.mgr->CloseManager();
    }
}

void tst_manager::handOverAndOwnSave_eitherOrder_bothKept_data()
{
    QTest::addColumn<bool>("managersProgram"); // the program under test; the other acts on its files
    QTest::addColumn<bool>("handOverFirst");
    // The target date the hand-over gives member 1 in place of the one b saved; empty: it keeps b's.
    QTest::addColumn<QByteArray>("handOverDate");
    QTest::newRow("the manager's hand-over after b's save") << true << false << QByteArray();
    QTest::newRow("the manager's hand-over before b's save") << true << true << QByteArray();
    QTest::newRow("b's save after the hand-over") << false << true << QByteArray();
    QTest::newRow("b's save before the hand-over") << false << false << QByteArray();
    QTest::newRow("b's saved date changed by the hand-over") << false << false << QByteArray("2027/06/30");
}

// Member b has the workspace open while the manager hands member 1 over to c: both changes reach
// manager_1.xml whichever program saves second, and a later save with nothing new keeps them, a
// value the hand-over changed after b saved it included.
void tst_manager::handOverAndOwnSave_eitherOrder_bothKept()
{
    QFETCH(bool, managersProgram);
    QFETCH(bool, handOverFirst);
    QFETCH(QByteArray, handOverDate);
    const QString me = managersProgram ? QStringLiteral("a") : QStringLiteral("b");
    Workspace w(me, me + QStringLiteral("@x"));
    bool handedOver = false;
    bool dated = false;
    // The other program writes what it read with its own change and, once saved, this one's.
    const auto otherWrites = [&](bool group) {
        const QByteArray user = handedOver ? "c" : "b";
        QByteArray date = dated ? "2027/03/31" : "";
        if (handedOver && !handOverDate.isEmpty())
            date = handOverDate;
        if (group)
            writeFile(
                w.path(QStringLiteral("manager.xml")),
                "<Root_manager User=\"a\" Email=\"a@x\" MaxID=\"2\"><Model Name=\"M\" Version=\"1.0.0\"/>"
                "<GROUP><USER ID=\"1\" Name=\"" +
                    user + "\" Email=\"" + user + "@x\"/></GROUP></Root_manager>");
        writeFile(w.path(QStringLiteral("manager_1.xml")),
                  "<Root_manager ID=\"1\" User=\"" + user + "\" Email=\"" + user +
                      "@x\" ProcEmail=\"b@x\" StartDate=\"2027/01/04\" TargetDate=\"" + date +
                      "\" CompletionDate=\"\"><OUT DIR=\"/b\"/></Root_manager>");
    };
    otherWrites(true);
    QVERIFY(w.mgr->OpenManager());
    const auto otherSaves = [&] {
        (managersProgram ? dated : handedOver) = true;
        otherWrites(!managersProgram);
    };
    const auto ownSaves = [&] {
        MemberInfo *record = w.mgr->GetMemberInfo(1);
        if (managersProgram) {
            w.mgr->SetCurrentItem(record->TreeItem);
            w.mgr->ChangeMember(QStringLiteral("c"), QStringLiteral("c@x"));
        } else {
            record->Page->TdateBtnProc();
            record->Page->DateDialog()->SelectDate(QDate(2027, 3, 31));
            record->Page->DateDialog()->OkProc();
            w.mgr->SetManagerModify(1);
        }
        w.mgr->SaveManager();
        (managersProgram ? handedOver : dated) = true;
    };
    if (managersProgram != handOverFirst) {
        otherSaves();
        ownSaves();
    } else {
        ownSaves();
        otherSaves();
    }
    w.mgr->SetManagerModify(1);
    w.mgr->SaveManager();
    QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
    const QDomElement member = w.root(QStringLiteral("manager_1.xml"));
    QCOMPARE(member.attribute(QStringLiteral("User")), QStringLiteral("c"));
    QCOMPARE(member.attribute(QStringLiteral("Email")), QStringLiteral("c@x"));
    QCOMPARE(member.attribute(QStringLiteral("TargetDate")),
             handOverDate.isEmpty() ? QStringLiteral("2027/03/31") : QString::fromLatin1(handOverDate));
    w.mgr->CloseManager();
}

QTEST_MAIN(tst_manager)
#include "tst_manager.moc"
