#include "docs/instancedocument.h"

#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_instancedocument.h"

#include <QScopedValueRollback>

#include <functional>

InstanceDocument::InstanceDocument(QWidget *parent)
    : ChapterEditor(ChapterFile::InstanceDocument, parent), m_ui(new Ui::InstanceDocument)
{
    m_ui->setupUi(this);
    init(m_ui, QStringLiteral("InstanceExplain"), RegSlot::ObjInstDocEditor2, RegSlot::ObjInstDocEditor1);
    connect(m_ui->CLASS_TREE, &QTreeWidget::itemDoubleClicked, this, &InstanceDocument::ClassDblClickSet);
    SetObj(RegSlot::ObjInstanceDocument, this);
}

InstanceDocument::~InstanceDocument()
{
    if (GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument) == this)
        SetObj<InstanceDocument>(RegSlot::ObjInstanceDocument, nullptr);
    delete m_ui;
}

int InstanceDocument::storeIndex() const
{
    return XmlIndex::InstanceDoc;
}

deftab *InstanceDocument::instanceTab() const
{
    return GetObj<deftab>(RegSlot::ObjDeftab);
}

QTreeWidgetItem *InstanceDocument::elementOf(const QString &tie) const
{
    deftab *tab = instanceTab();
    return tab && !tie.isEmpty() ? tab->FindTreeItem(tie) : nullptr;
}

QTreeWidgetItem *InstanceDocument::classRowOf(QTreeWidgetItem *element) const
{
    TreeItemData *record = deftab::RecordOf(element);
    return record ? record->docRow : nullptr;
}

QTreeWidgetItem *InstanceDocument::elementOfRow(QTreeWidgetItem *classRow) const
{
    return classRow && classRow->parent() ? elementOf(tieOfRow(classRow)) : nullptr;
}

// Member rows stand for people, not elements: they never take a chapter.
bool InstanceDocument::mayTie(QTreeWidgetItem *classRow) const
{
    return classRow->parent() != nullptr;
}

void InstanceDocument::LoadManagerInfo()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (store && store->OpenDomTag(XmlIndex::Manager, QStringLiteral("Root_manager"), 0) > 0) {
        m_ui->MODELNAME->setText(store->GetDomAttr(0, GetStrVar(RegSlot::StrAttrName)));
        m_ui->VERSION->setText(store->GetDomAttr(0, GetStrVar(RegSlot::StrAttrVersion)));
    }
    if (store)
        store->DomDocClose();
    loadChapters();
}

// The row mirroring an element of the instance tab at depth level (0 member ... 3 parameter),
// with the rows below it: the subtree is whole before any view sees it, rather than told of
// every row.
QTreeWidgetItem *InstanceDocument::mirrorRow(QTreeWidgetItem *element, int level)
{
    // Member, large class, small class, parameter: the instance tab's column each level names
    // and the column it goes to here.
    const int nameColumn[4][2] = {{0, 2}, {1, 3}, {2, 4}, {3, 5}};
    TreeItemData *record = deftab::RecordOf(element);
    QTreeWidgetItem *row = record ? record->docRow : nullptr;
    if (!row)
        return nullptr;
    for (int c = 0; c < 8; ++c)
        row->setText(c, QString());
    row->setText(nameColumn[level][1], element->text(nameColumn[level][0]));
    if (level > 0) {
        row->setText(6, element->text(4));
        showClassRow(row, static_cast<QTreeWidgetItem *>(element->data(3, Qt::UserRole).value<void *>()));
    }
    row->setText(7, element->text(5));
    row->setIcon(0, element->icon(0));
    for (int i = 0; level < 3 && i < element->childCount(); ++i) {
        if (QTreeWidgetItem *child = mirrorRow(element->child(i), level + 1))
            row->addChild(child);
    }
    return row;
}

void InstanceDocument::BuildClassTree(QTreeWidget *userTree)
{
    const bool clearing = std::exchange(m_clearing, true);
    takeClassRows();
    QList<QTreeWidgetItem *> tops;
    for (int i = 0; userTree && i < userTree->topLevelItemCount(); ++i) {
        if (QTreeWidgetItem *row = mirrorRow(userTree->topLevelItem(i), 0))
            tops.append(row);
    }
    m_ui->CLASS_TREE->addTopLevelItems(tops);
    ExpandAllFitted(m_ui->CLASS_TREE);
    m_clearing = clearing;
}

// Members whose rows the instance tab built after this tree: their rows join their member rows
// here, opened like the rest, the columns fitted once.
void InstanceDocument::AddMemberClassRows(const QList<QTreeWidgetItem *> &memberRows, bool fit)
{
    const bool clearing = std::exchange(m_clearing, true);
    QList<QTreeWidgetItem *> tops;
    for (QTreeWidgetItem *memberRow : memberRows) {
        TreeItemData *record = deftab::RecordOf(memberRow);
        QTreeWidgetItem *top = record ? record->docRow : nullptr;
        if (!top || top->treeWidget() != m_ui->CLASS_TREE || top->parent() || top->childCount() > 0)
            continue;
        QList<QTreeWidgetItem *> rows;
        for (int i = 0; i < memberRow->childCount(); ++i) {
            if (QTreeWidgetItem *row = mirrorRow(memberRow->child(i), 1))
                rows.append(row);
        }
        top->addChildren(rows);
        tops.append(top);
    }
    if (!tops.isEmpty()) {
        {
            const QScopedValueRollback<bool> bulk(m_bulkExpand, true);
            // Every row, as the tree's expandAll() marks them.
            const std::function<void(QTreeWidgetItem *)> expand = [&expand](QTreeWidgetItem *row) {
                row->setExpanded(true);
                for (int i = 0; i < row->childCount(); ++i)
                    expand(row->child(i));
            };
            for (QTreeWidgetItem *top : qAsConst(tops))
                expand(top);
        }
        if (fit)
            FitClassTree();
    }
    m_clearing = clearing;
}

void InstanceDocument::FitClassTree()
{
    TreeColumnAdjustment(m_ui->CLASS_TREE);
}

// The document is read once the instance's elements are all there, so that ties resolve.
void InstanceDocument::RebuildClassTree(QTreeWidget *userTree, bool documentRefresh)
{
    if (!m_loaded) {
        LoadManagerInfo();
        documentRefresh = true;
    }
    if (!documentRefresh)
        return;
    BuildClassTree(userTree);
    if (deftab *tab = instanceTab())
        tab->SetDocumentRefresh(false);
}

void InstanceDocument::RemoveTopLevelClassItem(QTreeWidgetItem *row)
{
    if (row && row->treeWidget() == m_ui->CLASS_TREE && !row->parent())
        m_ui->CLASS_TREE->takeTopLevelItem(m_ui->CLASS_TREE->indexOfTopLevelItem(row));
}

void InstanceDocument::RemoveClassRow(QTreeWidgetItem *row)
{
    if (row && row->parent())
        row->parent()->removeChild(row);
    else
        RemoveTopLevelClassItem(row);
}

void InstanceDocument::ReleaseElement(QTreeWidgetItem *element)
{
    if (element && m_refUrl->Element() == element)
        hideElement();
}

void InstanceDocument::showElement(QTreeWidgetItem *element)
{
    deftab *tab = instanceTab();
    TreeItemData *record = deftab::RecordOf(element);
    if (!tab || !record)
        return;
    showElementTabs(true);
    const QString expression = GetStrVar(RegSlot::StrAttrExpression);
    // The instance tab's editor holds newer text of its current element than the record.
    if (tab->GetCurrentUserItem() == element && tab->IsExplanationModified()) {
        record->SetAttr(expression, tab->GetExplanationText());
        record->TextLoaded() = true;
    }
    const QString text = tab->GetItemExplanation(element);
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    SetExplainText(text);
    m_explain->SetRefusal(tab->ExplanationRefusal(record));
    m_ui->CLASS_TREE->setCurrentItem(record->docRow);
    SetBoolVar(RegSlot::FlagUpdating, updating);
    m_refFile->setEnabled(true);
    m_refFile->SetEditable(0);
    m_refFile->SetDirectory(
        tab->GetReferencePath(record->name, record->GetAttr(GetStrVar(RegSlot::StrAttrID))));
    m_refUrl->setEnabled(true);
    m_refUrl->SetEditable(0);
    m_refUrl->SetElement(element);
}

void InstanceDocument::RefreshClassItem()
{
    deftab *tab = instanceTab();
    QTreeWidgetItem *element = tab ? tab->GetCurrentUserItem() : nullptr;
    TreeItemData *record = deftab::RecordOf(element);
    if (!record || shownElement() != element || !tab->IsExplanationModified())
        return;
    record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), tab->GetExplanationText());
    record->TextChanged() = true;
    SetExplainText(record->GetAttr(GetStrVar(RegSlot::StrAttrExpression)));
}

void InstanceDocument::SetEditMode()
{
    m_editable = GetBoolVar(RegSlot::FlagIsManager);
    applyEditable(IsEditable());
}

QString InstanceDocument::CurrentClassValue() const
{
    return tieOf(currentChapter());
}

void InstanceDocument::SetExplainText(const QString &text)
{
    m_explain->setPlainText(text);
    m_explain->moveCursor(QTextCursor::Start);
}

void InstanceDocument::Clear()
{
    clearDocument();
}

void InstanceDocument::ClassDblClickSet(QTreeWidgetItem *row, int)
{
    auto *tabArea = GetObj<Tab>(RegSlot::ObjTab);
    if (!row)
        return;
    if (row->parent()) {
        QTreeWidgetItem *element = elementOfRow(row);
        if (deftab *tab = instanceTab(); tab && element) {
            tab->SetCurrentUserItem(element);
            if (tabArea)
                tabArea->SelectTab(GetStrVar(RegSlot::StrTabInstance));
        }
        return;
    }
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    QTreeWidget *members = mgr ? mgr->GetTree() : nullptr;
    const int n = row->text(7).mid(1).toInt();
    for (QTreeWidgetItemIterator it(members); members && *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == n) {
            mgr->SetCurrentItem(*it);
            if (tabArea)
                tabArea->SelectTab(GetStrVar(RegSlot::StrTabManagement));
            return;
        }
    }
}
