// Numbers of new questions and answers. A write that failed half-way, or a question deleted in
// another program, leaves files under a number the question file no longer counts: a new question
// under that number would show the old history as its own, and its own first entry would be
// read over.

#include "core/decimalid.h"
#include "qa/qanda.h"

#include <QRegularExpression>
#include <QSet>

namespace
{
// The numbers the names use, as captured by the first group of pattern; a run of digits beyond
// the ceiling names no number that could be given.
void collect(const QStringList &names, const QRegularExpression &pattern, QSet<int> *used)
{
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        const int number = match.hasMatch() ? DecimalId::Value(match.captured(1)) : -1;
        if (number >= 0)
            used->insert(number);
    }
}
} // namespace

int QandA::freeNumber(const QString &stem, int n, qint64 from, QString *why) const
{
    QStringList names;
    if (!DecimalId::ListFolder(m_instanceDir, &names, why))
        return -1;
    QSet<int> used;
    // The history, and the temporary of a write of it that never ended; names equal but for case
    // are one name on other members' systems.
    const QString history =
        QStringLiteral("^\\.?%1_%2_([0-9]+)\\.hst(\\..*)?$").arg(stem, QString::number(n));
    collect(names, QRegularExpression(history, QRegularExpression::CaseInsensitiveOption), &used);
    // A question or answer without reference files has no folder of them.
    QStringList references;
    if (DecimalId::ListFolder(m_instanceDir + QStringLiteral("/REFERENCE/") + stem.toUpper() +
                                  QLatin1Char('/') + QString::number(n),
                              &references, nullptr))
        collect(references, QRegularExpression(QStringLiteral("^([0-9]+)$")), &used);
    const QString letter = stem == QLatin1String("question") ? QStringLiteral("Q") : QStringLiteral("A");
    // Each number passed over is one in use: the search ends after as many steps as there are.
    for (qint64 id = qMax<qint64>(from, 1); id <= DecimalId::Ceiling; ++id) {
        const QString key = letter + QString::number(n) + QLatin1Char('-') + QString::number(id);
        if (!used.contains(int(id)) && !m_records.Record(key))
            return int(id);
    }
    if (why)
        *why = DecimalId::ExhaustedMessage(memberFile(stem, n));
    return -1;
}
