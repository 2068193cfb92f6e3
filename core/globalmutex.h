#pragma once

#include "core/globalvar.h"

#include <QMutex>
#include <QObject>

// The three process-wide mutexes: 0 guards the member data the file-check worker shares with the
// GUI thread, 1 the chat requests, 2 nobody.
class GlobalMutex final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit GlobalMutex(QObject *parent = nullptr);
    void Lock(int number);
    void Unlock(int number);

private:
    QMutex m_mutex[3];
};

// Holds mutex n of the registered GlobalMutex for a scope; does nothing when none is registered
// yet (before start-up has established the settings, and in tests that need no worker).
class MutexHold
{
public:
    explicit MutexHold(int number);
    ~MutexHold();
    MutexHold(const MutexHold &) = delete;
    MutexHold &operator=(const MutexHold &) = delete;

private:
    GlobalMutex *m_mutex;
    int m_number;
};
