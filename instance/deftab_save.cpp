#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "instance/instancepanes.h"
#include "instance/valuetable.h"
#include "members/memberinfo.h"
#include "model/elementlayout.h"
#include "shell/numeditor.h"
#include "ui_deftab.h"
#include "views/statuswidget.h"

void deftab::SaveInstance()
{
    if (auto *state = GetObj<StatusWidget>(RegSlot::ObjStatusWidget))
        state->UpdateGraph();
    commitRow(GetCurrentUserItem());
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QTreeWidget *tree = m_ui->USERTREE;
    for (int i = 0; store && i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = tree->topLevelItem(i);
        const int n = row->data(1, Qt::UserRole).toInt();
        // Another member's files are theirs to write; a file that did not load is never
        // written over, nor one whose rows were never built from it.
        MemberInfo *m = memberOf(n);
        if (!IsWritableMember(n) || m_unbuilt.contains(n) || !store->HasDoc(XmlIndex::Instance + n))
            continue;
        const QVector<QPair<TreeItemData *, bool>> built = BuildInstanceDocument(n, row);
        const bool written = !m->InstanceModified || store->SaveXmlDoc(XmlIndex::Instance + n) == 1;
        m_files.ClearInstanceDocument(n);
        // An element's files belong to the element its ID names in the member's file: written only
        // once that file is, never under an ID another program's file gives to another element,
        // and nothing of a file the user kept unsaved.
        if (!written)
            continue;
        m->InstanceModified = false;
        for (const auto &[record, sclass] : built)
            m_files.WriteElementFiles(record, sclass);
    }
    m_explain->ClearModified();
    SetBoolVar(RegSlot::FlagInstanceModified, false);
}

QVector<QPair<TreeItemData *, bool>> deftab::BuildInstanceDocument(int n, QTreeWidgetItem *memberRow)
{
    CommitValueTable();
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Instance + n) : nullptr;
    QVector<QPair<TreeItemData *, bool>> built;
    if (!doc)
        return built;
    QDomElement root = doc->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID),
                      QString::number(memberRow->data(2, Qt::UserRole).toInt()));
    QList<QDomElement> lclasses;
    for (int l = 0; l < memberRow->childCount(); ++l) {
        QTreeWidgetItem *lrow = memberRow->child(l);
        TreeItemData *lrec = RecordOf(lrow);
        if (!lrec)
            continue;
        QList<QDomElement> sclasses;
        for (int s = 0; s < lrow->childCount(); ++s) {
            QTreeWidgetItem *srow = lrow->child(s);
            TreeItemData *srec = RecordOf(srow);
            if (!srec)
                continue;
            QList<QDomElement> params;
            for (int p = 0; p < srow->childCount(); ++p) {
                if (TreeItemData *prec = RecordOf(srow->child(p))) {
                    params.append(m_files.BuildParamElement(*doc, prec));
                    built.append({prec, false});
                }
            }
            sclasses.append(m_files.BuildSclassElement(*doc, srec, params));
            built.append({srec, true});
        }
        lclasses.append(m_files.BuildLclassElement(*doc, lrec, sclasses));
        built.append({lrec, false});
    }
    // What the member's document held besides its large classes goes back where it was.
    ElementLayout::Fill(root, m_keptLclasses.value(n), {{GetStrVar(RegSlot::StrTagLClass), lclasses}});
    return built;
}

void deftab::commitRow(QTreeWidgetItem *row)
{
    switch (row ? Level(row) : 0) {
    case 1:
        m_lclassPane->SaveLclass(row, memberRowOf(row)->data(1, Qt::UserRole).toInt());
        break;
    case 2:
        m_sclassPane->SaveSclass(row);
        break;
    case 3:
        m_sclassPane->SaveExplanation(row->parent(), row);
        break;
    default:
        break;
    }
}

void deftab::CommitAndShowItem(QTreeWidgetItem *previous, QTreeWidgetItem *current)
{
    if (previous) {
        if (TreeItemData *record = RecordOf(previous)) {
            record->scrollPos = m_explain->GetScrollPos();
            record->cursorPos = m_explain->GetCursorPos();
        }
        if (!m_deletedRow) {
            commitRow(previous);
            const int level = Level(previous);
            if (level == 1)
                m_lclassPane->ClearCurrent();
            else if (level == 2)
                m_sclassPane->ClearCurrent();
        }
        m_deletedRow = false;
    }
    ShowItemPane(current);
}

void deftab::LoadValueGrid(QTreeWidgetItem *paramRow)
{
    TreeItemData *srec = RecordOf(paramRow ? paramRow->parent() : nullptr);
    if (!srec || srec->GridLoaded())
        return;
    // A refused grid stays unread: its table takes no typing (ValueTable).
    m_files.ReadInstanceCsv(srec, srec->name, srec->GetAttr(GetStrVar(RegSlot::StrAttrID)));
}

void deftab::UnlinkChapter(QTreeWidgetItem *row)
{
    QTreeWidgetItem *chapter = LinkedRow(row, 3);
    if (!chapter)
        return;
    chapter->setText(3, tr("Unset"));
    chapter->setForeground(3, Qt::red);
    if (TreeItemData *record = RecordOf(chapter))
        record->SetAttr(GetStrVar(RegSlot::StrAttrInstID), QString());
}
