#pragma once

#include "core/globalvar.h"

#include <QWidget>

#include <memory>

class DeleteParamDiag;
class DeleteSclassDiag;
class NewParam;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// The small-class page of the model editor: shows and edits the small class or parameter current in the class
// tree. The page's fields come with the small-class page work; the editor already hands it the
// items it shows and stores.
class ModelSClass final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ModelSClass(QTreeWidget *tree, QWidget *parent = nullptr);
    ~ModelSClass() override;

    QVBoxLayout *PageLayout() const { return m_layout; }
    // The page shows the item's record; StorePage writes the page back into it.
    void ShowSclass(QTreeWidgetItem *item);
    void StorePage(QTreeWidgetItem *item);
    void ClearSclass();
    void SetReadOnly(bool readOnly);
    void LayoutAdjust();
    QTreeWidgetItem *CurrentItem() const { return m_item; }

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

private:
    QTreeWidgetItem *newParam(QTreeWidgetItem *sclass, int index, const QString &row, const QString &col,
                              const QString &name);
    QTreeWidget *paramListOf(const QTreeWidgetItem *sclass) const;

    QTreeWidget *m_tree;
    QVBoxLayout *m_layout;
    QTreeWidgetItem *m_item = nullptr;
    bool m_readOnly = false;
    std::unique_ptr<NewParam> m_paramDiag;
    std::unique_ptr<DeleteSclassDiag> m_delSclassDiag;
    std::unique_ptr<DeleteParamDiag> m_delParamDiag;
    int m_paramKind = 0;
    QString m_paramText1;
    QString m_paramText2;
};
