#include "instance/deftab.h"

#include "core/postbox.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "members/memberinfo.h"

#include <QDomDocument>
#include <QFileInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
const QString kRootInstance = QStringLiteral("Root_Instance");
const QString kRootInstanceDoc = QStringLiteral("Root_InstanceDoc");
} // namespace

deftab::deftab(QWidget *parent)
    : QWidget(parent), m_pageLayout(new QVBoxLayout), m_userTree(new QTreeWidget(this))
{
    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    m_pageLayout->addWidget(m_userTree);
    SetObj<QLayout>(RegSlot::ObjInstanceLayout, m_pageLayout.data());
}

deftab::~deftab()
{
    if (GetObj<QLayout>(RegSlot::ObjInstanceLayout) == m_pageLayout.data())
        SetObj<QLayout>(RegSlot::ObjInstanceLayout, nullptr);
    if (m_pageLayout && !m_pageLayout->parent())
        delete m_pageLayout.data();
}

void deftab::LoadInstance(QTreeWidgetItem *memberItem)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!memberItem || !store)
        return;
    const int n = memberItem->data(0, Qt::UserRole).toInt();
    const QString fileName = m_instanceDir + (n == 0 ? QStringLiteral("/instance.xml")
                                                     : QStringLiteral("/instance_%1.xml").arg(n));
    const int index = XmlIndex::Instance + n;
    if (!store->HasDoc(index)) {
        if (QFileInfo::exists(fileName)) {
            if (!store->OpenXmlFile(index, fileName))
                return;
        } else {
            store->NewXmlDoc(index, kRootInstance);
            QDomElement root = store->GetXmlDoc(index)->documentElement();
            root.setAttribute(GetStrVar(RegSlot::StrAttrID), QString::number(n));
            root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), QStringLiteral("1"));
            store->SetDocFileName(index, fileName);
        }
    }
    auto *userItem = new QTreeWidgetItem(m_userTree);
    userItem->setText(0, memberItem->text(0));
    userItem->setData(0, Qt::UserRole, n);
    if (auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
        if (MemberInfo *info = table->value(n))
            info->InstanceItem = userItem;
    }
}

void deftab::LoadInstanceDocument(QTreeWidget *)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || store->HasDoc(XmlIndex::InstanceDoc))
        return;
    const QString fileName = m_instanceDir + QStringLiteral("/DocInstance.xml");
    if (QFileInfo::exists(fileName)) {
        store->OpenXmlFile(XmlIndex::InstanceDoc, fileName);
        return;
    }
    store->NewXmlDoc(XmlIndex::InstanceDoc, kRootInstanceDoc);
    store->SetDocFileName(XmlIndex::InstanceDoc, fileName);
    store->SaveXmlDoc(XmlIndex::InstanceDoc);
}

void deftab::ClearTab()
{
    m_userTree->clear();
    m_scheduleRefresh = m_qandaRefresh = m_documentRefresh = true;
}

void deftab::SetInstanceDir(const QString &dir)
{
    m_instanceDir = DelLastSlash(dir);
}

void deftab::SetModify()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    SetBoolVar(RegSlot::FlagInstanceModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    m_scheduleRefresh = true;
    PostBox::Post(MsgCode::SaveFlag);
}

void deftab::SetCurrentUserItem(QTreeWidgetItem *item)
{
    if (item && item->treeWidget() == m_userTree)
        m_userTree->setCurrentItem(item);
}

void deftab::SelectFirstUser()
{
    if (!m_userTree->currentItem() && m_userTree->topLevelItemCount() > 0)
        m_userTree->setCurrentItem(m_userTree->topLevelItem(0));
}

void deftab::RemoveUser(QTreeWidgetItem *userItem)
{
    if (userItem && userItem->treeWidget() == m_userTree)
        delete userItem;
}

void deftab::AddLclassInstance() {}
void deftab::AddSclassInstance() {}
void deftab::DelLclassInstance() {}
void deftab::DelSclassInstance() {}
void deftab::AdjustLayout() {}
void deftab::CommitValueTable() {}
void deftab::SyncStatusWidget() {}
void deftab::LoadModelTree() {}
void deftab::RefreshCurrentItem() {}
void deftab::SelectFirstChapter() {}
void deftab::SetActiveEditor() {}
void deftab::SetEditFont() {}
void deftab::SetPopupMenuVisible(bool, bool, bool, bool) {}
void deftab::SetTitleFields() {}
void deftab::SyncInstanceDocument() {}
void deftab::UpdateItemText(QTreeWidgetItem *item, const QString &name, int sameAddressIndex)
{
    if (item && item->treeWidget() == m_userTree)
        item->setText(0, sameAddressIndex <= 0 ? name
                                               : QStringLiteral("%1(%2)").arg(name).arg(sameAddressIndex));
}

void deftab::SaveInstance()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    if (!store || !table)
        return;
    for (MemberInfo *record : qAsConst(*table)) {
        // Another member's instance file is theirs to write, unless it was handed over.
        if (record->Deleted || !(record->OtherUser == 0 || record->Transferred))
            continue;
        const int index = XmlIndex::Instance + record->ID;
        if (!store->HasDoc(index))
            continue;
        const bool unsaved = !QFileInfo::exists(store->DocFileName(index));
        if (!record->InstanceModified && !unsaved)
            continue;
        // The store reports a failed write and sets the write-failed flag.
        if (store->SaveXmlDoc(index) == 1)
            record->InstanceModified = false;
    }
}

// Until the instance tab lists its elements, the members' rows are all there is to find.
TreeItemData *deftab::RecordOf(const QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
}

QTreeWidgetItem *deftab::FindTreeItem(const QString &) const
{
    return nullptr;
}

QTreeWidgetItem *deftab::GetCurrentUserItem() const
{
    return m_userTree->topLevelItemCount() > 0 ? m_userTree->currentItem() : nullptr;
}

QString deftab::ReadInstanceText(const QString &name) const
{
    return TextFiles::Read(m_instanceDir + QStringLiteral("/instance_") + name + QStringLiteral(".txt"));
}

QString deftab::GetReferencePath(const QString &a, const QString &b) const
{
    return GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/REFERENCE/") + a + QLatin1Char('/') + b +
           QLatin1Char('/');
}
