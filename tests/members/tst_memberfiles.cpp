#include "core/longvalue.h"
#include "core/xmlclass.h"
#include "loadtiming.h"
#include "members/memberfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

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
        QFile f(dir.path() + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
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
    void createManagerFile_writesRootAndChildren();
    void saveGroup_childrenInOrder();
    void displayName_sameAddressIndex();
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
    s.files.ClearChildren(0);
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
    QTest::addColumn<int>("chars");
    QTest::addColumn<bool>("taken");
    const int max = LongValue::MaxChars;
    QTest::newRow("a member file at the bound") << 1 << "OUT" << max << true;
    QTest::newRow("a member file past it") << 1 << "OUT" << max + 1 << false;
    QTest::newRow("the group file past it") << 0 << "Model" << max + 1 << false;
    // A group entry is left out alone: the group file is written with it, as it was read.
    QTest::newRow("a group entry past it") << 0 << "USER" << max + 1 << true;
}

// A member file that holds a value no one types is refused by name and kept; the program never
// writes one.
void tst_memberfiles::longValue_writtenOnlyWhereTheReaderTakesIt()
{
    QFETCH(int, n);
    QFETCH(QString, element);
    QFETCH(int, chars);
    QFETCH(bool, taken);
    Scope s;
    const QString name = n == 0 ? QStringLiteral("manager.xml") : QStringLiteral("manager_1.xml");
    QDomDocument doc;
    QDomElement e = doc.appendChild(doc.createElement("Root_manager"))
                        .appendChild(doc.createElement(element))
                        .toElement();
    e.setAttribute("ID", "1");
    e.setAttribute("Name", QString(chars, 'A'));
    s.store.AddXmlDoc(XmlIndex::Manager + n, doc);
    s.store.SetDocFileName(XmlIndex::Manager + n, s.dir.path() + '/' + name);
    QCOMPARE(s.files.SaveMemberDoc(n), taken);
    QCOMPARE(s.GetBoolVar(RegSlot::FlagWriteFailed), !taken);
    if (!taken)
        s.write(name, doc.toByteArray());
    s.store.CloseXmlDoc(XmlIndex::Manager + n);
    QCOMPARE(s.files.OpenMemberFile(n), taken ? MemberFiles::Loaded : MemberFiles::Failed);
    QVERIFY(s.read(name).contains(QByteArray(chars, 'A')));
    const QString said = taken ? s.files.ReadGroup().skipped.join('\n') : s.GetStrVar(RegSlot::StrLastError);
    if (element == "USER")
        QVERIFY2(said.startsWith("manager.xml: USER ID \"1\" (AAAA") && said.size() < 200, qPrintable(said));
    else if (!taken)
        QVERIFY2(said.contains(name) && said.contains("the value of Name holds 4097 characters"),
                 qPrintable(said));
}

void tst_memberfiles::nextFreeNumber_skipsOrphanFiles()
{
    Scope s;
    s.write(QStringLiteral("manager_4.xml"), "<Root_manager/>");
    s.write(QStringLiteral("manager_5.xml"), "<Root_manager/>");
    QCOMPARE(s.files.NextFreeNumber(4), 6);
    QCOMPARE(s.files.NextFreeNumber(1), 1);
    QCOMPARE(s.files.NextFreeNumber(10000), -1);
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

QTEST_GUILESS_MAIN(tst_memberfiles)
#include "tst_memberfiles.moc"
