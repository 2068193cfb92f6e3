#pragma once

#include "core/globalvar.h"
#include "outdef/outrecords.h"
#include "outdef/outxml.h"
#include "output/outputgenerator.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

namespace Ui
{
class outdef;
}
namespace OutXml
{
struct Entry;
}
class Calendar;
class NumEditor;
class OutFile;
class OutHeighlighter;
class OutSeq;
class OutputWidget;
class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

// The output-definition editor: the file and sequence identifiers of an output definition with
// their template texts, the temporary sequences, and the model elements bound as variables.
class outdef final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Kind { FileKind = 0, SeqKind = 1 };
    // The ten Out-menu entries, in the order the main window keeps their states.
    enum Entry {
        EntryCreateFile,
        EntryDeleteFile,
        EntryNextSeq,
        EntryNestSeq,
        EntryMoveUp,
        EntryMoveDown,
        EntryToTemp,
        EntryToFile,
        EntryDeleteSeq,
        EntryOutCheck,
        EntryCount
    };

    explicit outdef(QWidget *parent = nullptr);
    ~outdef() override;

    // ---- lifecycle and files (outdef_file.cpp) ----
    void CreateOutput();
    void OpenOutput();
    void SaveOutput();
    void ClearOutput();
    void SetRootAttribute(const QString &name, const QString &email);
    void StoreCurrentItem();
    void StoreTemplate();
    QString BuildOutputPath();
    QString GetOutputPath() const { return m_relPath; }
    QString GetOwnerName() const { return m_ownerName; }
    QString GetOwnerMail() const { return m_ownerMail; }
    bool IsNewOutput() const { return m_newOutput; }
    QString ReadTemplate(int kind, int number);
    // Brings the record's template text under Expression: read when it was not yet, and again while
    // its last read here was refused and nothing was typed over it. Why it is refused, or empty.
    QString LoadTemplate(TreeItemData *data, int kind);
    bool WriteTemplate(int kind, int number, TreeItemData *record);

    // ---- model tree, lookups and scopes (outdef_model.cpp) ----
    FileRecord *FindFile(int number) const { return m_files.value(number); }
    SeqRecord *FindSeq(int number) const { return m_seqs.value(number); }
    int GetModelLevel(int id);
    int GetMarkerNumber(const QString &text) const;
    bool FindElementNest(int id);
    int GetNestLevel() const { return m_nestLevel; }
    int GetNestLevel2Id() const { return m_nestIds[1]; }
    QTreeWidgetItem *FindScopeItem(const QList<QTreeWidgetItem *> &list, int id);
    QTreeWidgetItem *FindCurrentScopeItem(int id);
    QTreeWidgetItem *GetCurrentFileItem() const;
    void BuildModelTree();
    void BuildScopes();
    static void ExpandTree(QTreeWidget *tree);
    bool IsRepeatable(const QTreeWidgetItem *modelItem) const;

    // ---- page (outdef.cpp) ----
    void SetChanged();
    void SetMenuState();
    void SetEditState();
    void SetFocusEditor();
    void AdjustSplitter();
    void FitEditorSplitter(int kind);
    // Sizes of a two-pane splitter whose handle ranges up to max: the first pane num/den of it.
    static QList<int> SplitSizes(int max, int num, int den)
    {
        return {max * num / den, max - max * num / den};
    }
    // An entry editor of height h above the template area (127 for an editor not laid out yet).
    static QList<int> FitSizes(int h, int max)
    {
        const int first = h == 0 ? 127 : h;
        return {first, qMax(0, max - first)};
    }
    void SetEditorFont();
    void SetMenuVisible(bool s0, bool s1, bool s2, bool s3, bool s4, bool s5, bool s6, bool s7, bool s8,
                        bool s9);
    QTreeWidget *GetFileTree() const;
    QTreeWidget *GetTempTree() const;
    QTreeWidget *GetCurrentTree() const;
    QTreeWidget *GetModelTree() const;
    bool IsCurrentFileItem(QTreeWidgetItem *item) const;
    OutSeq *GetOutSeq() const { return m_outSeq; }
    OutFile *GetOutFile() const { return m_outFile; }
    NumEditor *GetTemplateEditor() const { return m_editor; }
    QTreeWidgetItem *GetFileTreeItem() const;
    QStringList *GetMarkerList(int i) { return i >= 0 && i < 3 ? &m_markerLists[i] : nullptr; }
    QStringList *GetUsedVariableList() { return &m_markerLists[2]; }
    int PageMode() const { return m_pageMode; }
    int SeqCounter() const { return m_seqCounter; }
    int FileCounter() const { return m_fileCounter; }
    // The Out-menu states the page last asked the main window to keep.
    const bool *OutStates() const { return m_outStates; }

    // ---- entries shown in the editors (outdef_show.cpp) ----
    void RefreshSeqTrees();
    void FileOutDiag();

    // ---- generation for the output run ----
    void GenerateFiles(int mode, const OutputGenerator::FileStep &step = {})
    {
        m_generator.GenerateAll(mode, step);
    }
    const QList<GeneratedFile> &GetGeneratedList() const { return m_generator.GetResults(); }
    void SetOutputList(const DefinitionSelection *selection) { m_generator.SetSelectList(selection); }
    OutputWidget *GetOutputWidget() const { return m_outputWidget; }

public slots:
    // identifiers (outdef_ident.cpp)
    void CreateFileDiag();
    void CreateNestingSeqDiag();
    void CreateNextSeqDiag();
    void DeleteFileDiag();
    void DeleteSeqDiag();
    void MoveUpSeqDiag();
    void MoveDownSeqDiag();
    void MoveSeqTempDiag();
    void MoveSeqFileDiag();
    // bindings (outdef_bind.cpp)
    void SetBtnClicked(bool checked = false);
    void UnsetBtnClicked(bool checked = false);
    void ModelTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void ModelTreeDblClicked(QTreeWidgetItem *item, int column);
    void VarTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    // page
    void FileTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void TempTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void FileTreeActivated(QTreeWidgetItem *item, int column);
    void TempTreeActivated(QTreeWidgetItem *item, int column);
    void CurrentTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void ChangeFileTitle(const QString &text);
    void ChangeSeqTitle(const QString &text);
    void SdateBtnProc();
    void CdateBtnProc();
    void FtreeAdjust();
    void TtreeAdjust();
    void CtreeAdjust();
    void MtreeAdjust();
    void TabChangeProc(int index);
    void FileTreePopupMenu(const QPoint &point);
    void TempTreePopupMenu(const QPoint &point);
    void SeqSetClicked(bool checked = false);
    void SeqDelClicked(bool checked = false);
    void VarSetClicked(bool checked = false);
    void VarDelClicked(bool checked = false);
    void ModVarSeqCount(bool checked = false);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // outdef.cpp
    void BuildPopupMenu();
    void keepOutStates(const bool states[EntryCount]);
    void keepFileStates(QTreeWidgetItem *item);
    void keepTempStates();
    void ResetInfoTabs();
    void ShowNames();
    void setTabState(int enabled, int disabled);
    void setEditorsReadOnly(bool readOnly);
    // outdef_file.cpp
    bool NewOutputDocument(const QString &path);
    QString templatePath(int kind, int number) const;
    // The changed templates of the entries out.xml now names.
    void writeTemplates();
    // A file or sequence row: the marker with its icon, the title, the number and the record.
    static QTreeWidgetItem *identItem(int markerColumn, const QString &marker, const QString &icon,
                                      int titleColumn, const QString &title, int number, TreeItemData *data);
    void ParseOutput();
    bool SerializeOutput();
    void reportChangedCounters(const QDomElement &root);
    void StripDocument();
    void ReadOwner();
    void AddNestedSeqItems(QTreeWidgetItem *parent, int number, int level, int fillMode);
    SeqRecord *takeSeq(const OutXml::Entry &entry);
    void enterDocKind();
    void clearModel();
    // outdef_show.cpp
    void StoreLeftEntry(QTreeWidgetItem *item, bool throughFileTree);
    void storeText(TreeItemData *data);
    void storeSeq(SeqRecord *record, bool park = true);
    void storeFile(FileRecord *record, bool park = true);
    void ParkSeqRows(SeqRecord *record);
    void ParkFileRows(FileRecord *record);
    void UnlinkRows();
    void loadFile(QTreeWidgetItem *item, FileRecord *record);
    void loadSeq(QTreeWidgetItem *item, SeqRecord *record, bool temp);
    void loadText(TreeItemData *data, int kind);
    void SelectFirstRow();
    void ShowAllModelLevels();
    void FileTreeFocused();
    void tempTreeFocused();
    void insertMarker(QTreeWidget *tree);
    void cutMarker(QTreeWidget *tree);
    // outdef_model.cpp
    void showScope(QList<QTreeWidgetItem *> *scope, bool file);
    void paintScopeItem(QTreeWidgetItem *item);
    QTreeWidgetItem *newScopeItem(int id, QTreeWidgetItem *source);
    QTreeWidgetItem *copyScopeItem(const QTreeWidgetItem *from, bool linkSource, bool texts);
    void addOwnVar(QList<QTreeWidgetItem *> *scope, int id, QTreeWidgetItem *varItem);
    void insertAtModelOrder(QTreeWidgetItem *parent, ScopeTops tops, QTreeWidgetItem *item);
    ScopeTops scopeOf(QTreeWidgetItem *ident);
    QTreeWidgetItem *insertScopeAtLevel(ScopeTops tops, int id);
    void deleteScopeRow(QTreeWidgetItem *row, ScopeTops tops);
    void buildSeqScopes(const QList<QTreeWidgetItem *> &parentScope, int number);
    void refreshSetButton(QTreeWidgetItem *modelItem);
    void refreshUnsetButton(QTreeWidgetItem *row);
    QTreeWidgetItem *varItem(int id, const SeqRecord *record) const;
    QString loopLabel(const SeqRecord *record, int id);
    // outdef_ident.cpp
    QTreeWidgetItem *newSeqItem(int number, int indent);
    // The number a new identifier of the kind takes; -1, reported, when none can be given.
    int newNumber(int kind);
    // Whether placed (a new sequence when null) may go below dest; says why not.
    bool nestingFits(const QTreeWidgetItem *dest, const QTreeWidgetItem *placed);
    QTreeWidgetItem *newNestItem(int number) const;
    void clearShownScope();
    void deleteSeqTree(QTreeWidgetItem *item);
    bool askDelete(const QString &title, const QString &question);
    void moveSeq(int step);
    void showAfterTempDelete();
    void convertToTemp(QTreeWidgetItem *item);
    void convertToFile(QTreeWidgetItem *item, int indent);
    bool CheckMoveToFile();
    bool CheckLoopScope(SeqRecord *temp, QTreeWidgetItem *dest, const QList<QTreeWidgetItem *> &scope);
    QList<int> enclosingLoops(QTreeWidgetItem *ident, bool parameterLoops) const;
    void placeSeq();
    void detachScope(QTreeWidgetItem *seqItem);
    void removeFromNested(QTreeWidgetItem *identItem, int id);
    // outdef_bind.cpp
    void bindFile(int id);
    void bindLclass(QTreeWidgetItem *fileItem, int id);
    void bindSclass(QTreeWidgetItem *fileItem, int id);
    void bindParam(QTreeWidgetItem *fileItem, int id);
    void addToNested(QTreeWidgetItem *identItem, int id);
    void registerVar(SeqRecord *record, int id);
    void countUp(QTreeWidgetItem *scopeItem, QTreeWidgetItem *identItem);
    void countDown(QTreeWidgetItem *scopeItem, int by);
    void clearNestedLoops(QTreeWidgetItem *identItem, int id, bool parameterLoop);
    void unbindFile(QTreeWidgetItem *row, int id);
    void unbindSeq(QTreeWidgetItem *fileItem, QTreeWidgetItem *row, int id);
    void removeVarItem(SeqRecord *record, int id);
    void setUsed(QTreeWidgetItem *row, bool used);
    void reloadLoop(SeqRecord *record);

    Ui::outdef *m_ui;
    OutFile *m_outFile;
    OutSeq *m_outSeq;
    NumEditor *m_editor;
    NumEditor *m_problem;
    OutputWidget *m_outputWidget;
    OutHeighlighter *m_highlighter;
    OutputGenerator m_generator;
    Calendar *m_calendar;
    QMenu *m_popup;
    QAction *m_actions[EntryCount] = {};
    bool m_outStates[EntryCount] = {};

    QHash<int, FileRecord *> m_files;
    QHash<int, SeqRecord *> m_seqs;
    QHash<int, ModelItemRecord *> m_modelItems;
    int m_seqCounter = 1;
    int m_seqCounterRead = 1;
    int m_fileCounter = 1;
    int m_fileCounterRead = 1;
    // What the loader refused in out.xml: written back as it was on every save.
    OutXml::Kept m_kept;

    QString m_folder;
    QString m_relPath;
    QString m_ownerName;
    QString m_ownerMail;
    bool m_newOutput = false;
    // out.xml exists but did not load: the page shows nothing and a save never writes over it.
    bool m_unreadable = false;

    int m_pageMode = 0;
    int m_shownNumber = -1;
    int m_shownKind = FileKind;
    QTreeWidgetItem *m_lastFileItem = nullptr;
    QTreeWidgetItem *m_lastTempItem = nullptr;
    bool m_prevStored = false;
    bool m_lastLayoutFile = true;
    int m_prevTab = 0;
    bool m_tabReset = false;
    bool m_clearing = false;
    bool m_treeReaction = true;
    bool m_storing = false;
    bool m_moveGuard = false;
    bool m_selCurrent = false;
    bool m_selModel = false;
    bool m_selVar = false;

    QHash<QString, int> m_markerCounts;
    // Templates whose last read here was refused, with why: read again each time they are shown,
    // and shown with this reason even when another reader of the file has cleared it meanwhile.
    QHash<QString, QString> m_refusedTemplates;
    QStringList m_markerLists[3];
    int m_nestLevel = 0;
    int m_nestIds[3] = {-1, -1, -1};
    QTreeWidgetItem *m_nestItems[3] = {};

    const QStringList m_extensions = {QStringLiteral("c"),   QStringLiteral("h"),    QStringLiteral("cpp"),
                                      QStringLiteral("txt"), QStringLiteral("html"), QStringLiteral("py")};
    const QRegularExpression m_varMarker{QStringLiteral("\\$Var\\[(\\d+)\\]")};
};
