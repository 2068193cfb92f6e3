#pragma once

#include <QObject>
#include <QThread>

// Owns one worker thread: moves the worker into it, deletes the worker when the thread ends, and
// at destruction (or the program's exit path) asks the thread to quit and waits for it.
class WorkerControl : public QObject
{
    Q_OBJECT
public:
    explicit WorkerControl(QObject *parent = nullptr);
    ~WorkerControl() override;
    QThread *Thread() { return m_thread; }
    // Whether the program's exit gave the thread up: its worker may still be inside a step, with
    // its locks held, for as long as a hung share keeps it there. What it uses is then left to
    // it (never freed, never locked) rather than waited for.
    bool GivenUp() const;

protected:
    void startWorker(QObject *worker);
    // Ends the thread and waits until it has ended, unless the exit path gave it up; callable
    // more than once.
    void stopThread();

private:
    QThread *m_thread;
    bool m_givenUp = false;
};
