#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The folder side of the safe writer: the folder a write goes into, held open as a descriptor
// so that the check, the temporary and the rename all act in the same folder, and the naming
// and clean-up of temporaries.
namespace SafeFileDetail
{
// The folder holding path, opened as a descriptor. Links among the folders are followed: a share
// may be reached that way. -1 with errno set on failure.
int OpenParent(const QString &path, QByteArray *name);
// The folder of path, which must lie below folder: folder itself is opened as it is, every
// folder after it only when it is a real folder, never a link. -1 with errno set on failure;
// *linked is set when a folder on the way was something else than a folder.
int OpenWithin(const QString &folder, const QString &path, QByteArray *name, bool *linked);
// Creates a new temporary for name in dir; its name goes to *temp. -1 with errno on failure.
int CreateTemporary(int dir, const QByteArray &name, QByteArray *temp);
// Removes the temporaries in dir that no program has touched for a while: left by a save or a
// copy that was killed. One written right now, by this or another member's program, is young.
void RemoveStale(int dir);
// Only in tests: how old a temporary must be before it counts as left behind.
extern qint64 g_staleSeconds;
// Only in tests: runs in ReadAll on the path once it is open, before a byte is read, as another
// member's program writing to the file then would.
extern std::function<void(const QString &)> g_afterReadOpen;
} // namespace SafeFileDetail
