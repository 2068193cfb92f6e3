#pragma once

#include "core/globalvar.h"
#include "core/optionsmodel.h"
#include "core/redmineuserinfo.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui
{
class OptionDiag;
}
class AddGroup;
class AddReference;
class OptFont;
class OptProject;
class QTreeWidget;
class QTreeWidgetItem;
class RUsers;

// The Options dialog: the user's accounts, reference programs, editor font, auto-save, mail server
// and issue-tracker connection. Every opening reloads it; only OK writes anything back.
class OptionDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OptionDiag(QWidget *parent = nullptr);
    ~OptionDiag() override;

    void LoadOptions();
    // Puts what the dialog changed into init.xml (and the registry); false when the file was not
    // written (the user has been told, and the change stays for the next save).
    bool SaveOptions();
    void GroupUpdate();
    void RefUpdate();
    void SetOwnerFirstName(const QString &text);
    void SetOwnerLastName(const QString &text);
    void SetOwnerRedmineId(const QString &text);
    void SetOwnerRedmine(bool on);
    void ShowRedmineColumns();

    OptFont *FontPage() const { return m_font; }
    OptProject *ProjectPage() const { return m_project; }
    AddGroup *GroupDialog() const { return m_addGroup; }
    AddReference *ReferenceDialog() const { return m_addRef; }

public slots:
    void OkProc();
    void CancelProc();
    // Escape and the window's close button end here too: the tracker page's live registry edits
    // must be put back on every kind of rejection.
    void reject() override;
    void AddGroupProc();
    void ModGroupProc();
    void DelGroupProc();
    void AddRefProc();
    void ModRefProc();
    void ModRefProc(QTreeWidgetItem *item, int column);
    void DelRefProc();
    void RefChanged();
    void GroupChanged();
    void TabChanged(int index);

private:
    void styleHeaders();
    void fillRows(const OptionValues &values);
    void fillMail(const OptionValues &values);
    OptionValues readWidgets() const;
    void storeRegistry(const OptionValues &before, const OptionValues &values);
    void storeUserRecords(const OptionValues &values);
    void setUserRecord(const QString &email, const QString &first, const QString &last, const QString &id);
    void applyFont(const QString &name, int size);
    void applyAutoSave(int minutes, const QString &text);
    void storeMailSlots(const OptionValues &before, const OptionValues &values);
    bool askDelete(const QString &title, const QString &text);
    void setOwnerColumn(int column, const QString &text);
    void showRefusal(const QString &text);

    Ui::OptionDiag *m_ui;
    OptFont *m_font;
    OptProject *m_project;
    RUsers *m_users;
    AddGroup *m_addGroup;
    AddReference *m_addRef;
    int m_previousTab = 0;
    std::vector<std::unique_ptr<RedmineUserInfo>> m_records;
    // The widgets' values as the last load showed them: a field still so keeps its stored text.
    OptionValues m_shown;
    bool m_loaded = false;
};
