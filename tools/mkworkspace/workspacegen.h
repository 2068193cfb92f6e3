#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Writes a complete workspace of a chosen size in the program's own file formats: one model
// version (large classes x small classes x parameters, state and transition kinds included) and
// one instance of it shared by a number of members, each with an instance file, explanations,
// value grids, node positions, a member file, notes and a presence marker. The same seed gives
// the same bytes, so benchmarks and tests compare like with like.
namespace WorkspaceGen
{
struct Size {
    int lclasses = 40;
    int sclasses = 15;
    int params = 12;
    int members = 30; // the group (member 0, the manager) included
    int instLclasses = 20;
    int instSclasses = 10;
    int instParams = 12;
    quint32 seed = 1;

    static Size Large() { return Size(); }
    static Size Small() { return Size{3, 4, 3, 3, 2, 4, 3, 1}; }
    int ModelElements() const { return lclasses * (1 + sclasses * (1 + params)); }
    int MemberElements() const { return instLclasses * (1 + instSclasses * (1 + instParams)); }
};

// Names the program is opened with, and what was written.
struct Result {
    QString workspace;
    QString modelName = QStringLiteral("Model");
    QString modelVersion = QStringLiteral("1.0.0");
    QString modelDir;
    QString instanceName = QStringLiteral("Inst");
    QString instanceVersion = QStringLiteral("1.0.0");
    QString instanceDir;
    // Member 0, the workspace's manager: the user to run the program as.
    QString userName;
    QString userEmail;
    int files = 0;
    qint64 bytes = 0;
};

QString MemberName(int n);
QString MemberEmail(int n);

// Writes into workspace (made when missing); false with the reason when a file cannot be written.
bool Generate(const Size &size, const QString &workspace, Result *result, QString *error);
// "large", "small" or "L,S,P,M,l,s,p" (model, members, instance dimensions); false when not understood.
bool ParseSize(const QString &text, Size *size);
} // namespace WorkspaceGen
