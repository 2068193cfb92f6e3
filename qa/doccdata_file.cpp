// Reading a history file into a record and writing a record back: what the store does not read
// (other elements, comments, attributes and children it does not know) is written back where it
// stood, with the entry or root it follows.

#include "qa/doccdata.h"

#include "core/decimalid.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/uireport.h"
#include "core/xmltext.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

namespace
{
const QString TagCase = QStringLiteral("CASE");

// The attributes an entry of the kind is read from and written with.
const QSet<QString> &knownAttributes(int kind)
{
    static const QSet<QString> qanda{QStringLiteral("ID"), QStringLiteral("TYPE"), QStringLiteral("NAME"),
                                     QStringLiteral("DATETIME")};
    static const QSet<QString> mail{QStringLiteral("ID"),      QStringLiteral("MID"),
                                    QStringLiteral("IS_SEND"), QStringLiteral("TITLE"),
                                    QStringLiteral("NAME"),    QStringLiteral("DATETIME")};
    return kind == DocCdata::QandAKind ? qanda : mail;
}

// The declaration and a doctype are the writer's own.
bool isOwnProlog(const QDomNode &n)
{
    return n.isDocumentType() ||
           (n.isProcessingInstruction() && n.toProcessingInstruction().target() == QLatin1String("xml"));
}
} // namespace

void DocCdata::loadFile(DocCdataRecord *record, const QString &path)
{
    record->Document.clear();
    record->HasDocument = false;
    record->MaxID = 0;
    record->LoadFailed = false;
    record->FailureReported = false;
    QFile file(path);
    if (!file.exists()) {
        SetIntVar(RegSlot::IntLastErrorKind, 0);
        SetStrVar(RegSlot::StrLastError, tr("file not exist:%1").arg(path));
        return;
    }
    // Taken before reading, so a damaged or refused file is not read (nor reported) again until it
    // changes.
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    QByteArray bytes;
    record->Seen = SafeFile::Seen();
    if (!SafeFile::ReadAll(path, &bytes, QIODevice::ReadOnly, MaxHistoryBytes)) {
        const QString text = SafeFile::WithReason(tr("file not open %1").arg(path));
        SetStrVar(RegSlot::StrLastError, text);
        SetIntVar(RegSlot::IntLastErrorKind, 1);
        record->LoadFailed = true;
        // Named by the save that refuses to write over it.
        record->Path = path;
        if (SafeFile::LastRefused()) {
            record->LastModified = modified;
            record->LastSize = size;
        }
        UiReport::Fatal(tr("File error"), text);
        return;
    }
    record->LastModified = modified;
    record->LastSize = size;
    // Damaged or not: a file that keeps these bytes is not read, nor reported, again.
    record->Seen = SafeFile::Seen::Of(bytes);
    QString message;
    int line = 0;
    int column = 0;
    QDomDocument doc;
    if (!SharedXml::SetContent(doc, bytes, &message, &line, &column, MaxHistoryNodes)) {
        const QString text = tr("filename:%1  Dom Parse:Parse error at line %2, column %3  %4")
                                 .arg(path)
                                 .arg(line)
                                 .arg(column)
                                 .arg(message);
        record->LoadFailed = true;
        UiReport::Fatal(tr("Xml Parse Error"), text);
        SetIntVar(RegSlot::IntLastErrorKind, 2);
        SetStrVar(RegSlot::StrLastError, text);
        return;
    }
    const QString root = doc.documentElement().tagName();
    if (root != QLatin1String("Root_Instance")) {
        // Another kind of file under a history's name: read as a history, the next save would
        // replace it.
        record->LoadFailed = true;
        SetIntVar(RegSlot::IntLastErrorKind, 2);
        SetStrVar(RegSlot::StrLastError,
                  UiReport::LeftOutLine(path, UiReport::WrongRoot(root, QStringLiteral("Root_Instance"))));
        UiReport::LeftOut({GetStrVar(RegSlot::StrLastError)});
        return;
    }
    record->Document = doc;
    record->HasDocument = true;
    record->Path = path;
    record->MaxID = doc.documentElement().attribute(GetStrVar(RegSlot::StrAttrMaxID)).toInt();
}

// The text is held in CDATA sections; a text holding "]]>" was split across several. Children
// after them are not the text.
static QDomNode afterText(const QDomElement &e, QString *text)
{
    QDomNode n = e.firstChild();
    for (; !n.isNull() && n.isCDATASection(); n = n.nextSibling())
        *text += n.toCDATASection().data();
    return n;
}

DocCdataCase *DocCdata::readCase(const QDomElement &e, const QString &timeFormat) const
{
    auto *entry = new DocCdataCase;
    entry->Stored = true;
    entry->InFile = true;
    entry->ID = DecimalId::Value(e.attribute(QStringLiteral("ID")));
    if (m_kind == QandAKind) {
        entry->TYPE = e.attribute(QStringLiteral("TYPE"), QStringLiteral("0")).toInt();
    } else {
        entry->MID = e.attribute(QStringLiteral("MID"), QStringLiteral("-1"));
        entry->TITLE = e.attribute(QStringLiteral("TITLE"));
        entry->IsSend = e.attribute(QStringLiteral("IS_SEND"), QStringLiteral("0")) == QLatin1String("1");
    }
    entry->NAME = e.attribute(QStringLiteral("NAME"), QStringLiteral("0"));
    const QString time = e.attribute(QStringLiteral("DATETIME"), QStringLiteral("0"));
    entry->DateTime =
        time == QLatin1String("0") ? QDateTime::currentDateTime() : QDateTime::fromString(time, timeFormat);
    const QSet<QString> &known = knownAttributes(m_kind);
    const QDomNamedNodeMap attributes = e.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr a = attributes.item(i).toAttr();
        if (!known.contains(a.name()))
            entry->Kept.KeepAttribute(a);
    }
    for (QDomNode n = afterText(e, &entry->Text); !n.isNull(); n = n.nextSibling())
        entry->Kept.KeepChild(n);
    return entry;
}

void DocCdata::readCases(DocCdataRecord *record)
{
    qDeleteAll(record->Cases);
    record->Cases.clear();
    record->RootKept = HistoryKept();
    record->Prolog = HistoryKept();
    if (!record->HasDocument)
        return;
    const QString timeFormat = QString::fromLatin1(TimeFormat);
    // IDs continue from the largest in the file, elements that are no entry included; one beyond
    // the ceiling leaves none to give.
    DecimalId::Counter counter;
    counter.SeeValue(0);
    const QDomElement root = record->Document.documentElement();
    const QString maxId = GetStrVar(RegSlot::StrAttrMaxID);
    const QDomNamedNodeMap attributes = root.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        if (attributes.item(i).nodeName() != maxId)
            record->RootKept.KeepAttribute(attributes.item(i).toAttr());
    }
    bool inProlog = true;
    for (QDomNode n = record->Document.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n == root)
            inProlog = false;
        else if (inProlog && !isOwnProlog(n))
            record->Prolog.KeepFollowing(n);
        else if (!inProlog)
            record->RootKept.KeepFollowing(n);
    }
    DocCdataCase *last = nullptr;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement e = n.toElement();
        const QString id = e.attribute(QStringLiteral("ID"));
        if (n.isElement())
            counter.SeeId(id);
        // Only a CASE with an ID is an entry; anything else stays as it is, after the entry it
        // follows.
        if (!n.isElement() || e.tagName() != TagCase || !DecimalId::IsId(id)) {
            if (last)
                last->Kept.KeepFollowing(n);
            else
                record->RootKept.KeepChild(n);
            continue;
        }
        last = readCase(e, timeFormat);
        record->Cases.append(last);
    }
    record->MaxID = counter.HasNext() ? counter.Peek() - 1 : DecimalId::Ceiling;
}

bool DocCdata::buildDocument(DocCdataRecord *record)
{
    if (record->Cases.isEmpty())
        return false;
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                    QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    record->Prolog.PutFollowing(doc);
    QDomElement root = doc.createElement(QStringLiteral("Root_Instance"));
    root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), record->MaxID);
    doc.appendChild(root);
    record->RootKept.PutOwn(root);
    const QString timeFormat = QString::fromLatin1(TimeFormat);
    for (const DocCdataCase *entry : qAsConst(record->Cases)) {
        // A deleted entry goes with what followed it.
        if (entry->Deleted)
            continue;
        QDomElement e = doc.createElement(TagCase);
        e.setAttribute(QStringLiteral("ID"), entry->ID);
        if (m_kind == QandAKind) {
            e.setAttribute(QStringLiteral("TYPE"), entry->TYPE);
        } else {
            e.setAttribute(QStringLiteral("MID"), XmlText::Clean(entry->MID));
            e.setAttribute(QStringLiteral("IS_SEND"),
                           entry->IsSend ? QStringLiteral("1") : QStringLiteral("0"));
            e.setAttribute(QStringLiteral("TITLE"), XmlText::Clean(entry->TITLE));
        }
        e.setAttribute(QStringLiteral("NAME"), XmlText::Clean(entry->NAME));
        e.setAttribute(QStringLiteral("DATETIME"), entry->DateTime.toString(timeFormat));
        // Split at "]]>" and cleaned of what XML cannot hold: one entry no parser reads would
        // hide the whole history from every member.
        XmlText::AppendCData(doc, e, entry->Text);
        entry->Kept.PutOwn(e);
        root.appendChild(e);
        entry->Kept.PutFollowing(root);
    }
    record->RootKept.PutFollowing(doc);
    record->Document = doc;
    record->HasDocument = true;
    return true;
}

SharedXml::Written DocCdata::writeFile(DocCdataRecord *record, QString *why)
{
    QDomDocument &doc = record->Document;
    if (!doc.firstChild().isProcessingInstruction())
        doc.insertBefore(doc.createProcessingInstruction(
                             QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")),
                         doc.firstChild());
    QByteArray bytes;
    QTextStream stream(&bytes);
    stream.setCodec("UTF-8");
    doc.save(stream, 4, QDomNode::EncodingFromTextStream);
    stream.flush();
    // Only bytes the reader takes back, and only over the file the copy was made from. A
    // read-only mark of the user's own is cleared first.
    const SharedXml::Written written =
        SharedXml::Write(record->Path, bytes, record->Seen, SafeFile::MakeWritable, why, MaxHistoryNodes);
    if (written != SharedXml::Written::Yes)
        return written;
    record->Seen = SafeFile::Seen::Of(bytes);
    const QFileInfo info(record->Path);
    record->LastModified = info.lastModified();
    record->LastSize = info.size();
    return written;
}
