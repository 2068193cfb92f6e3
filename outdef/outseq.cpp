#include "outdef/outseq.h"

#include "core/treeitemdata.h"
#include "outdef/outdef.h"
#include "outdef/outxml.h"
#include "ui_outseq.h"

#include <QTabBar>
#include <QVBoxLayout>

namespace
{
// A stored choice read back as an index of a two-entry combo: anything unreadable is the first.
int choiceIndex(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n > 0 ? 1 : 0;
}

void styleTab(QTabWidget *tab)
{
    tab->removeTab(1);
    tab->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    tab->tabBar()->setTabTextColor(0, Qt::white);
}
} // namespace

OutSeq::OutSeq(QWidget *parent) : QWidget(parent), m_ui(new Ui::OutSeq)
{
    m_ui->setupUi(this);
    // Designer does not store this on a form's top widget; the page paints its own background.
    setAutoFillBackground(true);
    m_ui->LOOPCBX->addItems({tr("describing continue"), tr("A new line")});
    m_ui->LOOPENDCBX->addItems({tr("write all"), tr("Delete after $Var at last")});
    styleTab(m_ui->NTAB);
    styleTab(m_ui->VTAB);
    const QString header =
        QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF }");
    m_ui->NSTREE->setStyleSheet(header);
    m_ui->VTREE->setStyleSheet(header);
    const char *const nestIcons[2] = {":src/TBL_S.png", ":src/TBL_S.png"};
    for (int i = 0; i < 2; ++i)
        m_ui->NSTREE->headerItem()->setIcon(i, QIcon(QString::fromLatin1(nestIcons[i])));
    const char *const varIcons[3] = {":src/TBL_V.png", ":src/TBL_S.png", ":src/TBL_L.png"};
    for (int i = 0; i < 3; ++i)
        m_ui->VTREE->headerItem()->setIcon(i, QIcon(QString::fromLatin1(varIcons[i])));
    // The designer's form is a fixed box wider and taller than the page leaves it on a
    // 1280 x 1024 screen. Laid out, it follows the page and its two tabs give way.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->addWidget(m_ui->widget);
    m_ui->NTAB->setMinimumWidth(200);
    m_ui->VTAB->setMinimumWidth(260);
    m_ui->GSPACE->changeSize(50, 20, QSizePolicy::Preferred, QSizePolicy::Minimum);
    // The loop row comes and goes with the sequence shown; it keeps its place so nothing moves.
    for (QWidget *w : loopRow()) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    connect(m_ui->LOOPCBX, qOverload<int>(&QComboBox::currentIndexChanged), this, &OutSeq::ChangeLoopCbx);
    connect(m_ui->LOOPENDCBX, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &OutSeq::ChangeLoopEndCbx);
    HideLoop();
}

OutSeq::~OutSeq()
{
    delete m_ui;
}

void OutSeq::storeChoice(const QString &attr, int index)
{
    if (!m_record || GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    m_record->SetAttr(attr, QString::number(index));
    if (auto *page = GetObj<outdef>(RegSlot::ObjOutdef))
        page->SetChanged();
}

void OutSeq::ChangeLoopCbx(int index)
{
    storeChoice(OutXml::LoopType, index);
}

void OutSeq::ChangeLoopEndCbx(int index)
{
    storeChoice(OutXml::LoopEndType, index);
}

QList<QWidget *> OutSeq::loopRow() const
{
    return {m_ui->LOOP, m_ui->LOOPCBX, m_ui->LOOPEND, m_ui->LOOPENDCBX};
}

void OutSeq::setLoopVisible(bool on)
{
    for (QWidget *w : loopRow())
        w->setVisible(on);
}

void OutSeq::ShowLoop(TreeItemData *record)
{
    setLoopVisible(true);
    m_ui->LOOPCBX->setCurrentIndex(choiceIndex(record ? record->GetAttr(OutXml::LoopType) : QString()));
    m_ui->LOOPENDCBX->setCurrentIndex(choiceIndex(record ? record->GetAttr(OutXml::LoopEndType) : QString()));
}

void OutSeq::HideLoop()
{
    setLoopVisible(false);
}

void OutSeq::StoreLoop(TreeItemData *record)
{
    if (!record)
        return;
    record->SetAttr(OutXml::LoopType, QString::number(m_ui->LOOPCBX->currentIndex()));
    record->SetAttr(OutXml::LoopEndType, QString::number(m_ui->LOOPENDCBX->currentIndex()));
}

// The record is forgotten too: the page may free it (a close, a deleted sequence) before it shows
// another sequence, and a combo change must never reach a freed record.
void OutSeq::Clear()
{
    m_record = nullptr;
    m_ui->TITLE->clear();
    m_ui->SID->clear();
    m_ui->NSTREE->clear();
    m_ui->VTREE->clear();
    HideLoop();
}

void OutSeq::SetReadOnly(bool readOnly)
{
    m_ui->TITLE->setReadOnly(readOnly);
    m_ui->TITLE->setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    for (QWidget *w : {static_cast<QWidget *>(m_ui->LOOPCBX), static_cast<QWidget *>(m_ui->LOOPENDCBX),
                       static_cast<QWidget *>(m_ui->CODE_SET), static_cast<QWidget *>(m_ui->CODE_DEL),
                       static_cast<QWidget *>(m_ui->V_CODE_SET), static_cast<QWidget *>(m_ui->V_CODE_DEL),
                       static_cast<QWidget *>(m_ui->MOD)})
        w->setEnabled(!readOnly);
}

void OutSeq::UpdateCounts(const QString &text)
{
    for (QTreeWidget *tree : {m_ui->NSTREE, m_ui->VTREE}) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = tree->topLevelItem(i);
            const int count = text.count(item->text(0), Qt::CaseSensitive);
            item->setText(1, count > 0 ? QString::number(count) : tr("UnSet"));
        }
    }
}

int OutSeq::GetEditorHeight() const
{
    // Asked before the form was ever shown, the geometries are still the designer's: the layout's
    // own hints tell what the form needs.
    const int grid = qMax(m_ui->GRID->geometry().height(), m_ui->GRID->sizeHint().height());
    const int row = qMax(m_ui->NTAB->height(), m_ui->GL->sizeHint().height());
    return EditorHeight(grid, row);
}

QLineEdit *OutSeq::GetTitleEdit() const
{
    return m_ui->TITLE;
}

QLineEdit *OutSeq::GetSeqIdEdit() const
{
    return m_ui->SID;
}

QTreeWidget *OutSeq::GetNestTree() const
{
    return m_ui->NSTREE;
}

QTreeWidget *OutSeq::GetVarTree() const
{
    return m_ui->VTREE;
}

QPushButton *OutSeq::GetCodeSetButton() const
{
    return m_ui->CODE_SET;
}

QPushButton *OutSeq::GetCodeDelButton() const
{
    return m_ui->CODE_DEL;
}

QPushButton *OutSeq::GetVarCodeSetButton() const
{
    return m_ui->V_CODE_SET;
}

QPushButton *OutSeq::GetVarCodeDelButton() const
{
    return m_ui->V_CODE_DEL;
}

QPushButton *OutSeq::GetModButton() const
{
    return m_ui->MOD;
}
