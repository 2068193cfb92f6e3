#include "core/xmlclass.h"

#include "core/globalmutex.h"
#include "core/longvalue.h"
#include "core/safefile.h"
#include "core/saveconflict.h"
#include "core/sharedxml.h"
#include "core/uireport.h"
#include "core/xmlmessage.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QXmlSchema>

xmlclass::xmlclass(QObject *parent)
    : QObject(parent), m_errorTitle(tr("xmlclass error")), m_handler(new XmlMessage(this))
{
    m_schema.setMessageHandler(m_handler);
}

xmlclass::~xmlclass()
{
    for (auto &e : m_docs)
        delete e.doc;
}

bool xmlclass::IsTracked(int index)
{
    return (index >= XmlIndex::TrackedLow1 && index < XmlIndex::TrackedHigh1) ||
           (index >= XmlIndex::TrackedLow2 && index <= XmlIndex::TrackedHigh2);
}

bool xmlclass::OpenXmlFile(int index, const QString &fileName, bool showMessage)
{
    if (m_docs.contains(index))
        return true;
    QFile file(fileName);
    if (!file.exists()) {
        SetStrVar(RegSlot::StrLastError, tr("file not exist:%1").arg(fileName));
        SetIntVar(RegSlot::IntLastErrorKind, 0);
        return false;
    }
    // Read whole before parsing: another member's program may be replacing the file right now. The
    // bytes as written: the parser ends lines itself, where a text-mode read drops every CR.
    QByteArray bytes;
    if (!SafeFile::ReadAll(fileName, &bytes, QIODevice::ReadOnly)) {
        const QString text = SafeFile::WithReason(tr("file not open %1").arg(fileName));
        SetStrVar(RegSlot::StrLastError, text);
        SetIntVar(RegSlot::IntLastErrorKind, 1);
        if (showMessage)
            UiReport::Fatal(tr("File error"), text);
        return false;
    }
    auto *doc = new QDomDocument;
    QString message;
    int line = 0;
    int column = 0;
    if (!SharedXml::SetContent(*doc, bytes, &message, &line, &column)) {
        delete doc;
        const QString text = tr("filename:%1  Dom Parse:Parse error at line %2, column %3  %4")
                                 .arg(fileName)
                                 .arg(line)
                                 .arg(column)
                                 .arg(message);
        SetIntVar(RegSlot::IntLastErrorKind, 2);
        SetStrVar(RegSlot::StrLastError, text);
        if (showMessage)
            UiReport::Fatal(tr("Xml Parse Error"), text);
        return false;
    }
    m_docs.insert(index, Entry{fileName, doc, SafeFile::Seen::Of(bytes), {}});
    return true;
}

void xmlclass::NewXmlDoc(int index, const QString &rootTag)
{
    if (m_docs.contains(index))
        return;
    auto *doc = new QDomDocument;
    doc->appendChild(doc->createElement(rootTag));
    m_docs.insert(index, Entry{QString(), doc, SafeFile::Seen(), {}});
}

void xmlclass::AddXmlDoc(int index, const QDomDocument &doc)
{
    if (m_docs.contains(index))
        return;
    m_docs.insert(index, Entry{QString(), new QDomDocument(doc), SafeFile::Seen(), {}});
}

void xmlclass::AddXmlDocFile(int index, const QDomDocument &doc, const QString &fileName,
                             const SafeFile::Seen &seen)
{
    CloseXmlDoc(index);
    m_docs.insert(index, Entry{fileName, new QDomDocument(doc), seen, {}});
}

void xmlclass::SetSeen(int index, const SafeFile::Seen &seen)
{
    auto it = m_docs.find(index);
    if (it != m_docs.end())
        it->seen = seen;
}

bool xmlclass::ChangedOnDisk(int index) const
{
    const auto it = m_docs.find(index);
    return it != m_docs.end() && it->seen.IsKnown() && SafeFile::SeenNow(it->fileName) != it->seen;
}

void xmlclass::SetDocFileName(int index, const QString &fileName)
{
    auto it = m_docs.find(index);
    if (it == m_docs.end()) {
        UiReport::Error(m_errorTitle,
                        QStringLiteral("SetDocFileName index:%1 fname:%2").arg(index).arg(fileName));
        return;
    }
    // Another file: what was seen of the old one says nothing of it, and a file this document
    // never came from is another's until it is written.
    if (it->fileName != fileName) {
        if (!it->fileName.isEmpty())
            it->seenOther.insert(it->fileName, it->seen);
        it->seen = it->seenOther.take(fileName);
        if (!it->seen.IsKnown())
            it->seen = SafeFile::Seen::Absent();
    }
    it->fileName = fileName;
}

QDomDocument *xmlclass::GetXmlDoc(int index)
{
    auto it = m_docs.find(index);
    if (it == m_docs.end())
        return nullptr;
    if (!it->doc)
        UiReport::Error(m_errorTitle, QStringLiteral("GetXmlDoc index:%1").arg(index));
    return it->doc;
}

void xmlclass::CloseXmlDoc(int index)
{
    auto it = m_docs.find(index);
    if (it != m_docs.end()) {
        if (m_currentDoc == it->doc) {
            m_currentDoc = nullptr;
            m_cursor0.clear();
            m_cursor1.clear();
            if (m_current == index)
                m_current = -1;
        }
        delete it->doc;
        m_docs.erase(it);
    }
    m_keptAsRead.remove(index);
    MutexHold hold(MutexNo::Members);
    m_times.remove(index);
}

QList<QDomElement> xmlclass::elementsByTag(const QDomNode &root, const QString &tag)
{
    QList<QDomElement> found;
    // Iterative walk in document order; recursion depth would follow untrusted file nesting.
    QDomNode node = root.firstChild();
    while (!node.isNull()) {
        if (node.isElement() && node.toElement().tagName() == tag)
            found.append(node.toElement());
        if (node.hasChildNodes()) {
            node = node.firstChild();
            continue;
        }
        while (!node.isNull() && node.nextSibling().isNull() && node != root)
            node = node.parentNode();
        if (node.isNull() || node == root)
            break;
        node = node.nextSibling();
    }
    return found;
}

int xmlclass::OpenDomTag(int index, const QString &tag, int callNumber)
{
    auto it = m_docs.find(index);
    if (it == m_docs.end() || !it->doc) {
        UiReport::Error(m_errorTitle,
                        QStringLiteral("OpenDomTag(0) index:%1 number:%2").arg(index).arg(callNumber));
        return -1;
    }
    if (m_current != -1 && m_current != index) {
        UiReport::Error(m_errorTitle,
                        QStringLiteral("OpenDomTag(1) index:%1 number:%2").arg(index).arg(callNumber));
        return -1;
    }
    m_currentDoc = it->doc;
    m_cursor0 = elementsByTag(*it->doc, tag);
    if (!m_cursor0.isEmpty())
        m_current = index;
    return m_cursor0.size();
}

QDomElement xmlclass::GetDomNode(int i) const
{
    return (i >= 0 && i < m_cursor0.size()) ? m_cursor0.at(i) : QDomElement();
}

QString xmlclass::GetDomAttr(int i, const QString &attr) const
{
    return GetDomNode(i).attribute(attr);
}

int xmlclass::OpenChildTag(int i, const QString &tag)
{
    const QDomElement parent = GetDomNode(i);
    m_cursor1 = parent.isNull() ? QList<QDomElement>() : elementsByTag(parent, tag);
    return m_cursor1.size();
}

QDomElement xmlclass::GetChildNode(int j) const
{
    return (j >= 0 && j < m_cursor1.size()) ? m_cursor1.at(j) : QDomElement();
}

QString xmlclass::GetChildAttr(int j, const QString &attr) const
{
    return GetChildNode(j).attribute(attr);
}

void xmlclass::DomDocClose()
{
    m_current = -1;
}

bool xmlclass::DomDocOpen(int index)
{
    if (m_current != -1 && m_current != index)
        return false;
    auto it = m_docs.find(index);
    if (it == m_docs.end() || !it->doc) {
        UiReport::Error(m_errorTitle, QStringLiteral("DomDocOpen index:%1").arg(index));
        return false;
    }
    m_current = index;
    m_currentDoc = it->doc;
    return true;
}

int xmlclass::CountDomTag(const QString &tag) const
{
    return m_currentDoc ? elementsByTag(*m_currentDoc, tag).size() : 0;
}

QString xmlclass::GetTagAttr(int n, const QString &tag, const QString &attr) const
{
    if (!m_currentDoc)
        return QString();
    const QList<QDomElement> all = elementsByTag(*m_currentDoc, tag);
    return (n >= 0 && n < all.size()) ? all.at(n).attribute(attr) : QString();
}

// Serialises with the declaration and an indent of 4 as UTF-8, whatever the locale, and hands the
// bytes to the safe writer. The document is checked before anything touches the file.
QByteArray xmlclass::documentBytes(QDomDocument *doc)
{
    if (!doc->firstChild().isProcessingInstruction()) {
        doc->insertBefore(doc->createProcessingInstruction(
                              QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")),
                          doc->firstChild());
    }
    QByteArray bytes;
    QTextStream stream(&bytes);
    stream.setCodec("UTF-8");
    doc->save(stream, 4, QDomNode::EncodingFromTextStream);
    stream.flush();
    return bytes;
}

void xmlclass::KeepAsRead(int index, const QVector<QDomElement> &entries)
{
    if (entries.isEmpty())
        m_keptAsRead.remove(index);
    else
        m_keptAsRead.insert(index, entries);
}

// A document its reader would refuse (nesting, nodes, size, a name) is not written, nor a member
// file with a value no one types, which its reader refuses or leaves out: the file, or the entry,
// would be lost to every member at the next open. Said, and the edit that made it stays where it
// was made.
bool xmlclass::refusedByReader(int index, const QString &fileName, const QByteArray &bytes,
                               const QDomDocument &doc)
{
    QString message;
    if (SharedXml::ReadsBack(bytes, &message) && !holdsLongValue(index, bytes, doc, &message))
        return false;
    UiReport::Fatal(tr("File error"), tr("%1 was not written: %2").arg(fileName, message));
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return true;
}

bool xmlclass::holdsLongValue(int index, const QByteArray &bytes, const QDomDocument &doc,
                              QString *message) const
{
    if (!LongValue::IsBounded(index))
        return false;
    int line = 0;
    int column = 0;
    const QByteArray apart = LongValue::JudgedApart(index);
    return !LongValue::Check(bytes, message, &line, &column, apart) ||
           (!apart.isEmpty() && longEntry(index, doc, QString::fromLatin1(apart), message));
}

// An entry the reader would leave out is not written either, unless it is one the reader left out
// and it goes back as it was read: a member added or renamed with such a value would be gone from
// the team at the next open.
bool xmlclass::longEntry(int index, const QDomDocument &doc, const QString &tag, QString *message) const
{
    const QVector<QDomElement> kept = m_keptAsRead.value(index);
    int next = 0; // kept entries come in document order: one pass over both
    for (const QDomElement &e : elementsByTag(doc, tag)) {
        const QDomNamedNodeMap attributes = e.attributes();
        for (int i = 0, count = attributes.count(); i < count; ++i) {
            const QDomAttr attribute = attributes.item(i).toAttr();
            if (!LongValue::Exceeds(attribute.value()))
                continue;
            int at = next;
            while (at < kept.size() && kept.at(at) != e)
                ++at;
            if (at < kept.size()) {
                next = at + 1;
                break;
            }
            *message = LongValue::TooLong(attribute.name(), attribute.value().size());
            return true;
        }
    }
    return false;
}

int xmlclass::writeDocument(int index, const QString &fileName, int options, OnChange onChange)
{
    const auto it = m_docs.find(index);
    if (it == m_docs.end() || !it->doc)
        return 0;
    const QByteArray bytes = documentBytes(it->doc);
    QString message;
    if (holdsLongValue(index, bytes, *it->doc, &message)) {
        UiReport::Fatal(tr("File error"), tr("%1 was not written: %2").arg(fileName, message));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return 0;
    }
    const bool own = fileName == it->fileName;
    SafeFile::Seen seen = own ? it->seen : it->seenOther.value(fileName, SafeFile::Seen::Absent());
    if (!seen.IsKnown())
        seen = SafeFile::Seen::Absent();
    SharedXml::Written written = SharedXml::Write(fileName, bytes, seen, options, &message);
    if (written == SharedXml::Written::Changed && onChange == OnChange::Return)
        return -1;
    // The question runs an event loop: what the refusal saw is taken before it.
    for (SafeFile::Seen now = SafeFile::LastChangedTo();
         written == SharedXml::Written::Changed && SaveConflict::SaveAnyway(fileName, now);
         now = SafeFile::LastChangedTo())
        written = SharedXml::Write(fileName, bytes, now, options, &message);
    if (written != SharedXml::Written::Yes) {
        // A kept edit was the user's own answer: nothing more to say.
        if (written != SharedXml::Written::Changed || !SaveConflict::Kept())
            UiReport::Fatal(tr("File error"), message);
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return 0;
    }
    // The document may have been closed while the user was asked.
    if (const auto entry = m_docs.find(index); entry != m_docs.end())
        (own ? entry->seen : entry->seenOther[fileName]) = SafeFile::Seen::Of(bytes);
    return 1;
}

int xmlclass::saveDocument(int index, OnChange onChange)
{
    auto it = m_docs.find(index);
    QString fileName;
    if (it == m_docs.end())
        UiReport::Error(m_errorTitle, QStringLiteral("GetXmlDocFileName index:%1").arg(index));
    else
        fileName = it->fileName;
    if (it == m_docs.end() || !it->doc) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:XML002"));
        // Nothing was written: save-all must keep the editor marked, as for any failed write.
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return 0;
    }
    const int written = writeDocument(index, fileName, 0, onChange);
    if (written == 1 && IsTracked(index))
        SetFileTime(index, fileName);
    return written;
}

int xmlclass::SaveXmlDoc(int index)
{
    return saveDocument(index, OnChange::Ask);
}

int xmlclass::SaveUnlessChanged(int index)
{
    return saveDocument(index, OnChange::Return);
}

int xmlclass::SaveMerging(int index, const std::function<Merge()> &readAgain)
{
    for (int round = 0; round < 3; ++round) {
        if (ChangedOnDisk(index)) {
            const Merge merge = readAgain();
            if (merge != Merge::Merged)
                return merge == Merge::Held ? 1 : 0;
        }
        const int written = SaveUnlessChanged(index);
        if (written >= 0)
            return written;
    }
    UiReport::Fatal(tr("File error"),
                    tr("%1 was not written: another program kept changing it while this one "
                       "merged. Your changes are kept; save again later.")
                        .arg(DocFileName(index)));
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return 0;
}

bool xmlclass::SaveXmlDocAs(const QString &fileName, int index)
{
    if (!m_docs.value(index).doc) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:XML001"));
        return false;
    }
    // A read-only file of the user's own is made writable first (never through a link: that
    // would unlock whatever file it points at).
    return writeDocument(index, fileName, SafeFile::MakeWritable, OnChange::Ask) == 1;
}

void xmlclass::SetFileTime(int index, const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return;
    MutexHold hold(MutexNo::Members);
    XmlFileTime &t = m_times[index];
    t.valid = true;
    // In UTC: the file-check compares these every ten seconds, and local times convert slowly.
    t.time = info.lastModified().toUTC();
    t.fileName = fileName;
}

std::optional<XmlFileTime> xmlclass::GetFileTime(int index) const
{
    auto it = m_times.find(index);
    if (it == m_times.end())
        return std::nullopt;
    return *it;
}

int xmlclass::CreateXmlDocFile(int index)
{
    auto it = m_docs.find(index);
    if (it == m_docs.end() || !it->doc) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:XML002"));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return 0;
    }
    const QByteArray bytes = documentBytes(it->doc);
    QFile file(it->fileName);
    if (file.exists())
        return -1;
    if (refusedByReader(index, it->fileName, bytes, *it->doc))
        return 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (file.exists())
            return -1;
    } else if (file.write(bytes) == bytes.size() && file.flush()) {
        file.close();
        it->seen = SafeFile::Seen::Of(bytes);
        if (IsTracked(index))
            SetFileTime(index, it->fileName);
        return 1;
    } else {
        file.close();
        file.remove();
    }
    UiReport::Fatal(tr("File error"), tr("can not write file:%1").arg(it->fileName));
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return 0;
}
