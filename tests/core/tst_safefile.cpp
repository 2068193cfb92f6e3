#include "core/safefile.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace TestSupport;

namespace
{
mode_t modeOf(const QString &path)
{
    struct stat st {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// Sparse: it costs no disk.
bool sparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}
} // namespace

class tst_safefile : public QObject
{
    Q_OBJECT
private slots:
    void init() { UiReport::ClearLast(); }
    void write_targetNotARegularFile_refusedNothingFollowed_data();
    void write_targetNotARegularFile_refusedNothingFollowed();
    void write_linkedFolderWorks_permissionsKept_linkMadeLateReplaced();
    void read_notARegularFileOrTooBig_refusedAtOnce_data();
    void read_notARegularFileOrTooBig_refusedAtOnce();
    void read_atTheCeiling_readWhole_copiesUnbounded();
};

void tst_safefile::write_targetNotARegularFile_refusedNothingFollowed_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"link to a member's file", "link outside", "dangling link", "folder", "fifo"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

// The own question.xml made a link to member 1's file or to one outside, 0.iod a pipe: the entry
// stays as it is, what it points at keeps its bytes, and the refusal names it.
void tst_safefile::write_targetNotARegularFile_refusedNothingFollowed()
{
    QFETCH(QString, kind);
    QTemporaryDir ws, outside;
    const QString member = ws.filePath("question_1.xml");
    const QString elsewhere = outside.filePath("private.txt");
    writeFile(member, "1");
    writeFile(elsewhere, "mine");
    const QString target = ws.filePath("question.xml");
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(target));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(
            kind.startsWith("link to") ? member : elsewhere + (kind.startsWith("d") ? ".gone" : ""), target));
    const mode_t before = modeOf(target);
    RegistryScope reg;
    xmlclass store;
    store.NewXmlDoc(XmlIndex::Question, QStringLiteral("Root_Question"));
    store.SetDocFileName(XmlIndex::Question, target);
    QCOMPARE(store.SaveXmlDoc(XmlIndex::Question), 0);
    QVERIFY(reg.GetBoolVar(RegSlot::FlagWriteFailed));
    // A folder is a plain failure; anything else is named as what it is.
    QCOMPARE(UiReport::LastText().count(target), kind == QLatin1String("folder") ? 1 : 2);
    QVERIFY(!SafeFile::WriteUtf8(target, QStringLiteral("O")));
    QCOMPARE(modeOf(target), before);
    QCOMPARE(readFile(member), QByteArray("1"));
    QCOMPARE(readFile(elsewhere), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(elsewhere + ".gone"));
    QCOMPARE(QDir(ws.path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                 .size(),
             2);
}

// A share reached through a linked folder works; an existing file keeps its permission bits, a
// new one gets 0666 less the umask. A link made at the name after the check is replaced by the
// rename, as is one at a generated output file.
void tst_safefile::write_linkedFolderWorks_permissionsKept_linkMadeLateReplaced()
{
    QTemporaryDir real, links;
    const QString via = links.filePath("share");
    QVERIFY(QFile::link(real.path(), via));
    const mode_t old = ::umask(022);
    QVERIFY(SafeFile::Write(via + "/new.xml", "new"));
    writeFile(real.filePath("kept.xml"), "old");
    QCOMPARE(::chmod(QFile::encodeName(real.filePath("kept.xml")).constData(), 0640), 0);
    QVERIFY(SafeFile::Write(via + "/kept.xml", "newer"));
    ::umask(old);
    QCOMPARE(modeOf(real.filePath("new.xml")) & 0777, mode_t(0644));
    QCOMPARE(readFile(real.filePath("kept.xml")), QByteArray("newer"));
    QCOMPARE(modeOf(real.filePath("kept.xml")) & 0777, mode_t(0640));

    const QString victim = real.filePath("1.iod");
    writeFile(victim, "C");
    SafeFile::Pending pending;
    QVERIFY(pending.Prepare(real.filePath("0.iod"), "O"));
    QVERIFY(QFile::link(victim, real.filePath("0.iod")));
    QVERIFY(pending.Commit());
    QVERIFY(QFile::link(victim, real.filePath("out.txt")));
    QVERIFY(SafeFile::Replace(real.filePath("out.txt"), "generated"));
    QCOMPARE(readFile(real.filePath("0.iod")), QByteArray("O"));
    QCOMPARE(readFile(real.filePath("out.txt")), QByteArray("generated"));
    QCOMPARE(readFile(victim), QByteArray("C"));
}

void tst_safefile::read_notARegularFileOrTooBig_refusedAtOnce_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("reason");
    QTest::newRow("fifo") << QStringLiteral("fifo") << true << "a named pipe";
    QTest::newRow("link to a fifo") << QStringLiteral("tofifo") << true << "a named pipe";
    QTest::newRow("folder") << QStringLiteral("folder") << false << QString();
    QTest::newRow("device") << QStringLiteral("/dev/null") << true << "a device";
    QTest::newRow("2 GB") << QStringLiteral("2g.xml") << true << "holds 2048 MB";
    QTest::newRow("a byte past the ceiling") << QStringLiteral("past.xml") << true << "holds 257 MB";
    QTest::newRow("link to 2 GB") << QStringLiteral("to2g.xml") << true << "holds 2048 MB";
}

// instance_1.xml or question_1.xml made a pipe froze the open, one of 1-2 GB ended it: every
// reader is refused at once, before it allocates, and the file is named; a link to a regular file
// still reads.
void tst_safefile::read_notARegularFileOrTooBig_refusedAtOnce()
{
    QFETCH(QString, path);
    QFETCH(bool, named);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    QVERIFY(QDir().mkdir(dir.filePath("folder")) &&
            QFile::link(dir.filePath("fifo"), dir.filePath("tofifo")));
    QVERIFY(sparseFile(dir.filePath("2g.xml"), qint64(2) << 30) &&
            sparseFile(dir.filePath("past.xml"), SafeFile::MaxReadBytes + 1) &&
            QFile::link(dir.filePath("2g.xml"), dir.filePath("to2g.xml")));
    writeFile(dir.filePath("real.xml"), "<Root_Instance/>");
    QVERIFY(QFile::link(dir.filePath("real.xml"), dir.filePath("link.xml")));
    path = path.startsWith('/') ? path : dir.filePath(path);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(TextFiles::Read(path, 0), QString());
    QCOMPARE(UiReport::LastText().contains(path), named);
    RegistryScope reg;
    xmlclass store;
    QVERIFY(!store.OpenXmlFile(XmlIndex::Instance + 1, path, false));
    QCOMPARE(reg.GetIntVar(RegSlot::IntLastErrorKind), 1);
    QCOMPARE(reg.GetStrVar(RegSlot::StrLastError).count(path), named ? 2 : 1);
    QVERIFY(reg.GetStrVar(RegSlot::StrLastError).contains(reason));
    QByteArray bytes;
    QVERIFY(!SafeFile::ReadAll(path, &bytes) && bytes.isEmpty());
    QCOMPARE(SafeFile::LastRefused(), named);
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(store.OpenXmlFile(XmlIndex::Instance + 2, dir.filePath("link.xml"), false));
}

// The ceiling refuses no file a workspace needs: one of its size is read whole. A copy (of a
// reference file) takes its source in pieces and has none.
void tst_safefile::read_atTheCeiling_readWhole_copiesUnbounded()
{
    QTemporaryDir dir;
    const QString limit = dir.filePath("limit.xml");
    QVERIFY(sparseFile(limit, SafeFile::MaxReadBytes));
    QByteArray bytes;
    QVERIFY(SafeFile::ReadAll(limit, &bytes));
    QCOMPARE(bytes.size(), SafeFile::MaxReadBytes);
    bytes.clear();
    QVERIFY(sparseFile(limit, qint64(2) << 30));
    QFile file;
    QVERIFY(!SafeFile::OpenRead(file, limit));
    QVERIFY(SafeFile::OpenRead(file, limit, QIODevice::ReadOnly, SafeFile::AnySize));
    QCOMPARE(file.size(), qint64(2) << 30);
}

QTEST_GUILESS_MAIN(tst_safefile)
#include "tst_safefile.moc"
