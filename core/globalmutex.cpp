#include "core/globalmutex.h"

// QMutex locks inside Qt's own library, which a ThreadSanitizer build (PEL_TSAN) does not
// instrument: without telling it, every access these mutexes guard would be reported as a race.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

namespace
{
void toldLocked([[maybe_unused]] void *mutex)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(mutex);
#endif
}

void toldUnlocking([[maybe_unused]] void *mutex)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(mutex);
#endif
}
} // namespace

GlobalMutex::GlobalMutex(QObject *parent) : QObject(parent) {}

void GlobalMutex::Lock(int number)
{
    m_mutex[number].lock();
    toldLocked(&m_mutex[number]);
}

void GlobalMutex::Unlock(int number)
{
    toldUnlocking(&m_mutex[number]);
    m_mutex[number].unlock();
}

MutexHold::MutexHold(int number)
    : m_mutex(globalvar::Registered<GlobalMutex>(RegSlot::ObjGlobalMutex)), m_number(number)
{
    if (m_mutex)
        m_mutex->Lock(m_number);
}

MutexHold::~MutexHold()
{
    if (m_mutex)
        m_mutex->Unlock(m_number);
}
