#include "core/sharedxml.h"
#include "core/uireport.h"
#include "historyfile.h"
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

QByteArray entry(int id, const QByteArray &text)
{
    return "<CASE ID=\"" + QByteArray::number(id) + "\" TYPE=\"1\" MID=\"1\" NAME=\"Ann\" " +
           "DATETIME=\"2026/01/01 10:00\"><![CDATA[" + text + "]]></CASE>";
}

DocCdataCase *add(DocCdata &store, const QString &key, const QString &path, const QString &text)
{
    store.LoadIfChanged(key, path);
    store.SetRecordPath(key, path);
    return store.Mode() == DocCdata::QandAKind ? store.AddCaseNow(key, nullptr, 1, "Ann", text)
                                               : store.AddRecordNow(key, nullptr, "Ann", "1", "t", "0", text);
}

// The root's children in order: an entry by its ID and text, anything else by its name.
QString shape(const QDomElement &root)
{
    QStringList parts;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement e = n.toElement();
        if (e.tagName() == QLatin1String("CASE"))
            parts << QStringLiteral("CASE %1 %2").arg(e.attribute("ID"), e.firstChild().nodeValue());
        else
            parts << (n.isComment() ? QStringLiteral("<!--%1-->").arg(n.nodeValue()) : n.nodeName());
    }
    return parts.join(QLatin1Char('|'));
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
    void limit_textAtLimitReadsBackWhole_onePastRefusedNothingWritten_data();
    void limit_textAtLimitReadsBackWhole_onePastRefusedNothingWritten();
    void limit_textPastByteLimit_refused();
    void save_entryChangedPastLimit_fileKeptAndReported();
    void save_viewedOrAlreadyWritten_notWrittenAgain_data();
    void save_viewedOrAlreadyWritten_notWrittenAgain();
    void save_fileChangedSinceRead_changeGoesIntoFreshCopy_data();
    void save_fileChangedSinceRead_changeGoesIntoFreshCopy();
    void save_unknownContent_keptWithItsEntry_data();
    void save_unknownContent_keptWithItsEntry();
    void save_fileNotReadableAgain_failedEveryTimeWrittenOnceMended_data();
    void save_fileNotReadableAgain_failedEveryTimeWrittenOnceMended();
    void save_fileChangedMeanwhile_otherProgramsWorkKept_data();
    void save_fileChangedMeanwhile_otherProgramsWorkKept();

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
    // Mended by its owner: read again, the entry the user added kept after the file's, and
    // written again.
    writeAt(path, history("<CASE ID=\"1\"><![CDATA[kept]]></CASE>"), QDateTime::currentDateTime());
    QCOMPARE(store.LoadIfChanged("k", path)->size(), 2);
    store.AddCaseNow("k", nullptr, 1, "Ann", "newer");
    store.SaveModified();
    const QDomNodeList written = parse(path).documentElement().elementsByTagName("CASE");
    QCOMPARE(written.size(), 3);
    QCOMPARE(written.at(1).toElement().text(), QStringLiteral("new"));
    QCOMPARE(written.at(1).toElement().attribute("ID"), QStringLiteral("2"));
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
    QVERIFY(!store.Record("m")->Modified);
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
    // Nor is the element an entry: it stays as it is.
    QVERIFY(other.LoadIfChanged("k", path)->isEmpty());
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

void tst_doccdata::limit_textAtLimitReadsBackWhole_onePastRefusedNothingWritten_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("past");
    QTest::newRow("question entry added at the limit") << 1 << false << 0;
    QTest::newRow("question entry added one past") << 1 << false << 1;
    QTest::newRow("question text set at the limit") << 1 << true << 0;
    QTest::newRow("question text set one past") << 1 << true << 1;
    QTest::newRow("mail added at the limit") << 2 << false << 0;
    QTest::newRow("mail added one past") << 2 << false << 1;
}

// A history of 1.6 million "]]>" was written and then refused by its reader: every entry gone for
// every member, and the history never written again.
void tst_doccdata::limit_textAtLimitReadsBackWhole_onePastRefusedNothingWritten()
{
    QFETCH(int, kind);
    QFETCH(bool, replace);
    QFETCH(int, past);
    const QString path = m_dir.filePath(QStringLiteral("limit.hst"));
    writeFile(path, HistoryFile::OneEntry(kind, 0));
    // The stored entry and the new one; the rest of the reader's nodes go to the new text.
    const qint64 count = DocCdata::MaxHistoryNodes - HistoryFile::OneEntryNodes(kind, 0) -
                         HistoryFile::EntryNodes(kind, 0) + past;
    const QString text = QStringLiteral("]]>").repeated(int(count));
    {
        DocCdata store;
        store.SetMode(kind);
        store.LoadIfChanged("k", path);
        store.SetRecordPath("k", path);
        bool taken = false;
        int id = 0;
        if (replace)
            id = store.AddCaseNow("k", nullptr, 1, "Ann", QString())->ID;
        // The mail store writes a history it loads for the first time again: the file as this
        // program writes it is what must stay.
        store.SaveModified();
        const QByteArray before = readFile(path);
        if (replace) {
            taken = store.SetCaseText("k", id, text);
        } else if (kind == 1) {
            taken = store.AddCaseNow("k", nullptr, 1, "Ann", text) != nullptr;
        } else {
            taken = store.AddRecordNow("k", nullptr, "Ann", "1", "t", "0", text) != nullptr;
        }
        QCOMPARE(taken, past == 0);
        if (past) {
            QVERIFY2(store.Refusal().contains(path) && store.Refusal().contains("\"]]>\""),
                     qPrintable(store.Refusal()));
            store.SaveModified();
            QCOMPARE(readFile(path), before);
            QVERIFY(!store.LoadIfChanged("k", path)->isEmpty());
            return;
        }
        QVERIFY(store.Refusal().isEmpty());
        store.SaveModified();
    }
    // Exactly at the limit: one node less and the reader refuses it.
    const QByteArray bytes = readFile(path);
    QDomDocument doc;
    SharedXml::Counted counted;
    QVERIFY(!SharedXml::SetContent(doc, bytes, nullptr, nullptr, nullptr, DocCdata::MaxHistoryNodes - 1,
                                   &counted));
    QVERIFY(counted.crowded);
    DocCdata reader;
    reader.SetMode(kind);
    QList<DocCdataCase *> *entries = reader.LoadIfChanged("k", path);
    QCOMPARE(entries->size(), 2);
    QCOMPARE(entries->at(1)->Text.size(), text.size());
    QVERIFY(entries->at(1)->Text == text);
}

void tst_doccdata::limit_textPastByteLimit_refused()
{
    const QString path = m_dir.filePath(QStringLiteral("bytes.hst"));
    DocCdata store;
    store.SetMode(DocCdata::MailKind);
    store.LoadIfChanged("m", path);
    store.SetRecordPath("m", path);
    // Three bytes a character in UTF-8.
    const QString text(int(DocCdata::MaxHistoryBytes / 3) + 1, QChar(0x4E00));
    QVERIFY(!store.AddRecordNow("m", nullptr, "Ann", "1", "t", "0", text));
    QVERIFY2(store.Refusal().contains(path) && store.Refusal().contains("bytes"),
             qPrintable(store.Refusal()));
    QVERIFY(store.AddRecordNow("m", nullptr, "Ann", "1", "t", "0", QStringLiteral("short")));
    QVERIFY(store.Refusal().isEmpty());
}

// Whatever reached an entry past the checks, the writer does not write a history its reader
// refuses: the file keeps what it holds, and the user is told.
void tst_doccdata::save_entryChangedPastLimit_fileKeptAndReported()
{
    const QString path = m_dir.filePath(QStringLiteral("guard.hst"));
    const QByteArray kept = history("<CASE ID=\"1\" TYPE=\"1\" NAME=\"Ann\"><![CDATA[kept]]></CASE>");
    writeFile(path, kept);
    DocCdata store;
    store.LoadIfChanged("k", path);
    store.SetRecordPath("k", path);
    store.AddCaseNow("k", nullptr, 1, "Ann", QString())->Text =
        QStringLiteral("]]>").repeated(int(DocCdata::MaxHistoryNodes));
    store.SaveModified();
    QCOMPARE(readFile(path), kept);
    QVERIFY2(UiReport::LastText().startsWith("history not written") && UiReport::LastText().contains(path),
             qPrintable(UiReport::LastText()));
    QVERIFY(m_registry->GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(store.Record("k")->Modified);
}

void tst_doccdata::save_viewedOrAlreadyWritten_notWrittenAgain_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("question histories") << int(DocCdata::QandAKind);
    QTest::newRow("mail histories") << int(DocCdata::MailKind);
}

// Member 2 showed member 1's mails; member 1 then wrote a second one, and member 2's save of a mail
// of its own wrote member 1's file again from the copy it had shown. A history written once was
// written again at every later save, over whatever another program had added since.
void tst_doccdata::save_viewedOrAlreadyWritten_notWrittenAgain()
{
    QFETCH(int, kind);
    const QString viewed = m_dir.filePath(QStringLiteral("viewed-%1").arg(kind));
    const QString written = m_dir.filePath(QStringLiteral("written-%1").arg(kind));
    const QString own = m_dir.filePath(QStringLiteral("own-%1").arg(kind));
    const QDateTime now = QDateTime::currentDateTime();
    writeAt(viewed, history(entry(1, "theirs") + "<!-- theirs -->"), now.addSecs(-60));
    DocCdata store;
    store.SetMode(kind);
    QCOMPARE(store.LoadIfChanged("viewed", viewed)->size(), 1);
    QVERIFY(add(store, "written", written, "first"));
    store.SaveModified();
    const QByteArray second = history(entry(1, "theirs") + entry(2, "second"), "2");
    writeAt(viewed, second, now.addSecs(-30));
    const QByteArray later = history(entry(1, "first") + entry(2, "other desktop"), "2");
    writeAt(written, later, now.addSecs(60));
    QVERIFY(add(store, "own", own, "mine"));
    store.SaveModified();
    QCOMPARE(readFile(viewed), second);
    QCOMPARE(readFile(written), later);
    QCOMPARE(shape(parse(own).documentElement()), QStringLiteral("CASE 1 mine"));
}

void tst_doccdata::save_fileChangedSinceRead_changeGoesIntoFreshCopy_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("expected");
    const QString kept = QStringLiteral("CASE 1 one|CASE 2 %1|CASE 3 theirs|<!-- after theirs -->");
    QTest::newRow("question entry added")
        << int(DocCdata::QandAKind) << "add" << kept.arg("two") + QStringLiteral("|CASE 4 mine");
    QTest::newRow("mail added") << int(DocCdata::MailKind) << "add" << kept.arg("two") + "|CASE 4 mine";
    QTest::newRow("mail edited") << int(DocCdata::MailKind) << "edit" << kept.arg("edited");
    QTest::newRow("mail deleted") << int(DocCdata::MailKind) << "delete"
                                  << QStringLiteral("CASE 1 one|CASE 3 theirs|<!-- after theirs -->");
}

// The file changed after the store read it: the save reads it again and puts the user's change
// into that copy, numbering a new entry above the file's.
void tst_doccdata::save_fileChangedSinceRead_changeGoesIntoFreshCopy()
{
    QFETCH(int, kind);
    QFETCH(QString, change);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("changed.eml"));
    const QDateTime now = QDateTime::currentDateTime();
    writeAt(path, history(entry(1, "one") + entry(2, "two"), "2"), now.addSecs(-60));
    DocCdata store;
    store.SetMode(kind);
    QList<DocCdataCase *> *entries = store.LoadIfChanged("k", path);
    DocCdataCase *mine = nullptr;
    DocCdataCase *second = entries->at(1);
    if (change == QLatin1String("add")) {
        mine = add(store, "k", path, "mine");
        QCOMPARE(mine->ID, 3);
    } else {
        second->Text = QStringLiteral("edited");
        second->Deleted = change == QLatin1String("delete");
        store.SetChanged("k", second);
    }
    writeAt(path,
            history(entry(1, "one") + entry(2, "two") + entry(3, "theirs") + "<!-- after theirs -->", "3"),
            now.addSecs(-30));
    store.SaveModified();
    QCOMPARE(shape(parse(path).documentElement()), expected);
    if (mine) {
        QCOMPARE(mine->ID, 4);
        QCOMPARE(parse(path).documentElement().attribute("MaxID"), QStringLiteral("4"));
    }
    // Written from the fresh copy: saving again writes nothing more.
    const QByteArray saved = readFile(path);
    store.SaveModified();
    QCOMPARE(readFile(path), saved);
}

void tst_doccdata::save_unknownContent_keptWithItsEntry_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("removeFirst");
    QTest::newRow("question history") << int(DocCdata::QandAKind) << false;
    QTest::newRow("mail history") << int(DocCdata::MailKind) << false;
    QTest::newRow("mail removed by the user") << int(DocCdata::MailKind) << true;
}

// A history holding an element that is no entry, attributes and children the store does not read
// and comments: the element became an empty entry, the rest was dropped.
void tst_doccdata::save_unknownContent_keptWithItsEntry()
{
    QFETCH(int, kind);
    QFETCH(bool, removeFirst);
    const QString path = m_dir.filePath(QStringLiteral("unknown.hst"));
    writeFile(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- before root -->\n"
                    "<Root_Instance MaxID=\"1\" k=\"root\"><!-- lead -->"
                    "<CASE ID=\"1\" TYPE=\"1\" MID=\"1\" NAME=\"Ann\" DATETIME=\"2026/01/01 10:00\" x=\"y\">"
                    "<![CDATA[one]]><Child a=\"b\">c</Child></CASE>"
                    "<NOTE k=\"v\">not an entry</NOTE><!-- after one --></Root_Instance>\n");
    DocCdata store;
    store.SetMode(kind);
    QList<DocCdataCase *> *entries = store.LoadIfChanged("k", path);
    QCOMPARE(entries->size(), 1);
    if (removeFirst) {
        entries->first()->Deleted = true;
        store.SetChanged("k", entries->first());
    }
    QVERIFY(add(store, "k", path, "two"));
    store.SaveModified();
    const QDomDocument doc = parse(path);
    const QDomElement root = doc.documentElement();
    QCOMPARE(root.attribute("k"), QStringLiteral("root"));
    QVERIFY(doc.firstChild().isProcessingInstruction());
    QCOMPARE(doc.firstChild().nextSibling().nodeValue(), QStringLiteral(" before root "));
    if (removeFirst) {
        QCOMPARE(shape(root), QStringLiteral("<!-- lead -->|CASE 2 two"));
        return;
    }
    QCOMPARE(shape(root), QStringLiteral("<!-- lead -->|CASE 1 one|NOTE|<!-- after one -->|CASE 2 two"));
    const QDomElement first = root.firstChildElement("CASE");
    QCOMPARE(first.attribute("x"), QStringLiteral("y"));
    // The other kind's attribute is no attribute of this kind's entries: kept as it was.
    QCOMPARE(first.attribute(kind == DocCdata::QandAKind ? "MID" : "TYPE"), QStringLiteral("1"));
    QCOMPARE(first.firstChildElement("Child").attribute("a"), QStringLiteral("b"));
    QCOMPARE(first.firstChildElement("Child").text(), QStringLiteral("c"));
    const QDomElement note = root.firstChildElement("NOTE");
    QCOMPARE(note.attribute("k"), QStringLiteral("v"));
    QCOMPARE(note.text(), QStringLiteral("not an entry"));
    QVERIFY(!note.hasAttribute("ID"));
    // Read back, the kept parts are neither entries nor text, and stay where they are.
    DocCdata reader;
    reader.SetMode(kind);
    entries = reader.LoadIfChanged("k", path);
    QCOMPARE(entries->size(), 2);
    QCOMPARE(entries->first()->Text, QStringLiteral("one"));
    QVERIFY(reader.AddCaseNow("k", nullptr, 1, "Ann", "three"));
    reader.SetRecordPath("k", path);
    reader.SaveModified();
    QCOMPARE(shape(parse(path).documentElement()),
             QStringLiteral("<!-- lead -->|CASE 1 one|NOTE|<!-- after one -->|CASE 2 two|CASE 3 three"));
}

void tst_doccdata::save_fileNotReadableAgain_failedEveryTimeWrittenOnceMended_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("broken");
    const QByteArray half = history(entry(1, "one") + entry(2, "theirs"), "2").left(150);
    const QByteArray other = "<Root_Chat MaxID=\"2\"><CASE ID=\"1\"><![CDATA[theirs]]></CASE></Root_Chat>\n";
    const QByteArray name = history(entry(1, "one") + "<CASE ID:=\"+6\"/>", "2");
    QTest::newRow("question history half-written") << int(DocCdata::QandAKind) << half;
    QTest::newRow("mail history half-written") << int(DocCdata::MailKind) << half;
    QTest::newRow("question history of another root") << int(DocCdata::QandAKind) << other;
    // <CASE ID:="+6"/> was read and written back as <CASE ="+6"/>, which no longer reads.
    QTest::newRow("a name the DOM cannot write back") << int(DocCdata::MailKind) << name;
}

// Another program left the history unreadable between the read and the save: the save wrote
// nothing, rightly, but did not count as failed, so Save went off and the entry was lost at exit.
void tst_doccdata::save_fileNotReadableAgain_failedEveryTimeWrittenOnceMended()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, broken);
    const QString path = m_dir.filePath(QStringLiteral("again.hst"));
    const QDateTime now = QDateTime::currentDateTime();
    writeAt(path, history(entry(1, "one")), now.addSecs(-60));
    DocCdata store;
    store.SetMode(kind);
    QVERIFY(add(store, "k", path, "mine"));
    writeAt(path, broken, now.addSecs(-30));
    for (int save = 0; save < 2; ++save) {
        UiReport::ClearLast();
        m_registry->SetBoolVar(RegSlot::FlagWriteFailed, false);
        QVERIFY(!store.SaveModified());
        QVERIFY2(m_registry->GetBoolVar(RegSlot::FlagWriteFailed), qPrintable(QString::number(save)));
        QCOMPARE(readFile(path), broken);
        QVERIFY(store.Record("k")->Modified);
        // Said once; the next save fails without a word.
        if (save == 0)
            QVERIFY2(UiReport::LastText().contains("history not written, its file could not be read") &&
                         UiReport::LastText().contains(path),
                     qPrintable(UiReport::LastText()));
        else
            QCOMPARE(UiReport::LastText(), QString());
    }
    // Mended (with an entry of another program's meanwhile): the user's entry is written after it.
    writeAt(path, history(entry(1, "one") + entry(2, "theirs"), "2"), now.addSecs(-30));
    m_registry->SetBoolVar(RegSlot::FlagWriteFailed, false);
    QVERIFY(store.SaveModified());
    QVERIFY(!m_registry->GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(shape(parse(path).documentElement()), QStringLiteral("CASE 1 one|CASE 2 theirs|CASE 3 mine"));
    QVERIFY(!store.Record("k")->Modified);
}

void tst_doccdata::save_fileChangedMeanwhile_otherProgramsWorkKept_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QByteArray>("theirs");
    QTest::addColumn<bool>("sameTime");
    QTest::addColumn<QString>("expected");
    const QByteArray two = entry(2, "two");
    QTest::newRow("same time, another size")
        << int(DocCdata::MailKind) << false << history(entry(1, "bbbbbb") + two, "2") << true
        << "CASE 1 bbbbbb|CASE 2 two|CASE 3 mine";
    QTest::newRow("same size, same second")
        << int(DocCdata::MailKind) << false << history(entry(1, "bbbb") + two, "2") << true
        << "CASE 1 bbbb|CASE 2 two|CASE 3 mine";
    QTest::newRow("two entries added") << int(DocCdata::QandAKind) << false
                                       << history(entry(1, "aaaa") + two + entry(3, "x") + entry(4, "y"), "4")
                                       << false << "CASE 1 aaaa|CASE 2 two|CASE 3 x|CASE 4 y|CASE 5 mine";
    QTest::newRow("an entry the user left alone edited")
        << int(DocCdata::MailKind) << true << history(entry(1, "bbbb") + two, "2") << false
        << "CASE 1 bbbb|CASE 2 edited";
}

// Another desktop of the member wrote the history after the store read it. Judged by time and size,
// an edit of the same size in the same second (a share's times have whole seconds) was written
// over from the stale copy.
void tst_doccdata::save_fileChangedMeanwhile_otherProgramsWorkKept()
{
    QFETCH(int, kind);
    QFETCH(bool, edit);
    QFETCH(QByteArray, theirs);
    QFETCH(bool, sameTime);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("meanwhile.eml"));
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-60);
    writeAt(path, history(entry(1, "aaaa") + entry(2, "two"), "2"), stamp);
    DocCdata store;
    store.SetMode(kind);
    QList<DocCdataCase *> *entries = store.LoadIfChanged("k", path);
    QCOMPARE(entries->size(), 2);
    if (edit) {
        entries->at(1)->Text = QStringLiteral("edited");
        store.SetChanged("k", entries->at(1));
    } else {
        QCOMPARE(add(store, "k", path, "mine")->ID, 3);
    }
    writeAt(path, theirs, sameTime ? stamp : stamp.addSecs(30));
    m_registry->SetBoolVar(RegSlot::FlagWriteFailed, false);
    QVERIFY(store.SaveModified());
    QCOMPARE(shape(parse(path).documentElement()), expected);
    QVERIFY(!m_registry->GetBoolVar(RegSlot::FlagWriteFailed));
}

QTEST_GUILESS_MAIN(tst_doccdata)
#include "tst_doccdata.moc"
