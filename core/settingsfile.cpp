#include "core/settingsfile.h"

#include "core/initxml.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/uireport.h"
#include "core/xmlclass.h"

#include <QDomDocument>

SettingsFile::SettingsFile(xmlclass *store) : QObject(store), m_store(store) {}

bool SettingsFile::Save(xmlclass *store, const Change &change)
{
    if (!store || !store->HasDoc(XmlIndex::Settings) || !store->GetXmlDoc(XmlIndex::Settings))
        return true;
    auto *file = store->findChild<SettingsFile *>(QString(), Qt::FindDirectChildrenOnly);
    if (!file)
        file = new SettingsFile(store);
    return file->save(change);
}

bool SettingsFile::save(const Change &change)
{
    const int index = XmlIndex::Settings;
    const bool changed = change(*m_store->GetXmlDoc(index));
    // Unchanged here may still be news to a file another window wrote since; a file removed since
    // gets this copy at its next change.
    const bool stale = m_store->ChangedOnDisk(index) && !SafeFile::IsAbsent(m_store->DocFileName(index));
    if (!changed && !stale && m_unwritten.isEmpty())
        return true;
    m_unwritten.append(change);
    if (m_store->SaveMerging(index, [this] { return readAgain(); }) != 1)
        return false;
    m_unwritten.clear();
    return true;
}

xmlclass::Merge SettingsFile::readAgain()
{
    const int index = XmlIndex::Settings;
    const QString path = m_store->DocFileName(index);
    // A file removed since holds nothing of anyone's: this copy goes in whole.
    if (SafeFile::IsAbsent(path))
        return xmlclass::Merge::Merged;
    QByteArray bytes;
    QDomDocument fresh;
    QString why;
    QString message;
    int line = 0;
    int column = 0;
    if (!SafeFile::ReadAll(path, &bytes))
        why = SafeFile::LastError().isEmpty() ? tr("it can not be read") : SafeFile::LastError();
    else if (!SharedXml::SetContent(fresh, bytes, &message, &line, &column))
        why = tr("line %1, column %2: %3").arg(line).arg(column).arg(message);
    if (!why.isEmpty()) {
        UiReport::Fatal(tr("File error"),
                        tr("%1 was not written: another program changed it since it was read, "
                           "and it does not read again (%2). Your changes are kept and go "
                           "into it at the next save once it reads.")
                            .arg(path, why));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return xmlclass::Merge::Refused;
    }
    // What the start makes of a file, so that this window sees the sections it saw before.
    initxml::CompleteDocument(fresh, GetStrVar(RegSlot::StrUserEmail));
    bool news = false;
    for (const Change &change : qAsConst(m_unwritten))
        news = change(fresh) || news;
    *m_store->GetXmlDoc(index) = fresh;
    m_store->SetSeen(index, SafeFile::Seen::Of(bytes));
    return news ? xmlclass::Merge::Merged : xmlclass::Merge::Held;
}
