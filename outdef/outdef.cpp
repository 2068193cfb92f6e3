#include "outdef/outdef.h"

#include "core/postbox.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "shell/mainwindow.h"
#include "workspace/workspacelayout.h"

#include <QDate>
#include <QDir>
#include <QDomDocument>
#include <QFileInfo>

namespace
{
const QString kRootOutput = QStringLiteral("Root_Output");
const QString kOutFile = QStringLiteral("/out.xml");
} // namespace

outdef::outdef(QWidget *parent) : QWidget(parent)
{
    SetObj(RegSlot::ObjOutdef, this);
}

outdef::~outdef()
{
    if (GetObj<outdef>(RegSlot::ObjOutdef) == this)
        SetObj<outdef>(RegSlot::ObjOutdef, nullptr);
}

QString outdef::BuildOutputPath() const
{
    const QString ws = DelLastSlash(GetStrVar(RegSlot::StrWorkspaceDir));
    const QStringList names = {GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion),
                               GetStrVar(RegSlot::StrOutputName), GetStrVar(RegSlot::StrOutputVersion)};
    if (ws.isEmpty())
        return QString();
    for (const QString &name : names) {
        if (!WorkspaceLayout::IsValidName(name))
            return QString();
    }
    return WorkspaceLayout::OutputDir(ws, names.at(0), names.at(1)) + QLatin1Char('/') + names.at(2) +
           QLatin1Char('/') + names.at(3);
}

void outdef::enterDocKind()
{
    SetIntVar(RegSlot::IntDocKind, GetIntVar(RegSlot::IntDocKind) == 2 ? 4 : 3);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->UpdateHistory(GetIntVar(RegSlot::IntDocKind));
}

void outdef::CreateOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QString folder = BuildOutputPath();
    if (!store || folder.isEmpty() || !QDir().mkpath(folder)) {
        const QString text = QStringLiteral("tolvek workspace can not make Directory\n") + folder;
        SetStrVar(RegSlot::StrLastError, text);
        // Nothing was opened: the user must hear why rather than find an empty editor.
        UiReport::Fatal(tr("New Output"), text);
        return;
    }
    m_newOutput = true;
    SetBoolVar(RegSlot::FlagOutputOwned, true);
    store->CloseXmlDoc(XmlIndex::Output);
    store->NewXmlDoc(XmlIndex::Output, kRootOutput);
    QDomElement root = store->GetXmlDoc(XmlIndex::Output)->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrName), GetStrVar(RegSlot::StrOutputName));
    root.setAttribute(GetStrVar(RegSlot::StrAttrVersion), GetStrVar(RegSlot::StrOutputVersion));
    root.setAttribute(GetStrVar(RegSlot::StrAttrUser), GetStrVar(RegSlot::StrUserName));
    root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), GetStrVar(RegSlot::StrUserEmail));
    root.setAttribute(GetStrVar(RegSlot::StrAttrStartDate),
                      QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    root.setAttribute(GetStrVar(RegSlot::StrAttrCompletionDate), QString());
    store->SetDocFileName(XmlIndex::Output, folder + kOutFile);
    store->SaveXmlDoc(XmlIndex::Output);
    enterDocKind();
}

void outdef::OpenOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QString folder = BuildOutputPath();
    if (!store || folder.isEmpty())
        return;
    m_newOutput = false;
    store->CloseXmlDoc(XmlIndex::Output);
    if (!store->OpenXmlFile(XmlIndex::Output, folder + kOutFile)) {
        // A definition that exists but does not load (perhaps being replaced by its owner right
        // now) was reported by the store; an empty one in its place would be saved over it.
        if (GetIntVar(RegSlot::IntLastErrorKind) != 0)
            return;
        store->NewXmlDoc(XmlIndex::Output, kRootOutput);
        store->SetDocFileName(XmlIndex::Output, folder + kOutFile);
    }
    SetBoolVar(RegSlot::FlagOutputOwned, GetOwnerMail() == GetStrVar(RegSlot::StrUserEmail));
    enterDocKind();
}

void outdef::SaveOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (store && store->HasDoc(XmlIndex::Output) && store->SaveXmlDoc(XmlIndex::Output) == 0)
        SetBoolVar(RegSlot::FlagWriteFailed, true);
}

void outdef::ClearOutput()
{
    m_newOutput = false;
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
        store->CloseXmlDoc(XmlIndex::Output);
}

QString outdef::rootAttribute(int attrSlot)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Output) : nullptr;
    return doc ? doc->documentElement().attribute(GetStrVar(attrSlot)) : QString();
}

QString outdef::GetOwnerName()
{
    return rootAttribute(RegSlot::StrAttrUser);
}

QString outdef::GetOwnerMail()
{
    return rootAttribute(RegSlot::StrAttrEmail);
}

void outdef::SetChanged()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagOutputModified))
        return;
    SetBoolVar(RegSlot::FlagOutputModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

void outdef::AdjustSplitter() {}
void outdef::CreateFileDiag() {}
void outdef::DeleteFileDiag() {}
void outdef::CreateNextSeqDiag() {}
void outdef::CreateNestingSeqDiag() {}
void outdef::DeleteSeqDiag() {}
void outdef::MoveUpSeqDiag() {}
void outdef::MoveDownSeqDiag() {}
void outdef::MoveSeqTempDiag() {}
void outdef::MoveSeqFileDiag() {}
void outdef::FileOutDiag() {}
void outdef::RefreshSeqTrees() {}
void outdef::SetEditorFont() {}
void outdef::SetEditState() {}
void outdef::SetFocusEditor() {}
void outdef::SetMenuState() {}
void outdef::SetMenuVisible(bool, bool, bool, bool, bool, bool, bool, bool, bool, bool) {}
void outdef::StoreTemplate() {}

void outdef::SetRootAttribute(const QString &name, const QString &email)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Output) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrUser), name);
    root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), email);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    SetBoolVar(RegSlot::FlagOutputModified, true);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAndCloseWorkspace();
}
