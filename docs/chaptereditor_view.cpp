#include "core/postbox.h"
#include "core/treeitemdata.h"
#include "docs/chapterdiag.h"
#include "docs/chaptereditor.h"
#include "docs/delchapter.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <functional>

namespace
{
const QColor kTabShown(Qt::white);
const QColor kTabUsable(QStringLiteral("#00dd00"));
const QColor kTabUnusable(Qt::gray);

// Sets a flag for the length of a scope and puts back what it was.
class FlagScope : protected virtual globalvar
{
public:
    explicit FlagScope(int flag) : m_flag(flag), m_was(GetBoolVar(flag)) { SetBoolVar(flag, true); }
    ~FlagScope() override { SetBoolVar(m_flag, m_was); }

private:
    int m_flag;
    bool m_was;
};
} // namespace

void ChapterEditor::SetModified()
{
    const int flag = modifiedFlag();
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || GetBoolVar(flag))
        return;
    SetBoolVar(flag, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

void ChapterEditor::applyEditable(bool editable)
{
    m_widgets.name->setEnabled(editable);
    m_text->SetWritable(editable);
}

// ---- the element panes ----

void ChapterEditor::showElementTabs(bool shown)
{
    QTabBar *bar = m_tabs->tabBar();
    bar->setTabTextColor(0, kTabShown);
    m_tabs->setTabEnabled(1, shown);
    bar->setTabTextColor(1, shown ? kTabUsable : kTabUnusable);
    if (shown)
        m_tabs->setCurrentIndex(0);
}

void ChapterEditor::hideElement()
{
    showElementTabs(false);
    m_explain->clear();
    m_explain->SetRefusal(QString());
    m_refFile->ClearList();
    m_refFile->setEnabled(false);
    m_refUrl->ClearList();
    m_refUrl->setEnabled(false);
}

QTreeWidgetItem *ChapterEditor::shownElement()
{
    QTreeWidgetItem *element = elementOf(tieOf(currentChapter()));
    if (!element)
        hideElement();
    return element;
}

// ---- chapter actions ----

void ChapterEditor::computeFlags(QTreeWidgetItem *chapter)
{
    std::fill(std::begin(m_flags), std::end(m_flags), false);
    if (!IsEditable())
        return;
    m_flags[0] = true;
    if (ChapterCount() == 0 || !chapter)
        return;
    m_flags[1] = true;
    QTreeWidgetItem *parent = chapter->parent() ? chapter->parent() : m_widgets.chapters->invisibleRootItem();
    const int index = parent->indexOfChild(chapter);
    m_flags[4] = index > 0;
    m_flags[5] = index >= 0 && index < parent->childCount() - 1;
    QTreeWidgetItem *row = m_widgets.classes->currentItem();
    m_flags[2] = row && mayTie(row) && !row->data(2, Qt::UserRole).value<void *>();
    m_flags[3] = !tieOf(chapter).isEmpty();
}

void ChapterEditor::pushFlags()
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SetChapterActions(m_flags[0], m_flags[1], m_flags[2], m_flags[3], m_flags[4], m_flags[5]);
}

void ChapterEditor::DisableChapterMenu()
{
    std::fill(std::begin(m_flags), std::end(m_flags), false);
    pushFlags();
}

void ChapterEditor::RefreshChapterMenu()
{
    UpdateEditorState();
    m_noted = currentChapter();
    computeFlags(m_noted);
    pushFlags();
}

void ChapterEditor::TreePopupMenu(const QPoint &point)
{
    m_noted = currentChapter();
    computeFlags(m_noted);
    for (int i = 0; i < 6; ++i)
        m_actions[i]->setEnabled(m_flags[i]);
    if (m_flags[0] || m_flags[1] || m_flags[2] || m_flags[3])
        m_menu->popup(m_widgets.chapters->viewport()->mapToGlobal(point));
}

void ChapterEditor::CreateChapter()
{
    if (!IsEditable())
        return;
    if (m_chapterDiag->SetData(m_widgets.chapters, currentChapter()))
        m_chapterDiag->show();
}

void ChapterEditor::DeleteChapter()
{
    QTreeWidgetItem *chapter = currentChapter();
    if (!IsEditable() || !chapter)
        return;
    m_delChapter->SetData(m_widgets.chapters, chapter);
    m_delChapter->show();
}

void ChapterEditor::SetChapter()
{
    QTreeWidgetItem *row = m_widgets.classes->currentItem();
    QTreeWidgetItem *chapter = currentChapter();
    if (!IsEditable() || !row || !chapter || !mayTie(row) || row->data(2, Qt::UserRole).value<void *>())
        return;
    unlink(elementOf(tieOf(chapter)));
    const QString key = tieOfRow(row);
    RecordOf(chapter)->SetAttr(ChapterFile::TieAttr(m_kind), key);
    const QString prefix =
        m_kind == ChapterFile::InstanceDocument ? QStringLiteral("I") : QStringLiteral("M");
    showTie(chapter, prefix + key, true);
    if (QTreeWidgetItem *element = elementOfRow(row)) {
        link(chapter, element);
        showElement(element);
    } else {
        hideElement();
    }
    TreeColumnAdjustment(m_widgets.chapters);
    TreeColumnAdjustment(m_widgets.classes);
    computeFlags(chapter);
    pushFlags();
    SetModified();
}

void ChapterEditor::UnsetChapter()
{
    QTreeWidgetItem *chapter = currentChapter();
    if (!IsEditable() || !chapter || tieOf(chapter).isEmpty())
        return;
    QTreeWidgetItem *element = elementOf(tieOf(chapter));
    if (element) {
        QMessageBox box(this);
        box.setWindowIcon(GetLogoIcon());
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(tr("set Unset"));
        box.setInformativeText(tr("Will you want to unset the document"));
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        QPushButton *no = box.addButton(QMessageBox::No);
        yes->setObjectName(QStringLiteral("yes"));
        no->setObjectName(QStringLiteral("no"));
        box.setEscapeButton(no);
        box.exec();
        if (box.clickedButton() != yes)
            return;
    }
    showTie(chapter, unsetText(), false);
    RecordOf(chapter)->SetAttr(ChapterFile::TieAttr(m_kind), QString());
    if (element) {
        QTreeWidgetItem *row = classRowOf(element);
        unlink(element);
        {
            FlagScope updating(RegSlot::FlagUpdating);
            m_widgets.classes->setCurrentItem(row);
        }
        hideElement();
    } else if (m_kind == ChapterFile::ModelDocument) {
        hideElement();
    }
    if (element && m_kind == ChapterFile::InstanceDocument) {
        // The instance document marks itself without a posted message and turns Save on itself.
        SetBoolVar(modifiedFlag(), true);
        SetBoolVar(RegSlot::FlagSaveNeeded, true);
        if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
            mw->EnableFileAction(7, true);
    } else {
        SetModified();
    }
    TreeColumnAdjustment(m_widgets.chapters);
    TreeColumnAdjustment(m_widgets.classes);
    computeFlags(chapter);
    pushFlags();
}

void ChapterEditor::UntieBeforeDelete(QTreeWidgetItem *chapter)
{
    if (QTreeWidgetItem *element = elementOf(tieOf(chapter))) {
        RecordOf(chapter)->SetAttr(ChapterFile::TieAttr(m_kind), QString());
        unlink(element);
        hideElement();
    }
    if (m_text->EditItem() == RecordOf(chapter))
        m_text->SetEditItem(nullptr);
    if (m_noted == chapter)
        m_noted = nullptr;
    FlagScope updating(RegSlot::FlagUpdating);
    m_widgets.chapter->clear();
    m_widgets.name->clear();
}

void ChapterEditor::moveChapter(int delta)
{
    QTreeWidgetItem *chapter = currentChapter();
    if (!IsEditable() || !chapter)
        return;
    QTreeWidgetItem *parent = chapter->parent() ? chapter->parent() : m_widgets.chapters->invisibleRootItem();
    const int index = parent->indexOfChild(chapter);
    const int target = index + delta;
    if (target < 0 || target >= parent->childCount())
        return;
    {
        // The chapter stays the one shown: taking it out and back is no change of chapter.
        const bool clearing = std::exchange(m_clearing, true);
        parent->insertChild(target, parent->takeChild(index));
        std::function<void(QTreeWidgetItem *)> expand = [&](QTreeWidgetItem *item) {
            item->setExpanded(true);
            for (int i = 0; i < item->childCount(); ++i)
                expand(item->child(i));
        };
        expand(chapter);
        m_widgets.chapters->setCurrentItem(chapter);
        m_clearing = clearing;
    }
    Renumber(parent);
    {
        FlagScope updating(RegSlot::FlagUpdating);
        m_widgets.chapter->setText(chapter->text(ColNo));
    }
    TreeColumnAdjustment(m_widgets.chapters);
    computeFlags(chapter);
    pushFlags();
    SetModified();
}

void ChapterEditor::MoveUpChapter()
{
    moveChapter(-1);
}

void ChapterEditor::MoveDownChapter()
{
    moveChapter(1);
}

// ---- showing a chapter ----

void ChapterEditor::CurrentItemChange(QTreeWidgetItem *item, QTreeWidgetItem *)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_clearing || !item)
        return;
    FlagScope updating(RegSlot::FlagUpdating);
    storePositions();
    TreeItemData *record = RecordOf(item);
    m_widgets.chapter->setText(item->text(ColNo));
    m_widgets.name->setText(item->text(ColName));
    m_text->SetEditItem(record);
    LoadChapterText(record);
    // A chapter whose ID may not name a file keeps its text where it is.
    const bool writable = IsEditable() && !TextPath(record).isEmpty();
    applyEditable(writable);
    if (QTreeWidgetItem *element = elementOf(tieOf(item)))
        showElement(element);
    else
        hideElement();
    computeFlags(item);
    pushFlags();
}

void ChapterEditor::ClassItemChange(QTreeWidgetItem *item, QTreeWidgetItem *)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || m_clearing || !item)
        return;
    if (auto *chapter = static_cast<QTreeWidgetItem *>(item->data(2, Qt::UserRole).value<void *>()))
        m_widgets.chapters->setCurrentItem(chapter);
    UpdateEditorState();
    m_noted = currentChapter();
    computeFlags(m_noted);
    pushFlags();
}

void ChapterEditor::TitleChanged(const QString &text)
{
    QTreeWidgetItem *chapter = currentChapter();
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) || !chapter || !IsEditable())
        return;
    chapter->setText(ColName, text);
    RecordOf(chapter)->SetAttr(GetStrVar(RegSlot::StrAttrName), text);
    if (QTreeWidgetItem *element = elementOf(tieOf(chapter)))
        showClassRow(classRowOf(element), chapter);
    TreeColumnAdjustment(m_widgets.chapters);
    SetModified();
}

void ChapterEditor::TabChangeProc(int index)
{
    if (GetBoolVar(RegSlot::FlagBusy) ||
        (m_kind == ChapterFile::ModelDocument && GetBoolVar(RegSlot::FlagUpdating)))
        return;
    (index == 0 ? m_text : m_explain)->SetActiveEditor();
    m_tabs->tabBar()->setTabTextColor(index, kTabShown);
    if (m_explainTab != index)
        m_tabs->tabBar()->setTabTextColor(m_explainTab, kTabUsable);
    m_explainTab = index;
}

void ChapterEditor::ChapColumnAdjustment(const QModelIndex &)
{
    if (!m_bulkExpand)
        TreeColumnAdjustment(m_widgets.chapters);
}

void ChapterEditor::ClassColumnAdjustment(const QModelIndex &)
{
    if (!m_bulkExpand)
        TreeColumnAdjustment(m_widgets.classes);
}

void ChapterEditor::ExpandAllFitted(QTreeWidget *tree)
{
    {
        const QScopedValueRollback<bool> bulk(m_bulkExpand, true);
        tree->expandAll();
    }
    TreeColumnAdjustment(tree);
}

// ---- called by the tab area and the chapter dialogs ----

void ChapterEditor::ActivateEditor()
{
    (m_tabs->currentIndex() == 1 ? m_explain : m_text)->SetActiveEditor();
}

void ChapterEditor::UpdateEditorState()
{
    const bool chapters = ChapterCount() > 0;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableEditAction(0, chapters);
    m_text->setEnabled(chapters);
    if (!chapters) {
        m_text->SetEditItem(nullptr);
        FlagScope updating(RegSlot::FlagUpdating);
        m_text->clear();
        m_text->SetRefusal(QString());
        m_text->SetNumber(false);
    }
}

void ChapterEditor::ClearText()
{
    FlagScope updating(RegSlot::FlagUpdating);
    m_text->SetEditItem(nullptr);
    m_text->clear();
    m_text->SetRefusal(QString());
    m_text->ClearModified();
}

void ChapterEditor::SetEditableAfter(bool created)
{
    if (created && IsEditable() && m_text->isReadOnly())
        applyEditable(true);
    if (!created && ChapterCount() == 0) {
        FlagScope updating(RegSlot::FlagUpdating);
        m_widgets.name->clear();
        applyEditable(false);
    }
}

void ChapterEditor::SelectFirstChapter()
{
    QTreeWidgetItem *first = m_widgets.chapters->topLevelItem(0);
    computeFlags(first);
    if (first) {
        if (m_widgets.chapters->currentItem() == first)
            CurrentItemChange(first, nullptr);
        else
            m_widgets.chapters->setCurrentItem(first);
    } else {
        applyEditable(false);
        pushFlags();
    }
}

void ChapterEditor::LayoutAdjust()
{
    const int parts[4][2] = {{1, 3}, {2, 3}, {1, 2}, {1, 2}};
    for (int i = 0; i < 4; ++i) {
        QSplitter *s = m_widgets.splitters[i];
        if (!s || s->count() < 2)
            continue;
        const int total = s->orientation() == Qt::Horizontal ? s->width() : s->height();
        const int first = total * parts[i][0] / parts[i][1];
        s->setSizes({first, total - first});
    }
}
