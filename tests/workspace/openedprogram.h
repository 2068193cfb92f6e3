#pragma once

// The whole program with a generated workspace opened in it, as the open-instance dialog leaves
// it: message boxes are answered and kept, reports of the store are kept too.

#include "core/globalvar.h"
#include "core/uireport.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "testsupport_widgets.h"
#include "workspacegen.h"

#include <QApplication>
#include <QDirIterator>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace TestSupport
{
// Every file under the folder, by relative path, with its bytes; a file of gigabytes (sparse, made
// by a test) with its size and time instead.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QString relative = QDir(folder).relativeFilePath(path);
        if (f.size() > (qint64(64) << 20)) {
            const QDateTime time = QFileInfo(f).lastModified();
            files.insert(relative, QByteArray::number(f.size()) + " bytes, " +
                                       time.toString(Qt::ISODateWithMs).toLatin1());
            continue;
        }
        files.insert(relative, f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
    }
    return files;
}

// Rows of a tree, all levels.
inline int countRows(const QTreeWidget *tree)
{
    int count = 0;
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        rows.append(tree->topLevelItem(i));
    while (!rows.isEmpty()) {
        QTreeWidgetItem *row = rows.takeLast();
        ++count;
        for (int i = 0; i < row->childCount(); ++i)
            rows.append(row->child(i));
    }
    return count;
}

struct OpenedProgram : public RegistryScope, public UiReport {
    MainWindow *window = nullptr;
    QStringList reports;
    QTimer boxes;

    OpenedProgram()
    {
        // Boxes the shell raises itself (start-up's among them) are answered and kept as reports.
        boxes.setInterval(20);
        QObject::connect(&boxes, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                reports << box->windowTitle() + QLatin1Char(':') + box->text() + box->informativeText();
                box->done(QMessageBox::Ok);
            }
        });
        boxes.start();
        window = new MainWindow;
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        UiReport::Install(this);
    }
    ~OpenedProgram() override
    {
        boxes.stop();
        UiReport::Install(nullptr);
        delete window;
    }
    void ShowErrorMsg(const QString &title, const QString &text) override
    {
        reports << title + QLatin1Char(':') + text;
    }
    void SystemErrorBox(const QString &text) override { reports << text; }
    void FatalMessage(const QString &title, const QString &text) override
    {
        reports << title + QLatin1Char(':') + text;
    }

    CheckTimer *timer() const { return GetObj<CheckTimer>(RegSlot::ObjCheckTimer); }
    deftab *tab() const { return GetObj<deftab>(RegSlot::ObjDeftab); }

    // Opens the instance of a generated workspace as member 0, its manager; true when it opened.
    bool Open(const WorkspaceGen::Result &ws)
    {
        SetStrVar(RegSlot::StrUserName, ws.userName);
        SetStrVar(RegSlot::StrUserEmail, ws.userEmail);
        SetStrVar(RegSlot::StrWorkspaceDir, ws.workspace);
        SetStrVar(RegSlot::StrModelName, ws.modelName);
        SetStrVar(RegSlot::StrModelVersion, ws.modelVersion);
        SetStrVar(RegSlot::StrModelDir, ws.modelDir);
        SetStrVar(RegSlot::StrInstanceName, ws.instanceName);
        SetStrVar(RegSlot::StrInstanceVersion, ws.instanceVersion);
        SetStrVar(RegSlot::StrInstanceDir, ws.instanceDir);
        QSignalSpy dispatched(timer(), &CheckTimer::Dispatched);
        timer()->PostMessage(MsgCode::OpenManager);
        if (!QTest::qWaitFor([&] { return dispatched.contains({MsgCode::OpenManager}); }, 60000))
            return false;
        return GetIntVar(RegSlot::IntDocKind) == 2;
    }
    // Save-all as after an edit of everything the running user owns.
    void SaveEverythingOwn()
    {
        for (int flag : {RegSlot::FlagSaveNeeded, RegSlot::FlagModelModified, RegSlot::FlagMemberModified,
                         RegSlot::FlagInstanceModified})
            SetBoolVar(flag, true);
        if (auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
            for (MemberInfo *record : qAsConst(*table)) {
                record->MemberModified = true;
                record->InstanceModified = true;
            }
        }
        window->SaveAll();
    }
};
} // namespace TestSupport
