#include "core/globalvar.h"
#include "core/safefile.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace TestSupport;

namespace
{
enum Kind { LinkToMember, LinkOutside, Dangling, Folder, Fifo };

// Puts the entry kind at path; elsewhere is a file outside the folder the links may point at.
void makeEntry(Kind kind, const QString &path, const QString &member, const QString &elsewhere)
{
    switch (kind) {
    case LinkToMember:
        QVERIFY(QFile::link(member, path));
        break;
    case LinkOutside:
        QVERIFY(QFile::link(elsewhere, path));
        break;
    case Dangling:
        QVERIFY(QFile::link(elsewhere + QStringLiteral(".gone"), path));
        break;
    case Folder:
        QVERIFY(QDir().mkdir(path));
        break;
    case Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }
}

mode_t modeOf(const QString &path)
{
    struct stat st {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}
} // namespace

class tst_safefile : public QObject
{
    Q_OBJECT
private slots:
    void write_targetNotARegularFile_refusedNothingFollowed_data();
    void write_targetNotARegularFile_refusedNothingFollowed();
    void write_linkedParentFolder_worksPermissionsKept();
    void replace_linkAtTargetReplacedNeverFollowed();
    void read_notARegularFile_refusedAtOnce_data();
    void read_notARegularFile_refusedAtOnce();
};

void tst_safefile::write_targetNotARegularFile_refusedNothingFollowed_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("named");
    QTest::newRow("link to another member's file") << int(LinkToMember) << true;
    QTest::newRow("link outside the workspace") << int(LinkOutside) << true;
    QTest::newRow("dangling link") << int(Dangling) << true;
    QTest::newRow("folder") << int(Folder) << false;
    QTest::newRow("fifo") << int(Fifo) << true;
}

// Every writer goes through here: the own question.xml made a link to member 1's file, 0.iod a
// pipe... The entry stays as it is, what it points at is untouched, and the refusal names it.
void tst_safefile::write_targetNotARegularFile_refusedNothingFollowed()
{
    QFETCH(int, kind);
    QFETCH(bool, named);
    QTemporaryDir ws;
    QTemporaryDir outside;
    const QString member = ws.filePath("question_1.xml");
    const QString elsewhere = outside.filePath("private.txt");
    writeFile(member, "<Root_Question ID=\"1\"/>");
    writeFile(elsewhere, "mine");
    const QString target = ws.filePath("question.xml");
    makeEntry(Kind(kind), target, member, elsewhere);
    const mode_t before = modeOf(target);

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!SafeFile::Write(target, "<Root_Question ID=\"0\"/>"));
    QVERIFY(!SafeFile::WriteUtf8(target, QStringLiteral("O")));
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(SafeFile::LastError().contains(target), named);
    QCOMPARE(SafeFile::WithReason(QStringLiteral("can not write file:%1").arg(target)).count(target),
             named ? 2 : 1);
    QCOMPARE(modeOf(target), before);
    QCOMPARE(readFile(member), QByteArray("<Root_Question ID=\"1\"/>"));
    QCOMPARE(readFile(elsewhere), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(elsewhere + QStringLiteral(".gone")));
    // No temporary is left behind.
    QCOMPARE(QDir(ws.path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                 .size(),
             2);

    // Through the store as well: the failure is reported naming the file, and flagged.
    RegistryScope reg;
    xmlclass store;
    reg.SetObj(RegSlot::ObjXmlStore, &store);
    store.NewXmlDoc(XmlIndex::Question, QStringLiteral("Root_Question"));
    store.SetDocFileName(XmlIndex::Question, target);
    UiReport::ClearLast();
    QCOMPARE(store.SaveXmlDoc(XmlIndex::Question), 0);
    QVERIFY(reg.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(UiReport::LastText().contains(target));
    QCOMPARE(readFile(member), QByteArray("<Root_Question ID=\"1\"/>"));
}

// A share mounted elsewhere and reached through a link keeps working; an existing file keeps its
// permission bits and a new one gets 0666 less the umask, as other members must read it.
void tst_safefile::write_linkedParentFolder_worksPermissionsKept()
{
    QTemporaryDir real;
    QTemporaryDir links;
    const QString via = links.filePath("share");
    QVERIFY(QFile::link(real.path(), via));
    const mode_t old = ::umask(022);
    QVERIFY(SafeFile::Write(via + QStringLiteral("/new.xml"), "new"));
    QCOMPARE(readFile(real.filePath("new.xml")), QByteArray("new"));
    QCOMPARE(modeOf(real.filePath("new.xml")) & 0777, mode_t(0644));
    writeFile(real.filePath("kept.xml"), "old");
    QVERIFY(::chmod(QFile::encodeName(real.filePath("kept.xml")).constData(), 0640) == 0);
    QVERIFY(SafeFile::Write(via + QStringLiteral("/kept.xml"), "newer"));
    ::umask(old);
    QCOMPARE(readFile(real.filePath("kept.xml")), QByteArray("newer"));
    QCOMPARE(modeOf(real.filePath("kept.xml")) & 0777, mode_t(0640));
    QVERIFY(S_ISLNK(modeOf(via)));
}

// Generated output files, and a link made at a shared name between the check and the rename:
// the rename replaces the entry, and the file it pointed at keeps its bytes.
void tst_safefile::replace_linkAtTargetReplacedNeverFollowed()
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim.txt");
    writeFile(victim, "keep");
    const QString out = dir.filePath("out.txt");
    QVERIFY(QFile::link(victim, out));
    QVERIFY(SafeFile::Replace(out, "generated"));
    QVERIFY(!QFileInfo(out).isSymLink());
    QCOMPARE(readFile(out), QByteArray("generated"));

    const QString shared = dir.filePath("0.iod");
    SafeFile::Pending pending;
    QVERIFY(pending.Prepare(shared, "O"));
    QVERIFY(QFile::link(victim, shared));
    QVERIFY(pending.Commit());
    QCOMPARE(readFile(shared), QByteArray("O"));
    QVERIFY(!QFileInfo(shared).isSymLink());
    QCOMPARE(readFile(victim), QByteArray("keep"));
    QVERIFY(!SafeFile::Replace(dir.path(), "x"));
}

void tst_safefile::read_notARegularFile_refusedAtOnce_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("named");
    QTest::newRow("fifo") << QStringLiteral("fifo") << true;
    QTest::newRow("folder") << QStringLiteral("folder") << false;
    QTest::newRow("device") << QStringLiteral("/dev/null") << true;
    QTest::newRow("link to a fifo") << QStringLiteral("tofifo") << true;
}

// instance_1.xml or question_1.xml made a pipe froze the open: every reader is refused at once,
// the store names the file; a link to a regular file still reads.
void tst_safefile::read_notARegularFile_refusedAtOnce()
{
    QFETCH(QString, path);
    QFETCH(bool, named);
    QTemporaryDir dir;
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    QVERIFY(QDir().mkdir(dir.filePath("folder")));
    QVERIFY(QFile::link(dir.filePath("fifo"), dir.filePath("tofifo")));
    writeFile(dir.filePath("real.xml"), "<Root_Instance/>");
    QVERIFY(QFile::link(dir.filePath("real.xml"), dir.filePath("link.xml")));
    if (!path.startsWith(QLatin1Char('/')))
        path = dir.filePath(path);

    QElapsedTimer timer;
    timer.start();
    QFile file;
    QVERIFY(!SafeFile::OpenRead(file, path));
    QCOMPARE(SafeFile::LastError().contains(path), named);
    QByteArray bytes;
    QVERIFY(!SafeFile::ReadAll(path, &bytes));
    UiReport::ClearLast();
    QCOMPARE(TextFiles::Read(path, 0), QString());
    QCOMPARE(UiReport::LastText().contains(path), named);
    RegistryScope reg;
    xmlclass store;
    QVERIFY(!store.OpenXmlFile(XmlIndex::Instance + 1, path, false));
    QCOMPARE(reg.GetIntVar(RegSlot::IntLastErrorKind), 1);
    QVERIFY(reg.GetStrVar(RegSlot::StrLastError).contains(path));
    QVERIFY(timer.elapsed() < 5000);

    QVERIFY(SafeFile::ReadAll(dir.filePath("link.xml"), &bytes));
    QCOMPARE(bytes, QByteArray("<Root_Instance/>"));
    QVERIFY(store.OpenXmlFile(XmlIndex::Instance + 2, dir.filePath("link.xml"), false));
}

QTEST_GUILESS_MAIN(tst_safefile)
#include "tst_safefile.moc"
