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

// A further account of the user (a ChildUser entry).
struct ChildUserRow {
    QString name;
    QString email;
    QString procEmail;
    QString firstName;
    QString lastName;
    QString redmineId;
};

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

    bool hasChild = false;
    QList<ChildUserRow> children;

    bool hasFont = false;
    QString fontName;
    QString fontSize; // as stored

    bool hasAutoSave = false;
    QString autoSave; // as stored

    // Read: the Value of each mail child that exists, by tag. Written: from mailValues.
    bool hasMail = false;
    QHash<QString, QString> mailRead;
    MailValues mail;
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
bool Write(QDomDocument &doc, const OptionValues &values);
// Creates the Redmine section under Init when it is missing, then fills it.
void WriteTracker(QDomDocument &doc, const TrackerValues &values);

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
