#pragma once

#include "core/globalvar.h"
#include "output/outputgenerator.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>

namespace Ui
{
class FileOutProgress;
}
class QTreeWidgetItem;

// The progress of an output run: writes the generated files, then copies the chosen reference
// files one by one and stops to ask on a missing source, a failed copy or a newer target.
class FileOutProgress final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    // The ring of reference-tree rows of one file name, by its first row.
    using RingHeads = QHash<QString, QTreeWidgetItem *>;
    // The files of a run named in its one message about files not written; the rest are counted.
    // Where the run stopped is told besides.
    static constexpr int MaxReported = 10;

    explicit FileOutProgress(QWidget *parent = nullptr);
    ~FileOutProgress() override;

    void ResetProgress();
    void SetOutputFiles(const QString &dir, const QList<GeneratedFile> *files);
    bool StartOutput(bool definition, bool reference, const QString &refDir, const RingHeads *heads);
    // The expansion of the generated files before StartOutput: moves the bar through the first
    // part of the run and lets events through now and then; false once the run was cancelled.
    bool GenerateStep(int done, int total);
    bool Cancelled() const { return m_cancelled; }
    int Done() const { return m_done; }
    int Total() const { return m_total; }

    // A file's path inside dir, or empty when the name is absolute or leaves dir, by its letters
    // or through a link.
    static QString OutputPath(const QString &dir, const QString &name);
    // Whether the reference file at path really lies inside folder, links followed.
    static bool IsSafeSource(const QString &folder, const QString &path);
    // Writes text in the locale's encoding, replacing the file whole; false on any failure.
    static bool WriteOutput(const QString &dir, const QString &path, const QString &text);

public slots:
    void SkipProc();
    void CancelProc();
    void OverWriteProc();

private:
    void writeGenerated();
    void report(const QStringList &problems, const QString &stop);
    void collectReferences();
    void copyFrom(int index);
    void ask(const QString &name, const QString &question, bool overwrite);
    void log(const QString &name, const char *colour);
    void count();
    void showProgress();
    void letEventsThrough();
    void finish();

    Ui::FileOutProgress *m_ui;
    bool m_cancelled = false;
    bool m_waiting = false;
    bool m_overwriteOnce = false;
    bool m_reference = false;
    bool m_definition = false;
    QString m_sourceDir;
    QString m_refDir;
    QString m_defDir;
    QStringList m_names;
    QStringList m_owners;
    QStringList m_ids;
    int m_index = -1;
    int m_done = 0;
    int m_total = 0;
    // Files expanded before the writing began: the expansion fills the first half of the bar.
    int m_expanded = 0;
    QElapsedTimer m_sinceEvents;
    const QList<GeneratedFile> *m_files = nullptr;
    const RingHeads *m_heads = nullptr;
};
