#include "instance/instancefiles.h"

#include "core/safefile.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "docs/referencefiles.h"
#include "model/elementlayout.h"

#include <QDate>
#include <QFileInfo>

namespace
{
const QString kRootInstance = QStringLiteral("Root_Instance");
const QString kRootInstanceDoc = QStringLiteral("Root_InstanceDoc");
const QString kReference = QStringLiteral("REFERENCE");
const QString kRef = QStringLiteral("REF");
const QString kParam = QStringLiteral("PARAM");
const QString kCrLf = QStringLiteral("\r\n");
// The files each element has beside the document: explanation, value grid, node positions.
const QString kText = QStringLiteral(".txt");
const QString kGrid = QStringLiteral(".csv");
const QString kPoints = QStringLiteral(".pos");
} // namespace

xmlclass *InstanceFiles::store() const
{
    return GetObj<xmlclass>(RegSlot::ObjXmlStore);
}

bool InstanceFiles::IsDecimal(const QString &text)
{
    return DecimalId::IsId(text);
}

int InstanceFiles::NextNumber(const QDomElement &root)
{
    DecimalId::Counter counter;
    counter.SeeMaxId(root.attribute(QStringLiteral("MaxID")));
    // The root's own "ID" is the member number, not an element's.
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        counter.SeeTree(e);
    return counter.HasNext() ? counter.Peek() : DecimalId::Ceiling + 1;
}

QString InstanceFiles::DocFileName(int n)
{
    return n == 0 ? QStringLiteral("instance.xml") : QStringLiteral("instance_%1.xml").arg(n);
}

QString InstanceFiles::ElementPath(const QString &n, const QString &id, const QString &ext) const
{
    if (!IsDecimal(n) || !IsDecimal(id))
        return QString();
    return m_dir + QStringLiteral("/instance_%1_%2%3").arg(n, id, ext);
}

bool InstanceFiles::NewNumbers(int n, int count, QSet<int> used, qint64 *counter, QList<int> *numbers,
                               QString *why, int ceiling) const
{
    QStringList names;
    if (!DecimalId::ListFolder(m_dir, &names, why))
        return false;
    // A temporary of the safe writer starts with a dot and so names no element: its number is free.
    DecimalId::NumbersInNames(names, QStringLiteral("instance_%1_").arg(n), {kText, kGrid, kPoints}, &used);
    QList<int> taken;
    qint64 from = *counter;
    while (taken.size() < count) {
        // A new document's first element is 0.
        const int number = DecimalId::FirstFree(from, used, 0, ceiling);
        if (number < 0) {
            if (why)
                *why = DecimalId::ExhaustedMessage(DocFileName(n));
            return false;
        }
        used.insert(number);
        taken.append(number);
        from = qMax(from, qint64(number) + 1);
    }
    *numbers = taken;
    *counter = from;
    return true;
}

InstanceFiles::OpenResult InstanceFiles::OpenMemberDocument(int n)
{
    xmlclass *xml = store();
    if (!xml || n < 0)
        return Failed;
    const int index = XmlIndex::Instance + n;
    const QString path = DocPath(n);
    if (xml->HasDoc(index) && xml->DocFileName(index) == path) {
        m_opened.insert(n);
        return Opened;
    }
    // A document of another folder under this number is never read or saved as this one.
    xml->CloseXmlDoc(index);
    // Two tries: a file that another member's program creates between our look and our write
    // is read, never replaced.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (xml->OpenXmlFile(index, path)) {
            const QString root = xml->GetXmlDoc(index)->documentElement().tagName();
            if (root == kRootInstance) {
                m_opened.insert(n);
                return Opened;
            }
            // Not an instance document: its children are no elements of this member. Left out
            // and never written, as a file that does not parse.
            xml->CloseXmlDoc(index);
            const QString reason = UiReport::WrongRoot(root, kRootInstance);
            SetStrVar(RegSlot::StrLastError, UiReport::LeftOutLine(path, reason));
            SetIntVar(RegSlot::IntLastErrorKind, 2);
            UiReport::LeftOut({GetStrVar(RegSlot::StrLastError)});
            return Failed;
        }
        if (GetIntVar(RegSlot::IntLastErrorKind) != 0 || !QFileInfo(m_dir).isDir())
            return Failed;
        if (NewInstanceDocument(n, path)) {
            m_opened.insert(n);
            return Created;
        }
        if (QFileInfo::exists(path))
            continue;
        return Failed;
    }
    return Failed;
}

void InstanceFiles::CloseMemberDocument(int n)
{
    m_opened.remove(n);
    if (xmlclass *xml = store())
        xml->CloseXmlDoc(XmlIndex::Instance + n);
}

void InstanceFiles::CloseMemberDocuments()
{
    const QSet<int> opened = m_opened;
    for (int n : opened)
        CloseMemberDocument(n);
}

bool InstanceFiles::NewInstanceDocument(int n, const QString &path)
{
    xmlclass *xml = store();
    if (!xml)
        return false;
    const int index = XmlIndex::Instance + n;
    QDomDocument doc;
    QDomElement root = doc.createElement(kRootInstance);
    root.setAttribute(GetStrVar(RegSlot::StrAttrID), QString::number(n));
    root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), QStringLiteral("0"));
    root.setAttribute(GetStrVar(RegSlot::StrAttrStartDate),
                      QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    root.setAttribute(GetStrVar(RegSlot::StrAttrTargetDate), QString());
    root.setAttribute(GetStrVar(RegSlot::StrAttrCompletionDate), QString());
    doc.appendChild(root);
    xml->AddXmlDocFile(index, doc, path);
    if (xml->CreateXmlDocFile(index) == 1)
        return true;
    xml->CloseXmlDoc(index);
    return false;
}

bool InstanceFiles::OpenDocInstance()
{
    xmlclass *xml = store();
    if (!xml)
        return false;
    const QString path = m_dir + QStringLiteral("/DocInstance.xml");
    if (xml->OpenXmlFile(XmlIndex::InstanceDoc, path))
        return true;
    if (GetIntVar(RegSlot::IntLastErrorKind) != 0 || !QFileInfo(m_dir).isDir())
        return false;
    xml->NewXmlDoc(XmlIndex::InstanceDoc, kRootInstanceDoc);
    xml->SetDocFileName(XmlIndex::InstanceDoc, path);
    const int written = xml->CreateXmlDocFile(XmlIndex::InstanceDoc);
    if (written == -1) {
        xml->CloseXmlDoc(XmlIndex::InstanceDoc);
        return xml->OpenXmlFile(XmlIndex::InstanceDoc, path);
    }
    return written == 1;
}

QString InstanceFiles::ReadElementText(const QString &n, const QString &id) const
{
    const QString path = ElementPath(n, id, kText);
    return path.isEmpty() ? QString() : TextFiles::Read(path);
}

QString InstanceFiles::ElementTextRefusal(const QString &n, const QString &id) const
{
    const QString path = ElementPath(n, id, kText);
    return path.isEmpty() ? QString() : TextFiles::RefusalOf(path);
}

QString InstanceFiles::ReadInstanceText(const QString &name) const
{
    const int sep = name.indexOf(QLatin1Char('_'));
    return sep < 0 ? QString() : ReadElementText(name.left(sep), name.mid(sep + 1));
}

bool InstanceFiles::writeFile(const QString &path, const QByteArray &bytes)
{
    // What stands in for a file that was not read is no edit of it.
    if (!path.isEmpty() && TextFiles::IsRefused(path))
        return allowed(TextFiles::NotWrittenOver(path));
    if (!path.isEmpty() && TextFiles::WriteBytes(path, bytes))
        return true;
    if (const QString why = TextFiles::WriteFailure(path); !why.isEmpty())
        UiReport::Fatal(tr("File error"), why);
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return false;
}

bool InstanceFiles::writeChanged(bool &changed, const QString &path, const std::function<QByteArray()> &bytes)
{
    if (!changed)
        return true;
    if (!writeFile(path, bytes()))
        return false;
    changed = false;
    return true;
}

bool InstanceFiles::WriteElementText(const QString &n, const QString &id, TreeItemData *record)
{
    const QString path = ElementPath(n, id, kText);
    const QString text = record->GetAttr(GetStrVar(RegSlot::StrAttrExpression));
    // A text every reader would refuse is not saved: it stays in the record, still to be saved.
    if (record->TextChanged() && !path.isEmpty() && !allowed(TextFiles::WriteRefusal(path, text)))
        return false;
    return writeChanged(record->TextChanged(), path, [&text] { return text.toUtf8(); });
}

bool InstanceFiles::allowed(const QString &why)
{
    if (why.isEmpty())
        return true;
    UiReport::Fatal(tr("File error"), why);
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return false;
}

QString InstanceFiles::GridLine(const TreeItemData &record, int row)
{
    QString line = record.Cell(row, 0);
    for (int c = 1; c < record.gridSize && c < TreeItemData::GridSize; ++c)
        line += QLatin1Char(',') + record.Cell(row, c);
    return line;
}

QByteArray InstanceFiles::GridBytes(const TreeItemData &record)
{
    QString out;
    for (int r = 0; r < TreeItemData::GridSize; ++r)
        out += GridLine(record, r) + kCrLf;
    return out.toUtf8();
}

QString InstanceFiles::GridRefusal(const QString &path, const TreeItemData &record)
{
    for (int r = 0; r < TreeItemData::GridSize; ++r) {
        const QByteArray line = GridLine(record, r).toUtf8();
        if (line.size() > MaxLineBytes) {
            return tr("%1 was not saved: the values of row %2 take %3 bytes, more than a reader takes back "
                      "on one line (%4); they stay in the instance")
                .arg(path, QString::number(r + 1), QString::number(line.size()),
                     QString::number(MaxLineBytes));
        }
        // A NUL makes the whole file undecodable for every reader.
        if (line.contains('\0'))
            return tr("%1 was not saved: a value of row %2 holds a NUL character; the values stay in the "
                      "instance")
                .arg(path, QString::number(r + 1));
    }
    return QString();
}

bool InstanceFiles::WriteInstanceCsv(const QString &n, const QString &id, TreeItemData *record)
{
    const QString path = ElementPath(n, id, kGrid);
    if (record->GridChanged() && !path.isEmpty() && !allowed(GridRefusal(path, *record)))
        return false;
    return writeChanged(record->GridChanged(), path, [record] { return GridBytes(*record); });
}

QByteArray InstanceFiles::PosBytes(const TreeItemData &record)
{
    // Points past MaxPoints belong to no state: the reader never takes them, so they are not written.
    QString out;
    for (int i = 0; i < record.positions.size() && i < MaxPoints; ++i)
        out +=
            QStringLiteral("%1,%2").arg(record.positions.at(i).x()).arg(record.positions.at(i).y()) + kCrLf;
    return out.toUtf8();
}

bool InstanceFiles::WriteInstancePos(const QString &n, const QString &id, TreeItemData *record)
{
    return writeChanged(record->PosChanged(), ElementPath(n, id, kPoints),
                        [record] { return PosBytes(*record); });
}

void InstanceFiles::forEachLine(const QString &text, int limit,
                                const std::function<void(const QString &)> &take)
{
    const QString separator = text.contains(kCrLf) ? kCrLf : QStringLiteral("\n");
    int taken = 0;
    for (int from = 0; from < text.size() && taken < limit;) {
        int end = text.indexOf(separator, from);
        if (end < 0)
            end = text.size();
        if (end > from) {
            take(text.mid(from, end - from));
            ++taken;
        }
        from = end + separator.size();
    }
}

void InstanceFiles::ParseGrid(TreeItemData *record, const QString &text)
{
    int row = 0;
    forEachLine(text, TreeItemData::GridSize, [&](const QString &line) { record->SetGridRow(row++, line); });
}

QString InstanceFiles::ReadInstanceCsv(TreeItemData *record, const QString &n, const QString &id) const
{
    const QString path = ElementPath(n, id, kGrid);
    if (!path.isEmpty()) {
        const QString text = TextFiles::ReadHead(path, TreeItemData::GridSize, MaxLineBytes);
        // The empty rows standing in for a refused grid are no values of it: the grid stays unread,
        // to be read again, and whoever uses it hears why.
        const QString refusal = TextFiles::RefusalOf(path);
        if (!refusal.isEmpty())
            return refusal;
        ParseGrid(record, text);
    }
    record->GridLoaded() = true;
    return QString();
}

void InstanceFiles::ParsePos(TreeItemData *record, const QString &text)
{
    forEachLine(text, MaxPoints, [record](const QString &line) {
        const QStringList parts = line.split(QLatin1Char(','));
        const double x = parts.at(0).toDouble();
        const double y = parts.size() > 1 ? parts.at(1).toDouble() : -1.0;
        record->positions.append(QPointF(x, y));
    });
}

QString InstanceFiles::ReadInstancePos(TreeItemData *record, const QString &n, const QString &id) const
{
    const QString path = ElementPath(n, id, kPoints);
    if (path.isEmpty())
        return QString();
    const QString text = TextFiles::ReadHead(path, MaxPoints, MaxLineBytes);
    const QString refusal = TextFiles::RefusalOf(path);
    if (!refusal.isEmpty())
        return refusal;
    // The points a diagram placed while the file was refused are no points of the file.
    record->positions.clear();
    ParsePos(record, text);
    record->PosLoaded() = true;
    return QString();
}

QDomElement InstanceFiles::buildReference(QDomDocument &doc, const TreeItemData &record) const
{
    return ReferenceFiles::WriteReference(doc, record.links, GetStrVar(RegSlot::StrMarkerDollar),
                                          ElementLayout::Placeholder(record.kept, kReference));
}

void InstanceFiles::ReadReferences(const QDomElement &reference, QStringList *entries) const
{
    entries->append(ReferenceFiles::ReadLinks(reference, GetStrVar(RegSlot::StrMarkerDollar)));
}

QDomElement InstanceFiles::buildElement(QDomDocument &doc, const QString &tag, TreeItemData *record)
{
    QDomElement element = doc.createElement(tag);
    const QString expression = GetStrVar(RegSlot::StrAttrExpression);
    const QString reference = GetStrVar(RegSlot::StrAttrReference);
    const QHash<QString, QString> &attrs = record->Attrs();
    for (auto it = attrs.begin(); it != attrs.end(); ++it) {
        if (it.key() != expression && it.key() != reference)
            element.setAttribute(it.key(), it.value());
    }
    return element;
}

bool InstanceFiles::WriteElementFiles(TreeItemData *record, bool sclass)
{
    const QString n = record->name;
    const QString id = record->GetAttr(GetStrVar(RegSlot::StrAttrID));
    bool ok = WriteElementText(n, id, record);
    if (sclass) {
        ok = WriteInstanceCsv(n, id, record) && ok;
        if (record->GetAttr(GetStrVar(RegSlot::StrAttrParamType)) == QLatin1String("2"))
            ok = WriteInstancePos(n, id, record) && ok;
    }
    return ok;
}

QDomElement InstanceFiles::BuildLclassElement(QDomDocument &doc, TreeItemData *record,
                                              const QList<QDomElement> &sclasses)
{
    QDomElement element = buildElement(doc, GetStrVar(RegSlot::StrTagLClass), record);
    // The layout is copied into the element, never moved: the document is emptied after the save
    // and each later save must write the same again.
    ElementLayout::Fill(
        element, record->kept,
        {{kReference, {buildReference(doc, *record)}}, {GetStrVar(RegSlot::StrTagSClass), sclasses}});
    return element;
}

QDomElement InstanceFiles::BuildSclassElement(QDomDocument &doc, TreeItemData *record,
                                              const QList<QDomElement> &params)
{
    QDomElement element = buildElement(doc, GetStrVar(RegSlot::StrTagSClass), record);
    QDomElement param = doc.createElement(kParam);
    ElementLayout::Fill(param, record->keptParams, {{QStringLiteral("P"), params}});
    ElementLayout::Fill(element, record->kept,
                        {{kReference, {buildReference(doc, *record)}}, {kParam, {param}}});
    return element;
}

QDomElement InstanceFiles::BuildParamElement(QDomDocument &doc, TreeItemData *record)
{
    QDomElement element = buildElement(doc, QStringLiteral("P"), record);
    ElementLayout::Fill(element, record->kept, {});
    return element;
}

void InstanceFiles::RemoveReferenceElements(QDomNode node)
{
    if (!node.isElement())
        return;
    const QString tag = node.toElement().tagName();
    if (tag == QLatin1String("SClass")) {
        for (QDomElement child = node.firstChildElement(); !child.isNull();
             child = child.nextSiblingElement()) {
            if (child.tagName() == kReference || child.tagName() == kParam) {
                while (child.hasChildNodes())
                    child.removeChild(child.firstChild());
            }
        }
        while (node.hasChildNodes())
            node.removeChild(node.firstChild());
    } else if (tag == kReference) {
        while (node.hasChildNodes())
            node.removeChild(node.firstChild());
    }
}

void InstanceFiles::ClearInstanceDocument(int n)
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Instance + n) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    while (root.hasChildNodes()) {
        QDomNode child = root.firstChild();
        while (child.hasChildNodes()) {
            QDomNode grandChild = child.firstChild();
            RemoveReferenceElements(grandChild);
            child.removeChild(grandChild);
        }
        root.removeChild(child);
    }
}
