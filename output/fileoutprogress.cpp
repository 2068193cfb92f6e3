#include "output/fileoutprogress.h"

#include "core/safefile.h"
#include "shell/mainwindow.h"
#include "ui_fileoutprogress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextCodec>
#include <QTextStream>
#include <QTreeWidgetItem>

namespace
{
const char kGreen[] = "#00FF00";
const char kYellow[] = "#FFFF00";
const char kRed[] = "#FF0000";

// Whether the real (canonical) path is the real folder or lies below it.
bool isWithin(const QString &path, const QString &folder)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return path == folder || path.startsWith(prefix);
}

QTreeWidgetItem *nextInRing(const QTreeWidgetItem *row)
{
    return static_cast<QTreeWidgetItem *>(row->data(5, Qt::UserRole).value<void *>());
}
} // namespace

FileOutProgress::FileOutProgress(QWidget *parent) : QDialog(parent), m_ui(new Ui::FileOutProgress)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    connect(m_ui->SKIP, &QPushButton::clicked, this, &FileOutProgress::SkipProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &FileOutProgress::CancelProc);
    connect(m_ui->OVERWRITE, &QPushButton::clicked, this, &FileOutProgress::OverWriteProc);
    m_ui->PBAR->setRange(0, 100);
    m_ui->SKIP->setEnabled(false);
    m_ui->MSG->clear();
    m_ui->OVERWRITE->hide();
}

FileOutProgress::~FileOutProgress()
{
    delete m_ui;
}

void FileOutProgress::ResetProgress()
{
    m_cancelled = m_waiting = m_overwriteOnce = false;
    m_ui->PBAR->setValue(0);
    m_ui->SKIP->setEnabled(false);
    m_ui->MSG->clear();
    m_index = 0;
    m_done = 0;
    m_expanded = 0;
    m_sinceEvents.invalidate();
    m_names.clear();
    m_owners.clear();
    m_ids.clear();
    m_ui->FLIST->clear();
    m_ui->OVERWRITE->hide();
}

void FileOutProgress::SetOutputFiles(const QString &dir, const QList<GeneratedFile> *files)
{
    m_defDir = dir;
    m_files = files;
}

bool FileOutProgress::StartOutput(bool definition, bool reference, const QString &refDir,
                                  const RingHeads *heads)
{
    m_definition = definition;
    m_reference = reference;
    m_heads = heads;
    m_refDir = refDir;
    m_cancelled = m_waiting = false;
    m_sourceDir = GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/REFERENCE/");
    const int generated = definition && m_files ? m_files->size() : 0;
    if (reference)
        collectReferences();
    m_total = generated + (reference ? m_names.size() : 0);
    if (m_total == 0)
        return false;
    m_done = 0;
    m_index = -1;
    show();
    if (definition)
        writeGenerated();
    if (reference) {
        m_index = 0;
        copyFrom(0);
    }
    return true;
}

// At most one file per ring: the first checked row met from the ring's head.
void FileOutProgress::collectReferences()
{
    if (!m_heads)
        return;
    for (QTreeWidgetItem *head : *m_heads) {
        QTreeWidgetItem *chosen = head->checkState(5) == Qt::Checked ? head : nullptr;
        for (QTreeWidgetItem *row = nextInRing(head); !chosen && row && row != head; row = nextInRing(row)) {
            if (row->checkState(5) == Qt::Checked)
                chosen = row;
        }
        if (!chosen)
            continue;
        const QStringList key = chosen->data(3, Qt::UserRole).toString().split(QLatin1Char('-'));
        m_names.append(chosen->text(5));
        m_owners.append(key.value(0));
        m_ids.append(key.value(1));
    }
}

QString FileOutProgress::OutputPath(const QString &dir, const QString &name)
{
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.contains(QLatin1Char('\\')))
        return QString();
    QString root = QDir::cleanPath(dir);
    // Only the root folder keeps its separator after cleaning: "/" must not become "//".
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const QString path = QDir::cleanPath(root + name);
    const QString inside = path.mid(root.size());
    const bool up = inside == QLatin1String("..") || inside.startsWith(QLatin1String("../"));
    if (!path.startsWith(root) || inside.isEmpty() || up)
        return QString();
    // The name alone proves nothing: a link at the file's place or on its way is followed by the
    // write, so the folder the file really lands in must be inside the real output folder. (A
    // folder that is not there holds no link, and no write goes into it.)
    const QFileInfo info(path);
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realFolder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (info.isSymLink() || (!realRoot.isEmpty() && !realFolder.isEmpty() && !isWithin(realFolder, realRoot)))
        return QString();
    return path;
}

bool FileOutProgress::IsSafeSource(const QString &folder, const QString &path)
{
    // A link among the reference files may point anywhere on this machine: only one whose
    // target stays among the reference files is copied.
    const QString realRoot = QFileInfo(folder).canonicalFilePath();
    const QString real = QFileInfo(path).canonicalFilePath();
    return !realRoot.isEmpty() && !real.isEmpty() && real != realRoot && isWithin(real, realRoot);
}

bool FileOutProgress::WriteOutput(const QString &dir, const QString &path, const QString &text)
{
    // Replaced by rename, never opened: a link made at the name after it was checked is
    // replaced, not followed; a folder on the way swapped for a link is refused.
    return SafeFile::ReplaceWithin(dir, path, QTextCodec::codecForLocale()->fromUnicode(text));
}

bool FileOutProgress::GenerateStep(int done, int total)
{
    if (!isVisible())
        show();
    m_expanded = done;
    m_ui->PBAR->setValue(done * 100 / (2 * std::max(total, 1)));
    letEventsThrough();
    return !m_cancelled;
}

// Often enough that Cancel answers at once, seldom enough that a run of many small files does
// not spend its time redrawing.
void FileOutProgress::letEventsThrough()
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < 30)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void FileOutProgress::writeGenerated()
{
    QStringList problems;
    QString stop;
    for (const GeneratedFile &out : *m_files) {
        letEventsThrough();
        if (m_cancelled)
            break;
        // A file stopped at a limit is told also without a name: the run may have stopped there.
        if (!out.error.isEmpty()) {
            log(out.name, kRed);
            if (out.stoppedRun)
                stop = out.error;
            else
                problems.append(out.error);
            continue;
        }
        if (out.name.isEmpty())
            continue;
        const QString path = OutputPath(m_defDir, out.name);
        if (path.isEmpty() || !WriteOutput(m_defDir, path, out.text)) {
            const QString shown = path.isEmpty() ? m_defDir + QLatin1Char('/') + out.name : path;
            problems.append(path.isEmpty() ? tr("can not write file:%1").arg(shown)
                                           : SafeFile::WithReason(tr("can not write file:%1").arg(shown)));
            continue;
        }
        count();
    }
    report(problems, stop);
    if (!m_waiting && !m_reference)
        accept();
}

// One box for the whole run, however many files it stopped or refused: a box per file held the
// member for as many answers. Where the run stopped comes last and is never cut: it is the one
// entry that tells of the files not generated at all.
void FileOutProgress::report(const QStringList &problems, const QString &stop)
{
    if (problems.isEmpty() && stop.isEmpty())
        return;
    QStringList shown = problems.mid(0, MaxReported);
    if (problems.size() > MaxReported)
        shown.append(tr("... and %n more file(s)", nullptr, problems.size() - MaxReported));
    if (!stop.isEmpty())
        shown.append(stop);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->FatalMessage(tr("File error"), shown.join(QLatin1Char('\n')));
}

void FileOutProgress::count()
{
    ++m_done;
    // After an expansion the writing and copying fill the second half of the bar, so that it never
    // goes back however many reference files follow.
    const int base = m_expanded > 0 ? 50 : 0;
    m_ui->PBAR->setValue(base + m_done * (100 - base) / m_total);
}

void FileOutProgress::log(const QString &name, const char *colour)
{
    m_ui->FLIST->appendHtml(QStringLiteral("<span style='background-color:%1;'>").arg(QLatin1String(colour)) +
                            name.toHtmlEscaped() + QStringLiteral("</span>"));
}

void FileOutProgress::ask(const QString &name, const QString &question, bool overwrite)
{
    log(name, kRed);
    m_ui->MSG->setText(question);
    m_ui->SKIP->setEnabled(true);
    if (overwrite)
        m_ui->OVERWRITE->show();
    m_waiting = true;
}

void FileOutProgress::copyFrom(int index)
{
    for (m_index = index; m_index < m_names.size(); ++m_index) {
        QCoreApplication::processEvents();
        if (m_cancelled)
            break;
        const QString name = m_names.at(m_index);
        const QFileInfo source(m_sourceDir + m_owners.at(m_index) + QLatin1Char('/') + m_ids.at(m_index) +
                               QLatin1Char('/') + name);
        const QString targetPath = name.contains(QLatin1Char('/')) ? QString() : OutputPath(m_refDir, name);
        const QFileInfo target(targetPath);
        if (!source.isFile()) {
            ask(name, tr("filename:") + name + tr(" is not found. skip or cancel?"), false);
            return;
        }
        if (targetPath.isEmpty() || !IsSafeSource(m_sourceDir, source.filePath())) {
            ask(name,
                tr("filename:") + name + tr(" leads outside its folder and is not copied. skip or cancel?"),
                false);
            return;
        }
        if (target.exists() && target.lastModified() == source.lastModified() &&
            target.size() == source.size()) {
            count();
            log(name, kYellow);
            continue;
        }
        if (target.exists() && source.lastModified() < target.lastModified()) {
            if (!m_overwriteOnce) {
                ask(name,
                    tr("filename:") + name + tr(" is older than output file. overwrite, skip or cancel?"),
                    true);
                return;
            }
            m_overwriteOnce = false;
        }
        QCoreApplication::processEvents();
        if (m_cancelled)
            break;
        // The old target stays whole until the copy is complete; the copy keeps the source's time
        // so that the next run sees the two as the same file.
        // The time is set before the copy takes the target's place: a copy with another time would
        // be copied again on every run.
        const bool copied =
            !target.isDir() && SafeFile::ReplaceByCopyWithin(m_refDir, source.filePath(), target.filePath(),
                                                             source.lastModified());
        if (!copied) {
            // The writer's reason (no space, a link on the way) says whether skipping helps.
            const QString question = tr("filename:") + name + tr(" can not be copy. skip or cancel?");
            ask(name, target.isDir() ? question : SafeFile::WithReason(question), false);
            return;
        }
        log(name, kGreen);
        count();
    }
    finish();
}

void FileOutProgress::finish()
{
    if (!m_waiting)
        accept();
}

void FileOutProgress::SkipProc()
{
    if (!m_waiting)
        return;
    m_ui->OVERWRITE->hide();
    m_waiting = false;
    if (m_reference && m_index >= 0) {
        ++m_done;
        copyFrom(m_index + 1);
    }
}

void FileOutProgress::OverWriteProc()
{
    m_waiting = false;
    m_overwriteOnce = true;
    m_ui->OVERWRITE->hide();
    copyFrom(m_index);
}

void FileOutProgress::CancelProc()
{
    if (m_waiting) {
        m_waiting = false;
        accept();
    }
    m_cancelled = true;
}
