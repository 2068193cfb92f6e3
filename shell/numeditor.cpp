#include "shell/numeditor.h"

#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "docs/instancedocument.h"
#include "docs/modeldoc.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "qa/qanda.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

ZLineNumberArea::ZLineNumberArea(NumEditor *editor) : QWidget(editor), m_editor(editor) {}

QSize ZLineNumberArea::sizeHint() const
{
    return QSize(m_editor->lineNumberAreaWidth(), 0);
}

void ZLineNumberArea::paintEvent(QPaintEvent *event)
{
    m_editor->lineNumberAreaPaintEvent(event);
}

void MsgSyntaxHighlighter::highlightBlock(const QString &text)
{
    if (text.left(6) == QLatin1String("Error:"))
        setFormat(0, text.length(), QColor(Qt::red));
    else if (text.left(8) == QLatin1String("Warning:"))
        setFormat(0, text.length(), QColor(Qt::blue));
}

NumEditor::NumEditor(QWidget *parent) : QPlainTextEdit(parent), m_gutter(new ZLineNumberArea(this))
{
    m_gutter->hide();
    installEventFilter(this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &NumEditor::EditPopUpMenu);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &NumEditor::updateLineNumberAreaWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &NumEditor::updateLineNumberArea);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &NumEditor::highlightCurrentLine);
    connect(this, &QPlainTextEdit::copyAvailable, this, &NumEditor::EditCopyAvailable);
    connect(this, &QPlainTextEdit::undoAvailable, this, &NumEditor::EditUndoAvailable);
    connect(this, &QPlainTextEdit::redoAvailable, this, &NumEditor::EditRedoAvailable);
    connect(this, &QPlainTextEdit::modificationChanged, this, &NumEditor::EditModificationChanged);
    SetEditFont();
    highlightCurrentLine();
    makeMenu();
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

NumEditor::~NumEditor()
{
    if (GetObj<NumEditor>(RegSlot::ObjCurrentEditor) == this)
        SetObj<NumEditor>(RegSlot::ObjCurrentEditor, nullptr);
}

void NumEditor::SetEditFont()
{
    m_font.setFamily(GetStrVar(RegSlot::StrFontName));
    const int size = GetStrVar(RegSlot::StrFontSize).toInt();
    if (size > 0)
        m_font.setPointSize(size);
    setFont(m_font);
    setTabStopDistance(4 * QFontMetrics(m_font).horizontalAdvance(QLatin1Char('9')));
}

void NumEditor::SetWritable(bool writable)
{
    m_writable = writable;
    applyAccess();
}

void NumEditor::SetRefusal(const QString &reason)
{
    const bool changed = reason != m_refusal;
    m_refusal = reason;
    applyAccess();
    // The editor decides whether to draw its placeholder when its text changes, not when the
    // placeholder does: a reason given after the text was emptied was never drawn, and the editor
    // stood blank. Emptying the empty text again lets it draw the reason.
    if (changed && !reason.isEmpty() && document()->isEmpty())
        clear();
}

void NumEditor::applyAccess()
{
    const bool editable = m_writable && m_refusal.isEmpty();
    setReadOnly(!editable);
    setAttribute(Qt::WA_InputMethodEnabled, editable);
    // The refused text is the empty text, over which the placeholder is drawn.
    setPlaceholderText(m_refusal);
    highlightCurrentLine();
}

void NumEditor::makeMenu()
{
    m_menu = new QMenu(this);
    struct Item {
        const char *text;
        void (NumEditor::*slot)();
    };
    const Item items[] = {{QT_TR_NOOP("Undo"), &NumEditor::ActionUndo},
                          {QT_TR_NOOP("Redo"), &NumEditor::ActionRedo},
                          {QT_TR_NOOP("Copy"), &NumEditor::ActionCopy},
                          {QT_TR_NOOP("Cut"), &NumEditor::ActionCut},
                          {QT_TR_NOOP("Paste"), &NumEditor::ActionPaste},
                          {QT_TR_NOOP("select all"), &NumEditor::ActionSelectAll}};
    for (int i = 0; i < 6; ++i) {
        QAction *a = m_menu->addAction(tr(items[i].text));
        a->setEnabled(i == SelectAll);
        connect(a, &QAction::triggered, this, items[i].slot);
        m_actions[i] = a;
    }
    m_actions[Number] = m_menu->addAction(tr("Number"));
    m_actions[Number]->setCheckable(true);
    connect(m_actions[Number], &QAction::toggled, this, &NumEditor::ActionNumber);
}

// Keys join the application's one shortcut table, and every enabling of an action with a key
// searches that table: given at construction, a workspace with an editor per member took as long
// per editor as there were editors before it. The keys act only while the menu is open, so they
// are given when the menu is first needed.
void NumEditor::giveMenuKeys() const
{
    if (m_menuKeys)
        return;
    m_menuKeys = true;
    const char *const keys[] = {"Ctrl+Z", "Ctrl+Y", "Ctrl+C", "Ctrl+X", "Ctrl+V", "Ctrl+A"};
    for (int i = 0; i < 6; ++i)
        m_actions[i]->setShortcut(QKeySequence(QLatin1String(keys[i])));
}

QMenu *NumEditor::EditMenu() const
{
    giveMenuKeys();
    return m_menu;
}

QAction *NumEditor::MenuAction(int index) const
{
    giveMenuKeys();
    return index >= 0 && index < ActCount ? m_actions[index] : nullptr;
}

void NumEditor::setMain(int index, bool on)
{
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableEditAction(index, on);
}

void NumEditor::enablePaste()
{
    setMain(5, true);
    m_actions[Paste]->setEnabled(true);
    m_available[Paste] = true;
}

void NumEditor::ActionUndo()
{
    undo();
    m_actions[Redo]->setEnabled(true);
    if (m_kind == 8)
        CheckMarkers();
}

void NumEditor::ActionRedo()
{
    redo();
    if (m_kind == 8)
        CheckMarkers();
}

void NumEditor::ActionCopy()
{
    copy();
    if (!isReadOnly())
        enablePaste();
}

void NumEditor::ActionCut()
{
    cut();
    if (!isReadOnly())
        enablePaste();
    if (m_kind == 8)
        CheckMarkers();
}

void NumEditor::ActionPaste()
{
    paste();
    if (m_kind == 8)
        CheckMarkers();
}

void NumEditor::ActionSelectAll()
{
    selectAll();
}

void NumEditor::EditPopUpMenu(const QPoint &pos)
{
    giveMenuKeys();
    m_menu->popup(mapToGlobal(pos + QPoint(20, 20)));
}

void NumEditor::EditCopyAvailable(bool available)
{
    setMain(3, available);
    setMain(4, available);
    m_actions[Copy]->setEnabled(available);
    m_actions[Cut]->setEnabled(available);
    m_available[Copy] = m_available[Cut] = available;
}

void NumEditor::EditUndoAvailable(bool available)
{
    if (isReadOnly())
        return;
    setMain(1, available);
    m_actions[Undo]->setEnabled(available);
}

void NumEditor::EditRedoAvailable(bool available)
{
    if (isReadOnly())
        return;
    setMain(2, available);
    m_actions[Redo]->setEnabled(available);
}

bool NumEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::FocusIn && !m_available[Paste] && canPaste() &&
        !isReadOnly())
        enablePaste();
    return QPlainTextEdit::eventFilter(watched, event);
}

void NumEditor::SetActiveEditor()
{
    SetObj<NumEditor>(RegSlot::ObjCurrentEditor, this);
    m_active = true;
    if (canPaste()) {
        m_actions[Paste]->setEnabled(true);
        m_available[Paste] = true;
    }
    setMain(0, true);
    for (int i = 0; i < 6; ++i)
        setMain(i + 1, m_available[i]);
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (mw && mw->IsNumberChecked() != m_numberMode) {
        m_mainSync = true;
        mw->EnableEditAction(7, m_numberMode);
        m_mainSync = false;
    }
}

void NumEditor::ClearText()
{
    clear();
    // No text shown, none refused; an editor never refused keeps the read-only state it was given.
    if (!m_refusal.isEmpty())
        SetRefusal(QString());
    for (int i : {Undo, Redo, Copy, Cut, Paste}) {
        m_actions[i]->setEnabled(false);
        m_available[i] = false;
    }
    m_actions[SelectAll]->setEnabled(true);
    m_available[SelectAll] = true;
    SetActiveEditor();
    syncMainNumber();
}

void NumEditor::ClearModified()
{
    m_modified = false;
    document()->setModified(false);
}

int NumEditor::GetScrollPos() const
{
    return verticalScrollBar()->value();
}

void NumEditor::SetScrollPos(int pos)
{
    verticalScrollBar()->setValue(pos);
}

void NumEditor::SetCursorPos(int pos)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, pos, document()->characterCount() - 1));
    setTextCursor(cursor);
}

void NumEditor::ActionNumber(bool on)
{
    if (std::exchange(m_menuRequest, false))
        return;
    m_numberMode = on;
    applyNumberMode();
    // The main window's action shows the current editor's mode: mirroring another editor's
    // toggle into it would switch the current editor's numbers. This one syncs when it becomes
    // current.
    if (GetObj<NumEditor>(RegSlot::ObjCurrentEditor) == this)
        syncMainNumber();
}

void NumEditor::syncMainNumber()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!mw || mw->IsNumberChecked() == m_actions[Number]->isChecked())
        return;
    m_actionSync = true;
    mw->EnableEditAction(7, m_actions[Number]->isChecked());
}

void NumEditor::SetNumber(bool on)
{
    if (!m_menuRequest)
        return;
    m_numberMode = on;
    applyNumberMode();
    m_actionSync = true;
    m_actions[Number]->setChecked(m_numberMode);
    m_actionSync = false;
    // When the action already showed the mode no toggle consumed the request.
    m_menuRequest = false;
}

void NumEditor::applyNumberMode()
{
    m_gutterShown = m_numberMode;
    m_gutter->setVisible(m_numberMode);
    UpdateMargins();
    MsgSyntaxHighlighter highlighter(document());
    highlighter.rehighlight();
}

void NumEditor::UpdateMargins()
{
    setViewportMargins(m_gutterShown ? lineNumberAreaWidth() : 0, 0, 0, 0);
}

int NumEditor::lineNumberAreaWidth() const
{
    if (!m_gutterShown)
        return 0;
    int digits = 1;
    for (int max = qMax(1, blockCount()); max >= 10; max /= 10)
        ++digits;
    return 3 + digits * QFontMetrics(m_font).horizontalAdvance(QLatin1Char('9'));
}

void NumEditor::updateLineNumberAreaWidth(int)
{
    setViewportMargins(lineNumberAreaWidth(), 0, 0, 0);
}

void NumEditor::updateLineNumberArea(const QRect &rect, int dy)
{
    if (!m_gutterShown) {
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    if (dy)
        m_gutter->scroll(0, dy);
    else
        m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateLineNumberAreaWidth(0);
}

void NumEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect cr = contentsRect();
    m_gutter->setGeometry(QRect(cr.left(), cr.top(), lineNumberAreaWidth(), cr.height()));
}

void NumEditor::lineNumberAreaPaintEvent(QPaintEvent *event)
{
    QPainter painter(m_gutter);
    painter.fillRect(event->rect(), Qt::lightGray);
    QTextBlock block = firstVisibleBlock();
    int top = static_cast<int>(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + static_cast<int>(blockBoundingRect(block).height());
    const int height = fontMetrics().height();
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.setPen(Qt::black);
            painter.drawText(0, top, m_gutter->width(), height, Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
        bottom = top + static_cast<int>(blockBoundingRect(block).height());
    }
}

void NumEditor::highlightCurrentLine()
{
    QList<QTextEdit::ExtraSelection> selections;
    if (!isReadOnly()) {
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(QColor(240, 239, 183, 200));
        selection.format.setForeground(QColor(Qt::black));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = textCursor();
        selection.cursor.clearSelection();
        selections.append(selection);
    }
    setExtraSelections(selections);
}

void NumEditor::EditModificationChanged(bool modified)
{
    // The document turning unmodified (a save clearing the mark) is no edit: counting it would
    // mark the owner changed again right after every save.
    if (!modified)
        return;
    if (isReadOnly()) {
        document()->setModified(false);
        return;
    }
    // Programmatic loads and saves do not count as edits.
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating)) {
        m_modified = false;
        document()->setModified(false);
        return;
    }
    m_modified = true;
    notifyOwner();
}

void NumEditor::notifyOwner()
{
    bool markRecord = true;
    switch (m_kind) {
    case 0:
        if (auto *m = GetObj<model>(RegSlot::ObjModel)) {
            if (!m->IsUpdateLocked())
                m->ModelChanged();
            m->SetModified(true);
        }
        break;
    case 1:
        if (auto *d = GetObj<ModelDoc>(RegSlot::ObjModelDoc))
            d->SetModified();
        break;
    case 3:
        if (auto *t = GetObj<deftab>(RegSlot::ObjDeftab)) {
            t->SetModify();
            t->SetDocumentRefresh(true);
        }
        if (auto *m = GetObj<manager>(RegSlot::ObjManager))
            m->SetInstanceModify(m_userNo);
        break;
    case 4:
        if (auto *d = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument))
            d->SetModified();
        break;
    case 6:
        if (auto *m = GetObj<manager>(RegSlot::ObjManager)) {
            m->SetModify();
            m->SetManagerModify(m_userNo);
        }
        markRecord = false;
        break;
    case 7:
        if (auto *q = GetObj<QandA>(RegSlot::ObjQandA))
            q->SetModify();
        break;
    case 8:
        if (auto *o = GetObj<outdef>(RegSlot::ObjOutdef))
            o->SetChanged();
        break;
    default:
        markRecord = false;
        break;
    }
    if (markRecord && m_item)
        m_item->TextChanged() = true;
}

void NumEditor::CheckMarkers()
{
    if (m_markerCheck != 1)
        return;
    TextFiles::CountMarkers(toPlainText(), m_markerCounts);
    if (m_markerOwner)
        m_markerOwner->RefreshSeqTrees();
}
