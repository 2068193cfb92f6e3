#pragma once

#include "core/globalvar.h"

#include <QHash>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>

class NumEditor;
class QAction;
class QMenu;
class TreeItemData;
class outdef;

// The line-number gutter at the left of a NumEditor.
class ZLineNumberArea final : public QWidget
{
    Q_OBJECT
public:
    explicit ZLineNumberArea(NumEditor *editor);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    NumEditor *m_editor;
};

// Colours the lines of a report that start with "Error:" or "Warning:".
class MsgSyntaxHighlighter final : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override;
};

// The plain-text editor every text field uses: optional line numbers, a highlight of the cursor's
// line, an edit menu mirrored into the main window's Edit menu, and the notification of its owner
// when the text changes.
class NumEditor final : public QPlainTextEdit, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NumEditor(QWidget *parent = nullptr);
    ~NumEditor() override;

    void SetKind(int kind) { m_kind = kind; }
    int Kind() const { return m_kind; }
    void SetUserNo(int userNo) { m_userNo = userNo; }
    void SetEditItem(TreeItemData *record) { m_item = record; }
    TreeItemData *EditItem() const { return m_item; }
    void SetVarTree(outdef *owner) { m_markerOwner = owner; }
    void SetVarHash(QHash<QString, int> *counts) { m_markerCounts = counts; }
    void SetMarkerCheck(int mode) { m_markerCheck = mode; }
    void CheckMarkers();

    void SetActiveEditor();
    void ClearActiveMark() { m_active = false; }
    bool IsActive() const { return m_active; }
    void ClearText();
    bool IsModified() const { return m_modified; }
    void ClearModified();
    void ResetModified() { m_modified = false; }
    void UndoRedoOff() { document()->setUndoRedoEnabled(false); }
    void UndoRedoOn() { document()->setUndoRedoEnabled(true); }
    int GetScrollPos() const;
    void SetScrollPos(int pos);
    int GetCursorPos() const { return textCursor().position(); }
    void SetCursorPos(int pos);
    void SetEditFont();
    // Whether the page lets its text be typed in (the member's own, not completed, ...); the
    // editor takes typing when, besides, its text was read (SetRefusal).
    void SetWritable(bool writable);
    // Why the file of the text shown was not read (TextFiles::RefusalOf), or empty when it was.
    // The empty text that stands in for a refused file takes no typing, since no save may keep it,
    // and the reason is shown where the text would be.
    void SetRefusal(const QString &reason);

    void SetNumber(bool on);
    void SetMenuRequest(bool on) { m_menuRequest = on; }
    bool TakeMainSyncMark() { return std::exchange(m_mainSync, false); }
    bool TakeActionSyncMark() { return std::exchange(m_actionSync, false); }
    bool NumberMode() const { return m_numberMode; }
    void UpdateMargins();

    int lineNumberAreaWidth() const;
    void lineNumberAreaPaintEvent(QPaintEvent *event);
    QMenu *EditMenu() const;
    // Undo, Redo, Copy, Cut, Paste, select all, Number.
    QAction *MenuAction(int index) const;

public slots:
    void ActionUndo();
    void ActionRedo();
    void ActionCopy();
    void ActionCut();
    void ActionPaste();
    void ActionSelectAll();
    void ActionNumber(bool on);
    void EditPopUpMenu(const QPoint &pos);
    void EditCopyAvailable(bool available);
    void EditUndoAvailable(bool available);
    void EditRedoAvailable(bool available);
    void EditModificationChanged(bool changed);
    void updateLineNumberAreaWidth(int blockCount);
    void updateLineNumberArea(const QRect &rect, int dy);
    void highlightCurrentLine();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    enum Act { Undo, Redo, Copy, Cut, Paste, SelectAll, Number, ActCount };
    void makeMenu();
    void giveMenuKeys() const;
    void applyNumberMode();
    void syncMainNumber();
    void enablePaste();
    void notifyOwner();
    void setMain(int index, bool on);
    void applyAccess();

    bool m_active = false;
    ZLineNumberArea *m_gutter;
    bool m_gutterShown = false;
    QFont m_font;
    TreeItemData *m_item = nullptr;
    int m_kind = 10;
    bool m_numberMode = false;
    bool m_actionSync = false;
    bool m_modified = false;
    QMenu *m_menu = nullptr;
    QAction *m_actions[ActCount] = {};
    mutable bool m_menuKeys = false;
    bool m_available[6] = {false, false, false, false, false, true};
    bool m_menuRequest = false;
    bool m_mainSync = false;
    int m_userNo = 0;
    outdef *m_markerOwner = nullptr;
    QHash<QString, int> *m_markerCounts = nullptr;
    int m_markerCheck = 0;
    bool m_writable = true;
    QString m_refusal;
};
