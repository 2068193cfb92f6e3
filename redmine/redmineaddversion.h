#pragma once

#include "redmine/redmineitemdiag.h"

#include <memory>

class NumEditor;
class QTreeWidgetItem;

namespace Ui
{
class RedmineAddVersion;
}

// Adds a version to the linked tracker project (always open and not shared), changes a version's
// name and description, or deletes it.
class RedmineAddVersion final : public RedmineItemDiag
{
    Q_OBJECT
public:
    explicit RedmineAddVersion(RedmineProject *page);
    ~RedmineAddVersion() override;

    void SetNew();
    void SetUpdate(QTreeWidgetItem *row, const QString &description);
    NumEditor *Editor() const { return m_editor; }

public slots:
    void OkProc(bool status = false);
    void DelProc(bool status = false);

private:
    void prepare(int mode);

    std::unique_ptr<Ui::RedmineAddVersion> m_ui;
    NumEditor *m_editor;
    QString m_initialDescription;
};
