#pragma once

#include "core/defvar.h"
#include "core/globalvar.h"

#include <QDialog>
#include <QList>

namespace Ui
{
class DocDiag;
}
class QTreeWidget;
class QTreeWidgetItem;

// Lists the reference files of one folder in a modal dialog and deletes (mode 0) or opens
// (mode 1) the chosen one. Also holds what the reference-file pane shares with it: the program
// lookup by extension, opening a file and deleting one with its companion.
class DocDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Mode : int { DeleteMode = 0, ShowMode = 1 };

    explicit DocDiag(QWidget *parent = nullptr);
    ~DocDiag() override;

    void SetMode(int mode);
    void SetDirectory(const QString &folder);
    int Mode() const { return m_mode; }
    QString Directory() const { return m_folder; }

    static QString FileExtension(const QString &fileName);
    // The program of the settings' table of programs for the file's extension, or empty.
    static QString FindApplication(const QString &fileName);
    // Starts the program registered for the file with the path as its one argument, or hands
    // the file to the desktop; a program that cannot be started is reported.
    static void OpenFile(const QString &path);
    // Asks "Delete Document"; on "delete" removes the file and its ".bak" companion and reports
    // a removal that failed. Returns true when the user confirmed.
    static bool DeleteFile(QWidget *parent, const QString &path);
    // White header texts on grey with the shared table icons, one per column.
    static void StyleHeader(QTreeWidget *tree, const QList<SharedIcon::Id> &icons);

public slots:
    void OkProc();
    void DblClicked(QTreeWidgetItem *item, int column);

private:
    Ui::DocDiag *m_ui;
    int m_mode = ShowMode;
    QString m_folder;
};
