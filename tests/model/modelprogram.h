#pragma once

// The program as main starts it, for the model editor's tests: a workspace under a temporary
// folder, model "M" 0.0.1, and the dialogs that add classes.

#include "core/xmlclass.h"
#include "model/model.h"
#include "model/newlclass.h"
#include "model/newsclass.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "testsupport_widgets.h"

#include <QDate>
#include <QDomDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace ModelTest
{
inline QDomDocument readXml(const QString &path)
{
    QDomDocument doc;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        doc.setContent(&f);
    return doc;
}

// Answers the next message box with OK and keeps its informative text.
inline void answerBox(QString *informative)
{
    QTimer::singleShot(0, [informative] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return answerBox(informative);
        *informative = box->informativeText();
        box->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    });
}

// The program as main starts it, with a workspace under a temporary folder and model "M" 0.0.1.
struct Program : public RegistryScope {
    QTemporaryDir tmp;
    MainWindow *window = new MainWindow;
    Program()
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        SetStrVar(RegSlot::StrWorkspaceDir, tmp.path() + QStringLiteral("/w.ws"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("0.0.1"));
    }
    ~Program() { delete window; }
    model *editor() { return GetObj<model>(RegSlot::ObjModel); }
    QTreeWidget *tree() { return editor()->GetTree(); }
    // The model's own fields; the class pages have fields of the same names.
    QWidget *header() { return editor()->findChild<QWidget *>(QStringLiteral("leftPane")); }
    QString versionDir() { return tmp.path() + QStringLiteral("/w.ws/pelmorine.def/M/0.0.1"); }
    QString modelXml() { return versionDir() + QStringLiteral("/model.xml"); }
    // Posts the code as a dialog would and waits until the dispatcher has delivered it.
    void deliver(int code)
    {
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->PostMessage(code);
        // Its own code: one posted before it (a timer's, a dialog's) is delivered first.
        QTRY_VERIFY_WITH_TIMEOUT(delivered.contains({code}), 30000);
    }
    template <class Dialog> Dialog *dialog() { return editor()->findChild<Dialog *>(); }
    template <class Dialog> void fill(const char *nameField, const QString &name, const QString &element)
    {
        auto *d = dialog<Dialog>();
        d->template findChild<QLineEdit *>(QString::fromLatin1(nameField))->setText(name);
        d->template findChild<QLineEdit *>(QStringLiteral("ECBX"))->setText(element);
    }
    void addLclass(const QString &name, const QString &element)
    {
        editor()->CreateLclassDiag();
        fill<NewLclass>("LEDIT", name, element);
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        dialog<NewLclass>()->findChild<QPushButton *>(QStringLiteral("OK"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!delivered.isEmpty(), 120000);
    }
    void addArbitrarySclass(const QString &name)
    {
        editor()->CreateSclassDiag();
        fill<NewSclass>("SEDIT", name, QString());
        dialog<NewSclass>()->findChild<QPushButton *>(QStringLiteral("SET"))->click();
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        dialog<NewSclass>()->findChild<QPushButton *>(QStringLiteral("OK"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!delivered.isEmpty(), 120000);
    }
    void write(const QByteArray &modelXml)
    {
        writeFile(this->modelXml(), modelXml);
        writeFile(versionDir() + QStringLiteral("/DocModel.xml"), "<Root_ModelDoc/>");
    }
};

inline QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}
} // namespace ModelTest

using namespace ModelTest;
