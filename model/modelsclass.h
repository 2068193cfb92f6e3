#pragma once

#include "core/globalvar.h"

#include <QPalette>
#include <QWidget>

#include <memory>

namespace Ui
{
class ModelSClass;
}
class Calendar;
class DeleteParamDiag;
class DeleteSclassDiag;
class NewParam;
class reffile;
class refurl;
class NumEditor;
class QComboBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class TreeItemData;
class model;

// The small-class page of the model editor: shows the small class current in the class tree, or
// the parameter current in it with its small class, writes the small class's fields back and
// decides what may be edited and which Model-menu actions are offered while it shows. It owns
// the small class's parameter list: it adds, deletes and renumbers parameters, and keeps the
// parameter and delete dialogs that do so.
class ModelSClass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ModelSClass(QWidget *parent = nullptr);
    ~ModelSClass() override;

    // The layout the model editor installs on its small-class tab; it holds the page.
    QVBoxLayout *PageLayout() const { return m_layout; }
    QTreeWidgetItem *GetSclassItem() const { return m_sclass; }

    void ShowSclass(QTreeWidgetItem *sclass);
    void ShowParamSclass(QTreeWidgetItem *param);
    void SelectParam(QTreeWidgetItem *param);
    void ShowParam(QTreeWidgetItem *sclass, QTreeWidgetItem *param, QTreeWidgetItem *listItem);
    void SetCurrentTab(int index);
    void StoreSclass(QTreeWidgetItem *sclass);
    void StoreParam(QTreeWidgetItem *param);
    void ClearSclass();
    void ClearPage();
    void SetTreeLock(bool locked) { m_treeLock = locked; }
    void SetStateProperty(int row, const QString &text, const QString &stateId);
    void UpdateEditState();
    void SetEditable(bool editable);
    void SetReadOnly();
    void EnableCdateBtn(bool enabled);
    void AdjustLayout();

    // ---- the parameter list (modelsclass_params.cpp) ----
    // The kind of the next AddParam: 0 normal, 1 state (text1 its name), 2 transition (text1 the
    // ID of its state small class, text2 its name).
    void SetParamKind(int kind, const QString &text1, const QString &text2);
    // Whether the small class may take the pending kind; AddParam inserts nothing otherwise.
    bool CanAddParam(const QTreeWidgetItem *sclass) const;
    bool AddParam(QTreeWidgetItem *sclass, QTreeWidgetItem *ref, const QString &row, const QString &col,
                  const QString &name, bool after);
    void AddTransitionParams(QTreeWidgetItem *sclass, const QString &transitionId);
    // kind 0 removes one parameter and closes its gap; 2 and 3 turn a state or transition small
    // class back to normal with all its parameters.
    void DelParam(QTreeWidgetItem *param, int kind);
    int GetDelKind(const QTreeWidgetItem *sclass) const;
    void RemoveParam(QTreeWidgetItem *sclass, int position);
    void RenumberParams(QTreeWidgetItem *sclass, int position);
    static void ParseParamLabel(const QString &label, int *row, int *col);
    static QString MakeParamLabel(int row, int col);
    NewParam *GetParamDiag();
    void ShowDelParamDiag(QTreeWidgetItem *item);
    void ShowDelSclassDiag(QTreeWidgetItem *item);
    void ForgetDeleteRow(const QTreeWidgetItem *going);

public slots:
    void SdateBtnProc();
    void TdateBtnProc();
    void CdateBtnProc();
    void CdateChanged(const QString &text);
    void SclassTextChange(const QString &text);
    void SElementTextChange(const QString &text);
    void TabChangeProc(int index);
    void ParamTreeChangeProc(QTreeWidgetItem *item, QTreeWidgetItem *prev);
    void ParamClicked(QTreeWidgetItem *item, int index);
    void PropertyChanged(int index);

private:
    model *editor() const;
    bool ignoresChange() const;
    void showSclassFields(QTreeWidgetItem *sclass, bool elementNeedsOwner);
    void listParams(QTreeWidgetItem *sclass);
    void initPropertyTree();
    void showStateProperty(QTreeWidgetItem *sclass, QTreeWidgetItem *param);
    void keepMenu(bool addParam, bool deleteParam, bool addSclass);
    void LockPage(bool parentCheck);
    void UnlockPage();
    void editColumn(int column, const QString &text);
    void showReferences(const TreeItemData *r);
    void clearReferences();
    void selectListItem(QTreeWidgetItem *listItem);
    QTreeWidgetItem *newParam(QTreeWidgetItem *sclass, int index, const QString &row, const QString &col,
                              const QString &name);
    QTreeWidget *paramListOf(const QTreeWidgetItem *sclass) const;

    Ui::ModelSClass *m_ui;
    QVBoxLayout *m_layout;
    Calendar *m_calendar;
    QTreeWidgetItem *m_sclass = nullptr;
    QTreeWidgetItem *m_param = nullptr;
    int m_tabIndex = 0;
    bool m_treeLock = false;
    NumEditor *m_editors[2] = {};
    QString m_sclassTitle;
    QString m_paramTitle;
    QLineEdit *m_properties[4] = {};
    int m_readOnly = 1;
    QPalette m_inactive;
    QPalette m_active;
    QComboBox *m_outVar = nullptr;
    reffile *m_files;
    refurl *m_links;
    std::unique_ptr<NewParam> m_paramDiag;
    std::unique_ptr<DeleteSclassDiag> m_delSclassDiag;
    std::unique_ptr<DeleteParamDiag> m_delParamDiag;
    int m_paramKind = 0;
    QString m_paramText1;
    QString m_paramText2;
};
