#include "decimalid.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{
// Any run of digits, however long: used to see that a file holds an ID beyond the ceiling.
bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}
} // namespace

bool DecimalId::IsId(const QString &text)
{
    return text.size() <= 9 && allDigits(text);
}

int DecimalId::Value(const QString &text)
{
    return IsId(text) ? text.toInt() : -1;
}

void DecimalId::Counter::SeeValue(qint64 value)
{
    if (value >= m_next)
        m_next = value + 1;
}

void DecimalId::Counter::SeeMaxId(const QString &text)
{
    // The stored MaxID is the next number to give: the counter starts there, not above it.
    if (!allDigits(text))
        return;
    if (!IsId(text)) {
        m_next = qint64(Ceiling) + 1;
        return;
    }
    m_next = qMax(m_next, qint64(text.toInt()));
}

void DecimalId::Counter::SeeId(const QString &text)
{
    if (!allDigits(text))
        return;
    SeeValue(IsId(text) ? qint64(text.toInt()) : qint64(Ceiling) + 1);
}

void DecimalId::Counter::SeeTree(const QDomElement &element, const QString &attribute)
{
    // Iterative: shared files are refused beyond a fixed depth before they reach the DOM, but a
    // walk should not depend on that.
    QDomNode node = element;
    while (!node.isNull()) {
        if (node.isElement() && node.toElement().hasAttribute(attribute))
            SeeId(node.toElement().attribute(attribute));
        if (!node.firstChild().isNull()) {
            node = node.firstChild();
            continue;
        }
        while (node != element && node.nextSibling().isNull())
            node = node.parentNode();
        if (node == element)
            break;
        node = node.nextSibling();
    }
}

bool DecimalId::Counter::HasNext() const
{
    return m_next <= Ceiling;
}

int DecimalId::Counter::Peek() const
{
    return HasNext() ? int(m_next) : -1;
}

int DecimalId::Counter::Take()
{
    if (!HasNext())
        return -1;
    return int(m_next++);
}

QString DecimalId::Counter::MaxIdText() const
{
    return QString::number(qMin(m_next, qint64(Ceiling) + 1));
}

QString DecimalId::ExhaustedMessage(const QString &fileName)
{
    return QCoreApplication::translate("DecimalId", "no ID is left: %1").arg(fileName);
}

qint64 DecimalId::NumberInName(const QString &name, const QString &prefix, const QString &suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || !name.startsWith(prefix, Qt::CaseInsensitive) ||
        !name.endsWith(suffix, Qt::CaseInsensitive))
        return -1;
    QString digits = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (!allDigits(digits))
        return -1;
    // Read as text first: a run of any length stays a number above the ceiling, never a wrapped one.
    int zeros = 0;
    while (zeros < digits.size() - 1 && digits.at(zeros) == QLatin1Char('0'))
        ++zeros;
    digits = digits.mid(zeros);
    return IsId(digits) ? qint64(digits.toInt()) : -1;
}

void DecimalId::NumbersInNames(const QStringList &names, const QString &prefix, const QStringList &suffixes,
                               QSet<int> *used)
{
    for (const QString &name : names) {
        for (const QString &suffix : suffixes) {
            const qint64 n = NumberInName(name, prefix, suffix);
            if (n >= 0)
                used->insert(int(n));
        }
    }
}

bool DecimalId::ListFolder(const QString &folder, QStringList *names, QString *why)
{
    // An empty path would list the working folder.
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable()) {
        if (why)
            *why = QCoreApplication::translate("xmlclass", "folder not readable:%1").arg(folder);
        return false;
    }
    *names = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                    QDir::NoSort);
    return true;
}

int DecimalId::FirstFree(qint64 from, const QSet<int> &used, int lowest, int ceiling)
{
    // Each step past a number passes one that used holds: the two runs together take at most
    // used.size() + 2 steps, whatever the ceiling.
    for (qint64 n = qMax(from, qint64(lowest)); n <= ceiling; ++n) {
        if (!used.contains(int(n)))
            return int(n);
    }
    for (qint64 n = lowest; n < from && n <= ceiling; ++n) {
        if (!used.contains(int(n)))
            return int(n);
    }
    return -1;
}
