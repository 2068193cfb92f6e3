#include "docs/chapterdiag.h"

#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "docs/chaptereditor.h"
#include "docs/chapterfile.h"
#include "ui_chapterdiag.h"

#include <QTreeWidget>

namespace
{
// The chapter's level in the tree (1 at the top), whatever its number says.
int levelOf(const QTreeWidgetItem *chapter)
{
    int level = 0;
    for (; chapter; chapter = chapter->parent())
        ++level;
    return level;
}
} // namespace

ChapterDiag::ChapterDiag(QWidget *parent) : QDialog(parent), m_ui(new Ui::ChapterDiag)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->MSG->clear();
    m_notice = tr("this chapter will be renumbering:");
    connect(m_ui->OK, &QPushButton::clicked, this, &ChapterDiag::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &ChapterDiag::CancelProc);
    connect(m_ui->CHAPTERBOX, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ChapterDiag::IndexChanged);
}

ChapterDiag::~ChapterDiag()
{
    delete m_ui;
}

bool ChapterDiag::SetData(QTreeWidget *tree, QTreeWidgetItem *current)
{
    m_ui->TITLE->clear();
    m_ui->MSG->clear();
    m_tree = tree;
    m_anchor = current;
    m_first = tree->topLevelItemCount() == 0;
    const QSignalBlocker block(m_ui->CHAPTERBOX);
    m_ui->CHAPTERBOX->clear();
    if (m_first) {
        m_anchor = nullptr;
        m_ui->CHAPTERBOX->addItem(QStringLiteral("1."));
    } else if (!current) {
        UiReport::System(QStringLiteral("SYSTEM ERROR=CAPTER001"));
        return false;
    } else {
        QTreeWidgetItem *parent = current->parent() ? current->parent() : tree->invisibleRootItem();
        m_anchorLast = parent->indexOfChild(current) == parent->childCount() - 1;
        const int children = current->childCount();
        const ChapterNumber::Choices choices = ChapterNumber::ChoicesFor(
            current->text(ChapterEditor::ColNo), m_anchorLast,
            children > 0 ? current->child(children - 1)->text(ChapterEditor::ColNo) : QString());
        m_ui->CHAPTERBOX->addItems(choices.texts);
        m_ui->CHAPTERBOX->setCurrentIndex(choices.selected);
        m_subChoice = choices.sub;
        IndexChanged(choices.selected);
    }
    m_ui->TITLE->setFocus();
    return true;
}

void ChapterDiag::IndexChanged(int index)
{
    m_ui->MSG->clear();
    if (index == 0 && !m_first)
        m_ui->MSG->setText(m_notice + m_ui->CHAPTERBOX->itemText(0));
    else if (index == m_subChoice && !m_first && subTooDeep())
        m_ui->MSG->setText(tooDeepText());
}

bool ChapterDiag::subTooDeep() const
{
    return m_anchor && levelOf(m_anchor) >= ChapterFile::MaxLevels;
}

QString ChapterDiag::tooDeepText() const
{
    return tr("Chapters nest at most %1 levels deep, so that every member can still open the file: "
              "chapter %2 takes no sub-chapter.")
        .arg(ChapterFile::MaxLevels)
        .arg(m_anchor ? m_anchor->text(ChapterEditor::ColNo) : QString());
}

void ChapterDiag::CancelProc()
{
    reject();
}

void ChapterDiag::OkProc()
{
    ChapterEditor *editor = ChapterEditor::Registered(m_kind);
    if (!editor || !m_tree)
        return;
    m_ui->MSG->clear();
    const QString title = m_ui->TITLE->text();
    if (title.isEmpty()) {
        m_ui->MSG->setText(tr("Title is empty"));
        return;
    }
    // Refused before an ID is given out: nothing changes and the title stays typed.
    if (!m_first && m_ui->CHAPTERBOX->currentIndex() == m_subChoice && subTooDeep()) {
        m_ui->MSG->setText(tooDeepText());
        return;
    }
    QString why;
    TreeItemData *record = editor->NewChapterRecord(m_ui->CHAPTERBOX->currentText(), title, &why);
    if (!record) {
        m_ui->MSG->setText(why);
        return;
    }
    auto *item = new QTreeWidgetItem;
    item->setData(ChapterEditor::ColNo, Qt::UserRole, TreeItemData::ToData(record));
    record->SetItem(item);
    item->setText(ChapterEditor::ColNo, m_ui->CHAPTERBOX->currentText());
    item->setText(ChapterEditor::ColName, title);
    item->setText(ChapterEditor::ColDocId,
                  QStringLiteral("D") + record->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    item->setText(ChapterEditor::ColTie, GetStrVar(RegSlot::StrColUnset));
    item->setForeground(ChapterEditor::ColTie, QBrush(Qt::red));
    place(item);
    m_tree->setCurrentItem(item);
    editor->UpdateEditorState();
    TreeColumnAdjustment(m_tree);
    editor->SetModified();
    editor->RefreshChapterMenu();
    editor->SetEditableAfter(true);
    accept();
}

void ChapterDiag::place(QTreeWidgetItem *item)
{
    if (m_first || !m_anchor) {
        m_tree->addTopLevelItem(item);
        return;
    }
    ChapterEditor *editor = ChapterEditor::Registered(m_kind);
    QTreeWidgetItem *parent = m_anchor->parent() ? m_anchor->parent() : m_tree->invisibleRootItem();
    const int index = parent->indexOfChild(m_anchor);
    const int choice = m_ui->CHAPTERBOX->currentIndex();
    if (choice == 0) {
        const int level = m_anchor->parent() ? ChapterNumber::Level(m_anchor->text(ChapterEditor::ColNo)) : 1;
        editor->ShiftNumbers(parent, index, level, 1);
        parent->insertChild(index, item);
    } else if (choice == m_subChoice) {
        m_anchor->addChild(item);
        m_anchor->setExpanded(true);
    } else {
        parent->insertChild(index + 1, item);
    }
}
