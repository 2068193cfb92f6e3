#include "core/treeitemdata.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace
{
struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    Program() { QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000); }
    ~Program() { delete window; }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
};

int leftMargin(const NumEditor &editor)
{
    return editor.viewport()->geometry().left() - editor.contentsRect().left();
}

int nineWidth(const NumEditor &editor)
{
    return QFontMetrics(editor.font()).horizontalAdvance(QLatin1Char('9'));
}
} // namespace

class tst_numeditor : public QObject
{
    Q_OBJECT
private slots:
    void gutter_widthFollowsDigits();
    void currentLine_highlightedUnlessReadOnly();
    void numberToggle_eachSideMirrorsWithoutLooping();
    void copyCutPaste_availability();
    void activeEditor_reportsUndoRedoUnavailable();
    void change_notifiesOnceAndMarksRecord();
    void change_whileBusy_isNotAnEdit();
    void markers_countedForTemplateEditor();
    void errorMsg_readOnlyCopySelectAll();
    void errorMsg_reportsOfOneActionKeptTogetherUntilDismissed();
};

void tst_numeditor::gutter_widthFollowsDigits()
{
    RegistryScope scope;
    NumEditor editor;
    QCOMPARE(editor.lineNumberAreaWidth(), 0);
    editor.SetMenuRequest(true);
    editor.SetNumber(true);
    QVERIFY(editor.NumberMode());
    QCOMPARE(editor.lineNumberAreaWidth(), 3 + nineWidth(editor));
    editor.setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9"));
    QCOMPARE(editor.lineNumberAreaWidth(), 3 + nineWidth(editor));
    editor.appendPlainText(QStringLiteral("10"));
    QCOMPARE(editor.blockCount(), 10);
    QCOMPARE(editor.lineNumberAreaWidth(), 3 + 2 * nineWidth(editor));
    QCOMPARE(leftMargin(editor), 3 + 2 * nineWidth(editor));
    // Without a pending request from the main window a call changes nothing.
    editor.SetNumber(false);
    QVERIFY(editor.NumberMode());
    editor.MenuAction(6)->setChecked(false);
    QVERIFY(!editor.NumberMode());
    QCOMPARE(leftMargin(editor), 0);
}

void tst_numeditor::currentLine_highlightedUnlessReadOnly()
{
    RegistryScope scope;
    NumEditor editor;
    editor.setPlainText(QStringLiteral("one\ntwo"));
    editor.SetCursorPos(5);
    QCOMPARE(editor.extraSelections().size(), 1);
    const auto selection = editor.extraSelections().first();
    QCOMPARE(selection.format.background().color(), QColor(240, 239, 183, 200));
    QVERIFY(selection.format.property(QTextFormat::FullWidthSelection).toBool());
    QCOMPARE(selection.cursor.block().text(), QStringLiteral("two"));
    editor.setReadOnly(true);
    editor.SetCursorPos(0);
    QVERIFY(editor.extraSelections().isEmpty());
}

void tst_numeditor::numberToggle_eachSideMirrorsWithoutLooping()
{
    Program p;
    NumEditor editor;
    editor.SetActiveEditor();
    // The editor's own menu: the main window follows without acting on it.
    editor.MenuAction(6)->setChecked(true);
    QVERIFY(editor.NumberMode());
    QVERIFY(p.window->IsNumberChecked());
    QVERIFY(!editor.TakeActionSyncMark());
    // The main window's menu: the editor follows, its own action too, once.
    p.action("actionNumber")->setChecked(false);
    QVERIFY(!editor.NumberMode());
    QVERIFY(!editor.MenuAction(6)->isChecked());
    p.action("actionNumber")->setChecked(true);
    QVERIFY(editor.NumberMode());
    QVERIFY(editor.MenuAction(6)->isChecked());
    // A later own toggle is not swallowed by a leftover request.
    editor.MenuAction(6)->setChecked(false);
    QVERIFY(!editor.NumberMode());
    QVERIFY(!p.window->IsNumberChecked());

    // Another editor with line numbers off becoming current unchecks the main action only.
    NumEditor other;
    editor.MenuAction(6)->setChecked(true);
    other.SetActiveEditor();
    QVERIFY(!p.window->IsNumberChecked());
    QVERIFY(editor.NumberMode());
    QVERIFY(!other.NumberMode());
    // Toggling the editor that is not current leaves the current one and the main action alone.
    editor.MenuAction(6)->setChecked(false);
    editor.MenuAction(6)->setChecked(true);
    QVERIFY(!other.NumberMode());
    QVERIFY(!p.window->IsNumberChecked());
    QCOMPARE(p.GetObj<NumEditor>(RegSlot::ObjCurrentEditor), &other);
    p.action("actionNumber")->setChecked(true);
    QVERIFY(other.NumberMode());
    editor.MenuAction(6)->setChecked(false);
    QVERIFY(other.NumberMode());
    QVERIFY(p.window->IsNumberChecked());
    editor.SetActiveEditor();
    QVERIFY(!p.window->IsNumberChecked());
}

void tst_numeditor::copyCutPaste_availability()
{
    Program p;
    QApplication::clipboard()->clear();
    NumEditor editor;
    editor.setPlainText(QStringLiteral("hello"));
    editor.SetActiveEditor();
    QVERIFY(!p.action("actionCopy")->isEnabled());
    editor.selectAll();
    QVERIFY(p.action("actionCopy")->isEnabled());
    QVERIFY(p.action("actionCut")->isEnabled());
    QVERIFY(editor.MenuAction(2)->isEnabled());
    p.window->EnableEditAction(5, false);
    p.action("actionCut")->trigger();
    QVERIFY(editor.toPlainText().isEmpty());
    QVERIFY(p.action("actionPaste")->isEnabled());
    QVERIFY(editor.MenuAction(4)->isEnabled());
    p.window->EnableEditAction(5, false);
    editor.SetActiveEditor();
    QVERIFY(p.action("actionPaste")->isEnabled());
    p.action("actionPaste")->trigger();
    QCOMPARE(editor.toPlainText(), QStringLiteral("hello"));

    QApplication::clipboard()->clear();
    NumEditor readOnly;
    readOnly.setPlainText(QStringLiteral("fixed"));
    readOnly.setReadOnly(true);
    readOnly.selectAll();
    readOnly.ActionCopy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("fixed"));
    QVERIFY(!readOnly.MenuAction(4)->isEnabled());
}

void tst_numeditor::activeEditor_reportsUndoRedoUnavailable()
{
    Program p;
    NumEditor editor;
    editor.SetActiveEditor();
    editor.insertPlainText(QStringLiteral("typed"));
    QVERIFY(p.action("actionUndo")->isEnabled());
    editor.SetActiveEditor();
    QVERIFY(!p.action("actionUndo")->isEnabled());
    QVERIFY(!p.action("actionredo")->isEnabled());
    QVERIFY(p.action("actionSelect_ALL")->isEnabled());
    QCOMPARE(p.GetObj<NumEditor>(RegSlot::ObjCurrentEditor), &editor);
    editor.ClearText();
    QVERIFY(editor.toPlainText().isEmpty());
    QVERIFY(!editor.MenuAction(0)->isEnabled());
}

void tst_numeditor::change_notifiesOnceAndMarksRecord()
{
    RegistryScope scope;
    NumEditor editor;
    editor.SetKind(1);
    TreeItemData record;
    editor.SetEditItem(&record);
    // Owners load with the update flag set and the undo history off.
    scope.SetBoolVar(RegSlot::FlagUpdating, true);
    editor.UndoRedoOff();
    editor.setPlainText(QStringLiteral("loaded"));
    editor.UndoRedoOn();
    scope.SetBoolVar(RegSlot::FlagUpdating, false);
    editor.ClearModified();
    QVERIFY(!editor.IsModified());
    QVERIFY(!record.TextChanged());
    QSignalSpy changes(editor.document(), &QTextDocument::modificationChanged);
    editor.insertPlainText(QStringLiteral("a"));
    editor.insertPlainText(QStringLiteral("b"));
    QCOMPARE(changes.count(), 1);
    QVERIFY(editor.IsModified());
    QVERIFY(record.TextChanged());
    editor.ClearModified();
    QVERIFY(!editor.IsModified());
    editor.insertPlainText(QStringLiteral("c"));
    QCOMPARE(changes.count(), 3); // false from ClearModified, then true for the next edit

    // Kinds that notify nobody leave the record alone.
    NumEditor other;
    TreeItemData otherRecord;
    other.SetEditItem(&otherRecord);
    other.insertPlainText(QStringLiteral("x"));
    QVERIFY(other.IsModified());
    QVERIFY(!otherRecord.TextChanged());
}

void tst_numeditor::change_whileBusy_isNotAnEdit()
{
    RegistryScope scope;
    NumEditor editor;
    editor.SetKind(8);
    TreeItemData record;
    editor.SetEditItem(&record);
    scope.SetBoolVar(RegSlot::FlagBusy, true);
    editor.insertPlainText(QStringLiteral("loaded"));
    scope.SetBoolVar(RegSlot::FlagBusy, false);
    QVERIFY(!editor.IsModified());
    QVERIFY(!editor.document()->isModified());
    QVERIFY(!record.TextChanged());
}

void tst_numeditor::markers_countedForTemplateEditor()
{
    RegistryScope scope;
    NumEditor editor;
    QHash<QString, int> counts{{QStringLiteral("$Var[3]"), 0}, {QStringLiteral("$Seq[12]"), 0}};
    editor.SetVarHash(&counts);
    editor.setPlainText(QStringLiteral("$Var[3] $Seq[12] $Var[3] $Vars[1] $Var[x] $Var[7]"));
    editor.CheckMarkers();
    QCOMPARE(counts.value(QStringLiteral("$Var[3]")), 0); // marker check off
    editor.SetMarkerCheck(1);
    editor.CheckMarkers();
    QCOMPARE(counts.value(QStringLiteral("$Var[3]")), 2);
    QCOMPARE(counts.value(QStringLiteral("$Seq[12]")), 1);
    QVERIFY(!counts.contains(QStringLiteral("$Var[7]")));
    editor.SetKind(8);
    editor.selectAll();
    editor.ActionCut();
    QCOMPARE(counts.value(QStringLiteral("$Var[3]")), 0);
}

void tst_numeditor::errorMsg_readOnlyCopySelectAll()
{
    Program p;
    ErrorMsg msg;
    QCOMPARE(p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg), &msg);
    msg.SetMsg(QStringLiteral("Report"), QStringLiteral("line one\nline two"));
    msg.ShowMsg();
    auto *edit = msg.findChild<QPlainTextEdit *>(QStringLiteral("PEDIT"));
    QVERIFY(edit->isReadOnly());
    QVERIFY(msg.isModal());
    QCOMPARE(msg.windowTitle(), QStringLiteral("Report"));
    QVERIFY(!msg.CopyAction()->isEnabled());
    QVERIFY(msg.SelectAllAction()->isEnabled());
    msg.SelectAllAction()->trigger();
    QVERIFY(msg.CopyAction()->isEnabled());
    msg.CopyAction()->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("line one\nline two"));
    QTest::keyClicks(edit, QStringLiteral("typed"));
    QCOMPARE(msg.Text(), QStringLiteral("line one\nline two"));
    msg.findChild<QPushButton *>(QStringLiteral("OK"))->click();
    QVERIFY(!msg.isVisible());
    QCOMPARE(msg.result(), int(QDialog::Accepted));
}

// One open refused two texts and the second report wiped the first: reports made while the window
// is up stay together, each once, up to a count; the next action after OK starts afresh.
void tst_numeditor::errorMsg_reportsOfOneActionKeptTogetherUntilDismissed()
{
    Program p;
    QString longText;
    for (int i = 0; i < 200; ++i)
        longText += QStringLiteral("line %1\n").arg(i);
    p.window->ShowErrorMsg(QStringLiteral("File error"), QStringLiteral("a.txt refused"));
    auto *msg = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(msg->isVisible());
    p.window->ShowErrorMsg(QStringLiteral("File error"), longText);
    p.window->ShowErrorMsg(QStringLiteral("File error"), QStringLiteral("a.txt refused"));
    p.window->SystemErrorBox(QStringLiteral("boom"));
    QCOMPARE(msg->windowTitle(), QStringLiteral("File error"));
    QCOMPARE(msg->Text(), "a.txt refused\n" + longText + "\nSystem Error: boom");
    auto *edit = msg->findChild<QPlainTextEdit *>(QStringLiteral("PEDIT"));
    QCOMPARE(edit->textCursor().position(), 0);
    QCOMPARE(edit->verticalScrollBar()->value(), 0);
    const QPoint centre = p.window->geometry().center();
    QCOMPARE(msg->pos(), QPoint(centre.x() - msg->width() / 2, centre.y() - msg->height() / 2));
    for (int i = 3; i < ErrorMsg::MaxReports + 5; ++i)
        p.window->ShowErrorMsg(QStringLiteral("File error"), QStringLiteral("file %1").arg(i));
    const QStringList lines = msg->Text().split('\n');
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("file %1").arg(ErrorMsg::MaxReports - 1));
    QCOMPARE(lines.last(), QStringLiteral("... and 5 more report(s)"));
    msg->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    p.window->ShowErrorMsg(QStringLiteral("Next"), QStringLiteral("a.txt refused"));
    QCOMPARE(msg->windowTitle(), QStringLiteral("Next"));
    QCOMPARE(msg->Text(), QStringLiteral("a.txt refused"));
    msg->close();
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_numeditor test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_numeditor.moc"
