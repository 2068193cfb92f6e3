#pragma once

#include "core/globalvar.h"

#include <QWidget>

// The output-definition editor: the file and sequence identifiers of an output definition and
// the template texts that turn an instance into output files.
class outdef final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit outdef(QWidget *parent = nullptr);
    ~outdef() override;

    void CreateOutput();
    void OpenOutput();
    void SaveOutput();
    void ClearOutput();

    QString GetOwnerName();
    QString GetOwnerMail();
    bool IsNewOutput() const { return m_newOutput; }

    void AdjustSplitter();
    void CreateFileDiag();
    void DeleteFileDiag();
    void CreateNextSeqDiag();
    void CreateNestingSeqDiag();
    void DeleteSeqDiag();
    void MoveUpSeqDiag();
    void MoveDownSeqDiag();
    void MoveSeqTempDiag();
    void MoveSeqFileDiag();
    void FileOutDiag();
    void RefreshSeqTrees();
    void SetChanged();
    void SetEditorFont();
    void SetEditState();
    void SetFocusEditor();
    void SetMenuState();
    void SetMenuVisible(bool s0, bool s1, bool s2, bool s3, bool s4, bool s5, bool s6, bool s7, bool s8,
                        bool s9);
    void SetRootAttribute(const QString &name, const QString &email);
    void StoreTemplate();

    // The folder of the output version the registry names; empty when a name would leave it.
    QString BuildOutputPath() const;

private:
    QString rootAttribute(int attrSlot);
    void enterDocKind();

    bool m_newOutput = false;
};
