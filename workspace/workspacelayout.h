#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The folder layout of a workspace, the version text that names every version folder, and the
// rules a typed name must pass before it becomes a folder name. No widgets: dialogs and editors
// call in here and tests check it directly.
namespace WorkspaceLayout
{
// Fixed names of the layout, spelled the way they are created.
inline const QString DefFolder = QStringLiteral("pelmorine.def");
inline const QString MarkerName = QStringLiteral("pelmorine.prj");
inline const QString ReferenceFolder = QStringLiteral("Reference");
inline const QString InstanceFolder = QStringLiteral("Instance");
inline const QString OutputFolder = QStringLiteral("Output");
inline const QString DefaultVersion = QStringLiteral("0.0.1");

// ---- version text ----
QString VersionText(int major, int minor, int revision);
// True when the whole name matches "^[0-9]+.[0-9]+.[0-9]+$"; its dots match any character.
bool IsVersionName(const QString &name);
// The numbers of a version text split at "." (empty parts kept); a part that is not a number
// gives 0, parts after the third are dropped, and missing parts are simply absent.
QList<int> VersionNumbers(const QString &text);
// Text order without regard to case: "0.0.10" comes before "0.0.2".
void SortAsText(QStringList &names);

// ---- names ----
// A name typed by a user or read from a shared file becomes one folder level: no separators, no
// "..", none of the characters a file name may not hold on the platforms the team uses.
bool IsValidName(const QString &name);
// A name for a new model, instance, output or workspace: valid, and kept as typed by every
// member's file system (no trailing dot or blank, no device name such as CON or LPT1, with or
// without an extension). Existing folders are opened by IsValidName alone.
bool IsPortableName(const QString &name);
// True when folder holds an entry whose name equals name but for letter case. Members share the
// workspace from file systems that do not tell the two apart, so such a name is already taken.
bool IsCaseTwin(const QString &folder, const QString &name);

// ---- folders ----
// The workspace folder captured from a chosen marker file path ("(.*)pelmorine.prj" as a whole);
// it keeps its trailing "/". Empty when the path does not match.
QString WorkspaceFromMarker(const QString &path, const QString &markerName = MarkerName);
QString DefinitionsDir(const QString &workspace);
// The sub-folder of parent whose name equals fixedName without regard to case, as it is spelled
// on disk; parent + "/" + fixedName when there is none.
QString ResolveSubFolder(const QString &parent, const QString &fixedName);
QString ModelVersionDir(const QString &workspace, const QString &model, const QString &version);
// {model version}/OUTPUT, however its letters are cased on disk.
QString OutputDir(const QString &workspace, const QString &model, const QString &version);

// ---- listings ----
enum class Entries {
    VersionFolders, // only folders whose names are versions
    All,            // every entry, files included
    Visible         // every entry that is not hidden
};
struct Listing {
    QString name;
    QStringList versions;
};
// The sorted entries of folder (never "." or "..").
QStringList ListEntries(const QString &folder, Entries kind);
// One listing per entry of folder that has at least one version entry, both levels sorted as
// text; a missing folder lists nothing.
QList<Listing> ListTree(const QString &folder, Entries kind);

// ---- creation ----
enum class CreateResult { Ok, ParentMissing, AlreadyExists, FolderFailed, MarkerFailed };
// Makes {parent}/{name}.ws with its marker holding "pelmorine project\n"; path receives the
// workspace path.
CreateResult CreateWorkspace(const QString &parent, const QString &name, const QString &markerName,
                             QString *path);

// Makes one folder whose parent exists; an existing folder is success. On failure error holds
// the text to show.
bool MakeDir(const QString &path, QString *error);
// The project file of a workspace folder, made only when missing; an existing one is untouched.
bool EnsureProjectFile(const QString &folder, const QString &markerName, QString *error);

// Makes the folders of a new model version one level at a time, each only when missing; a new
// version folder gets its Reference, Instance and Output sub-folders. On failure error holds the
// text to show.
bool CreateModelFolders(const QString &workspace, const QString &markerName, const QString &model,
                        const QString &version, QString *versionDir, QString *error);

enum class OutputResult { Ok, VersionExists, OutputFolderFailed, VersionFolderFailed };
// Makes {model version}/OUTPUT/{output}/{version}; OUTPUT itself must exist.
OutputResult CreateOutputFolders(const QString &workspace, const QString &model, const QString &modelVersion,
                                 const QString &output, const QString &version);
} // namespace WorkspaceLayout
