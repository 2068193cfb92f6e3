#pragma once

#include "workspacegen.h"

#include <QString>

// The children of pelbench's generation and schedule measures. Each runs in a process of its own
// with the workspace opened in the whole program and prints its figures on one line.
namespace BenchGenerate
{
// Files the definition writes, one per output file of out.xml.
constexpr int Files = 1000;

// Writes an output definition "O" 1.0 of the workspace's model: a sequence for each file, reading
// the large class's name and 88 parameter values of the member's instance chosen for the file.
bool WriteDefinition(const WorkspaceGen::Size &size, const WorkspaceGen::Result &ws, QString *error);

// Opens the workspace and the definition, runs the output into outDir as the output run does
// (expansion, then the progress dialog writing the files) and writes the same bytes with
// QSaveFile into a second folder. Prints: run ms, QSaveFile ms, files, bytes, longest stretch
// without events ms, distinct bar values seen, Cancel answer ms, files written when cancelled.
int ChildGenerate(const WorkspaceGen::Result &ws, const QString &outDir);

// Opens the workspace and builds the schedule tab from the instance tree. Prints: median build
// ms, the same rows and bars built bare ms, rows, members.
int ChildSchedule(const WorkspaceGen::Result &ws, int runs);
} // namespace BenchGenerate
