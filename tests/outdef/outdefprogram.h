#pragma once

// The program as main starts it, over a workspace with model "M" 0.0.1 and output "O" 1.0, for the
// tests of the output-definition page.

#include "core/xmlclass.h"
#include "outdef/outdef.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "testsupport_widgets.h"

#include <QDomDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

// L (repeatable) holds S (repeatable) with the parameters K[N][1] and K[N][2]; G is not repeatable.
inline const QByteArray kModelXml =
    "<Root_Model User='me' Email='me@x' MaxID='10'>"
    "<LClass ID='1' Name='L' Element='@A'><SClass ID='2' Name='S' Element='@A'><PARAM>"
    "<P ID='3' Row='N' Col='1' Name='a'/><P ID='4' Row='N' Col='2' Name='b'/></PARAM></SClass></LClass>"
    "<LClass ID='5' Name='G' Element='one'/></Root_Model>";

struct OutProgram : public RegistryScope {
    QTemporaryDir tmp;
    MainWindow *window = new MainWindow;
    OutProgram()
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        SetStrVar(RegSlot::StrWorkspaceDir, tmp.path() + QStringLiteral("/w.ws"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("0.0.1"));
        SetStrVar(RegSlot::StrOutputName, QStringLiteral("O"));
        SetStrVar(RegSlot::StrOutputVersion, QStringLiteral("1.0"));
        SetStrVar(RegSlot::StrUserName, QStringLiteral("me"));
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("me@x"));
        TestSupport::writeFile(modelDir() + QStringLiteral("/model.xml"), kModelXml);
        TestSupport::writeFile(modelDir() + QStringLiteral("/DocModel.xml"), "<Root_ModelDoc/>");
    }
    ~OutProgram() { delete window; }
    outdef *page() { return GetObj<outdef>(RegSlot::ObjOutdef); }
    QString modelDir() { return tmp.path() + QStringLiteral("/w.ws/pelmorine.def/M/0.0.1"); }
    QString dir() { return modelDir() + QStringLiteral("/Output/O/1.0"); }
    QString outXml() { return dir() + QStringLiteral("/out.xml"); }
    void deliver(int code)
    {
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->PostMessage(code);
        // Its own code: one posted before it (a timer's, a dialog's) is delivered first.
        QTRY_VERIFY_WITH_TIMEOUT(delivered.contains({code}), 30000);
    }
    void open(const QByteArray &xml)
    {
        TestSupport::writeFile(outXml(), xml);
        deliver(MsgCode::OpenOutput);
    }
    void save() { window->SaveAll(); }
    QDomElement saved()
    {
        QDomDocument doc;
        QFile f(outXml());
        if (f.open(QIODevice::ReadOnly))
            doc.setContent(&f);
        return doc.documentElement();
    }
    QTreeWidget *files() { return page()->GetFileTree(); }
    QTreeWidget *temps() { return page()->GetTempTree(); }
    // The item showing the marker in the tree, at any depth.
    QTreeWidgetItem *find(QTreeWidget *tree, const QString &marker)
    {
        const QList<QTreeWidgetItem *> hits =
            tree->findItems(marker, Qt::MatchContains | Qt::MatchRecursive, tree == files() ? 1 : 0);
        if (!hits.isEmpty())
            return hits.first();
        const QList<QTreeWidgetItem *> tops =
            tree->findItems(marker, Qt::MatchContains | Qt::MatchRecursive, 0);
        return tops.isEmpty() ? nullptr : tops.first();
    }
};

// The SEQ elements under SEQUENCE by ID.
inline QHash<QString, QDomElement> seqElements(const QDomElement &root)
{
    QHash<QString, QDomElement> seqs;
    for (QDomElement e = root.firstChildElement(QStringLiteral("SEQUENCE")).firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        // The first of a repeated ID is the one the program reads; the others are written back as
        // they came.
        if (!seqs.contains(e.attribute(QStringLiteral("ID"))))
            seqs.insert(e.attribute(QStringLiteral("ID")), e);
    }
    return seqs;
}

// The tag and ID of each child element, "MODEL:1 SEQ:2".
inline QString childRefs(const QDomElement &e)
{
    QStringList refs;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        refs << c.tagName() + QLatin1Char(':') + c.attribute(QStringLiteral("ID"));
    return refs.join(QLatin1Char(' '));
}
