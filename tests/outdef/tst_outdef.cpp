#include "model/calendar.h"
#include "outdef/outfile.h"
#include "outdef/outseq.h"
#include "outdefprogram.h"
#include "shell/errormsg.h"
#include "shell/numeditor.h"
#include "shell/tab.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
const QByteArray kHostile =
    "<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='2026/01/02' CompletionDate=''>"
    "<SEQUENCE MaxID='4'>"
    "<SEQ ID='1' TITLE='one' LOOP='1' LOOP_PR='x'><SEQ ID='3'/><MODEL ID='99'/><MODEL ID='1'/><SEQ "
    "ID='2'/></SEQ>"
    "<SEQ ID='2' TITLE='two'><SEQ ID='1'/></SEQ><SEQ ID='3' TITLE='three'/><SEQ ID='3' TITLE='dup'/>"
    "<SEQ ID='4' TITLE='temp'><SEQ ID='5'/></SEQ><SEQ ID='5' TITLE='inner'/></SEQUENCE>"
    "<FILES><FILE ID='1' TITLE='f'><MODEL ID='1'/><SEQ ID='1'/></FILE><FILE ID='x'/></FILES>"
    "<TEMPSEQ><SEQ ID='4'/><SEQ ID='2'/></TEMPSEQ></Root_Output>";

const QByteArray kTwoTemplates =
    "<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='2026/01/02' CompletionDate=''>"
    "<SEQUENCE MaxID='3'><SEQ ID='2' TITLE='two'/></SEQUENCE>"
    "<FILES MaxID='2'><FILE ID='1' TITLE='f'><SEQ ID='2'/></FILE></FILES></Root_Output>";

// Answers the next message box with OK and keeps its title and informative text.
void answerBox(QString *title, QString *informative)
{
    QTimer::singleShot(0, [title, informative] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return answerBox(title, informative);
        *title = box->windowTitle();
        *informative = box->informativeText();
        box->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    });
}

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}
} // namespace

class tst_outdef : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void create_writesRootOnlyFileAndRefusesAnExistingOne();
    void open_missingFile_madeElsewhereBeforeTheSave_keptAndEditStays();
    void open_hostileFile_titleEditSavesTheListedLayout();
    void save_onlyTheChangedTemplateIsWritten();
    void save_unwritableTemplate_reportsKeepsMarkAndRetries();
    void template_pastWhatAnEditorShows_refusedByNameNeverSavedOver();
    void template_refusedThenMended_shownAgainEditableAndSaved();
    void open_unreadableOrForeignFile_readOnlyAndNeverWritten_data();
    void open_unreadableOrForeignFile_readOnlyAndNeverWritten();
    void open_ownerRule_data();
    void open_ownerRule();
    void menuStates_followTheEntryShown();
    void entryEditors_loopChoicesExtensionAndTemporaryTitle();
    void startDate_fromTheCalendarIsSaved();
    void splitterSizes_data();
    void splitterSizes();
    void close_forgetsRecordsAndShownSequence();
    void createOrOpen_anyDocKind_showsOutputTab_data();
    void createOrOpen_anyDocKind_showsOutputTab();
    void bindButtons_shownOrHidden_keepTheirPlaces();
    void sequencePage_fullScreen_buttonsShownLoopRowSteady();
    void notOwner_dateButtonsOffAndSaveRefused();
    void temporarySequence_templateEditedWhileShown_saved();
    void open_nestingDeeperThanTheGenerator_cutWithMessage();
    void save_refusedElements_stayOutOfTheTreeAndAreWrittenBack();
    void save_hostileMaxId_notWrittenUneditedAndCorrectionSaid();
};

void tst_outdef::create_writesRootOnlyFileAndRefusesAnExistingOne()
{
    OutProgram p;
    QDir().mkpath(p.dir());
    p.deliver(MsgCode::NewOutput);
    const QDomElement root = p.saved();
    QCOMPARE(root.tagName(), QStringLiteral("Root_Output"));
    const QStringList expected = {"Name",  "O",    "Version",   "1.0",   "User",           "me",
                                  "Email", "me@x", "StartDate", today(), "CompletionDate", ""};
    for (int i = 0; i < expected.size(); i += 2)
        QCOMPARE(root.attribute(expected.at(i), QStringLiteral("<none>")), expected.at(i + 1));
    QVERIFY(root.firstChildElement().isNull());
    QVERIFY(p.page()->IsNewOutput());
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 3);
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputOwned));
    QCOMPARE(p.page()->OutStates()[outdef::EntryCreateFile], true);
    QCOMPARE(std::count(p.page()->OutStates(), p.page()->OutStates() + outdef::EntryCount, true), 1L);

    // Another member made the version meanwhile: theirs stays as it is.
    p.window->CloseWorkspace();
    writeFile(p.outXml(), "<Root_Output Name='O' User='bob' Email='bob@x'/>");
    QString title;
    answerNextBox(QStringLiteral("OK"), &title);
    p.deliver(MsgCode::NewOutput);
    QCOMPARE(title, QStringLiteral("New Output"));
    QCOMPARE(readFile(p.outXml()), QByteArray("<Root_Output Name='O' User='bob' Email='bob@x'/>"));
}

// A version opened without out.xml starts a definition that the save makes only while the file is
// still absent: one another member saved meanwhile is theirs, and the edit made here stays unsaved.
void tst_outdef::open_missingFile_madeElsewhereBeforeTheSave_keptAndEditStays()
{
    OutProgram p;
    QDir().mkpath(p.dir());
    p.deliver(MsgCode::OpenOutput);
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputOwned));
    p.page()->findChild<QPushButton *>("SDATEBTN")->click();
    auto *calendar = p.page()->findChild<Calendar *>();
    calendar->SelectDate(QDate(2026, 1, 5));
    calendar->OkProc();
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    const QByteArray theirs = "<Root_Output Name='O' Version='1.0' User='bob' Email='bob@x'/>";
    writeFile(p.outXml(), theirs);
    QString title;
    answerNextBox(QStringLiteral("keepEditing"), &title);
    p.save();
    QCOMPARE(title, QStringLiteral("Changed by another program"));
    QCOMPARE(readFile(p.outXml()), theirs);
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QCOMPARE(p.page()->findChild<QLineEdit *>("SDATE")->text(), QStringLiteral("2026/01/05"));
}

void tst_outdef::open_hostileFile_titleEditSavesTheListedLayout()
{
    OutProgram p;
    p.open(kHostile);
    QCOMPARE(p.files()->currentItem(), p.files()->topLevelItem(0));
    // The cycle back to $Seq[1] is ignored, and $Seq[2] stands where it was placed first.
    QVERIFY(p.find(p.files(), "      $Seq[2]") == nullptr);
    QCOMPARE(p.find(p.files(), "$Seq[2]")->parent(), p.find(p.files(), "$Seq[1]"));
    QCOMPARE(p.temps()->topLevelItemCount(), 1);
    QCOMPARE(p.find(p.temps(), "$Seq[5]")->text(0), QStringLiteral("   $Seq[5]"));
    p.page()->GetOutFile()->GetTitleEdit()->setText(QStringLiteral("F2"));
    QCOMPARE(p.files()->topLevelItem(0)->text(2), QStringLiteral("F2"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    p.save();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));

    const QDomElement root = p.saved();
    QStringList tags;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        tags << e.tagName();
    QCOMPARE(tags, (QStringList{"SEQUENCE", "FILES", "TEMPSEQ"}));
    QCOMPARE(root.firstChildElement("SEQUENCE").attribute("MaxID"), QStringLiteral("6"));
    QCOMPARE(root.firstChildElement("FILES").attribute("MaxID"), QStringLiteral("2"));
    const QHash<QString, QDomElement> seqs = seqElements(root);
    QCOMPARE(seqs.keys().size(), 5);
    for (const QDomElement &seq : seqs) {
        for (const char *name : {"ID", "TITLE", "LOOP", "P_LOOP", "LOOP_TYPE", "LOOP_END_TYPE"})
            QVERIFY2(seq.hasAttribute(QLatin1String(name)), name);
    }
    // An attribute this program does not know stays on its element, and on that one only.
    QCOMPARE(seqs.value("1").attribute("LOOP_PR"), QStringLiteral("x"));
    QCOMPARE(seqs.value("1").attributes().count(), 7);
    // The references keep the order read; the MODEL the model does not have goes.
    QCOMPARE(childRefs(seqs.value("1")), QStringLiteral("SEQ:3 MODEL:1 SEQ:2"));
    // The reference that closes the cycle is not placed, but it stays in the file as it stood.
    QCOMPARE(childRefs(seqs.value("2")), QStringLiteral("SEQ:1"));
    QCOMPARE(seqs.value("3").attribute("TITLE"), QStringLiteral("three"));
    const QDomElement file = root.firstChildElement("FILES").firstChildElement();
    QCOMPARE(file.attribute("TITLE"), QStringLiteral("F2"));
    for (const char *name : {"FILE_TYPE", "FileName", "EXP"})
        QCOMPARE(file.attribute(QLatin1String(name), "<none>"), QString());
    QCOMPARE(childRefs(file), QStringLiteral("MODEL:1 SEQ:1"));
    QCOMPARE(childRefs(root.firstChildElement("TEMPSEQ")), QStringLiteral("SEQ:4 SEQ:2"));
    QCOMPARE(root.attribute("StartDate"), QStringLiteral("2026/01/02"));
}

void tst_outdef::save_onlyTheChangedTemplateIsWritten()
{
    OutProgram p;
    const QDateTime old = QDateTime::currentDateTime().addDays(-2);
    QDir().mkpath(p.dir());
    writeAt(p.dir() + "/File_1.txt", "file text", old);
    writeAt(p.dir() + "/Seq_2.txt", "old", old);
    p.open(kTwoTemplates);
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    NumEditor *editor = p.page()->GetTemplateEditor();
    QCOMPARE(editor->toPlainText(), QStringLiteral("old"));
    editor->selectAll();
    editor->insertPlainText(QStringLiteral("行 $Var[1]\n二行目"));
    p.save();
    QCOMPARE(QString::fromUtf8(readFile(p.dir() + "/Seq_2.txt")), QStringLiteral("行 $Var[1]\n二行目"));
    QCOMPARE(QFileInfo(p.dir() + "/File_1.txt").lastModified(), old);
    QCOMPARE(readFile(p.dir() + "/File_1.txt"), QByteArray("file text"));
    QCOMPARE(QDir(p.dir()).entryList(QDir::Files).size(), 3);
    // Saved again without an edit, the template is not rewritten.
    QFile::remove(p.dir() + "/Seq_2.txt");
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.save();
    QVERIFY(!QFile::exists(p.dir() + "/Seq_2.txt"));
}

void tst_outdef::save_unwritableTemplate_reportsKeepsMarkAndRetries()
{
    OutProgram p;
    QDir().mkpath(p.dir() + "/Seq_2.txt");
    p.open(kTwoTemplates);
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    p.page()->GetTemplateEditor()->insertPlainText(QStringLiteral("body"));
    QString title;
    QString text;
    answerBox(&title, &text);
    p.save();
    QCOMPARE(title, QStringLiteral("File error"));
    QCOMPARE(text, QStringLiteral("can not write file:%1").arg(p.dir() + "/Seq_2.txt") +
                       "\nReason: " + qt_error_string(EISDIR));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    QCOMPARE(p.saved().firstChildElement("SEQUENCE").firstChildElement().attribute("ID"),
             QStringLiteral("2"));
    QDir(p.dir() + "/Seq_2.txt").removeRecursively();
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    QCOMPARE(readFile(p.dir() + "/Seq_2.txt"), QByteArray("body"));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
}

// A template of millions of short lines took gigabytes in the editor. Refused, it shows empty and
// takes no typing, which every save would refuse to write; the editor says why, and a save leaves
// the file whole.
void tst_outdef::template_pastWhatAnEditorShows_refusedByNameNeverSavedOver()
{
    OutProgram p;
    const QString path = p.dir() + "/Seq_2.txt";
    writeFile(path, QByteArray("1\n").repeated(4000000));
    const QByteArray kept = readFile(path);
    p.open(kTwoTemplates);
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && errors->isVisible());
    QCOMPARE(errors->windowTitle(), QStringLiteral("File error"));
    const QString said = errors->findChild<QPlainTextEdit *>("PEDIT")->toPlainText();
    QVERIFY2(said.startsWith(path + " holds 4000000 lines"), qPrintable(said));
    errors->close();
    NumEditor *editor = p.page()->GetTemplateEditor();
    QVERIFY(editor->toPlainText().isEmpty());
    QCOMPARE(editor->placeholderText(), said);
    QTest::keyClicks(editor, QStringLiteral("typed"));
    QVERIFY(editor->toPlainText().isEmpty());
    // What stands in for the file is still never saved over it, were it marked changed.
    editor->EditItem()->TextChanged() = true;
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    QString title;
    QString text;
    answerBox(&title, &text);
    p.save();
    QCOMPARE(title, QStringLiteral("File error"));
    QCOMPARE(text, path + " was not read: it is not written over");
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    QVERIFY(readFile(path) == kept);
    // The file's template, read, is edited as ever.
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]")->parent());
    QVERIFY(!editor->isReadOnly() && editor->placeholderText().isEmpty());
}

// A refused template stayed refused, with its stale reason, until the definition was opened again.
void tst_outdef::template_refusedThenMended_shownAgainEditableAndSaved()
{
    OutProgram p;
    const QString path = p.dir() + "/Seq_2.txt";
    writeFile(path, QByteArray("caf\xE9"));
    p.open(kTwoTemplates);
    if (auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg))
        errors->close();
    NumEditor *editor = p.page()->GetTemplateEditor();
    const auto show = [&p] {
        p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]")->parent());
        p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    };
    for (int i = 0; i < 2; ++i) {
        show();
        QVERIFY(editor->isReadOnly());
        QVERIFY2(editor->placeholderText().startsWith(path), qPrintable(editor->placeholderText()));
    }
    // Another reader of the file that finds it mended clears its refusal; the editor keeps its own.
    writeFile(path, "mended");
    show();
    QCOMPARE(editor->toPlainText(), QStringLiteral("mended"));
    QVERIFY(!editor->isReadOnly() && editor->placeholderText().isEmpty());
    editor->moveCursor(QTextCursor::Start);
    QTest::keyClicks(editor, QStringLiteral("typed "));
    p.save();
    QCOMPARE(readFile(path), QByteArray("typed mended"));
}

void tst_outdef::open_unreadableOrForeignFile_readOnlyAndNeverWritten_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("boxTitle");
    QTest::newRow("truncated") << QByteArray("<Root_Output Email='me@x'><SEQUENCE>") << "Xml Parse Error";
    QTest::newRow("another root") << QByteArray("<Root_Model Email='me@x'/>") << "Open Output";
}

void tst_outdef::open_unreadableOrForeignFile_readOnlyAndNeverWritten()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, boxTitle);
    OutProgram p;
    writeFile(p.outXml(), xml);
    QString title;
    if (boxTitle == QStringLiteral("Xml Parse Error"))
        answerNextBox(QStringLiteral("OK"), &title);
    p.deliver(MsgCode::OpenOutput);
    if (!title.isEmpty())
        QCOMPARE(title, boxTitle);
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputReadOnly));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputOwned));
    QVERIFY(p.page()->GetTemplateEditor()->isReadOnly());
    QCOMPARE(std::count(p.page()->OutStates(), p.page()->OutStates() + outdef::EntryCount, true), 0L);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.save();
    QCOMPARE(readFile(p.outXml()), xml);
}

void tst_outdef::open_ownerRule_data()
{
    QTest::addColumn<QByteArray>("owner");
    QTest::addColumn<bool>("own");
    QTest::newRow("own") << QByteArray("User='me' Email='me@x'") << true;
    QTest::newRow("another e-mail") << QByteArray("User='bob' Email='bob@x'") << false;
    QTest::newRow("no Email") << QByteArray("User='me'") << false;
}

void tst_outdef::open_ownerRule()
{
    QFETCH(QByteArray, owner);
    QFETCH(bool, own);
    OutProgram p;
    QByteArray xml = kTwoTemplates;
    xml.replace("User='me' Email='me@x'", owner);
    p.open(xml);
    QCOMPARE(p.GetBoolVar(RegSlot::FlagOutputOwned), own);
    QCOMPARE(p.GetBoolVar(RegSlot::FlagOutputReadOnly), !own);
    QCOMPARE(p.page()->GetOutFile()->GetTitleEdit()->isReadOnly(), !own);
    QCOMPARE(p.page()->GetOutFile()->GetExtCombo()->isEnabled(), own);
    QCOMPARE(p.page()->GetOutSeq()->GetModButton()->isEnabledTo(p.page()->GetOutSeq()), own);
    QCOMPARE(p.page()->GetTemplateEditor()->isReadOnly(), !own);
    const bool *states = p.page()->OutStates();
    QCOMPARE(std::count(states, states + outdef::EntryCount, true), own ? 3L : 1L);
    QVERIFY(states[outdef::EntryOutCheck]);
    QCOMPARE(p.page()->GetOwnerMail(),
             own ? QStringLiteral("me@x") : QString(xml.contains("bob") ? "bob@x" : ""));
}

void tst_outdef::menuStates_followTheEntryShown()
{
    OutProgram p;
    p.open(
        "<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='5'><SEQ ID='1'/><SEQ ID='2'/><SEQ ID='3'/>"
        "<SEQ ID='4'/></SEQUENCE><FILES MaxID='3'><FILE ID='1'><SEQ ID='1'/><SEQ ID='2'/><SEQ ID='3'/></FILE>"
        "<FILE ID='2'/></FILES><TEMPSEQ><SEQ ID='4'/></TEMPSEQ></Root_Output>");
    auto states = [&p] {
        QString s;
        for (int i = 0; i < outdef::EntryCount; ++i)
            s += p.page()->OutStates()[i] ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    QCOMPARE(states(), QStringLiteral("1001000001"));
    p.files()->setCurrentItem(p.files()->topLevelItem(1));
    QCOMPARE(states(), QStringLiteral("1101000001"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    QCOMPARE(states(), QStringLiteral("1011011001"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    QCOMPARE(states(), QStringLiteral("1011111001"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[3]"));
    QCOMPARE(states(), QStringLiteral("1011101001"));
    p.temps()->setFocus();
    p.temps()->setCurrentItem(p.temps()->topLevelItem(0));
    QCOMPARE(p.page()->PageMode(), 2);
    QCOMPARE(states(), QStringLiteral("0000000110"));
}

void tst_outdef::entryEditors_loopChoicesExtensionAndTemporaryTitle()
{
    OutProgram p;
    p.open("<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='4'>"
           "<SEQ ID='1' LOOP='1' LOOP_TYPE='5' LOOP_END_TYPE='-3'/><SEQ ID='2' P_LOOP='2'/><SEQ ID='3' "
           "TITLE='t'/>"
           "</SEQUENCE><FILES MaxID='2'><FILE ID='1'><SEQ ID='1'/><SEQ ID='2'/></FILE></FILES>"
           "<TEMPSEQ><SEQ ID='3'/></TEMPSEQ></Root_Output>");
    auto *extension = p.page()->GetOutFile()->GetExtCombo();
    QCOMPARE(extension->count(), 6);
    extension->setEditText(QStringLiteral("md"));
    auto *file = TreeItemData::FromData(p.files()->topLevelItem(0)->data(0, Qt::UserRole));
    QCOMPARE(file->GetAttr("EXP"), QStringLiteral("md"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));

    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    auto *loop = p.page()->GetOutSeq()->findChild<QComboBox *>("LOOPCBX");
    auto *end = p.page()->GetOutSeq()->findChild<QComboBox *>("LOOPENDCBX");
    QVERIFY(!loop->isHidden());
    QCOMPARE(loop->currentText(), QStringLiteral("A new line"));
    QCOMPARE(end->currentText(), QStringLiteral("write all"));
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    end->setCurrentIndex(1);
    QCOMPARE(p.page()->FindSeq(1)->data->GetAttr("LOOP_END_TYPE"), QStringLiteral("1"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    // A parameter loop keeps P_LOOP only; a missing choice reads as the first.
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    QCOMPARE(p.page()->FindSeq(2)->loopKind, 2);
    QCOMPARE(end->currentText(), QStringLiteral("write all"));
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    QCOMPARE(end->currentText(), QStringLiteral("Delete after $Var at last"));

    // A temporary sequence's new title is an edit of the definition.
    p.temps()->setFocus();
    p.temps()->setCurrentItem(p.temps()->topLevelItem(0));
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    p.page()->GetOutSeq()->GetTitleEdit()->setText(QStringLiteral("renamed"));
    QCOMPARE(p.temps()->topLevelItem(0)->text(1), QStringLiteral("renamed"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    p.save();
    QCOMPARE(seqElements(p.saved()).value("3").attribute("TITLE"), QStringLiteral("renamed"));
}

void tst_outdef::startDate_fromTheCalendarIsSaved()
{
    OutProgram p;
    p.open(kTwoTemplates);
    p.page()->findChild<QPushButton *>("SDATEBTN")->click();
    auto *calendar = p.page()->findChild<Calendar *>();
    QVERIFY(calendar && calendar->isVisible());
    calendar->SelectDate(QDate(2026, 1, 5));
    calendar->OkProc();
    QCOMPARE(p.page()->findChild<QLineEdit *>("SDATE")->text(), QStringLiteral("2026/01/05"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    p.save();
    QCOMPARE(p.saved().attribute("StartDate"), QStringLiteral("2026/01/05"));
}

void tst_outdef::splitterSizes_data()
{
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("num");
    QTest::addColumn<int>("den");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("left a third") << 100 << 1 << 3 << QList<int>{33, 67};
    QTest::newRow("file tree two thirds") << 100 << 2 << 3 << QList<int>{66, 34};
    QTest::newRow("editor half") << 100 << 1 << 2 << QList<int>{50, 50};
}

void tst_outdef::splitterSizes()
{
    QFETCH(int, max);
    QFETCH(int, num);
    QFETCH(int, den);
    QTEST(outdef::SplitSizes(max, num, den), "sizes");
    QCOMPARE(outdef::FitSizes(0, 400), (QList<int>{127, 273}));
    QCOMPARE(outdef::FitSizes(500, 400), (QList<int>{500, 0}));
    QCOMPARE(OutSeq::EditorHeight(120, 200), 365);
}

void tst_outdef::close_forgetsRecordsAndShownSequence()
{
    OutProgram p;
    p.open(kTwoTemplates);
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    QVERIFY(p.page()->GetOutSeq()->Record());
    p.window->CloseWorkspace();
    QVERIFY(!p.page()->GetOutSeq()->Record());
    QVERIFY(!p.page()->FindSeq(2));
    QCOMPARE(p.files()->topLevelItemCount(), 0);
    QCOMPARE(p.page()->SeqCounter(), 1);
    p.page()->GetOutSeq()->findChild<QComboBox *>("LOOPENDCBX")->setCurrentIndex(1);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
}

// Another member's definition: no date can be picked, and a save never rewrites it.
void tst_outdef::notOwner_dateButtonsOffAndSaveRefused()
{
    OutProgram p;
    QByteArray xml = kTwoTemplates;
    xml.replace("User='me' Email='me@x'", "User='bob' Email='bob@x'");
    p.open(xml);
    for (const char *name : {"SDATEBTN", "CDATEBTN"})
        QVERIFY2(!p.page()->findChild<QPushButton *>(name)->isEnabled(), name);
    p.page()->findChild<QLineEdit *>("SDATE")->setText("2030/01/01");
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    QCOMPARE(readFile(p.outXml()), xml);
    // The owner's buttons come back with the owner's definition.
    p.window->CloseWorkspace();
    p.open(kTwoTemplates);
    for (const char *name : {"SDATEBTN", "CDATEBTN"})
        QVERIFY2(p.page()->findChild<QPushButton *>(name)->isEnabled(), name);
}

void tst_outdef::temporarySequence_templateEditedWhileShown_saved()
{
    OutProgram p;
    p.open("<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='4'><SEQ ID='2'/><SEQ ID='3' TITLE='t'/>"
           "</SEQUENCE><FILES MaxID='2'><FILE ID='1'><SEQ ID='2'/></FILE></FILES>"
           "<TEMPSEQ><SEQ ID='3'/></TEMPSEQ></Root_Output>");
    p.temps()->setFocus();
    p.temps()->setCurrentItem(p.temps()->topLevelItem(0));
    QCOMPARE(p.page()->PageMode(), 2);
    NumEditor *editor = p.page()->GetTemplateEditor();
    editor->selectAll();
    editor->insertPlainText(QStringLiteral("temporary $Var[1]"));
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    QCOMPARE(readFile(p.dir() + "/Seq_3.txt"), QByteArray("temporary $Var[1]"));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
}

// A chain of nested sequences deeper than any output can use is cut where the generator stops
// (it would overflow the views that walk it); the sequences below stay in the file.
void tst_outdef::open_nestingDeeperThanTheGenerator_cutWithMessage()
{
    const int chain = 1500;
    QByteArray seqs;
    for (int n = 1; n <= chain; ++n) {
        seqs += "<SEQ ID='" + QByteArray::number(n) + "'>";
        if (n < chain)
            seqs += "<SEQ ID='" + QByteArray::number(n + 1) + "'/>";
        seqs += "</SEQ>";
    }
    OutProgram p;
    p.open("<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='" + QByteArray::number(chain + 1) + "'>" +
           seqs + "</SEQUENCE><FILES MaxID='2'><FILE ID='1'><SEQ ID='1'/></FILE></FILES></Root_Output>");
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && errors->isVisible());
    QCOMPARE(errors->windowTitle(), QStringLiteral("Open Output"));
    QVERIFY(errors->findChild<QPlainTextEdit *>("PEDIT")->toPlainText().contains("deeper than 1000"));
    errors->close();
    QVERIFY(p.find(p.files(), "$Seq[1000]"));
    QVERIFY(!p.find(p.files(), "$Seq[1001]"));
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    QCOMPARE(seqElements(p.saved()).size(), chain);
}

void tst_outdef::createOrOpen_anyDocKind_showsOutputTab_data()
{
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("kindBefore");
    QTest::addColumn<int>("kindAfter");
    QTest::newRow("open, nothing open") << int(MsgCode::OpenOutput) << 0 << 3;
    QTest::newRow("open, instance open") << int(MsgCode::OpenOutput) << 2 << 4;
    QTest::newRow("create, instance open") << int(MsgCode::NewOutput) << 2 << 4;
}

// With an instance open the kind becomes 4; the tab brought up must still be the Output tab.
void tst_outdef::createOrOpen_anyDocKind_showsOutputTab()
{
    QFETCH(int, message);
    QFETCH(int, kindBefore);
    QFETCH(int, kindAfter);
    OutProgram p;
    p.SetIntVar(RegSlot::IntDocKind, kindBefore);
    if (message == MsgCode::OpenOutput)
        writeFile(p.outXml(), kTwoTemplates);
    else
        QDir().mkpath(p.dir());
    p.deliver(message);
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), kindAfter);
    QCOMPARE(p.window->TabArea()->MainTabs()->currentIndex(), int(Tab::Output));
    QCOMPARE(p.window->TabArea()->CurrentTab(), int(Tab::Output));
}

// A click where one button was must never hit the other: hidden, each keeps its space.
void tst_outdef::bindButtons_shownOrHidden_keepTheirPlaces()
{
    OutProgram p;
    p.open(kTwoTemplates);
    p.window->resize(1280, 1000);
    auto *set = p.page()->findChild<QPushButton *>(QStringLiteral("SET_BTN"));
    auto *unset = p.page()->findChild<QPushButton *>(QStringLiteral("UNSET_BTN"));
    auto *model = p.page()->findChild<QWidget *>(QStringLiteral("MODEL_TAB"));
    auto *current = p.page()->findChild<QWidget *>(QStringLiteral("CURRENT_TAB"));
    QVERIFY(set && unset && model && current);
    auto settle = [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    };
    auto place = [](QWidget *w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); };
    set->show();
    unset->hide();
    settle();
    const QRect setPlace = place(set);
    const QRect modelPlace = place(model);
    const QRect currentPlace = place(current);
    set->hide();
    unset->show();
    settle();
    QVERIFY(!place(unset).intersects(setPlace));
    QCOMPARE(place(model), modelPlace);
    QCOMPARE(place(current), currentPlace);
    unset->hide();
    settle();
    QCOMPARE(place(model), modelPlace);
    set->show();
    settle();
    QCOMPARE(place(set), setPlace);
}

// On a 1280 x 1024 screen the sequence form used to be cut off at the bottom and right, and its
// loop row pushed the fields aside when a looping sequence was shown.
void tst_outdef::sequencePage_fullScreen_buttonsShownLoopRowSteady()
{
    OutProgram p;
    p.window->resize(1280, 1024);
    p.open(
        "<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='3'><SEQ ID='1' LOOP='1'/><SEQ ID='2'/>"
        "</SEQUENCE><FILES MaxID='2'><FILE ID='1'><SEQ ID='1'/><SEQ ID='2'/></FILE></FILES></Root_Output>");
    QCoreApplication::processEvents();
    OutSeq *form = p.page()->GetOutSeq();
    auto *tabs = p.page()->findChild<QTabWidget *>(QStringLiteral("INF_TAB"));
    QVERIFY(form && tabs);
    auto settle = [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    };
    p.files()->setCurrentItem(p.find(p.files(), "$Seq[2]"));
    settle();
    QCOMPARE(tabs->currentIndex(), 1);
    const QRect shown =
        QRect(tabs->currentWidget()->mapTo(p.window, QPoint(0, 0)), tabs->currentWidget()->size());
    auto place = [&p](QWidget *w) { return QRect(w->mapTo(p.window, QPoint(0, 0)), w->size()); };
    const QList<QWidget *> buttons{form->GetCodeSetButton(), form->GetCodeDelButton(),
                                   form->GetVarCodeSetButton(), form->GetVarCodeDelButton(),
                                   form->GetModButton()};
    for (QWidget *button : buttons)
        QVERIFY2(shown.contains(place(button)), qPrintable(button->objectName()));
    const QRect title = place(form->GetTitleEdit());
    const QRect nest = place(form->GetNestTree());

    p.files()->setCurrentItem(p.find(p.files(), "$Seq[1]"));
    settle();
    QVERIFY(!form->findChild<QComboBox *>(QStringLiteral("LOOPCBX"))->isHidden());
    QCOMPARE(place(form->GetTitleEdit()), title);
    QCOMPARE(place(form->GetNestTree()), nest);
    for (QWidget *button : buttons)
        QVERIFY2(shown.contains(place(button)), qPrintable(button->objectName()));
}

// SEQ and FILE elements the loader refuses belong to another member's program: the owner's save
// writes them back as they were, and they never show in the trees.
void tst_outdef::save_refusedElements_stayOutOfTheTreeAndAreWrittenBack()
{
    OutProgram p;
    p.open(kHostile);
    QVERIFY(p.find(p.files(), "$Seq[3]"));
    QCOMPARE(p.files()->topLevelItemCount(), 1);
    p.page()->GetOutFile()->GetTitleEdit()->setText(QStringLiteral("F2"));
    p.save();
    QDomElement root = p.saved();
    QStringList seqs, files;
    for (QDomElement e = root.firstChildElement("SEQUENCE").firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        seqs << e.attribute("ID") + QLatin1Char(':') + e.attribute("TITLE", "<none>");
    for (QDomElement e = root.firstChildElement("FILES").firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        files << e.attribute("ID") + QLatin1Char(':') + e.attribute("TITLE", "<none>");
    // Each where it stood.
    QCOMPARE(seqs, (QStringList{"1:one", "2:two", "3:three", "3:dup", "4:temp", "5:inner"}));
    QCOMPARE(files, (QStringList{"1:F2", "x:<none>"}));
    const QDomElement dup = root.firstChildElement("SEQUENCE").childNodes().at(3).toElement();
    QCOMPARE(dup.attribute("TITLE"), QStringLiteral("dup"));
    QCOMPARE(dup.attributes().count(), 2);
    QCOMPARE(root.firstChildElement("FILES").lastChildElement().attributes().count(), 1);

    // Reopened, the refused ones are still refused, and a second save keeps them once.
    p.window->CloseWorkspace();
    p.deliver(MsgCode::OpenOutput);
    QCOMPARE(p.files()->topLevelItemCount(), 1);
    QCOMPARE(p.find(p.files(), "$Seq[3]")->text(2), QStringLiteral("three"));
    p.page()->GetOutFile()->GetTitleEdit()->setText(QStringLiteral("F3"));
    p.save();
    root = p.saved();
    int dups = 0, xs = 0;
    for (QDomElement e = root.firstChildElement("SEQUENCE").firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        dups += e.attribute("TITLE") == QLatin1String("dup");
    for (QDomElement e = root.firstChildElement("FILES").firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        xs += e.attribute("ID") == QLatin1String("x");
    QCOMPARE(dups, 1);
    QCOMPARE(xs, 1);
}

// Counters past the ceiling: an unedited definition is not rewritten by a save; an edited one is,
// with the corrected MaxID, and the user is told once what was changed.
void tst_outdef::save_hostileMaxId_notWrittenUneditedAndCorrectionSaid()
{
    OutProgram p;
    const QByteArray xml =
        "<Root_Output Name='O' Version='1.0' User='me' Email='me@x' StartDate='2026/01/02' "
        "CompletionDate=''><SEQUENCE MaxID='2147483648'><SEQ ID='1' TITLE='s'/></SEQUENCE>"
        "<FILES MaxID='2'><FILE ID='1' TITLE='f'><SEQ ID='1'/><SEQ ID='0999'/></FILE></FILES>"
        "</Root_Output>";
    p.open(xml);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    QCOMPARE(readFile(p.outXml()), xml);
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && !errors->isVisible());

    p.page()->GetOutFile()->GetTitleEdit()->setText(QStringLiteral("F2"));
    p.save();
    const QDomElement root = p.saved();
    QCOMPARE(root.firstChildElement("SEQUENCE").attribute("MaxID"), QStringLiteral("1000000000"));
    QCOMPARE(childRefs(root.firstChildElement("FILES").firstChildElement()),
             QStringLiteral("SEQ:1 SEQ:0999"));
    QVERIFY(errors->isVisible());
    const QString text = errors->findChild<QPlainTextEdit *>("PEDIT")->toPlainText();
    QVERIFY2(text.contains(p.outXml()) && text.contains("\"2147483648\"") && text.contains("\"1000000000\""),
             qPrintable(text));
    QVERIFY(!text.contains("FILES"));
    errors->close();
    p.page()->GetOutFile()->GetTitleEdit()->setText(QStringLiteral("F3"));
    p.save();
    QVERIFY(!errors->isVisible());
}

QTEST_MAIN(tst_outdef)
#include "tst_outdef.moc"
