#pragma once

#include <QDomElement>
#include <QString>

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
} // namespace DecimalId
