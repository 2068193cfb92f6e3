#include "core/uireport.h"

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
