#include "docs/instancedocument.h"

#include "core/postbox.h"
#include "core/xmlclass.h"

InstanceDocument::InstanceDocument(QWidget *parent) : QWidget(parent)
{
    SetObj(RegSlot::ObjInstanceDocument, this);
}

InstanceDocument::~InstanceDocument()
{
    if (GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument) == this)
        SetObj<InstanceDocument>(RegSlot::ObjInstanceDocument, nullptr);
}

void InstanceDocument::Save()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || !store->HasDoc(XmlIndex::InstanceDoc))
        return;
    if (store->SaveXmlDoc(XmlIndex::InstanceDoc) == 0)
        SetBoolVar(RegSlot::FlagWriteFailed, true);
    else
        m_modified = false;
}

void InstanceDocument::SetModified()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_modified)
        return;
    m_modified = true;
    SetBoolVar(RegSlot::FlagInstDocModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

void InstanceDocument::Clear()
{
    m_modified = false;
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
        store->CloseXmlDoc(XmlIndex::InstanceDoc);
}

void InstanceDocument::ActivateEditor() {}
void InstanceDocument::LayoutAdjust() {}
void InstanceDocument::RefreshChapterMenu() {}
void InstanceDocument::UpdateEditorState() {}
void InstanceDocument::RefreshClassItem() {}
void InstanceDocument::CreateChapter() {}
void InstanceDocument::DeleteChapter() {}
void InstanceDocument::SetChapter() {}
void InstanceDocument::UnsetChapter() {}
void InstanceDocument::MoveUpChapter() {}
void InstanceDocument::MoveDownChapter() {}
void InstanceDocument::RebuildClassTree(QTreeWidget *, bool) {}
void InstanceDocument::SetEditMode() {}
void InstanceDocument::LoadManagerInfo() {}
void InstanceDocument::BuildClassTree(QTreeWidget *) {}
void InstanceDocument::SelectFirstChapter() {}
QString InstanceDocument::CurrentClassValue() const
{
    return QString();
}
void InstanceDocument::SetExplainText(const QString &) {}
