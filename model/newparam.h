#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QStringList>

namespace Ui
{
class NewParam;
}
class QTreeWidgetItem;
class model;

// The dialog with which the owner of a model adds a parameter, a state or a transition to a
// small class, or renames one.
class NewParam final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewParam(QWidget *parent = nullptr);
    ~NewParam() override;

    void SetMode(int mode);
    void SetNewParam(QTreeWidgetItem *sclass, QTreeWidgetItem *ref, const QStringList &rows,
                     const QStringList &cols, bool follows, bool twoPositions, QTreeWidgetItem *rowEnd);
    void SetModParam(QTreeWidgetItem *sclass, QTreeWidgetItem *param);

public slots:
    void OkProc();
    void CancelProc();
    void ColChange(const QString &val);
    void RowChange(const QString &val);
    void VarRadioProc(bool isEnable);
    void StateRadioProc(bool isEnable);
    void TransitRadioProc(bool isEnable);

private:
    model *editor() const;
    void ShowStateList(bool visible);
    void SetStateList();
    void SetTransitionStates();
    // Each returns the refusal, or an empty text once the change is made.
    QString AddParam();
    QString ModParam();
    QString checkTransition(const QString &name, QString *state) const;
    QString InsertParam(const QString &row, const QString &col, const QString &name);
    void updateMessage();
    void lockKinds();
    bool bothTwo() const;

    Ui::NewParam *m_ui;
    QTreeWidgetItem *m_sclass = nullptr;
    QTreeWidgetItem *m_ref = nullptr;
    QTreeWidgetItem *m_rowEnd = nullptr;
    QString m_renumberMsg;
    int m_mode = 0;
    QString m_paramType;
    bool m_setup = true;
    bool m_follows = false;
    bool m_twoPositions = false;
    bool m_syncing = false;
    bool m_unlocked = false;
    bool m_stateListVisible = false;
};
