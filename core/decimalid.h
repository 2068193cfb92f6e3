#pragma once

#include <QDomElement>
#include <QSet>
#include <QString>
#include <QStringList>

// IDs and counters of shared files. Any member's program may have written any MaxID or ID, so every
// format reads them through here: an ID is plain decimal digits below a ceiling that leaves room to
// count, and the next number lies above the MaxID and above every ID the file holds, including the
// ones a loader refuses, so a new element never takes the files or folders of an existing one.
namespace DecimalId
{
// Nine digits: far beyond any real workspace, and well inside int for every sum and "+ 1".
constexpr int Ceiling = 999999999;

// Digits only, at most nine, so the value is at most Ceiling. "-1", "+5", " 5", "5x" and "" are not
// IDs; such an element is kept as it is but never named in a file.
bool IsId(const QString &text);
// The value of an ID, or -1 when the text is not one.
int Value(const QString &text);

// The counter of one file: fed the MaxID and every ID seen, it hands out numbers above all of them.
class Counter
{
public:
    // A MaxID read as the next number to give. Formats that store the last number given pass it
    // to SeeId instead. Non-decimal text is ignored: it can name no decimal file.
    void SeeMaxId(const QString &text);
    // An element's ID, refused or kept. A run of digits beyond the ceiling leaves no number.
    void SeeId(const QString &text);
    void SeeValue(qint64 value);
    // Every attribute `attribute` of the element and of all elements below it.
    void SeeTree(const QDomElement &element, const QString &attribute = QStringLiteral("ID"));

    // True while a number is left.
    bool HasNext() const;
    // The next number without taking it, or -1 when none is left.
    int Peek() const;
    // Takes the next number; -1 when none is left (the caller refuses the creation).
    int Take();
    // The MaxID to store: the next number, or Ceiling + 1 once exhausted, written as text.
    QString MaxIdText() const;

private:
    qint64 m_next = 0;
};

// "no ID is left: %1" for the message shown when a creation is refused.
QString ExhaustedMessage(const QString &fileName);

// A new number is one that no file of its folder uses: a failed write or a crash leaves files that
// the shared file does not list, and a new element given such a number would read them as its own.

// The number a file name carries between prefix and suffix, letter case ignored (a shared folder
// may lie on a file system that ignores it); leading zeros read as the number. -1 when the name
// carries none, or one above Ceiling (no number this program gives). Never overflows.
qint64 NumberInName(const QString &name, const QString &prefix, const QString &suffix);
// Adds to used the number each name carries between prefix and one of the suffixes.
void NumbersInNames(const QStringList &names, const QString &prefix, const QStringList &suffixes,
                    QSet<int> *used);
// Every entry of the folder, hidden and system ones included. False, with the reason in *why, when
// the folder cannot be listed: a folder that cannot be read is not an empty one.
bool ListFolder(const QString &folder, QStringList *names, QString *why);
// The first number from lowest to ceiling that used does not hold: searched from `from` up first,
// so that a number given up stays unused while a higher one is free, then from lowest up. -1 when
// every number is used. Looks at no more numbers than used holds, plus two.
int FirstFree(qint64 from, const QSet<int> &used, int lowest = 1, int ceiling = Ceiling);
} // namespace DecimalId
