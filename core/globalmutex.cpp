#include "core/globalmutex.h"

GlobalMutex::GlobalMutex(QObject *parent) : QObject(parent) {}

void GlobalMutex::Lock(int number)
{
    m_mutex[number].lock();
}

void GlobalMutex::Unlock(int number)
{
    m_mutex[number].unlock();
}

MutexHold::MutexHold(int number) : m_mutex(GetObj<GlobalMutex>(RegSlot::ObjGlobalMutex)), m_number(number)
{
    if (m_mutex)
        m_mutex->Lock(m_number);
}

MutexHold::~MutexHold()
{
    if (m_mutex)
        m_mutex->Unlock(m_number);
}
