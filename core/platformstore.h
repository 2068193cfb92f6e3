#pragma once

#include <QString>

// The platform's per-user settings store: organisation "ZqvProject", application "Pelmorine",
// group "inf". Holds the identity as first known and the secrets that never go into init.xml.
namespace PlatformStore
{
QString Read(const QString &key);
void Write(const QString &key, const QString &value);
} // namespace PlatformStore
