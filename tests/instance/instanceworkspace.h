#pragma once

// The instance workspace the instance tests open: two members (the running user's and another's),
// a model with a plain, a state and a transition small class, and the tab and model editor.

#include "core/defvar.h"
#include "core/postbox.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "model/model.h"
#include "testsupport_widgets.h"

#include <QTemporaryDir>
#include <QTreeWidget>

using namespace TestSupport;

namespace
{
struct Posts : PostBox {
    QList<int> codes;
    void PostMessage(int code) override { codes.append(code); }
};

const QByteArray kOwnInstance =
    "<Root_Instance ID=\"0\" MaxID=\"20\" StartDate=\"2026/01/01\" TargetDate=\"\" Extra=\"x\">"
    "<LClass ID=\"9\" MID=\"99\" Name=\"gone\"><REFERENCE/></LClass>"
    "<LClass ID=\"1\" MID=\"1\" Element=\"old\" SCOPE=\"1\" StartDate=\"2026/02/01\" "
    "TargetDate=\"2026/03/01\">"
    "<REFERENCE><REF TITLE=\"t\" URL=\"u\"/></REFERENCE>"
    "<SClass ID=\"2\" MID=\"2\" Custom=\"c\"><REFERENCE/>"
    "<PARAM><P ID=\"3\" MID=\"3\" Row=\"1\" Col=\"1\"/><P ID=\"4\" MID=\"4\" Row=\"N\" Col=\"2\"/>"
    "<P ID=\"5\" MID=\"55\"/><P ID=\"3\" MID=\"4\"/></PARAM></SClass>"
    "<SClass ID=\"8\" MID=\"88\"><REFERENCE/><PARAM><P ID=\"12\" MID=\"3\"/></PARAM></SClass>"
    "<SClass ID=\"../x\" MID=\"2\"/>"
    "<SClass ID=\"10\" MID=\"6\" Param_type=\"1\"/>"
    "<SClass ID=\"13\" MID=\"6\" Param_type=\"1\"/>"
    "<SClass ID=\"11\" MID=\"7\" Param_type=\"2\" State=\"0-10\"/>"
    "<SClass ID=\"14\" MID=\"7\" Param_type=\"2\" State=\"0-77\"/>"
    "</LClass></Root_Instance>";
const QByteArray kModel =
    "<Root_Model Name=\"M\" User=\"o\" Email=\"owner@x\" Version=\"1.0.0\" MaxID=\"8\">"
    "<LClass ID=\"1\" Name=\"L1\" Element=\"E1\"><REFERENCE/>"
    "<SClass ID=\"2\" Name=\"S1\" Element=\"SE\"><REFERENCE/><PARAM>"
    "<P ID=\"3\" Name=\"P1\" Row=\"1\" Col=\"1\"/><P ID=\"4\" Name=\"P2\" Row=\"1\" Col=\"2\"/>"
    "<P ID=\"5\" Name=\"P3\" Row=\"1\" Col=\"3\"/></PARAM></SClass>"
    "<SClass ID=\"6\" Name=\"State\" Element=\"@A\" Param_type=\"1\" "
    "State=\"Open\"><REFERENCE/><PARAM/></SClass>"
    "<SClass ID=\"7\" Name=\"Trans\" Element=\"T\" Param_type=\"2\" State=\"6\" Transition=\"go\">"
    "<REFERENCE/><PARAM/></SClass></LClass></Root_Model>";
const QByteArray kOtherInstance =
    "<Root_Instance ID=\"1\" MaxID=\"2\"><LClass ID=\"1\" MID=\"1\"/></Root_Instance>";

// A workspace as the member manager hands it to the instance tab: the members table, each
// member's file in the store, the member tree, and the model editor's class tree.
struct Workspace : public RegistryScope {
    QTemporaryDir dir;
    xmlclass *store = new xmlclass;
    model *mdl;
    deftab *tab;
    QTreeWidget members;
    MemberTable table;
    Posts posts;

    Workspace()
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjXmlStore, store);
        SetObj(RegSlot::ObjMemberTable, &table);
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("me@x"));
        SetStrVar(RegSlot::StrInstanceDir, dir.path());
        PostBox::Install(&posts);
        mdl = new model;
        tab = new deftab;
        SetObj(RegSlot::ObjDeftab, tab);
        tab->SetInstanceDir(dir.path());
        UiReport::ClearLast();
        buildModel();
    }
    ~Workspace() override
    {
        delete tab;
        delete mdl;
        qDeleteAll(table);
        delete store;
        PostBox::Install(nullptr);
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    // The model the instance belongs to, as its owner's program wrote it.
    void buildModel()
    {
        SetStrVar(RegSlot::StrWorkspaceDir, path("ws"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
        writeFile(mdl->VersionFolder() + QStringLiteral("/model.xml"), kModel);
    }
    MemberInfo *member(int n, const QString &email)
    {
        auto *m = new MemberInfo;
        m->ID = n;
        m->Name = m->DisplayName = QStringLiteral("user%1").arg(n);
        m->Email = email;
        m->OtherUser = email == QLatin1String("me@x") ? 0 : 1;
        table.insert(n, m);
        store->NewXmlDoc(XmlIndex::Manager + n, QStringLiteral("Root_manager"));
        store->GetXmlDoc(XmlIndex::Manager + n)
            ->documentElement()
            .setAttribute(QStringLiteral("ProcEmail"), QStringLiteral("proc%1@x").arg(n));
        auto *item = n == 0 ? new QTreeWidgetItem(&members) : new QTreeWidgetItem(members.topLevelItem(0));
        item->setData(0, Qt::UserRole, n);
        item->setText(0, m->Name);
        return m;
    }
    // Member 0 is the running user's, member 1 another member's.
    void open()
    {
        if (!QFileInfo::exists(path("instance.xml")))
            writeFile(path("instance.xml"), kOwnInstance);
        if (!QFileInfo::exists(path("instance_1.xml")))
            writeFile(path("instance_1.xml"), kOtherInstance);
        member(0, "me@x");
        member(1, "other@x");
        tab->LoadModelTree();
        tab->LoadInstanceDocument(&members);
    }
    QTreeWidgetItem *row(const QString &key) const { return tab->FindTreeItem(key); }
    QDomElement root(const QString &name)
    {
        m_docs.append(QDomDocument());
        m_docs.last().setContent(readFile(path(name)));
        return m_docs.last().documentElement();
    }
    QList<QDomDocument> m_docs;
};

inline QStringList childIds(const QDomElement &e, const QString &tag)
{
    QStringList ids;
    for (QDomElement c = e.firstChildElement(tag); !c.isNull(); c = c.nextSiblingElement(tag))
        ids << c.attribute(QStringLiteral("ID"));
    return ids;
}
} // namespace
