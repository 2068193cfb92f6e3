#pragma once

// What the document editor tests share: the program with its main window, finding chapters by
// number, the state of the Document menu's actions, and reading a written file back.

#include "docs/chapterdiag.h"
#include "docs/chaptereditor.h"
#include "shell/mainwindow.h"
#include "testsupport_widgets.h"

#include <QAction>
#include <QComboBox>
#include <QDomDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace TestSupport
{
inline QDomElement readRoot(const QString &path, QDomDocument *doc)
{
    doc->setContent(readFile(path));
    return doc->documentElement();
}

// "No/Name/first/second(children) ..." of the written Chapter elements, first and second being the
// two identifying attributes in the file's order for its kind.
inline QString xmlShape(const QDomElement &parent, const QString &first, const QString &second)
{
    QStringList parts;
    for (QDomElement c = parent.firstChildElement("Chapter"); !c.isNull();
         c = c.nextSiblingElement("Chapter")) {
        const QString inner = xmlShape(c, first, second);
        parts << QStringList{c.attribute("No"), c.attribute("Name"), c.attribute(first), c.attribute(second)}
                         .join('/') +
                     (inner.isEmpty() ? QString() : '(' + inner + ')');
    }
    return parts.join(' ');
}

// A chapter file whose chapters nest levels deep, one to a level ("1.", "1.1.", ...), IDs 0, 1, ...
inline QByteArray chainXml(const QByteArray &root, const QByteArray &tie, int levels)
{
    QByteArray xml = '<' + root + " MaxID='" + QByteArray::number(levels) + "'>";
    for (int i = 0; i < levels; ++i) {
        xml += "<Chapter No='" + QByteArray("1.").repeated(i + 1) + "' Name='c" + QByteArray::number(i) +
               "' " + tie + "='' ID='" + QByteArray::number(i) + "'>";
    }
    return xml + QByteArray("</Chapter>").repeated(levels) + "</" + root + '>';
}

// The levels of chapters under parent (0 without any).
inline int treeLevels(const QTreeWidgetItem *parent)
{
    int deepest = 0;
    for (int i = 0; i < parent->childCount(); ++i)
        deepest = qMax(deepest, treeLevels(parent->child(i)) + 1);
    return deepest;
}

struct DocProgram : public RegistryScope {
    QTemporaryDir tmp;
    MainWindow *window = new MainWindow;
    DocProgram()
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("me@x"));
        SetStrVar(RegSlot::StrWorkspaceDir, tmp.filePath("ws"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
    }
    ~DocProgram() override { delete window; }
    virtual ChapterEditor *editor() = 0;
    QTreeWidget *chapters() { return editor()->ChapterTree(); }
    QTreeWidgetItem *chapter(const QString &no)
    {
        const auto found = chapters()->findItems(no, Qt::MatchExactly | Qt::MatchRecursive, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    void select(const QString &no) { chapters()->setCurrentItem(chapter(no)); }
    // The first chapter of the deepest line of first chapters.
    QTreeWidgetItem *deepest()
    {
        QTreeWidgetItem *item = chapters()->topLevelItem(0);
        while (item && item->childCount() > 0)
            item = item->child(0);
        return item;
    }
    bool action(const char *name) { return window->findChild<QAction *>(QLatin1String(name))->isEnabled(); }
    bool anyChapterAction()
    {
        for (const char *a : {"actionAdd_Chapter", "actionDel_Chapter", "actionSet_Chapter",
                              "actionUnset_Chapter", "actionMove_Up", "actionMove_Down"}) {
            if (action(a))
                return true;
        }
        return false;
    }
    // Creates a chapter through the dialog at the given choice (-1 keeps the preselected one).
    ChapterDiag *create(const QString &title, int choice = -1)
    {
        editor()->CreateChapter();
        auto *dlg = editor()->findChild<ChapterDiag *>();
        if (choice >= 0)
            dlg->findChild<QComboBox *>("CHAPTERBOX")->setCurrentIndex(choice);
        dlg->findChild<QLineEdit *>("TITLE")->setText(title);
        dlg->findChild<QPushButton *>("OK")->click();
        return dlg;
    }
};
} // namespace TestSupport
