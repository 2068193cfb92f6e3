#include "core/saveconflict.h"

#include "core/uireport.h"

#include <QCoreApplication>
#include <QMap>
#include <QThread>

namespace
{
// The GUI thread's open batch: the files waiting for its question (in the order of their paths,
// as the question lists them) and those its last answer said to write over.
int g_depth = 0;
QMap<QString, SafeFile::Seen> g_waiting;
QMap<QString, SafeFile::Seen> g_accepted;
thread_local bool g_kept = false;

bool onGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}
} // namespace

bool SaveConflict::SaveAnyway(const QString &path, const SafeFile::Seen &now)
{
    g_kept = false;
    if (!onGuiThread())
        return false;
    bool yes = false;
    if (g_depth == 0) {
        yes = UiReport::SaveAnyway({path});
    } else if (g_accepted.contains(path) && g_accepted.value(path) == now) {
        yes = true;
    } else {
        g_waiting.insert(path, now);
    }
    g_kept = !yes;
    return yes;
}

bool SaveConflict::Kept()
{
    return g_kept;
}

SaveConflict::Batch::Batch()
{
    if (!onGuiThread())
        return;
    m_outer = g_depth == 0;
    ++g_depth;
}

SaveConflict::Batch::~Batch()
{
    if (!onGuiThread())
        return;
    --g_depth;
    if (m_outer) {
        g_waiting.clear();
        g_accepted.clear();
    }
}

bool SaveConflict::Batch::Ask()
{
    if (!m_outer || g_waiting.isEmpty())
        return false;
    const QStringList files = g_waiting.keys();
    if (UiReport::SaveAnyway(files)) {
        g_accepted = g_waiting;
        g_waiting.clear();
        return true;
    }
    m_kept = files;
    g_waiting.clear();
    g_accepted.clear();
    return false;
}
