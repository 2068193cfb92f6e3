#pragma once

#include "core/optionsmodel.h"

#include <QList>

class QDomDocument;
#include <QString>

// The checks of a group account entered in the group dialog, kept apart from the widgets so
// that the refusal rules can be tested on plain rows.
namespace GroupCheck
{
// Refuses an entry without name or address, and, when adding, one whose name or address an
// existing row already has; the first such row decides, its name before its address. Returns
// the refusal text, empty when the entry is accepted. An accepted entry with an empty send
// address takes its account address as send address.
QString Check(const QList<ChildUserRow> &rows, ChildUserRow &entry, bool adding);

// The accounts a user may add to a workspace: the workspace manager first, then the group
// accounts of the settings document in file order (only names and addresses are filled in).
QList<ChildUserRow> Accounts(const QString &managerName, const QString &managerEmail,
                             const QDomDocument *settings);
} // namespace GroupCheck
