#pragma once

#include "core/globalvar.h"
#include "core/safefile.h"

#include <QDateTime>
#include <QDomDocument>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QVector>
#include <QXmlSchema>
#include <functional>
#include <optional>

class XmlMessage;

// One recorded modification time of a tracked document's file.
struct XmlFileTime {
    bool valid = false;
    QDateTime time;
    QString fileName;
};

// The XML document store: one DOM document per integer index, loaded from and saved to files,
// read through two shared cursors, with the file times of the documents other members change.
class xmlclass final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit xmlclass(QObject *parent = nullptr);
    ~xmlclass() override;

    // showMessage off: a failure only sets the error slots (a model loaded behind an instance).
    bool OpenXmlFile(int index, const QString &fileName, bool showMessage = true);
    void NewXmlDoc(int index, const QString &rootTag);
    void AddXmlDoc(int index, const QDomDocument &doc);
    // seen: what the document was read from (SafeFile::Seen::Of its bytes), so that a save never
    // writes it over a file another program changed since; unknown for a document not read from
    // the file.
    void AddXmlDocFile(int index, const QDomDocument &doc, const QString &fileName,
                       const SafeFile::Seen &seen = SafeFile::Seen());
    void SetSeen(int index, const SafeFile::Seen &seen);
    // Whether the document's file is no longer what the document was read from or last written
    // as, removed included: a writer that can put its change into a fresh copy reads the file
    // again first, and one for which a removal means something (a member removed) refuses.
    bool ChangedOnDisk(int index) const;
    // A name the document was never read from nor written as is written only while its file is
    // absent; one it had before keeps what was seen of it.
    void SetDocFileName(int index, const QString &fileName);
    QDomDocument *GetXmlDoc(int index);
    void CloseXmlDoc(int index);
    bool HasDoc(int index) const { return m_docs.contains(index); }
    QString DocFileName(int index) const { return m_docs.value(index).fileName; }

    int OpenDomTag(int index, const QString &tag, int callNumber);
    QDomElement GetDomNode(int i) const;
    QString GetDomAttr(int i, const QString &attr) const;
    int OpenChildTag(int i, const QString &tag);
    QDomElement GetChildNode(int j) const;
    QString GetChildAttr(int j, const QString &attr) const;
    void DomDocClose();
    bool DomDocOpen(int index);
    int CountDomTag(const QString &tag) const;
    QString GetTagAttr(int n, const QString &tag, const QString &attr) const;
    int CurrentIndex() const { return m_current; }

    // A file another program changed since the document was read is the user's to decide
    // (SaveConflict): written over when the user says so, else the save fails with the edit kept.
    int SaveXmlDoc(int index);
    // As SaveXmlDoc for a writer that merges: 1 written, 0 failed (reported), -1 the file changed
    // since it was read (nothing said, nothing written): the writer reads it again and merges.
    int SaveUnlessChanged(int index);
    // What a merging writer's read again made of the file.
    enum class Merge {
        Refused, // the file does not read (said by the writer): nothing written
        Merged,  // this program's changes are in a fresh copy of it, to be written
        Held,    // the file already holds every change of this program: nothing to write
    };
    // For a writer that merges: while the file is no longer what the document was read from,
    // readAgain puts this program's changes into a fresh copy of it. Three rounds at most, then
    // refused by name, the changes kept. 1 written (or held already), 0 not (reported, write-failed
    // flag set).
    int SaveMerging(int index, const std::function<Merge()> &readAgain);
    // Written only while the file is absent unless the document was read from it or written as
    // it before; checked against that as its own file is.
    bool SaveXmlDocAs(const QString &fileName, int index);
    // Writes the document to its file only when no file of that name exists, so that making a
    // missing file never replaces one another member wrote meanwhile: 1 written, -1 the file
    // exists (nothing written), 0 the write failed (reported, write-failed flag set).
    int CreateXmlDocFile(int index);
    void SetFileTime(int index, const QString &fileName);
    // Entries of a document whose reader judges them one by one (LongValue::JudgedApart) and left
    // out for a value too long: they go back to the file as they were read. Any other such entry
    // with a value past LongValue::MaxChars is refused at the save, as every other value is.
    // Given in document order; forgotten when the document is closed.
    void KeepAsRead(int index, const QVector<QDomElement> &entries);
    std::optional<XmlFileTime> GetFileTime(int index) const;

    static bool IsTracked(int index);

private:
    struct Entry {
        QString fileName;
        QDomDocument *doc = nullptr;
        SafeFile::Seen seen;
        // What was seen of the other names the document had or was written as.
        QHash<QString, SafeFile::Seen> seenOther;
    };
    enum class OnChange { Ask, Return };
    static QByteArray documentBytes(QDomDocument *doc);
    bool refusedByReader(int index, const QString &fileName, const QByteArray &bytes,
                         const QDomDocument &doc);
    bool holdsLongValue(int index, const QByteArray &bytes, const QDomDocument &doc, QString *message) const;
    bool longEntry(int index, const QDomDocument &doc, const QString &tag, QString *message) const;
    int writeDocument(int index, const QString &fileName, int options, OnChange onChange);
    int saveDocument(int index, OnChange onChange);
    static QList<QDomElement> elementsByTag(const QDomNode &root, const QString &tag);

    QMap<int, Entry> m_docs;
    QMap<int, XmlFileTime> m_times;
    QMap<int, QVector<QDomElement>> m_keptAsRead;
    int m_current = -1;
    QDomDocument *m_currentDoc = nullptr;
    QList<QDomElement> m_cursor0;
    QList<QDomElement> m_cursor1;
    QString m_errorTitle;
    XmlMessage *m_handler;
    QXmlSchema m_schema;
};
