#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class OutputWidget;
}
class NumEditor;
class QTabWidget;
class VarHeighlighter;

// The "Output" tab of the output-definition page: a read-only view of generated text, with the
// placeholder forms that generation leaves coloured.
class OutputWidget final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit OutputWidget(QWidget *parent = nullptr);
    ~OutputWidget() override;

    void ShowText(const QString &title, const QString &text);
    QTabWidget *GetTabWidget() const;
    QWidget *GetView() const;
    VarHeighlighter *GetHighlighter() const { return m_highlighter; }

private:
    Ui::OutputWidget *m_ui;
    NumEditor *m_view;
    VarHeighlighter *m_highlighter;
};
