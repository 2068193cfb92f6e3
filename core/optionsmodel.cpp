#include "core/optionsmodel.h"

#include <QDomDocument>

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

void removeChildren(QDomElement parent)
{
    while (!parent.firstChild().isNull())
        parent.removeChild(parent.firstChild());
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
    for (const QDomElement &ref : elements(reference, QStringLiteral("REF")))
        v.references.append(
            {ref.attribute(QStringLiteral("Extention")), ref.attribute(QStringLiteral("exe"))});

    const QDomElement child = firstElement(doc, QStringLiteral("CHILD"));
    v.hasChild = !child.isNull();
    for (const QDomElement &u : elements(child, QStringLiteral("ChildUser")))
        v.children.append({u.attribute(QStringLiteral("Name")), u.attribute(QStringLiteral("Email")),
                           u.attribute(QStringLiteral("Proc_Email")),
                           u.attribute(QStringLiteral("FirstName")), u.attribute(QStringLiteral("LastName")),
                           u.attribute(QStringLiteral("RedmineID"))});
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
    return v;
}

bool OptionsModel::Write(QDomDocument &doc, const OptionValues &v)
{
    QDomElement init = firstElement(doc, QStringLiteral("Init"));
    if (!init.isNull()) {
        init.setAttribute(QStringLiteral("FirstName"), v.firstName);
        init.setAttribute(QStringLiteral("LastName"), v.lastName);
        init.setAttribute(QStringLiteral("RedmineID"), v.redmineId);
    }
    QDomElement reference = firstElement(doc, QStringLiteral("REFERENCE"));
    if (!reference.isNull()) {
        removeChildren(reference);
        for (const ReferenceRow &row : v.references) {
            QDomElement ref = appendElement(doc, reference, QStringLiteral("REF"));
            ref.setAttribute(QStringLiteral("Extention"), row.extension);
            ref.setAttribute(QStringLiteral("exe"), row.program);
        }
    }
    QDomElement child = firstElement(doc, QStringLiteral("CHILD"));
    if (!child.isNull()) {
        removeChildren(child);
        // The tracker names are written whether the tracker is on or not: switching it off for a
        // while must not wipe what the user entered.
        for (const ChildUserRow &row : v.children) {
            QDomElement u = appendElement(doc, child, QStringLiteral("ChildUser"));
            u.setAttribute(QStringLiteral("Name"), row.name);
            u.setAttribute(QStringLiteral("Email"), row.email);
            u.setAttribute(QStringLiteral("Proc_Email"), row.procEmail);
            u.setAttribute(QStringLiteral("FirstName"), row.firstName);
            u.setAttribute(QStringLiteral("LastName"), row.lastName);
            u.setAttribute(QStringLiteral("RedmineID"), row.redmineId);
        }
    }
    QDomElement font = firstElement(doc, QStringLiteral("FONT"));
    if (!font.isNull()) {
        font.setAttribute(QStringLiteral("Name"), v.fontName);
        font.setAttribute(QStringLiteral("size"), v.fontSize.toInt());
    }
    QDomElement autosave = firstElement(doc, QStringLiteral("AUTOSAVE"));
    if (!autosave.isNull())
        autosave.setAttribute(QStringLiteral("interval"), v.autoSave);

    const QDomElement mail = firstElement(doc, QStringLiteral("MAIL"));
    if (mail.isNull())
        return false;
    bool anyChild = false;
    for (QDomElement e = mail.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        anyChild = true;
        for (const char *tag : kMailTags) {
            if (e.tagName() == QLatin1String(tag))
                e.setAttribute(QStringLiteral("Value"), mailValue(v.mail, e.tagName()));
        }
    }
    return anyChild;
}

void OptionsModel::WriteTracker(QDomDocument &doc, const TrackerValues &t)
{
    QDomElement redmine = firstElement(doc, QStringLiteral("Redmine"));
    if (redmine.isNull()) {
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
    QDomElement active = firstElement(redmine, QStringLiteral("Active"));
    if (!active.isNull())
        active.setAttribute(QStringLiteral("Value"), flagText(t.active));
    QDomElement home = firstElement(redmine, QStringLiteral("HOME"));
    if (!home.isNull())
        home.setAttribute(QStringLiteral("Url"), t.url);
    QDomElement auth = firstElement(redmine, QStringLiteral("Authentication"));
    if (!auth.isNull())
        auth.setAttribute(QStringLiteral("ApiKey"), flagText(t.apiKey));
    QDomElement description = firstElement(redmine, QStringLiteral("Description"));
    if (description.isNull())
        description = appendElement(doc, redmine, QStringLiteral("Description"));
    description.setAttribute(QStringLiteral("Max"), t.max);
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
