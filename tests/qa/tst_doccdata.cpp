#include "core/uireport.h"
#include "qa/doccdata.h"
#include "testsupport.h"

#include <QDomDocument>
#include <QTemporaryDir>

using namespace TestSupport;

namespace
{
QDomDocument parse(const QString &path)
{
    QDomDocument doc;
    doc.setContent(readFile(path));
    return doc;
}

QByteArray history(const QByteArray &cases, const QByteArray &maxId = "1")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root_Instance MaxID=\"" + maxId + "\">" + cases +
           "</Root_Instance>\n";
}
} // namespace

class tst_doccdata : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void load_untouchedFile_notReadAgain();
    void ids_continueFromLargestInFile_data();
    void ids_continueFromLargestInFile();
    void text_roundTrip_unchanged_data();
    void text_roundTrip_unchanged();
    void read_missingAttributes_defaults();
    void save_damagedFile_neverWritten();
    void load_wrongRoot_reportedOnceAndNeverWritten_data();
    void load_wrongRoot_reportedOnceAndNeverWritten();
    void save_recordWithoutEntries_notWritten();
    void save_pathIsFolder_reportedAndKeptModified();
    void text_forbiddenCharacters_replacedFileReadsBackWhole();
    void ids_beyondCeiling_creationRefused();
    void hook_onlyForWrittenRecords();

private:
    RegistryScope *m_registry = nullptr;
    QTemporaryDir m_dir;
};

void tst_doccdata::init()
{
    delete m_registry;
    m_registry = new RegistryScope;
    m_registry->SetStrVar(RegSlot::StrAttrMaxID, QStringLiteral("MaxID"));
    UiReport::ClearLast();
}

void tst_doccdata::load_untouchedFile_notReadAgain()
{
    const QString path = m_dir.filePath(QStringLiteral("untouched.hst"));
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-60);
    writeAt(path, history("<CASE ID=\"1\" TYPE=\"1\" NAME=\"Ann\"><![CDATA[first]]></CASE>"), stamp);
    DocCdata store;
    QCOMPARE(store.LoadIfChanged("Q1-1", path)->size(), 1);
    // Rewritten behind the store's back with the same time: not read again.
    writeAt(path, history("<CASE ID=\"1\"/><CASE ID=\"2\"/>"), stamp);
    QList<DocCdataCase *> *again = store.LoadIfChanged("Q1-1", path);
    QCOMPARE(again->size(), 1);
    QCOMPARE(again->first()->Text, QStringLiteral("first"));
    writeAt(path, history("<CASE ID=\"1\"/><CASE ID=\"2\"/>"), stamp.addSecs(5));
    QCOMPARE(store.LoadIfChanged("Q1-1", path)->size(), 2);
}

void tst_doccdata::ids_continueFromLargestInFile_data()
{
    QTest::addColumn<QByteArray>("maxId");
    QTest::addColumn<QByteArray>("cases");
    QTest::addColumn<int>("next");
    QTest::newRow("root lower") << QByteArray("1") << QByteArray("<CASE ID=\"4\"/><CASE ID=\"2\"/>") << 5;
    QTest::newRow("root higher") << QByteArray("9") << QByteArray("<CASE ID=\"3\"/>") << 4;
    QTest::newRow("no entries") << QByteArray("7") << QByteArray() << 1;
    QTest::newRow("id not a number") << QByteArray("2") << QByteArray("<CASE ID=\"x\"/>") << 1;
}

void tst_doccdata::ids_continueFromLargestInFile()
{
    QFETCH(QByteArray, maxId);
    QFETCH(QByteArray, cases);
    QFETCH(int, next);
    const QString path = m_dir.filePath(QStringLiteral("ids.hst"));
    writeFile(path, history(cases, maxId));
    DocCdata store;
    store.LoadIfChanged("k", path);
    QCOMPARE(store.GetNextID("k"), next);
    QCOMPARE(store.AddCaseNow("k", nullptr, 1, "Ann", QString())->ID, next);
    QCOMPARE(store.GetNextID("unknown"), -1);
}

void tst_doccdata::text_roundTrip_unchanged_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("markup") << 1 << QStringLiteral("a < b && c > d");
    QTest::newRow("cdata end") << 1 << QStringLiteral("x]]>y]]>]]>z");
    QTest::newRow("lines") << 1 << QStringLiteral("one\ntwo\n\n  three\n");
    QTest::newRow("empty") << 1 << QString();
    QTest::newRow("mail") << 2 << QStringLiteral("<b>]]>\nä");
}

// Written, parsed and read back by a fresh store: text, type and minute-precise time survive.
void tst_doccdata::text_roundTrip_unchanged()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    const QString path = m_dir.filePath(QStringLiteral("trip.hst"));
    QFile::remove(path);
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 59));
    {
        DocCdata store;
        store.SetMode(kind);
        store.LoadIfChanged("k", path);
        store.SetRecordPath("k", path);
        if (kind == 1)
            store.AddCase("k", nullptr, 2, "Ann", when, text);
        else
            store.AddRecord("k", nullptr, "Ann", when, "1,2", "subject", "1", text);
        store.SaveModified();
    }
    const QDomElement c = parse(path).documentElement().firstChildElement(QStringLiteral("CASE"));
    QCOMPARE(c.attribute("DATETIME"), QStringLiteral("2026/03/04 05:06"));
    QCOMPARE(c.hasAttribute("TYPE"), kind == 1);
    QCOMPARE(c.hasAttribute("IS_SEND"), kind == 2);
    DocCdata reader;
    reader.SetMode(kind);
    QList<DocCdataCase *> *entries = reader.LoadIfChanged("k", path);
    QCOMPARE(entries->size(), 1);
    QCOMPARE(entries->first()->Text, text);
    QVERIFY(entries->first()->Stored);
    QCOMPARE(entries->first()->DateTime, QDateTime(QDate(2026, 3, 4), QTime(5, 6)));
    if (kind == 1)
        QCOMPARE(entries->first()->TYPE, 2);
    else
        QVERIFY(entries->first()->IsSend && entries->first()->MID == QLatin1String("1,2"));
}

void tst_doccdata::read_missingAttributes_defaults()
{
    const QString path = m_dir.filePath(QStringLiteral("bare.hst"));
    writeFile(path, history("<CASE ID=\"1\">plain text is not read</CASE>"));
    DocCdata store;
    store.SetMode(DocCdata::MailKind);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const DocCdataCase *entry = store.LoadIfChanged("k", path)->first();
    QCOMPARE(entry->NAME, QStringLiteral("0"));
    QCOMPARE(entry->MID, QStringLiteral("-1"));
    QVERIFY(entry->DateTime >= before);
    QVERIFY(entry->Text.isEmpty());
}

// A history another program can still read whole is never replaced by this one's few entries.
void tst_doccdata::save_damagedFile_neverWritten()
{
    const QString path = m_dir.filePath(QStringLiteral("damaged.hst"));
    const QByteArray damaged = history("<CASE ID=\"1\"><![CDATA[kept]]></CASE>").left(60);
    writeAt(path, damaged, QDateTime::currentDateTime().addSecs(-60));
    DocCdata store;
    QVERIFY(store.LoadIfChanged("k", path)->isEmpty());
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("Xml Parse Error"));
    store.SetRecordPath("k", path);
    store.AddCaseNow("k", nullptr, 1, "Ann", "new");
    store.SaveModified();
    QCOMPARE(readFile(path), damaged);
    QVERIFY(UiReport::LastText().contains(path));
    QVERIFY(!store.Record("k")->Document.documentElement().hasChildNodes());
    // Mended by its owner: read again and written again.
    writeAt(path, history("<CASE ID=\"1\"><![CDATA[kept]]></CASE>"), QDateTime::currentDateTime());
    QCOMPARE(store.LoadIfChanged("k", path)->size(), 1);
    store.AddCaseNow("k", nullptr, 1, "Ann", "new");
    store.SaveModified();
    QCOMPARE(parse(path).documentElement().elementsByTagName("CASE").size(), 2);
}

void tst_doccdata::load_wrongRoot_reportedOnceAndNeverWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("mail");
    QTest::newRow("question history") << QStringLiteral("question_1_1.hst") << false;
    QTest::newRow("mail history") << QStringLiteral("mail_1_.eml") << true;
}

// Another kind of file under a history's name is left out with a word, and never replaced.
void tst_doccdata::load_wrongRoot_reportedOnceAndNeverWritten()
{
    QFETCH(QString, name);
    QFETCH(bool, mail);
    const QString path = m_dir.filePath(name);
    const QByteArray other = "<Root_Chat MaxID=\"3\"><CASE ID=\"1\"><![CDATA[theirs]]></CASE></Root_Chat>";
    writeAt(path, other, QDateTime::currentDateTime().addSecs(-60));
    DocCdata store;
    if (mail)
        store.SetMode(DocCdata::MailKind);
    QVERIFY(store.LoadIfChanged("k", path)->isEmpty());
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("File left out"));
    QVERIFY2(UiReport::LastText().startsWith(path) && UiReport::LastText().contains("\"Root_Chat\""),
             qPrintable(UiReport::LastText()));
    UiReport::ClearLast();
    QVERIFY(store.LoadIfChanged("k", path)->isEmpty());
    QCOMPARE(UiReport::LastText(), QString());
    store.SetRecordPath("k", path);
    if (mail)
        store.AddRecordNow("k", nullptr, "Ann", "1", "t", "0", "new");
    else
        store.AddCaseNow("k", nullptr, 1, "Ann", "new");
    store.SaveModified();
    QCOMPARE(readFile(path), other);
}

void tst_doccdata::save_recordWithoutEntries_notWritten()
{
    const QString path = m_dir.filePath(QStringLiteral("mail.eml"));
    DocCdata store;
    store.SetMode(DocCdata::MailKind);
    store.LoadIfChanged("m", path);
    store.SetRecordPath("m", path);
    QVERIFY(store.Record("m")->Modified);
    store.SaveModified();
    QVERIFY(!QFile::exists(path));
    store.AddRecordNow("m", nullptr, "Ann", "1", "t", "0", "x")->Deleted = true;
    store.SaveModified();
    const QDomElement root = parse(path).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("1"));
    QVERIFY(root.firstChildElement().isNull());
}

void tst_doccdata::save_pathIsFolder_reportedAndKeptModified()
{
    const QString path = m_dir.filePath(QStringLiteral("folder.hst"));
    DocCdata store;
    store.LoadIfChanged("k", path);
    store.SetRecordPath("k", path);
    QVERIFY(QDir().mkpath(path));
    store.AddCaseNow("k", nullptr, 1, "Ann", "x");
    store.SaveModified();
    QCOMPARE(UiReport::LastText(),
             QStringLiteral("can not write file:%1").arg(path) + "\nReason: " + qt_error_string(EISDIR));
    QVERIFY(m_registry->GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(store.Record("k")->Modified);
    QVERIFY(QFileInfo(path).isDir());
}

// U+0001 in one entry used to write a history no parser reads: 0 entries for every member, and
// the rule against writing over an unreadable file then kept it broken.
void tst_doccdata::text_forbiddenCharacters_replacedFileReadsBackWhole()
{
    const QString path = m_dir.filePath(QStringLiteral("forbidden.hst"));
    const QString mailPath = m_dir.filePath(QStringLiteral("forbidden.eml"));
    {
        DocCdata store;
        store.LoadIfChanged("k", path);
        store.SetRecordPath("k", path);
        store.AddCaseNow("k", nullptr, 1, "Ann\u0002", "a\u0001b]]>c");
        store.AddCaseNow("k", nullptr, 1, "Ann", "later");
        store.SaveModified();
        DocCdata mail;
        mail.SetMode(DocCdata::MailKind);
        mail.LoadIfChanged("m", mailPath);
        mail.SetRecordPath("m", mailPath);
        mail.AddRecordNow("m", nullptr, "Ann", "1", "title\u001B", "0", "\uFFFF]]>");
        mail.SaveModified();
    }
    DocCdata reader;
    QList<DocCdataCase *> *entries = reader.LoadIfChanged("k", path);
    QCOMPARE(entries->size(), 2);
    QCOMPARE(entries->at(0)->Text, QStringLiteral("a\uFFFDb]]>c"));
    QCOMPARE(entries->at(0)->NAME, QStringLiteral("Ann\uFFFD"));
    QCOMPARE(entries->at(1)->Text, QStringLiteral("later"));
    DocCdata mailReader;
    mailReader.SetMode(DocCdata::MailKind);
    entries = mailReader.LoadIfChanged("m", mailPath);
    QCOMPARE(entries->size(), 1);
    QCOMPARE(entries->at(0)->TITLE, QStringLiteral("title\uFFFD"));
    QCOMPARE(entries->at(0)->Text, QStringLiteral("\uFFFD]]>"));
}

void tst_doccdata::ids_beyondCeiling_creationRefused()
{
    const QString path = m_dir.filePath(QStringLiteral("full.hst"));
    const QByteArray full = history("<CASE ID=\"999999999\"><![CDATA[last]]></CASE>");
    writeFile(path, full);
    DocCdata store;
    store.LoadIfChanged("k", path);
    QCOMPARE(store.GetNextID("k"), -1);
    QVERIFY(!store.AddCaseNow("k", nullptr, 1, "Ann", "refused"));
    QVERIFY(UiReport::LastText().contains(path));
    store.SaveModified();
    QCOMPARE(parse(path).documentElement().elementsByTagName("CASE").size(), 1);
    // A run of digits beyond nine is no ID, and leaves no number above it either.
    writeAt(path, history("<CASE ID=\"12345678901\"/>"), QDateTime::currentDateTime().addSecs(5));
    DocCdata other;
    other.LoadIfChanged("k", path);
    QCOMPARE(other.GetNextID("k"), -1);
    QCOMPARE(other.LoadIfChanged("k", path)->first()->ID, 0);
}

// A notification announces an entry: only one whose file was written may be announced.
void tst_doccdata::hook_onlyForWrittenRecords()
{
    m_registry->SetStrVar(RegSlot::StrMailIsSend, QStringLiteral("1"));
    const QString good = m_dir.filePath(QStringLiteral("hooked.hst"));
    const QString folder = m_dir.filePath(QStringLiteral("hooked-folder.hst"));
    const QString damaged = m_dir.filePath(QStringLiteral("hooked-damaged.hst"));
    QVERIFY(QDir().mkpath(folder));
    writeAt(damaged, "<Root_Instance", QDateTime::currentDateTime().addSecs(-60));
    DocCdata store;
    QStringList hooked;
    store.SetSaveHook([&hooked](DocCdataRecord *record) { hooked << record->Path; });
    for (const QString &path : {good, folder, damaged}) {
        store.LoadIfChanged(path, path);
        store.SetRecordPath(path, path);
        store.AddCaseNow(path, nullptr, 1, "Ann", "x");
    }
    store.SaveModified();
    QCOMPARE(hooked, QStringList{good});
}

QTEST_GUILESS_MAIN(tst_doccdata)
#include "tst_doccdata.moc"
