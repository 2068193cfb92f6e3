#include "workspace/workspacelayout.h"

#include "core/globalvar.h"
#include "core/safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace WorkspaceLayout
{
QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

bool IsVersionName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+.[0-9]+.[0-9]+$"));
    return pattern.match(name).hasMatch();
}

QList<int> VersionNumbers(const QString &text)
{
    QList<int> numbers;
    const QStringList parts = text.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    for (int i = 0; i < parts.size() && i < 3; ++i)
        numbers << parts.at(i).toInt();
    return numbers;
}

void SortAsText(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

bool IsValidName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1String("..")))
        return false;
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

bool IsPortableName(const QString &name)
{
    if (!IsValidName(name))
        return false;
    // Windows drops a trailing dot or blank, so "a." and "a" would be one folder there.
    if (name.endsWith(QLatin1Char('.')) || name.back().isSpace())
        return false;
    // Device names are no files on Windows, whatever extension follows them.
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return !device.match(name).hasMatch();
}

namespace
{
// The entry of folder whose name equals name without regard to case, as it is spelled on disk;
// the exact spelling wins when several casings exist side by side. Empty when there is none.
QString findEntry(const QString &folder, const QString &name, QDir::Filters filters)
{
    QString found;
    for (const QString &entry : QDir(folder).entryList(filters | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (found.isEmpty() || entry == name))
            found = entry;
    }
    return found;
}
} // namespace

bool IsCaseTwin(const QString &folder, const QString &name)
{
    const QString found = findEntry(folder, name, QDir::AllEntries | QDir::System);
    return !found.isEmpty() && found != name;
}

QString WorkspaceFromMarker(const QString &path, const QString &markerName)
{
    // The marker name is used as a pattern on purpose: its dot matches any character.
    const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("(.*)") + markerName));
    const QRegularExpressionMatch match = pattern.match(path);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString DefinitionsDir(const QString &workspace)
{
    return workspace + QLatin1Char('/') + DefFolder;
}

QString ResolveSubFolder(const QString &parent, const QString &fixedName)
{
    const QString found = findEntry(parent, fixedName, QDir::Dirs);
    return parent + QLatin1Char('/') + (found.isEmpty() ? fixedName : found);
}

QString ModelVersionDir(const QString &workspace, const QString &model, const QString &version)
{
    return DefinitionsDir(workspace) + QLatin1Char('/') + model + QLatin1Char('/') + version;
}

QString OutputDir(const QString &workspace, const QString &model, const QString &version)
{
    return ResolveSubFolder(ModelVersionDir(workspace, model, version), OutputFolder);
}

QStringList ListEntries(const QString &folder, Entries kind)
{
    QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    if (kind != Entries::Visible)
        filters |= QDir::Hidden;
    if (kind == Entries::VersionFolders)
        filters = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden;
    QStringList names = QDir(folder).entryList(filters, QDir::NoSort);
    // A save or copy killed half-way leaves its temporary: it is nobody's file.
    names.erase(std::remove_if(names.begin(), names.end(), SafeFile::IsTemporary), names.end());
    if (kind == Entries::VersionFolders)
        names.erase(
            std::remove_if(names.begin(), names.end(), [](const QString &n) { return !IsVersionName(n); }),
            names.end());
    SortAsText(names);
    return names;
}

QList<Listing> ListTree(const QString &folder, Entries kind)
{
    QList<Listing> result;
    const QStringList names = ListEntries(folder, kind == Entries::Visible ? Entries::Visible : Entries::All);
    for (const QString &name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!QFileInfo(path).isDir())
            continue;
        Listing listing{name, ListEntries(path, kind)};
        if (!listing.versions.isEmpty())
            result << listing;
    }
    return result;
}

CreateResult CreateWorkspace(const QString &parent, const QString &name, const QString &markerName,
                             QString *path)
{
    const QString folder = globalvar::DelLastSlash(parent);
    *path = folder + QLatin1Char('/') + name + QStringLiteral(".ws");
    if (!QFileInfo(folder).isDir())
        return CreateResult::ParentMissing;
    if (QFileInfo(*path).isDir() || IsCaseTwin(folder, name + QStringLiteral(".ws")))
        return CreateResult::AlreadyExists;
    if (!QDir().mkpath(*path))
        return CreateResult::FolderFailed;
    if (!SafeFile::WriteUtf8(*path + QLatin1Char('/') + markerName, QStringLiteral("pelmorine project\n")))
        return CreateResult::MarkerFailed;
    return CreateResult::Ok;
}

bool MakeDir(const QString &path, QString *error)
{
    if (QFileInfo(path).isDir() || QDir().mkdir(path))
        return true;
    *error = QStringLiteral("tolvek workspace can not make Directory\n") + path;
    return false;
}

bool EnsureProjectFile(const QString &folder, const QString &markerName, QString *error)
{
    const QString marker = folder + QLatin1Char('/') + markerName;
    if (QFileInfo::exists(marker) ||
        SafeFile::WriteUtf8(marker, QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")))
        return true;
    *error = SafeFile::WithReason(QStringLiteral("Can not make file\n") + marker);
    return false;
}

bool CreateModelFolders(const QString &workspace, const QString &markerName, const QString &model,
                        const QString &version, QString *versionDir, QString *error)
{
    const QString ws = globalvar::DelLastSlash(workspace);
    if (ws.isEmpty() || !IsValidName(model) || !IsValidName(version)) {
        *error = QStringLiteral("tolvek workspace can not make Directory\n") + ws + QLatin1Char('/') + model;
        return false;
    }
    if (!MakeDir(ws, error) || !EnsureProjectFile(ws, markerName, error))
        return false;
    const QString modelDir = DefinitionsDir(ws) + QLatin1Char('/') + model;
    *versionDir = modelDir + QLatin1Char('/') + version;
    if (!MakeDir(DefinitionsDir(ws), error) || !MakeDir(modelDir, error))
        return false;
    if (QFileInfo(*versionDir).isDir())
        return true;
    if (!MakeDir(*versionDir, error))
        return false;
    for (const QString &sub : {ReferenceFolder, InstanceFolder, OutputFolder}) {
        if (!MakeDir(*versionDir + QLatin1Char('/') + sub, error))
            return false;
    }
    return true;
}

OutputResult CreateOutputFolders(const QString &workspace, const QString &model, const QString &modelVersion,
                                 const QString &output, const QString &version)
{
    for (const QString &name : {model, modelVersion, output, version}) {
        if (!IsValidName(name))
            return OutputResult::OutputFolderFailed;
    }
    const QString outputDir =
        OutputDir(globalvar::DelLastSlash(workspace), model, modelVersion) + QLatin1Char('/') + output;
    const QString versionDir = outputDir + QLatin1Char('/') + version;
    // An output of the same name but for letter case is this output on another member's disk.
    if (IsCaseTwin(QFileInfo(outputDir).path(), output))
        return OutputResult::VersionExists;
    if (QFileInfo(outputDir).isDir()) {
        if (QFileInfo::exists(versionDir))
            return OutputResult::VersionExists;
    } else if (!QDir().mkdir(outputDir)) {
        return OutputResult::OutputFolderFailed;
    }
    if (!QDir().mkdir(versionDir))
        return OutputResult::VersionFolderFailed;
    return OutputResult::Ok;
}
} // namespace WorkspaceLayout
