#include "model/model.h"

#include "core/decimalid.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/modeldoc.h"
#include "model/calendar.h"
#include "model/modellclass.h"
#include "model/modelsclass.h"
#include "model/newlclass.h"
#include "model/newsclass.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_model.h"
#include "workspace/workspacelayout.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabBar>

model::model(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::model), m_lclassPage(nullptr), m_sclassPage(nullptr),
      m_newLclass(nullptr), m_newSclass(nullptr), m_calendar(nullptr), m_explain(new NumEditor),
      m_popup(new QMenu(this))
{
    m_ui->setupUi(this);
    SetObj(RegSlot::ObjModel, this);
    SetObj(RegSlot::ObjModelTree, m_ui->TREE);
    m_lclassPage = new ModelLclass(this);
    m_lclassPage->SetClassTree(m_ui->TREE);
    m_sclassPage = new ModelSClass(this);
    m_ui->LCLASS->setLayout(m_lclassPage->PageLayout());
    m_ui->SCLASS->setLayout(m_sclassPage->PageLayout());

    static const char *const popupTexts[7] = {QT_TR_NOOP("Create Lclass"), QT_TR_NOOP("Create Sclass"),
                                              QT_TR_NOOP("Delete Lclass"), QT_TR_NOOP("Delete Sclass"),
                                              QT_TR_NOOP("Create Param"),  QT_TR_NOOP("Delete Param"),
                                              QT_TR_NOOP("Mod ParamName")};
    void (model::*const popupSlots[7])() = {&model::CreateLclassDiag, &model::CreateSclassDiag,
                                            &model::DeleteLclassDiag, &model::DeleteSclassDiag,
                                            &model::CreateParamDiag,  &model::DeleteParamDiag,
                                            &model::ModParamNameDiag};
    for (int i = 0; i < 7; ++i) {
        m_popupActions[i] = m_popup->addAction(tr(popupTexts[i]));
        connect(m_popupActions[i], &QAction::triggered, this, popupSlots[i]);
    }

    QTreeWidget *tree = m_ui->TREE;
    const char *const headerIcons[5] = {":src/TBL_L.png", ":src/TBL_S.png", ":src/TBL_K.png",
                                        ":src/TBL_E.png", ":src/TBL_ID.png"};
    for (int i = 0; i < 5; ++i)
        tree->headerItem()->setIcon(i, QIcon(QString::fromLatin1(headerIcons[i])));
    tree->header()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF }"));
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QTreeWidget::customContextMenuRequested, this, &model::TreePopupMenu);
    connect(tree, &QTreeWidget::currentItemChanged, this, &model::TreeChanged);
    connect(tree, &QTreeWidget::expanded, this, &model::MtreeExpanded);
    connect(tree, &QTreeWidget::collapsed, this, &model::MtreeCollapsed);
    connect(m_ui->SDATEBTN, &QPushButton::clicked, this, &model::SdateBtnProc);
    connect(m_ui->TDATEBTN, &QPushButton::clicked, this, &model::TdateBtnProc);
    connect(m_ui->CDATEBTN, &QPushButton::clicked, this, &model::CdateBtnProc);
    connect(m_ui->SDATE, &QLineEdit::textChanged, this, &model::SdateChanged);
    connect(m_ui->CDATE, &QLineEdit::textChanged, this, &model::CdateChanged);
    connect(m_ui->DTAB, &QTabWidget::currentChanged, this, &model::TabChangeProc);

    m_ui->DTAB->setTabEnabled(0, false);
    m_ui->DTAB->setTabEnabled(1, false);
    m_explain->SetKind(0);
    m_explain->SetNumber(false);
    m_ui->DTAB->addTab(m_explain, tr("explain"));
    m_ui->DTAB->setTabEnabled(2, false);
    QTabBar *bar = m_ui->DTAB->tabBar();
    bar->setStyleSheet(QStringLiteral("background-color: #666666"));
    bar->setTabTextColor(0, Qt::white);
    bar->setTabTextColor(1, Qt::gray);
    bar->setTabTextColor(2, QColor(QStringLiteral("#00dd00")));

    m_calendar = new Calendar(this);
    m_calendar->SetType(2);
    m_calendar->SetDateEdit(m_ui->SDATE, m_ui->TDATE, m_ui->CDATE);
    m_calendar->SetDateButton(m_ui->SDATEBTN, m_ui->TDATEBTN, m_ui->CDATEBTN);
    m_newLclass = new NewLclass(this);
    m_newSclass = new NewSclass(this);
    reset();
}

// The store may already be gone at the end of the program: only the rows and records go here.
model::~model()
{
    m_clearing = true;
    while (m_ui->TREE->topLevelItemCount() > 0)
        freeItem(m_ui->TREE->takeTopLevelItem(0));
    if (GetObj<model>(RegSlot::ObjModel) == this) {
        SetObj<model>(RegSlot::ObjModel, nullptr);
        SetObj<QTreeWidget>(RegSlot::ObjModelTree, nullptr);
    }
    delete m_ui;
}

void model::reset()
{
    m_nextId = 1;
    SetBoolVar(RegSlot::FlagModelReadOnly, true);
    m_completed = false;
    m_modified = true;
    m_clearing = false;
    m_newModel = false;
    m_touched = false;
    // One model's date bounds must not hold the next one.
    for (int slot : {RegSlot::StrLclassEarliestStart, RegSlot::StrLclassLatestTarget,
                     RegSlot::StrModelStartDate, RegSlot::StrModelTargetDate})
        SetStrVar(slot, QString());
}

QString model::today() const
{
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}

QString model::VersionFolder()
{
    const QString folder = WorkspaceLayout::ModelVersionDir(DelLastSlash(GetStrVar(RegSlot::StrWorkspaceDir)),
                                                            GetStrVar(RegSlot::StrModelName),
                                                            GetStrVar(RegSlot::StrModelVersion));
    SetStrVar(RegSlot::StrModelDir, folder);
    return folder;
}

// The sub-folder name comes from an element ID or a chapter; it never leaves the Reference folder.
QString model::MakeRefPath(const QString &subFolder)
{
    const QString base =
        WorkspaceLayout::ResolveSubFolder(GetStrVar(RegSlot::StrModelDir), WorkspaceLayout::ReferenceFolder) +
        QLatin1Char('/');
    if (subFolder.isEmpty() || !WorkspaceLayout::IsValidName(subFolder))
        return base;
    // Not made here: showing an item writes nothing; adding the first file makes the folder.
    return base + subFolder + QLatin1Char('/');
}

QString model::classTextPath(const QString &id) const
{
    return GetStrVar(RegSlot::StrModelDir) + QStringLiteral("/model_") + id + QStringLiteral(".txt");
}

QString model::ReadClassText(const QString &id)
{
    if (!ModelFile::IsDecimalId(id))
        return QString();
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!mw)
        return QString();
    const QString path = classTextPath(id);
    const QString text = mw->ReadTextFile(path);
    const QString refusal = TextFiles::RefusalOf(path);
    if (refusal.isEmpty())
        m_refusedClassTexts.remove(path);
    else
        m_refusedClassTexts.insert(path, refusal);
    return text;
}

QString model::ClassTextRefusal(const QString &id) const
{
    return ModelFile::IsDecimalId(id) ? m_refusedClassTexts.value(classTextPath(id)) : QString();
}

bool model::WriteClassText(const QString &id, TreeItemData *record)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    return !mw || mw->WriteTextFile(record, classTextPath(id));
}

bool model::MakeDir(const QString &path)
{
    QString error;
    if (WorkspaceLayout::MakeDir(path, &error))
        return true;
    SetStrVar(RegSlot::StrLastError, error);
    return false;
}

bool model::EnsureProjectFile(const QString &folder)
{
    QString error;
    if (WorkspaceLayout::EnsureProjectFile(folder, GetStrVar(RegSlot::StrProjectFileName), &error))
        return true;
    SetStrVar(RegSlot::StrLastError, error);
    return false;
}

bool model::CreateModelFolders()
{
    QString versionDir;
    QString error;
    if (!WorkspaceLayout::CreateModelFolders(
            GetStrVar(RegSlot::StrWorkspaceDir), GetStrVar(RegSlot::StrProjectFileName),
            GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion), &versionDir, &error)) {
        SetStrVar(RegSlot::StrLastError, error);
        return false;
    }
    SetStrVar(RegSlot::StrModelDir, versionDir);
    return true;
}

// No copy is half made: the target is never touched.
bool model::CopyModelVersion(const QString &sourceFolder, const QString &targetFolder)
{
    Q_UNUSED(sourceFolder)
    SetStrVar(RegSlot::StrLastError, tr("Copying a model version is not supported\n") + targetFolder);
    return false;
}

void model::enterDocKind()
{
    if (GetIntVar(RegSlot::IntDocKind) != 0)
        return;
    SetIntVar(RegSlot::IntDocKind, 1);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->UpdateHistory(1);
}

// A version folder that already holds any file of a version belongs to a model someone made: a
// new version is never written over it, nor given another's chapters or explanations.
bool model::CreateModelFiles(const QString &versionDir)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    const QString modelPath = versionDir + QLatin1Char('/') + ModelFile::FileName;
    QStringList taken;
    for (const QString &name : {ModelFile::FileName, ModelFile::DocFileName}) {
        if (QFileInfo::exists(versionDir + QLatin1Char('/') + name))
            taken.append(name);
    }
    taken += QDir(versionDir)
                 .entryList({QStringLiteral("model_*.txt"), QStringLiteral("Docmodel_*.txt")},
                            QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    if (!taken.isEmpty()) {
        SetStrVar(RegSlot::StrLastError, tr("%1 already exists\n").arg(taken.first()) + versionDir +
                                             QLatin1Char('/') + taken.first());
        return false;
    }
    const QString user = GetStrVar(RegSlot::StrUserName);
    const QString email = GetStrVar(RegSlot::StrUserEmail);
    const QString version = GetStrVar(RegSlot::StrModelVersion);
    const struct {
        int index;
        QDomDocument doc;
        QString path;
    } docs[] = {{XmlIndex::Model,
                 ModelFile::NewModelDocument(GetStrVar(RegSlot::StrModelName), user, email, version, today()),
                 modelPath},
                {XmlIndex::ModelDoc, ModelFile::NewModelDocDocument(user, email, version),
                 versionDir + QLatin1Char('/') + ModelFile::DocFileName}};
    for (const auto &d : docs) {
        store->AddXmlDocFile(d.index, d.doc, d.path, SafeFile::Seen::Absent());
        if (store->SaveXmlDoc(d.index) == 0) {
            SetStrVar(RegSlot::StrLastError, QStringLiteral("Can not make file\n") + d.path);
            store->CloseXmlDoc(XmlIndex::Model);
            store->CloseXmlDoc(XmlIndex::ModelDoc);
            return false;
        }
    }
    return true;
}

bool model::NewModel()
{
    CloseModel();
    if (!CreateModelFolders() || !CreateModelFiles(GetStrVar(RegSlot::StrModelDir)) || !loadTree(true))
        return false;
    m_newModel = true;
    enterDocKind();
    m_ownerName = GetStrVar(RegSlot::StrUserName);
    m_ownerEmail = GetStrVar(RegSlot::StrUserEmail);
    SetBoolVar(RegSlot::FlagModelOwned, true);
    SetBoolVar(RegSlot::FlagModelReadOnly, false);
    SetStrVar(RegSlot::StrModelStartDate, m_ui->SDATE->text());
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    showModelDoc();
    if (auto *doc = GetObj<ModelDoc>(RegSlot::ObjModelDoc))
        doc->SetEditMode();
    if (mw) {
        mw->KeepModelActions(true, false, false, false, false, false);
        mw->RestoreModelActions();
        mw->SetFileActions(true, false, false, false, false, false, false, false, true);
        mw->ResetEditActions();
    }
    SetEditorFont();
    m_explain->SetWritable(true);
    setDateButtons(true, true, false);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab)) {
        tab->SetTabsByKind(Tab::Model);
        tab->ActivateTab(Tab::Model);
    }
    return true;
}

bool model::OpenModel()
{
    const QString name = GetStrVar(RegSlot::StrModelName);
    const QString version = GetStrVar(RegSlot::StrModelVersion);
    if (!WorkspaceLayout::IsValidName(name) || !WorkspaceLayout::IsValidName(version))
        return false;
    CloseModel();
    VersionFolder();
    if (!loadTree(true))
        return false;
    m_newModel = false;
    const bool owner = GetBoolVar(RegSlot::FlagModelOwned);
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!owner) {
        setDateButtons(false, false, false);
        m_explain->SetWritable(false);
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
            timer->StatusMessage(tr("as this model is differnt owner, this is read only."));
    } else {
        // A completed model is read-only for its owner too: text typed here would never be kept.
        m_explain->SetWritable(!GetBoolVar(RegSlot::FlagModelReadOnly));
    }
    if (mw) {
        mw->EnableDocumentAction(0, owner);
        mw->EnableDocumentAction(1, owner);
        mw->EnableDocumentAction(2, false);
    }
    loadDocModel();
    showModelDoc();
    enterDocKind();
    SetEditorFont();
    if (mw) {
        if (owner && m_ui->TREE->topLevelItemCount() == 0)
            mw->KeepModelActions(true, false, false, false, false, false);
        mw->RestoreModelActions();
        mw->SetFileActions(true, true, true, false, false, true, true, false, true);
    }
    if (auto *doc = GetObj<ModelDoc>(RegSlot::ObjModelDoc))
        doc->SetEditMode();
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab)) {
        tab->SetTabsByKind(Tab::Model);
        tab->ActivateTab(Tab::Model);
    }
    return true;
}

bool model::LoadModel()
{
    CloseModel();
    VersionFolder();
    if (!loadTree(false))
        return false;
    m_newModel = false;
    loadDocModel();
    showModelDoc();
    enterDocKind();
    SetEditorFont();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->EnableFileAction(3, false);
        mw->EnableFileAction(4, false);
    }
    return true;
}

// A missing DocModel.xml gets an empty one. One that exists but does not load stays as it is:
// its stand-in has no file name, so no save can write over the file.
void model::loadDocModel()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || LoadDocModelXml())
        return;
    const bool missing = GetIntVar(RegSlot::IntLastErrorKind) == 0;
    NewDocModel();
    if (missing) {
        store->SetDocFileName(XmlIndex::ModelDoc,
                              GetStrVar(RegSlot::StrModelDir) + QLatin1Char('/') + ModelFile::DocFileName);
        // One another member makes meanwhile is theirs: the save is refused, not written over it.
        store->SetSeen(XmlIndex::ModelDoc, SafeFile::Seen::Absent());
    }
}

bool model::LoadModelXml(bool showMessage)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    store->CloseXmlDoc(XmlIndex::Model);
    return store->OpenXmlFile(XmlIndex::Model,
                              GetStrVar(RegSlot::StrModelDir) + QLatin1Char('/') + ModelFile::FileName,
                              showMessage);
}

bool model::LoadDocModelXml()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    store->CloseXmlDoc(XmlIndex::ModelDoc);
    return store->OpenXmlFile(XmlIndex::ModelDoc,
                              GetStrVar(RegSlot::StrModelDir) + QLatin1Char('/') + ModelFile::DocFileName);
}

// The stand-in has no file name: the caller gives it one only where no file is there to keep.
void model::NewDocModel()
{
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
        store->NewXmlDoc(XmlIndex::ModelDoc, ModelFile::DocRootTag);
}

// The model document fills its header, chapters and class tree from what was just loaded.
void model::showModelDoc()
{
    if (auto *doc = GetObj<ModelDoc>(RegSlot::ObjModelDoc)) {
        doc->LoadHeader();
        doc->BuildClassTree(m_ui->TREE);
    }
}

bool model::loadTree(bool showMessage)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    const QString path = GetStrVar(RegSlot::StrModelDir) + QLatin1Char('/') + ModelFile::FileName;
    if (!LoadModelXml(showMessage))
        return false;
    QDomElement root = store->GetXmlDoc(XmlIndex::Model)->documentElement();
    // Another kind of file under the name is not ours to show or to save over.
    if (root.tagName() != ModelFile::RootTag) {
        store->CloseXmlDoc(XmlIndex::Model);
        SetIntVar(RegSlot::IntLastErrorKind, 0);
        SetStrVar(RegSlot::StrLastError, tr("not a model definition:") + path);
        return false;
    }
    // Filling the header must not count as the user's edits; the dispatcher may hold the guard.
    const bool busy = GetBoolVar(RegSlot::FlagBusy);
    SetBoolVar(RegSlot::FlagBusy, true);
    m_ownerName = root.attribute(GetStrVar(RegSlot::StrAttrUser));
    m_ownerEmail = root.attribute(GetStrVar(RegSlot::StrAttrEmail));
    checkOwner();
    showHeader(root);
    BuildTree(root);
    SetBoolVar(RegSlot::FlagBusy, busy);
    return true;
}

void model::noteTextIds()
{
    m_textIds.clear();
    QStringList names;
    // The folder model.xml was just read from lists; one that does not leaves the counter as read.
    if (!DecimalId::ListFolder(GetStrVar(RegSlot::StrModelDir), &names, nullptr))
        return;
    DecimalId::NumbersInNames(names, QStringLiteral("model_"), {QStringLiteral(".txt")}, &m_textIds);
    while (m_nextId < ModelFile::NoIdLeft && m_textIds.contains(m_nextId))
        ++m_nextId;
}

void model::BuildTree(const QDomElement &root)
{
    QList<ModelFile::Node> lclasses;
    m_nextId = ModelFile::TakeTree(root, &lclasses, &m_keptRoot);
    noteTextIds();
    buildItems(lclasses);
    buildStateTables();
    {
        // Fitting the columns at each row's expansion is quadratic in the rows: once, after.
        const QSignalBlocker quiet(m_ui->TREE);
        m_ui->TREE->expandAll();
    }
    TreeColumnAdjustment(m_ui->TREE);
}

void model::checkOwner()
{
    const bool owner = m_ownerEmail == GetStrVar(RegSlot::StrUserEmail);
    SetBoolVar(RegSlot::FlagModelOwned, owner);
    SetBoolVar(RegSlot::FlagModelReadOnly, !owner);
    SetBoolVar(RegSlot::FlagModelModified, false);
    SetBoolVar(RegSlot::FlagModelDocModified, false);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        mw->KeepModelActions(owner, false, false, false, false, false);
        mw->EnableFileAction(7, false);
    }
}

void model::showHeader(const QDomElement &root)
{
    m_ui->MODELNAME->setText(root.attribute(GetStrVar(RegSlot::StrAttrName)));
    m_ui->VERSION->setText(root.attribute(GetStrVar(RegSlot::StrAttrVersion)));
    m_ui->SDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->TDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrTargetDate)));
    m_ui->CDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrCompletionDate)));
    SetStrVar(RegSlot::StrModelStartDate, m_ui->SDATE->text());
    SetStrVar(RegSlot::StrModelTargetDate, m_ui->TDATE->text());
    m_completed = !m_ui->CDATE->text().isEmpty();
    if (m_completed) {
        setDateButtons(false, false, GetBoolVar(RegSlot::FlagModelOwned));
        SetBoolVar(RegSlot::FlagModelReadOnly, true);
    }
}

// The document's file failing to be written fails the save; the touched mark then stays set, so
// the next save writes again.
bool model::SaveModel()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Model) : nullptr;
    if (!doc)
        return false;
    if (QTreeWidgetItem *current = m_ui->TREE->currentItem())
        UpdateItem(current);
    QDomElement root = doc->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrStartDate), m_ui->SDATE->text());
    root.setAttribute(GetStrVar(RegSlot::StrAttrTargetDate), m_ui->TDATE->text());
    root.setAttribute(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
    root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), QString::number(m_nextId));
    const QList<ModelFile::Node> tree = collectTree();
    const QList<QDomNode> appended = ModelFile::AppendTree(root, tree, m_keptRoot);
    bool ok = true;
    // A change that only the date dialog or the explanation editor marked reaches the file too.
    if (m_touched || GetBoolVar(RegSlot::FlagModelModified))
        ok = store->SaveXmlDoc(XmlIndex::Model) != 0;
    ModelFile::RemoveElements(appended);
    // A text belongs to the class its ID names in model.xml: written only once the file naming
    // this model's classes is, never under an ID that another program's model.xml gives to
    // another class, and nothing of a model whose file the user kept unsaved.
    std::function<void(const QList<ModelFile::Node> &)> writeTexts =
        [&](const QList<ModelFile::Node> &nodes) {
            for (const ModelFile::Node &n : nodes) {
                ok = WriteClassText(n.record->GetAttr(GetStrVar(RegSlot::StrAttrID)), n.record) && ok;
                writeTexts(n.children);
            }
        };
    if (ok)
        writeTexts(tree);
    if (!ok) {
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return false;
    }
    m_touched = false;
    m_explain->ClearModified();
    return true;
}

void model::CloseModel()
{
    m_clearing = true;
    for (QLineEdit *field : {m_ui->MODELNAME, m_ui->SDATE, m_ui->TDATE, m_ui->CDATE, m_ui->VERSION})
        field->clear();
    QTreeWidget *tree = m_ui->TREE;
    forgetRow(nullptr);
    while (tree->topLevelItemCount() > 0)
        freeItem(tree->takeTopLevelItem(0));
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
        store->CloseXmlDoc(XmlIndex::Model);
    m_lclassPage->CloseLclass();
    m_sclassPage->ClearPage();
    m_explain->SetEditItem(nullptr);
    m_explain->ClearText();
    reset();
    m_stateTables.Clear();
    m_ids.clear();
    m_keptRoot.clear();
    m_ownerName.clear();
    m_ownerEmail.clear();
    m_clearing = false;
}

void model::SetReadOnly()
{
    SetBoolVar(RegSlot::FlagModelReadOnly, true);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableModelAction(0, false);
    setDateButtons(false, false, false);
    if (m_ui->TREE->topLevelItemCount() > 0) {
        const int level = GetItemLevel(m_ui->TREE->currentItem());
        if (level == 2 || level == 3)
            m_sclassPage->SetReadOnly();
        else
            m_lclassPage->SetReadOnly();
    }
    m_explain->SetWritable(false);
}

void model::SelectFirstLclass()
{
    const bool owner = GetBoolVar(RegSlot::FlagModelOwned);
    setDateButtons(owner && !m_completed, owner && !m_completed, owner);
    if (QTreeWidgetItem *first = m_ui->TREE->topLevelItem(0))
        m_ui->TREE->setCurrentItem(first);
    else
        m_lclassPage->ClearLclass();
}

// The hand-over ends with the workspace saved and closed, so the previous owner reopens the
// model as another member's.
void model::TransferOwner(const QString &name, const QString &email)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return;
    for (int index : {XmlIndex::Model, XmlIndex::ModelDoc}) {
        if (QDomDocument *doc = store->GetXmlDoc(index)) {
            QDomElement root = doc->documentElement();
            root.setAttribute(GetStrVar(RegSlot::StrAttrUser), name);
            root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), email);
        }
    }
    m_ownerName = name;
    m_ownerEmail = email;
    m_touched = true;
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    SetBoolVar(RegSlot::FlagModelModified, true);
    SetBoolVar(RegSlot::FlagModelDocModified, true);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAndCloseWorkspace();
}

bool model::IsUpdateLocked()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return true;
    m_touched = true;
    return false;
}

void model::ModelChanged()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagModelModified))
        return;
    SetBoolVar(RegSlot::FlagModelModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableFileAction(7, true);
}

void model::SetEditorFont()
{
    for (int slot :
         {RegSlot::ObjModelLclassEditor, RegSlot::ObjModelSclassEditor1, RegSlot::ObjModelSclassEditor2,
          RegSlot::ObjModelDocEditor1, RegSlot::ObjModelDocEditor2}) {
        if (auto *editor = GetObj<NumEditor>(slot))
            editor->SetEditFont();
    }
    m_explain->SetEditFont();
}

void model::AdjustLayout()
{
    const int h = m_ui->splitter->width();
    if (h <= 0)
        return;
    m_ui->splitter->setSizes({h / 3, h - h / 3});
    if (m_ui->DTAB->currentIndex() == 0)
        m_lclassPage->AdjustLayout();
    else if (m_ui->DTAB->currentIndex() == 1)
        m_sclassPage->AdjustLayout();
}

void model::SetMenuVisible(bool addLclass, bool delLclass, bool addSclass, bool delSclass, bool addParam,
                           bool delParam)
{
    const bool states[7] = {addLclass, addSclass, delLclass, delSclass, addParam, delParam, delParam};
    for (int i = 0; i < 7; ++i)
        m_popupActions[i]->setVisible(states[i]);
}

void model::TreePopupMenu(const QPoint &point)
{
    if (!GetBoolVar(RegSlot::FlagModelOwned) || GetBoolVar(RegSlot::FlagModelReadOnly))
        return;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->PushModelActions();
    m_popup->popup(m_ui->TREE->viewport()->mapToGlobal(point));
}

void model::CreateLclassDiag()
{
    m_newLclass->InitDisplay();
    m_newLclass->show();
}

void model::CreateSclassDiag()
{
    if (!m_ui->TREE->currentItem())
        return;
    m_newSclass->InitDisplay();
    m_newSclass->show();
}
