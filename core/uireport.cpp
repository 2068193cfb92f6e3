#include "core/uireport.h"

#include "core/longvalue.h"

#include <QCoreApplication>
#include <QDebug>

namespace
{
UiReport *g_report = nullptr;
QString g_lastTitle;
QString g_lastText;

void fallback(const QString &title, const QString &text)
{
    g_lastTitle = title;
    g_lastText = text;
    qWarning().noquote() << title << ":" << text;
}
// Why files another program changed were not written, once the edits are kept.
QString keptUnwritten(const QStringList &paths)
{
    QStringList lines;
    for (const QString &path : paths) {
        lines << QCoreApplication::translate("SharedXml",
                                             "%1 was not written: another program changed it since it was "
                                             "read. Your changes are kept; open the file again to see the "
                                             "other changes.")
                     .arg(path);
    }
    return lines.join(QLatin1Char('\n'));
}
} // namespace

UiReport::~UiReport()
{
    if (g_report == this)
        g_report = nullptr;
}

void UiReport::Install(UiReport *report)
{
    g_report = report;
}

UiReport *UiReport::Get()
{
    return g_report;
}

QString UiReport::LastTitle()
{
    return g_lastTitle;
}

QString UiReport::LastText()
{
    return g_lastText;
}

void UiReport::ClearLast()
{
    g_lastTitle.clear();
    g_lastText.clear();
}

void UiReport::Error(const QString &title, const QString &text)
{
    if (g_report)
        g_report->ShowErrorMsg(title, text);
    else
        fallback(title, text);
}

void UiReport::System(const QString &text)
{
    if (g_report)
        g_report->SystemErrorBox(text);
    else
        fallback(QStringLiteral("System Error"), text);
}

void UiReport::Fatal(const QString &title, const QString &text)
{
    if (g_report)
        g_report->FatalMessage(title, text);
    else
        fallback(title, text);
}

bool UiReport::AskSaveAnyway(const QStringList &paths)
{
    FatalMessage(QCoreApplication::translate("UiReport", "File error"), keptUnwritten(paths));
    return false;
}

bool UiReport::SaveAnyway(const QStringList &paths)
{
    if (g_report)
        return g_report->AskSaveAnyway(paths);
    fallback(QCoreApplication::translate("UiReport", "File error"), keptUnwritten(paths));
    return false;
}

void UiReport::LeftOut(const QStringList &lines)
{
    if (!lines.isEmpty())
        Error(QCoreApplication::translate("UiReport", "File left out"), lines.join(QLatin1Char('\n')));
}

QString UiReport::LeftOutLine(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("UiReport", "%1 is not shown and kept as it is: %2").arg(path, reason);
}

QString UiReport::WrongRoot(const QString &found, const QString &expected)
{
    return QCoreApplication::translate("UiReport", "its root element is \"%1\", not \"%2\"")
        .arg(LongValue::Shown(found), expected);
}
