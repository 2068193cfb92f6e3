#pragma once

#include "core/decimalid.h"

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>

class TreeItemData;

// model.xml without widgets: the documents of a new version, the move of the class tree out of
// the document into records and back, element IDs, and the name clash rule of the add dialogs.
namespace ModelFile
{
inline const QString RootTag = QStringLiteral("Root_Model");
inline const QString DocRootTag = QStringLiteral("Root_ModelDoc");
inline const QString FileName = QStringLiteral("model.xml");
inline const QString DocFileName = QStringLiteral("DocModel.xml");
inline const QString LClassTag = QStringLiteral("LClass");
inline const QString SClassTag = QStringLiteral("SClass");
inline const QString ParamTag = QStringLiteral("PARAM");
inline const QString PTag = QStringLiteral("P");
inline const QString ReferenceTag = QStringLiteral("REFERENCE");
inline const QString RefTag = QStringLiteral("REF");
inline const QString LinkSeparator = QStringLiteral("[$$]");
inline const QString ArbitraryCode = QStringLiteral("@A");

// One class-tree row: its record (attributes, links, refused children) and its child rows.
struct Node {
    TreeItemData *record = nullptr;
    QList<Node> children;
};

// A new model.xml: the root with its owner, name, version, today's start date, empty target and
// completion dates and MaxID "1".
QDomDocument NewModelDocument(const QString &name, const QString &user, const QString &email,
                              const QString &version, const QString &today);
QDomDocument NewModelDocDocument(const QString &user, const QString &email, const QString &version);

// A decimal ID this program may put into file and folder names (model_<ID>.txt, reference
// folders) and count past.
bool IsDecimalId(const QString &id);
// The counter value once every number is given out: stored as MaxID, it stays exhausted on reopen.
constexpr int NoIdLeft = DecimalId::Ceiling + 1;

// Moves every LClass of the root, with its small classes and parameters, into new records (the
// caller owns them). Elements with a bad or repeated ID and elements of unknown tags are not
// taken: below the root they are kept by the parent's record; the root's are kept in kept, a
// layout (see ElementLayout) with comments and text, and the root is left empty for the next
// write to fill. Returns the next free ID: at least the root's MaxID (the next number to give) and
// above every ID in the file, refused ones included, so a lost or low counter never hands out an
// ID that names existing files; NoIdLeft when no number is left.
int TakeTree(QDomElement root, QList<Node> *lclasses, QList<QDomElement> *kept);

// Appends the tree under the root as LClass/SClass/PARAM/P elements with their REFERENCE links
// and kept children, each level with what it kept in its places, the root with kept as
// TakeTree gave it; returns every node appended, for RemoveElements after the write.
QList<QDomNode> AppendTree(QDomElement root, const QList<Node> &lclasses,
                           const QList<QDomElement> &kept = {});
void RemoveElements(const QList<QDomNode> &nodes);

// Frees the records of the nodes and their children.
void DeleteRecords(const QList<Node> &nodes);

// The name clash rule of the add dialogs over the sibling classes (name, element label): 1 a
// sibling of that name has the arbitrary element, 2 one has the same element, 3 the new class is
// arbitrary and a sibling of that name exists, 0 the class may be added.
struct Sibling {
    QString name;
    QString element;
};
int CheckNewClass(const QList<Sibling> &siblings, const QString &name, const QString &element,
                  const QString &arbitraryLabel);
} // namespace ModelFile
