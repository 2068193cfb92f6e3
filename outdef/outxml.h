#pragma once

#include "core/decimalid.h"

#include <QDomElement>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// out.xml without widgets: the move of a definition's identifiers out of the document into plain
// lists (with the rules that keep a damaged or hostile file from looping or reusing numbers) and
// the writing of them back.
namespace OutXml
{
inline const QString RootTag = QStringLiteral("Root_Output");
inline const QString FileName = QStringLiteral("out.xml");
inline const QString SequenceTag = QStringLiteral("SEQUENCE");
inline const QString FilesTag = QStringLiteral("FILES");
inline const QString TempTag = QStringLiteral("TEMPSEQ");
inline const QString SeqTag = QStringLiteral("SEQ");
inline const QString FileTag = QStringLiteral("FILE");
inline const QString ModelTag = QStringLiteral("MODEL");
inline const QString MaxId = QStringLiteral("MaxID");
inline const QString Id = QStringLiteral("ID");
inline const QString Title = QStringLiteral("TITLE");
inline const QString Loop = QStringLiteral("LOOP");
inline const QString PLoop = QStringLiteral("P_LOOP");
inline const QString LoopType = QStringLiteral("LOOP_TYPE");
inline const QString LoopEndType = QStringLiteral("LOOP_END_TYPE");
inline const QString FileType = QStringLiteral("FILE_TYPE");
inline const QString OutName = QStringLiteral("FileName");
inline const QString Ext = QStringLiteral("EXP");
inline const QString Expression = QStringLiteral("Expression");
// Template files: prefix + number + suffix in the definition's folder.
inline const QString SeqFilePrefix = QStringLiteral("Seq_");
inline const QString FileFilePrefix = QStringLiteral("File_");
inline const QString TemplateSuffix = QStringLiteral(".txt");

// One identifier as the file holds it: every attribute read, the MODEL references the model
// knows and the SEQ references (a file's sequences, or a sequence's nested ones), in order.
struct Entry {
    QHash<QString, QString> attrs;
    QList<int> models;
    QList<int> seqs;
};

// What the loader read of the file besides the lists: the elements as they stood (detached from the
// document, never changed), so that a save writes back, in place, everything this program does not
// know of them: other attributes, comments, elements it refused (a bad or repeated ID, an unknown
// kind; they belong to another member's program or version and stay outside the tree and the
// generation, their numbers still counted), and the references' own attributes.
struct Kept {
    // The root's children as read (an ElementLayout: SEQUENCE, FILES and TEMPSEQ placeholders among
    // what the root held besides), the tags of those three in the order the root held them, and
    // the three elements themselves.
    QList<QDomElement> rootLayout;
    QStringList rootOrder;
    QDomElement sequence;
    QDomElement files;
    QDomElement temps;
    // The SEQ and FILE elements taken into the lists, by number.
    QHash<int, QDomElement> seqElements;
    QHash<int, QDomElement> fileElements;
    // SEQ references that Place took out of the lists (a repeat, a cycle, too deep), by entry.
    QHash<int, QList<int>> seqUnplaced;
    QHash<int, QList<int>> fileUnplaced;
    QList<int> tempUnplaced;
    // The MaxID texts as read (null when absent): a save that writes others says so.
    QString seqMaxId;
    QString fileMaxId;
    // Every sequence and file number the definition held since it was read: those read, refused
    // ones included, and those given since (NewNumber). None is given again.
    QSet<int> seqNumbers;
    QSet<int> fileNumbers;
};

struct Definition {
    int seqCounter = 1;
    int fileCounter = 1;
    QMap<int, Entry> seqs;
    QList<int> fileOrder;
    QMap<int, Entry> files;
    QList<int> temps;
    Kept kept;
};

// The counter once every number is given out; stored as MaxID it stays so on reopen.
constexpr int NoIdLeft = DecimalId::Ceiling + 1;
// How many sequences may nest in one another, the outermost included: what Place keeps and the
// output generator walks. The editor refuses to nest deeper, so a saved definition reads back whole.
// (The file itself stays shallow: nesting is written as SEQ references between flat SEQ elements.)
constexpr int MaxDepth = 1000;

// A number this program may put into a template file name: a decimal ID (DecimalId::IsId).
bool ToNumber(const QString &text, int *number);
// An ID that reads back as written: a decimal ID without leading zeros.
bool ToPlainNumber(const QString &text, int *number);

// Takes the root's children out (the root keeps its attributes) into kept and the lists. Elements with
// IDs that are not decimal, a repeated SEQ or FILE ID after its first element, other kinds of
// element and any further root element stay in the kept elements, untouched; MODEL references
// outside modelIds are dropped, and each counter is at least its MaxID (the next number) and
// above every number of its kind read, refused ones included, so a lost MaxID never hands out a
// number whose template file exists; NoIdLeft when none is left.
Definition Take(QDomElement root, const QSet<int> &modelIds);

// The number a new sequence (seq) or file identifier takes: the first, from *counter up and then
// from 1 up, that no identifier read or given (*given) and no template file of the folder
// carries, so that a new identifier never reads a template left by a failed save as its own.
// Raises the counter past it and adds it to *given. -1, with nothing changed and the reason in
// *why, when the folder cannot be listed or no number is free.
int NewNumber(const QString &folder, bool seq, int *counter, QSet<int> *given, QString *why);

// Makes every sequence stand in one place at most: walking the files in order, then the
// temporary sequences, the first reference to a sequence places it; a later reference to it
// (a repeat, or one that closes a cycle) is taken out of the list into the kept ones, so that a
// save writes it back where it stood. References to unknown sequences stay. A reference nested
// deeper than MaxDepth is taken out too; returns how many were.
int Place(Definition *def);

// Appends SEQUENCE, FILES and TEMPSEQ where the kept ones stood, each the kept element with the known
// attributes set from the lists (empty where unset) and its children in place: the known references
// written from the lists, everything else as read. What the program does not know belongs to the item
// it follows, wherever a part is rebuilt (the root's three elements, the SEQ and FILE entries, the
// MODEL and SEQ references of an entry and of TEMPSEQ): it moves with that item and goes with it,
// what stood before the first item stays at the head, and an element of an item's tag that the
// loader refused is an item of its own and stays. SEQ entries are written in the order they were
// read, new ones after them by number, so that a refused repeat of a number stays behind the one
// taken; FILE entries in fileOrder. The root's three elements keep the order they were read in.
void Append(QDomElement root, const Definition &def);

// Removes every child of the root.
void Strip(QDomElement root);
} // namespace OutXml
