#include "model/newparam.h"

#include "core/treeitemdata.h"
#include "model/model.h"
#include "model/modelsclass.h"
#include "ui_newparam.h"

#include <QTreeWidgetItem>

NewParam::NewParam(QWidget *parent) : QDialog(parent), m_ui(new Ui::NewParam)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    for (QWidget *caption : {static_cast<QWidget *>(m_ui->P_NAME), static_cast<QWidget *>(m_ui->LB2),
                             static_cast<QWidget *>(m_ui->LB3), static_cast<QWidget *>(m_ui->TRANSIT)})
        caption->setStyleSheet(QStringLiteral("background-color: #666666;color: #FFFFFF"));
    m_renumberMsg = tr("current K[%1][%2] will be renumbered");
    connect(m_ui->OK, &QPushButton::clicked, this, &NewParam::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &NewParam::CancelProc);
    connect(m_ui->COLBOX, &QComboBox::currentTextChanged, this, &NewParam::ColChange);
    connect(m_ui->ROWBOX, &QComboBox::currentTextChanged, this, &NewParam::RowChange);
    connect(m_ui->VAR_RADIO, &QRadioButton::clicked, this, &NewParam::VarRadioProc);
    connect(m_ui->STATE_RADIO, &QRadioButton::clicked, this, &NewParam::StateRadioProc);
    connect(m_ui->TRANSIT_RADIO, &QRadioButton::clicked, this, &NewParam::TransitRadioProc);
}

NewParam::~NewParam()
{
    delete m_ui;
}

model *NewParam::editor() const
{
    return GetObj<model>(RegSlot::ObjModel);
}

void NewParam::SetMode(int mode)
{
    m_mode = mode;
    setWindowTitle(mode == 0 ? tr("add param") : tr("mod param"));
    m_ui->OK->setText(mode == 0 ? tr("new btn") : tr("mod btn"));
}

void NewParam::SetNewParam(QTreeWidgetItem *sclass, QTreeWidgetItem *ref, const QStringList &rows,
                           const QStringList &cols, bool follows, bool twoPositions, QTreeWidgetItem *rowEnd)
{
    m_setup = true;
    m_ui->PARAM->clear();
    m_ui->TRANSIT_BCX->clear();
    m_ui->COLBOX->clear();
    m_ui->ROWBOX->clear();
    m_ui->MSG->clear();
    m_follows = follows;
    m_twoPositions = twoPositions;
    m_sclass = sclass;
    m_ref = ref;
    m_rowEnd = rowEnd;
    m_unlocked = false;
    // Only a small class with a definite element can become a state or a transition.
    const TreeItemData *r = model::RecordOf(sclass);
    const bool arbitrary = r && r->GetAttr(GetStrVar(RegSlot::StrAttrElement)) == ModelFile::ArbitraryCode;
    m_ui->STATE_RADIO->setVisible(!arbitrary);
    m_ui->TRANSIT_RADIO->setVisible(!arbitrary);
    m_ui->ROWBOX->addItems(rows);
    m_ui->COLBOX->addItems(cols);
    if (follows && !twoPositions)
        m_ui->MSG->setPlainText(
            m_renumberMsg.arg(rows.value(0, QStringLiteral("1")), cols.value(0, QStringLiteral("1"))));
    if (bothTwo()) {
        m_ui->ROWBOX->setCurrentIndex(0);
        m_ui->COLBOX->setCurrentIndex(0);
    }
    m_setup = false;
    const bool empty = sclass && sclass->childCount() == 0;
    m_ui->VAR_RADIO->setEnabled(true);
    m_ui->TRANSIT_RADIO->setEnabled(empty);
    m_ui->STATE_RADIO->setEnabled(empty);
    m_ui->TRANSIT_BCX->setEnabled(empty);
    if (empty)
        SetStateList();
    m_ui->VAR_RADIO->setChecked(true);
    m_ui->P_NAME->setText(tr("param name"));
    ShowStateList(false);
}

void NewParam::SetModParam(QTreeWidgetItem *sclass, QTreeWidgetItem *param)
{
    m_setup = true;
    m_sclass = sclass;
    m_ref = param;
    m_rowEnd = nullptr;
    m_ui->ROWBOX->clear();
    m_ui->COLBOX->clear();
    m_ui->MSG->clear();
    const TreeItemData *s = model::RecordOf(sclass);
    const TreeItemData *p = model::RecordOf(param);
    m_paramType = s ? s->GetAttr(GetStrVar(RegSlot::StrAttrParamType)) : QString();
    if (!s || !p) {
        m_setup = false;
        return;
    }
    if (m_paramType == QLatin1String("1") || m_paramType == QLatin1String("2")) {
        const bool state = m_paramType == QLatin1String("1");
        (state ? m_ui->STATE_RADIO : m_ui->TRANSIT_RADIO)->setChecked(true);
        ShowStateList(true);
        m_ui->TRANSIT_BCX->setEnabled(true);
        if (state)
            SetStateList();
        else
            SetTransitionStates();
        m_ui->ROWBOX->addItem(QStringLiteral("N"));
        m_ui->COLBOX->addItem(QStringLiteral("1"));
        m_ui->PARAM->setText(
            s->GetAttr(GetStrVar(state ? RegSlot::StrAttrState : RegSlot::StrAttrTransition)));
        m_ui->P_NAME->setText(state ? tr("state name") : tr("tr name"));
    } else {
        m_ui->VAR_RADIO->setChecked(true);
        ShowStateList(false);
        m_ui->ROWBOX->addItem(p->GetAttr(GetStrVar(RegSlot::StrAttrRow)));
        m_ui->COLBOX->addItem(p->GetAttr(GetStrVar(RegSlot::StrAttrCol)));
        m_ui->PARAM->setText(p->GetAttr(GetStrVar(RegSlot::StrAttrName)));
        m_ui->P_NAME->setText(tr("param name"));
    }
    for (QRadioButton *b : {m_ui->VAR_RADIO, m_ui->STATE_RADIO, m_ui->TRANSIT_RADIO})
        b->setEnabled(false);
    m_setup = false;
}

void NewParam::ShowStateList(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(m_ui->LN1), static_cast<QWidget *>(m_ui->LN2),
                       static_cast<QWidget *>(m_ui->TRANSIT), static_cast<QWidget *>(m_ui->TRANSIT_BCX)})
        w->setVisible(visible);
    m_stateListVisible = visible;
}

// Only the states of the small class's own large class are offered.
void NewParam::SetStateList()
{
    m_ui->TRANSIT_BCX->clear();
    model *m = editor();
    if (!m || !m_sclass)
        return;
    for (const StateTables::State &s : m->GetStateTable().States()) {
        const QTreeWidgetItem *item = m->FindItem(s.id);
        if (item && item->parent() == m_sclass->parent())
            m_ui->TRANSIT_BCX->addItem(s.name, s.id);
    }
}

// A transition may move to a state of any large class; its own state is found by its ID, since
// two large classes may name states alike.
void NewParam::SetTransitionStates()
{
    m_ui->TRANSIT_BCX->clear();
    model *m = editor();
    if (!m || !m_sclass)
        return;
    for (const StateTables::State &s : m->GetStateTable().States()) {
        if (m->FindItem(s.id))
            m_ui->TRANSIT_BCX->addItem(s.name, s.id);
    }
    const TreeItemData *r = model::RecordOf(m_sclass);
    const int own = m_ui->TRANSIT_BCX->findData(r ? r->GetAttr(GetStrVar(RegSlot::StrAttrState)) : QString());
    if (own >= 0)
        m_ui->TRANSIT_BCX->setCurrentIndex(own);
}

bool NewParam::bothTwo() const
{
    return m_ui->ROWBOX->count() == 2 && m_ui->COLBOX->count() == 2;
}

void NewParam::lockKinds()
{
    m_ui->VAR_RADIO->setChecked(true);
    for (QRadioButton *b : {m_ui->VAR_RADIO, m_ui->STATE_RADIO, m_ui->TRANSIT_RADIO})
        b->setEnabled(false);
    if (m_stateListVisible)
        ShowStateList(false);
    m_unlocked = false;
}

void NewParam::RowChange(const QString &val)
{
    if (m_setup || m_syncing)
        return;
    if (val == QLatin1String("N")) {
        if (m_ui->COLBOX->currentText() == QLatin1String("1") && !m_follows) {
            m_unlocked = true;
            for (QRadioButton *b : {m_ui->VAR_RADIO, m_ui->STATE_RADIO, m_ui->TRANSIT_RADIO})
                b->setEnabled(true);
            m_ui->VAR_RADIO->click();
        }
        return;
    }
    if (bothTwo()) {
        m_syncing = true;
        m_ui->COLBOX->setCurrentIndex(m_ui->ROWBOX->currentIndex());
        m_syncing = false;
        updateMessage();
    }
    if (m_unlocked)
        lockKinds();
}

void NewParam::ColChange(const QString &)
{
    if (m_setup || m_syncing || !bothTwo())
        return;
    m_syncing = true;
    m_ui->ROWBOX->setCurrentIndex(m_ui->COLBOX->currentIndex());
    m_syncing = false;
    updateMessage();
}

// Index 1 inserts at the start of the following row, whose parameters move right.
void NewParam::updateMessage()
{
    if (!m_twoPositions)
        return;
    if (m_ui->COLBOX->currentIndex() == 1)
        m_ui->MSG->appendPlainText(
            m_renumberMsg.arg(m_ui->ROWBOX->currentText(), m_ui->COLBOX->currentText()));
    else
        m_ui->MSG->clear();
}

void NewParam::VarRadioProc(bool isEnable)
{
    if (!isEnable)
        return;
    m_ui->P_NAME->setText(tr("param name"));
    ShowStateList(false);
}

void NewParam::StateRadioProc(bool)
{
    m_ui->P_NAME->setText(tr("state name"));
    SetStateList();
    ShowStateList(true);
}

void NewParam::TransitRadioProc(bool)
{
    m_ui->P_NAME->setText(tr("tr name"));
    SetStateList();
    ShowStateList(true);
}

void NewParam::OkProc()
{
    m_ui->MSG->clear();
    const QString refusal = m_mode == 0 ? AddParam() : ModParam();
    if (!refusal.isEmpty()) {
        m_ui->MSG->setPlainText(refusal);
        return;
    }
    if (model *m = editor()) {
        m->ModelChanged();
        m->IsUpdateLocked();
    }
    m_ui->MSG->clear();
    accept();
}

void NewParam::CancelProc()
{
    m_ui->MSG->clear();
    reject();
}

QString NewParam::checkTransition(const QString &name, QString *state) const
{
    if (m_ui->TRANSIT_BCX->count() == 0)
        return tr("list of State name is empty");
    *state = m_ui->TRANSIT_BCX->currentData().toString();
    const model *m = editor();
    if (m && m->GetStateTable().HasTransition(*state, name))
        return tr("transition name of State name is already registered");
    return QString();
}

QString NewParam::AddParam()
{
    const QString name = m_ui->PARAM->text();
    if (name.isEmpty())
        return tr("Parameter name is not set");
    if (m_ui->STATE_RADIO->isChecked() && m_ui->TRANSIT_BCX->findText(name) >= 0)
        return tr("State name is already registered");
    if (m_ui->TRANSIT_RADIO->isChecked()) {
        QString state;
        const QString refusal = checkTransition(name, &state);
        if (!refusal.isEmpty())
            return refusal;
    }
    return InsertParam(m_ui->ROWBOX->currentText(), m_ui->COLBOX->currentText(), name);
}

QString NewParam::InsertParam(const QString &row, const QString &col, const QString &name)
{
    auto *page = GetObj<ModelSClass>(RegSlot::ObjModelSclassPage);
    model *m = editor();
    if (!page || !m || !m_sclass)
        return tr("Parameter name is not set");
    // A transition brings its two state columns with it.
    if (!m->IdsLeft(m_ui->TRANSIT_RADIO->isChecked() ? 3 : 1))
        return model::NoIdMessage();
    if (m_ui->STATE_RADIO->isChecked())
        page->SetParamKind(1, name, QString());
    else if (m_ui->TRANSIT_RADIO->isChecked())
        page->SetParamKind(2, m_ui->TRANSIT_BCX->currentData().toString(), name);
    else
        page->SetParamKind(0, QString(), QString());
    // The refusals come before anything moves: a refused state leaves the list as it was.
    if (!page->CanAddParam(m_sclass))
        return tr("State name is already registered");
    const bool shift =
        (m_follows && !m_twoPositions) || (m_twoPositions && m_ui->COLBOX->currentIndex() == 1);
    if (shift) {
        m->RenumberRow(m_sclass, m_ref);
        page->AddParam(m_sclass, m_ref, row, col, name, false);
    } else if (m_twoPositions) {
        page->AddParam(m_sclass, m_rowEnd, row, col, name, true);
    } else {
        page->AddParam(m_sclass, m_ref, row, col, name, true);
    }
    return QString();
}

QString NewParam::ModParam()
{
    const QString name = m_ui->PARAM->text();
    model *m = editor();
    if (name.isEmpty())
        return tr("Parameter name is not set");
    if (!m)
        return QString();
    if (m_ui->STATE_RADIO->isChecked()) {
        // The list holds the state's own name too: renaming a state to itself is refused.
        if (m_ui->TRANSIT_BCX->findText(name) >= 0 || !m->RenameState(m_sclass, name))
            return tr("State name is already registered");
        return QString();
    }
    if (m_ui->TRANSIT_RADIO->isChecked()) {
        QString state;
        const QString refusal = checkTransition(name, &state);
        if (!refusal.isEmpty())
            return refusal;
        m->RenameTransition(m_sclass, name, state);
        return QString();
    }
    m->RenameParam(m_ref, name);
    return QString();
}
