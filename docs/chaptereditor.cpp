#include "docs/chaptereditor.h"

#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "docs/chapterdiag.h"
#include "docs/delchapter.h"
#include "docs/instancedocument.h"
#include "docs/modeldoc.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <functional>

namespace
{
// A chapter record's mark that its ID may not become a file name or repeats an earlier chapter's;
// the flag an element record uses for its value grid is free in a chapter's.
bool &refused(TreeItemData *record)
{
    return record->flags[1];
}
bool isRefused(const TreeItemData *record)
{
    return record->flags[1];
}

QVariant pointerData(void *p)
{
    return QVariant::fromValue(p);
}

void placeIn(QWidget *holder, QWidget *child)
{
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(child);
}
} // namespace

ChapterEditor::ChapterEditor(ChapterFile::Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind) {}

ChapterEditor::~ChapterEditor()
{
    m_clearing = true;
    for (int slot : {RegSlot::ObjModelDocEditor1, RegSlot::ObjModelDocEditor2, RegSlot::ObjInstDocEditor1,
                     RegSlot::ObjInstDocEditor2}) {
        auto *editor = GetObj<NumEditor>(slot);
        if (editor == m_text || editor == m_explain)
            SetObj<NumEditor>(slot, nullptr);
    }
    if (m_widgets.classes)
        takeClassRows();
    clearChapters();
}

void ChapterEditor::takeClassRows()
{
    // Each level is taken at once: a row taken alone has the view renumber every row after it.
    std::function<void(QTreeWidgetItem *)> take = [&](QTreeWidgetItem *row) {
        for (QTreeWidgetItem *child : row->takeChildren())
            take(child);
    };
    take(m_widgets.classes->invisibleRootItem());
}

void ChapterEditor::init(const Widgets &widgets, const QString &explainTab, int textSlot, int explainSlot)
{
    m_widgets = widgets;
    m_chapterDiag = new ChapterDiag(this);
    m_chapterDiag->SetDocKind(m_kind);
    m_delChapter = new DelChapter(this);
    m_delChapter->SetDocKind(m_kind);

    m_text = new NumEditor;
    m_text->SetKind(m_kind == ChapterFile::InstanceDocument ? 4 : 1);
    m_text->SetNumber(false);
    SetObj(textSlot, m_text);
    m_explain = new NumEditor;
    m_explain->SetKind(m_kind == ChapterFile::InstanceDocument ? 5 : 2);
    m_explain->SetNumber(false);
    m_explain->SetWritable(false);
    SetObj(explainSlot, m_explain);
    m_tabs = new QTabWidget;
    m_tabs->addTab(m_text, QStringLiteral("docExplain"));
    m_tabs->addTab(m_explain, explainTab);
    m_tabs->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    placeIn(widgets.textArea, m_tabs);
    showElementTabs(false);

    m_refFile = new reffile;
    placeIn(widgets.ref1, m_refFile);
    m_refUrl = new refurl;
    m_refUrl->SetOwnerKind(m_kind == ChapterFile::InstanceDocument ? refurl::InstanceDocKind
                                                                   : refurl::ModelDocKind);
    placeIn(widgets.ref2, m_refUrl);

    m_menu = new QMenu(this);
    const char *const texts[6] = {QT_TR_NOOP("Create Chapter"), QT_TR_NOOP("Delete Chapter"),
                                  QT_TR_NOOP("Set Chapter"),    QT_TR_NOOP("Unset Chapter"),
                                  QT_TR_NOOP("Moveup Chapter"), QT_TR_NOOP("Movedown Chapter")};
    void (ChapterEditor::*const handlers[6])() = {
        &ChapterEditor::CreateChapter, &ChapterEditor::DeleteChapter, &ChapterEditor::SetChapter,
        &ChapterEditor::UnsetChapter,  &ChapterEditor::MoveUpChapter, &ChapterEditor::MoveDownChapter};
    for (int i = 0; i < 6; ++i) {
        m_actions[i] = m_menu->addAction(tr(texts[i]));
        connect(m_actions[i], &QAction::triggered, this, handlers[i]);
    }

    QTreeWidget *chapters = widgets.chapters;
    chapters->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chapters, &QWidget::customContextMenuRequested, this, &ChapterEditor::TreePopupMenu);
    connect(chapters, &QTreeWidget::currentItemChanged, this, &ChapterEditor::CurrentItemChange);
    connect(chapters, &QTreeWidget::expanded, this, &ChapterEditor::ChapColumnAdjustment);
    connect(chapters, &QTreeWidget::collapsed, this, &ChapterEditor::ChapColumnAdjustment);
    connect(widgets.classes, &QTreeWidget::currentItemChanged, this, &ChapterEditor::ClassItemChange);
    connect(widgets.classes, &QTreeWidget::expanded, this, &ChapterEditor::ClassColumnAdjustment);
    connect(widgets.classes, &QTreeWidget::collapsed, this, &ChapterEditor::ClassColumnAdjustment);
    connect(widgets.name, &QLineEdit::textChanged, this, &ChapterEditor::TitleChanged);
    connect(m_tabs, &QTabWidget::currentChanged, this, &ChapterEditor::TabChangeProc);
    for (QLineEdit *field : {widgets.chapter, widgets.modelName, widgets.version})
        field->setReadOnly(true);
    applyEditable(false);
}

TreeItemData *ChapterEditor::RecordOf(const QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(ColNo, Qt::UserRole)) : nullptr;
}

QString ChapterEditor::tieOfRow(const QTreeWidgetItem *classRow)
{
    return classRow ? classRow->data(1, Qt::UserRole).toString() : QString();
}

QString ChapterEditor::tieOf(const QTreeWidgetItem *chapter) const
{
    const TreeItemData *record = RecordOf(chapter);
    return record ? record->GetAttr(ChapterFile::TieAttr(m_kind)) : QString();
}

QString ChapterEditor::unsetText() const
{
    return GetStrVar(RegSlot::StrColUnset);
}

int ChapterEditor::ChapterCount() const
{
    return m_widgets.chapters->topLevelItemCount();
}

QTreeWidgetItem *ChapterEditor::currentChapter() const
{
    return ChapterCount() > 0 ? m_widgets.chapters->currentItem() : nullptr;
}

QString ChapterEditor::TextPath(const TreeItemData *record) const
{
    if (!record || isRefused(record))
        return QString();
    return ChapterFile::TextPath(folder(), m_kind, record->GetAttr(GetStrVar(RegSlot::StrAttrID)));
}

TreeItemData *ChapterEditor::NewChapterRecord(const QString &no, const QString &name, QString *why)
{
    QSet<int> used;
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    for (QTreeWidgetItemIterator it(m_widgets.chapters); *it; ++it) {
        if (const TreeItemData *chapter = RecordOf(*it))
            used.insert(DecimalId::Value(chapter->GetAttr(idAttr)));
    }
    const int id = ChapterFile::NewId(folder(), m_kind, &m_counter, used, why);
    if (id < 0)
        return nullptr;
    auto *record = new TreeItemData;
    record->SetAttr(GetStrVar(RegSlot::StrAttrNo), no);
    record->SetAttr(GetStrVar(RegSlot::StrAttrName), name);
    record->SetAttr(ChapterFile::TieAttr(m_kind), QString());
    record->SetAttr(idAttr, QString::number(id));
    // A new chapter has no file yet: its text is the empty text, not a file to read.
    record->TextLoaded() = true;
    return record;
}

// ---- links between chapters and elements ----

void ChapterEditor::showTie(QTreeWidgetItem *chapter, const QString &text, bool black)
{
    chapter->setText(ColTie, text);
    chapter->setForeground(ColTie, black ? QBrush(Qt::black) : QBrush(Qt::red));
}

void ChapterEditor::showClassRow(QTreeWidgetItem *row, QTreeWidgetItem *chapter)
{
    if (!row)
        return;
    // Every row shares one brush of each colour: a brush built per row is an allocation per row
    // and per column, tens of thousands at a large open.
    static const QBrush tied(Qt::black);
    static const QBrush untied(Qt::red);
    row->setData(2, Qt::UserRole, pointerData(chapter));
    for (int c : {0, 1}) {
        row->setText(c, chapter ? chapter->text(c) : unsetText());
        row->setForeground(c, chapter ? tied : untied);
    }
}

void ChapterEditor::link(QTreeWidgetItem *chapter, QTreeWidgetItem *element)
{
    element->setData(3, Qt::UserRole, pointerData(chapter));
    showClassRow(classRowOf(element), chapter);
}

void ChapterEditor::unlink(QTreeWidgetItem *element)
{
    if (!element)
        return;
    element->setData(3, Qt::UserRole, pointerData(nullptr));
    showClassRow(classRowOf(element), nullptr);
}

// ---- loading ----

// A second load from the same document finds no chapters there (the tree holds them): the tree
// stays, with its unsaved edits, and only the ties are looked up again.
bool ChapterEditor::loadChapters()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store && store->HasDoc(storeIndex()) ? store->GetXmlDoc(storeIndex()) : nullptr;
    if (m_loaded && m_readable && doc && doc == m_doc) {
        for (QTreeWidgetItemIterator it(m_widgets.chapters); *it; ++it)
            resolveTie(*it);
        return true;
    }
    clearChapters();
    const bool another = !m_loaded || doc != m_doc;
    m_loaded = true;
    m_doc = doc;
    // A stand-in for a file that did not load has no file name: nothing may be saved over it.
    const QString file = doc ? store->DocFileName(storeIndex()) : QString();
    const QString root = doc ? doc->documentElement().tagName() : QString();
    m_readable = doc && !file.isEmpty() && root == rootTag();
    // A file of another kind under this name is kept as it is, and said so once.
    if (doc && !file.isEmpty() && !m_readable && another)
        UiReport::LeftOut({UiReport::LeftOutLine(file, UiReport::WrongRoot(root, rootTag()))});
    m_counter = 1;
    m_read.clear();
    const bool empty = !m_readable || !ChapterFile::HasChapters(doc->documentElement());
    // Without chapters the explanation tab reads black; the instance document has no text to edit.
    m_tabs->tabBar()->setTabTextColor(0, empty ? QColor(Qt::black) : QColor(Qt::white));
    if (empty && m_kind == ChapterFile::InstanceDocument)
        applyEditable(false);
    if (!m_readable)
        return false;
    QList<ChapterFile::Chapter> chapters;
    m_counter = ChapterFile::Take(doc->documentElement(), m_kind, &chapters, &m_read);
    const QString tieAttr = ChapterFile::TieAttr(m_kind);
    std::function<void(QTreeWidgetItem *, const QList<ChapterFile::Chapter> &)> build =
        [&](QTreeWidgetItem *parent, const QList<ChapterFile::Chapter> &list) {
            for (const ChapterFile::Chapter &c : list) {
                auto *record = new TreeItemData;
                record->SetAttr(GetStrVar(RegSlot::StrAttrNo), c.no);
                record->SetAttr(GetStrVar(RegSlot::StrAttrName), c.name);
                record->SetAttr(GetStrVar(RegSlot::StrAttrID), c.id);
                record->SetAttr(tieAttr, c.tie);
                refused(record) = !c.usable;
                // The element as read rides with the row, so that a save writes back what this
                // program does not know of it wherever the chapter goes.
                if (!c.element.isNull())
                    record->kept = {c.element};
                auto *item = new QTreeWidgetItem;
                item->setData(ColNo, Qt::UserRole, TreeItemData::ToData(record));
                record->SetItem(item);
                item->setText(ColNo, c.no);
                item->setText(ColName, c.name);
                item->setText(ColDocId, QStringLiteral("D") + c.id);
                resolveTie(item);
                parent->addChild(item);
                build(item, c.children);
            }
        };
    build(m_widgets.chapters->invisibleRootItem(), chapters);
    ExpandAllFitted(m_widgets.chapters);
    return true;
}

void ChapterEditor::resolveTie(QTreeWidgetItem *chapter)
{
    const QString tie = tieOf(chapter);
    const bool instance = m_kind == ChapterFile::InstanceDocument;
    const QString prefix = instance ? QStringLiteral("I") : QStringLiteral("M");
    if (QTreeWidgetItem *element = elementOf(tie)) {
        link(chapter, element);
        showTie(chapter, prefix + tie, true);
    } else if (tie.isEmpty() || instance) {
        // An instance element that is gone loses its chapter; a model element's ID stays, shown
        // red, for the model's owner to see.
        RecordOf(chapter)->SetAttr(ChapterFile::TieAttr(m_kind), QString());
        if (!tie.isEmpty() || chapter->text(ColTie).isEmpty())
            showTie(chapter, QStringLiteral("UnSet"), false);
    } else {
        showTie(chapter, prefix + tie, false);
    }
}

void ChapterEditor::clearChapters()
{
    const bool clearing = std::exchange(m_clearing, true);
    if (m_text)
        m_text->SetEditItem(nullptr);
    m_noted = nullptr;
    QTreeWidget *tree = m_widgets.chapters;
    if (tree) {
        QVector<TreeItemData *> records;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            records.append(RecordOf(*it));
        // Taking rows out one by one moves all the rest each time; the tree lets go of them at once.
        // The records live until then: a slot called during the clear may still read them.
        tree->clear();
        qDeleteAll(records);
    }
    m_clearing = clearing;
}

void ChapterEditor::clearDocument()
{
    m_clearing = true;
    clearChapters();
    takeClassRows();
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
        store->CloseXmlDoc(storeIndex());
    for (QLineEdit *field : {m_widgets.modelName, m_widgets.version, m_widgets.chapter, m_widgets.name})
        field->clear();
    hideElement();
    std::fill(std::begin(m_flags), std::end(m_flags), false);
    m_flags[0] = true;
    m_explainTab = 0;
    m_counter = 1;
    m_read.clear();
    m_loaded = false;
    m_readable = true;
    m_refusedTexts.clear();
    m_clearing = false;
}

// ---- saving ----

void ChapterEditor::Save()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    // A stand-in for a file that did not load has no file name and is never written over it.
    if (!store || !store->HasDoc(storeIndex()) || store->DocFileName(storeIndex()).isEmpty() || !m_readable)
        return;
    if (!m_loaded) {
        // Not read into the tree yet: the document still holds its chapters as read.
        if (store->SaveXmlDoc(storeIndex()) == 0)
            SetBoolVar(RegSlot::FlagWriteFailed, true);
        return;
    }
    if (TreeItemData *record = RecordOf(currentChapter()))
        TakeChapterText(record);
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    const QString tieAttr = ChapterFile::TieAttr(m_kind);
    QList<QPair<TreeItemData *, QString>> texts;
    std::function<QList<ChapterFile::Chapter>(QTreeWidgetItem *)> collect = [&](QTreeWidgetItem *parent) {
        QList<ChapterFile::Chapter> list;
        for (int i = 0; i < parent->childCount(); ++i) {
            QTreeWidgetItem *item = parent->child(i);
            TreeItemData *record = RecordOf(item);
            ChapterFile::Chapter c;
            c.no = item->text(ColNo);
            c.name = item->text(ColName);
            c.id = record->GetAttr(idAttr);
            c.tie = record->GetAttr(tieAttr);
            c.element = record->kept.value(0);
            const QString path = TextPath(record);
            if (!path.isEmpty())
                texts.append({record, path});
            c.children = collect(item);
            list.append(c);
        }
        return list;
    };
    const QList<ChapterFile::Chapter> chapters = collect(m_widgets.chapters->invisibleRootItem());
    // The editor keeps chapters within what the file holds; should the tree still have grown past
    // it, the file on disk stays readable for everyone and the changes stay in the editor.
    const int levels = ChapterFile::Levels(chapters, m_read);
    if (levels > ChapterFile::MaxLevels) {
        UiReport::Error(tr("Save Document"),
                        tr("%1 is not saved: its chapters would nest %2 levels deep, and a chapter file "
                           "holds at most %3 so that every member can still open it. The changes "
                           "stay in the document.")
                            .arg(store->DocFileName(storeIndex()))
                            .arg(levels)
                            .arg(ChapterFile::MaxLevels));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return;
    }
    QDomElement root = store->GetXmlDoc(storeIndex())->documentElement();
    ChapterFile::Append(root, m_kind, chapters, m_counter, m_read);
    bool ok = store->SaveXmlDoc(storeIndex()) != 0;
    ChapterFile::RemoveChapters(root);
    // A chapter's text belongs to the chapter its ID names in the file: written only once that
    // file is, and nothing of a document whose file the user kept unsaved.
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow); ok && mw) {
        for (const auto &text : texts)
            ok = mw->WriteTextFile(text.first, text.second) && ok;
    }
    if (!ok)
        SetBoolVar(RegSlot::FlagWriteFailed, true);
    m_text->ClearModified();
}

// ---- chapter texts ----

// A text is read when first shown, and a refused one each time it is shown again: its owner may
// have mended the file meanwhile. The reason shown is the one this editor's own read met, since any
// later read of the path elsewhere clears the shared record and would leave an empty editor taking
// typing that a save writes over the mended file. A refused text takes no typing, so no edit is
// read over.
void ChapterEditor::LoadChapterText(TreeItemData *record)
{
    const QString expression = GetStrVar(RegSlot::StrAttrExpression);
    const QString path = TextPath(record);
    const bool retry = m_refusedTexts.contains(path) && !record->TextChanged();
    if (!record->TextLoaded() || retry) {
        auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
        record->SetAttr(expression, mw && !path.isEmpty() ? mw->ReadTextFile(path) : QString());
        record->TextLoaded() = true;
        const QString refusal = mw && !path.isEmpty() ? TextFiles::RefusalOf(path) : QString();
        if (refusal.isEmpty())
            m_refusedTexts.remove(path);
        else
            m_refusedTexts.insert(path, refusal);
    }
    m_text->SetRefusal(m_refusedTexts.value(path));
    const QString text = record->GetAttr(expression);
    m_text->UndoRedoOff();
    m_text->setPlainText(text);
    if (!text.isEmpty()) {
        m_text->SetCursorPos(record->counter2);
        m_text->SetScrollPos(record->counter1);
    }
    m_text->UndoRedoOn();
    m_text->ClearModified();
}

void ChapterEditor::TakeChapterText(TreeItemData *record)
{
    if (m_text->IsModified() && m_text->EditItem() == record) {
        record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), m_text->toPlainText());
        record->TextChanged() = true;
        m_text->ClearModified();
    }
    record->TextLoaded() = true;
}

// The chapter shown so far is the text editor's record, also when the tree has no previous item.
void ChapterEditor::storePositions()
{
    TreeItemData *record = m_text->EditItem();
    if (!record)
        return;
    record->counter1 = m_text->GetScrollPos();
    record->counter2 = m_text->GetCursorPos();
    if (keepsText())
        TakeChapterText(record);
}

void ChapterEditor::Renumber(QTreeWidgetItem *parent)
{
    const QString prefix =
        parent == m_widgets.chapters->invisibleRootItem() ? QString() : parent->text(ColNo);
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *item = parent->child(i);
        SetChapterNo(item, ChapterNumber::Child(prefix, i + 1));
        Renumber(item);
    }
}

void ChapterEditor::SetChapterNo(QTreeWidgetItem *chapter, const QString &no)
{
    chapter->setText(ColNo, no);
    RecordOf(chapter)->SetAttr(GetStrVar(RegSlot::StrAttrNo), no);
    if (QTreeWidgetItem *element = elementOf(tieOf(chapter)))
        showClassRow(classRowOf(element), chapter);
}

void ChapterEditor::ShiftNumbers(QTreeWidgetItem *parent, int from, int level, int delta)
{
    std::function<void(QTreeWidgetItem *)> shift = [&](QTreeWidgetItem *item) {
        SetChapterNo(item, ChapterNumber::Shifted(item->text(ColNo), level, delta));
        for (int i = 0; i < item->childCount(); ++i)
            shift(item->child(i));
    };
    for (int i = from; i < parent->childCount(); ++i)
        shift(parent->child(i));
}

ChapterEditor *ChapterEditor::Registered(int kind)
{
    const globalvar reg;
    if (kind == ChapterFile::InstanceDocument)
        return reg.GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument);
    return reg.GetObj<ModelDoc>(RegSlot::ObjModelDoc);
}
