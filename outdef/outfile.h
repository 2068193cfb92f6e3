#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class OutFile;
}
class QComboBox;
class QLineEdit;

// The "File" tab of the output-definition page: title, marker, output file name and extension of
// the file identifier the page shows.
class OutFile final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OutFile(QWidget *parent = nullptr);
    ~OutFile() override;

    void Clear();
    void SetEnabled(bool on);
    void SetReadOnly(bool readOnly);
    void SetFileName(const QString &text);
    // Empties the extension choices, offers the page's list and shows the record's text.
    void SetExtensions(const QStringList &list, const QString &text);
    QLineEdit *GetTitleEdit() const;
    QLineEdit *GetFileIdEdit() const;
    QComboBox *GetExtCombo() const;
    int GetEditorHeight() const;

public slots:
    void FnameChanged(const QString &text);
    void ExtChanged(const QString &text);

private:
    void store(const QString &attr, const QString &text);

    Ui::OutFile *m_ui;
};
