#include "core/longvalue.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "domtext.h"
#include "loadtiming.h"
#include "members/memberfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::domText;

namespace
{
struct Scope : public RegistryScope {
    xmlclass store;
    QTemporaryDir dir;
    MemberFiles files;
    Scope()
    {
        SetObj(RegSlot::ObjXmlStore, &store);
        files.SetInstanceDir(dir.path());
        files.SetRetry(3, 10);
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QSaveFile f(dir.path() + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        QVERIFY(f.commit());
    }
    QByteArray read(const QString &name)
    {
        QFile f(dir.path() + QLatin1Char('/') + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    int errorKind() { return GetIntVar(RegSlot::IntLastErrorKind); }
};
} // namespace

class tst_memberfiles : public QObject
{
    Q_OBJECT
private slots:
    void load_missing_reportsKindZero();
    void load_halfWritten_failsAndKeepsBytes();
    void load_danglingLink_namesTheFile();
    void readGroup_hostileIds_skippedWithLineAndKeptOnSave();
    void readGroup_manyUsers_timeGrowsLinearly();
    void longValue_writtenOnlyWhereTheReaderTakesIt_data();
    void longValue_writtenOnlyWhereTheReaderTakesIt();
    void nextFreeNumber_skipsOrphanFiles();
    void nextFreeNumber_aboveEveryMemberFile_data();
    void nextFreeNumber_aboveEveryMemberFile();
    void nextFreeNumber_gapsSkipGroupEntries_noneLeftNamesTheReason();
    void save_unknownParts_keptAsTheyWere();
    void saveGroup_longEntry_writtenOnlyAsItWasRead();
    void createManagerFile_writesRootAndChildren();
    void saveGroup_childrenInOrder();
    void displayName_sameAddressIndex();
    void saveMember_changedFileUnreadable_refusedAndEditKept();
    void saveGroup_changedSinceRead_refusedNamingTheFile();
    void saveGroup_removedMember_takesWhatFollowsIt();
    void nextFreeNumber_lastNumber_givenThenRefused();
};

void tst_memberfiles::load_missing_reportsKindZero()
{
    Scope s;
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Missing);
    QCOMPARE(s.errorKind(), 0);
}

void tst_memberfiles::load_halfWritten_failsAndKeepsBytes()
{
    Scope s;
    const QByteArray half = "<?xml version=\"1.0\"?>\n<Root_manager User=\"a\"><GROUP><USER ID=\"1\"";
    s.write(QStringLiteral("manager.xml"), half);
    QElapsedTimer t;
    t.start();
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Failed);
    QVERIFY(t.elapsed() >= 20); // retried with the pause between attempts
    QCOMPARE(s.errorKind(), 2);
    QVERIFY(s.GetStrVar(RegSlot::StrLastError).contains(QStringLiteral("manager.xml")));
    QCOMPARE(s.read(QStringLiteral("manager.xml")), half);
    QVERIFY(!s.store.HasDoc(XmlIndex::Manager));
}

void tst_memberfiles::load_danglingLink_namesTheFile()
{
    Scope s;
    const QString path = s.dir.path() + QStringLiteral("/manager_1.xml");
    QVERIFY(QFile::link(s.dir.path() + QStringLiteral("/gone.xml"), path));
    QCOMPARE(s.files.OpenMemberFile(1), MemberFiles::Failed);
    QCOMPARE(s.errorKind(), 1);
    QVERIFY2(s.GetStrVar(RegSlot::StrLastError).contains(path),
             qPrintable(s.GetStrVar(RegSlot::StrLastError)));
    QVERIFY(QFileInfo(path).isSymLink());
}

void tst_memberfiles::readGroup_hostileIds_skippedWithLineAndKeptOnSave()
{
    Scope s;
    s.write(
        QStringLiteral("manager.xml"),
        "<Root_manager User=\"m\" Email=\"m@x\" MaxID=\"2\"><GROUP>"
        "<USER ID=\"abc\" Name=\"a\"/><USER ID=\"0\" Name=\"z\"/><USER ID=\"3\" Name=\"b\" Email=\"b@x\"/>"
        "<USER ID=\"3\" Name=\"dup\"/><USER ID=\"10000\" Name=\"big\"/><USER ID=\"9999\" Name=\"c\"/>"
        "</GROUP><REDMINE ID=\"-1\" TYPE=\"0\"/></Root_manager>");
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    const GroupData g = s.files.ReadGroup();
    QVERIFY(g.hasRoot);
    QCOMPARE(g.users.size(), 2);
    QCOMPARE(g.users.at(0).id, 3);
    QCOMPARE(g.users.at(1).id, 9999);
    QCOMPARE(g.skipped.size(), 4);
    QCOMPARE(g.maxId, 10000); // raised past the highest listed number
    QVERIFY(g.hasRedmine);
    QCOMPARE(g.redmineId, QStringLiteral("-1"));

    // What this program refuses may be another member's: the group's save writes it back.
    QStringList refused;
    const QDomNodeList users =
        s.store.GetXmlDoc(XmlIndex::Manager)->elementsByTagName(QStringLiteral("USER"));
    for (int i : {0, 1, 3, 4}) {
        QString text;
        QTextStream out(&text);
        users.at(i).save(out, 1);
        refused << text;
    }
    s.files.SaveGroup(MemberSaveData(), g.users, -1, 0);
    QVERIFY(s.files.SaveMemberDoc(0));
    const QString saved = QString::fromUtf8(s.read(QStringLiteral("manager.xml")));
    for (const QString &text : qAsConst(refused))
        QVERIFY2(saved.contains(text.trimmed()), qPrintable(text));
    QCOMPARE(saved.count(QStringLiteral("<USER ")), 6);

    // The refused entries are held, not copied: a second save, and a save after the store has
    // read the file again, still write each of them once.
    for (bool reread : {false, true}) {
        if (reread) {
            s.store.CloseXmlDoc(XmlIndex::Manager);
            QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
        }
        s.files.SaveGroup(MemberSaveData(), g.users, -1, 0);
        QVERIFY(s.files.SaveMemberDoc(0));
        QCOMPARE(QString::fromUtf8(s.read(QStringLiteral("manager.xml"))), saved);
    }
}

// Most of the entries are refused (numbers past 9999), and each refusal copies the entry: the
// group must still be read in one pass over the list.
void tst_memberfiles::readGroup_manyUsers_timeGrowsLinearly()
{
    const auto load = [](int count) {
        Scope s;
        QByteArray xml("<Root_manager User=\"m\" Email=\"m@x\" MaxID=\"2\"><GROUP>");
        for (int i = 1; i <= count; ++i)
            xml += "<USER ID=\"" + QByteArray::number(i) + "\" Name=\"u\" Email=\"u@x\"/>";
        s.write(QStringLiteral("manager.xml"), xml + "</GROUP></Root_manager>");
        QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
        const GroupData g = s.files.ReadGroup();
        QCOMPARE(g.users.size(), std::min(count, MemberFiles::MaxMemberId));
        QCOMPARE(g.skippedCount, std::max(0, count - MemberFiles::MaxMemberId));
        QCOMPARE(g.skipped.size(), std::min(g.skippedCount, MemberFiles::MaxSkippedLines + 1));
    };
    TestSupport::verifyScales(load, 20000, 200000);
}

void tst_memberfiles::longValue_writtenOnlyWhereTheReaderTakesIt_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<int>("chars");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("opens");
    const int max = LongValue::MaxChars;
    QTest::newRow("a member file at the bound") << 1 << "OUT"
                                                << "Name" << max << true << true;
    QTest::newRow("a member file past it") << 1 << "OUT"
                                           << "Name" << max + 1 << false << false;
    QTest::newRow("the group file past it") << 0 << "Model"
                                            << "Name" << max + 1 << false << false;
    // A group entry is left out alone (the team still opens), and never written.
    QTest::newRow("a group entry's name past it") << 0 << "USER"
                                                  << "Name" << max + 1 << false << true;
    QTest::newRow("a group entry's address past it") << 0 << "USER"
                                                     << "Email" << max + 1 << false << true;
    QTest::newRow("a group entry's address at the bound") << 0 << "USER"
                                                          << "Email" << max << true << true;
}

// A member file that holds a value no one types is refused by name and kept; the program never
// writes one, nor a group entry its reader would leave out.
void tst_memberfiles::longValue_writtenOnlyWhereTheReaderTakesIt()
{
    QFETCH(int, n);
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(int, chars);
    QFETCH(bool, written);
    QFETCH(bool, opens);
    Scope s;
    const QString name = n == 0 ? QStringLiteral("manager.xml") : QStringLiteral("manager_1.xml");
    QDomDocument doc;
    QDomElement e = doc.appendChild(doc.createElement("Root_manager"))
                        .appendChild(doc.createElement(element))
                        .toElement();
    e.setAttribute("ID", "1");
    e.setAttribute(attribute, QString(chars, 'A'));
    s.store.AddXmlDoc(XmlIndex::Manager + n, doc);
    s.store.SetDocFileName(XmlIndex::Manager + n, s.dir.path() + '/' + name);
    QCOMPARE(s.files.SaveMemberDoc(n), written);
    QCOMPARE(s.GetBoolVar(RegSlot::FlagWriteFailed), !written);
    if (!written) {
        QVERIFY(!QFileInfo::exists(s.dir.path() + '/' + name));
        QVERIFY2(UiReport::LastText().contains(name) &&
                     UiReport::LastText().contains(
                         QStringLiteral("the value of %1 holds %2 characters").arg(attribute).arg(chars)),
                 qPrintable(UiReport::LastText()));
        s.write(name, doc.toByteArray());
    }
    s.store.CloseXmlDoc(XmlIndex::Manager + n);
    QCOMPARE(s.files.OpenMemberFile(n), opens ? MemberFiles::Loaded : MemberFiles::Failed);
    QVERIFY(s.read(name).contains(QByteArray(chars, 'A')));
    const QString said = opens ? s.files.ReadGroup().skipped.join('\n') : s.GetStrVar(RegSlot::StrLastError);
    if (element == "USER" && chars > LongValue::MaxChars)
        QVERIFY2(said.startsWith("manager.xml: USER ID \"1\" (") && said.size() < 200, qPrintable(said));
    else if (element == "USER")
        QVERIFY2(said.isEmpty(), qPrintable(said));
    else if (!opens)
        QVERIFY2(said.contains(name) && said.contains("the value of Name holds 4097 characters"),
                 qPrintable(said));
}

void tst_memberfiles::saveGroup_longEntry_writtenOnlyAsItWasRead()
{
    Scope s;
    const QByteArray kept(LongValue::MaxChars + 1, 'K');
    s.write(QStringLiteral("manager.xml"), "<Root_manager User=\"m\" Email=\"m@x\" MaxID=\"2\"><GROUP>"
                                           "<USER ID=\"1\" Name=\"a\" Email=\"a@x\"/><USER ID=\"2\" Name=\"" +
                                               kept + "\" Email=\"k@x\"/></GROUP></Root_manager>");
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    GroupData g = s.files.ReadGroup();
    QCOMPARE(g.users.size(), 1);
    QCOMPARE(g.skippedCount, 1);
    // The entry left out goes back as it was read: the group is still saved.
    s.files.SaveGroup(MemberSaveData(), g.users, -1, 0);
    QVERIFY(s.files.SaveMemberDoc(0));
    const QByteArray saved = s.read(QStringLiteral("manager.xml"));
    QVERIFY(saved.contains(kept));

    // A member renamed, or added, with such a value is not written: the file stays as it was,
    // the edit stays in memory.
    for (bool added : {false, true}) {
        QList<GroupUser> users = g.users;
        const QString longName(LongValue::MaxChars + 1, QLatin1Char('N'));
        if (added)
            users.append({3, longName, QStringLiteral("n@x")});
        else
            users[0].name = longName;
        s.SetBoolVar(RegSlot::FlagWriteFailed, false);
        s.files.SaveGroup(MemberSaveData(), users, -1, 0);
        QVERIFY(!s.files.SaveMemberDoc(0));
        QVERIFY(s.GetBoolVar(RegSlot::FlagWriteFailed));
        QCOMPARE(s.read(QStringLiteral("manager.xml")), saved);
        QVERIFY(UiReport::LastText().contains(QStringLiteral("the value of Name holds 4097 characters")));
        QVERIFY(s.store.GetXmlDoc(XmlIndex::Manager)->toString().contains(longName));
    }
    // Taken back, the edit leaves a group that is written again.
    s.files.SaveGroup(MemberSaveData(), g.users, -1, 0);
    QVERIFY(s.files.SaveMemberDoc(0));
    // Read again, the kept entry is known only by the read that found it.
    s.store.CloseXmlDoc(XmlIndex::Manager);
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    QVERIFY(!s.files.SaveMemberDoc(0));
    g = s.files.ReadGroup();
    QVERIFY(s.files.SaveMemberDoc(0));
}

void tst_memberfiles::nextFreeNumber_skipsOrphanFiles()
{
    Scope s;
    s.write(QStringLiteral("manager_4.xml"), "<Root_manager/>");
    s.write(QStringLiteral("manager_5.xml"), "<Root_manager/>");
    QCOMPARE(s.files.NextFreeNumber(4), 6);
    QCOMPARE(s.files.NextFreeNumber(1), 6); // above the files while a number is free there
    // Past the last number, a gap that no file uses.
    QCOMPARE(s.files.NextFreeNumber(10000), 1);
}

void tst_memberfiles::nextFreeNumber_aboveEveryMemberFile_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("next");
    // A write that failed left member 3's question, instance and notes without its member file.
    QTest::newRow("member 3 without its member file")
        << QStringList{"question_3.xml", "instance_3.xml", "manager_3.txt"} << 3 << 4;
    QTest::newRow("an answer") << QStringList{"answer_5.xml"} << 1 << 6;
    QTest::newRow("an element's text") << QStringList{"instance_7_12.txt"} << 1 << 8;
    QTest::newRow("a question's history") << QStringList{"question_4_2.hst"} << 1 << 5;
    QTest::newRow("an output selection") << QStringList{"refoutput_6.xml"} << 1 << 7;
    QTest::newRow("a mail history") << QStringList{"mail_8_.eml"} << 1 << 9;
    QTest::newRow("a presence marker") << QStringList{"9.iod"} << 1 << 10;
    QTest::newRow("a name in other letter case") << QStringList{"Question_3.XML"} << 1 << 4;
    QTest::newRow("the counter above the files") << QStringList{"question_3.xml"} << 12 << 12;
    QTest::newRow("the group's own files") << QStringList{"manager.xml", "question.xml", "0.iod"} << 1 << 1;
    QTest::newRow("no member's file") << QStringList{"notes_3.xml", "manager_x3.xml", "3.iodx"} << 1 << 1;
    QTest::newRow("a number no member has") << QStringList{"instance_10000.xml"} << 1 << 1;
    // One stray file with the last number leaves every lower free number to give.
    QTest::newRow("the last number taken") << QStringList{"answer_9999.xml"} << 1 << 1;
    QTest::newRow("a stray instance and mail")
        << QStringList{"instance_9999.xml", "mail_9999.hst", "1.iod"} << 5 << 2;
    QTest::newRow("the lowest gap") << QStringList{"manager_1.xml", "question_2.xml", "answer_9999.xml"}
                                    << 9999 << 3;
}

// A new member never takes another member's files: its number is above all of them.
void tst_memberfiles::nextFreeNumber_aboveEveryMemberFile()
{
    QFETCH(QStringList, present);
    QFETCH(int, from);
    QFETCH(int, next);
    Scope s;
    for (const QString &name : qAsConst(present))
        s.write(name, "<Root_Question/>");
    QString why;
    QCOMPARE(s.files.NextFreeNumber(from, &why), next);
    QCOMPARE(why.isEmpty(), next > 0);
}

// A gap below the counter is given only when no USER of the group lists it, refused entries and
// members removed since the open included; with every number used, the reason is named.
void tst_memberfiles::nextFreeNumber_gapsSkipGroupEntries_noneLeftNamesTheReason()
{
    Scope s;
    // USER 2 has a name past what the reader takes, USER 3 repeats a number: both refused, listed.
    s.write(QStringLiteral("manager.xml"), "<Root_manager MaxID=\"10000\"><GROUP><USER ID=\"1\" Name=\"a\"/>"
                                           "<USER ID=\"2\" Name=\"" +
                                               QByteArray(LongValue::MaxChars + 1, 'n') +
                                               "\"/><USER ID=\"3\"/><USER ID=\"3\"/>"
                                               "<USER ID=\"x5\"/><USER ID=\"9999\"/></GROUP></Root_manager>");
    s.write(QStringLiteral("question_4.xml"), "<Root_Question/>");
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    QCOMPARE(s.files.NextFreeNumber(10000), 5);
    s.files.ReadGroup();
    QCOMPARE(s.files.NextFreeNumber(10000), 5);

    // The group lists the numbers from 5 up, files hold the others: none is left, and the message
    // says why.
    QByteArray users;
    for (int n = 5; n <= 9999; ++n)
        users += "<USER ID=\"" + QByteArray::number(n) + "\"/>";
    s.write(QStringLiteral("manager.xml"), "<Root_manager><GROUP>" + users + "</GROUP></Root_manager>");
    s.store.CloseXmlDoc(XmlIndex::Manager);
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    QCOMPARE(s.files.NextFreeNumber(1), 1);
    s.write(QStringLiteral("manager_1.txt"), "");
    s.write(QStringLiteral("refoutput_2.xml"), "");
    QCOMPARE(s.files.NextFreeNumber(1), 3);
    s.write(QStringLiteral("3.iod"), "");
    QString why;
    QCOMPARE(s.files.NextFreeNumber(1, &why), -1);
    QCOMPARE(why, QStringLiteral("no member number is left: members and their files in %1 use every number "
                                 "from 1 to 9999")
                      .arg(s.dir.path()));
}

namespace
{
// The document as its readers see it: elements, attributes in name order, comments and text,
// without the layout whitespace.

QString domTextOf(const QByteArray &bytes)
{
    QDomDocument doc;
    return doc.setContent(bytes) ? domText(doc) : QStringLiteral("unreadable");
}
} // namespace

// Another member's program may read what this one does not: a save with nothing edited writes
// it all back where it was, and an edit changes only what it edits.
void tst_memberfiles::save_unknownParts_keptAsTheyWere()
{
    Scope s;
    const QByteArray group = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!-- the team -->\n"
                             "<Root_manager User=\"m\" Email=\"m@x\" ID=\"0\" MaxID=\"3\" ProcEmail=\"m@x\" "
                             "StartDate=\"2026/01/02\" "
                             "TargetDate=\"\" CompletionDate=\"\" Colour=\"red\">\n"
                             "<Model Name=\"M\" Version=\"1.0.0\" Hash=\"ab\"/>\n"
                             "<!-- linked by hand -->\n"
                             "<REDMINE ID=\"7\" TYPE=\"1\" Url=\"http://r\"/>\n"
                             "<GROUP Kind=\"team\">\n"
                             "<USER ID=\"1\" Name=\"a\" Email=\"a@x\" Role=\"lead\"/>\n"
                             "<!-- b joined in May -->\n"
                             "<USER ID=\"x\" Name=\"refused\"/>\n"
                             "<GUEST Name=\"g\"><NOTE>visits</NOTE></GUEST>\n"
                             "<USER ID=\"2\" Name=\"b\" Email=\"b@x\"/>\n"
                             "</GROUP>\n"
                             "<OUT DIR=\"/o\" Mode=\"copy\"/>\n"
                             "<PLAN Week=\"3\"/>\n"
                             "</Root_manager>\n";
    const QByteArray member =
        "<Root_manager ID=\"1\" User=\"a\" Email=\"a@x\" ProcEmail=\"p@x\" StartDate=\"\" "
        "TargetDate=\"\" CompletionDate=\"\" Theme=\"dark\"><!-- mine -->"
        "<OUT DIR=\"/a\" Mode=\"link\"/><TOOLS Editor=\"vi\"/></Root_manager>";
    s.write(QStringLiteral("manager.xml"), group);
    s.write(QStringLiteral("manager_1.xml"), member);
    s.SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
    s.SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    QCOMPARE(s.files.OpenMemberFile(1), MemberFiles::Loaded);
    const GroupData g = s.files.ReadGroup();
    QCOMPARE(g.users.size(), 2);
    MemberSaveData d;
    d.writeIdentity = true;
    d.user = QStringLiteral("m");
    d.email = d.procEmail = QStringLiteral("m@x");
    d.startDate = QStringLiteral("2026/01/02");
    d.outDir = QStringLiteral("/o");
    d.maxId = g.maxId;
    MemberSaveData m;
    m.procEmail = QStringLiteral("p@x");
    m.outDir = QStringLiteral("/a");
    for (int save = 0; save < 2; ++save) {
        s.files.SaveGroup(d, g.users, 7, 1);
        s.files.WriteMemberData(1, m);
        QVERIFY(s.files.SaveMemberDoc(0));
        QVERIFY(s.files.SaveMemberDoc(1));
        QCOMPARE(domTextOf(s.read(QStringLiteral("manager.xml"))), domTextOf(group));
        QCOMPARE(domTextOf(s.read(QStringLiteral("manager_1.xml"))), domTextOf(member));
    }

    // Member b removed and c added: the rest stays, c comes at the end of the group.
    const QList<GroupUser> edited{g.users.at(0), {3, QStringLiteral("c"), QStringLiteral("c@x")}};
    s.files.SaveGroup(d, edited, 7, 1);
    QVERIFY(s.files.SaveMemberDoc(0));
    QString expected = domTextOf(group);
    expected.replace("<USER Email=\"b@x\" ID=\"2\" Name=\"b\"></USER>",
                     "<USER Email=\"c@x\" ID=\"3\" Name=\"c\"></USER>");
    QCOMPARE(domTextOf(s.read(QStringLiteral("manager.xml"))), expected);
}

void tst_memberfiles::createManagerFile_writesRootAndChildren()
{
    Scope s;
    QVERIFY(s.files.CreateManagerFile(QStringLiteral("u"), QStringLiteral("u@x"), QStringLiteral("I"),
                                      QStringLiteral("0.0.1"), QStringLiteral("M"), QStringLiteral("1.0.0"),
                                      QString()));
    QDomDocument doc;
    QVERIFY(doc.setContent(s.read(QStringLiteral("manager.xml"))));
    const QDomElement root = doc.documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("Root_manager"));
    QCOMPARE(root.attribute(QStringLiteral("ID")), QStringLiteral("0"));
    QCOMPARE(root.attribute(QStringLiteral("MaxID")), QStringLiteral("1"));
    QCOMPARE(root.attribute(QStringLiteral("ProcEmail")), QStringLiteral("u@x"));
    QCOMPARE(root.attribute(QStringLiteral("StartDate")),
             QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    QCOMPARE(root.firstChildElement().tagName(), QStringLiteral("Model"));
    QCOMPARE(root.firstChildElement().nextSiblingElement().tagName(), QStringLiteral("GROUP"));
    QVERIFY(root.firstChildElement(QStringLiteral("REDMINE")).isNull());
}

void tst_memberfiles::saveGroup_childrenInOrder()
{
    Scope s;
    s.files.CreateManagerFile(QStringLiteral("u"), QStringLiteral("u@x"), QStringLiteral("I"),
                              QStringLiteral("0.0.1"), QStringLiteral("M"), QStringLiteral("1.0.0"),
                              QString());
    MemberSaveData d;
    d.writeIdentity = true;
    d.user = QStringLiteral("u");
    d.email = QStringLiteral("u@x");
    d.maxId = 3;
    d.outDir = QStringLiteral("/o/Output");
    s.files.SaveGroup(d, {{1, QStringLiteral("a"), QStringLiteral("a@x")}, {2, QString(), QString()}}, -1, 0);
    s.files.SaveGroup(d, {{1, QStringLiteral("a"), QStringLiteral("a@x")}}, -1,
                      0); // second save: no duplicates
    QVERIFY(s.files.SaveMemberDoc(0));
    QDomDocument doc;
    QVERIFY(doc.setContent(s.read(QStringLiteral("manager.xml"))));
    QStringList tags;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        tags << e.tagName();
    QCOMPARE(tags, (QStringList{QStringLiteral("Model"), QStringLiteral("REDMINE"), QStringLiteral("GROUP"),
                                QStringLiteral("OUT")}));
    const QDomElement redmine = doc.documentElement().firstChildElement(QStringLiteral("REDMINE"));
    QCOMPARE(redmine.attribute(QStringLiteral("ID")), QStringLiteral("-1"));
    QCOMPARE(redmine.attribute(QStringLiteral("TYPE")), QStringLiteral("0"));
    QCOMPARE(doc.documentElement().attribute(QStringLiteral("MaxID")), QStringLiteral("3"));
}

void tst_memberfiles::displayName_sameAddressIndex()
{
    QCOMPARE(MemberFiles::SameAddressIndex({7, 2, 5}, 5), 1);
    QCOMPARE(MemberFiles::DisplayName(QStringLiteral("a"), 0), QStringLiteral("a"));
    QCOMPARE(MemberFiles::DisplayName(QStringLiteral("a"), 2), QStringLiteral("a(2)"));
}

// Changed meanwhile into a file that does not read (caught mid-write, gone): nothing is written,
// the file is named, and the edit is still written once the file reads again.
void tst_memberfiles::saveMember_changedFileUnreadable_refusedAndEditKept()
{
    Scope s;
    const QByteArray member =
        "<Root_manager ID=\"1\" User=\"b\" Email=\"b@x\" TargetDate=\"\"><X-B/></Root_manager>";
    s.write(QStringLiteral("manager_1.xml"), member);
    QCOMPARE(s.files.OpenMemberFile(1), MemberFiles::Loaded);
    const QString path = s.dir.path() + QStringLiteral("/manager_1.xml");
    MemberSaveData edit;
    edit.targetDate = QStringLiteral("2027/03/31");
    for (bool gone : {false, true}) {
        if (gone)
            QVERIFY(QFile::remove(path));
        else
            s.write(QStringLiteral("manager_1.xml"), member.left(40));
        UiReport::ClearLast();
        s.files.WriteMemberData(1, edit);
        QVERIFY(!s.files.SaveMemberDoc(1));
        QVERIFY2(UiReport::LastText().startsWith(path + QStringLiteral(" was not written")),
                 qPrintable(UiReport::LastText()));
        QCOMPARE(s.read(QStringLiteral("manager_1.xml")), gone ? QByteArray() : member.left(40));
    }
    // Written whole again by the manager's hand-over: the edit goes into that file.
    s.write(QStringLiteral("manager_1.xml"), QByteArray(member).replace("User=\"b\"", "User=\"c\""));
    QVERIFY(s.files.SaveMemberDoc(1));
    const QByteArray written = s.read(QStringLiteral("manager_1.xml"));
    QVERIFY(written.contains("User=\"c\"") && written.contains("TargetDate=\"2027/03/31\""));
}

// The group file has one writer, the manager's program: a copy of it older than the file (another
// machine of the same account) is not written, and keeps its edit.
void tst_memberfiles::saveGroup_changedSinceRead_refusedNamingTheFile()
{
    Scope s;
    const QByteArray team =
        "<Root_manager><GROUP><USER ID=\"1\" Name=\"b\" Email=\"b@x\"/></GROUP></Root_manager>";
    s.write(QStringLiteral("manager.xml"), team);
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    const GroupData g = s.files.ReadGroup();
    const QByteArray saved = QByteArray(team).replace("</GROUP>", "<USER ID=\"2\" Name=\"d\"/></GROUP>");
    s.write(QStringLiteral("manager.xml"), saved);
    UiReport::ClearLast();
    s.files.SaveGroup(MemberSaveData(), g.users + QList<GroupUser>{{3, "e", "e@x"}}, -1, 0);
    QVERIFY(!s.files.SaveMemberDoc(0));
    QVERIFY2(UiReport::LastText().contains(s.dir.path() + QStringLiteral("/manager.xml")),
             qPrintable(UiReport::LastText()));
    QCOMPARE(s.read(QStringLiteral("manager.xml")), saved);
}

// Unknown content belongs to the entry it follows: removing a member removes it too; what stands
// before the first entry and an entry the reader refused are no member's.
void tst_memberfiles::saveGroup_removedMember_takesWhatFollowsIt()
{
    Scope s;
    s.write(
        QStringLiteral("manager.xml"),
        "<Root_manager><GROUP><!-- head --><H/><USER ID=\"1\"/><X-U1/><USER ID=\"2\"/><X-U2/><!-- after 2 -->"
        "<USER ID=\"x\"/><X-R/><USER ID=\"3\"/><X-U3/></GROUP></Root_manager>");
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    QList<GroupUser> kept;
    for (const GroupUser &u : s.files.ReadGroup().users) {
        if (u.id == 3)
            kept.append({u.id, QString(), QString()});
    }
    s.files.SaveGroup(MemberSaveData(), kept, -1, 0);
    QVERIFY(s.files.SaveMemberDoc(0));
    QDomDocument saved;
    QVERIFY(saved.setContent(s.read(QStringLiteral("manager.xml"))));
    QCOMPARE(domText(saved.documentElement().firstChildElement("GROUP")),
             domTextOf("<GROUP><!-- head --><H/><USER ID=\"x\"/><X-R/><USER ID=\"3\"/><X-U3/></GROUP>"));
}

// Entries hold every number but the last two, a file the one before the last: the last free number
// is given like any other; with none left the member is refused by a message that names the folder.
void tst_memberfiles::nextFreeNumber_lastNumber_givenThenRefused()
{
    Scope s;
    QByteArray users;
    for (int n = 1; n < MemberFiles::MaxMemberId - 1; ++n)
        users += "<USER ID=\"" + QByteArray::number(n) + "\"/>";
    s.write(QStringLiteral("manager.xml"), "<Root_manager><GROUP>" + users + "</GROUP></Root_manager>");
    s.write(QStringLiteral("answer_%1.xml").arg(MemberFiles::MaxMemberId - 1), QByteArray());
    QCOMPARE(s.files.OpenMemberFile(0), MemberFiles::Loaded);
    QCOMPARE(s.files.NextFreeNumber(1), 9999);
    QVERIFY(s.files.CreateMemberFile(9999, QStringLiteral("z"), QStringLiteral("z@x"), QString()));
    QString why;
    QCOMPARE(s.files.NextFreeNumber(1, &why), -1);
    QCOMPARE(why, QStringLiteral("no member number is left: members and their files in %1 use every number "
                                 "from 1 to 9999")
                      .arg(s.dir.path()));
}

QTEST_GUILESS_MAIN(tst_memberfiles)
#include "tst_memberfiles.moc"
