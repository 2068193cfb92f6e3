#include "core/decimalid.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "docs/addhtml.h"
#include "docs/htmllist.h"
#include "docs/referencefiles.h"
#include "docs/refurl.h"
#include "domtext.h"
#include "historyfile.h"
#include "loadtiming.h"
#include "model/calendar.h"
#include "qasession.h"
#include "shell/numeditor.h"

#include <QComboBox>
#include <QDomDocument>
#include <QScopeGuard>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTranslator>
#include <QVBoxLayout>

using namespace TestSupport;

namespace
{
const QList<QPair<int, QString>> kTwo{{1, QStringLiteral("m1@x")}, {2, QStringLiteral("m2@x")}};

QDomElement root(const QString &path)
{
    QDomDocument doc;
    if (!doc.setContent(readFile(path)))
        return QDomElement();
    return doc.documentElement();
}

QTreeWidgetItem *find(QTreeWidget *tree, const QString &shownId)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(shownId, Qt::MatchExactly | Qt::MatchRecursive, 2);
    return found.isEmpty() ? nullptr : found.first();
}

// Chooses state i and answers the confirmation with yes.
void setState(QandA *panel, int i)
{
    panel->findChild<QComboBox *>(QStringLiteral("STATECBX"))->setCurrentIndex(i);
    answerNextBox(QStringLiteral("yes"));
    panel->findChild<QPushButton *>(QStringLiteral("SET"))->click();
}

// Types into the shown link dialog and presses its button.
void enterLink(const QString &title, const QString &address)
{
    AddHtml *dialog = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<AddHtml *>(w); d && d->isVisible())
            dialog = d;
    }
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>(QStringLiteral("TITLE"))->setText(title);
    dialog->findChild<QLineEdit *>(QStringLiteral("ADDRESS"))->setText(address);
    dialog->findChild<QPushButton *>(QStringLiteral("ADD"))->click();
}

// The REFERENCE elements of an entry, as text.
QString referencesText(const QDomElement &entry)
{
    QString text;
    for (QDomElement r = entry.firstChildElement("REFERENCE"); !r.isNull();
         r = r.nextSiblingElement("REFERENCE"))
        text += domText(r);
    return text;
}

void answer(QaSession &s, QTreeWidgetItem *addressee)
{
    s.panel()->AnswerTree()->setCurrentItem(addressee);
    s.whenModal<CreateQA>([](CreateQA *d) { d->findChild<QPushButton *>(QStringLiteral("OK"))->click(); });
    s.panel()->CreateAnswer();
}
} // namespace

class tst_qanda : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void twoMembers_askAndAnswer_seenByBoth();
    void stateActions_historyAndDates();
    void refusals_keepEverything_data();
    void refusals_keepEverything();
    void damagedOwnFile_neverReplaced_data();
    void damagedOwnFile_neverReplaced();
    void missingOwnFile_madeElsewhereBeforeTheSave_keptAndEntryStays_data();
    void missingOwnFile_madeElsewhereBeforeTheSave_keptAndEntryStays();
    void hiddenAndRefused_carriedThrough();
    void ids_aboveEveryIdSeen_refusedWhenNoneLeft();
    void textsXmlCannotHold_otherMemberReadsThem();
    void addressees_answeredStays_positions();
    void historyText_onlyNewestUnsavedEntryEdited();
    void panel_withoutOwnMember_offersNothing();
    void types_storedUntranslated_shownTranslated_readEitherForm();
    void unreadableFiles_oneReportNamingEachAndKept();
    void manyEntries_newestFirstAndTimeGrowsLinearly_data();
    void manyEntries_newestFirstAndTimeGrowsLinearly();
    void firstShow_textPaneHigh_newMemberAddressable();
    void historyText_pastReaderLimit_refusedKeptInEditor();
    void ownFile_oneValueEdited_unreadPartsKeptInPlace_data();
    void ownFile_oneValueEdited_unreadPartsKeptInPlace();
    void ownFile_linkEdited_REFKeepsWhatItHeld_data();
    void ownFile_linkEdited_REFKeepsWhatItHeld();
    void newItem_leftoverFiles_takesNumberNoFileUses_data();
    void newItem_leftoverFiles_takesNumberNoFileUses();
    void newQuestion_counterBehindUnsavedQuestion_takesTheNextNumber();

private:
    QTemporaryDir *m_dir = nullptr;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void tst_qanda::initTestCase()
{
    watchConnections();
}

void tst_qanda::cleanupTestCase()
{
    delete m_dir;
    m_dir = nullptr;
}

void tst_qanda::init()
{
    delete m_dir;
    m_dir = new QTemporaryDir;
    UiReport::ClearLast();
}

// Member 1 asks, member 2 (another program with its own registry) answers, member 1 reopens.
void tst_qanda::twoMembers_askAndAnswer_seenByBoth()
{
    {
        QaSession one(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        one.Ask(0, QStringLiteral("why"));
        QTreeWidgetItem *q = one.panel()->QuestionTree()->topLevelItem(0);
        QCOMPARE(q->text(QandA::ColId), QStringLiteral("Q1-1"));
        QCOMPARE(q->text(QandA::ColState), QStringLiteral("new message"));
        QCOMPARE(q->background(QandA::ColState).color(), QColor("#ffff00"));
        QCOMPARE(q->foreground(QandA::ColState).color(), QColor("#000000"));
        QCOMPARE(q->text(QandA::ColInst), QStringLiteral("I1-5"));
        QVERIFY(one.GetBoolVar(RegSlot::FlagQandAModified));
        one.Save();
        const QDomElement qr = root(path("question_1.xml"));
        QCOMPARE(qr.tagName(), QStringLiteral("Root_Question"));
        QCOMPARE(qr.attribute("ID"), QStringLiteral("1"));
        QCOMPARE(qr.attribute("MaxID"), QStringLiteral("2"));
        const QDomElement quest = qr.firstChildElement("Quest");
        QCOMPARE(quest.attribute("ID"), QStringLiteral("1"));
        QCOMPARE(quest.attribute("OwnerID"), QStringLiteral("1"));
        QCOMPARE(quest.attribute("State"), QStringLiteral("-1"));
        QCOMPARE(quest.attribute("InstID"), QStringLiteral("1-5"));
        QVERIFY(!quest.firstChildElement("ToUser").isNull() &&
                !quest.firstChildElement("ToUser").hasChildNodes());
        QVERIFY(!quest.firstChildElement("REFERENCE").isNull());
        const QDomElement hr = root(path("question_1_1.hst"));
        QCOMPARE(hr.tagName(), QStringLiteral("Root_Instance"));
        QCOMPARE(hr.attribute("MaxID"), QStringLiteral("1"));
        const QDomElement c = hr.firstChildElement("CASE");
        QCOMPARE(c.attribute("TYPE"), QStringLiteral("-1"));
        QCOMPARE(c.attribute("NAME"), QStringLiteral("m1"));
        QVERIFY(QDateTime::fromString(c.attribute("DATETIME"), "yyyy/MM/dd hh:mm").isValid());
        QVERIFY(c.firstChild().isCDATASection());
        // Now addressed to member 2.
        one.whenModal<ToUserDialog>([](ToUserDialog *d) { QaSession::CheckAndOk(d, {2}); });
        one.panel()->UserListClicked();
        one.Save();
        const QByteArray first = readFile(path("question_1.xml"));
        one.Save();
        QCOMPARE(root(path("question_1.xml"))
                     .firstChildElement("Quest")
                     .firstChildElement("ToUser")
                     .firstChildElement("User")
                     .attribute("ID"),
                 QStringLiteral("2"));
        QCOMPARE(readFile(path("question_1.xml")), first);
    }
    {
        QaSession two(m_dir->path(), QStringLiteral("m2@x"), kTwo);
        QCOMPARE(two.panel()->QuestionTree()->topLevelItemCount(), 0);
        QTreeWidgetItem *q = two.panel()->AnswerTree()->topLevelItem(0);
        QVERIFY(q);
        QCOMPARE(q->text(QandA::ColId), QStringLiteral("Q1-1"));
        two.panel()->findChild<QTabWidget *>("QATAB")->setCurrentIndex(1);
        // A question on the Answer tab enables nothing; its own addressee only "Create Answer".
        two.panel()->AnswerTree()->setCurrentItem(q);
        QCOMPARE(std::vector<bool>(two.panel()->Enables(), two.panel()->Enables() + 4),
                 std::vector<bool>({false, false, false, false}));
        answer(two, q->child(0));
        QCOMPARE(q->child(0)->child(0)->text(QandA::ColId), QStringLiteral("A2-1"));
        two.Save();
        const QDomElement a = root(path("answer_2.xml")).firstChildElement("Q_Ans");
        QCOMPARE(a.attribute("QuestID"), QStringLiteral("1-1"));
        QCOMPARE(a.attribute("State"), QStringLiteral("-1"));
        QVERIFY(!a.hasAttribute("OwnerID"));
        QVERIFY(QFile::exists(path("answer_2_1.hst")));
        // Another member's file is never written by this program.
        QVERIFY(!QFile::exists(path("question_2.xml.bak")));
    }
    QaSession again(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    QTreeWidgetItem *a = find(again.panel()->QuestionTree(), QStringLiteral("A2-1"));
    QVERIFY(a);
    QCOMPARE(a->parent()->text(QandA::ColUser), QStringLiteral("m2"));
    QCOMPARE(again.member(1)->QuestionMaxID, 2);
}

void tst_qanda::stateActions_historyAndDates()
{
    {
        QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        s.Ask(0, QStringLiteral("dated"));
        QandA *p = s.panel();
        QTreeWidgetItem *q = p->QuestionTree()->topLevelItem(0);
        auto *model = qobject_cast<QStandardItemModel *>(p->findChild<QComboBox *>("STATECBX")->model());
        QVERIFY(model->item(0)->isEnabled());
        setState(p, 1);
        QCOMPARE(q->background(QandA::ColState).color(), QColor("#00ff00"));
        QVERIFY(q->text(QandA::ColCompletion).isEmpty() && q->text(QandA::ColModify).isEmpty());
        QCOMPARE(p->HistoryTree()->topLevelItemCount(), 2);
        QCOMPARE(p->HistoryTree()->topLevelItem(1)->background(1).color(), QColor("#00ff00"));
        QVERIFY(!model->item(0)->isEnabled());
        // Dates through the date dialog: columns 6 and 7 and the attributes.
        Calendar *c = p->DateDialog();
        const QDate today = QDate::currentDate();
        c->Open(1, q);
        c->SelectDate(today.addDays(3));
        c->OkProc();
        QCOMPARE(q->text(QandA::ColTarget), today.addDays(3).toString("yyyy/MM/dd"));
        setState(p, 3);
        QVERIFY(!QandA::RecordOf(q)->GetAttr("CompletionDate").isEmpty());
        QCOMPARE(q->text(QandA::ColCompletion), QandA::RecordOf(q)->GetAttr("CompletionDate"));
        s.Save();
    }
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    QTreeWidgetItem *q = s.panel()->QuestionTree()->topLevelItem(0);
    QCOMPARE(q->text(QandA::ColTarget), QDate::currentDate().addDays(3).toString("yyyy/MM/dd"));
    QCOMPARE(q->text(QandA::ColState), QStringLiteral("Completion"));
    QVERIFY(!q->text(QandA::ColCompletion).isEmpty());
    const QDomElement hr = root(path("question_1_1.hst"));
    QCOMPARE(hr.elementsByTagName("CASE").size(), 3);
    QCOMPARE(hr.elementsByTagName("CASE").at(1).toElement().attribute("TYPE"), QStringLiteral("1"));
}

void tst_qanda::refusals_keepEverything_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no element") << 0 << QStringLiteral("instance class is not selected");
    QTest::newRow("no title") << 1 << QStringLiteral("title is not set");
    QTest::newRow("answered") << 2 << QStringLiteral("answer is exist");
}

void tst_qanda::refusals_keepEverything()
{
    QFETCH(int, kind);
    QFETCH(QString, message);
    // Member 1 holds both accounts' members here, so it answers its own question.
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), {{1, "m1@x"}});
    QandA *p = s.panel();
    QString shown;
    if (kind == 0) {
        p->InstanceTree()->setCurrentItem(p->InstanceTree()->topLevelItem(0));
        p->CreateQuestion();
        shown = UiReport::LastText();
    } else if (kind == 1) {
        s.SelectElement(0);
        s.whenModal<CreateQA>([&shown](CreateQA *d) {
            d->findChild<QPushButton *>(QStringLiteral("OK"))->click();
            shown = d->Message();
            d->findChild<QPushButton *>(QStringLiteral("CANCEL"))->click();
        });
        p->CreateQuestion();
    } else {
        s.Ask(0, QStringLiteral("q"), {1});
        QTreeWidgetItem *q = p->QuestionTree()->topLevelItem(0);
        p->QuestionTree()->setCurrentItem(q->child(0));
        s.whenModal<CreateQA>(
            [](CreateQA *d) { d->findChild<QPushButton *>(QStringLiteral("OK"))->click(); });
        p->CreateAnswer();
        p->QuestionTree()->setCurrentItem(q);
        QVERIFY(!p->Enables()[1]);
        s.whenModal<CreateQA>([&shown](CreateQA *d) {
            shown = d->Message();
            d->findChild<QPushButton *>(QStringLiteral("OK"))->click();
        });
        p->DeleteQuestion();
    }
    QCOMPARE(shown, message);
    QCOMPARE(p->QuestionTree()->topLevelItemCount(), kind == 2 ? 1 : 0);
}

void tst_qanda::damagedOwnFile_neverReplaced_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("question file") << QStringLiteral("question_1.xml");
    QTest::newRow("answer file") << QStringLiteral("answer_1.xml");
}

// A file that exists but does not parse stays as it is: nothing new is made for that member's
// part (its next ID is unknown) and the other part is still written.
void tst_qanda::damagedOwnFile_neverReplaced()
{
    QFETCH(QString, file);
    const QByteArray damaged("<Root_Question ID=\"1\" MaxID=\"4\"><Quest ID=\"1\"");
    writeFile(path(file), damaged);
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), {{1, "m1@x"}});
    QVERIFY(UiReport::LastText().contains(file));
    const bool questions = file.startsWith("question");
    s.Ask(0, QStringLiteral("new"), {1});
    QCOMPARE(s.panel()->QuestionTree()->topLevelItemCount(), questions ? 0 : 1);
    if (!questions) {
        s.panel()->QuestionTree()->setCurrentItem(s.panel()->QuestionTree()->topLevelItem(0)->child(0));
        QVERIFY(!s.panel()->Enables()[2]);
        s.panel()->CreateAnswer();
    }
    s.Save();
    QCOMPARE(readFile(path(file)), damaged);
    const QDomElement other = root(path(questions ? "answer_1.xml" : "question_1.xml"));
    QCOMPARE(other.elementsByTagName("Quest").size(), questions ? 0 : 1);
    QVERIFY(!other.isNull());
    QCOMPARE(QDir(m_dir->path()).entryList({"*.hst"}),
             questions ? QStringList() : QStringList{"question_1_1.hst"});
}

void tst_qanda::missingOwnFile_madeElsewhereBeforeTheSave_keptAndEntryStays_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("theirs");
    QTest::newRow("question file") << QStringLiteral("question_1.xml")
                                   << QByteArray(
                                          "<Root_Question ID=\"1\" MaxID=\"2\"><Quest ID=\"1\" "
                                          "OwnerID=\"1\" Name=\"m1\" TITLE=\"theirs\"/></Root_Question>");
    QTest::newRow("answer file") << QStringLiteral("answer_1.xml")
                                 << QByteArray("<Root_Answer ID=\"1\" MaxID=\"2\"><Q_Ans ID=\"1\" "
                                               "QuestID=\"1-1\" TITLE=\"theirs\"/></Root_Answer>");
}

// The own member's missing file is made by the save only while it is still absent: one the member's
// program on another desktop made meanwhile is left as it is, the save fails, and the question or
// answer made here stays in its tree.
void tst_qanda::missingOwnFile_madeElsewhereBeforeTheSave_keptAndEntryStays()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, theirs);
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), {{1, "m1@x"}});
    s.Ask(0, QStringLiteral("mine"), {1});
    QTreeWidgetItem *q = s.panel()->QuestionTree()->topLevelItem(0);
    QVERIFY(q);
    const bool answers = file.startsWith("answer");
    if (answers) {
        s.panel()->QuestionTree()->setCurrentItem(q->child(0));
        s.whenModal<CreateQA>(
            [](CreateQA *d) { d->findChild<QPushButton *>(QStringLiteral("OK"))->click(); });
        s.panel()->CreateAnswer();
        QCOMPARE(q->child(0)->childCount(), 1);
    }
    writeFile(path(file), theirs);
    s.SetBoolVar(RegSlot::FlagWriteFailed, false);
    s.Save();
    QCOMPARE(readFile(path(file)), theirs);
    QVERIFY(s.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY2(UiReport::LastText().contains(path(file)), qPrintable(UiReport::LastText()));
    QCOMPARE(q->text(QandA::ColId), QStringLiteral("Q1-1"));
    if (answers)
        QCOMPARE(q->child(0)->child(0)->text(QandA::ColId), QStringLiteral("A1-1"));
}

// What no tree shows goes back into the own member's files as it was.
void tst_qanda::hiddenAndRefused_carriedThrough()
{
    writeFile(
        path("question_1.xml"),
        "<Root_Question ID=\"1\" MaxID=\"3\">"
        "<Quest ID=\"1\" OwnerID=\"1\" Name=\"m1\" TITLE=\"t\" State=\"7\" Foo=\"bar\" Expression=\"e\">"
        "<ToUser><User ID=\"x\"/><User ID=\"2\"/></ToUser><REFERENCE><REF TITLE=\"a\" URL=\"u\"/></REFERENCE>"
        "<Extra Keep=\"1\"/></Quest>"
        "<Quest ID=\"../2\" TITLE=\"refused\"/></Root_Question>");
    writeFile(path("answer_2.xml"), "<Root_Answer ID=\"2\" MaxID=\"9\">"
                                    "<Q_Ans ID=\"4\" QuestID=\"1-8\" Name=\"m2\"/>"
                                    "<Q_Ans ID=\"5/x\" QuestID=\"1-1\" Name=\"m2\"/></Root_Answer>");
    {
        QaSession one(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        QTreeWidget *tree = one.panel()->QuestionTree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *q = tree->topLevelItem(0);
        QCOMPARE(q->childCount(), 1);
        QCOMPARE(q->text(QandA::ColState), QStringLiteral("new message"));
        QCOMPARE(q->background(QandA::ColState).color(), QColor("#ffff00"));
        one.Save();
    }
    const QDomElement qr = root(path("question_1.xml"));
    QCOMPARE(qr.elementsByTagName("Quest").size(), 2);
    const QDomElement quest = qr.firstChildElement("Quest");
    QCOMPARE(quest.attribute("Foo"), QStringLiteral("bar"));
    QVERIFY(!quest.hasAttribute("Expression"));
    QCOMPARE(quest.firstChildElement("REFERENCE").firstChildElement("REF").attribute("URL"),
             QStringLiteral("u"));
    QCOMPARE(quest.firstChildElement("Extra").attribute("Keep"), QStringLiteral("1"));
    QCOMPARE(qr.lastChildElement("Quest").attribute("ID"), QStringLiteral("../2"));
    QaSession two(m_dir->path(), QStringLiteral("m2@x"), kTwo);
    QCOMPARE(two.panel()->AnswerTree()->topLevelItem(0)->child(0)->childCount(), 0);
    QCOMPARE(two.member(2)->AnswerMaxID, 9);
    two.Save();
    const QDomElement ar = root(path("answer_2.xml"));
    QCOMPARE(ar.elementsByTagName("Q_Ans").size(), 2);
    QCOMPARE(ar.firstChildElement("Q_Ans").attribute("QuestID"), QStringLiteral("1-8"));
    // No history file is named after a refused ID.
    QVERIFY(QDir(m_dir->path()).entryList({"*.hst"}).isEmpty());
}

// The next ID lies above the MaxID and every ID of the file, refused elements included; past nine
// digits no question is created and nothing is lost.
void tst_qanda::ids_aboveEveryIdSeen_refusedWhenNoneLeft()
{
    writeFile(path("question_1.xml"), "<Root_Question ID=\"1\" MaxID=\"2\">"
                                      "<Quest ID=\"1\" OwnerID=\"1\" Name=\"m1\" TITLE=\"t\"/>"
                                      "<Note ID=\"40\"/></Root_Question>");
    writeFile(path("answer_1.xml"), "<Root_Answer ID=\"1\" MaxID=\"99999999999\"/>");
    {
        QaSession one(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        QCOMPARE(one.member(1)->QuestionMaxID, 41);
        QVERIFY(one.member(1)->AnswerMaxID > DecimalId::Ceiling);
    }
    writeFile(path("question_1.xml"), "<Root_Question ID=\"1\" MaxID=\"3\">"
                                      "<Quest ID=\"999999999\" OwnerID=\"1\" Name=\"m1\" TITLE=\"t\"/>"
                                      "</Root_Question>");
    QaSession one(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    UiReport::ClearLast();
    one.Ask(0, QStringLiteral("one too many"));
    QCOMPARE(one.panel()->QuestionTree()->topLevelItemCount(), 1);
    QVERIFY2(UiReport::LastText().startsWith(QStringLiteral("no ID is left")),
             qPrintable(UiReport::LastText()));
    one.Save();
    const QDomElement qr = root(path("question_1.xml"));
    QCOMPARE(qr.elementsByTagName("Quest").size(), 1);
    QCOMPARE(qr.attribute("MaxID"), QStringLiteral("1000000000"));
}

void tst_qanda::textsXmlCannotHold_otherMemberReadsThem()
{
    {
        QaSession one(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        one.Ask(0, QStringLiteral("t\u0001]]>"), {2});
        one.Save();
    }
    QVERIFY(!root(path("question_1.xml")).isNull());
    QaSession two(m_dir->path(), QStringLiteral("m2@x"), kTwo);
    QTreeWidgetItem *q = two.panel()->AnswerTree()->topLevelItem(0);
    QVERIFY(q);
    QCOMPARE(q->text(QandA::ColTitle), QStringLiteral("t\uFFFD]]>"));
}

void tst_qanda::addressees_answeredStays_positions()
{
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), {{1, "m1@x"}, {2, "m2@x"}, {3, "m3@x"}});
    s.Ask(0, QStringLiteral("q"), {1, 3});
    QTreeWidgetItem *q = s.panel()->QuestionTree()->topLevelItem(0);
    QCOMPARE(q->childCount(), 2);
    s.panel()->QuestionTree()->setCurrentItem(q->child(0));
    s.whenModal<CreateQA>([](CreateQA *d) { d->findChild<QPushButton *>(QStringLiteral("OK"))->click(); });
    s.panel()->CreateAnswer();
    s.Save();
    QVERIFY(!s.GetBoolVar(RegSlot::FlagQandAModified));
    // No change: nothing is marked.
    s.panel()->QuestionTree()->setCurrentItem(q);
    s.whenModal<ToUserDialog>([](ToUserDialog *d) { QaSession::CheckAndOk(d, {1, 3}); });
    s.panel()->UserListClicked();
    QVERIFY(!s.GetBoolVar(RegSlot::FlagQandAModified));
    // Member 1 answered and stays; member 2 goes between 1 and 3; member 3 leaves.
    s.whenModal<ToUserDialog>([](ToUserDialog *d) { QaSession::CheckAndOk(d, {2}); });
    s.panel()->UserListClicked();
    QCOMPARE(q->childCount(), 2);
    QCOMPARE(q->child(0)->text(QandA::ColUser), QStringLiteral("m1"));
    QCOMPARE(q->child(1)->text(QandA::ColUser), QStringLiteral("m2"));
    QVERIFY(s.GetBoolVar(RegSlot::FlagQandAModified));
    // An addressee row leaves nothing to edit.
    s.panel()->QuestionTree()->setCurrentItem(q->child(1));
    QVERIFY(s.panel()->findChild<QWidget *>("FIELDS")->findChild<QLineEdit *>("TITLE")->text().isEmpty());
    QVERIFY(!s.panel()->findChild<QComboBox *>("TYPE")->isEnabled());
    QVERIFY(!s.panel()->findChild<QPushButton *>("SET")->isEnabled());
    QVERIFY(s.panel()->Editor()->isReadOnly());
}

void tst_qanda::historyText_onlyNewestUnsavedEntryEdited()
{
    const QString text = QStringLiteral("a < b & c ]]> d\nsecond line");
    {
        QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        s.Ask(0, QStringLiteral("q"));
        NumEditor *editor = s.panel()->Editor();
        QVERIFY(!editor->isReadOnly());
        editor->setPlainText(text);
        s.Save();
        // Written, not read back: the entry stays editable, also when chosen again.
        QVERIFY(!editor->isReadOnly());
        s.panel()->QuestionTree()->setCurrentItem(nullptr);
        s.panel()->QuestionTree()->setCurrentItem(s.panel()->QuestionTree()->topLevelItem(0));
        QVERIFY(!editor->isReadOnly());
        QCOMPARE(editor->toPlainText(), text);
    }
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    s.panel()->QuestionTree()->setCurrentItem(s.panel()->QuestionTree()->topLevelItem(0));
    NumEditor *editor = s.panel()->Editor();
    QCOMPARE(editor->toPlainText(), text);
    QVERIFY(editor->isReadOnly());
    setState(s.panel(), 1);
    QVERIFY(!editor->isReadOnly());
    editor->setPlainText(QStringLiteral("progress note"));
    // Choosing the older row keeps the new text in the entry.
    s.panel()->HistoryTree()->setCurrentItem(s.panel()->HistoryTree()->topLevelItem(0));
    QCOMPARE(editor->toPlainText(), text);
    s.panel()->HistoryTree()->setCurrentItem(s.panel()->HistoryTree()->topLevelItem(1));
    QCOMPARE(editor->toPlainText(), QStringLiteral("progress note"));
    s.Save();
    DocCdata reader;
    QList<DocCdataCase *> *entries = reader.LoadIfChanged("k", path("question_1_1.hst"));
    QCOMPARE(entries->size(), 2);
    QCOMPARE(entries->at(0)->Text, text);
    QCOMPARE(entries->at(1)->Text, QStringLiteral("progress note"));
}

void tst_qanda::panel_withoutOwnMember_offersNothing()
{
    QaSession s(m_dir->path(), QStringLiteral("stranger@x"), kTwo);
    QCOMPARE(std::vector<bool>(s.panel()->Enables(), s.panel()->Enables() + 4), std::vector<bool>(4, false));
    s.SelectElement(0);
    s.whenModal<CreateQA>([](CreateQA *d) {
        d->findChild<QLineEdit *>(QStringLiteral("TITLE"))->setText("t");
        d->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    });
    s.panel()->CreateQuestion();
    QCOMPARE(s.panel()->QuestionTree()->topLevelItemCount(), 0);
    s.Save();
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

// Files that are there but not shown: another member's that does not parse, and files of another
// kind under a question or answer file's name (another member's and an own one).
void tst_qanda::unreadableFiles_oneReportNamingEachAndKept()
{
    const QByteArray truncated = "<Root_Question ID=\"2\" MaxID=\"3\"><Quest ID=\"1\"";
    const QByteArray wrong =
        "<Root_Question ID=\"2\" MaxID=\"3\"><Q_Ans ID=\"1\" QuestID=\"1-1\"/></Root_Question>";
    const QByteArray ownWrong = "<Root_Chat><Quest ID=\"1\" Name=\"m1\"/></Root_Chat>";
    writeFile(path("question_2.xml"), truncated);
    writeFile(path("answer_2.xml"), wrong);
    writeFile(path("question_1.xml"), ownWrong);
    {
        QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        QCOMPARE(UiReport::LastTitle(), QStringLiteral("File left out"));
        const QStringList lines = UiReport::LastText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.at(0).startsWith(path("question_1.xml")) && lines.at(0).contains("\"Root_Chat\""),
                 qPrintable(lines.at(0)));
        QVERIFY2(lines.at(1).startsWith(path("question_2.xml")) && lines.at(1).contains("Parse error"),
                 qPrintable(lines.at(1)));
        QVERIFY2(lines.at(2).startsWith(path("answer_2.xml")) && lines.at(2).contains("\"Root_Question\""),
                 qPrintable(lines.at(2)));
        QCOMPARE(s.panel()->QuestionTree()->topLevelItemCount(), 0);
        s.Save();
    }
    QCOMPARE(readFile(path("question_2.xml")), truncated);
    QCOMPARE(readFile(path("answer_2.xml")), wrong);
    QCOMPARE(readFile(path("question_1.xml")), ownWrong);
}

void tst_qanda::manyEntries_newestFirstAndTimeGrowsLinearly_data()
{
    QTest::addColumn<bool>("answers");
    QTest::newRow("question_2.xml") << false;
    QTest::newRow("answer_2.xml") << true;
}

// Another member's file with many entries: the tab opens and closes in time growing with the
// entries, and shows them newest first (ModifyDate, else StartDate), equal dates in file order.
void tst_qanda::manyEntries_newestFirstAndTimeGrowsLinearly()
{
    QFETCH(bool, answers);
    const auto date = [](int i) {
        const QDateTime base(QDate(2024, 1, 1), QTime(0, 0));
        return base.addSecs(60 * ((i * 7919) % 1000)).toString(QStringLiteral("yyyy/MM/dd hh:mm")).toUtf8();
    };
    const auto entry = [&](int i) {
        const QByteArray attr = i % 3 ? "ModifyDate" : "StartDate";
        return " ID=\"" + QByteArray::number(i) + "\" Name=\"m2\" " + attr + "=\"" + date(i) + "\"";
    };
    const auto load = [&](int count) {
        QTemporaryDir dir;
        QByteArray xml =
            answers ? "<Root_Answer ID=\"2\" MaxID=\"1\">" : "<Root_Question ID=\"2\" MaxID=\"1\">";
        for (int i = 1; i <= count; ++i) {
            xml += answers ? "<Q_Ans" + entry(i) + " QuestID=\"1-1\"/>"
                           : "<Quest" + entry(i) + "><ToUser><User ID=\"1\"/></ToUser></Quest>";
        }
        xml += answers ? "</Root_Answer>" : "</Root_Question>";
        writeFile(dir.filePath(answers ? "answer_2.xml" : "question_2.xml"), xml);
        writeFile(dir.filePath("question_1.xml"), "<Root_Question ID=\"1\" MaxID=\"2\"><Quest ID=\"1\" "
                                                  "Name=\"m1\"><ToUser><User ID=\"2\"/></ToUser></Quest>"
                                                  "</Root_Question>");
        QaSession s(dir.path(), QStringLiteral("m1@x"), kTwo);
        QTreeWidgetItem *shown = answers ? s.panel()->QuestionTree()->topLevelItem(0)->child(0)
                                         : s.panel()->AnswerTree()->invisibleRootItem();
        QCOMPARE(shown->childCount(), count);
        if (count > 20000)
            return;
        const QString prefix = answers ? QStringLiteral("A2-") : QStringLiteral("Q2-");
        QList<QPair<QString, int>> expected;
        for (int i = 1; i <= count; ++i)
            expected.append({QString::fromUtf8(date(i)), i});
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto &a, const auto &b) { return a.first > b.first; });
        for (int i = 0; i < count; ++i)
            QCOMPARE(shown->child(i)->text(QandA::ColId), prefix + QString::number(expected.at(i).second));
    };
    verifyScales(load, 2000, 20000);
}

// The interface is Japanese, the files are not: a file holds "QQuestion", and one written with the
// shown text ("質問") before still reads, shows and is saved in the stored form.
void tst_qanda::types_storedUntranslated_shownTranslated_readEitherForm()
{
    QTranslator japanese;
    QVERIFY(japanese.load(QStringLiteral(":/Pelmorine_jp.qm")));
    QCoreApplication::installTranslator(&japanese);
    const auto restore = qScopeGuard([&japanese] { QCoreApplication::removeTranslator(&japanese); });
    writeFile(
        path("question_1.xml"),
        "<Root_Question ID='1' MaxID='2'><Quest ID='1' OwnerID='1' Name='m1' Type='\xe8\xb3\xaa\xe5\x95\x8f' "
        "TITLE='mine' State='-1' StartDate='2026/01/01 10:00'><ToUser/><REFERENCE/></Quest></Root_Question>");
    const QByteArray theirs =
        "<Root_Question ID='2' MaxID='2'><Quest ID='1' OwnerID='2' Name='m2' Type='QRequest' TITLE='yours' "
        "State='-1' StartDate='2026/01/01 11:00'><ToUser><User ID='1'/></ToUser><REFERENCE/></Quest>"
        "</Root_Question>";
    writeFile(path("question_2.xml"), theirs);
    QaSession one(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    QTreeWidgetItem *mine = find(one.panel()->QuestionTree(), QStringLiteral("Q1-1"));
    QTreeWidgetItem *yours = find(one.panel()->AnswerTree(), QStringLiteral("Q2-1"));
    QVERIFY(mine && yours);
    QCOMPARE(mine->text(QandA::ColType), QString::fromUtf8("\xe8\xb3\xaa\xe5\x95\x8f"));  // 質問
    QCOMPARE(yours->text(QandA::ColType), QString::fromUtf8("\xe4\xbe\x9d\xe9\xa0\xbc")); // 依頼
    one.panel()->QuestionTree()->setCurrentItem(mine);
    QCOMPARE(one.panel()->findChild<QComboBox *>(QStringLiteral("TYPE"))->currentIndex(), 0);

    one.Ask(0, QStringLiteral("new"));
    one.panel()->findChild<QTabWidget *>("QATAB")->setCurrentIndex(1);
    answer(one, yours->child(0));
    one.Save();
    QDomDocument saved;
    QVERIFY(saved.setContent(readFile(path("question_1.xml"))));
    QDomElement quest = saved.documentElement().firstChildElement("Quest");
    QStringList types;
    for (; !quest.isNull(); quest = quest.nextSiblingElement("Quest"))
        types << quest.attribute("Type");
    QCOMPARE(types, QStringList({"QQuestion", "QQuestion"}));
    QCOMPARE(root(path("answer_1.xml")).firstChildElement("Q_Ans").attribute("Type"),
             QStringLiteral("Answer"));
    QCOMPARE(readFile(path("question_2.xml")), theirs);
}

// The panel first shown as a later tab of a 1280x1024 screen (less the main window's menu and
// status bars) has room for the history text; a member added meanwhile can be addressed.
void tst_qanda::firstShow_textPaneHigh_newMemberAddressable()
{
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *tabs = new QTabWidget;
        layout->addWidget(tabs);
        tabs->addTab(new QWidget, QStringLiteral("Instance"));
        tabs->addTab(s.panel(), QStringLiteral("QandA"));
        connect(tabs, &QTabWidget::currentChanged, s.panel(), [&s](int index) {
            if (index == 1)
                s.panel()->AdjustLayout();
        });
        window.resize(1280, 1024 - 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tabs->setCurrentIndex(1);
        auto *text = s.panel()->findChild<QTabWidget *>(QStringLiteral("EXTAB"));
        QTRY_VERIFY2(text->height() >= 100, qPrintable(QString::number(text->height())));
        QVERIFY(s.panel()->findChild<QWidget *>(QStringLiteral("FIELDS"))->height() > 0);
        tabs->removeTab(1);
        s.panel()->setParent(nullptr);
    }

    s.Ask(0, QStringLiteral("q"), {2});
    s.AddMember(3, QStringLiteral("m3@x"));
    QStringList listed;
    s.whenModal<ToUserDialog>([&listed](ToUserDialog *d) {
        for (int i = 0; i < d->Count(); ++i)
            listed << d->Entry(i)->text();
        QaSession::CheckAndOk(d, {2, 3});
    });
    s.panel()->UserListClicked();
    QCOMPARE(listed, (QStringList{"m1", "m2", "m3"}));
    QTreeWidgetItem *q = s.panel()->QuestionTree()->topLevelItem(0);
    QCOMPARE(q->childCount(), 2);
    QCOMPARE(q->child(1)->text(QandA::ColUser), QStringLiteral("m3"));
}

// A question's history near its reader's limit: a text that would pass it is refused at the save
// and stays in the editor with its row chosen; one "]]>" less is written and reads back whole.
void tst_qanda::historyText_pastReaderLimit_refusedKeptInEditor()
{
    writeFile(path("question_1.xml"), "<Root_Question ID=\"1\" MaxID=\"2\"><Quest ID=\"1\" OwnerID=\"1\" "
                                      "Name=\"m1\" TITLE=\"t\" State=\"-1\"><ToUser/><REFERENCE/></Quest>"
                                      "</Root_Question>");
    // Room for a state's entry whose text holds "]]>" twice.
    const qint64 count =
        DocCdata::MaxHistoryNodes - HistoryFile::OneEntryNodes(1, 0) - HistoryFile::EntryNodes(1, 2);
    const QString history = path("question_1_1.hst");
    writeFile(history, HistoryFile::OneEntry(1, count));
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    QandA *p = s.panel();
    QTreeWidgetItem *q = p->QuestionTree()->topLevelItem(0);
    p->QuestionTree()->setCurrentItem(q);
    setState(p, 1);
    QCOMPARE(p->HistoryTree()->topLevelItemCount(), 2);
    NumEditor *editor = p->Editor();
    const QString refused = QStringLiteral("a]]>b]]>c]]>d");
    editor->setPlainText(refused);
    s.Save();
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("Text not saved"));
    QVERIFY2(UiReport::LastText().contains(history) && UiReport::LastText().contains("stays in the editor"),
             qPrintable(UiReport::LastText()));
    QVERIFY(s.GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(editor->toPlainText(), refused);
    QVERIFY(editor->IsModified());
    // Leaving the question, its tab or the entry keeps them chosen, the text in the editor.
    auto *tabs = p->findChild<QTabWidget *>("QATAB");
    const std::function<void()> leave[] = {
        [p] { p->QuestionTree()->setCurrentItem(nullptr); }, [tabs] { tabs->setCurrentIndex(1); },
        [p] { p->HistoryTree()->setCurrentItem(p->HistoryTree()->topLevelItem(0)); }};
    for (const auto &away : leave) {
        UiReport::ClearLast();
        away();
        QCOMPARE(p->QuestionTree()->currentItem(), q);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(p->HistoryTree()->currentItem(), p->HistoryTree()->topLevelItem(1));
        QCOMPARE(editor->toPlainText(), refused);
        QCOMPARE(UiReport::LastTitle(), QStringLiteral("Text not saved"));
    }
    {
        DocCdata reader;
        QList<DocCdataCase *> *entries = reader.LoadIfChanged("k", history);
        QCOMPARE(entries->size(), 2);
        QVERIFY(entries->at(1)->Text.isEmpty());
    }
    const QString taken = QStringLiteral("a]]>b]]>c");
    editor->setPlainText(taken);
    s.Save();
    QVERIFY(!editor->IsModified());
    DocCdata reader;
    QList<DocCdataCase *> *entries = reader.LoadIfChanged("k", history);
    QCOMPARE(entries->size(), 2);
    QCOMPARE(entries->at(1)->Text, taken);
    QCOMPARE(entries->at(0)->Text.size(), 3 * count);
}

void tst_qanda::ownFile_oneValueEdited_unreadPartsKeptInPlace_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("edit");
    // Addressee 2 is read; "x" is no number and member 9 is unknown, so both are left as they are.
    const QByteArray question =
        "<Root_Question ID=\"1\" MaxID=\"2\"><!-- root note -->"
        "<Quest ID=\"1\" OwnerID=\"1\" Name=\"m1\" TITLE=\"old\" State=\"-1\" Type=\"QQuestion\">"
        "<!-- quest note --><ToUser Mode=\"cc\"><!-- to note --><User ID=\"2\" Seen=\"yes\"/><Cc "
        "Who=\"boss\"/>"
        "<User ID=\"x\"/><User ID=\"9\" Old=\"1\"><!-- gone --></User></ToUser><Extra Keep=\"1\"/>"
        "<REFERENCE Kind=\"web\"><REF TITLE=\"a\" URL=\"u\" Lang=\"en\"/><Note>n</Note><!-- ref note -->"
        "<REF TITLE=\"b[$$]c\" URL=\"v\"/></REFERENCE></Quest></Root_Question>";
    const QByteArray answer =
        "<Root_Answer ID=\"1\" MaxID=\"2\"><Q_Ans ID=\"1\" QuestID=\"2-1\" Name=\"m1\" State=\"-1\" "
        "Type=\"Answer\"><!-- answer note --><ToUser Odd=\"1\"><User ID=\"2\"/></ToUser>"
        "<REFERENCE Kind=\"web\"><Note/><REF TITLE=\"a\" URL=\"u\" Lang=\"en\"/></REFERENCE><Extra/></Q_Ans>"
        "</Root_Answer>";
    QTest::newRow("question title") << QStringLiteral("question_1.xml") << question << 0;
    QTest::newRow("question addressee added") << QStringLiteral("question_1.xml") << question << 1;
    QTest::newRow("answer type") << QStringLiteral("answer_1.xml") << answer << 2;
}

// Another member's program wrote more into the own file than this one reads: one value edited and
// saved, all of it is still there, in its place.
void tst_qanda::ownFile_oneValueEdited_unreadPartsKeptInPlace()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, edit);
    writeFile(path(file), content);
    writeFile(path("question_2.xml"), "<Root_Question ID=\"2\" MaxID=\"2\"><Quest ID=\"1\" OwnerID=\"2\" "
                                      "Name=\"m2\" TITLE=\"theirs\"><ToUser><User ID=\"1\"/></ToUser>"
                                      "</Quest></Root_Question>");
    QDomDocument expected;
    QVERIFY(expected.setContent(content));
    QDomElement entry = expected.documentElement().firstChildElement();
    {
        QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        QandA *p = s.panel();
        if (edit == 2) {
            p->findChild<QTabWidget *>("QATAB")->setCurrentIndex(1);
            QTreeWidgetItem *a = find(p->AnswerTree(), QStringLiteral("A1-1"));
            QVERIFY(a);
            p->AnswerTree()->setCurrentItem(a);
            p->findChild<QComboBox *>(QStringLiteral("TYPE"))->setCurrentIndex(1);
            entry.setAttribute("Type", "Confirmation");
        } else {
            p->QuestionTree()->setCurrentItem(p->QuestionTree()->topLevelItem(0));
            if (edit == 0) {
                // Typed: a title set by the program is no edit.
                auto *title = p->findChild<QWidget *>("FIELDS")->findChild<QLineEdit *>("TITLE");
                title->clear();
                QTest::keyClicks(title, QStringLiteral("new"));
                entry.setAttribute("TITLE", "new");
            } else {
                s.whenModal<ToUserDialog>([](ToUserDialog *d) { QaSession::CheckAndOk(d, {1, 2}); });
                p->UserListClicked();
                QDomElement to = entry.firstChildElement("ToUser");
                QDomElement one = expected.createElement("User");
                one.setAttribute("ID", "1");
                to.insertBefore(one, to.firstChildElement("User"));
            }
        }
        QVERIFY(s.GetBoolVar(RegSlot::FlagQandAModified));
        s.Save();
    }
    QDomDocument saved;
    QVERIFY(saved.setContent(readFile(path(file))));
    QCOMPARE(domText(saved.documentElement()), domText(expected.documentElement()));
}

void tst_qanda::ownFile_linkEdited_REFKeepsWhatItHeld_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("references");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    const QString one = "<REFERENCE Kind='web'><!--links--><REF TITLE='a' URL='u' Lang='en'><Note/></REF>"
                        "<!--about a--><REF TITLE='b' URL='v'/><!--about b--></REFERENCE>";
    QTest::newRow("renamed in the pane")
        << "question_1.xml" << one << "rename" << 0
        << "<REFERENCE Kind='web'><!--links--><REF TITLE='A' URL='u2' Lang='en'><Note/></REF>"
           "<!--about a--><REF TITLE='b' URL='v'/><!--about b--></REFERENCE>";
    QTest::newRow("deleted in the pane")
        << "question_1.xml" << one << "delete" << 0
        << "<REFERENCE Kind='web'><!--links--><REF TITLE='b' URL='v'/><!--about b--></REFERENCE>";
    QTest::newRow("deleted in the list")
        << "question_1.xml" << one << "list delete" << 0
        << "<REFERENCE Kind='web'><!--links--><REF TITLE='b' URL='v'/><!--about b--></REFERENCE>";
    QTest::newRow("added after a rename")
        << "question_1.xml" << one << "rename add" << 1
        << "<REFERENCE Kind='web'><!--links--><REF TITLE='a' URL='u' Lang='en'><Note/></REF>"
           "<!--about a--><REF TITLE='A' URL='u2'/><!--about b--><REF TITLE='n' URL='w'/></REFERENCE>";
    const QString two = "<REFERENCE><REF TITLE='a' URL='u'/></REFERENCE><REFERENCE Kind='more'><!--head-->"
                        "<REF TITLE='b' URL='v' Lang='en'><Note/></REF><!--about b--></REFERENCE>";
    QTest::newRow("renamed in a second list")
        << "question_1.xml" << two << "rename" << 1
        << "<REFERENCE><REF TITLE='a' URL='u'/></REFERENCE><REFERENCE Kind='more'><!--head-->"
           "<REF TITLE='A' URL='u2' Lang='en'><Note/></REF><!--about b--></REFERENCE>";
    QTest::newRow("answer renamed")
        << "answer_1.xml"
        << "<REFERENCE><REF TITLE='a' URL='u' Lang='en'/><!--about a--></REFERENCE>"
        << "rename" << 0 << "<REFERENCE><REF TITLE='A' URL='u2' Lang='en'/><!--about a--></REFERENCE>";
}

// A link of an own question or answer renamed in the links pane lost what its REF held besides its
// title and address; one deleted left behind what followed it.
void tst_qanda::ownFile_linkEdited_REFKeepsWhatItHeld()
{
    QFETCH(QString, file);
    QFETCH(QString, references);
    QFETCH(QString, action);
    QFETCH(int, row);
    QFETCH(QString, expected);
    const bool answerFile = file.startsWith("answer");
    writeFile(path("question_1.xml"),
              "<Root_Question ID='1' MaxID='2'><Quest ID='1' OwnerID='1' Name='m1' "
              "TITLE='q' State='-1' Type='QQuestion'><ToUser><User ID='2'/></ToUser>" +
                  (answerFile ? QString() : references).toUtf8() + "</Quest></Root_Question>");
    writeFile(path("question_2.xml"),
              "<Root_Question ID='2' MaxID='2'><Quest ID='1' OwnerID='2' Name='m2' "
              "TITLE='theirs'><ToUser><User ID='1'/></ToUser></Quest></Root_Question>");
    if (answerFile)
        writeFile(path("answer_1.xml"), "<Root_Answer ID='1' MaxID='2'><Q_Ans ID='1' QuestID='2-1' Name='m1' "
                                        "State='-1' Type='Answer'>" +
                                            references.toUtf8() + "</Q_Ans></Root_Answer>");
    {
        QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
        QandA *p = s.panel();
        QTreeWidget *tree = p->QuestionTree();
        if (answerFile) {
            p->findChild<QTabWidget *>("QATAB")->setCurrentIndex(1);
            tree = p->AnswerTree();
        }
        QTreeWidgetItem *entry = find(tree, answerFile ? "A1-1" : "Q1-1");
        QVERIFY(entry);
        tree->setCurrentItem(entry);
        auto *pane = p->findChild<refurl *>();
        auto *links = pane->findChild<QTreeWidget *>();
        QCOMPARE(links->topLevelItemCount(), 2 - int(answerFile));
        links->setCurrentItem(links->topLevelItem(row));
        if (action.startsWith("rename")) {
            pane->ModRefferenceUrl();
            enterLink("A", "u2");
        } else if (action == "delete") {
            answerNextBox("OK");
            pane->DelRefferenceUrl();
        } else {
            s.whenModal<HtmlList>([row](HtmlList *d) {
                auto *list = d->findChild<QTreeWidget *>("TREE");
                list->setCurrentItem(list->topLevelItem(row));
                answerNextBox("OK");
                d->findChild<QPushButton *>("DEL")->click();
                d->findChild<QPushButton *>("CLOSE")->click();
            });
            p->HtmlProc();
        }
        if (action.endsWith("add")) {
            pane->AddRefferenceUrl();
            enterLink("n", "w");
        }
        QVERIFY(s.GetBoolVar(RegSlot::FlagQandAModified));
        // The row keeps the edited element: every save writes the same.
        for (int save = 0; save < 2; ++save) {
            s.Save();
            QDomDocument want;
            QVERIFY(want.setContent("<E>" + expected + "</E>"));
            QCOMPARE(referencesText(root(path(file)).firstChildElement()),
                     referencesText(want.documentElement()));
        }
    }
    // Read back, the links are the ones the user left.
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    QTreeWidget *tree = answerFile ? s.panel()->AnswerTree() : s.panel()->QuestionTree();
    QTreeWidgetItem *entry = find(tree, answerFile ? "A1-1" : "Q1-1");
    QVERIFY(entry);
    QStringList shown;
    QDomDocument want;
    QVERIFY(want.setContent("<E>" + expected + "</E>"));
    for (QDomElement r = want.documentElement().firstChildElement(); !r.isNull(); r = r.nextSiblingElement())
        shown << ReferenceFiles::ReadLinks(r, "[$$]");
    QCOMPARE(QandA::RecordOf(entry)->Links(), shown);
}

void tst_qanda::newItem_leftoverFiles_takesNumberNoFileUses_data()
{
    QTest::addColumn<bool>("answers");
    QTest::addColumn<QStringList>("leftovers"); // a name ending in "/" is a folder
    QTest::addColumn<QString>("expected");
    QTest::newRow("question history") << false << QStringList{"question_1_1.hst"} << "Q1-2";
    QTest::newRow("question write that never ended")
        << false << QStringList{".question_1_1.hst.x1.pelmorine-tmp", "question_1_2.hst"} << "Q1-3";
    QTest::newRow("question reference folder") << false << QStringList{"REFERENCE/QUESTION/1/1/"} << "Q1-2";
    QTest::newRow("name in other case") << false << QStringList{"Question_1_1.HST"} << "Q1-2";
    QTest::newRow("number beyond nine digits") << false << QStringList{"question_1_4294967297.hst"} << "Q1-1";
    QTest::newRow("answer history") << true << QStringList{"answer_2_1.hst"} << "A2-2";
}

// The question file counts no question, but a failed write or another program left the history of
// number 1: the new question showed that history's entries, and its own first entry was in no file.
void tst_qanda::newItem_leftoverFiles_takesNumberNoFileUses()
{
    QFETCH(bool, answers);
    QFETCH(QStringList, leftovers);
    QFETCH(QString, expected);
    const QByteArray old = "<Root_Instance MaxID=\"1\"><CASE ID=\"1\" TYPE=\"2\" NAME=\"gone\" "
                           "DATETIME=\"2020/01/01 10:00\"><![CDATA[old]]></CASE></Root_Instance>";
    for (const QString &name : leftovers) {
        if (name.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(path(name)));
        else
            writeFile(path(name), old);
    }
    writeFile(path("question_1.xml"),
              answers ? "<Root_Question ID=\"1\" MaxID=\"2\"><Quest ID=\"1\" OwnerID=\"1\" Name=\"m1\" "
                        "Type=\"QQuestion\" TITLE=\"t\" State=\"-1\" StartDate=\"2026/01/01 10:00\" "
                        "InstID=\"1-5\"><ToUser><User ID=\"2\"/></ToUser><REFERENCE/></Quest></Root_Question>"
                      : "<Root_Question ID=\"1\" MaxID=\"1\"/>");
    QaSession s(m_dir->path(), answers ? QStringLiteral("m2@x") : QStringLiteral("m1@x"), kTwo);
    QTreeWidgetItem *made = nullptr;
    if (answers) {
        QTreeWidgetItem *q = s.panel()->AnswerTree()->topLevelItem(0);
        QVERIFY(q);
        s.panel()->findChild<QTabWidget *>("QATAB")->setCurrentIndex(1);
        answer(s, q->child(0));
        made = q->child(0)->child(0);
    } else {
        s.Ask(0, QStringLiteral("new"));
        made = s.panel()->QuestionTree()->topLevelItem(0);
    }
    QVERIFY(made);
    QCOMPARE(made->text(QandA::ColId), expected);
    s.panel()->QuestionTree()->setCurrentItem(nullptr);
    s.panel()->AnswerTree()->setCurrentItem(nullptr);
    made->treeWidget()->setCurrentItem(made);
    QCOMPARE(s.panel()->HistoryTree()->topLevelItemCount(), 1);
    QVERIFY(s.panel()->Editor()->toPlainText().isEmpty());
    s.Save();
    const QString history = s.panel()->HistoryPath(expected);
    const QDomElement hr = root(history);
    QCOMPARE(hr.elementsByTagName("CASE").size(), 1);
    QCOMPARE(hr.firstChildElement("CASE").attribute("TYPE"), QStringLiteral("-1"));
    for (const QString &name : leftovers) {
        if (!name.endsWith(QLatin1Char('/')))
            QCOMPARE(readFile(path(name)), old);
    }
    const int next = expected.section(QLatin1Char('-'), 1).toInt() + 1;
    QCOMPARE(answers ? s.member(2)->AnswerMaxID : s.member(1)->QuestionMaxID, next);
}

// A question made in this session has its history only in memory until the save: no file holds its
// number. A counter behind it (a question file whose MaxID lags, as another program of the user
// may write it) gave the next question the same number, and both shared one history.
void tst_qanda::newQuestion_counterBehindUnsavedQuestion_takesTheNextNumber()
{
    writeFile(path("question_1.xml"), "<Root_Question ID=\"1\" MaxID=\"1\"/>");
    QaSession s(m_dir->path(), QStringLiteral("m1@x"), kTwo);
    s.Ask(0, QStringLiteral("first"));
    QTreeWidgetItem *first = s.panel()->QuestionTree()->topLevelItem(0);
    QVERIFY(first);
    QCOMPARE(first->text(QandA::ColId), QStringLiteral("Q1-1"));
    QVERIFY(!QFileInfo::exists(s.panel()->HistoryPath(QStringLiteral("Q1-1"))));
    s.member(1)->QuestionMaxID = 1;
    s.Ask(0, QStringLiteral("second"));
    QCOMPARE(s.panel()->QuestionTree()->topLevelItemCount(), 2);
    QCOMPARE(s.panel()->QuestionTree()->topLevelItem(0)->text(QandA::ColId), QStringLiteral("Q1-2"));
    QCOMPARE(s.member(1)->QuestionMaxID, 3);
    s.Save();
    for (const QString &id : {QStringLiteral("Q1-1"), QStringLiteral("Q1-2")})
        QCOMPARE(root(s.panel()->HistoryPath(id)).elementsByTagName("CASE").size(), 1);
}

QTEST_MAIN(tst_qanda)
#include "tst_qanda.moc"
