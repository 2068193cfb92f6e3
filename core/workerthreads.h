#pragma once

class QThread;

// Every worker thread the program starts is tracked here so that the exit path can end them all
// and never leave the process inside a running worker.
namespace WorkerThreads
{
void Track(QThread *thread);
void Untrack(QThread *thread);
int Count();
// Asks each tracked thread to quit and waits for it, at most waitMs each; returns how many did
// not end in time.
int StopAll(unsigned long waitMs = 3000);
} // namespace WorkerThreads
