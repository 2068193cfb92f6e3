#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class reffile;
}
class QAction;
class QMenu;
class QTreeWidgetItem;

// The reference-file pane an element's page embeds: lists the files of the element's reference
// folder and, through its context menu, adds, deletes, opens and uploads them. Editable panes
// open the files in place; read-only panes open the read-only viewing copies in "others/".
//
// The host calls SetEditable and then SetDirectory (a folder ending with "/") whenever its
// current element changes, and ClearList when none is current.
class reffile final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit reffile(QWidget *parent = nullptr);
    ~reffile() override;

    void SetEditable(int editable);
    void SetDirectory(const QString &folder);
    void ClearList();
    QString Directory() const { return m_folder; }
    bool IsEditable() const { return m_editable != 0; }

public slots:
    void AddRefferenceFile();
    void DelRefferenceFile();
    void ShowRefferenceFile();
    void UploadRefferenceFile();
    void RefFileShow(QTreeWidgetItem *item, int column);
    void TreePopupMenu(const QPoint &pos);

private:
    void openRow(QTreeWidgetItem *item);
    bool prepareViewingCopy(const QString &name);
    void selectName(const QString &name);
    QString startFolder() const;

    Ui::reffile *m_ui;
    QString m_folder;
    int m_editable = 0;
    QMenu *m_menu;
    QAction *m_add;
    QAction *m_del;
    QAction *m_show;
    QAction *m_upload;
};
