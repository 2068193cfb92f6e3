#include "docs/delchapter.h"

#include "core/treeitemdata.h"
#include "docs/chaptereditor.h"
#include "docs/chapterfile.h"
#include "ui_delchapter.h"

#include <QTreeWidget>
#include <functional>

DelChapter::DelChapter(QWidget *parent) : QDialog(parent), m_ui(new Ui::DelChapter)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->OK, &QPushButton::clicked, this, &DelChapter::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &DelChapter::CancelProc);
}

DelChapter::~DelChapter()
{
    delete m_ui;
}

void DelChapter::SetData(QTreeWidget *tree, QTreeWidgetItem *current)
{
    m_tree = tree;
    m_ui->CHAPTER->setText(current ? current->text(ChapterEditor::ColNo) : QString());
    m_ui->NAME->setText(current ? current->text(ChapterEditor::ColName) : QString());
}

void DelChapter::CancelProc()
{
    reject();
}

void DelChapter::OkProc()
{
    ChapterEditor *editor = ChapterEditor::Registered(m_kind);
    QTreeWidgetItem *chapter = m_tree ? m_tree->currentItem() : nullptr;
    if (!editor || !chapter) {
        reject();
        return;
    }
    QTreeWidgetItem *parent = chapter->parent() ? chapter->parent() : m_tree->invisibleRootItem();
    const int index = parent->indexOfChild(chapter);
    const int level = chapter->parent() ? ChapterNumber::Level(chapter->text(ChapterEditor::ColNo)) : 1;
    editor->ShiftNumbers(parent, index + 1, level, -1);
    {
        // Rows leave the tree one by one: none of them is shown on the way.
        const bool updating = GetBoolVar(RegSlot::FlagUpdating);
        SetBoolVar(RegSlot::FlagUpdating, true);
        std::function<void(QTreeWidgetItem *)> remove = [&](QTreeWidgetItem *item) {
            while (item->childCount() > 0)
                remove(item->child(0));
            if (item->parent())
                item->parent()->removeChild(item);
            else
                m_tree->takeTopLevelItem(m_tree->indexOfTopLevelItem(item));
            editor->UntieBeforeDelete(item);
            delete ChapterEditor::RecordOf(item);
            delete item;
        };
        remove(chapter);
        SetBoolVar(RegSlot::FlagUpdating, updating);
    }
    editor->SetModified();
    editor->ClearText();
    editor->RefreshChapterMenu();
    editor->SetEditableAfter(false);
    if (m_tree->topLevelItemCount() > 0)
        editor->SelectFirstChapter();
    accept();
}
