#pragma once

#include <climits>

class QThread;

// Every worker thread the program starts is tracked here so that the exit path can end them all
// and never leave the process inside a running worker.
namespace WorkerThreads
{
void Track(QThread *thread);
void Untrack(QThread *thread);
int Count();
// Asks each tracked thread to quit and waits until it has ended. Only the program's exit bounds
// the wait (waitMs each): a thread that did not end by then is stuck in a system call no
// interruption reaches (a file on a hung network share) and is given up, so that no later stop
// waits for it again. Returns how many were given up.
int StopAll(unsigned long waitMs = ULONG_MAX);
// Whether the exit path gave the thread up.
bool IsGivenUp(QThread *thread);
// Whether it gave any up: what every worker shares (the process-wide mutexes) then stays.
bool AnyGivenUp();
} // namespace WorkerThreads
