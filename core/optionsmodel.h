#pragma once

#include <QHash>
#include <QList>
#include <QString>

class QDomDocument;

// One program that opens reference files of an extension.
struct ReferenceRow {
    QString extension;
    QString program;
};
inline bool operator==(const ReferenceRow &a, const ReferenceRow &b)
{
    return a.extension == b.extension && a.program == b.program;
}

// A further account of the user (a ChildUser entry).
struct ChildUserRow {
    QString name;
    QString email;
    QString procEmail;
    QString firstName;
    QString lastName;
    QString redmineId;
};
inline bool operator==(const ChildUserRow &a, const ChildUserRow &b)
{
    return a.name == b.name && a.email == b.email && a.procEmail == b.procEmail &&
           a.firstName == b.firstName && a.lastName == b.lastName && a.redmineId == b.redmineId;
}

// The mail server settings as the Options dialog's page holds them.
struct MailValues {
    QString server;
    int port = 587;
    int security = 1;
    int auth = 0;
    QString address;
    bool send = false;
    bool connect = false;
};

// What the Options dialog edits in the settings document, apart from the tracker section. A
// section whose element is missing is marked absent: it is neither shown nor written.
struct OptionValues {
    bool hasInit = false;
    QString ownerName;
    QString ownerEmail;
    QString firstName;
    QString lastName;
    QString redmineId;

    bool hasReference = false;
    QList<ReferenceRow> references;
    // Which REF element read each row comes from (its place among those read), -1 for a row of
    // its own; a row past the end of the list counts as one of its own. The element a row comes
    // from is written in place, with what this program does not know of it and what followed it;
    // an element no row comes from goes with what followed it.
    QList<int> referenceFrom;

    bool hasChild = false;
    QList<ChildUserRow> children;
    QList<int> childFrom; // as referenceFrom, for the ChildUser elements

    bool hasFont = false;
    QString fontName;
    QString fontSize; // as stored

    bool hasAutoSave = false;
    QString autoSave; // as stored

    // Read: the Value of each mail child that exists, by tag (into mailKept as well). Written: from
    // mail, except the tags of mailKept, whose text is written as it is.
    bool hasMail = false;
    QHash<QString, QString> mailRead;
    MailValues mail;
    QHash<QString, QString> mailKept;
};

// The tracker section of the settings document.
struct TrackerValues {
    bool active = false;
    QString url;
    bool apiKey = false;
    int max = 65535;
};

namespace OptionsModel
{
enum : int { PortMin = 1, PortMax = 65535, MaxLengthMin = 10, MaxLengthMax = 20000000 };

OptionValues Read(const QDomDocument &doc);
// Writes the Init names, REF, ChildUser, FONT, AUTOSAVE and MAIL values. Returns true when the
// MAIL element has at least one child, the case in which the mail password is stored as well.
// Only values that differ are set: attributes, elements and comments this program does not know
// stay as they were, and a value left alone keeps its text (an empty one stays empty).
bool Write(QDomDocument &doc, const OptionValues &values);
// Creates the Redmine section under Init when it is missing, then fills it. A stored text that
// reads as the value given (an empty Active is off) is kept.
void WriteTracker(QDomDocument &doc, const TrackerValues &values);

// The values to write: those typed, but where a field is still as the dialog showed it, the text
// stored (the dialog shows an empty id as 0 and an empty size as its least). Auto-save keeps its
// text when it means the minutes chosen, or when it was left alone and means minutes the dialog
// offers, so an interval the dialog cannot offer is still replaced. stored may be a copy another
// window wrote after the dialog was shown. A table left alone is stored's. In an edited one each
// row finds the element it was read from by content (shown's rows give each element's content):
// a row left as shown whose element is gone from stored goes, an edited one becomes a row of its
// own, and elements of stored the dialog never showed stay, each after the row of the element
// before it.
OptionValues KeepStored(const OptionValues &stored, const OptionValues &shown, const OptionValues &typed);
// Writes into doc what the dialog changed from what it showed: Write of KeepStored against what
// doc holds now.
bool WriteTyped(QDomDocument &doc, const OptionValues &shown, const OptionValues &typed);
// The tracker section as the start reads it (an empty Active is off, a key is set unless "0").
TrackerValues ReadTracker(const QDomDocument &doc);
// As KeepStored, for the tracker page: a value still as the page showed it is the one stored.
TrackerValues KeepStored(const TrackerValues &stored, const TrackerValues &shown, const TrackerValues &now);
void WriteTrackerTyped(QDomDocument &doc, const TrackerValues &shown, const TrackerValues &now);
// The text written for a mail value.
QString MailText(const OptionValues &values, const QString &tag);
// The auto-save minutes a stored interval means: 0 (none) unless it is a number above 0.
int AutoSaveMinutes(const QString &text);

// Why a group account may not be stored, empty when it may: its name, account or send address
// (the account when none is given) go into the member files, whose readers refuse a value of
// more than LongValue::MaxChars characters.
QString RefuseAccount(const ChildUserRow &row);
// The same for every value of the dialog that reaches a member file: each group row and the mail
// sender address (a new group file's ProcEmail).
QString RefuseValues(const OptionValues &values);

// Drops leading blanks and cuts the key before its first remaining blank.
QString CutTrackerKey(const QString &key);
// 465 for implicit TLS (index 2), 587 for the others.
int DefaultPort(int security);
// A stored port outside 1-65535 (or not a number) gives the default for the security.
int PortFromText(const QString &text, int security);
// A stored description limit that is not a number reads as 65535.
int MaxFromText(const QString &text);
// The auto-save choices in minutes, in the order the page offers them.
QList<int> AutoSaveChoices();
} // namespace OptionsModel
