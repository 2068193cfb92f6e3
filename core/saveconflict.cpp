#include "core/saveconflict.h"

#include "core/uireport.h"

#include <QCoreApplication>
#include <QMap>
#include <QSet>
#include <QThread>

namespace
{
// The GUI thread's open batch: the files waiting for its question (in the order of their paths,
// as the question lists them), those its last answer said to write over, and the failures it has
// reported.
int g_depth = 0;
bool g_asking = false;
QMap<QString, SafeFile::Seen> g_waiting;
QMap<QString, SafeFile::Seen> g_accepted;
QSet<QString> g_reported;
thread_local bool g_kept = false;

bool onGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The question runs an event loop; a write reaching here from inside it was never named by it.
bool ask(const QStringList &paths)
{
    g_asking = true;
    const bool yes = UiReport::SaveAnyway(paths);
    g_asking = false;
    return yes;
}
} // namespace

bool SaveConflict::SaveAnyway(const QString &path, const SafeFile::Seen &now)
{
    g_kept = false;
    if (!onGuiThread() || g_asking)
        return false;
    bool yes = false;
    if (g_depth == 0) {
        yes = ask({path});
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

bool SaveConflict::InProgress()
{
    return onGuiThread() && (g_depth > 0 || g_asking);
}

bool SaveConflict::FirstReport(const QString &text)
{
    if (!onGuiThread() || g_depth == 0)
        return true;
    if (g_reported.contains(text))
        return false;
    g_reported.insert(text);
    return true;
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
        g_reported.clear();
    }
}

bool SaveConflict::Batch::Ask()
{
    if (!m_outer || g_waiting.isEmpty())
        return false;
    const QMap<QString, SafeFile::Seen> named = g_waiting;
    g_waiting.clear();
    if (ask(named.keys())) {
        g_accepted = named;
        return true;
    }
    m_kept = named.keys();
    g_accepted.clear();
    return false;
}
