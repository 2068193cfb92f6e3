#include "qa/doccdata.h"

#include "core/decimalid.h"
#include "core/xmltext.h"

#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/uireport.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace
{
QHash<quint64, DocCdataCase *> &liveCases()
{
    static QHash<quint64, DocCdataCase *> cases;
    return cases;
}
quint64 nextSerial()
{
    static quint64 serial = 0;
    return ++serial;
}
} // namespace

DocCdataCase::DocCdataCase() : m_serial(nextSerial())
{
    liveCases().insert(m_serial, this);
}

DocCdataCase::DocCdataCase(const DocCdataCase &other)
    : Stored(other.Stored), Deleted(other.Deleted), ID(other.ID), TYPE(other.TYPE), MID(other.MID),
      DateTime(other.DateTime), NAME(other.NAME), TITLE(other.TITLE), Text(other.Text), IsSend(other.IsSend),
      m_serial(nextSerial())
{
    liveCases().insert(m_serial, this);
}

// A copy is another entry: it keeps its own serial.
DocCdataCase &DocCdataCase::operator=(const DocCdataCase &other)
{
    const quint64 serial = m_serial;
    Stored = other.Stored;
    Deleted = other.Deleted;
    ID = other.ID;
    TYPE = other.TYPE;
    MID = other.MID;
    DateTime = other.DateTime;
    NAME = other.NAME;
    TITLE = other.TITLE;
    Text = other.Text;
    IsSend = other.IsSend;
    m_serial = serial;
    return *this;
}

DocCdataCase::~DocCdataCase()
{
    liveCases().remove(m_serial);
}

DocCdataCase *DocCdataCase::Live(quint64 serial)
{
    return liveCases().value(serial);
}

DocCdataRecord::DocCdataRecord()
    : LastModified(QDateTime::fromString(QStringLiteral("0000/00/00 00:00"),
                                         QString::fromLatin1(DocCdata::TimeFormat)))
{
}

DocCdataRecord::~DocCdataRecord()
{
    qDeleteAll(Cases);
}

DocCdata::DocCdata(QObject *parent) : QObject(parent) {}

DocCdata::~DocCdata()
{
    Clear();
}

void DocCdata::Clear()
{
    qDeleteAll(m_records);
    m_records.clear();
}

DocCdataRecord *DocCdata::recordFor(const QString &key)
{
    DocCdataRecord *&record = m_records[key];
    if (!record)
        record = new DocCdataRecord;
    return record;
}

QList<DocCdataCase *> *DocCdata::LoadIfChanged(const QString &key, const QString &path)
{
    const bool known = m_records.contains(key);
    DocCdataRecord *record = recordFor(key);
    if (!known && m_kind == MailKind)
        record->Modified = true;
    const QFileInfo info(path);
    if (info.exists() && info.lastModified() != record->LastModified) {
        loadFile(record, path);
        readCases(record);
    }
    return &record->Cases;
}

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
    const QDateTime modified = QFileInfo(path).lastModified();
    QByteArray bytes;
    if (!SafeFile::ReadAll(path, &bytes, QIODevice::ReadOnly, MaxHistoryBytes)) {
        const QString text = SafeFile::WithReason(tr("file not open %1").arg(path));
        SetStrVar(RegSlot::StrLastError, text);
        SetIntVar(RegSlot::IntLastErrorKind, 1);
        record->LoadFailed = true;
        // Named by the save that refuses to write over it.
        record->Path = path;
        if (SafeFile::LastRefused())
            record->LastModified = modified;
        UiReport::Fatal(tr("File error"), text);
        return;
    }
    record->LastModified = modified;
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

// The text is held in CDATA sections; a text holding "]]>" was split across several.
static QString caseText(const QDomElement &e)
{
    QString text;
    for (QDomNode n = e.firstChild(); !n.isNull() && n.isCDATASection(); n = n.nextSibling())
        text += n.toCDATASection().data();
    return text;
}

void DocCdata::readCases(DocCdataRecord *record)
{
    qDeleteAll(record->Cases);
    record->Cases.clear();
    if (!record->HasDocument)
        return;
    const QString timeFormat = QString::fromLatin1(TimeFormat);
    // IDs continue from the largest in the file; one beyond the ceiling leaves none to give.
    DecimalId::Counter counter;
    counter.SeeValue(0);
    const QDomElement root = record->Document.documentElement();
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement())
            continue;
        const QDomElement e = n.toElement();
        auto *entry = new DocCdataCase;
        entry->Stored = true;
        const QString id = e.attribute(QStringLiteral("ID"), QStringLiteral("0"));
        entry->ID = qMax(0, DecimalId::Value(id));
        counter.SeeId(id);
        if (m_kind == QandAKind) {
            entry->TYPE = e.attribute(QStringLiteral("TYPE"), QStringLiteral("0")).toInt();
        } else {
            entry->MID = e.attribute(QStringLiteral("MID"), QStringLiteral("-1"));
            entry->TITLE = e.attribute(QStringLiteral("TITLE"));
            entry->IsSend = e.attribute(QStringLiteral("IS_SEND"), QStringLiteral("0")) == QLatin1String("1");
        }
        entry->NAME = e.attribute(QStringLiteral("NAME"), QStringLiteral("0"));
        const QString time = e.attribute(QStringLiteral("DATETIME"), QStringLiteral("0"));
        entry->DateTime = time == QLatin1String("0") ? QDateTime::currentDateTime()
                                                     : QDateTime::fromString(time, timeFormat);
        entry->Text = caseText(e);
        record->Cases.append(entry);
    }
    record->MaxID = counter.HasNext() ? counter.Peek() - 1 : DecimalId::Ceiling;
}

void DocCdata::SetRecordPath(const QString &key, const QString &path)
{
    if (DocCdataRecord *record = m_records.value(key))
        record->Path = path;
}

int DocCdata::GetNextID(const QString &key) const
{
    const DocCdataRecord *record = m_records.value(key);
    return record && record->MaxID < DecimalId::Ceiling ? record->MaxID + 1 : -1;
}

DocCdataCase *DocCdata::append(const QString &key, void *owner, DocCdataCase *entry)
{
    DocCdataRecord *record = recordFor(key);
    m_refusal.clear();
    if (record->MaxID >= DecimalId::Ceiling) {
        delete entry;
        UiReport::Error(tr("File error"),
                        DecimalId::ExhaustedMessage(record->Path.isEmpty() ? key : record->Path));
        return nullptr;
    }
    entry->ID = record->MaxID + 1;
    m_refusal = EntryRefusal(key, *entry);
    if (!m_refusal.isEmpty()) {
        delete entry;
        return nullptr;
    }
    record->MaxID = entry->ID;
    record->Cases.append(entry);
    record->Modified = true;
    record->Owner = owner;
    return entry;
}

DocCdataCase *DocCdata::AddRecordNow(const QString &key, void *owner, const QString &name, const QString &mid,
                                     const QString &title, const QString &sent, const QString &text)
{
    return AddRecord(key, owner, name, QDateTime::currentDateTime(), mid, title, sent, text);
}

DocCdataCase *DocCdata::AddRecord(const QString &key, void *owner, const QString &name, const QDateTime &time,
                                  const QString &mid, const QString &title, const QString &sent,
                                  const QString &text)
{
    auto *entry = new DocCdataCase;
    entry->NAME = name;
    entry->DateTime = time;
    entry->MID = mid;
    entry->TITLE = title;
    entry->IsSend = sent == QLatin1String("1");
    entry->Text = text;
    return append(key, owner, entry);
}

DocCdataCase *DocCdata::AddCaseNow(const QString &key, void *owner, int type, const QString &name,
                                   const QString &text)
{
    return AddCase(key, owner, type, name, QDateTime::currentDateTime(), text);
}

DocCdataCase *DocCdata::AddCase(const QString &key, void *owner, int type, const QString &name,
                                const QDateTime &time, const QString &text)
{
    auto *entry = new DocCdataCase;
    entry->TYPE = type;
    entry->NAME = name;
    entry->DateTime = time;
    entry->Text = text;
    return append(key, owner, entry);
}

void DocCdata::SetModified(const QString &key)
{
    if (DocCdataRecord *record = m_records.value(key))
        record->Modified = true;
}

void DocCdata::SaveModified()
{
    for (DocCdataRecord *record : qAsConst(m_records)) {
        if (!record->Modified)
            continue;
        if (record->LoadFailed) {
            // Writing would replace the history another member's program can still read whole.
            if (!record->FailureReported)
                UiReport::Error(tr("File error"),
                                tr("history not written, its file could not be read:%1").arg(record->Path));
            record->FailureReported = true;
            continue;
        }
        // A history its reader would refuse hides every entry of it: the file keeps what it holds.
        const QString refusal = refusalOf(record, record->Path, costOf(record));
        if (!refusal.isEmpty()) {
            UiReport::Error(tr("File error"), tr("history not written: %1").arg(refusal));
            SetBoolVar(RegSlot::FlagWriteFailed, true);
            continue;
        }
        // Notifications go out only for entries whose file is written: a mail must not announce
        // what no member can read.
        if (!buildDocument(record) || !writeFile(record))
            continue;
        if (m_hook && m_kind == QandAKind && GetStrVar(RegSlot::StrMailIsSend) == QLatin1String("1"))
            m_hook(record);
    }
}

bool DocCdata::buildDocument(DocCdataRecord *record)
{
    if (record->Cases.isEmpty())
        return false;
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Root_Instance"));
    root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), record->MaxID);
    doc.appendChild(root);
    const QString timeFormat = QString::fromLatin1(TimeFormat);
    for (const DocCdataCase *entry : qAsConst(record->Cases)) {
        if (entry->Deleted)
            continue;
        QDomElement e = doc.createElement(QStringLiteral("CASE"));
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
        root.appendChild(e);
    }
    record->Document = doc;
    record->HasDocument = true;
    return true;
}

bool DocCdata::writeFile(DocCdataRecord *record)
{
    if (!record->HasDocument) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:XML001"));
        return false;
    }
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
    // A read-only mark of the user's own is cleared first.
    if (!SafeFile::Write(record->Path, bytes, SafeFile::MakeWritable)) {
        UiReport::Fatal(tr("File error"),
                        SafeFile::WithReason(tr("can not write file:%1").arg(record->Path)));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return false;
    }
    record->LastModified = QFileInfo(record->Path).lastModified();
    return true;
}
