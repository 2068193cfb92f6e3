#pragma once

#include <QString>
#include <QStringList>

// How code without widgets reaches the user: the main window installs itself at start-up; until
// then (and in core tests) reports go to the log and are kept for inspection.
class UiReport
{
public:
    virtual ~UiReport();
    virtual void ShowErrorMsg(const QString &title, const QString &text) = 0;
    virtual void SystemErrorBox(const QString &text) = 0;
    virtual void FatalMessage(const QString &title, const QString &text) = 0;
    // Files another program changed since they were read, which a save of the user's edits would
    // replace: true to save anyway. Unless a report asks, the edits are kept and the files named.
    virtual bool AskSaveAnyway(const QStringList &paths);

    static void Install(UiReport *report);
    static UiReport *Get();

    // The last report that went through the log fallback (title, text).
    static QString LastTitle();
    static QString LastText();
    static void ClearLast();

    static void Error(const QString &title, const QString &text);
    // Shared files left out of view, one line each (LeftOutLine), in a single report: another
    // member's work that is not shown must not vanish without a word.
    static void LeftOut(const QStringList &lines);
    static QString LeftOutLine(const QString &path, const QString &reason);
    static QString WrongRoot(const QString &found, const QString &expected);
    static void System(const QString &text);
    static void Fatal(const QString &title, const QString &text);
    static bool SaveAnyway(const QStringList &paths);
};
