#pragma once

#include <QString>

// The names of the question and answer files' elements, which other members' programs read.
namespace QandATags
{
inline const QString RootQuestion = QStringLiteral("Root_Question");
inline const QString RootAnswer = QStringLiteral("Root_Answer");
inline const QString Quest = QStringLiteral("Quest");
inline const QString Answer = QStringLiteral("Q_Ans");
inline const QString ToUser = QStringLiteral("ToUser");
inline const QString User = QStringLiteral("User");
inline const QString Reference = QStringLiteral("REFERENCE");
inline const QString Ref = QStringLiteral("REF");
} // namespace QandATags
