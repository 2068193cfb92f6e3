#pragma once

#include "core/decimalid.h"
#include "core/globalvar.h"
#include "core/treeitemdata.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QSet>
#include <QString>

#include <functional>

class TreeItemData;
class xmlclass;

// The files of one instance folder: each member's instance document and, per element, its
// explanation (.txt), value grid (.csv) and diagram node positions (.pos). Converts between
// those files and the records of the instance tab's rows.
class InstanceFiles : protected virtual globalvar
{
    Q_DECLARE_TR_FUNCTIONS(InstanceFiles)
public:
    enum OpenResult { Opened, Created, Failed };

    void SetDir(const QString &dir) { m_dir = DelLastSlash(dir); }
    QString Dir() const { return m_dir; }

    // Element IDs and member numbers come from files other members write and end up in file
    // names: only plain decimal numbers are taken.
    static bool IsDecimal(const QString &text);
    // The next element number of a member's document, read before its elements are taken: at
    // least MaxID (the next number to give) and above every ID in it, refused elements included;
    // above DecimalId::Ceiling when none is left.
    static int NextNumber(const QDomElement &root);
    // "instance.xml" for member 0, "instance_<n>.xml" for the others.
    static QString DocFileName(int n);
    QString DocPath(int n) const { return m_dir + QLatin1Char('/') + DocFileName(n); }
    // instance_<n>_<id><ext>; empty when n or id is not a decimal number.
    QString ElementPath(const QString &n, const QString &id, const QString &ext) const;
    // Numbers for count new elements of member n. The element files are written before the
    // document, so a failed write or a crash leaves files the document does not list: an element
    // given their number would show them as its own. Each number is the first from *counter up that
    // neither used nor an element file of member n in the folder holds (names equal but for letter
    // case are one name); once none is left there, the lowest such number. *counter moves past the
    // numbers taken. False, with the reason in *why and nothing taken, when the folder cannot be
    // listed or fewer than count numbers are free. Numbers go up to ceiling.
    bool NewNumbers(int n, int count, QSet<int> used, qint64 *counter, QList<int> *numbers, QString *why,
                    int ceiling = DecimalId::Ceiling) const;

    // Brings member n's document into the store under 50000 + n: a document already held is
    // used; a missing file is created (never over a file that appeared meanwhile); a file that
    // cannot be read or parsed is left alone, reported, and Failed returned.
    OpenResult OpenMemberDocument(int n);
    // Documents live as long as their workspace or member: each one opened here is closed
    // (unsaved) when its member goes or the workspace closes, so no later folder reuses it.
    void CloseMemberDocument(int n);
    void CloseMemberDocuments();
    // The fresh document of member n, written only when no file of that name exists.
    bool NewInstanceDocument(int n, const QString &path);
    // DocInstance.xml under 80000, created with its root only when the file does not exist.
    bool OpenDocInstance();

    QString ReadElementText(const QString &n, const QString &id) const;
    // Why the last read of the element's text was refused, or empty when it was not.
    QString ElementTextRefusal(const QString &n, const QString &id) const;
    QString ReadInstanceText(const QString &name) const;
    // Writes the explanation when it changed; a text the readers would refuse (TextFiles::
    // WriteRefusal) is reported and not written, and the record stays changed.
    bool WriteElementText(const QString &n, const QString &id, TreeItemData *record);
    bool WriteInstanceCsv(const QString &n, const QString &id, TreeItemData *record);
    bool WriteInstancePos(const QString &n, const QString &id, TreeItemData *record);
    // Read the element's grid or node positions into the record and mark it loaded (a missing file
    // is the empty grid, no points); a refused file is left unread, the record unchanged and not
    // marked loaded, and why is given back (empty when it was read).
    QString ReadInstanceCsv(TreeItemData *record, const QString &n, const QString &id) const;
    QString ReadInstancePos(TreeItemData *record, const QString &n, const QString &id) const;

    // A grid row holds 30 cells and a point two numbers: a line longer than this is cut, so a
    // file of one endless line costs no more than a grid of long cells. The writers hold it: a
    // grid with a longer row is not written, and the value table warns where the value is typed.
    static constexpr int MaxLineBytes = 64 * 1024;
    // One point per state, and the states are the rows of a grid: the diagram draws no more.
    static constexpr int MaxPoints = TreeItemData::GridSize;

    // The three text formats, apart from the files. Only the lines a format uses are taken.
    static QByteArray GridBytes(const TreeItemData &record);
    // One grid row as its line of the .csv file, line end left out.
    static QString GridLine(const TreeItemData &record, int row);
    // Why the grid must not be written to path, or empty: a row longer than MaxLineBytes would come
    // back cut, a NUL would make the file unreadable. WriteInstanceCsv reports it, writes nothing
    // and keeps the record changed.
    static QString GridRefusal(const QString &path, const TreeItemData &record);
    static void ParseGrid(TreeItemData *record, const QString &text);
    static QByteArray PosBytes(const TreeItemData &record);
    static void ParsePos(TreeItemData *record, const QString &text);

    // The elements of the rows, each with the parts its record kept of the element as read (see
    // ElementLayout) back in their places: the large class with its small classes' elements, the
    // small class with a PARAM holding its parameters' elements. Nothing is written here.
    QDomElement BuildLclassElement(QDomDocument &doc, TreeItemData *record,
                                   const QList<QDomElement> &sclasses = {});
    QDomElement BuildSclassElement(QDomDocument &doc, TreeItemData *record,
                                   const QList<QDomElement> &params = {});
    QDomElement BuildParamElement(QDomDocument &doc, TreeItemData *record);
    // The files beside the element, each when it changed: its explanation, and a small class's
    // value grid and node positions. False when one was not written (reported, record kept changed).
    bool WriteElementFiles(TreeItemData *record, bool sclass);
    // Reference entries of a REFERENCE element, TITLE "[$$]" URL of each REF child.
    void ReadReferences(const QDomElement &reference, QStringList *entries) const;

    static void RemoveReferenceElements(QDomNode node);
    // Removes every child of member n's document root; the root and its attributes stay.
    void ClearInstanceDocument(int n);

private:
    xmlclass *store() const;
    QSet<int> m_opened;
    QDomElement buildElement(QDomDocument &doc, const QString &tag, TreeItemData *record);
    QDomElement buildReference(QDomDocument &doc, const TreeItemData &record) const;
    bool writeFile(const QString &path, const QByteArray &bytes);
    // True when why is empty; else reports it, marks the write failed and gives false.
    bool allowed(const QString &why);
    // Writes the bytes only when the record's flag says its copy changed, and clears the flag
    // once they are written; a failed write leaves it set for the next save.
    bool writeChanged(bool &changed, const QString &path, const std::function<QByteArray()> &bytes);
    // Calls take with each non-empty line of the text, at most limit of them: lines end in CR LF
    // when the text holds one, else in LF.
    static void forEachLine(const QString &text, int limit, const std::function<void(const QString &)> &take);

    QString m_dir;
};
