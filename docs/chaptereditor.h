#pragma once

#include "core/globalvar.h"
#include "docs/chapterfile.h"

#include <QHash>
#include <QWidget>
#include <algorithm>

class QDomDocument;

class ChapterDiag;
class DelChapter;
class NumEditor;
class QAction;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;
class reffile;
class refurl;

// What the model and instance document editors share: the chapter tree as the working copy of
// DocModel.xml or DocInstance.xml, its load and save, the chapter text and explanation editors,
// the element panes, the chapter actions and their menu, moving, renaming and renumbering. The
// two editors add how their elements are found, shown and tied, and who may edit.
class ChapterEditor : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    // Columns of the chapter tree.
    enum Column { ColNo = 0, ColName = 1, ColDocId = 2, ColTie = 3 };

    ~ChapterEditor() override;

    static TreeItemData *RecordOf(const QTreeWidgetItem *item);
    QTreeWidget *ChapterTree() const { return m_widgets.chapters; }
    QTreeWidget *ClassTree() const { return m_widgets.classes; }
    NumEditor *TextEditor() const { return m_text; }
    bool IsEditable() const { return m_editable && m_readable; }
    // False for a document file that exists but could not be read: shown empty, never saved.
    bool IsReadable() const { return m_readable; }

    // ---- file (chaptereditor.cpp) ----
    void Save();
    int ChapterCount() const;
    // The chapter's text file, or empty for a chapter whose ID may not become a file name.
    QString TextPath(const TreeItemData *record) const;
    // A chapter record made by the create dialog; nullptr, with the reason in *why and nothing
    // changed, when no ID can be given.
    TreeItemData *NewChapterRecord(const QString &no, const QString &name, QString *why = nullptr);
    void LoadChapterText(TreeItemData *record);
    void TakeChapterText(TreeItemData *record);
    // Recomputes the numbers of the children of parent (the invisible root for the top level)
    // and of all their descendants from their positions.
    void Renumber(QTreeWidgetItem *parent);

    // ---- state and menus (chaptereditor_view.cpp) ----
    void SetModified();
    void ActivateEditor();
    void RefreshChapterMenu();
    void UpdateEditorState();
    void LayoutAdjust();
    void SelectFirstChapter();
    void ClearText();
    void SetEditableAfter(bool created);
    void UntieBeforeDelete(QTreeWidgetItem *chapter);
    // Gives a chapter a new number, in its record and in its element's class row too.
    void SetChapterNo(QTreeWidgetItem *chapter, const QString &no);
    // Moves the level-th number of the children of parent from index on, and of everything below
    // them, by delta.
    void ShiftNumbers(QTreeWidgetItem *parent, int from, int level, int delta);
    // The editor registered for a kind of document.
    static ChapterEditor *Registered(int kind);
    void DisableChapterMenu();

public slots:
    void CreateChapter();
    void DeleteChapter();
    void SetChapter();
    void MoveUpChapter();
    void MoveDownChapter();
    void UnsetChapter();
    void TreePopupMenu(const QPoint &point);
    void CurrentItemChange(QTreeWidgetItem *item, QTreeWidgetItem *previous);
    void ClassItemChange(QTreeWidgetItem *item, QTreeWidgetItem *previous);
    void TitleChanged(const QString &text);
    void TabChangeProc(int index);
    void ChapColumnAdjustment(const QModelIndex &index);
    void ClassColumnAdjustment(const QModelIndex &index);

protected:
    // Expands every row of a freshly built tree and fits its columns once: each row's own
    // expanded signal would fit the whole tree again, quadratic in a large workspace.
    void ExpandAllFitted(QTreeWidget *tree);
    // The form's widgets the shared part works on; each editor's form names them alike.
    struct Widgets {
        QTreeWidget *chapters = nullptr;
        QTreeWidget *classes = nullptr;
        QLineEdit *modelName = nullptr;
        QLineEdit *version = nullptr;
        QLineEdit *chapter = nullptr;
        QLineEdit *name = nullptr;
        QWidget *textArea = nullptr;
        QWidget *ref1 = nullptr;
        QWidget *ref2 = nullptr;
        QSplitter *splitters[4] = {};
    };

    ChapterEditor(ChapterFile::Kind kind, QWidget *parent);
    // Called by each editor's constructor once its form is set up; both forms name alike.
    template <class Form> void init(Form *ui, const QString &explainTab, int textSlot, int explainSlot)
    {
        Widgets w;
        w.chapters = ui->CHAPTER_TREE;
        w.classes = ui->CLASS_TREE;
        w.modelName = ui->MODELNAME;
        w.version = ui->VERSION;
        w.chapter = ui->CHAPTER;
        w.name = ui->NAME;
        w.textArea = ui->LOUT;
        w.ref1 = ui->REF1;
        w.ref2 = ui->REF2;
        QSplitter *const splitters[4] = {ui->splitter, ui->splitter_4, ui->splitter_2, ui->splitter_3};
        std::copy(std::begin(splitters), std::end(splitters), std::begin(w.splitters));
        init(w, explainTab, textSlot, explainSlot);
    }
    void init(const Widgets &widgets, const QString &explainTab, int textSlot, int explainSlot);
    // Takes the class rows out of the tree without deleting them: they belong to element records.
    void takeClassRows();

    // The element a chapter is tied to, or null when it is gone.
    virtual QTreeWidgetItem *elementOf(const QString &tie) const = 0;
    // The element's own row in this editor's class tree.
    virtual QTreeWidgetItem *classRowOf(QTreeWidgetItem *element) const = 0;
    // The element's key in the class row (column 1, user role) as a chapter's tie.
    static QString tieOfRow(const QTreeWidgetItem *classRow);
    virtual QTreeWidgetItem *elementOfRow(QTreeWidgetItem *classRow) const = 0;
    // Shows the tied element's explanation and references.
    virtual void showElement(QTreeWidgetItem *element) = 0;
    // Whether a class row may take a chapter (the instance's member rows may not).
    virtual bool mayTie(QTreeWidgetItem *classRow) const = 0;
    // Whether the previous chapter's text is taken over when another chapter is shown.
    virtual bool keepsText() const = 0;
    virtual int modifiedFlag() const = 0;
    virtual int storeIndex() const = 0;
    virtual QString folder() const = 0;
    virtual QString rootTag() const = 0;

    // Builds the chapter tree from the document in the store; false when it cannot be read.
    bool loadChapters();
    void clearChapters();
    // Empties the editor when the workspace closes and closes the document in the store.
    void clearDocument();
    void resolveTie(QTreeWidgetItem *chapter);
    // Ties a chapter to an element: both keep the chapter item and the class row shows it.
    void link(QTreeWidgetItem *chapter, QTreeWidgetItem *element);
    void unlink(QTreeWidgetItem *element);
    void showClassRow(QTreeWidgetItem *row, QTreeWidgetItem *chapter);
    void showTie(QTreeWidgetItem *chapter, const QString &text, bool black);
    void hideElement();
    // The current chapter's element; when it has gone meanwhile, the panes let go of it.
    QTreeWidgetItem *shownElement();
    void showElementTabs(bool shown);
    void applyEditable(bool editable);
    void computeFlags(QTreeWidgetItem *chapter);
    void pushFlags();
    void moveChapter(int delta);
    QTreeWidgetItem *currentChapter() const;
    QString tieOf(const QTreeWidgetItem *chapter) const;
    QString unsetText() const;

    ChapterFile::Kind m_kind;
    Widgets m_widgets;
    ChapterDiag *m_chapterDiag = nullptr;
    DelChapter *m_delChapter = nullptr;
    NumEditor *m_text = nullptr;
    NumEditor *m_explain = nullptr;
    QTabWidget *m_tabs = nullptr;
    reffile *m_refFile = nullptr;
    refurl *m_refUrl = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_actions[6] = {};
    bool m_editable = false;
    bool m_readable = true;
    bool m_loaded = false;
    // The store's document the chapters were taken from.
    QDomDocument *m_doc = nullptr;
    bool m_clearing = false;
    bool m_bulkExpand = false;
    int m_counter = 1;
    // The root's nodes as the chapters were taken: where the save puts back what stood around them.
    ChapterFile::ReadNodes m_read;
    // create, delete, set, unset, move up, move down
    bool m_flags[6] = {true, false, false, false, false, false};
    QTreeWidgetItem *m_noted = nullptr;
    int m_explainTab = 0;
    // Chapter texts whose last read here was refused, by path, with the reason that read met.
    QHash<QString, QString> m_refusedTexts;

private:
    void storePositions();
};
