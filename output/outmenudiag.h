#pragma once

#include "core/globalvar.h"
#include "output/fileoutprogress.h"
#include "output/outputgenerator.h"

#include <QDialog>
#include <QDomElement>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <functional>

namespace Ui
{
class OutMenuDiag;
}
class QTreeWidgetItem;

// The output-run dialog: per output file and large class the member whose instances feed it, the
// reference files to copy, the output directory; remembers the choices per member.
class OutMenuDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OutMenuDiag(QWidget *parent = nullptr);
    ~OutMenuDiag() override;

    // True when the dialog was filled and may be shown.
    bool InitOutMenu(bool definitionFirst);

    // Store indexes of member n's selection documents.
    static int DefIndex(int n) { return XmlIndex::OutRunSelection + 2 * n; }
    static int RefIndex(int n) { return XmlIndex::OutRunSelection + 2 * n + 1; }
    // An output folder read from a shared file (a selection, the member's own): only an absolute
    // path without ".." that is not itself a link is taken as a folder to write into.
    static bool UsableOutDir(const QString &dir);
    // "\.(a|b)$" from "a;b", each part taken literally.
    static QRegularExpression ExtensionPattern(const QString &text);
    FileOutProgress *Progress() const { return m_progress; }

public slots:
    void RefProc();
    void ReloadProc();
    void ExpansionProc();
    void UserCbxProc(int index);
    void CancelProc();
    void OutputProc();
    void ClearProc();
    void SaveProc();
    void DupItemChange(QTreeWidgetItem *item, int col);
    void ItemChanged(QTreeWidgetItem *item, int col);
    void ItemTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *prev);
    void DupProc();
    void DItemChanged(QTreeWidgetItem *item, int col);
    void TabChanged(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // outmenudiag.cpp
    void fillReferenceTree();
    void addReferenceFiles(QTreeWidgetItem *parent, const QString &key, int scope);
    void joinRing(QTreeWidgetItem *row);
    void fillDefinitionTree();
    void autoSelect(bool filter);
    void uncheckReferenceRows();
    void checkMember(QTreeWidgetItem *member, bool on);
    void uncheckMembers();
    void checkOwnMembers(int n);
    void moveInRing();
    QString memberOutDir(int n) const;
    int currentMember() const;
    void setMessage(const QString &text);
    // outmenudiag_select.cpp
    static QString rootTag(int index);
    bool readSelectionFile(int index, const QString &path, QString *reason);
    bool openSelection(int index, const QString &path);
    QString defPath(int n) const;
    QString refPath(int n) const;
    void loadDefSelection(int n);
    void loadRefSelection(int n);
    QDomElement storedRoot(int index) const;
    void takeOutDir(const QString &dir, const QString &file, QString *outDir);
    // Member n's stored def (else ref) selection, read over the defaults (its own output folder
    // first); false when there is none to read.
    bool loadSelection(int n, bool def);
    // A stored selection: its output folder goes to *outDir when usable, its owner to owner and
    // every other element to other; false when none is stored.
    bool readSelection(int index, const QString &path, QString *outDir, const std::function<void(int)> &owner,
                       const std::function<void(const QDomElement &)> &other);
    bool readDefSelection(int n);
    bool readRefSelection(int n);
    void applyRefSelection();
    QDomDocument builtDefSelection() const;
    QDomDocument builtRefSelection() const;
    void noteStoredSelections();
    bool refusedSave(int index, const QString &path, int n, int *open);
    // The selection as built to its file: false when it was not written (refused or failed);
    // true also when it holds nothing the file does not already hold, and nothing was written.
    bool writeSelection(bool def, const QDomDocument &built);
    QPair<bool, bool> saveSelections(bool reference, bool definition);
    bool saveDefSelection();
    bool saveRefSelection();
    void closeSelections();
    void buildDefinitionSelection();

    Ui::OutMenuDiag *m_ui;
    FileOutProgress *m_progress;
    QString m_refDir;
    QString m_defDir;
    int m_defOwner = -1;
    int m_refSelIndex = -1;
    bool m_defRead = false;
    bool m_refRead = false;
    int m_openRef = -1;
    int m_openDef = -1;
    bool m_guard = false;
    // The page whose folder DIR shows; the run uses that folder and names it.
    int m_dirPage = 0;
    QStringList m_storedNames;
    QStringList m_storedKeys;
    FileOutProgress::RingHeads m_heads;
    QHash<QString, QList<QTreeWidgetItem *>> m_candidates;
    QStringList m_dupNames;
    QHash<int, QHash<QString, QTreeWidgetItem *>> m_memberRows;
    DefinitionSelection m_selection;
    // Store indexes of selection files that are there and did not read: never saved over.
    QSet<int> m_unread;
    // What the dialog wrote or would write for the selections as read; empty when none was.
    QByteArray m_refStored;
    QByteArray m_defStored;
};
