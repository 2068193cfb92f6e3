#include "model/model.h"

#include "core/postbox.h"
#include "core/safefile.h"
#include "core/xmlclass.h"
#include "shell/mainwindow.h"
#include "workspace/workspacelayout.h"

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
const QString kRootModel = QStringLiteral("Root_Model");
const QString kRootModelDoc = QStringLiteral("Root_ModelDoc");
const QString kModelFile = QStringLiteral("/model.xml");
const QString kModelDocFile = QStringLiteral("/DocModel.xml");
} // namespace

model::model(QWidget *parent) : QWidget(parent), m_splitter(new QSplitter(this)), m_tree(new QTreeWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    m_splitter->addWidget(m_tree);
    SetObj(RegSlot::ObjModel, this);
}

model::~model()
{
    if (GetObj<model>(RegSlot::ObjModel) == this)
        SetObj<model>(RegSlot::ObjModel, nullptr);
}

bool model::NewModel()
{
    m_modelDocKept = false;
    QString versionDir;
    QString error;
    if (!WorkspaceLayout::CreateModelFolders(
            GetStrVar(RegSlot::StrWorkspaceDir), GetStrVar(RegSlot::StrProjectFileName),
            GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion), &versionDir, &error)) {
        SetStrVar(RegSlot::StrLastError, error);
        return false;
    }
    SetStrVar(RegSlot::StrModelDir, versionDir);
    if (!createModelFiles(versionDir))
        return false;
    m_newModel = true;
    m_modified = false;
    enterDocKind();
    return true;
}

void model::enterDocKind()
{
    if (GetIntVar(RegSlot::IntDocKind) != 0)
        return;
    SetIntVar(RegSlot::IntDocKind, 1);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->UpdateHistory(1);
}

bool model::createModelFiles(const QString &versionDir)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    const QString user = GetStrVar(RegSlot::StrUserName);
    const QString email = GetStrVar(RegSlot::StrUserEmail);
    const struct {
        int index;
        const QString &root;
        const QString &file;
    } docs[] = {{XmlIndex::Model, kRootModel, kModelFile},
                {XmlIndex::ModelDoc, kRootModelDoc, kModelDocFile}};
    for (const auto &d : docs) {
        store->CloseXmlDoc(d.index);
        store->NewXmlDoc(d.index, d.root);
        QDomElement root = store->GetXmlDoc(d.index)->documentElement();
        root.setAttribute(GetStrVar(RegSlot::StrAttrUser), user);
        root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), email);
        store->SetDocFileName(d.index, versionDir + d.file);
        if (store->SaveXmlDoc(d.index) == 0) {
            SetStrVar(RegSlot::StrLastError, QStringLiteral("Can not make file\n") + versionDir + d.file);
            return false;
        }
    }
    return true;
}

bool model::OpenModel()
{
    const QString name = GetStrVar(RegSlot::StrModelName);
    const QString version = GetStrVar(RegSlot::StrModelVersion);
    if (!WorkspaceLayout::IsValidName(name) || !WorkspaceLayout::IsValidName(version))
        return false;
    const QString versionDir =
        WorkspaceLayout::ModelVersionDir(DelLastSlash(GetStrVar(RegSlot::StrWorkspaceDir)), name, version);
    if (!loadModelFiles(versionDir))
        return false;
    SetStrVar(RegSlot::StrModelDir, versionDir);
    m_newModel = false;
    m_modified = false;
    enterDocKind();
    return true;
}

bool model::loadModelFiles(const QString &versionDir)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    store->CloseXmlDoc(XmlIndex::Model);
    store->CloseXmlDoc(XmlIndex::ModelDoc);
    if (!store->OpenXmlFile(XmlIndex::Model, versionDir + kModelFile))
        return false;
    // A missing model document is not fatal: the model still opens with an empty one. One that
    // exists but does not load is kept as it is: the empty stand-in is never saved over it.
    m_modelDocKept = false;
    if (!store->OpenXmlFile(XmlIndex::ModelDoc, versionDir + kModelDocFile)) {
        m_modelDocKept = GetIntVar(RegSlot::IntLastErrorKind) != 0;
        store->NewXmlDoc(XmlIndex::ModelDoc, kRootModelDoc);
        store->SetDocFileName(XmlIndex::ModelDoc, versionDir + kModelDocFile);
    }
    return true;
}

bool model::SaveModel()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || !store->HasDoc(XmlIndex::Model))
        return false;
    bool ok = store->SaveXmlDoc(XmlIndex::Model) != 0;
    if (store->HasDoc(XmlIndex::ModelDoc) && !m_modelDocKept)
        ok = store->SaveXmlDoc(XmlIndex::ModelDoc) != 0 && ok;
    if (!ok)
        SetBoolVar(RegSlot::FlagWriteFailed, true);
    return ok;
}

void model::CloseModel()
{
    m_tree->clear();
    m_modified = false;
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore)) {
        store->CloseXmlDoc(XmlIndex::Model);
        store->CloseXmlDoc(XmlIndex::ModelDoc);
    }
}

QString model::rootAttribute(int attrSlot)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Model) : nullptr;
    return doc ? doc->documentElement().attribute(GetStrVar(attrSlot)) : QString();
}

QString model::GetOwnerName()
{
    return rootAttribute(RegSlot::StrAttrUser);
}

QString model::GetOwnerEmail()
{
    return rootAttribute(RegSlot::StrAttrEmail);
}

void model::ModelChanged()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagModelModified))
        return;
    SetBoolVar(RegSlot::FlagModelModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    // The save-flag message is how the save action gets enabled until the editor talks to the
    // main window itself.
    PostBox::Post(MsgCode::SaveFlag);
}

void model::AddLclass() {}
void model::AddSclass() {}
void model::AdjustLayout() {}
void model::CreateLclassDiag() {}
void model::CreateSclassDiag() {}
void model::DeleteLclassDiag() {}
void model::DeleteSclassDiag() {}
void model::CreateParamDiag() {}
void model::DeleteParamDiag() {}
void model::ModParamNameDiag() {}
void model::SelectFirstLclass() {}
void model::SetEditorFont() {}
void model::SetMenuVisible(bool, bool, bool, bool, bool, bool) {}
void model::ShowCurrent() {}

// The hand-over ends with the workspace saved and closed, so the previous owner reopens the
// model as another member's.
void model::TransferOwner(const QString &name, const QString &email)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return;
    for (int index : {XmlIndex::Model, XmlIndex::ModelDoc}) {
        if (QDomDocument *doc = store->GetXmlDoc(index)) {
            QDomElement root = doc->documentElement();
            root.setAttribute(GetStrVar(RegSlot::StrAttrUser), name);
            root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), email);
        }
    }
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    SetBoolVar(RegSlot::FlagModelModified, true);
    SetBoolVar(RegSlot::FlagModelDocModified, true);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAndCloseWorkspace();
}

TreeItemData *model::RecordOf(const QTreeWidgetItem *item)
{
    return item ? static_cast<TreeItemData *>(item->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

void model::SetCurrentItem(QTreeWidgetItem *item)
{
    m_tree->setCurrentItem(item);
}
