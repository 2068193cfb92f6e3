#pragma once

#include "core/globalvar.h"
#include "core/xmlclass.h"

#include <QObject>
#include <QVector>
#include <functional>

class QDomDocument;

// The writes of the per-user settings file (~/.Pelmorine/init.xml). Every window of the user (two
// workspaces open at once, one home on two desktops) holds its own copy, read at its start: a write
// over a file another window changed since reads the file again and puts in only this window's
// changes, so that no window's save replaces another's or is refused for it. One per store, a child
// of it, keeping the changes not yet written for as long as the store keeps the document.
class SettingsFile final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    // A change of this window, put into the document it is given: computed from what this window
    // changed, so that it can be put again into a copy read later. True when it changed anything.
    using Change = std::function<bool(QDomDocument &)>;

    // Applies change to the store's settings document and writes it, unless it changed nothing and
    // the file is as it was read. False when the file was not written: the user has been told, and
    // the change stays, in the document and for the next save. True without a settings document.
    static bool Save(xmlclass *store, const Change &change);

private:
    explicit SettingsFile(xmlclass *store);
    bool save(const Change &change);
    // The file read again with every change of this window not yet written put in.
    xmlclass::Merge readAgain();

    xmlclass *m_store;
    // In the order made; each goes into every copy read again until a write succeeds.
    QVector<Change> m_unwritten;
};
