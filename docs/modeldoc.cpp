#include "docs/modeldoc.h"

#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "model/model.h"
#include "model/modelfile.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_modeldoc.h"

ModelDoc::ModelDoc(QWidget *parent)
    : ChapterEditor(ChapterFile::ModelDocument, parent), m_ui(new Ui::ModelDoc)
{
    m_ui->setupUi(this);
    init(m_ui, QStringLiteral("ModelExplain"), RegSlot::ObjModelDocEditor2, RegSlot::ObjModelDocEditor1);
    connect(m_ui->CLASS_TREE, &QTreeWidget::itemDoubleClicked, this, &ModelDoc::ClassDblClickSet);
    SetObj(RegSlot::ObjModelDoc, this);
}

ModelDoc::~ModelDoc()
{
    if (GetObj<ModelDoc>(RegSlot::ObjModelDoc) == this)
        SetObj<ModelDoc>(RegSlot::ObjModelDoc, nullptr);
    delete m_ui;
}

int ModelDoc::storeIndex() const
{
    return XmlIndex::ModelDoc;
}

QString ModelDoc::rootTag() const
{
    return ModelFile::DocRootTag;
}

model *ModelDoc::modelEditor() const
{
    return GetObj<model>(RegSlot::ObjModel);
}

QTreeWidgetItem *ModelDoc::elementOf(const QString &tie) const
{
    model *m = modelEditor();
    return m && !tie.isEmpty() ? m->FindItem(tie) : nullptr;
}

QTreeWidgetItem *ModelDoc::classRowOf(QTreeWidgetItem *element) const
{
    TreeItemData *record = model::RecordOf(element);
    return record ? record->Item() : nullptr;
}

QTreeWidgetItem *ModelDoc::elementOfRow(QTreeWidgetItem *classRow) const
{
    return elementOf(tieOfRow(classRow));
}

void ModelDoc::LoadHeader()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store && store->HasDoc(XmlIndex::Model) ? store->GetXmlDoc(XmlIndex::Model) : nullptr;
    const QDomElement root = doc ? doc->documentElement() : QDomElement();
    m_ui->MODELNAME->setText(root.attribute(GetStrVar(RegSlot::StrAttrName)));
    m_ui->VERSION->setText(root.attribute(GetStrVar(RegSlot::StrAttrVersion)));
    loadChapters();
}

void ModelDoc::BuildClassTree(QTreeWidget *modelTree)
{
    const bool clearing = std::exchange(m_clearing, true);
    takeClassRows();
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    // Large class, small class, parameter: the model editor's columns each level shows.
    const int nameColumn[3][2] = {{0, 2}, {1, 3}, {2, 4}};
    const SharedIcon::Id icons[3] = {SharedIcon::Lclass, SharedIcon::Sclass, SharedIcon::Param};
    std::function<void(QTreeWidgetItem *, QTreeWidgetItem *, int)> add =
        [&](QTreeWidgetItem *element, QTreeWidgetItem *parentRow, int level) {
            TreeItemData *record = model::RecordOf(element);
            QTreeWidgetItem *row = record ? record->Item() : nullptr;
            if (!row)
                return;
            for (int c = 2; c < 7; ++c)
                row->setText(c, QString());
            row->setText(nameColumn[level][1], element->text(nameColumn[level][0]));
            row->setText(5, element->text(model::ColValue));
            row->setText(6, QStringLiteral("M") + record->GetAttr(idAttr));
            row->setIcon(0, SharedIcon::Get(icons[level]));
            showClassRow(row, static_cast<QTreeWidgetItem *>(element->data(3, Qt::UserRole).value<void *>()));
            if (parentRow)
                parentRow->addChild(row);
            else
                m_ui->CLASS_TREE->addTopLevelItem(row);
            for (int i = 0; level < 2 && i < element->childCount(); ++i)
                add(element->child(i), row, level + 1);
        };
    for (int i = 0; modelTree && i < modelTree->topLevelItemCount(); ++i)
        add(modelTree->topLevelItem(i), nullptr, 0);
    ExpandAllFitted(m_ui->CLASS_TREE);
    m_clearing = clearing;
}

void ModelDoc::RebuildClassTree(QTreeWidget *modelTree, bool modelModified)
{
    if (!modelModified)
        return;
    BuildClassTree(modelTree);
    if (model *m = modelEditor())
        m->SetModified(false);
}

void ModelDoc::RemoveClassRow(QTreeWidgetItem *row)
{
    if (!row)
        return;
    if (QTreeWidgetItem *parent = row->parent())
        parent->removeChild(row);
    else if (row->treeWidget() == m_ui->CLASS_TREE)
        m_ui->CLASS_TREE->takeTopLevelItem(m_ui->CLASS_TREE->indexOfTopLevelItem(row));
}

// The element's pointer is only compared with the live rows, never followed: its chapter may have
// been freed with an earlier document, and a new row may since sit at the same address, which is
// why the row must also name the element's ID.
void ModelDoc::ReleaseElement(QTreeWidgetItem *element)
{
    const void *held = element ? element->data(model::ColValue, Qt::UserRole).value<void *>() : nullptr;
    const TreeItemData *record = model::RecordOf(element);
    if (!held || !record)
        return;
    const QString id = record->GetAttr(GetStrVar(RegSlot::StrAttrID));
    for (QTreeWidgetItemIterator it(m_ui->CHAPTER_TREE); *it; ++it) {
        QTreeWidgetItem *chapter = *it;
        if (chapter != held)
            continue;
        if (id.isEmpty() || tieOf(chapter) != id)
            return;
        showTie(chapter, unsetText(), false);
        RecordOf(chapter)->SetAttr(ChapterFile::TieAttr(m_kind), QString());
        if (chapter == currentChapter())
            hideElement();
        return;
    }
}

void ModelDoc::showElement(QTreeWidgetItem *element)
{
    model *m = modelEditor();
    TreeItemData *record = model::RecordOf(element);
    if (!m || !record)
        return;
    m->UpdateItem(element);
    showElementTabs(true);
    const QString id = record->GetAttr(GetStrVar(RegSlot::StrAttrID));
    const QString text = classText(m, record, id);
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_explain->setPlainText(text);
    m_explain->SetRefusal(m->ClassTextRefusal(id));
    m_ui->CLASS_TREE->setCurrentItem(record->Item());
    SetBoolVar(RegSlot::FlagUpdating, updating);
    m_refFile->setEnabled(true);
    m_refFile->SetEditable(0);
    m_refFile->SetDirectory(m->MakeRefPath(id));
    m_refUrl->setEnabled(true);
    m_refUrl->SetEditable(0);
    m_refUrl->SetElement(element);
}

// The record is the model editor's, which may have read the text before: a text refused there or
// here is read again, as well as an unedited empty one. A record the model editor changed holds its
// owner's text, never read over.
QString ModelDoc::classText(model *m, TreeItemData *record, const QString &id)
{
    const QString expression = GetStrVar(RegSlot::StrAttrExpression);
    if (!record->TextChanged() && (!record->TextLoaded() || !m->ClassTextRefusal(id).isEmpty() ||
                                   record->GetAttr(expression).isEmpty())) {
        record->SetAttr(expression, m->ReadClassText(id));
        record->TextLoaded() = true;
    }
    return record->GetAttr(expression);
}

// Elements may have been deleted in the model editor meanwhile: their chapters turn red.
void ModelDoc::RefreshClassItem()
{
    for (QTreeWidgetItemIterator it(m_ui->CHAPTER_TREE); *it; ++it)
        resolveTie(*it);
    if (QTreeWidgetItem *element = shownElement())
        showElement(element);
}

void ModelDoc::SetEditMode()
{
    const int kind = GetIntVar(RegSlot::IntDocKind);
    m_editable = GetBoolVar(RegSlot::FlagModelOwned) && kind != 2 && kind != 4;
    applyEditable(IsEditable());
}

void ModelDoc::Clear()
{
    clearDocument();
    SetBoolVar(RegSlot::FlagModelDocModified, false);
    SetBoolVar(RegSlot::FlagSaveNeeded, false);
}

void ModelDoc::ClassDblClickSet(QTreeWidgetItem *row, int)
{
    model *m = modelEditor();
    QTreeWidgetItem *element = elementOfRow(row);
    if (!m || !element)
        return;
    m->SetCurrentItem(element);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab))
        tab->SelectTab(GetStrVar(RegSlot::StrTabModel));
}

// The owner's name and address reach DocModel.xml with its next save; marking it modified is the
// hand-over's business.
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
