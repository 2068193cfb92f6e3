#pragma once

#include "core/globalvar.h"
#include "core/safefile.h"

#include <QDomDocument>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class xmlclass;

// One USER entry of manager.xml that passed the number check.
struct GroupUser {
    int id = 0;
    QString name;
    QString email;
};

// What the member manager reads from manager.xml at open.
struct GroupData {
    bool hasRoot = false;
    int maxId = 1;
    QString user;
    QString email;
    QList<GroupUser> users;
    QStringList skipped; // one line per USER entry refused, the first MaxSkippedLines of them
    int skippedCount = 0;
    bool hasRedmine = false;
    QString redmineId;
    QString redmineType;
};

// The values one member file (or manager.xml for the group) gets on save.
struct MemberSaveData {
    int id = 0;
    bool writeIdentity = false; // User, Email set (the group, or a transferred member)
    QString user;
    QString email;
    QString procEmail;
    QString startDate;
    QString targetDate;
    QString completionDate;
    QString outDir;
    int maxId = -1; // written for the group only
};

// manager.xml, the member files, their empty companions, notes and presence markers of one
// instance folder. Loads never replace a file that exists: a file caught mid-write by another
// member's program is read again a few times, then reported and left alone.
class MemberFiles : protected virtual globalvar
{
public:
    enum LoadResult { Loaded, Missing, Failed };
    static constexpr int MaxMemberId = 9999;
    // Refused USER entries named one by one in the report; the rest are counted.
    static constexpr int MaxSkippedLines = 100;

    MemberFiles();

    // What was read of another folder's member files says nothing of this one's.
    void SetInstanceDir(const QString &dir)
    {
        m_dir = DelLastSlash(dir);
        m_fields.clear();
    }
    QString InstanceDir() const { return m_dir; }
    // Attempts of a load and the pause between them; tests shorten the pause.
    void SetRetry(int attempts, int delayMs);

    static QString KindFileName(const QString &kind, int n);
    QString ManagerPath(int n) const;
    QString MarkerPath(int n) const;
    QString NotesPath(int n) const;

    // Loads manager.xml (n = 0) or manager_<n>.xml into 10000 + n. Missing: error kind 0 set.
    // Failed: the error text is in string slot 3 and the file is untouched.
    LoadResult OpenMemberFile(int n);
    LoadResult LoadWithRetry(int index, const QString &path);

    bool CreateManagerFile(const QString &user, const QString &email, const QString &name,
                           const QString &version, const QString &modelName, const QString &modelVersion,
                           const QString &procEmail);
    bool CreateMemberFile(int n, const QString &user, const QString &email, const QString &procEmail);
    // kind "instance", "question" or "answer"; the document stays loaded unless close is set.
    bool CreateKindFile(const QString &kind, int n, bool close = false);
    bool CreateDocInstanceFile(const QString &name, const QString &email, const QString &version);

    GroupData ReadGroup();
    // A number for a new member that no USER of the group and no file of the folder
    // (MemberNumberOf) uses: from `from` (the group's counter) and above every number in use
    // first, else the lowest free one. -1, with the reason in *why, when all 9999 are used or the
    // folder cannot be listed.
    int NextFreeNumber(int from, QString *why = nullptr) const;
    // The member number a workspace file name carries (manager_<n>.xml, instance_<n>_<id>.txt,
    // <n>.iod...), or -1 when the name is no member's file.
    static int MemberNumberOf(const QString &fileName);

    // Updates manager.xml in place: the root's attributes, Model, REDMINE, the USER entries of
    // `users` and OUT, each made only when missing. What the program does not read (attributes,
    // elements, comments, the USER entries ReadGroup refused) stays where it is.
    void SaveGroup(const MemberSaveData &group, const QList<GroupUser> &users, int redmineId,
                   int redmineType);
    // Sets a member document's root attributes and its OUT element's folder. A value the page
    // shows as the file held it is no edit: only edits are kept to be written.
    void WriteMemberData(int n, const MemberSaveData &data);
    // A member file another program wrote since it was read (the manager's hand-over, the
    // member's own save) is read again and gets only this program's edits; one that no longer
    // reads is not written (said, FlagWriteFailed set, the edits kept for the next save).
    bool SaveMemberDoc(int n);
    // The member document is loaded and rooted at Root_manager: only such a file is rewritten.
    bool HasMemberRoot(int n) const;

    bool WriteMarker(int n, const QString &state);
    bool WriteNotes(int n, const QString &text);
    void RecordFileTimes(int n);

    // Why a member's name or address may not be stored: the group's reader leaves out an entry
    // with a value past LongValue::MaxChars (named, shortened). The empty text when it may.
    static QString LongIdentity(const QString &name, const QString &address);
    static QString DisplayName(const QString &name, int k);
    static int SameAddressIndex(QList<int> numbers, int n);

private:
    xmlclass *store() const;
    QSet<int> listedNumbers() const;
    bool newDoc(int index, const QString &root, const QString &path, const QMap<QString, QString> &attrs,
                bool close, const SafeFile::Seen &seen = SafeFile::Seen());
    void takeAsRead(int index, const QDomDocument &doc);
    bool readAgain(int n);

    QString m_dir;
    // The group document's USER entries this program reads and writes, by number: those the last
    // ReadGroup took and those added since. Every other entry (refused, another member's) is left
    // where it is, as it is.
    QHash<int, QDomElement> m_users;
    // Per member document: the values of its root and OUT as the program shows them (read, or
    // last written), and the edits made since, not yet written. A document read again after
    // another program's write gets only these edits.
    struct Fields {
        QMap<QString, QString> shown;
        QMap<QString, QString> edited;
    };
    QHash<int, Fields> m_fields;
    int m_attempts = 3;
    int m_delayMs = 1000;
};
