#include "core/defvar.h"
#include "core/safefile.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "domtext.h"
#include "instance/instancefiles.h"
#include "instance/readcost.h"
#include "model/elementlayout.h"
#include "testsupport.h"

#include <QtTest>

using namespace TestSupport;

namespace
{
// An instance folder with the registry's texts, the store and the file layer.
struct Folder : public RegistryScope {
    QTemporaryDir dir;
    xmlclass *store = new xmlclass;
    InstanceFiles files;
    Folder()
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjXmlStore, store);
        files.SetDir(dir.path());
        UiReport::ClearLast();
    }
    ~Folder() override { delete store; }
    QString path(const QString &name) const { return dir.filePath(name); }
};
} // namespace

class tst_instancefiles : public QObject
{
    Q_OBJECT
private slots:
    void grid_writesThirtyCrLfLines_noRemainsOfLongerFile();
    void grid_read_data();
    void grid_read();
    void pos_roundTrip_sixDigitsAndPartialLines();
    void headFiles_millionsOfShortLines_onlyUsedLinesRead_data();
    void headFiles_millionsOfShortLines_onlyUsedLinesRead();
    void refusedFile_neverWrittenOver_data();
    void refusedFile_neverWrittenOver();
    void write_unwritablePath_reportsAndKeepsFlags();
    void text_atAndPastReadLimits_pastRefusedNothingWritten_data();
    void text_atAndPastReadLimits_pastRefusedNothingWritten();
    void grid_rowAtAndPastLineLimit_pastRefusedValueKept_data();
    void grid_rowAtAndPastLineLimit_pastRefusedValueKept();
    void pos_morePointsThanRead_onlyReadPointsWritten();
    void elementFiles_onlyDecimalNumbersReachPaths();
    void buildElements_attributesReferencesAndExplanation();
    void buildElements_removedOrMovedRow_unknownNodesGoWithIt();
    void clearDocument_keepsRootAndItsAttributes();
    void openMember_missingFileCreated_damagedOrExistingNeverWritten();
    void openMember_wrongRoot_reportedByNameAndKept();
    void gridAndPoints_refused_notLoadedThenReadWhole_data();
    void gridAndPoints_refused_notLoadedThenReadWhole();
    void newNumbers_leftoverFiles_takesNumbersNoFileUses_data();
    void newNumbers_leftoverFiles_takesNumbersNoFileUses();
    void newNumbers_folderNotListed_refusedWithReasonNothingTaken();
    void newNumbers_noneLeft_refusedNothingTaken_data();
    void newNumbers_noneLeft_refusedNothingTaken();
};

void tst_instancefiles::grid_writesThirtyCrLfLines_noRemainsOfLongerFile()
{
    Folder f;
    writeFile(f.path("instance_0_4.csv"), QByteArray(5000, 'x'));
    TextFiles::Read(f.path("instance_0_4.csv"), 0); // as the editor did
    TreeItemData record;
    QVERIFY(f.files.WriteInstanceCsv("0", "4", &record)); // not changed: nothing written
    QCOMPARE(readFile(f.path("instance_0_4.csv")).size(), 5000);
    record.GridChanged() = true;
    record.SetCell(0, 0, QStringLiteral("\u00e9"));
    record.SetCell(29, 29, QStringLiteral("z"));
    QVERIFY(f.files.WriteInstanceCsv("0", "4", &record));
    QVERIFY(!record.GridChanged());
    const QList<QByteArray> lines = readFile(f.path("instance_0_4.csv")).split('\n');
    QCOMPARE(lines.size(), 31); // 30 lines, each ended
    QVERIFY(lines.last().isEmpty());
    for (int r = 0; r < 30; ++r) {
        QVERIFY(lines.at(r).endsWith('\r'));
        QCOMPARE(lines.at(r).count(','), 29);
    }
    QCOMPARE(lines.at(0), QStringLiteral("\u00e9,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r").toUtf8());
    QVERIFY(lines.at(29).endsWith(",z\r"));

    TreeItemData back;
    f.files.ReadInstanceCsv(&back, "0", "4");
    QCOMPARE(back.Cell(0, 0), QStringLiteral("\u00e9"));
    QCOMPARE(back.Cell(29, 29), QStringLiteral("z"));
    QVERIFY(back.GridLoaded());
}

void tst_instancefiles::grid_read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells"); // cells 0..2 of that row
    QTest::newRow("lf only") << "a,b\nc,d\n" << 1 << QStringList{"c", "d", "old"};
    QTest::newRow("blank lines are no rows") << "a\r\n\r\n\r\nb,c\r\n" << 1 << QStringList{"b", "c", "old"};
    QTest::newRow("one line without end") << "x,y,z" << 0 << QStringList{"x", "y", "z"};
    QTest::newRow("comma in a cell splits it") << "\"1,5\",2" << 0 << QStringList{"\"1", "5\"", "2"};
    QTest::newRow("empty parts kept") << ",,q" << 0 << QStringList{"", "", "q"};
    QString many;
    for (int i = 0; i < 35; ++i)
        many += QStringLiteral("r%1\n").arg(i);
    QTest::newRow("lines past 30 ignored") << many << 29 << QStringList{"r29", "old", "old"};
}

void tst_instancefiles::grid_read()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    TreeItemData record;
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 3; ++c)
            record.SetCell(r, c, QStringLiteral("old"));
    InstanceFiles::ParseGrid(&record, text);
    for (int c = 0; c < 3; ++c)
        QCOMPARE(record.Cell(row, c), cells.at(c));
}

void tst_instancefiles::pos_roundTrip_sixDigitsAndPartialLines()
{
    Folder f;
    TreeItemData record;
    record.positions = {QPointF(1.23456789, -2), QPointF(1e7, 0.5)};
    record.PosChanged() = true;
    QVERIFY(f.files.WriteInstancePos("2", "9", &record));
    QCOMPARE(readFile(f.path("instance_2_9.pos")), QByteArray("1.23457,-2\r\n1e+07,0.5\r\n"));

    writeFile(f.path("instance_2_9.pos"), "5\n\nabc,def\n3,4,7\n");
    TreeItemData back;
    f.files.ReadInstancePos(&back, "2", "9");
    QCOMPARE(back.positions, (QList<QPointF>{QPointF(5, -1), QPointF(0, 0), QPointF(3, 4)}));
    QVERIFY(back.PosLoaded());
    TreeItemData missing;
    f.files.ReadInstancePos(&missing, "2", "10");
    QVERIFY(missing.positions.isEmpty());
}

void tst_instancefiles::headFiles_millionsOfShortLines_onlyUsedLinesRead_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("first"); // grid: cells 0 and 1 of row 0; points: the first
    QTest::addColumn<int>("entries");   // points read; grid rows filled
    QTest::addColumn<bool>("whole");    // every byte must be looked at; else the first piece is enough
    const int all = TreeItemData::GridSize;
    QTest::newRow("points of short lines")
        << ".pos" << QByteArray("1\n").repeated(10000000) << "1,-1" << all << false;
    // One line longer than the memory allowed for the read: kept whole and cut at its end, it
    // alone would pass it.
    const int endless = 50000000;
    QTest::newRow("points on one endless line")
        << ".pos"
        << "7,8," + QByteArray("9,").repeated(endless) << "7,8" << 1 << true;
    QTest::newRow("grid of short rows")
        << ".csv" << QByteArray("1,2\n").repeated(5000000) << "1,2" << all << false;
    QTest::newRow("grid after blank lines") << ".csv" << QByteArray("\r\n").repeated(10000000) + "a,b\n"
                                            << "a,b" << 1 << true;
    QTest::newRow("grid on one endless line")
        << ".csv" << QByteArray("1,").repeated(endless) << "1,1" << 1 << true;
}

// A transition's point file or a grid file of 250 MB of short lines ended the program in 3 GB when
// the state view drew it: only the lines the format can use are read, whatever else the file holds.
// What it costs is counted in bytes read and memory kept, and the processor time of a file read
// whole is judged against a plain scan of the same bytes in the same run.
void tst_instancefiles::headFiles_millionsOfShortLines_onlyUsedLinesRead()
{
    QFETCH(QString, ext);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, first);
    QFETCH(int, entries);
    QFETCH(bool, whole);
    Folder f;
    const QString path = f.path("instance_1_14" + ext);
    writeFile(path, bytes);
    TreeItemData record;
    const ReadCost cost;
    if (ext == ".pos")
        f.files.ReadInstancePos(&record, "1", "14");
    else
        f.files.ReadInstanceCsv(&record, "1", "14");
    const double spent = cost.spentMs();
    const QString report = cost.Report();
    // A string a line took a gigabyte for ten million lines; a second read of a settled file
    // doubles the bytes. What the reader reads is one piece of 64 KB, or the file once.
    QVERIFY2(cost.Kept(64), qPrintable(report));
    const qint64 needed = whole ? bytes.size() : 64 * 1024;
    QVERIFY2(cost.read() <= needed + 16 * 1024,
             qPrintable(report + QStringLiteral(", %1 needed").arg(needed)));
    if (whole) {
        const double plainMs = ReadCost::PlainMs([&path] { return ReadCost::ScanInPieces(path); });
        // The reader takes a byte at a time: up to eight plain scans here, twenty sanitized; a
        // step that looks again at what it has kept for each byte costs thousands.
        QVERIFY2(ReadCost::WithinPlain(spent, plainMs, 100),
                 qPrintable(report + QStringLiteral(", a plain scan %1 ms").arg(plainMs)));
        qInfo().noquote() << report << "a plain scan" << plainMs << "ms";
    }
    const QStringList values = first.split(',');
    if (ext == ".pos") {
        QCOMPARE(record.positions.size(), entries);
        QCOMPARE(record.positions.first(), QPointF(values.at(0).toDouble(), values.at(1).toDouble()));
        return;
    }
    QCOMPARE(record.Cell(0, 0), values.at(0));
    QCOMPARE(record.Cell(0, 1), values.at(1));
    QCOMPARE(record.Cell(entries - 1, 1), values.at(1));
    QCOMPARE(record.Cell(entries % TreeItemData::GridSize, 1), entries > 1 ? values.at(1) : QString());
}

void tst_instancefiles::refusedFile_neverWrittenOver_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<qint64>("size"); // of a sparse file; 0: short lines past what an editor shows
    QTest::newRow("explanation of short lines") << ".txt" << qint64(0);
    QTest::newRow("grid past the ceiling") << ".csv" << SafeFile::MaxReadBytes + 1;
    QTest::newRow("points past the ceiling") << ".pos" << SafeFile::MaxReadBytes + 1;
}

// The empty text or the grid that stands in for a file that was not read is no edit of it: a
// changed record is not saved over it, and the save says so.
void tst_instancefiles::refusedFile_neverWrittenOver()
{
    QFETCH(QString, ext);
    QFETCH(qint64, size);
    Folder f;
    const QString path = f.path("instance_0_7" + ext);
    writeFile(path, size ? QByteArray() : QByteArray("1\n").repeated(TextFiles::MaxTextLines + 1));
    if (size)
        QVERIFY(QFile::resize(path, size));
    const QByteArray kept = size ? QByteArray() : readFile(path);
    TreeItemData record;
    QVERIFY(f.files.ReadElementText("0", "7").isEmpty());
    f.files.ReadInstanceCsv(&record, "0", "7");
    f.files.ReadInstancePos(&record, "0", "7");
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File error"));
    QVERIFY2(UiReport::LastText().startsWith(path + " holds "), qPrintable(UiReport::LastText()));
    record.TextChanged() = record.GridChanged() = record.PosChanged() = true;
    record.positions = {QPointF(1, 2)};
    UiReport::ClearLast();
    const bool written = ext == ".txt"   ? f.files.WriteElementText("0", "7", &record)
                         : ext == ".csv" ? f.files.WriteInstanceCsv("0", "7", &record)
                                         : f.files.WriteInstancePos("0", "7", &record);
    QVERIFY(!written);
    QVERIFY(f.GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(UiReport::LastText(), path + " was not read: it is not written over");
    QCOMPARE(QFileInfo(path).size(), size ? size : kept.size());
    if (!size)
        QCOMPARE(readFile(path), kept);
}

// The writer never saves a text the readers would refuse: every member would lose it on the next open.
void tst_instancefiles::text_atAndPastReadLimits_pastRefusedNothingWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saved");
    const int bytes = int(TextFiles::MaxTextBytes);
    QTest::newRow("bytes at the limit") << QString(bytes, QLatin1Char('a')) << true;
    QTest::newRow("one byte past") << QString(bytes + 1, QLatin1Char('a')) << false;
    QTest::newRow("multi-byte past") << QString(bytes / 3 + 1, QChar(0x3042)) << false;
    QTest::newRow("lines at the limit") << QStringLiteral("x\n").repeated(TextFiles::MaxTextLines) << true;
    QTest::newRow("one line past") << QStringLiteral("x\n").repeated(TextFiles::MaxTextLines) + "x" << false;
}

void tst_instancefiles::text_atAndPastReadLimits_pastRefusedNothingWritten()
{
    QFETCH(QString, text);
    QFETCH(bool, saved);
    Folder f;
    const QString path = f.path("instance_0_7.txt");
    writeFile(path, "before");
    TextFiles::Read(path, 0); // as the editor did
    TreeItemData record;
    record.SetAttr("Expression", text);
    record.TextChanged() = true;
    QCOMPARE(f.files.WriteElementText("0", "7", &record), saved);
    QCOMPARE(record.GetAttr("Expression").size(), text.size()); // the editor's text stays whole
    QCOMPARE(record.TextChanged(), !saved);
    QCOMPARE(f.GetBoolVar(RegSlot::FlagWriteFailed), !saved);
    if (saved) {
        QCOMPARE(f.files.ReadElementText("0", "7").size(), text.size());
        QVERIFY(!TextFiles::IsRefused(path));
        return;
    }
    QCOMPARE(readFile(path), QByteArray("before"));
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File error"));
    QVERIFY2(UiReport::LastText().startsWith(path + " was not saved"), qPrintable(UiReport::LastText()));
}

// A row is one line of the grid file, and the reader cuts lines at MaxLineBytes: the writer never
// writes one it would cut.
void tst_instancefiles::grid_rowAtAndPastLineLimit_pastRefusedValueKept_data()
{
    QTest::addColumn<QStringList>("cells"); // row 1, the other cells of the row empty
    QTest::addColumn<bool>("saved");
    const int room = InstanceFiles::MaxLineBytes - 29; // 29 commas between 30 cells
    const QString kana(room / 3, QChar(0x3042));       // 3 bytes each in UTF-8
    QTest::newRow("ascii at the limit") << QStringList{QString(room, QLatin1Char('a'))} << true;
    QTest::newRow("ascii one past") << QStringList{QString(room + 1, QLatin1Char('a'))} << false;
    QTest::newRow("multi-byte at the limit")
        << QStringList{kana + QString(room % 3, QLatin1Char('a'))} << true;
    QTest::newRow("multi-byte one past")
        << QStringList{kana + QString(room % 3 + 1, QLatin1Char('a'))} << false;
    QTest::newRow("30000 kana in a cell") << QStringList{QString(30000, QChar(0x3042))} << false;
    QStringList spread;
    for (int c = 0; c < 30; ++c)
        spread << QString(room / 30 + 1, QLatin1Char('b'));
    QTest::newRow("spread over the row") << spread << false;
    QTest::newRow("NUL in a value") << QStringList{QStringLiteral("a") + QChar(0) + "b"} << false;
}

void tst_instancefiles::grid_rowAtAndPastLineLimit_pastRefusedValueKept()
{
    QFETCH(QStringList, cells);
    QFETCH(bool, saved);
    Folder f;
    const QString path = f.path("instance_0_4.csv");
    writeFile(path, "before\r\n");
    TextFiles::Read(path, 0); // as the editor did
    TreeItemData record;
    for (int c = 0; c < cells.size(); ++c)
        record.SetCell(0, c, cells.at(c));
    record.SetCell(1, 0, QStringLiteral("next"));
    record.GridChanged() = true;
    QCOMPARE(f.files.WriteInstanceCsv("0", "4", &record), saved);
    QCOMPARE(record.GridChanged(), !saved);
    QCOMPARE(record.Cell(0, 0), cells.at(0)); // kept whole for the user to shorten
    if (!saved) {
        QCOMPARE(readFile(path), QByteArray("before\r\n"));
        QVERIFY(f.GetBoolVar(RegSlot::FlagWriteFailed));
        QVERIFY2(UiReport::LastText().startsWith(path + " was not saved"), qPrintable(UiReport::LastText()));
        return;
    }
    TreeItemData back;
    f.files.ReadInstanceCsv(&back, "0", "4");
    QCOMPARE(back.Cell(0, 0), cells.at(0));
    QCOMPARE(back.Cell(1, 0), QStringLiteral("next"));
}

void tst_instancefiles::pos_morePointsThanRead_onlyReadPointsWritten()
{
    TreeItemData record;
    for (int i = 0; i <= InstanceFiles::MaxPoints; ++i)
        record.positions.append(QPointF(i, -i));
    const QByteArray bytes = InstanceFiles::PosBytes(record);
    QCOMPARE(bytes.count('\n'), InstanceFiles::MaxPoints);
    TreeItemData back;
    InstanceFiles::ParsePos(&back, QString::fromUtf8(bytes));
    QCOMPARE(back.positions, record.positions.mid(0, InstanceFiles::MaxPoints));
}

void tst_instancefiles::write_unwritablePath_reportsAndKeepsFlags()
{
    Folder f;
    for (const char *name : {"instance_1_3.txt", "instance_1_3.csv", "instance_1_3.pos"})
        QVERIFY(QDir(f.dir.path()).mkdir(QString::fromLatin1(name)));
    TreeItemData record;
    record.TextChanged() = record.GridChanged() = record.PosChanged() = true;
    QVERIFY(!f.files.WriteElementText("1", "3", &record));
    QVERIFY(!f.files.WriteInstanceCsv("1", "3", &record));
    QVERIFY(!f.files.WriteInstancePos("1", "3", &record));
    QVERIFY(record.TextChanged() && record.GridChanged() && record.PosChanged()); // next save retries
    QVERIFY(f.GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File error"));
    QCOMPARE(UiReport::LastText(), QStringLiteral("can not write file:") + f.path("instance_1_3.pos") +
                                       "\nReason: " + qt_error_string(EISDIR));
}

void tst_instancefiles::elementFiles_onlyDecimalNumbersReachPaths()
{
    Folder f;
    QCOMPARE(f.files.ElementPath("0", "12", ".txt"), f.path("instance_0_12.txt"));
    for (const char *id : {"../x", "-1", "1e3", " 5", "", "0x10", "1234567890"})
        QVERIFY2(f.files.ElementPath("0", QString::fromLatin1(id), ".txt").isEmpty(), id);
    QVERIFY(f.files.ElementPath("../0", "1", ".txt").isEmpty());
    TreeItemData record;
    record.TextChanged() = true;
    QVERIFY(!f.files.WriteElementText("0", "../../evil", &record));
    QVERIFY(f.GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    writeFile(f.path("instance_0_3.txt"), "text \xc3\xa9");
    QCOMPARE(f.files.ReadInstanceText("0_3"), QStringLiteral("text \u00e9"));
    QVERIFY(f.files.ReadInstanceText("0_../3").isEmpty());
}

void tst_instancefiles::buildElements_attributesReferencesAndExplanation()
{
    Folder f;
    QDomDocument doc;
    TreeItemData lclass;
    lclass.name = QStringLiteral("0");
    lclass.SetAttr("ID", "1");
    lclass.SetAttr("MID", "7");
    lclass.SetAttr("Custom", "kept");
    lclass.SetAttr("Expression", "why");
    lclass.SetAttr("Reference", "never");
    QDomElement l = f.files.BuildLclassElement(doc, &lclass);
    QCOMPARE(l.tagName(), QStringLiteral("LClass"));
    QCOMPARE(l.attributes().count(), 3);
    QCOMPARE(l.attribute("Custom"), QStringLiteral("kept"));
    QVERIFY(!l.hasAttribute("Expression") && !l.hasAttribute("Reference"));
    QCOMPARE(l.firstChildElement().tagName(), QStringLiteral("REFERENCE"));
    QVERIFY(!l.firstChildElement().hasChildNodes());
    QVERIFY(!QFileInfo::exists(f.path("instance_0_1.txt"))); // explanation unchanged

    TreeItemData sclass;
    sclass.name = QStringLiteral("0");
    sclass.SetAttr("ID", "2");
    sclass.SetAttr("Param_type", "2");
    sclass.SetAttr("Expression", "text");
    sclass.TextChanged() = true;
    sclass.GridChanged() = true;
    sclass.PosChanged() = true;
    sclass.positions = {QPointF(1, 2)};
    sclass.links = QStringList{"a[$$]http://x", "bad", "t[$$]u[$$]v", "[$$]"};
    QDomElement s = f.files.BuildSclassElement(doc, &sclass);
    // Building writes nothing: an element's files follow its document's file.
    QVERIFY(!QFileInfo::exists(f.path("instance_0_2.txt")));
    QVERIFY(f.files.WriteElementFiles(&lclass, false) && f.files.WriteElementFiles(&sclass, true));
    QCOMPARE(s.tagName(), QStringLiteral("SClass"));
    const QDomElement ref = s.firstChildElement("REFERENCE").firstChildElement("REF");
    QCOMPARE(ref.attribute("TITLE"), QStringLiteral("a"));
    QCOMPARE(ref.attribute("URL"), QStringLiteral("http://x"));
    const QDomElement empty = ref.nextSiblingElement();
    QVERIFY(empty.attribute("TITLE").isEmpty() && empty.hasAttribute("URL"));
    QVERIFY(empty.nextSiblingElement().isNull());
    // Member 0's element files carry its number like everybody else's.
    QCOMPARE(readFile(f.path("instance_0_2.txt")), QByteArray("text"));
    QVERIFY(QFileInfo::exists(f.path("instance_0_2.csv")));
    QCOMPARE(readFile(f.path("instance_0_2.pos")), QByteArray("1,2\r\n"));
    QStringList back;
    f.files.ReadReferences(s.firstChildElement("REFERENCE"), &back);
    QCOMPARE(back, (QStringList{"a[$$]http://x", "[$$]"}));

    TreeItemData param;
    param.name = QStringLiteral("0");
    param.SetAttr("ID", "3");
    const QDomElement p = f.files.BuildParamElement(doc, &param);
    QCOMPARE(p.tagName(), QStringLiteral("P"));
    QVERIFY(!p.hasChildNodes());
}

// The loader's layouts of a large class and of a small class's PARAM; the rows then change: small
// class 2 moves behind 3, parameter 5 goes. The parameter the loader refused after it stays.
void tst_instancefiles::buildElements_removedOrMovedRow_unknownNodesGoWithIt()
{
    Folder f;
    QDomDocument read;
    read.setContent(QStringLiteral(
        "<LClass ID='1'><!--head--><REFERENCE/><SClass ID='2'><PARAM><P ID='5'/><X-P5-NOTE/><P ID='x'/>"
        "<P ID='6'/><!--6--></PARAM></SClass><!-- about S2 --><EXT for='S2'/><SClass "
        "ID='3'/><!--3--></LClass>"));
    const auto taken = [](const QDomElement &e) {
        const bool read = QStringList{"REFERENCE", "SClass", "PARAM", "P"}.contains(e.tagName());
        return read && e.attribute("ID") != "x" ? ElementLayout::Slot : ElementLayout::Keep;
    };
    TreeItemData lclass, s2, s3, p6;
    const QDomElement l = read.documentElement();
    ElementLayout::Capture(&lclass.kept, l, taken);
    ElementLayout::Capture(&s2.keptParams, l.firstChildElement("SClass").firstChildElement("PARAM"), taken,
                           true);
    for (auto [record, id] : {std::pair{&lclass, "1"}, {&s2, "2"}, {&s3, "3"}, {&p6, "6"}}) {
        record->name = QStringLiteral("0");
        record->SetAttr("ID", id);
    }
    QDomDocument doc;
    const QDomElement p = f.files.BuildParamElement(doc, &p6);
    const QList<QDomElement> sclasses{f.files.BuildSclassElement(doc, &s3),
                                      f.files.BuildSclassElement(doc, &s2, {p})};
    QCOMPARE(domText(f.files.BuildLclassElement(doc, &lclass, sclasses)),
             QStringLiteral(
                 "<LClass ID=\"1\"><!--head--><REFERENCE></REFERENCE><SClass ID=\"3\"><REFERENCE>"
                 "</REFERENCE><PARAM></PARAM></SClass><!--3--><SClass ID=\"2\"><REFERENCE></REFERENCE>"
                 "<PARAM><P ID=\"x\"></P><P ID=\"6\"></P><!--6--></PARAM></SClass><!-- about S2 --><EXT "
                 "for=\"S2\"></EXT></LClass>"));
}

void tst_instancefiles::clearDocument_keepsRootAndItsAttributes()
{
    Folder f;
    QDomDocument doc;
    doc.setContent(
        QByteArray("<Root_Instance ID=\"3\" MaxID=\"9\" X=\"y\"><LClass><REFERENCE><REF/></REFERENCE>"
                   "<SClass><REFERENCE/><PARAM><P/></PARAM></SClass></LClass><LClass/></Root_Instance>"));
    f.store->AddXmlDocFile(XmlIndex::Instance + 3, doc, f.path("instance_3.xml"));
    QDomElement lclass = f.store->GetXmlDoc(XmlIndex::Instance + 3)->documentElement().firstChildElement();
    QDomElement sclass = lclass.firstChildElement("SClass");
    f.files.ClearInstanceDocument(3);
    const QDomElement root = f.store->GetXmlDoc(XmlIndex::Instance + 3)->documentElement();
    QVERIFY(!root.hasChildNodes());
    QCOMPARE(root.attributes().count(), 3);
    QVERIFY(!sclass.hasChildNodes());
    QVERIFY(!lclass.hasChildNodes());
}

void tst_instancefiles::openMember_missingFileCreated_damagedOrExistingNeverWritten()
{
    Folder f;
    QCOMPARE(f.files.OpenMemberDocument(2), InstanceFiles::Created);
    const QByteArray created = readFile(f.path("instance_2.xml"));
    QVERIFY(created.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QDomDocument doc;
    QVERIFY(doc.setContent(created));
    QCOMPARE(doc.documentElement().tagName(), QStringLiteral("Root_Instance"));
    QCOMPARE(doc.documentElement().attribute("ID"), QStringLiteral("2"));
    QCOMPARE(doc.documentElement().attribute("MaxID"), QStringLiteral("0"));
    QCOMPARE(doc.documentElement().attribute("StartDate"), QDate::currentDate().toString("yyyy/MM/dd"));
    QVERIFY(f.store->GetFileTime(XmlIndex::Instance + 2));
    QCOMPARE(f.store->DocFileName(XmlIndex::Instance), QString());
    QCOMPARE(f.files.DocPath(0), f.path("instance.xml"));

    // Damaged: reported, never replaced, nothing held.
    writeFile(f.path("instance_1.xml"), "<Root_Instance ID=\"1\"><LClass");
    QCOMPARE(f.files.OpenMemberDocument(1), InstanceFiles::Failed);
    QCOMPARE(readFile(f.path("instance_1.xml")), QByteArray("<Root_Instance ID=\"1\"><LClass"));
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("Xml Parse Error"));
    QVERIFY(!f.store->HasDoc(XmlIndex::Instance + 1));

    // A file that appears between the look and the write is never replaced.
    writeFile(f.path("instance_4.xml"), "theirs");
    QVERIFY(!f.files.NewInstanceDocument(4, f.path("instance_4.xml")));
    QCOMPARE(readFile(f.path("instance_4.xml")), QByteArray("theirs"));
    QVERIFY(!f.store->HasDoc(XmlIndex::Instance + 4));
    QVERIFY(!f.GetBoolVar(RegSlot::FlagWriteFailed));

    // A folder that is not there is not an empty folder.
    f.files.SetDir(f.path("gone"));
    QCOMPARE(f.files.OpenMemberDocument(5), InstanceFiles::Failed);
    QVERIFY(!QFileInfo::exists(f.path("gone")));
    QVERIFY(!f.files.OpenDocInstance());

    f.files.SetDir(f.dir.path());
    QVERIFY(f.files.OpenDocInstance());
    QCOMPARE(f.store->GetXmlDoc(XmlIndex::InstanceDoc)->documentElement().tagName(),
             QStringLiteral("Root_InstanceDoc"));
    QVERIFY(QFileInfo::exists(f.path("DocInstance.xml")));
}

// Another kind of file under an instance file's name: its children are no elements of the member.
void tst_instancefiles::openMember_wrongRoot_reportedByNameAndKept()
{
    Folder f;
    const QByteArray bytes(
        "<Root_Question ID=\"1\" MaxID=\"9\"><LClass ID=\"1\" MID=\"1\"/></Root_Question>");
    writeFile(f.path("instance_1.xml"), bytes);
    QCOMPARE(f.files.OpenMemberDocument(1), InstanceFiles::Failed);
    QVERIFY(!f.store->HasDoc(XmlIndex::Instance + 1));
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File left out"));
    QVERIFY2(UiReport::LastText().contains(f.path("instance_1.xml")), qPrintable(UiReport::LastText()));
    QVERIFY(UiReport::LastText().contains(QStringLiteral("\"Root_Question\"")));
    QCOMPARE(f.GetIntVar(RegSlot::IntLastErrorKind), 2);
    // Opening again finds the same: it is never replaced by a new document.
    QCOMPARE(f.files.OpenMemberDocument(1), InstanceFiles::Failed);
    QCOMPARE(readFile(f.path("instance_1.xml")), bytes);
}

void tst_instancefiles::newNumbers_leftoverFiles_takesNumbersNoFileUses_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<qint64>("counter");
    QTest::addColumn<QList<int>>("used"); // by the member's elements
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<qint64>("after");
    const qint64 past = qint64(DecimalId::Ceiling) + 1;
    QTest::newRow("explanation, grid and points")
        << QStringList{"instance_0_7.txt", "instance_0_8.csv", "instance_0_9.pos"} << qint64(7)
        << QList<int>{} << QList<int>{10} << qint64(11);
    QTest::newRow("a leftover among the numbers taken")
        << QStringList{"instance_0_8.txt"} << qint64(7) << QList<int>{} << QList<int>{7, 9, 10} << qint64(11);
    QTest::newRow("other case, leading zero")
        << QStringList{"INSTANCE_0_07.TXT"} << qint64(7) << QList<int>{} << QList<int>{8} << qint64(9);
    QTest::newRow("names of no element of this member")
        << QStringList{"instance_1_7.txt",     ".instance_0_7.txt.x1.pelmorine-tmp",
                       "instance_0_7.txt.bak", "instance_0_+7.txt",
                       "instance_0_ 7.txt",    "instance_0_99999999999999999999.txt"}
        << qint64(7) << QList<int>{} << QList<int>{7} << qint64(8);
    QTest::newRow("none above: the lowest free")
        << QStringList{"instance_0_1.txt"} << past << QList<int>{0, 2} << QList<int>{3, 4} << past;
    QTest::newRow("the last number, then below")
        << QStringList{"instance_0_0.pos"} << qint64(DecimalId::Ceiling) << QList<int>{1}
        << QList<int>{DecimalId::Ceiling, 2} << past;
}

// A failed write of the document leaves the explanation written before it: the next element
// given its number showed an earlier element's explanation.
void tst_instancefiles::newNumbers_leftoverFiles_takesNumbersNoFileUses()
{
    QFETCH(QStringList, files);
    QFETCH(qint64, counter);
    QFETCH(QList<int>, used);
    QFETCH(QList<int>, numbers);
    QFETCH(qint64, after);
    Folder f;
    for (const QString &name : qAsConst(files))
        writeFile(f.path(name), "LEFTOVER");
    QList<int> taken;
    QString why;
    QVERIFY(
        f.files.NewNumbers(0, numbers.size(), QSet<int>(used.cbegin(), used.cend()), &counter, &taken, &why));
    QCOMPARE(taken, numbers);
    QCOMPARE(counter, after);
}

void tst_instancefiles::newNumbers_folderNotListed_refusedWithReasonNothingTaken()
{
    Folder f;
    const QString gone = f.path("gone");
    f.files.SetDir(gone);
    qint64 counter = 7;
    QList<int> taken{42};
    QString why;
    QVERIFY(!f.files.NewNumbers(0, 1, {}, &counter, &taken, &why));
    QCOMPARE(why, QStringLiteral("folder not readable:") + gone);
    QCOMPARE(counter, qint64(7));
    QCOMPARE(taken, QList<int>{42});
    writeFile(gone, "a file where the folder should be");
    QVERIFY(!f.files.NewNumbers(0, 1, {}, &counter, &taken, &why));
}

void tst_instancefiles::newNumbers_noneLeft_refusedNothingTaken_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("used");
    QTest::newRow("every number an element's or a file's") << 1 << QList<int>{1};
    QTest::newRow("fewer free than asked") << 2 << QList<int>{};
}

// Numbers up to 3: files use 0, 2 and 3.
void tst_instancefiles::newNumbers_noneLeft_refusedNothingTaken()
{
    QFETCH(int, count);
    QFETCH(QList<int>, used);
    Folder f;
    for (const char *name : {"instance_0_0.txt", "instance_0_2.csv", "instance_0_3.pos"})
        writeFile(f.path(QLatin1String(name)), "LEFTOVER");
    qint64 counter = 2;
    QList<int> taken{42};
    QString why;
    QVERIFY(!f.files.NewNumbers(0, count, QSet<int>(used.cbegin(), used.cend()), &counter, &taken, &why, 3));
    QCOMPARE(why, QStringLiteral("no ID is left: instance.xml"));
    QCOMPARE(counter, qint64(2));
    QCOMPARE(taken, QList<int>{42});
}

QTEST_GUILESS_MAIN(tst_instancefiles)
#include "tst_instancefiles.moc"

void tst_instancefiles::gridAndPoints_refused_notLoadedThenReadWhole_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QByteArray>("mended");
    QTest::newRow("grid") << ".csv" << QByteArray("a1,b1\r\na2,caf\xC3\xA9\r\n");
    QTest::newRow("points") << ".pos" << QByteArray("1,2\r\n3,4\r\n");
}

// A refused grid or point file was marked loaded with no rows or points: the output wrote empty
// cells, and the diagram's default points stood for the file's. The refusal is the caller's to tell,
// and the file is read whole once it is mended.
void tst_instancefiles::gridAndPoints_refused_notLoadedThenReadWhole()
{
    QFETCH(QString, ext);
    QFETCH(QByteArray, mended);
    Folder f;
    const QString path = f.path("instance_0_7" + ext);
    writeFile(path, QByteArray(mended).replace("caf\xC3\xA9", "caf\xE9").replace("3,4", "3\xE9,4"));
    TreeItemData record;
    const QList<QPointF> placed = {QPointF(-1, -1), QPointF(-1, -1), QPointF(-1, -1)};
    record.positions = placed;
    const bool grid = ext == ".csv";
    const auto read = [&] {
        return grid ? f.files.ReadInstanceCsv(&record, "0", "7") : f.files.ReadInstancePos(&record, "0", "7");
    };
    const QString refusal = read();
    QVERIFY2(refusal.startsWith(path + " holds ") && refusal.contains("UTF-8"), qPrintable(refusal));
    QVERIFY(!record.GridLoaded() && !record.PosLoaded() && !record.HasGrid());
    QCOMPARE(record.positions, placed);

    writeFile(path, mended);
    QVERIFY(read().isEmpty());
    QCOMPARE(grid ? record.GridLoaded() : record.PosLoaded(), true);
    if (grid) {
        QCOMPARE(record.Cell(1, 1), QString::fromUtf8("café"));
    } else {
        QCOMPARE(record.positions, (QList<QPointF>{QPointF(1, 2), QPointF(3, 4)}));
    }
}
