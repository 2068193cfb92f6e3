#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QPointer>

namespace Ui
{
class AddHtml;
}
class QTreeWidget;
class refurl;

// Enters a new web link (mode 0) or changes the current one (mode 1) in the list of a link pane
// or link dialog; the opener hears of a stored link through stored().
class AddHtml final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AddHtml(QWidget *parent = nullptr);
    ~AddHtml() override;

    void SetMode(int mode);
    // Empties the message; in mode 0 empties both lines, in mode 1 shows the current row.
    void SetList(QTreeWidget *list);
    int Mode() const { return m_mode; }
    // The link pane that opened the dialog; none when a link list dialog did. The pane still
    // hears of a stored link through stored().
    void SetOwner(refurl *owner);
    refurl *Owner() const;

public slots:
    void AddModProc();
    void PasteProc();

signals:
    void stored();

private:
    bool refused(const QString &title, const QString &address);

    Ui::AddHtml *m_ui;
    int m_mode = 0;
    QPointer<QTreeWidget> m_list;
    QPointer<refurl> m_owner;
};
