#include "outdef/outseq.h"
#include "outdefprogram.h"
#include "shell/errormsg.h"
#include "shell/numeditor.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

namespace
{
// A new definition with one file identifier current.
void newWithFile(OutProgram &p)
{
    p.deliver(MsgCode::NewOutput);
    p.page()->CreateFileDiag();
}

QTreeWidgetItem *modelItem(OutProgram &p, int id)
{
    const QList<QTreeWidgetItem *> hits = p.page()->GetModelTree()->findItems(
        QStringLiteral("M%1").arg(id), Qt::MatchExactly | Qt::MatchRecursive, 4);
    return hits.isEmpty() ? nullptr : hits.first();
}

void bind(OutProgram &p, int id)
{
    p.page()->GetModelTree()->setCurrentItem(modelItem(p, id));
    p.page()->SetBtnClicked();
}

// The use count of the shown scope row of the element.
int useCount(OutProgram &p, int id)
{
    QTreeWidgetItem *row = p.page()->FindCurrentScopeItem(id);
    return row ? row->data(Scope::Count, Qt::UserRole).toInt() : -1;
}

void select(OutProgram &p, const char *marker)
{
    QTreeWidgetItem *item = p.find(p.files(), QLatin1String(marker));
    QVERIFY2(item, marker);
    p.files()->setCurrentItem(item);
}

void reopen(OutProgram &p)
{
    p.save();
    p.window->CloseWorkspace();
    p.deliver(MsgCode::OpenOutput);
}

// A file holding a chain of `length` sequences, each nested in the one before, and a temporary
// sequence 2000 holding 2001.
QByteArray chainXml(int length)
{
    QByteArray seqs;
    for (int n = 1; n <= length; ++n) {
        const QByteArray inner = n < length ? "<SEQ ID='" + QByteArray::number(n + 1) + "'/>" : QByteArray();
        seqs += "<SEQ ID='" + QByteArray::number(n) + "' TITLE='s'>" + inner + "</SEQ>";
    }
    return "<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='2002'>" + seqs +
           "<SEQ ID='2000' TITLE='t'><SEQ ID='2001'/></SEQ><SEQ ID='2001' TITLE='u'/></SEQUENCE>"
           "<FILES MaxID='2'><FILE ID='1' TITLE='f'><SEQ ID='1'/></FILE></FILES>"
           "<TEMPSEQ><SEQ ID='2000'/></TEMPSEQ></Root_Output>";
}

// How many sequence rows enclose the row, its own included.
int seqDepth(QTreeWidgetItem *item)
{
    int depth = 0;
    for (; item && item->parent(); item = item->parent())
        ++depth;
    return depth;
}

// The error window's text, closing it; empty when it is not shown.
QString takeError(OutProgram &p)
{
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    if (!errors || !errors->isVisible())
        return QString();
    const QString text = errors->findChild<QPlainTextEdit *>("PEDIT")->toPlainText();
    errors->close();
    return text;
}

QStringList childMarkers(QTreeWidgetItem *item)
{
    QStringList list;
    for (int i = 0; i < item->childCount(); ++i)
        list << item->child(i)->text(1).trimmed();
    return list;
}
} // namespace

class tst_outident : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void files_deletedNumberNeverReused();
    void nextSeq_followsCurrentAndSurvivesReopen();
    void nesting_tenLevelsIndentedAndListedInParent();
    void bindings_loopsAndParameterLoopSaved();
    void loopCheck_refusesUnservedLoopAcceptsServedOne();
    void setAside_returnsUseCounts();
    void deleteTemporary_removesNestedRecordsKeepsTemplates();
    void refusals_fileWithSequencesAndNestedTemporary();
    void create_craftedCounters_neverReuseWrapOrFree_data();
    void create_craftedCounters_neverReuseWrapOrFree();
    void create_leftoverTemplates_takeOtherNumbersAndStayUnread();
    void nesting_atTheDepthLimit_readsBackWholeOnePastRefused();
    void moveToFile_pastTheDepthLimit_refusedNothingChanged_data();
    void moveToFile_pastTheDepthLimit_refusedNothingChanged();
    void save_nestingPastTheDepthLimit_refusedFileKept();
};

void tst_outident::files_deletedNumberNeverReused()
{
    OutProgram p;
    newWithFile(p);
    p.page()->CreateFileDiag();
    p.page()->CreateFileDiag();
    QCOMPARE(p.files()->currentItem()->text(0), QStringLiteral("$File[3]"));
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    answerNextBox(QStringLiteral("Cancel"));
    p.page()->DeleteFileDiag();
    QCOMPARE(p.files()->topLevelItemCount(), 3);
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    answerNextBox(QStringLiteral("OK"));
    p.page()->DeleteFileDiag();
    QCOMPARE(p.files()->topLevelItemCount(), 2);
    QVERIFY(!p.page()->FindFile(3));
    p.page()->CreateFileDiag();
    QCOMPARE(p.files()->topLevelItem(2)->text(0), QStringLiteral("$File[4]"));
    p.save();
    QCOMPARE(p.saved().firstChildElement("FILES").attribute("MaxID"), QStringLiteral("5"));
}

void tst_outident::nextSeq_followsCurrentAndSurvivesReopen()
{
    OutProgram p;
    newWithFile(p);
    const int counter = p.page()->SeqCounter();
    p.page()->CreateNextSeqDiag();
    QCOMPARE(p.page()->SeqCounter(), counter);
    QCOMPARE(p.files()->topLevelItem(0)->childCount(), 0);
    for (int i = 0; i < 3; ++i) {
        p.files()->setCurrentItem(p.files()->topLevelItem(0));
        p.page()->CreateNestingSeqDiag();
    }
    select(p, "$Seq[1]");
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    p.page()->MoveUpSeqDiag();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
    p.page()->CreateNextSeqDiag();
    const QStringList order = {"$Seq[1]", "$Seq[4]", "$Seq[2]", "$Seq[3]"};
    QCOMPARE(childMarkers(p.files()->topLevelItem(0)), order);
    QCOMPARE(p.page()->FindFile(1)->seqs, (QList<int>{1, 4, 2, 3}));
    reopen(p);
    QCOMPARE(childMarkers(p.files()->topLevelItem(0)), order);
}

void tst_outident::nesting_tenLevelsIndentedAndListedInParent()
{
    OutProgram p;
    newWithFile(p);
    for (int i = 0; i < 10; ++i)
        p.page()->CreateNestingSeqDiag();
    QTreeWidgetItem *item = p.files()->currentItem();
    QCOMPARE(item->text(1), QString(27, QLatin1Char(' ')) + QStringLiteral("$Seq[10]"));
    QCOMPARE(p.find(p.files(), "$Seq[1]")->text(1), QStringLiteral("$Seq[1]"));
    QCOMPARE(p.find(p.files(), "$Seq[2]")->text(1), QStringLiteral("   $Seq[2]"));
    QCOMPARE(p.find(p.files(), "$Seq[3]")->text(1), QStringLiteral("      $Seq[3]"));
    const SeqRecord *parent = p.page()->FindSeq(9);
    QCOMPARE(parent->nested, QList<int>{10});
    QCOMPARE(parent->nestItems.size(), 1);
    QCOMPARE(parent->nestItems.first()->text(0), QStringLiteral("$Seq[10]"));
    QCOMPARE(parent->nestItems.first()->text(1), QStringLiteral("Unset"));
    reopen(p);
    QCOMPARE(p.find(p.files(), "$Seq[10]")->text(1),
             QString(27, QLatin1Char(' ')) + QStringLiteral("$Seq[10]"));
}

void tst_outident::bindings_loopsAndParameterLoopSaved()
{
    OutProgram p;
    newWithFile(p);
    bind(p, 1);
    p.page()->CreateNestingSeqDiag();
    bind(p, 2);
    // $Seq[1] loops over the small class; the large class is counted and used but no variable.
    QCOMPARE(p.page()->FindSeq(1)->loop, 2);
    bind(p, 1);
    QCOMPARE(p.page()->FindSeq(1)->vars, QList<int>{2});
    QVERIFY(p.page()->FindCurrentScopeItem(1)->data(Scope::Used, Qt::UserRole).toBool());
    bind(p, 4);
    p.page()->CreateNestingSeqDiag();
    QTreeWidget *vars = p.page()->GetOutSeq()->GetVarTree();
    bind(p, 3);
    const SeqRecord *loop = p.page()->FindSeq(2);
    QCOMPARE(loop->pLoop, 2);
    QCOMPARE(loop->loop, -1);
    QCOMPARE(vars->topLevelItemCount(), 2);
    QCOMPARE(vars->topLevelItem(1)->text(2), QStringLiteral("Loop"));
    // The inherited row of parameter 4 is marked, not doubled.
    QTreeWidgetItem *small = p.page()->FindCurrentScopeItem(2);
    QCOMPARE(small->childCount(), 2);
    QVERIFY(small->child(1)->data(Scope::Used, Qt::UserRole).toBool());

    // A sequence over a repeatable large class offers no second repeatable class.
    select(p, "$Seq[1]");
    p.page()->CreateNextSeqDiag();
    bind(p, 1);
    QCOMPARE(p.page()->FindSeq(3)->loop, 1);
    QCOMPARE(vars->topLevelItem(0)->text(2), QStringLiteral("Loop"));
    p.page()->GetModelTree()->setCurrentItem(modelItem(p, 2));
    QVERIFY(p.page()->findChild<QPushButton *>("SET_BTN")->isHidden());
    p.save();
    const QHash<QString, QDomElement> seqs = seqElements(p.saved());
    QCOMPARE(seqs.value("3").attribute("LOOP"), QStringLiteral("1"));
    QCOMPARE(childRefs(seqs.value("3")), QStringLiteral("MODEL:1"));
    QCOMPARE(seqs.value("2").attribute("P_LOOP"), QStringLiteral("2"));
    QCOMPARE(seqs.value("2").attribute("LOOP"), QStringLiteral("-1"));
    QCOMPARE(childRefs(seqs.value("2")), QStringLiteral("MODEL:3 MODEL:4"));
}

void tst_outident::loopCheck_refusesUnservedLoopAcceptsServedOne()
{
    OutProgram p;
    newWithFile(p);
    bind(p, 1);
    p.page()->CreateNestingSeqDiag();
    bind(p, 2);
    bind(p, 1);
    p.page()->CreateNextSeqDiag();
    bind(p, 1);
    QCOMPARE(p.page()->FindSeq(2)->loop, 1);
    select(p, "$Seq[1]");
    p.page()->MoveSeqTempDiag();
    QCOMPARE(p.page()->PageMode(), 2);
    QTreeWidgetItem *temp = p.temps()->topLevelItem(0);
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    p.page()->TempTreeActivated(temp, 0);
    QCOMPARE(p.page()->PageMode(), 2);
    p.page()->MoveSeqFileDiag();
    QCOMPARE(p.GetStrVar(RegSlot::StrLastError),
             QStringLiteral("loop variable is not found at file tree\n$Var[1]\n"));
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && errors->isVisible());
    QCOMPARE(errors->windowTitle(), QStringLiteral("connection error"));
    QCOMPARE(p.temps()->topLevelItemCount(), 1);

    select(p, "$Seq[2]");
    p.page()->TempTreeActivated(temp, 0);
    p.page()->MoveSeqFileDiag();
    QCOMPARE(p.GetStrVar(RegSlot::StrLastError), QString());
    QCOMPARE(p.temps()->topLevelItemCount(), 0);
    QTreeWidgetItem *placed = p.find(p.files(), "$Seq[1]");
    QCOMPARE(placed->parent(), p.find(p.files(), "$Seq[2]"));
    QCOMPARE(placed->text(1), QStringLiteral("   $Seq[1]"));
    QCOMPARE(p.page()->FindSeq(2)->nested, QList<int>{1});
    QCOMPARE(p.files()->currentItem(), placed);
    reopen(p);
    QCOMPARE(p.find(p.files(), "$Seq[1]")->parent(), p.find(p.files(), "$Seq[2]"));
}

void tst_outident::setAside_returnsUseCounts()
{
    OutProgram p;
    newWithFile(p);
    bind(p, 1);
    p.page()->CreateNestingSeqDiag();
    p.page()->GetTemplateEditor()->insertPlainText(QStringLiteral("$Var[1]"));
    bind(p, 1);
    QCOMPARE(p.page()->FindSeq(1)->loop, 1);
    // Unbinding gives the use back and leaves the template as it was.
    p.page()->GetCurrentTree()->setCurrentItem(p.page()->FindCurrentScopeItem(1));
    p.page()->UnsetBtnClicked();
    QCOMPARE(p.page()->FindSeq(1)->loop, -1);
    QVERIFY(p.page()->FindSeq(1)->vars.isEmpty());
    QCOMPARE(p.page()->GetTemplateEditor()->toPlainText(), QStringLiteral("$Var[1]"));
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    QCOMPARE(useCount(p, 1), 0);
    select(p, "$Seq[1]");
    bind(p, 1);
    p.page()->CreateNestingSeqDiag();
    bind(p, 1);
    QCOMPARE(p.page()->FindSeq(2)->loop, -1);
    QCOMPARE(p.page()->FindSeq(2)->vars, QList<int>{1});
    select(p, "$Seq[1]");
    QCOMPARE(useCount(p, 1), 1);
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    QCOMPARE(useCount(p, 1), 2);
    select(p, "$Seq[1]");
    p.page()->MoveSeqTempDiag();
    // Clicking the file row that is current already shows it through the focus path.
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    p.page()->FileTreeActivated(p.files()->topLevelItem(0), 0);
    QCOMPARE(useCount(p, 1), 0);
    p.page()->TempTreeActivated(p.temps()->currentItem(), 0);
    QCOMPARE(p.page()->GetTemplateEditor()->toPlainText(), QStringLiteral("$Var[1]"));
}

void tst_outident::deleteTemporary_removesNestedRecordsKeepsTemplates()
{
    OutProgram p;
    newWithFile(p);
    p.page()->CreateNestingSeqDiag();
    p.page()->GetTemplateEditor()->insertPlainText(QStringLiteral("kept"));
    p.page()->CreateNestingSeqDiag();
    p.page()->CreateNextSeqDiag();
    p.save();
    QVERIFY(QFile::exists(p.dir() + "/Seq_1.txt"));
    select(p, "$Seq[1]");
    p.page()->MoveSeqTempDiag();
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    answerNextBox(QStringLiteral("Cancel"));
    p.page()->DeleteSeqDiag();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
    answerNextBox(QStringLiteral("OK"));
    p.page()->DeleteSeqDiag();
    QCOMPARE(p.temps()->topLevelItemCount(), 0);
    for (int n : {1, 2, 3})
        QVERIFY(!p.page()->FindSeq(n));
    QVERIFY(!p.page()->GetOutSeq()->Record());
    QCOMPARE(p.page()->PageMode(), 1);
    p.save();
    QCOMPARE(seqElements(p.saved()).size(), 0);
    QCOMPARE(readFile(p.dir() + "/Seq_1.txt"), QByteArray("kept"));
}

void tst_outident::refusals_fileWithSequencesAndNestedTemporary()
{
    OutProgram p;
    newWithFile(p);
    p.page()->CreateNestingSeqDiag();
    p.page()->CreateNestingSeqDiag();
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    p.page()->DeleteFileDiag();
    QVERIFY(p.page()->FindFile(1));
    QVERIFY(p.page()->FindSeq(1)->item);
    select(p, "$Seq[1]");
    p.page()->MoveSeqTempDiag();
    p.temps()->setCurrentItem(p.find(p.temps(), "$Seq[2]"));
    p.files()->setCurrentItem(p.files()->topLevelItem(0));
    p.page()->TempTreeActivated(p.temps()->currentItem(), 0);
    p.page()->MoveSeqFileDiag();
    QCOMPARE(p.GetStrVar(RegSlot::StrLastError), QStringLiteral("ERROR_OUT_003"));
    QCOMPARE(p.find(p.temps(), "$Seq[2]")->parent(), p.temps()->topLevelItem(0));
    QCOMPARE(p.page()->FindSeq(1)->nested, QList<int>{2});
}

QTEST_MAIN(tst_outident)
// A shared out.xml may hold any counter: a new identifier never takes a number in use (its record
// would be freed under its row) and never wraps to a negative number; once the counter has none
// left, it takes the lowest number no identifier and no template uses, and the counter stays.
void tst_outident::create_craftedCounters_neverReuseWrapOrFree_data()
{
    QTest::addColumn<QByteArray>("counters");
    QTest::addColumn<QString>("created"); // marker of the new sequence
    QTest::addColumn<QString>("seqMaxId");
    QTest::newRow("MaxID at the largest int") << QByteArray("MaxID='2147483647'") << "$Seq[3]"
                                              << "1000000000";
    QTest::newRow("last number") << QByteArray("MaxID='999999999'") << "$Seq[999999999]"
                                 << "1000000000";
    QTest::newRow("MaxID not a number") << QByteArray("MaxID='-5'") << "$Seq[3]"
                                        << "4";
}

void tst_outident::create_craftedCounters_neverReuseWrapOrFree()
{
    QFETCH(QByteArray, counters);
    QFETCH(QString, created);
    QFETCH(QString, seqMaxId);
    OutProgram p;
    p.open("<Root_Output User='me' Email='me@x'><SEQUENCE " + counters +
           "><SEQ ID='1' TITLE='one'/><SEQ ID='2' TITLE='two'/></SEQUENCE><FILES MaxID='2147483646'>"
           "<FILE ID='1'><SEQ ID='1'/><SEQ ID='2'/></FILE></FILES></Root_Output>");
    select(p, "$Seq[1]");
    p.page()->CreateNextSeqDiag();
    QCOMPARE(takeError(p), QString());
    QVERIFY(p.find(p.files(), created));
    QCOMPARE(p.files()->topLevelItem(0)->childCount(), 3);
    QCOMPARE(p.page()->FindSeq(1)->data->GetAttr("TITLE"), QStringLiteral("one"));
    // No file number is left above the counter either: $File[1] is taken, $File[2] is free.
    p.page()->CreateFileDiag();
    QCOMPARE(takeError(p), QString());
    QCOMPARE(p.files()->topLevelItemCount(), 2);
    QCOMPARE(p.files()->topLevelItem(1)->text(0), QStringLiteral("$File[2]"));
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    const QDomElement root = p.saved();
    QCOMPARE(root.firstChildElement("SEQUENCE").attribute("MaxID"), seqMaxId);
    QCOMPARE(root.firstChildElement("FILES").attribute("MaxID"), QStringLiteral("1000000000"));
    QCOMPARE(seqElements(root).value("1").attribute("TITLE"), QStringLiteral("one"));
}

#include "tst_outident.moc"

// A save wrote Seq_3.txt and File_2.txt, then failed to write out.xml: new identifiers take other
// numbers, so that neither now nor after a save and a reopen does one show a leftover as its own.
void tst_outident::create_leftoverTemplates_takeOtherNumbersAndStayUnread()
{
    OutProgram p;
    writeFile(p.dir() + "/Seq_3.txt", "leftover sequence");
    writeFile(p.dir() + "/file_2.TXT", "leftover file");
    p.open("<Root_Output User='me' Email='me@x'><SEQUENCE MaxID='2'><SEQ ID='1' TITLE='one'/></SEQUENCE>"
           "<FILES MaxID='2'><FILE ID='1'><SEQ ID='1'/></FILE></FILES></Root_Output>");
    select(p, "$Seq[1]");
    p.page()->CreateNextSeqDiag();
    p.page()->CreateNestingSeqDiag();
    QCOMPARE(childMarkers(p.files()->topLevelItem(0)), (QStringList{"$Seq[1]", "$Seq[2]"}));
    QCOMPARE(childMarkers(p.files()->topLevelItem(0)->child(1)), QStringList{"$Seq[4]"});
    QCOMPARE(p.page()->GetTemplateEditor()->toPlainText(), QString());
    p.page()->CreateFileDiag();
    QCOMPARE(p.files()->topLevelItem(1)->text(0), QStringLiteral("$File[3]"));
    QCOMPARE(takeError(p), QString());
    reopen(p);
    for (const char *marker : {"$Seq[2]", "$Seq[4]", "$File[3]"}) {
        p.files()->setCurrentItem(p.find(p.files(), QLatin1String(marker)));
        QCOMPARE(p.page()->GetTemplateEditor()->toPlainText(), QString());
    }
    QVERIFY(!p.page()->FindSeq(3));
    QCOMPARE(readFile(p.dir() + "/Seq_3.txt"), QByteArray("leftover sequence"));
    QCOMPARE(readFile(p.dir() + "/file_2.TXT"), QByteArray("leftover file"));
}

// A sequence nested in the deepest one the loader keeps is refused where the user makes it, with
// nothing changed; the deepest one is saved and reopened whole.
void tst_outident::nesting_atTheDepthLimit_readsBackWholeOnePastRefused()
{
    OutProgram p;
    p.open(chainXml(OutXml::MaxDepth - 1));
    QCOMPARE(takeError(p), QString());
    const QString last = QStringLiteral("$Seq[%1]").arg(OutXml::MaxDepth - 1);
    p.files()->setCurrentItem(p.find(p.files(), last));
    p.page()->CreateNestingSeqDiag();
    const QString deepest = QStringLiteral("$Seq[2002]");
    QCOMPARE(p.files()->currentItem(), p.find(p.files(), deepest));
    QCOMPARE(seqDepth(p.files()->currentItem()), OutXml::MaxDepth);
    QCOMPARE(takeError(p), QString());

    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    p.page()->CreateNestingSeqDiag();
    QCOMPARE(takeError(p), QStringLiteral("Sequences nest at most 1000 deep; this would nest 1001 deep."));
    QCOMPARE(p.page()->SeqCounter(), 2003);
    QVERIFY(!p.page()->FindSeq(2003));
    QCOMPARE(p.files()->currentItem()->childCount(), 0);
    QVERIFY(p.page()->FindSeq(2002)->nested.isEmpty());
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));

    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    reopen(p);
    QCOMPARE(takeError(p), QString());
    QTreeWidgetItem *reread = p.find(p.files(), deepest);
    QVERIFY(reread);
    QCOMPARE(seqDepth(reread), OutXml::MaxDepth);
    QCOMPARE(reread->parent(), p.find(p.files(), last));
}

void tst_outident::moveToFile_pastTheDepthLimit_refusedNothingChanged_data()
{
    QTest::addColumn<int>("chain");
    QTest::addColumn<bool>("moved");
    // The temporary sequence and the one it holds go below the chain's last sequence.
    QTest::newRow("reaches the limit") << OutXml::MaxDepth - 2 << true;
    QTest::newRow("one past the limit") << OutXml::MaxDepth - 1 << false;
}

void tst_outident::moveToFile_pastTheDepthLimit_refusedNothingChanged()
{
    QFETCH(int, chain);
    QFETCH(bool, moved);
    OutProgram p;
    p.open(chainXml(chain));
    QTreeWidgetItem *dest = p.find(p.files(), QStringLiteral("$Seq[%1]").arg(chain));
    p.files()->setCurrentItem(dest);
    p.temps()->setCurrentItem(p.temps()->topLevelItem(0));
    p.page()->TempTreeActivated(p.temps()->topLevelItem(0), 0);
    QCOMPARE(p.page()->PageMode(), 2);
    p.SetBoolVar(RegSlot::FlagOutputModified, false);
    p.page()->MoveSeqFileDiag();
    if (moved) {
        QCOMPARE(takeError(p), QString());
        QCOMPARE(p.temps()->topLevelItemCount(), 0);
        QCOMPARE(seqDepth(p.find(p.files(), QStringLiteral("$Seq[2001]"))), OutXml::MaxDepth);
        QCOMPARE(p.page()->FindSeq(chain)->nested, QList<int>{2000});
        return;
    }
    QCOMPARE(takeError(p), QStringLiteral("Sequences nest at most 1000 deep; this would nest 1001 deep."));
    QCOMPARE(p.temps()->topLevelItemCount(), 1);
    QCOMPARE(p.find(p.temps(), QStringLiteral("$Seq[2001]"))->parent(), p.temps()->topLevelItem(0));
    QCOMPARE(dest->childCount(), 0);
    QVERIFY(p.page()->FindSeq(chain)->nested.isEmpty());
    QCOMPARE(p.page()->PageMode(), 2);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagOutputModified));
}

// Should the records ever nest past what the loader keeps, the save refuses rather than write a
// file whose reopen loses sequences: the file on disk stays as it was and the page stays changed.
void tst_outident::save_nestingPastTheDepthLimit_refusedFileKept()
{
    OutProgram p;
    const QByteArray xml = chainXml(OutXml::MaxDepth);
    p.open(xml);
    p.page()->FindSeq(OutXml::MaxDepth)->nested.append(2000);
    p.SetBoolVar(RegSlot::FlagOutputModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.save();
    QVERIFY(
        takeError(p).contains(QLatin1String("not saved, 1 sequences would nest deeper than 1000 levels")));
    QCOMPARE(readFile(p.outXml()), xml);
    QVERIFY(p.GetBoolVar(RegSlot::FlagOutputModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
}
