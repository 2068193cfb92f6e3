#pragma once

#include <QString>

// How code without widgets reaches the user: the main window installs itself at start-up; until
// then (and in core tests) reports go to the log and are kept for inspection.
class UiReport
{
public:
    virtual ~UiReport();
    virtual void ShowErrorMsg(const QString &title, const QString &text) = 0;
    virtual void SystemErrorBox(const QString &text) = 0;
    virtual void FatalMessage(const QString &title, const QString &text) = 0;

    static void Install(UiReport *report);
    static UiReport *Get();

    // The last report that went through the log fallback (title, text).
    static QString LastTitle();
    static QString LastText();
    static void ClearLast();

    static void Error(const QString &title, const QString &text);
    static void System(const QString &text);
    static void Fatal(const QString &title, const QString &text);
};
