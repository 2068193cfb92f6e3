#pragma once

// Helpers for tests that build forms and windows: answering message boxes and watching for
// connections that fail at run time.

#include "testsupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace TestSupport
{
// Clicks the named button of the next message box that has it, once the box is up, and keeps
// the box's title and text where asked. The box must be a QMessageBox: a modal dialog under it
// may well have a button of the same name.
inline void answerNextBox(const QString &button, QString *title = nullptr, QString *text = nullptr)
{
    QTimer::singleShot(0, [button, title, text] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QPushButton *target = box ? box->findChild<QPushButton *>(button) : nullptr;
        if (!target) {
            answerNextBox(button, title, text);
            return;
        }
        if (title)
            *title = box->windowTitle();
        if (text)
            *text = box->text();
        target->click();
    });
}

// Connection failures of forms and windows logged since watchConnections(); each one is a fault.
inline QStringList g_badConnections;
inline QtMessageHandler g_previousHandler = nullptr;

inline void connectionWatch(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("No such slot")) || message.contains(QLatin1String("No such signal")))
        g_badConnections << message;
    g_previousHandler(type, context, message);
}

// Call from initTestCase, after Qt Test has put its own handler in place, so that handler still
// sees every message.
inline void watchConnections()
{
    g_previousHandler = qInstallMessageHandler(connectionWatch);
}
} // namespace TestSupport
