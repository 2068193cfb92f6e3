#pragma once

#include "core/decimalid.h"

#include <QDomElement>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

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

// One identifier as the file holds it: every attribute read, the MODEL references the model
// knows and the SEQ references (a file's sequences, or a sequence's nested ones), in order.
struct Entry {
    QHash<QString, QString> attrs;
    QList<int> models;
    QList<int> seqs;
};

// Elements the loader refused (a bad or repeated ID, an unknown kind), as they stood: they belong to
// another member's program or version and are written back unchanged, outside the tree and the
// generation. Their numbers still count for the counters.
struct Kept {
    QList<QDomElement> seqs;
    QList<QDomElement> files;
    QList<QDomElement> temps;
    QList<QDomElement> others;
    // Children of a taken SEQ or FILE refused the same way (an ID that is not plainly a number,
    // "0999" included, or an unknown kind), by the entry's number; written back after its own.
    QHash<int, QList<QDomElement>> seqRefs;
    QHash<int, QList<QDomElement>> fileRefs;
    // SEQ references that Place took out of the lists (a repeat, a cycle, too deep), by entry.
    QHash<int, QList<int>> seqUnplaced;
    QHash<int, QList<int>> fileUnplaced;
    QList<int> tempUnplaced;
    // The MaxID texts as read (null when absent): a save that writes others says so.
    QString seqMaxId;
    QString fileMaxId;
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
// How deep sequences may nest: the output generator's depth.
constexpr int MaxDepth = 1000;

// A number this program may put into a template file name: a decimal ID (DecimalId::IsId).
bool ToNumber(const QString &text, int *number);
// An ID that reads back as written: a decimal ID without leading zeros.
bool ToPlainNumber(const QString &text, int *number);

// Takes SEQUENCE, FILES and TEMPSEQ out of the root (the root keeps its attributes). Elements with
// IDs that are not decimal, a repeated SEQ or FILE ID after its first element, other kinds of
// element and any further root element go to kept, untouched; MODEL references
// outside modelIds are dropped, and each counter is at least its MaxID (the next number) and
// above every number of its kind read, refused ones included, so a lost MaxID never hands out a
// number whose template file exists; NoIdLeft when none is left.
Definition Take(QDomElement root, const QSet<int> &modelIds);

// Makes every sequence stand in one place at most: walking the files in order, then the
// temporary sequences, the first reference to a sequence places it; a later reference to it
// (a repeat, or one that closes a cycle) is taken out of the list into the kept ones, so that a
// save writes it back where it stood. References to unknown sequences stay. A reference nested
// deeper than MaxDepth is taken out too; returns how many were.
int Place(Definition *def);

// Appends SEQUENCE, FILES and TEMPSEQ with the listed attributes only (empty where unset), each
// followed by copies of its kept elements, then copies of the other kept root elements.
void Append(QDomElement root, const Definition &def);

// Removes every child of the root.
void Strip(QDomElement root);
} // namespace OutXml
