#include "core/initxml.h"

#include "comm/smtpcontrol.h"
#include "core/globalmutex.h"
#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "core/safefile.h"
#include "core/settingsfile.h"
#include "core/workerthreads.h"
#include "core/xmlclass.h"
#include "members/threadcontrol.h"
#include "workspace/workspacelayout.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace
{

QDomElement firstElement(const QDomDocument &doc, const QString &tag)
{
    return doc.elementsByTagName(tag).item(0).toElement();
}

QDomElement firstChildNamed(const QDomElement &parent, const QString &tag)
{
    return parent.isNull() ? QDomElement() : parent.elementsByTagName(tag).item(0).toElement();
}

QDomElement appendChild(QDomDocument &doc, QDomElement parent, const QString &tag)
{
    QDomElement e = doc.createElement(tag);
    parent.appendChild(e);
    return e;
}

void appendValue(QDomDocument &doc, QDomElement parent, const QString &tag, const QString &attr,
                 const QString &value)
{
    appendChild(doc, parent, tag).setAttribute(attr, value);
}

const char *const kMailTags[] = {"SMTPSERVER", "PORT", "SECURITY", "AUTH", "ADDRESS", "ISSEND", "ISCONNECT"};
const int kMailSlots[] = {RegSlot::StrMailServer,   RegSlot::StrMailPort,    RegSlot::StrMailSecurity,
                          RegSlot::StrMailAuth,     RegSlot::StrMailAddress, RegSlot::StrMailIsSend,
                          RegSlot::StrMailIsConnect};

QDomElement appendDefaultMail(QDomDocument &doc, QDomElement parent, const QString &address)
{
    QDomElement mail = appendChild(doc, parent, QStringLiteral("MAIL"));
    const QString values[] = {QString(), QStringLiteral("587"), QStringLiteral("1"), QStringLiteral("0"),
                              address,   QStringLiteral("0"),   QStringLiteral("0")};
    for (int i = 0; i < 7; ++i)
        appendValue(doc, mail, QLatin1String(kMailTags[i]), QStringLiteral("Value"), values[i]);
    return mail;
}

// The start-up reader counts an empty Active as off and an empty key as set.
void ensureTracker(QDomDocument &doc)
{
    if (!firstElement(doc, QStringLiteral("Redmine")).isNull())
        return;
    QDomElement init = firstElement(doc, QStringLiteral("Init"));
    if (init.isNull())
        init = doc.documentElement();
    QDomElement redmine = appendChild(doc, init, QStringLiteral("Redmine"));
    appendValue(doc, redmine, QStringLiteral("Active"), QStringLiteral("Value"), QString());
    appendValue(doc, redmine, QStringLiteral("HOME"), QStringLiteral("Url"), QString());
    appendValue(doc, redmine, QStringLiteral("Authentication"), QStringLiteral("ApiKey"), QString());
    appendValue(doc, redmine, QStringLiteral("Description"), QStringLiteral("Max"), QStringLiteral("65535"));
}

void ensureMail(QDomDocument &doc, const QString &email)
{
    if (!firstElement(doc, QStringLiteral("MAIL")).isNull())
        return;
    QDomElement init = firstElement(doc, QStringLiteral("Init"));
    if (init.isNull())
        init = doc.documentElement();
    appendDefaultMail(doc, init, email);
}

// Only where it is clear which OPTION it belongs to.
void ensureAutoSave(QDomDocument &doc)
{
    if (!firstElement(doc, QStringLiteral("AUTOSAVE")).isNull())
        return;
    const QDomNodeList options = doc.elementsByTagName(QStringLiteral("OPTION"));
    if (options.size() == 1)
        appendValue(doc, options.item(0).toElement(), QStringLiteral("AUTOSAVE"), QStringLiteral("interval"),
                    QStringLiteral("0"));
}

bool isGivenTag(const QList<initxml::HistoryEntry> &entries, const QString &tag)
{
    return std::any_of(entries.cbegin(), entries.cend(),
                       [&tag](const initxml::HistoryEntry &e) { return e.tag == tag; });
}

// The history now names another workspace: an entry the new set does not replace names a
// definition of the old one, and so does a second entry of a tag it replaces. Children that are
// not entries are another member's and stay.
void dropOtherWorkspaceEntries(QDomElement history, const QList<initxml::HistoryEntry> &entries)
{
    QSet<QString> replaced;
    for (QDomElement e = history.firstChildElement(), next; !e.isNull(); e = next) {
        next = e.nextSiblingElement();
        const QString tag = e.tagName();
        const bool given = isGivenTag(entries, tag);
        if (!given && tag != QLatin1String("MODEL") && tag != QLatin1String("INSTANCE") &&
            tag != QLatin1String("OUTPUT"))
            continue;
        if (given && !replaced.contains(tag))
            replaced.insert(tag);
        else
            history.removeChild(e);
    }
}

} // namespace

initxml::initxml(QObject *parent) : QObject(parent)
{
    const QString folder = QDir::homePath() + QStringLiteral("/.Pelmorine");
    QDir().mkpath(folder);
    SetStrVar(RegSlot::StrSettingsFile, folder + QStringLiteral("/init.xml"));
}

initxml::~initxml()
{
    if (!m_mutex)
        return;
    // Every worker takes these mutexes, also those of other owners that may outlive this object
    // (the chat worker): all of them end first, and later holders find no mutex rather than a
    // freed one.
    WorkerThreads::StopAll();
    if (GetObj<GlobalMutex>(RegSlot::ObjGlobalMutex) == m_mutex)
        SetObj<GlobalMutex>(RegSlot::ObjGlobalMutex, nullptr);
    // A thread the exit gave up may hold one of them, or hold one it looked up before: they stay
    // to the end of the process.
    if (WorkerThreads::AnyGivenUp())
        m_mutex->setParent(nullptr);
}

QDomDocument initxml::DefaultDocument(const QString &name, const QString &email)
{
    QDomDocument doc;
    QDomElement init = doc.createElement(QStringLiteral("Init"));
    doc.appendChild(init);
    init.setAttribute(QStringLiteral("Name"), name);
    init.setAttribute(QStringLiteral("Email"), email);
    init.setAttribute(QStringLiteral("RedmineID"), QString());
    init.setAttribute(QStringLiteral("FirstName"), QString());
    init.setAttribute(QStringLiteral("LastName"), QString());
    appendChild(doc, init, QStringLiteral("CHILD"));
    QDomElement option = appendChild(doc, init, QStringLiteral("OPTION"));
    QDomElement font = appendChild(doc, option, QStringLiteral("FONT"));
    font.setAttribute(QStringLiteral("size"), QStringLiteral("16"));
    font.setAttribute(QStringLiteral("Name"), QStringLiteral("Meiryo UI"));
    appendValue(doc, option, QStringLiteral("AUTOSAVE"), QStringLiteral("interval"), QString());
    appendChild(doc, init, QStringLiteral("REFERENCE"));
    appendChild(doc, init, QStringLiteral("HISTORY"));
    QDomElement redmine = appendChild(doc, init, QStringLiteral("Redmine"));
    appendValue(doc, redmine, QStringLiteral("Active"), QStringLiteral("Value"), QStringLiteral("0"));
    appendValue(doc, redmine, QStringLiteral("HOME"), QStringLiteral("Url"), QString());
    appendValue(doc, redmine, QStringLiteral("Authentication"), QStringLiteral("ApiKey"),
                QStringLiteral("0"));
    appendValue(doc, redmine, QStringLiteral("Description"), QStringLiteral("Max"), QStringLiteral("65535"));
    appendDefaultMail(doc, init, email);
    return doc;
}

void initxml::CompleteDocument(QDomDocument &doc, const QString &email)
{
    ensureAutoSave(doc);
    ensureTracker(doc);
    ensureMail(doc, email);
}

bool initxml::SetHistory(QDomDocument &doc, const QString &workspace, const QList<HistoryEntry> &entries)
{
    bool changed = false;
    QDomElement history = firstElement(doc, QStringLiteral("HISTORY"));
    if (history.isNull()) {
        QDomElement init = firstElement(doc, QStringLiteral("Init"));
        if (init.isNull())
            init = doc.documentElement();
        history = appendChild(doc, init, QStringLiteral("HISTORY"));
        history.setAttribute(QStringLiteral("WS"), workspace);
        changed = true;
    } else if (QDir(history.attribute(QStringLiteral("WS"))) != QDir(workspace)) {
        history.setAttribute(QStringLiteral("WS"), workspace);
        dropOtherWorkspaceEntries(history, entries);
        changed = true;
    }
    for (const HistoryEntry &e : entries) {
        QDomElement entry = history.firstChildElement(e.tag);
        if (entry.isNull()) {
            entry = appendChild(doc, history, e.tag);
            changed = true;
        }
        const QPair<QString, QString> values[] = {{QStringLiteral("NAME"), e.name},
                                                  {QStringLiteral("VERSION"), e.version}};
        for (const auto &value : values) {
            if (entry.attribute(value.first) != value.second) {
                entry.setAttribute(value.first, value.second);
                changed = true;
            }
        }
    }
    return changed;
}

void initxml::WindowHistory::Open(const QString &workspace, const QList<HistoryEntry> &entries)
{
    // Compared as SetHistory compares, so that the folder written with a slash keeps the set.
    if (m_workspace.isEmpty() || QDir(m_workspace) != QDir(workspace))
        m_entries.clear();
    m_workspace = workspace;
    for (const HistoryEntry &e : entries) {
        auto held = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&e](const HistoryEntry &h) { return h.tag == e.tag; });
        if (held == m_entries.end())
            m_entries.append(e);
        else
            *held = e;
    }
}

bool initxml::OpenInit()
{
    m_mutex = new GlobalMutex(this);
    SetObj(RegSlot::ObjGlobalMutex, m_mutex);
    m_fileCheck = new ThreadControl(this);
    SetObj(RegSlot::ObjFileCheckControl, m_fileCheck);
    m_smtp = new SmtpControl(this);
    SetObj(RegSlot::ObjSmtpControl, m_smtp);

    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QString path = GetStrVar(RegSlot::StrSettingsFile);
    if (!store->OpenXmlFile(XmlIndex::Settings, path))
        establishDefaults();

    readIdentity();
    readHistory();
    CompleteDocument(*store->GetXmlDoc(XmlIndex::Settings), GetStrVar(RegSlot::StrUserEmail));
    readOptions();
    readTracker();
    readMail();
    return true;
}

// The file is missing or damaged. A damaged file may still hold child users, mail settings and
// history that the user wants back, so it is kept under another name before the defaults replace
// it; when it cannot be kept, the defaults stay in memory and the file is left alone.
void initxml::establishDefaults()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QString path = GetStrVar(RegSlot::StrSettingsFile);
    bool mayWrite = true;
    bool present = false;
    QByteArray damaged;
    if (QFileInfo::exists(path)) {
        const QString copy = path + QStringLiteral(".damaged-") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        present = true;
        // The copy keeps the very bytes the defaults replace.
        mayWrite = SafeFile::ReadAll(path, &damaged) && SafeFile::Write(copy, damaged);
        if (mayWrite)
            m_damagedCopy = copy;
    }
    store->AddXmlDoc(XmlIndex::Settings, DefaultDocument(PlatformStore::Read(QStringLiteral("name")),
                                                         PlatformStore::Read(QStringLiteral("addr"))));
    store->SetDocFileName(XmlIndex::Settings, path);
    // Written only over the damaged bytes kept in the copy (or while the file is still missing):
    // another window of the user may have written a good file meanwhile, which is then read instead.
    if (present && mayWrite)
        store->SetSeen(XmlIndex::Settings, SafeFile::Seen::Of(damaged));
    SetIntVar(RegSlot::IntDescriptionMax, 65535);
    if (mayWrite)
        SettingsFile::Save(store, [](QDomDocument &) { return true; });
}

void initxml::addUserRecord(const QString &email, const QString &first, const QString &last,
                            const QString &id)
{
    m_userRecords.push_back(std::make_unique<RedmineUserInfo>(RedmineUserInfo{first, last, id}));
    m_userRecordList.append({email, m_userRecords.back().get()});
}

void initxml::readIdentity()
{
    QDomDocument *doc = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
    const QDomElement init = firstElement(*doc, QStringLiteral("Init"));
    if (!init.isNull()) {
        SetStrVar(RegSlot::StrUserName, init.attribute(QStringLiteral("Name")));
        SetStrVar(RegSlot::StrUserEmail, init.attribute(QStringLiteral("Email")));
        SetStrVar(RegSlot::StrRedmineUserId, init.attribute(QStringLiteral("RedmineID")));
        SetStrVar(RegSlot::StrFirstName, init.attribute(QStringLiteral("FirstName")));
        SetStrVar(RegSlot::StrLastName, init.attribute(QStringLiteral("LastName")));
        if (!init.attribute(QStringLiteral("RedmineID")).isEmpty())
            addUserRecord(
                init.attribute(QStringLiteral("Email")), init.attribute(QStringLiteral("FirstName")),
                init.attribute(QStringLiteral("LastName")), init.attribute(QStringLiteral("RedmineID")));
    }
    auto *children = GetObj<QHash<QString, QString>>(RegSlot::ObjChildUsers);
    const QDomNodeList users = doc->elementsByTagName(QStringLiteral("ChildUser"));
    for (int i = 0; i < users.size(); ++i) {
        const QDomElement u = users.item(i).toElement();
        const QString email = u.attribute(QStringLiteral("Email"));
        if (children)
            children->insert(u.attribute(QStringLiteral("Name")), email);
        if (!u.attribute(QStringLiteral("Proc_Email")).isEmpty())
            SetProcEmail(email, u.attribute(QStringLiteral("Proc_Email")));
        if (!u.attribute(QStringLiteral("RedmineID")).isEmpty())
            addUserRecord(email, u.attribute(QStringLiteral("FirstName")),
                          u.attribute(QStringLiteral("LastName")), u.attribute(QStringLiteral("RedmineID")));
    }
}

void initxml::readHistory()
{
    for (int slot : {RegSlot::StrHistorySpare1, RegSlot::StrHistorySpare2, RegSlot::StrWorkspaceDir,
                     RegSlot::StrModelName, RegSlot::StrModelVersion, RegSlot::StrInstanceName,
                     RegSlot::StrInstanceVersion, RegSlot::StrOutputName, RegSlot::StrOutputVersion})
        SetStrVar(slot, QString());
    QDomDocument *doc = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
    const QDomElement history = firstElement(*doc, QStringLiteral("HISTORY"));
    if (history.isNull())
        return;
    const QString ws = DelLastSlash(history.attribute(QStringLiteral("WS")));
    const bool wsExists = !ws.isEmpty() && QFileInfo(ws).isDir();
    if (wsExists)
        SetStrVar(RegSlot::StrWorkspaceDir, ws);
    struct Entry {
        const char *tag;
        int nameSlot;
        int versionSlot;
    };
    const Entry entries[] = {{"MODEL", RegSlot::StrModelName, RegSlot::StrModelVersion},
                             {"INSTANCE", RegSlot::StrInstanceName, RegSlot::StrInstanceVersion},
                             {"OUTPUT", RegSlot::StrOutputName, RegSlot::StrOutputVersion}};
    for (const Entry &e : entries) {
        if (!wsExists)
            continue;
        const QDomElement el = firstChildNamed(history, QLatin1String(e.tag));
        if (el.isNull())
            continue;
        const QString name = el.attribute(QStringLiteral("NAME"));
        const QString version = el.attribute(QStringLiteral("VERSION"));
        // The names become path levels: one that climbs out of the definitions folder is not
        // a history entry of ours.
        if (!WorkspaceLayout::IsValidName(name) || !WorkspaceLayout::IsValidName(version))
            continue;
        if (QFileInfo(ws + QStringLiteral("/pelmorine.def/") + name + QLatin1Char('/') + version).isDir()) {
            SetStrVar(e.nameSlot, name);
            SetStrVar(e.versionSlot, version);
        }
    }
}

void initxml::readOptions()
{
    QDomDocument *doc = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
    const QDomElement font = firstElement(*doc, QStringLiteral("FONT"));
    if (!font.isNull()) {
        const QString name = font.attribute(QStringLiteral("Name"));
        const QString size = font.attribute(QStringLiteral("size"));
        if (!name.isEmpty())
            SetStrVar(RegSlot::StrFontName, name);
        if (!size.isEmpty())
            SetStrVar(RegSlot::StrFontSize, size);
    }
    const QDomElement autosave = firstElement(*doc, QStringLiteral("AUTOSAVE"));
    SetStrVar(RegSlot::StrAutoSaveMinutes,
              autosave.isNull() ? QStringLiteral("0") : autosave.attribute(QStringLiteral("interval")));
    bool ok = false;
    const int minutes = GetStrVar(RegSlot::StrAutoSaveMinutes).toInt(&ok);
    m_autoSaveMinutes = (ok && minutes > 0) ? minutes : 0;
}

void initxml::readTracker()
{
    QDomDocument *doc = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
    const QDomElement redmine = firstElement(*doc, QStringLiteral("Redmine"));
    const QDomElement active = firstChildNamed(redmine, QStringLiteral("Active"));
    if (!active.isNull())
        SetBoolVar(RegSlot::FlagRedmineActive,
                   active.attribute(QStringLiteral("Value")) == QLatin1String("1"));
    const QDomElement home = firstChildNamed(redmine, QStringLiteral("HOME"));
    if (!home.isNull())
        SetStrVar(RegSlot::StrRedmineUrl, home.attribute(QStringLiteral("Url")));
    const QDomElement auth = firstChildNamed(redmine, QStringLiteral("Authentication"));
    if (!auth.isNull())
        SetBoolVar(RegSlot::FlagRedmineKeySet,
                   auth.attribute(QStringLiteral("ApiKey")) != QLatin1String("0"));
    const QDomElement description = firstChildNamed(redmine, QStringLiteral("Description"));
    SetIntVar(RegSlot::IntDescriptionMax,
              description.isNull() ? 65535
                                   : OptionsModel::MaxFromText(description.attribute(QStringLiteral("Max"))));
    SetStrVar(RegSlot::StrRedmineKey, PlatformStore::Read(QStringLiteral("api")));
}

void initxml::readMail()
{
    QDomDocument *doc = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
    const QDomElement mail = firstElement(*doc, QStringLiteral("MAIL"));
    for (int i = 0; i < 7; ++i) {
        const QDomElement e = firstChildNamed(mail, QLatin1String(kMailTags[i]));
        if (!e.isNull())
            SetStrVar(kMailSlots[i], e.attribute(QStringLiteral("Value")));
    }
}
