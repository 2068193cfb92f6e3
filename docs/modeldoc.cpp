#include "docs/modeldoc.h"

#include "core/postbox.h"
#include "core/xmlclass.h"

ModelDoc::ModelDoc(QWidget *parent) : QWidget(parent)
{
    SetObj(RegSlot::ObjModelDoc, this);
}

ModelDoc::~ModelDoc()
{
    if (GetObj<ModelDoc>(RegSlot::ObjModelDoc) == this)
        SetObj<ModelDoc>(RegSlot::ObjModelDoc, nullptr);
}

void ModelDoc::Save()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || !store->HasDoc(XmlIndex::ModelDoc))
        return;
    if (store->SaveXmlDoc(XmlIndex::ModelDoc) == 0)
        SetBoolVar(RegSlot::FlagWriteFailed, true);
    else
        m_modified = false;
}

void ModelDoc::SetModified()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_modified)
        return;
    m_modified = true;
    SetBoolVar(RegSlot::FlagModelDocModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

void ModelDoc::Clear()
{
    m_modified = false;
}

void ModelDoc::ActivateEditor() {}
void ModelDoc::LayoutAdjust() {}
void ModelDoc::RefreshChapterMenu() {}
void ModelDoc::UpdateEditorState() {}
void ModelDoc::RefreshClassItem() {}
void ModelDoc::CreateChapter() {}
void ModelDoc::DeleteChapter() {}
void ModelDoc::SetChapter() {}
void ModelDoc::UnsetChapter() {}
void ModelDoc::MoveUpChapter() {}
void ModelDoc::MoveDownChapter() {}
void ModelDoc::RebuildClassTree(QTreeWidget *, bool) {}
void ModelDoc::SelectFirstChapter() {}
void ModelDoc::SetEditMode() {}
void ModelDoc::DisableChapterMenu() {}

void ModelDoc::TransferUser(const QString &name, const QString &email)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::ModelDoc) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrUser), name);
    root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), email);
}
