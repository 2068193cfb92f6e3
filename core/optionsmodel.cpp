#include "core/optionsmodel.h"

#include "core/longvalue.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QHash>
#include <QMap>
#include <QVector>

namespace
{

QDomElement firstElement(const QDomNode &root, const QString &tag)
{
    if (root.isDocument())
        return root.toDocument().elementsByTagName(tag).item(0).toElement();
    return root.toElement().elementsByTagName(tag).item(0).toElement();
}

QList<QDomElement> elements(const QDomElement &parent, const QString &tag)
{
    QList<QDomElement> found;
    const QDomNodeList list = parent.elementsByTagName(tag);
    for (int i = 0; i < list.size(); ++i)
        found.append(list.item(i).toElement());
    return found;
}

// A text that is already there is not set again; a missing attribute reads as empty, so an empty
// value adds none.
void setIfChanged(QDomElement e, const QString &name, const QString &value)
{
    if (e.attribute(name) != value)
        e.setAttribute(name, value);
}

// An element of the rows' tag, or one holding such: where what follows the element before it ends.
bool holdsRow(const QDomNode &n, const QString &tag)
{
    if (!n.isElement())
        return false;
    const QDomElement e = n.toElement();
    return e.tagName() == tag || !e.elementsByTagName(tag).isEmpty();
}

// What followed a row's element as read, up to the next row's: it belongs to that row.
QList<QDomNode> trailingOf(const QDomElement &e, const QString &tag)
{
    QList<QDomNode> trailing;
    for (QDomNode n = e.nextSibling(); !n.isNull() && !holdsRow(n, tag); n = n.nextSibling())
        trailing.append(n);
    return trailing;
}

// The element each row is written to, in the order of the rows. What followed an element read is
// its row's: it goes with the element, and moves with it. An element read stays where it is unless
// a row before it in the list came from an element after it: then it moves after that row's
// element and what follows it. A row of its own gets a new element there (before the first element
// kept when it leads, after what stood before the first row). Elements no row comes from are
// removed with what followed them.
QList<QDomElement> placeRows(QDomDocument &doc, QDomElement container, const QList<QDomElement> &read,
                             const QList<int> &from, int rowCount, const QString &tag, QList<bool> *fresh)
{
    QVector<bool> kept(read.size(), false);
    QList<int> origin;
    for (int i = 0; i < rowCount; ++i) {
        const int k = i < from.size() ? from.at(i) : -1;
        const bool valid = k >= 0 && k < read.size() && !kept.at(k);
        if (valid)
            kept[k] = true;
        origin.append(valid ? k : -1);
    }
    // Taken before anything moves: each element's own is what followed it as read.
    QVector<QList<QDomNode>> trailing(read.size());
    for (int k = 0; k < read.size(); ++k)
        trailing[k] = trailingOf(read.at(k), tag);
    QDomElement firstKept;
    for (int k = 0; k < read.size(); ++k) {
        if (kept.at(k)) {
            if (firstKept.isNull())
                firstKept = read.at(k);
            continue;
        }
        for (QDomNode n : qAsConst(trailing.at(k)))
            n.parentNode().removeChild(n);
        read.at(k).parentNode().removeChild(read.at(k));
    }
    QList<QDomElement> placed;
    QDomNode end; // the last node of the row before: its element or what followed it
    int furthest = -1;
    for (int i = 0; i < rowCount; ++i) {
        const int k = origin.at(i);
        fresh->append(k < 0);
        if (k > furthest) {
            furthest = k;
            placed.append(read.at(k));
            end = trailing.at(k).isEmpty() ? QDomNode(read.at(k)) : trailing.at(k).last();
            continue;
        }
        QDomElement e = k < 0 ? doc.createElement(tag) : read.at(k);
        QList<QDomNode> nodes{e};
        if (k >= 0)
            nodes += trailing.at(k);
        for (const QDomNode &n : qAsConst(nodes)) {
            if (!end.isNull())
                end.parentNode().insertAfter(n, end);
            else if (!firstKept.isNull())
                firstKept.parentNode().insertBefore(n, firstKept);
            else
                container.appendChild(n);
            end = n;
        }
        placed.append(e);
    }
    return placed;
}

void writeReferences(QDomDocument &doc, QDomElement reference, const OptionValues &v)
{
    const QString tag = QStringLiteral("REF");
    QList<bool> fresh;
    const QList<QDomElement> placed = placeRows(doc, reference, elements(reference, tag), v.referenceFrom,
                                                v.references.size(), tag, &fresh);
    for (int i = 0; i < placed.size(); ++i) {
        const ReferenceRow &row = v.references.at(i);
        QDomElement ref = placed.at(i);
        if (fresh.at(i)) {
            ref.setAttribute(QStringLiteral("Extention"), row.extension);
            ref.setAttribute(QStringLiteral("exe"), row.program);
            continue;
        }
        setIfChanged(ref, QStringLiteral("Extention"), row.extension);
        setIfChanged(ref, QStringLiteral("exe"), row.program);
    }
}

void writeChildren(QDomDocument &doc, QDomElement child, const OptionValues &v)
{
    const QString tag = QStringLiteral("ChildUser");
    QList<bool> fresh;
    const QList<QDomElement> placed =
        placeRows(doc, child, elements(child, tag), v.childFrom, v.children.size(), tag, &fresh);
    // The tracker names are written whether the tracker is on or not: switching it off for a
    // while must not wipe what the user entered.
    for (int i = 0; i < placed.size(); ++i) {
        const ChildUserRow &row = v.children.at(i);
        const QPair<const char *, QString> values[] = {
            {"Name", row.name},           {"Email", row.email},       {"Proc_Email", row.procEmail},
            {"FirstName", row.firstName}, {"LastName", row.lastName}, {"RedmineID", row.redmineId}};
        QDomElement u = placed.at(i);
        for (const auto &value : values) {
            if (fresh.at(i))
                u.setAttribute(QLatin1String(value.first), value.second);
            else
                setIfChanged(u, QLatin1String(value.first), value.second);
        }
    }
}

// What tells two rows apart: every value the dialog shows of them. No XML value holds a NUL.
QString rowKey(const ReferenceRow &r)
{
    return QStringList{r.extension, r.program}.join(QChar());
}

QString rowKey(const ChildUserRow &r)
{
    return QStringList{r.name, r.email, r.procEmail, r.firstName, r.lastName, r.redmineId}.join(QChar());
}

// Elements of stored that the dialog never showed are another window's: each goes after the row of
// the stored element before it, or in front.
template <class Row>
void addOthers(const QList<Row> &stored, const QVector<bool> &shownElement, const QVector<int> &rowOf,
               QList<Row> *rows, QList<int> *from)
{
    QMap<int, QList<int>> after;
    int last = -1;
    for (int j = 0; j < stored.size(); ++j) {
        if (rowOf.at(j) >= 0)
            last = rowOf.at(j);
        else if (!shownElement.at(j))
            after[last].append(j);
    }
    const QList<Row> ownRows = *rows;
    const QList<int> ownFrom = *from;
    rows->clear();
    from->clear();
    for (int r = -1; r < ownRows.size(); ++r) {
        if (r >= 0) {
            rows->append(ownRows.at(r));
            from->append(ownFrom.at(r));
        }
        for (int j : after.value(r)) {
            rows->append(stored.at(j));
            from->append(j);
        }
    }
}

// The rows of an edited table, put onto the elements of stored (see KeepStored).
template <class Row>
void mergeRows(const QList<Row> &stored, const QList<Row> &shown, const QList<int> &shownFrom,
               QList<Row> *rows, QList<int> *from)
{
    QMap<int, QString> loaded; // the content of each element shown, by its place as read then
    for (int i = 0; i < shown.size() && i < shownFrom.size(); ++i) {
        if (shownFrom.at(i) >= 0 && !loaded.contains(shownFrom.at(i)))
            loaded.insert(shownFrom.at(i), rowKey(shown.at(i)));
    }
    // Each is the first element of stored with its content not taken by one before it.
    QHash<QString, QList<int>> byContent;
    for (int j = 0; j < stored.size(); ++j)
        byContent[rowKey(stored.at(j))].append(j);
    QHash<int, int> to;
    QVector<bool> shownElement(stored.size(), false);
    for (auto it = loaded.cbegin(); it != loaded.cend(); ++it) {
        QList<int> &same = byContent[it.value()];
        if (!same.isEmpty()) {
            to.insert(it.key(), same.first());
            shownElement[same.takeFirst()] = true;
        }
    }
    QList<Row> merged;
    QList<int> mergedFrom;
    QVector<int> rowOf(stored.size(), -1);
    for (int i = 0; i < rows->size(); ++i) {
        const int k = i < from->size() ? from->at(i) : -1;
        const auto j = to.constFind(k);
        if (j != to.cend()) {
            if (rowOf.at(*j) < 0)
                rowOf[*j] = merged.size();
            mergedFrom.append(*j);
        } else if (loaded.contains(k) && rowKey(rows->at(i)) == loaded.value(k)) {
            continue; // left as shown while another window removed or changed it: theirs stands
        } else {
            mergedFrom.append(-1);
        }
        merged.append(rows->at(i));
    }
    *rows = merged;
    *from = mergedFrom;
    addOthers(stored, shownElement, rowOf, rows, from);
}

// The texts are marked where they are written, for the translation to find them.
QString text(const char *source)
{
    return QCoreApplication::translate("OptionDiag", source);
}

QString refuseLong(const QString &what, const QString &value)
{
    if (!LongValue::Exceeds(value))
        return QString();
    return text(QT_TRANSLATE_NOOP("OptionDiag", "%1 of more than %2 characters is refused: the member "
                                                "files would not open again with it (%3)"))
        .arg(what)
        .arg(LongValue::MaxChars)
        .arg(LongValue::Shown(value));
}

QDomElement appendElement(QDomDocument &doc, QDomElement parent, const QString &tag)
{
    QDomElement e = doc.createElement(tag);
    parent.appendChild(e);
    return e;
}

const char *const kMailTags[] = {"SMTPSERVER", "PORT", "SECURITY", "AUTH", "ADDRESS", "ISSEND", "ISCONNECT"};

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString mailValue(const MailValues &mail, const QString &tag)
{
    if (tag == QLatin1String("SMTPSERVER"))
        return mail.server;
    if (tag == QLatin1String("PORT"))
        return QString::number(mail.port);
    if (tag == QLatin1String("SECURITY"))
        return QString::number(mail.security);
    if (tag == QLatin1String("AUTH"))
        return QString::number(mail.auth);
    if (tag == QLatin1String("ADDRESS"))
        return mail.address;
    if (tag == QLatin1String("ISSEND"))
        return flagText(mail.send);
    return flagText(mail.connect);
}

void readRows(const QDomDocument &doc, OptionValues &v)
{
    const QDomElement reference = firstElement(doc, QStringLiteral("REFERENCE"));
    v.hasReference = !reference.isNull();
    for (const QDomElement &ref : elements(reference, QStringLiteral("REF"))) {
        v.referenceFrom.append(v.references.size());
        v.references.append(
            {ref.attribute(QStringLiteral("Extention")), ref.attribute(QStringLiteral("exe"))});
    }

    const QDomElement child = firstElement(doc, QStringLiteral("CHILD"));
    v.hasChild = !child.isNull();
    for (const QDomElement &u : elements(child, QStringLiteral("ChildUser"))) {
        v.childFrom.append(v.children.size());
        v.children.append({u.attribute(QStringLiteral("Name")), u.attribute(QStringLiteral("Email")),
                           u.attribute(QStringLiteral("Proc_Email")),
                           u.attribute(QStringLiteral("FirstName")), u.attribute(QStringLiteral("LastName")),
                           u.attribute(QStringLiteral("RedmineID"))});
    }
}

} // namespace

OptionValues OptionsModel::Read(const QDomDocument &doc)
{
    OptionValues v;
    const QDomElement init = firstElement(doc, QStringLiteral("Init"));
    v.hasInit = !init.isNull();
    v.ownerName = init.attribute(QStringLiteral("Name"));
    v.ownerEmail = init.attribute(QStringLiteral("Email"));
    v.firstName = init.attribute(QStringLiteral("FirstName"));
    v.lastName = init.attribute(QStringLiteral("LastName"));
    v.redmineId = init.attribute(QStringLiteral("RedmineID"));

    readRows(doc, v);

    const QDomElement option = firstElement(doc, QStringLiteral("OPTION"));
    const QDomElement font = option.isNull() ? QDomElement() : firstElement(option, QStringLiteral("FONT"));
    v.hasFont = !font.isNull();
    v.fontName = font.attribute(QStringLiteral("Name"));
    v.fontSize = font.attribute(QStringLiteral("size"));
    const QDomElement autosave =
        option.isNull() ? QDomElement() : firstElement(option, QStringLiteral("AUTOSAVE"));
    v.hasAutoSave = !autosave.isNull();
    v.autoSave = autosave.attribute(QStringLiteral("interval"));

    const QDomElement mail = firstElement(doc, QStringLiteral("MAIL"));
    v.hasMail = !mail.isNull();
    for (const char *tag : kMailTags) {
        const QDomElement e = mail.isNull() ? QDomElement() : firstElement(mail, QLatin1String(tag));
        if (!e.isNull())
            v.mailRead.insert(QLatin1String(tag), e.attribute(QStringLiteral("Value")));
    }
    // What was read writes back as it was read.
    v.mailKept = v.mailRead;
    return v;
}

bool OptionsModel::Write(QDomDocument &doc, const OptionValues &v)
{
    QDomElement init = firstElement(doc, QStringLiteral("Init"));
    if (!init.isNull()) {
        setIfChanged(init, QStringLiteral("FirstName"), v.firstName);
        setIfChanged(init, QStringLiteral("LastName"), v.lastName);
        setIfChanged(init, QStringLiteral("RedmineID"), v.redmineId);
    }
    QDomElement reference = firstElement(doc, QStringLiteral("REFERENCE"));
    if (!reference.isNull())
        writeReferences(doc, reference, v);
    QDomElement child = firstElement(doc, QStringLiteral("CHILD"));
    if (!child.isNull())
        writeChildren(doc, child, v);
    QDomElement font = firstElement(doc, QStringLiteral("FONT"));
    if (!font.isNull()) {
        setIfChanged(font, QStringLiteral("Name"), v.fontName);
        setIfChanged(font, QStringLiteral("size"), v.fontSize);
    }
    QDomElement autosave = firstElement(doc, QStringLiteral("AUTOSAVE"));
    if (!autosave.isNull())
        setIfChanged(autosave, QStringLiteral("interval"), v.autoSave);

    const QDomElement mail = firstElement(doc, QStringLiteral("MAIL"));
    if (mail.isNull())
        return false;
    bool anyChild = false;
    for (QDomElement e = mail.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        anyChild = true;
        for (const char *tag : kMailTags) {
            if (e.tagName() == QLatin1String(tag))
                setIfChanged(e, QStringLiteral("Value"), MailText(v, e.tagName()));
        }
    }
    return anyChild;
}

void OptionsModel::WriteTracker(QDomDocument &doc, const TrackerValues &t)
{
    QDomElement redmine = firstElement(doc, QStringLiteral("Redmine"));
    const bool created = redmine.isNull();
    if (created) {
        QDomElement init = firstElement(doc, QStringLiteral("Init"));
        if (init.isNull())
            return;
        redmine = appendElement(doc, init, QStringLiteral("Redmine"));
        appendElement(doc, redmine, QStringLiteral("Active"))
            .setAttribute(QStringLiteral("Value"), QString());
        appendElement(doc, redmine, QStringLiteral("HOME")).setAttribute(QStringLiteral("Url"), QString());
        appendElement(doc, redmine, QStringLiteral("Authentication"))
            .setAttribute(QStringLiteral("ApiKey"), QString());
        appendElement(doc, redmine, QStringLiteral("Description"))
            .setAttribute(QStringLiteral("Max"), QStringLiteral("65535"));
    }
    // The start-up reader takes Active as on only when "1", and a key as set unless "0": those
    // two readings decide whether a stored text still says what is given.
    QDomElement active = firstElement(redmine, QStringLiteral("Active"));
    if (!active.isNull() &&
        (created || (active.attribute(QStringLiteral("Value")) == QLatin1String("1")) != t.active))
        active.setAttribute(QStringLiteral("Value"), flagText(t.active));
    QDomElement home = firstElement(redmine, QStringLiteral("HOME"));
    if (!home.isNull())
        setIfChanged(home, QStringLiteral("Url"), t.url);
    QDomElement auth = firstElement(redmine, QStringLiteral("Authentication"));
    if (!auth.isNull() &&
        (created || (auth.attribute(QStringLiteral("ApiKey")) != QLatin1String("0")) != t.apiKey))
        auth.setAttribute(QStringLiteral("ApiKey"), flagText(t.apiKey));
    QDomElement description = firstElement(redmine, QStringLiteral("Description"));
    if (description.isNull())
        description = appendElement(doc, redmine, QStringLiteral("Description"));
    if (!description.hasAttribute(QStringLiteral("Max")) ||
        MaxFromText(description.attribute(QStringLiteral("Max"))) != t.max)
        description.setAttribute(QStringLiteral("Max"), t.max);
}

OptionValues OptionsModel::KeepStored(const OptionValues &stored, const OptionValues &shown,
                                      const OptionValues &typed)
{
    OptionValues v = typed;
    const auto keep = [](const QString &storedText, const QString &shownText, QString &value) {
        if (value == shownText)
            value = storedText;
    };
    keep(stored.firstName, shown.firstName, v.firstName);
    keep(stored.lastName, shown.lastName, v.lastName);
    keep(stored.redmineId, shown.redmineId, v.redmineId);
    keep(stored.fontName, shown.fontName, v.fontName);
    keep(stored.fontSize, shown.fontSize, v.fontSize);
    const int storedMinutes = AutoSaveMinutes(stored.autoSave);
    if (storedMinutes == AutoSaveMinutes(typed.autoSave) ||
        (typed.autoSave == shown.autoSave && AutoSaveChoices().contains(storedMinutes)))
        v.autoSave = stored.autoSave;
    v.mailKept.clear();
    for (const char *tag : kMailTags) {
        const QString name = QLatin1String(tag);
        if (stored.mailRead.contains(name) && mailValue(typed.mail, name) == mailValue(shown.mail, name))
            v.mailKept.insert(name, stored.mailRead.value(name));
    }
    if (typed.references == shown.references && typed.referenceFrom == shown.referenceFrom) {
        v.references = stored.references;
        v.referenceFrom = stored.referenceFrom;
    } else {
        mergeRows(stored.references, shown.references, shown.referenceFrom, &v.references, &v.referenceFrom);
    }
    if (typed.children == shown.children && typed.childFrom == shown.childFrom) {
        v.children = stored.children;
        v.childFrom = stored.childFrom;
    } else {
        mergeRows(stored.children, shown.children, shown.childFrom, &v.children, &v.childFrom);
    }
    return v;
}

bool OptionsModel::WriteTyped(QDomDocument &doc, const OptionValues &shown, const OptionValues &typed)
{
    return Write(doc, KeepStored(Read(doc), shown, typed));
}

TrackerValues OptionsModel::ReadTracker(const QDomDocument &doc)
{
    TrackerValues t;
    const QDomElement redmine = firstElement(doc, QStringLiteral("Redmine"));
    if (redmine.isNull())
        return t;
    t.active = firstElement(redmine, QStringLiteral("Active")).attribute(QStringLiteral("Value")) ==
               QLatin1String("1");
    t.url = firstElement(redmine, QStringLiteral("HOME")).attribute(QStringLiteral("Url"));
    const QDomElement auth = firstElement(redmine, QStringLiteral("Authentication"));
    t.apiKey = !auth.isNull() && auth.attribute(QStringLiteral("ApiKey")) != QLatin1String("0");
    const QDomElement description = firstElement(redmine, QStringLiteral("Description"));
    if (!description.isNull())
        t.max = MaxFromText(description.attribute(QStringLiteral("Max")));
    return t;
}

TrackerValues OptionsModel::KeepStored(const TrackerValues &stored, const TrackerValues &shown,
                                       const TrackerValues &now)
{
    TrackerValues t = now;
    if (now.active == shown.active)
        t.active = stored.active;
    if (now.url == shown.url)
        t.url = stored.url;
    if (now.apiKey == shown.apiKey)
        t.apiKey = stored.apiKey;
    if (now.max == shown.max)
        t.max = stored.max;
    return t;
}

void OptionsModel::WriteTrackerTyped(QDomDocument &doc, const TrackerValues &shown, const TrackerValues &now)
{
    WriteTracker(doc, KeepStored(ReadTracker(doc), shown, now));
}

QString OptionsModel::MailText(const OptionValues &values, const QString &tag)
{
    return values.mailKept.contains(tag) ? values.mailKept.value(tag) : mailValue(values.mail, tag);
}

int OptionsModel::AutoSaveMinutes(const QString &text)
{
    bool ok = false;
    const int minutes = text.toInt(&ok);
    return (ok && minutes > 0) ? minutes : 0;
}

QString OptionsModel::RefuseAccount(const ChildUserRow &row)
{
    QString refusal = refuseLong(text(QT_TRANSLATE_NOOP("OptionDiag", "A name")), row.name);
    if (refusal.isEmpty())
        refusal = refuseLong(text(QT_TRANSLATE_NOOP("OptionDiag", "An account")), row.email);
    // An account without a send address is stored as its own send address.
    if (refusal.isEmpty())
        refusal = refuseLong(text(QT_TRANSLATE_NOOP("OptionDiag", "A send address")),
                             row.procEmail.isEmpty() ? row.email : row.procEmail);
    return refusal;
}

QString OptionsModel::RefuseValues(const OptionValues &values)
{
    for (const ChildUserRow &row : values.children) {
        const QString refusal = RefuseAccount(row);
        if (!refusal.isEmpty())
            return refusal;
    }
    return refuseLong(text(QT_TRANSLATE_NOOP("OptionDiag", "A mail address")), values.mail.address);
}

QString OptionsModel::CutTrackerKey(const QString &key)
{
    int start = 0;
    while (start < key.size() && key.at(start).isSpace())
        ++start;
    int end = start;
    while (end < key.size() && !key.at(end).isSpace())
        ++end;
    return key.mid(start, end - start);
}

int OptionsModel::DefaultPort(int security)
{
    return security == 2 ? 465 : 587;
}

int OptionsModel::PortFromText(const QString &text, int security)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return (ok && port >= PortMin && port <= PortMax) ? port : DefaultPort(security);
}

int OptionsModel::MaxFromText(const QString &text)
{
    bool ok = false;
    const int max = text.trimmed().toInt(&ok);
    return ok ? max : 65535;
}

QList<int> OptionsModel::AutoSaveChoices()
{
    return {0, 1, 3, 5, 10};
}
