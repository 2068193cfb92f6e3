#pragma once

#include "core/globalvar.h"
#include "outdef/outxml.h"

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class OutputWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TreeItemData;
class outdef;
struct SeqRecord;

// One generated output file: its name ("" when the definition names none) and its text. A file
// whose expansion passed a limit, or one of whose inputs was refused, has no text and says why in
// error; it is never written.
struct GeneratedFile {
    QString name;
    QString text;
    QString error = QString();
    // The run stopped at this file for its budget: the files after it were not generated.
    bool stoppedRun = false;
};

// The instances chosen for one output file: large-class ID -> element keys. QMultiHash yields the
// keys of one class last-added-first, which is the order loops iterate them in.
using FileSelection = QMultiHash<int, QString>;
// Output file number -> its selection.
using DefinitionSelection = QHash<int, FileSelection>;

// Expands the templates of the open output definition into generated files: in preview every
// loop runs twice and values are written as placeholder forms, in a run loops and values come
// from the instances chosen in the output run dialog. It writes no file itself.
class OutputGenerator : protected virtual globalvar
{
public:
    enum Mode { Preview = 0, Run = 1 };
    // The nesting the editor lets a definition have: a damaged out.xml must not exhaust the stack.
    static constexpr int MaxDepth = OutXml::MaxDepth;
    // A few hundred bytes of out.xml can ask for each level to expand the next twice: without a
    // bound on the whole file a damaged definition runs for hours and past QString's size limit.
    // The steps are the work, not the text: every marker met (also one that writes nothing, as a
    // sequence without a definition), every pass of a loop, however many a file claims, and every
    // instance element looked through. What a template costs to indent and scan is counted in
    // characters: a body whose end is dropped writes nothing, yet is read on every expansion.
    // All lie far above what any real definition generates.
    static constexpr int MaxSteps = 2000000;
    static constexpr int MaxOutputSize = 32 * 1024 * 1024;
    static constexpr qint64 MaxTemplateWork = 8LL * MaxOutputSize;
    static constexpr int MarkerWork = 64;
    // Every generated file is held until the run writes: the files of one run share a budget of
    // their own, so that many files each under the bounds cannot together exhaust the memory or
    // the member's patience. A file stopped at its bound spends it too: its work was done.
    static constexpr int MaxRunSteps = 2 * MaxSteps;
    static constexpr int MaxRunOutputSize = 2 * MaxOutputSize;
    static constexpr qint64 MaxRunTemplateWork = 2 * MaxTemplateWork;

    OutputGenerator() = default;

    void SetTree(QTreeWidget *tree) { m_tree = tree; }
    void SetOutputWidget(OutputWidget *view) { m_view = view; }
    void SetTabWidget(QTabWidget *tab) { m_tab = tab; }
    void SetPage(outdef *page) { m_page = page; }
    void SetSelectList(const DefinitionSelection *selection) { m_selection = selection; }

    // Called after each file with (files done, files in all); false stops the run there, leaving
    // the files done so far. Lets a long run show progress and answer Cancel.
    using FileStep = std::function<bool(int, int)>;
    void GenerateAll(int mode, const FileStep &step = {});
    void Generate(QTreeWidgetItem *fileItem, int mode);
    void ClearResults()
    {
        m_results.clear();
        m_runSteps = 0;
        m_runOutput = 0;
        m_runWork = 0;
        m_filesAfter = 0;
    }
    const QList<GeneratedFile> &GetResults() const { return m_results; }
    // The errors of the files stopped at a limit, one line each; "" when every file is whole. A
    // file stopped by the run's budget is the last one of the results: later files are left out.
    QString Errors() const;
    void ShowFirst();

    QString GetVarValue(int file, SeqRecord *record, const QString &marker);

    // FileName + "." + EXP, empty when both are empty.
    static QString OutputName(const QString &fileName, const QString &ext);
    static QString IndentLines(const QString &text, const QString &prefix, const QString &indent);
    // The length IndentLines would give, found without building it.
    static qint64 IndentedSize(const QString &text, const QString &prefix, const QString &indent);
    static QString LineIndent(int position, const QString &body);

private:
    struct LoopState {
        int index = 0;
        int count = 0;
        bool resolved = false;
        bool newLine = false;
        bool endDelete = false;
        QStringList entries;
    };
    struct Scan {
        int file;
        SeqRecord *record;
        QString *target;
        // The prefix of the sequences the body names: the body's own prefix and indentation.
        QString inner;
        bool last;
        bool endDelete;
        bool wroteVar;
        // The last marker of the body that is the sequence's own: where a dropped end begins.
        int lastOwn = -1;
    };
    // A marker of a body: where it stands, its kind ('S', 'V' or 'E' for another's) and, for 'S',
    // the sequence it names.
    struct Marker {
        int start;
        int end;
        QChar kind;
        int seq;
        int lead; // the blanks before a sequence marker that opens its line
    };

    void expand(int file, int n, QString *target, const QString &prefix, const QString &indent);
    bool prepareBody(SeqRecord *record, const QString &prefix, const QString &indent, QString *body,
                     QVector<Marker> *markers);
    void scanBody(Scan &scan, const QString &body, const QVector<Marker> &markers);
    // The marker texts a sequence owns, 'S' and 'V', and its variable numbers, gathered once per
    // file.
    struct OwnMarkers {
        QSet<QString> seqs;
        QSet<QString> vars;
        QSet<int> numbers;
    };

    void startFile();
    void finishFile(GeneratedFile *out, const QString &shown);
    // An input of the file (a template, a grid) was refused: the empty text standing in for it is
    // not what the file is made from, so the file is generated no further and not written.
    void refuseFile(const QString &why);
    QVector<Marker> markersOf(const QString &body, SeqRecord *record);
    bool overLimit(const QString *target);
    bool overSize(qint64 size);
    bool step(int count = 1);
    bool charge(qint64 characters);
    const OwnMarkers &ownMarkers(SeqRecord *record);
    QChar classify(const QString &marker, SeqRecord *record);
    bool setUpLoop(int file, SeqRecord *record);
    void setUpLclassLoop(int file, LoopState *state, int l);
    void setUpSclassLoop(int file, LoopState *state, QTreeWidgetItem *element);
    void setUpParamLoop(int file, LoopState *state, QTreeWidgetItem *element);
    LoopState *findLoopState(const SeqRecord *record);
    void advanceLoop(const SeqRecord *record);
    void dropLoopState(const SeqRecord *record);

    // value lookups
    QString lclassValue(const QString &marker, int l);
    QString sclassValue(const QString &marker, QTreeWidgetItem *element);
    QString paramValue(const QString &marker, QTreeWidgetItem *element);
    QString cellInLclass(const QString &marker, const QString &key, int s, const QString &row,
                         const QString &col);
    QString cellValue(const QString &marker, const QString &key, const QString &row, const QString &col);
    QString referencedRowText(QTreeWidgetItem *instance, const QString &cell);
    const FileSelection *currentSelection();
    QString selectedKey(int l);
    QTreeWidgetItem *findInstance(const QString &key) const;
    // An instance's children by the class they belong to, gathered once per file: a marker of a
    // class the instance lacks must not look through every child again.
    struct Children {
        QHash<QString, QVector<QTreeWidgetItem *>> byMid;
        QHash<int, QTreeWidgetItem *> firstByNumber;
    };
    const Children *childrenOf(QTreeWidgetItem *instance);
    QTreeWidgetItem *childOfClass(QTreeWidgetItem *instance, int s);
    QString childKey(const QTreeWidgetItem *child) const;
    QString outVar(QTreeWidgetItem *instance) const;
    void loadGrid(TreeItemData *record);
    QTreeWidgetItem *modelItem(int id) const;
    static int modelId(const QTreeWidgetItem *item);
    static QString form(const QString &marker, QChar lead, const QStringList &indexes);

    QTreeWidget *m_tree = nullptr;
    QList<GeneratedFile> m_results;
    QHash<int, LoopState> m_loops;
    QHash<int, LoopState> m_paramLoops;
    const FileSelection *m_current = nullptr;
    const DefinitionSelection *m_selection = nullptr;
    int m_file = 0;
    int m_mode = Preview;
    outdef *m_page = nullptr;
    OutputWidget *m_view = nullptr;
    QTabWidget *m_tab = nullptr;
    // Sequences being expanded: one met again is a cycle in a damaged out.xml.
    QSet<int> m_open;
    // The work spent on the current file and the bounds it has, what is left of the run's budget
    // when it began; whether it passed one, and whether that was the run's.
    int m_steps = 0;
    int m_stepCap = MaxSteps;
    int m_sizeCap = MaxOutputSize;
    qint64 m_work = 0;
    qint64 m_workCap = MaxTemplateWork;
    int m_runSteps = 0;
    qint64 m_runOutput = 0;
    qint64 m_runWork = 0;
    bool m_stopped = false;
    bool m_runStopped = false;
    // Why an input of the current file was refused (the first one met); empty when none was.
    QString m_refusal;
    // The files of the run after the one being generated: those a stop there leaves unwritten.
    int m_filesAfter = 0;
    QHash<const SeqRecord *, OwnMarkers> m_own;
    QHash<const QTreeWidgetItem *, Children> m_children;

    const QRegularExpression m_anyMarker{QStringLiteral("\\$(Seq|Var)\\[([0-9]+)\\]")};
    const QRegularExpression m_seqMarker{QStringLiteral("\\$Seq\\[(\\d+)\\]")};
};
