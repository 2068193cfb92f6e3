#include "core/textfiles.h"
#include "docs/instancedocument.h"
#include "openedprogram.h"
#include "shell/errormsg.h"
#include "shell/numeditor.h"

#include <QTabWidget>
#include <QTemporaryDir>

using namespace TestSupport;

// Texts the editors show whose files are refused when the workspace opens.
class tst_refusedtexts : public QObject
{
    Q_OBJECT
private slots:
    void open_twoTextsRefused_bothNamedEditorsReadOnlyUntilReadAgain();
};

// An open that refused a chapter text and an explanation named only the last of them, and both
// editors took typing that every save then refused to write. Both are named when the open is
// done; the editors take no typing and show why, until the files are read again.
void tst_refusedtexts::open_twoTextsRefused_bothNamedEditorsReadOnlyUntilReadAgain()
{
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    QString error;
    QVERIFY(WorkspaceGen::Generate(WorkspaceGen::Size::Small(), dir.path() + "/ws", &ws, &error));
    // The first chapter, shown at the open, tells of the running user's first element.
    writeFile(
        ws.instanceDir + "/DocInstance.xml",
        "<Root_InstanceDoc MaxID='2'><Chapter No='1.' Name='a' ID='1' InstID='0-1'/></Root_InstanceDoc>");
    const QStringList texts{ws.instanceDir + "/DocInstance_1.txt", ws.instanceDir + "/instance_0_1.txt"};
    for (const QString &path : texts)
        writeSparse(path, TextFiles::MaxTextBytes + 1);
    auto program = std::make_unique<OpenedProgram>();
    // Reports go to the program's own window, which held one report at a time.
    UiReport::Install(program->window);
    QVERIFY(program->Open(ws));
    auto *errors = program->GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && errors->isVisible());
    for (const QString &path : texts)
        QVERIFY2(errors->Text().contains(path + " holds 9 MB"), qPrintable(errors->Text()));
    errors->close();

    // The chapter's text and the element's explanation in the instance tab, each with its file.
    const auto editors = [&program, &texts] {
        OpenedProgram &p = *program;
        p.tab()->SelectTreeItem("0-1");
        auto *area = p.tab()->findChild<QTabWidget *>("CLASSTAB");
        return QList<QPair<NumEditor *, QString>>{
            {p.GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument)->TextEditor(), texts.at(0)},
            {qobject_cast<NumEditor *>(area->widget(3)), texts.at(1)}};
    };
    for (const auto &shown : editors()) {
        QVERIFY(shown.first->isEnabled() && shown.first->isReadOnly());
        QVERIFY2(shown.first->placeholderText().startsWith(shown.second), qPrintable(shown.second));
    }
    program->SaveEverythingOwn();
    QVERIFY2(!program->reports.join('\n').contains("not written over"),
             qPrintable(program->reports.join('\n')));

    // Replaced by texts an editor can show and read again, the files are edited as any other. The
    // process is the same: what the first program refused stays noted until read again.
    program->window->CloseWorkspace();
    program.reset();
    program.reset(new OpenedProgram);
    for (const QString &path : texts)
        writeFile(path, "text");
    QVERIFY(program->Open(ws));
    for (const auto &shown : editors()) {
        QVERIFY(shown.first->placeholderText().isEmpty());
        QTest::keyClicks(shown.first, "typed ");
        QCOMPARE(shown.first->toPlainText(), QStringLiteral("typed text"));
    }
}

QTEST_MAIN(tst_refusedtexts)
#include "tst_refusedtexts.moc"
