#include "core/safefile.h"
#include "core/safefile_p.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "filesizelimit.h"
#include "instance/readcost.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

QStringList allEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                               QDir::Name);
}

// Runs what in a child that is an ordinary user (nobody) when we are root, where permissions
// would not hold; the exit code is what returns. Without root, in this process.
int asOrdinaryUser(const std::function<int()> &what)
{
    if (::geteuid() != 0)
        return what();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? what() : 99);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 98;
    return WEXITSTATUS(status);
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
    void write_failedAtAnyStep_oldKeptReasonGiven_data();
    void write_failedAtAnyStep_oldKeptReasonGiven();
    void write_fileNotWritableForUser_refused_data();
    void write_fileNotWritableForUser_refused();
    void write_temporaries_recognisedStaleOnesRemoved();
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
    // Members who share a file through its group keep it.
    if (::geteuid() == 0) {
        struct stat st {
        };
        QCOMPARE(::chown(QFile::encodeName(real.filePath("kept.xml")).constData(), 0, 4321), 0);
        QVERIFY(SafeFile::Write(via + "/kept.xml", "newest"));
        QCOMPARE(::stat(QFile::encodeName(real.filePath("kept.xml")).constData(), &st), 0);
        QCOMPARE(st.st_gid, gid_t(4321));
    }

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

void tst_safefile::write_failedAtAnyStep_oldKeptReasonGiven_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder put at the target before the rename") << "folder" << qt_error_string(EISDIR);
    QTest::newRow("temporary removed before the rename") << "temporary" << qt_error_string(ENOENT);
    QTest::newRow("disk full while writing") << "full" << qt_error_string(EFBIG);
    QTest::newRow("target is a folder") << "folder first" << qt_error_string(EISDIR);
}

// A rename that fails is a failed save, not a success; the old file stays whole wherever it is,
// no temporary is left, and the message says why.
void tst_safefile::write_failedAtAnyStep_oldKeptReasonGiven()
{
    QFETCH(QString, step);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString target = dir.filePath("question.xml");
    const QString aside = dir.filePath("kept.xml");
    writeFile(target, "old");
    if (step == QLatin1String("folder first")) {
        QVERIFY(QFile::rename(target, aside) && QDir().mkdir(target));
    }
    SafeFile::Pending pending;
    {
        FileSizeLimit limit(step == QLatin1String("full") ? 512 : RLIM_INFINITY);
        QCOMPARE(pending.Prepare(target, QByteArray(4000, 'n')),
                 step == QLatin1String("folder") || step == QLatin1String("temporary"));
    }
    if (step == QLatin1String("folder")) {
        QVERIFY(QFile::rename(target, aside) && QDir().mkdir(target));
        writeFile(target + "/inside", "x");
    } else if (step == QLatin1String("temporary")) {
        for (const QString &name : allEntries(dir.path())) {
            if (SafeFile::IsTemporary(name))
                QVERIFY(QFile::remove(dir.filePath(name)));
        }
    }
    QVERIFY(!pending.Commit());
    QVERIFY(!SafeFile::LastRefused());
    QVERIFY2(SafeFile::LastError().contains(reason), qPrintable(SafeFile::LastError()));
    QCOMPARE(readFile(step.startsWith(QLatin1String("folder")) ? aside : target), QByteArray("old"));
    for (const QString &name : allEntries(dir.path()))
        QVERIFY2(!SafeFile::IsTemporary(name), qPrintable(name));
    // The callers' messages carry it.
    QVERIFY(SafeFile::WithReason(QStringLiteral("can not write file")).endsWith(SafeFile::LastError()));
}

void tst_safefile::write_fileNotWritableForUser_refused_data()
{
    QTest::addColumn<bool>("own");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("written");
    QTest::newRow("another's, read-only") << false << 0444 << 0 << false;
    QTest::newRow("another's, read-only, made writable first")
        << false << 0444 << int(SafeFile::MakeWritable) << false;
    QTest::newRow("another's, writable by its owner only") << false << 0644 << 0 << false;
    QTest::newRow("another's, writable by all") << false << 0666 << 0 << true;
    QTest::newRow("own, read-only") << true << 0444 << 0 << false;
    QTest::newRow("own, read-only, made writable first")
        << true << 0444 << int(SafeFile::MakeWritable) << true;
}

// A rename needs only the folder's permission: question.xml that the user may not write was
// replaced without a word. Run as an ordinary user, for whom permissions hold.
void tst_safefile::write_fileNotWritableForUser_refused()
{
    QFETCH(bool, own);
    QFETCH(int, mode);
    QFETCH(int, options);
    QFETCH(bool, written);
    if (!own && ::geteuid() != 0)
        QSKIP("only root can give a file to another user");
    QTemporaryDir dir;
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString target = dir.filePath("question.xml");
    writeFile(target, "old");
    const QByteArray name = QFile::encodeName(target);
    if (own && ::geteuid() == 0)
        QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
    const int result = asOrdinaryUser([&] {
        const bool ok = SafeFile::Write(target, "new", options);
        int seen = (ok ? 1 : 0) | (SafeFile::LastRefused() && SafeFile::LastError().contains(target) ? 2 : 0);
        if (ok)
            return seen;
        // The save of question.xml says so.
        RegistryScope reg;
        xmlclass store;
        store.NewXmlDoc(XmlIndex::Question, QStringLiteral("Root_Question"));
        store.SetDocFileName(XmlIndex::Question, target);
        if (store.SaveXmlDoc(XmlIndex::Question) == 0 && UiReport::LastText().count(target) == 2 &&
            UiReport::LastText().contains(QLatin1String("read-only")))
            seen |= 4;
        return seen;
    });
    QCOMPARE(result, written ? 1 : 6);
    QCOMPARE(readFile(target), written ? QByteArray("new") : QByteArray("old"));
    QCOMPARE(allEntries(dir.path()), QStringList{"question.xml"});
}

// A temporary left by a killed save is removed when the folder is next written to, once no
// program has touched it for a while; one being written now, and the users' own hidden files, stay.
void tst_safefile::write_temporaries_recognisedStaleOnesRemoved()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("a.xml");
    SafeFile::Pending pending;
    QVERIFY(pending.Prepare(target, "a"));
    QStringList names = allEntries(dir.path());
    QCOMPARE(names.size(), 1);
    QVERIFY(SafeFile::IsTemporary(names.first()));
    for (const char *own : {".a.xml", ".a.xml.bak", ".pelmorine-tmp", "a.xml.pelmorine-tmp"})
        QVERIFY2(!SafeFile::IsTemporary(QString::fromLatin1(own)), own);
    writeFile(dir.filePath(".a.xml.bak"), "mine");
    writeFile(dir.filePath(".b.xml.k2.pelmorine-tmp"), "killed");
    // Young: another member's save in progress.
    QVERIFY(SafeFile::Write(target, "1"));
    QCOMPARE(allEntries(dir.path()).size(), 4);
    const qint64 before = SafeFileDetail::g_staleSeconds;
    SafeFileDetail::g_staleSeconds = 0;
    QTemporaryDir other;
    QVERIFY(
        QFile::rename(dir.filePath(".b.xml.k2.pelmorine-tmp"), other.filePath(".b.xml.k2.pelmorine-tmp")));
    writeFile(other.filePath(".b.xml.bak"), "mine");
    const bool ok = SafeFile::Write(other.filePath("b.xml"), "2");
    SafeFileDetail::g_staleSeconds = before;
    QVERIFY(ok);
    QCOMPARE(allEntries(other.path()), (QStringList{".b.xml.bak", "b.xml"}));
    QVERIFY(pending.Commit());
    QCOMPARE(readFile(target), QByteArray("a"));

    // A copy's temporary carries its source's old modification time from before its rename; its
    // change time is new, and it is not taken for a stale one by a save beside it.
    QTemporaryDir copying;
    const QString copy = copying.filePath(".c.doc.k3.pelmorine-tmp");
    writeAt(copy, "copy", QDateTime::currentDateTime().addDays(-30));
    QVERIFY(SafeFile::Write(copying.filePath("c.xml"), "3"));
    QCOMPARE(allEntries(copying.path()), (QStringList{".c.doc.k3.pelmorine-tmp", "c.xml"}));
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
    const qint64 readBefore = ReadCost::bytesRead();
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
    // Refused before any byte of it is read: a 2 GB file read whole took the memory and minutes.
    QVERIFY2(ReadCost::bytesRead() - readBefore < 1024 * 1024,
             qPrintable(QString::number(ReadCost::bytesRead() - readBefore)));
    QVERIFY(store.OpenXmlFile(XmlIndex::Instance + 2, dir.filePath("link.xml"), false));
}

// The ceiling refuses no file a workspace needs: one of its size is read whole, and one that grows
// past it while read is refused. A copy (of a reference file) takes its source in pieces and has none.
void tst_safefile::read_atTheCeiling_readWhole_copiesUnbounded()
{
    QTemporaryDir dir;
    const QString limit = dir.filePath("limit.xml");
    QVERIFY(sparseFile(limit, SafeFile::MaxReadBytes));
    QByteArray bytes;
    QVERIFY(SafeFile::ReadAll(limit, &bytes));
    QCOMPARE(bytes.size(), SafeFile::MaxReadBytes);
    bytes.clear();
    // Another member's program adds to the file after the open looked at its size.
    for (const qint64 grown : {SafeFile::MaxReadBytes + 1, qint64(2) << 30}) {
        QVERIFY(sparseFile(limit, 16));
        SafeFileDetail::g_afterReadOpen = [grown](const QString &path) { QFile(path).resize(grown); };
        const bool read = SafeFile::ReadAll(limit, &bytes);
        SafeFileDetail::g_afterReadOpen = nullptr;
        QVERIFY2(!read && bytes.isEmpty(), qPrintable(QString::number(bytes.size())));
        QVERIFY(SafeFile::LastRefused() && SafeFile::LastError().contains(limit));
    }
    QVERIFY(sparseFile(limit, qint64(2) << 30));
    QFile file;
    QVERIFY(!SafeFile::OpenRead(file, limit));
    QVERIFY(SafeFile::OpenRead(file, limit, QIODevice::ReadOnly, SafeFile::AnySize));
    QCOMPARE(file.size(), qint64(2) << 30);
}

QTEST_GUILESS_MAIN(tst_safefile)
#include "tst_safefile.moc"
