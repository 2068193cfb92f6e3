#pragma once

#include "core/globalvar.h"

#include <QString>

class Calendar;
class QAbstractButton;
class QComboBox;
class QLayout;
class QLineEdit;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TreeItemData;
class deftab;
class reffile;
class refurl;

// What the large-class and the small-class pane share: the scope, progress, hours and
// output-variable rows of their property tree, their date dialog and their two reference panes,
// and the rules by which these show, change and commit an instance record.
class ClassPaneParts final : protected virtual globalvar
{
public:
    ClassPaneParts();
    ~ClassPaneParts();
    ClassPaneParts(const ClassPaneParts &) = delete;
    ClassPaneParts &operator=(const ClassPaneParts &) = delete;

    static deftab *Tab();
    static TreeItemData *ModelRecordOf(const QTreeWidgetItem *row);
    // The text a row is registered under in its model class's index of global elements: the
    // element of a large class, "L:S" for a small class.
    static QString ScopePath(QTreeWidgetItem *row);

    // Rows 0 to 3 of the property tree, each widget connected to the owner's slot.
    void Build(QTreeWidget *tree, const QString &outVarCaption);
    void SetupCalendar(QLineEdit *start, QLineEdit *target, QLineEdit *completion, QAbstractButton *startBtn,
                       QAbstractButton *targetBtn, QAbstractButton *completionBtn, int level);
    void SetupRefs(QLayout *files, QLayout *links);

    void ShowScope(QTreeWidgetItem *row);
    void ShowProgress(TreeItemData *record, bool completed);
    void ShowOutVar(QTreeWidgetItem *row, bool editable);
    // Applies a new scope index (the scope rows' change rule); false when nothing changed.
    bool ChangeScope(QTreeWidgetItem *row, int n);
    void CommitProperties(TreeItemData *record) const;
    void ShowRefs(QTreeWidgetItem *row, bool editable);
    // Empties both reference panes; a pane that has no element to show is disabled as well.
    void ClearRefs(bool enabled = true);
    // Opens the date dialog for the row's start (0), target (1) or completion (2) date.
    void OpenCalendar(int mode, QTreeWidgetItem *row, int member);
    void ReleaseRow(QTreeWidgetItem *row);

    QComboBox *scope = nullptr;
    QSpinBox *progress = nullptr;
    QSpinBox *hours = nullptr;
    QLineEdit *outVar = nullptr;
    Calendar *calendar = nullptr;
    reffile *files = nullptr;
    refurl *links = nullptr;
};

class QSplitter;
namespace SharedIcon
{
enum Id : int;
}

void StyleHeader(QTreeWidget *tree, SharedIcon::Id first, SharedIcon::Id second);
void SplitSizes(QSplitter *splitter, int numerator, int denominator);

// Marks the member's instance data changed: the tab's flag and the member's.
void MarkInstanceModified(int member);
