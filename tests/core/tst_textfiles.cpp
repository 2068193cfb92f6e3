#include "core/safefile.h"
#include "core/textfiles.h"
#include "filesizelimit.h"
#include "instance/readcost.h"
#include "testsupport.h"
#include "tolderrors.h"

#include "core/uireport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

using namespace TestSupport;

class tst_textfiles : public QObject
{
    Q_OBJECT
private slots:
    void truncate_atAndAboveLimit();
    void truncate_multiByteCut_keepsWholeCharacters();
    void fileNameOfPath_data();
    void fileNameOfPath();
    void read_missingFile_isEmpty();
    void read_changedOnceDuringFirstRead_returnsSecondRead();
    void read_peerKeepsWriting_givesUpAfterBoundedLooks();
    void read_shownText_manyEntriesRefusedByName_data();
    void read_shownText_manyEntriesRefusedByName();
    void waitStable_removedFile_isOne();
    void countMarkers_countsKnownMarkersOnly();
    void replaceByCopy_targetNeverMissing_failedCopyKeepsIt();
    void replaceByCopy_usersFilesBesideKept_timeCarried();
    void write_commitFails_reportsFailureKeepsOld();
    void isAbsent_onlyWhenTheFolderSaysSo();
    void read_encoding_notUtf8RefusedByName_data();
    void read_encoding_notUtf8RefusedByName();
    void read_lineEnds_everyLineKept_data();
    void read_lineEnds_everyLineKept();
    void readHead_linesEndsCutsAndBytes_data();
    void readHead_linesEndsCutsAndBytes();
    void writeRefusal_atAndPastTheReadersLimit_data();
    void writeRefusal_atAndPastTheReadersLimit();
    void refusal_toldOnceUntilTheFileChanges_data();
    void refusal_toldOnceUntilTheFileChanges();
    void write_changedSinceRead_refusedUntilReadAgain_data();
    void write_changedSinceRead_refusedUntilReadAgain();
    void write_fileAlreadyHoldsTheBytes_writtenAndNextWriteSaves_data();
    void write_fileAlreadyHoldsTheBytes_writtenAndNextWriteSaves();
};

void tst_textfiles::truncate_atAndAboveLimit()
{
    const QString exact(65535, QLatin1Char('a'));
    QCOMPARE(TextFiles::TruncateUtf8(exact, 65535), exact);
    const QString over(65536, QLatin1Char('a'));
    const QString cut = TextFiles::TruncateUtf8(over, 65535);
    QCOMPARE(cut.toUtf8().size(), 65531 + 3);
    QVERIFY(cut.endsWith(QStringLiteral("a...")));
    // A limit of 4 or less leaves nothing to keep: the text stays as it is.
    QCOMPARE(TextFiles::TruncateUtf8(QStringLiteral("abcdef"), 4), QStringLiteral("abcdef"));
}

void tst_textfiles::truncate_multiByteCut_keepsWholeCharacters()
{
    // Three-byte characters: a cut at limit-4 = 8 bytes would split the third one.
    const QString text = QString::fromUtf8("日本語テキスト");
    const QString cut = TextFiles::TruncateUtf8(text, 12);
    QVERIFY(!cut.contains(QChar::ReplacementCharacter));
    QCOMPARE(cut, QString::fromUtf8("日本...")); // 6 bytes: the last boundary at or below 8
    // A four-byte character (a surrogate pair) is not split either.
    const QString emoji = QString::fromUtf8("ab\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
    const QString cut2 = TextFiles::TruncateUtf8(emoji, 9);
    QCOMPARE(cut2, QStringLiteral("ab..."));
}

void tst_textfiles::fileNameOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("slash") << "/a/b/c.txt"
                           << "c.txt";
    QTest::newRow("slash then backslash") << "C:/x/dir\\file.txt"
                                          << "dir\\file.txt";
    QTest::newRow("backslash only") << "C:\\x\\file.txt"
                                    << "file.txt";
    QTest::newRow("no separator") << "file.txt"
                                  << "file.txt";
    QTest::newRow("trailing backslash") << "folder\\"
                                        << "";
    QTest::newRow("leading backslash") << "\\file"
                                       << "\\file";
}

void tst_textfiles::fileNameOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(TextFiles::FileNameOfPath(path), name);
}

void tst_textfiles::read_missingFile_isEmpty()
{
    QTemporaryDir dir;
    QVERIFY(TextFiles::Read(dir.filePath(QStringLiteral("none.txt")), 10).isEmpty());
    // A directory where the file should be cannot be read either.
    QVERIFY(TextFiles::Read(dir.path(), 10).isEmpty());
}

void tst_textfiles::read_changedOnceDuringFirstRead_returnsSecondRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    writeFile(path, QByteArray("first"));
    QElapsedTimer clock;
    clock.start();
    int reads = 0;
    const QString text = TextFiles::Read(path, 1000, [&](int n) {
        reads = n;
        if (n == 1)
            writeFile(path, QString::fromUtf8("second 日本").toUtf8());
    });
    QCOMPARE(text, QString::fromUtf8("second 日本"));
    QCOMPARE(reads, 2);
    QVERIFY(clock.elapsed() >= 950);
}

void tst_textfiles::read_peerKeepsWriting_givesUpAfterBoundedLooks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("busy.txt"));
    writeFile(path, QByteArray("x"));
    int reads = 0;
    const QString text = TextFiles::Read(path, 5, [&](int n) {
        reads = n;
        writeFile(path, QByteArray("x"), QIODevice::Append);
    });
    QCOMPARE(reads, TextFiles::MaxLooks);
    QCOMPARE(text.size(), TextFiles::MaxLooks);
}

void tst_textfiles::read_shownText_manyEntriesRefusedByName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason"); // empty: read whole
    const int lines = TextFiles::MaxTextLines;
    QTest::newRow("200,000 short lines") << QByteArray("1\n").repeated(200000) << QString();
    QTest::newRow("lines at the bound, last unended")
        << QByteArray("1\n").repeated(lines - 1) + "1" << QString();
    QTest::newRow("a line past the bound") << QByteArray("\n").repeated(lines + 1) << QStringLiteral("lines");
    QTest::newRow("millions of short lines")
        << QByteArray("1\n").repeated(4000000) << QStringLiteral("lines");
    QTest::newRow("one line past the bytes")
        << QByteArray(int(TextFiles::MaxTextBytes) + 1, 'a') << QStringLiteral("MB");
}

// Shown in an editor, a file of millions of short lines took gigabytes and minutes: it is refused
// by name, costs no more than its reading, and stays refused for the writers until read whole.
void tst_textfiles::read_shownText_manyEntriesRefusedByName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    writeFile(path, bytes);
    UiReport::ClearLast();
    const ReadCost cost;
    const QString text = TextFiles::Read(path, 10);
    // Room for a sanitized build; an editor took gigabytes for millions of lines. The file is read
    // once at most, and costs about what a plain scan of it does (two at most here).
    const double spent = cost.spentMs();
    const QString report = cost.Report();
    QVERIFY2(cost.Kept(128), qPrintable(report));
    QVERIFY2(cost.read() <= bytes.size() + 16 * 1024, qPrintable(report));
    const double plainMs = ReadCost::PlainMs([&path] { return ReadCost::ScanInPieces(path); });
    QVERIFY2(ReadCost::WithinPlain(spent, plainMs, 20),
             qPrintable(report + QStringLiteral(", a plain scan %1 ms").arg(plainMs)));
    qInfo().noquote() << report << "a plain scan" << plainMs << "ms";
    QCOMPARE(TextFiles::IsRefused(path), !reason.isEmpty());
    if (reason.isEmpty()) {
        QCOMPARE(text.size(), bytes.size());
        QVERIFY(UiReport::LastText().isEmpty());
        return;
    }
    QVERIFY(text.isEmpty());
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File error"));
    QVERIFY2(UiReport::LastText().startsWith(path + " holds ") && UiReport::LastText().contains(reason),
             qPrintable(UiReport::LastText()));
    // Made small again by its owner, it reads and may be written.
    writeFile(path, "short");
    QCOMPARE(TextFiles::Read(path, 10), QStringLiteral("short"));
    QVERIFY(!TextFiles::IsRefused(path));
}

void tst_textfiles::waitStable_removedFile_isOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.txt"));
    QCOMPARE(TextFiles::WaitStable(path, 5), 1);
    writeFile(path, QByteArray("here"));
    QCOMPARE(TextFiles::WaitStable(path, 5), 0);
}

void tst_textfiles::countMarkers_countsKnownMarkersOnly()
{
    QHash<QString, int> counts{
        {QStringLiteral("$Var[3]"), 9}, {QStringLiteral("$Seq[12]"), 9}, {QStringLiteral("$Var[1]"), 9}};
    TextFiles::CountMarkers(QStringLiteral("a $Var[3] b $Seq[12]\n$Var[3] $Vars[1] $Var[x] $Var[7] x$Var[1]"),
                            &counts);
    QCOMPARE(counts.value(QStringLiteral("$Var[3]")), 2);
    QCOMPARE(counts.value(QStringLiteral("$Seq[12]")), 1);
    // "x$Var[1]" still is a marker: the dollar sign starts it wherever it stands.
    QCOMPARE(counts.value(QStringLiteral("$Var[1]")), 1);
    QCOMPARE(counts.size(), 3);
    TextFiles::CountMarkers(QString(), &counts);
    QCOMPARE(counts.value(QStringLiteral("$Var[3]")), 0);
}

// Another member's program reads the target while it is replaced: it must find the old or the
// new file, never none. A copy that fails leaves the old one.
void tst_textfiles::replaceByCopy_targetNeverMissing_failedCopyKeepsIt()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    const QString target = dir.filePath("target");
    TestSupport::writeFile(source, "new");
    TestSupport::writeFile(target, "old");
    QFile::setPermissions(target, QFileDevice::ReadOwner);
    std::atomic<bool> running{true};
    std::atomic<int> missing{0};
    std::thread reader([&] {
        while (running)
            missing += !QFileInfo::exists(target);
    });
    const auto stopReader = qScopeGuard([&] {
        running = false;
        if (reader.joinable())
            reader.join();
    });
    for (int i = 0; i < 300; ++i)
        QVERIFY(SafeFile::ReplaceByCopy(source, target));
    running = false;
    reader.join();
    QCOMPARE(missing.load(), 0);
    QCOMPARE(TestSupport::readFile(target), QByteArray("new"));
    QVERIFY(!SafeFile::ReplaceByCopy(dir.filePath("gone"), target));
    QCOMPARE(TestSupport::readFile(target), QByteArray("new"));
}

// The temporary lies beside the target, among a user's files: no name of theirs may be taken.
void tst_textfiles::replaceByCopy_usersFilesBesideKept_timeCarried()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    const QString target = dir.filePath("target.c");
    TestSupport::writeFile(source, "new");
    TestSupport::writeFile(target, "old");
    TestSupport::writeFile(target + ".copying", "user's own");
    const QDateTime time = QDateTime::fromSecsSinceEpoch(1500000000);
    QVERIFY(SafeFile::ReplaceByCopy(source, target, time));
    QCOMPARE(TestSupport::readFile(target), QByteArray("new"));
    QCOMPARE(TestSupport::readFile(target + ".copying"), QByteArray("user's own"));
    QCOMPARE(QFileInfo(target).lastModified(), time);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    // A failed copy leaves no temporary behind either.
    QVERIFY(!SafeFile::ReplaceByCopy(dir.filePath("gone"), target));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

// A commit that cannot write the whole file (a full disk; here the file-size limit) is a failed
// write: the old file stays whole and nothing is left beside it.
void tst_textfiles::write_commitFails_reportsFailureKeepsOld()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("settings.xml");
    writeFile(target, "old and whole");
    // Smaller than the write buffer: every byte reaches the disk in the commit.
    const QByteArray bytes(8000, 'x');
    {
        FileSizeLimit limit(1024);
        QVERIFY(limit.IsSet());
        QVERIFY(!SafeFile::Write(target, bytes));
        QVERIFY(!SafeFile::WriteUtf8(target, QString::fromLatin1(bytes)));
    }
    QCOMPARE(readFile(target), QByteArray("old and whole"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("settings.xml")});
    QVERIFY(SafeFile::Write(target, bytes));
    QCOMPARE(readFile(target), bytes);
}

// The copy an editor holds came from the last read; another desktop's edit since, even of the same
// size in the same second, is never written over, whichever reader (whole or head) took the file.
void tst_textfiles::write_changedSinceRead_refusedUntilReadAgain_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("reader"); // whole, head, or none before the other program's write
    const QByteArray rest = QByteArray("x\n").repeated(40000);
    QTest::newRow("same size, same second") << QByteArray("aaaa\n") << QByteArray("bbbb\n") << "whole";
    QTest::newRow("head read, same size") << QByteArray("1,2\n3,4\n") << QByteArray("1,2\n3,5\n") << "head";
    QTest::newRow("head that stopped before the end")
        << QByteArray("1,2\n3,4\n") + rest << QByteArray("1,2\n3,5\n") + rest << "head";
    QTest::newRow("made after an absent read") << QByteArray() << QByteArray("theirs\n") << "whole";
    QTest::newRow("never read") << QByteArray() << QByteArray("theirs\n") << "none";
}

void tst_textfiles::write_changedSinceRead_refusedUntilReadAgain()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, reader);
    QTemporaryDir dir;
    const QString path = dir.filePath("text.txt");
    const QDateTime time = QDateTime::currentDateTimeUtc().addSecs(-60);
    if (!before.isEmpty())
        writeAt(path, before, time);
    const auto read = [&] {
        return reader == QLatin1String("head") ? TextFiles::ReadHead(path, 10, 100, 0)
                                               : TextFiles::Read(path, 0);
    };
    if (reader != QLatin1String("none"))
        read();
    writeAt(path, after, time);
    QVERIFY(!TextFiles::Write(path, QStringLiteral("mine\n")));
    QVERIFY(SafeFile::LastChanged());
    QVERIFY(SafeFile::LastError().contains(path));
    QCOMPARE(readFile(path), after);
    read();
    QVERIFY(TextFiles::Write(path, QStringLiteral("mine\n")));
    // What it wrote is what it compares with next.
    QVERIFY(TextFiles::Write(path, QStringLiteral("mine again\n")));
    QCOMPARE(readFile(path), QByteArray("mine again\n"));
}

// The same edit saved on another desktop first: nothing of anyone's is lost, so no question, and
// what is there now is what the next write compares with.
void tst_textfiles::write_fileAlreadyHoldsTheBytes_writtenAndNextWriteSaves_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("mine");
    QTest::addColumn<bool>("head");
    const QByteArray rest = QByteArray("x\n").repeated(40000);
    QTest::newRow("read whole") << QByteArray("old\n") << QByteArray("mine\n") << false;
    QTest::newRow("head that stopped before the end")
        << QByteArray("1,2\n3,4\n") + rest << QByteArray("1,2\n3,5\n") + rest << true;
}

void tst_textfiles::write_fileAlreadyHoldsTheBytes_writtenAndNextWriteSaves()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, mine);
    QFETCH(bool, head);
    QTemporaryDir dir;
    const QString path = dir.filePath("text.txt");
    writeFile(path, before);
    if (head)
        TextFiles::ReadHead(path, 10, 100, 0);
    else
        TextFiles::Read(path, 0);
    writeFile(path, mine);
    UiReport::ClearLast();
    QVERIFY(TextFiles::WriteBytes(path, mine));
    QVERIFY2(UiReport::LastText().isEmpty(), qPrintable(UiReport::LastText()));
    QVERIFY(TextFiles::WriteBytes(path, "mine again\n"));
    QCOMPARE(readFile(path), QByteArray("mine again\n"));
}

QTEST_GUILESS_MAIN(tst_textfiles)
// A missing member file is created afresh, so "absent" must never be said of a file whose folder
// cannot be read.
void tst_textfiles::isAbsent_onlyWhenTheFolderSaysSo()
{
    QTemporaryDir dir;
    QVERIFY(SafeFile::Write(dir.filePath("here"), "x"));
    QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("dangling")));
    QVERIFY(SafeFile::IsAbsent(dir.filePath("missing.xml")));
    QVERIFY(!SafeFile::IsAbsent(dir.filePath("here")));
    QVERIFY(!SafeFile::IsAbsent(dir.filePath("dangling")));
    QVERIFY(!SafeFile::IsAbsent(dir.filePath("gone/missing.xml")));
    QVERIFY(!SafeFile::IsAbsent(dir.filePath("here/missing.xml")));
}

void tst_textfiles::read_encoding_notUtf8RefusedByName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text"); // what is read; unused when refused
    QTest::addColumn<bool>("refused");
    const QString none;
    QTest::newRow("UTF-8 with a byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                                "abc")
                                                  << "abc" << false;
    QTest::newRow("a replacement character the file holds")
        << QByteArray("a\xEF\xBF\xBD") << QString::fromUtf8("a\xEF\xBF\xBD") << false;
    QTest::newRow("four-byte character")
        << QByteArray("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80") << false;
    QTest::newRow("Shift_JIS") << QByteArray("\x93\xFA\x96\x7B\x8C\xEA") << none << true;
    QTest::newRow("Latin-1") << QByteArray("caf\xE9 cr\xE8me") << none << true;
    QTest::newRow("UTF-16 with its byte order mark") << QByteArray("\xFF\xFE"
                                                                   "a\0b\0",
                                                                   6)
                                                     << none << true;
    QTest::newRow("UTF-16 of Latin letters, no mark") << QByteArray("a\0b\0", 4) << none << true;
    QTest::newRow("overlong slash") << QByteArray("a\xC0\xAF") << none << true;
    QTest::newRow("surrogate half") << QByteArray("\xED\xA0\x80") << none << true;
    QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << none << true;
    QTest::newRow("character cut at the end") << QByteArray("ab\xE6\x97") << none << true;
}

// A text in another encoding showed as garbage and saved back as replacement characters: it is
// refused by name, as a file past the size limit is, for the shown text and for a grid's head.
void tst_textfiles::read_encoding_notUtf8RefusedByName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("instance_1_2.txt"));
    writeFile(path, bytes);
    UiReport::ClearLast();
    const QString read = TextFiles::Read(path, 10);
    QCOMPARE(TextFiles::IsRefused(path), refused);
    QCOMPARE(TextFiles::WriteRefusal(path, QStringLiteral("x")).isEmpty(), !refused);
    if (!refused) {
        QCOMPARE(read, text);
        QVERIFY(UiReport::LastText().isEmpty());
    } else {
        QVERIFY(read.isEmpty());
        QCOMPARE(UiReport::LastText(), TextFiles::RefusalOf(path));
        QVERIFY2(TextFiles::RefusalOf(path).startsWith(path + " holds ") &&
                     TextFiles::RefusalOf(path).contains(QStringLiteral("UTF-8")),
                 qPrintable(TextFiles::RefusalOf(path)));
    }
    UiReport::ClearLast();
    TextFiles::ReadHead(path, 10, 1024, 10);
    QCOMPARE(TextFiles::IsRefused(path), refused);
    QCOMPARE(readFile(path), bytes);
}

void tst_textfiles::read_lineEnds_everyLineKept_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("lone CR between lines") << QByteArray("line1\nline2\rline3") << "line1\nline2\nline3";
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "a\nb\n";
    QTest::newRow("CR before CR LF") << QByteArray("a\r\r\nb") << "a\n\nb";
    QTest::newRow("lone CR at the end") << QByteArray("a\r") << "a\n";
    QTest::newRow("lone CRs only") << QByteArray("\r\r") << "\n\n";
}

// A text-mode read dropped every CR: an old Mac line end merged two lines, shown and saved.
void tst_textfiles::read_lineEnds_everyLineKept()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chapter.txt"));
    writeFile(path, bytes);
    QCOMPARE(TextFiles::Read(path, 10), text);
}

void tst_textfiles::readHead_linesEndsCutsAndBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<int>("maxLineBytes");
    QTest::addColumn<QString>("text"); // what is read; unused when refused
    QTest::addColumn<bool>("refused");
    QTest::newRow("lone CRs end rows") << QByteArray("1,2\r3,4\r5,6") << 2 << 64 << "1,2\n3,4" << false;
    QTest::newRow("CR LF and blank lines") << QByteArray("1\r\n\r\n2\r\n") << 5 << 64 << "1\n2" << false;
    QTest::newRow("cut inside a character") << QByteArray("ab\xE6\x97\xA5") << 5 << 3 << "ab" << false;
    QTest::newRow("cut after a character")
        << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC") << 5 << 3 << QString::fromUtf8("\xE6\x97\xA5") << false;
    QTest::newRow("bad bytes after the last row read")
        << QByteArray("1\n2\n\xFF") << 2 << 64 << "1\n2" << false;
    QTest::newRow("Shift_JIS cell") << QByteArray("\x93\xFA,1\n") << 5 << 64 << QString() << true;
    QTest::newRow("Latin-1 past the cut") << QByteArray("ab\xE9\n") << 5 << 2 << QString() << true;
    QTest::newRow("character cut at the end of the file")
        << QByteArray("1\n\xE6\x97") << 5 << 64 << QString() << true;
}

// Grids and point files: a lone CR ends a row, a cut keeps whole characters, and bytes that do
// not decode make a broken file, not data a save rewrites.
void tst_textfiles::readHead_linesEndsCutsAndBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxLines);
    QFETCH(int, maxLineBytes);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("instance_1_2.csv"));
    writeFile(path, bytes);
    UiReport::ClearLast();
    const QString head = TextFiles::ReadHead(path, maxLines, maxLineBytes, 10);
    QCOMPARE(TextFiles::IsRefused(path), refused);
    if (refused) {
        QVERIFY(head.isEmpty());
        QVERIFY2(UiReport::LastText().startsWith(path + " holds "), qPrintable(UiReport::LastText()));
    } else {
        QCOMPARE(head, text);
    }
}

void tst_textfiles::writeRefusal_atAndPastTheReadersLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // empty: saved, and read back whole
    const int bytes = int(TextFiles::MaxTextBytes);
    const int lines = TextFiles::MaxTextLines;
    const QString day = QString::fromUtf8("\xE6\x97\xA5"); // three bytes
    QTest::newRow("bytes at the limit") << QString(bytes, QLatin1Char('a')) << QString();
    QTest::newRow("a byte past the limit") << QString(bytes + 1, QLatin1Char('a')) << QStringLiteral("bytes");
    QTest::newRow("three-byte characters at the limit")
        << day.repeated(bytes / 3) + QString(bytes % 3, QLatin1Char('a')) << QString();
    QTest::newRow("three-byte characters a byte past")
        << day.repeated(bytes / 3) + QString(bytes % 3 + 1, QLatin1Char('a')) << QStringLiteral("bytes");
    QTest::newRow("lines at the limit") << QStringLiteral("1\n").repeated(lines) << QString();
    QTest::newRow("lines at the limit, last unended")
        << QStringLiteral("1\n").repeated(lines - 1) + QStringLiteral("1") << QString();
    QTest::newRow("a line past the limit")
        << QStringLiteral("1\n").repeated(lines) + QStringLiteral("1") << QStringLiteral("lines");
    QTest::newRow("lone CRs past the limit")
        << QStringLiteral("\r").repeated(lines + 1) << QStringLiteral("lines");
    QTest::newRow("a NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << QStringLiteral("NUL");
}

// A text saved past what the reader takes was refused to its writer and every member on the next
// open: the writer asks first, and a text at the limit reads back whole.
void tst_textfiles::writeRefusal_atAndPastTheReadersLimit()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("template.txt"));
    const QString refusal = TextFiles::WriteRefusal(path, text);
    if (!reason.isEmpty()) {
        QVERIFY2(refusal.startsWith(path + " was not saved") && refusal.contains(reason),
                 qPrintable(refusal));
        return;
    }
    QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
    QVERIFY(SafeFile::WriteUtf8(path, text));
    UiReport::ClearLast();
    QVERIFY(TextFiles::Read(path, 10) == text);
    QVERIFY(!TextFiles::IsRefused(path));
    QVERIFY(UiReport::LastText().isEmpty());
}

#include "tst_textfiles.moc"

void tst_textfiles::refusal_toldOnceUntilTheFileChanges_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("change");
    QTest::newRow("Latin-1, grown") << QByteArray("caf\xE9") << "size";
    QTest::newRow("Latin-1, touched") << QByteArray("caf\xE9") << "time";
    QTest::newRow("past the line limit, touched") << QByteArray(TextFiles::MaxTextLines + 1, '\n') << "time";
}

// Every reader of a refused file reads it again (an editor shown again, a run, a diagram), and each
// read put the same error window up again. The reason stays with the file all along.
void tst_textfiles::refusal_toldOnceUntilTheFileChanges()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("instance_1_2.txt"));
    writeFile(path, bytes);
    ToldErrors told;
    const auto readBoth = [&] {
        TextFiles::Read(path, 0);
        QVERIFY(TextFiles::IsRefused(path));
        TextFiles::ReadHead(path, 10, 1024, 0);
        QVERIFY(TextFiles::Read(path, 0).isEmpty());
        QVERIFY(!TextFiles::RefusalOf(path).isEmpty());
    };
    readBoth();
    readBoth();
    // A head that stops before the damage takes the file, and tells nothing new either.
    QCOMPARE(told.texts.size(), 1);
    QCOMPARE(told.texts.first(), TextFiles::RefusalOf(path));

    if (change == QLatin1String("size")) {
        writeFile(path, bytes + bytes);
    } else {
        writeAt(path, bytes, QFileInfo(path).lastModified().addSecs(5));
    }
    readBoth();
    QCOMPARE(told.texts.size(), 2);
    QCOMPARE(told.texts.last(), TextFiles::RefusalOf(path));
}
