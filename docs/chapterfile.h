#pragma once

#include "core/decimalid.h"
#include "core/sharedxml.h"

#include <QDomElement>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// DocModel.xml and DocInstance.xml without widgets: the move of the chapter tree out of the
// document and back, the chapter identifiers that may become file names, and the chapter numbers
// ("2.3.1.") that the editors and the chapter dialogs rewrite.
namespace ChapterFile
{
// The two documents, numbered as the chapter dialogs are told which one they serve.
enum Kind : int { ModelDocument = 0, InstanceDocument = 1 };

inline const QString ChapterTag = QStringLiteral("Chapter");
inline const QString InstanceRootTag = QStringLiteral("Root_InstanceDoc");
inline const QString InstanceFileName = QStringLiteral("DocInstance.xml");

// One chapter as the file holds it. `tie` is InstID (instance) or MID (model); `usable` is false
// for an identifier that may not become a file name or that an earlier chapter already holds.
struct Chapter {
    QString no;
    QString name;
    QString id;
    QString tie;
    bool usable = true;
    QList<Chapter> children;
    // The element as read (detached, never changed; null for a new chapter): what this program does
    // not know of it (other attributes, comments, other elements) is written back from it, in place.
    QDomElement element;
};

QString TieAttr(Kind kind);
// "/DocInstance_" or "/Docmodel_" (lower-case m, as the files have always been named).
QString TextPrefix(Kind kind);
// The chapter's text file in the version folder, or empty for an identifier that is not decimal.
QString TextPath(const QString &folder, Kind kind, const QString &id);

// The counter once every identifier is given out; stored as MaxID it stays so on reopen.
constexpr int NoIdLeft = DecimalId::Ceiling + 1;

// The root's child nodes as read, its chapters among them. What stood before the first chapter is
// the root's head; what followed a chapter, up to the next one, belongs to that chapter. Holding it
// keeps every chapter read whole, so that each one's own content can be found beside it.
using ReadNodes = QList<QDomNode>;

// Takes every Chapter element out of the root into chapters (other nodes stay where they are)
// and returns the next free identifier: MaxID, but never at or below an identifier in the file,
// refused ones included, so that a missing or damaged MaxID cannot hand out a chapter's file name
// a second time; NoIdLeft when none is left. The root's nodes as read go to *read when given.
int Take(QDomElement root, Kind kind, QList<Chapter> *chapters, ReadNodes *read = nullptr);

// The identifier a new chapter takes: the first, from *counter up and then from 0 up, that no
// chapter of the document (used) and no chapter text file of the folder carries, so that a new
// chapter never shows a text a failed save left. Raises the counter past it. -1, with nothing
// changed and the reason in *why, when the folder cannot be listed or no identifier is free.
int NewId(const QString &folder, Kind kind, int *counter, const QSet<int> &used, QString *why);

// The root holds the chapters, and a chapter nothing of this program's but its sub-chapters (its
// text has a file of its own): with the root counted, the shared reader takes elements this many
// levels below the root, and refuses the whole file, every chapter of it, one level further.
constexpr int MaxLevels = SharedXml::MaxDepth - 1;
// The levels below the root that Append writes for the chapters: the chapters' nesting and what
// this program does not know that is written with them (0 for no chapters).
int Levels(const QList<Chapter> &chapters, const ReadNodes &read);
// Sets MaxID and appends the chapters, nested, with their attributes in the file's order. A chapter
// read is its element with the known attributes set, its head (what stood before its first
// sub-chapter) and then its sub-chapters. Each chapter read is followed by what followed it as
// read, wherever it now stands; what followed a chapter that is gone goes with it. Given the
// root's nodes as read, the root is written again from them (its head before the chapters), in
// place of all it holds; without, what it holds stays before the chapters.
void Append(QDomElement root, Kind kind, const QList<Chapter> &chapters, int counter, const ReadNodes &read);
bool HasChapters(const QDomElement &root);
// Takes the Chapter elements out of the root again; the root's attributes and other nodes stay.
void RemoveChapters(QDomElement root);
} // namespace ChapterFile

// Chapter numbers: decimal numbers each followed by "." ("2.3.1."), read as the runs of digits.
// A file may hold a number of any length: each is kept and counted as decimal text, so none wraps
// to a negative number or to one already used.
namespace ChapterNumber
{
// The numbers without leading zeros ("0" for zero).
QStringList Numbers(const QString &no);
QString Join(const QStringList &numbers);
int Level(const QString &no);
// The number with its level-th number (1-based) moved by delta; a shorter number is kept, and a
// number is never moved below 0.
QString Shifted(const QString &no, int level, int delta);
// The number with its last number increased by one.
QString Next(const QString &no);
// The number of the position-th (1-based) chapter under a parent numbered parentNo ("" at the top).
QString Child(const QString &parentNo, int position);

// The places the create dialog offers next to a current chapter (the anchor).
struct Choices {
    QStringList texts;
    int selected = 0;
    // The index of the sub-chapter choice.
    int sub = 1;
};
// anchorLast: the anchor is the last of its siblings; lastChildNo: its last sub-chapter's number,
// empty without sub-chapters.
Choices ChoicesFor(const QString &anchorNo, bool anchorLast, const QString &lastChildNo);
} // namespace ChapterNumber
