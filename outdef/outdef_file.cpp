#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "outdef/outfile.h"
#include "outdef/outseq.h"
#include "outdef/outxml.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_outdef.h"
#include "workspace/workspacelayout.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

namespace
{
const QString kFileIcon = QStringLiteral(":src/Fid.png");
const QString kSeqIcon = QStringLiteral(":src/Sid.png");

QString marker(const char *kind, int n)
{
    return QString::fromLatin1(kind) + QLatin1Char('[') + QString::number(n) + QLatin1Char(']');
}
} // namespace

QString outdef::BuildOutputPath()
{
    const QString ws = DelLastSlash(GetStrVar(RegSlot::StrWorkspaceDir));
    const QStringList names = {GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion),
                               GetStrVar(RegSlot::StrOutputName), GetStrVar(RegSlot::StrOutputVersion)};
    if (ws.isEmpty())
        return QString();
    for (const QString &name : names) {
        if (!WorkspaceLayout::IsValidName(name))
            return QString();
    }
    const QString outputs = WorkspaceLayout::OutputDir(ws, names.at(0), names.at(1));
    const QString tail = names.at(2) + QLatin1Char('/') + names.at(3);
    m_relPath = QFileInfo(outputs).fileName() + QLatin1Char('/') + tail;
    return outputs + QLatin1Char('/') + tail;
}

void outdef::enterDocKind()
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    const bool instance = GetIntVar(RegSlot::IntDocKind) == 2 || GetIntVar(RegSlot::IntDocKind) == 4;
    SetIntVar(RegSlot::IntDocKind, instance ? 4 : 3);
    if (!mw)
        return;
    if (instance) {
        mw->KeepOutFileEnable(true);
        mw->SetFileActions(true, false, false, false, false, false, false, false, true);
    } else {
        mw->SetFileActions(true, true, true, false, false, false, false, false, true);
    }
    mw->UpdateHistory(GetIntVar(RegSlot::IntDocKind));
    mw->EnableFileAction(5, false);
    mw->EnableFileAction(6, false);
    if (auto *tab = GetObj<Tab>(RegSlot::ObjTab)) {
        // The argument is the tab to make current; the kind comes from the registry.
        tab->SetTabsByKind(Tab::Output);
        tab->ActivateTab(Tab::Output);
    }
}

bool outdef::NewOutputDocument(const QString &path)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    QDomDocument doc;
    QDomElement root = doc.createElement(OutXml::RootTag);
    root.setAttribute(GetStrVar(RegSlot::StrAttrName), GetStrVar(RegSlot::StrOutputName));
    root.setAttribute(GetStrVar(RegSlot::StrAttrVersion), GetStrVar(RegSlot::StrOutputVersion));
    root.setAttribute(GetStrVar(RegSlot::StrAttrUser), GetStrVar(RegSlot::StrUserName));
    root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), GetStrVar(RegSlot::StrUserEmail));
    root.setAttribute(GetStrVar(RegSlot::StrAttrStartDate),
                      QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    root.setAttribute(GetStrVar(RegSlot::StrAttrCompletionDate), QString());
    doc.appendChild(root);
    // Both callers found no file: one made meanwhile by another member is theirs.
    store->AddXmlDocFile(XmlIndex::Output, doc, path, SafeFile::Seen::Absent());
    return true;
}

QTreeWidgetItem *outdef::identItem(int markerColumn, const QString &marker, const QString &icon,
                                   int titleColumn, const QString &title, int number, TreeItemData *data)
{
    auto *item = new QTreeWidgetItem;
    item->setText(markerColumn, marker);
    item->setIcon(markerColumn, QIcon(icon));
    item->setText(titleColumn, title);
    item->setData(2, Qt::UserRole, number);
    item->setData(0, Qt::UserRole, TreeItemData::ToData(data));
    return item;
}

void outdef::ShowNames()
{
    const QList<QPair<QLineEdit *, int>> fields = {
        {m_ui->OUT_NAME, RegSlot::StrOutputName},    {m_ui->OUT_VERSION, RegSlot::StrOutputVersion},
        {m_ui->MODEL_NAME, RegSlot::StrModelName},   {m_ui->MODEL_VERSION, RegSlot::StrModelVersion},
        {m_ui->INST_NAME, RegSlot::StrInstanceName}, {m_ui->INST_VERSION, RegSlot::StrInstanceVersion}};
    for (const auto &field : fields) {
        field.first->setReadOnly(true);
        field.first->setText(GetStrVar(field.second));
    }
    const bool instance = GetIntVar(RegSlot::IntDocKind) == 2 || GetIntVar(RegSlot::IntDocKind) == 4;
    for (QWidget *w : {static_cast<QWidget *>(m_ui->SINAME), static_cast<QWidget *>(m_ui->SIVER),
                       static_cast<QWidget *>(m_ui->INST_NAME), static_cast<QWidget *>(m_ui->INST_VERSION),
                       static_cast<QWidget *>(m_ui->SLINE1), static_cast<QWidget *>(m_ui->SLINE2),
                       static_cast<QWidget *>(m_ui->SLINE3), static_cast<QWidget *>(m_ui->SLINE4)})
        w->setVisible(instance);
}

void outdef::CreateOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QString folder = BuildOutputPath();
    if (!store || folder.isEmpty() || !QDir().mkpath(folder)) {
        const QString text = QStringLiteral("tolvek workspace can not make Directory\n") + folder;
        SetStrVar(RegSlot::StrLastError, text);
        // Nothing was opened: the user must hear why rather than find an empty editor.
        UiReport::Fatal(tr("New Output"), text);
        return;
    }
    // Another member may have made this version since the dialog looked: theirs stays.
    const QString path = folder + QLatin1Char('/') + OutXml::FileName;
    if (QFileInfo::exists(path)) {
        const QString text = tr("The output definition already exists:\n%1").arg(path);
        SetStrVar(RegSlot::StrLastError, text);
        UiReport::Fatal(tr("New Output"), text);
        return;
    }
    m_newOutput = true;
    m_unreadable = false;
    ResetInfoTabs();
    m_ownerName = GetStrVar(RegSlot::StrUserName);
    m_ownerMail = GetStrVar(RegSlot::StrUserEmail);
    SetBoolVar(RegSlot::FlagOutputOwned, true);
    SetBoolVar(RegSlot::FlagOutputReadOnly, false);
    m_folder = folder;
    BuildModelTree();
    NewOutputDocument(path);
    store->SaveXmlDoc(XmlIndex::Output);
    ShowNames();
    const QDomElement root = store->GetXmlDoc(XmlIndex::Output)->documentElement();
    m_ui->SDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->CDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrCompletionDate)));
    SetEditorFont();
    enterDocKind();
    const bool states[EntryCount] = {true};
    keepOutStates(states);
    setEditorsReadOnly(false);
    m_ui->SDATEBTN->setEnabled(true);
    m_ui->CDATEBTN->setEnabled(true);
}

void outdef::OpenOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QString folder = BuildOutputPath();
    if (!store || folder.isEmpty())
        return;
    m_newOutput = false;
    m_unreadable = false;
    ResetInfoTabs();
    SetBoolVar(RegSlot::FlagBusy, true);
    m_folder = folder;
    ShowNames();
    BuildModelTree();
    store->CloseXmlDoc(XmlIndex::Output);
    const QString path = folder + QLatin1Char('/') + OutXml::FileName;
    if (!store->OpenXmlFile(XmlIndex::Output, path)) {
        // Only a missing file starts a fresh definition; one that exists but does not load was
        // reported by the store and is shown read-only, never written over.
        if (GetIntVar(RegSlot::IntLastErrorKind) == 0)
            NewOutputDocument(path);
        else
            m_unreadable = true;
    } else if (store->GetXmlDoc(XmlIndex::Output)->documentElement().tagName() != OutXml::RootTag) {
        store->CloseXmlDoc(XmlIndex::Output);
        UiReport::Error(tr("Open Output"), tr("not an output definition:%1").arg(path));
        m_unreadable = true;
    }
    ParseOutput();
    BuildScopes();
    SetEditorFont();
    // The first entry below is shown by the page's own reaction, which the busy flag would stop.
    SetBoolVar(RegSlot::FlagBusy, false);
    enterDocKind();
    if (QTreeWidgetItem *first = m_ui->FILE_TREE->topLevelItem(0)) {
        m_ui->FILE_TREE->setCurrentItem(first);
        m_lastFileItem = first;
    }
}

void outdef::ReadOwner()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Output) : nullptr;
    const QDomElement root = doc && !m_unreadable ? doc->documentElement() : QDomElement();
    m_ownerName = root.attribute(GetStrVar(RegSlot::StrAttrUser));
    m_ownerMail = root.attribute(GetStrVar(RegSlot::StrAttrEmail));
    const bool own = !m_unreadable && m_ownerMail == GetStrVar(RegSlot::StrUserEmail);
    SetBoolVar(RegSlot::FlagOutputOwned, own);
    SetBoolVar(RegSlot::FlagOutputReadOnly, !own);
    SetBoolVar(RegSlot::FlagOutputModified, false);
    const bool states[EntryCount] = {own};
    keepOutStates(states);
    setEditorsReadOnly(!own);
    // A date picked here would mark another member's definition changed.
    m_ui->SDATEBTN->setEnabled(own);
    m_ui->CDATEBTN->setEnabled(own);
}

SeqRecord *outdef::takeSeq(const OutXml::Entry &entry)
{
    auto *record = new SeqRecord;
    record->data = new TreeItemData;
    for (auto it = entry.attrs.cbegin(); it != entry.attrs.cend(); ++it)
        record->data->SetAttr(it.key(), it.value());
    const QString loop = entry.attrs.value(OutXml::Loop);
    int n = -1;
    if (OutXml::ToNumber(loop, &n) && m_modelItems.value(n)) {
        record->loop = n;
        record->loopKind = GetModelLevel(n);
    }
    const QString pLoop = entry.attrs.value(OutXml::PLoop);
    if (!pLoop.isEmpty() && pLoop != QLatin1String("-1")) {
        record->loop = -1;
        if (OutXml::ToNumber(pLoop, &n) && m_modelItems.value(n)) {
            record->loopKind = 2;
            record->pLoop = n;
        }
    }
    record->data->flags[0] = false;
    record->nested = entry.seqs;
    for (int m : entry.seqs)
        record->nestItems.append(newNestItem(m));
    record->vars = entry.models;
    for (int m : entry.models) {
        auto *item = new QTreeWidgetItem;
        item->setText(0, marker("$Var", m));
        item->setData(0, Qt::UserRole, m);
        item->setText(1, QStringLiteral("UnSet"));
        item->setText(2, loopLabel(record, m));
        record->varItems.append(item);
    }
    return record;
}

void outdef::AddNestedSeqItems(QTreeWidgetItem *parent, int number, int level, int fillMode)
{
    const SeqRecord *owner = m_seqs.value(number);
    if (!owner)
        return;
    for (int m : owner->nested) {
        SeqRecord *record = m_seqs.value(m);
        if (!record)
            continue;
        const int column = fillMode == 1 ? 1 : 0;
        QTreeWidgetItem *item =
            identItem(column, QString(level * 3, QLatin1Char(' ')) + marker("$Seq", m), kSeqIcon, column + 1,
                      record->data->GetAttr(OutXml::Title), m, record->data);
        record->item = item;
        parent->addChild(item);
        AddNestedSeqItems(item, m, level + 1, fillMode);
    }
}

void outdef::ParseOutput()
{
    ReadOwner();
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Output) : nullptr;
    if (!doc || m_unreadable)
        return;
    QDomElement root = doc->documentElement();
    m_ui->SDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrStartDate)));
    m_ui->CDATE->setText(root.attribute(GetStrVar(RegSlot::StrAttrCompletionDate)));
    QSet<int> modelIds;
    for (auto it = m_modelItems.cbegin(); it != m_modelItems.cend(); ++it) {
        if (it.value())
            modelIds.insert(it.key());
    }
    OutXml::Definition def = OutXml::Take(root, modelIds);
    // Deeper nesting than any output can use would only overflow the views that walk it.
    if (const int dropped = OutXml::Place(&def))
        UiReport::Error(tr("Open Output"),
                        tr("%1 sequence references nested deeper than %2 levels were dropped")
                            .arg(dropped)
                            .arg(OutXml::MaxDepth));
    m_kept = def.kept;
    m_seqCounter = m_seqCounterRead = def.seqCounter;
    m_fileCounter = m_fileCounterRead = def.fileCounter;
    for (auto it = def.seqs.cbegin(); it != def.seqs.cend(); ++it)
        m_seqs.insert(it.key(), takeSeq(it.value()));
    for (int n : qAsConst(def.fileOrder)) {
        const OutXml::Entry &entry = def.files[n];
        auto *record = new FileRecord;
        record->data = new TreeItemData;
        for (auto a = entry.attrs.cbegin(); a != entry.attrs.cend(); ++a)
            record->data->SetAttr(a.key(), a.value());
        record->fileType = entry.attrs.value(OutXml::FileType).toInt();
        record->vars = entry.models;
        record->seqs = entry.seqs;
        QTreeWidgetItem *item =
            identItem(0, marker("$File", n), kFileIcon, 2, entry.attrs.value(OutXml::Title), n, record->data);
        record->item = item;
        for (int s : entry.seqs) {
            SeqRecord *seq = m_seqs.value(s);
            if (!seq)
                continue;
            QTreeWidgetItem *child =
                identItem(1, marker("$Seq", s), kSeqIcon, 2, seq->data->GetAttr(OutXml::Title), s, seq->data);
            seq->item = child;
            item->addChild(child);
            AddNestedSeqItems(child, s, 1, 1);
        }
        m_files.insert(n, record);
        m_ui->FILE_TREE->addTopLevelItem(item);
    }
    for (int n : qAsConst(def.temps)) {
        SeqRecord *seq = m_seqs.value(n);
        QTreeWidgetItem *item =
            identItem(0, marker("$Seq", n), kSeqIcon, 1, seq->data->GetAttr(OutXml::Title), n, seq->data);
        seq->item = item;
        m_ui->TEMP_TREE->addTopLevelItem(item);
        AddNestedSeqItems(item, n, 1, 2);
    }
    ExpandTree(m_ui->FILE_TREE);
    ExpandTree(m_ui->TEMP_TREE);
    TreeColumnAdjustment(m_ui->FILE_TREE);
    TreeColumnAdjustment(m_ui->TEMP_TREE);
}

bool outdef::SerializeOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomElement root = store->GetXmlDoc(XmlIndex::Output)->documentElement();
    OutXml::Definition def;
    def.seqCounter = m_seqCounter;
    def.fileCounter = m_fileCounter;
    def.kept = m_kept;
    for (auto it = m_seqs.cbegin(); it != m_seqs.cend(); ++it) {
        OutXml::Entry &entry = def.seqs[it.key()];
        entry.attrs = it.value()->data->Attrs();
        entry.models = it.value()->vars;
        entry.seqs = it.value()->nested;
    }
    for (int i = 0; i < m_ui->FILE_TREE->topLevelItemCount(); ++i) {
        const int n = m_ui->FILE_TREE->topLevelItem(i)->data(2, Qt::UserRole).toInt();
        FileRecord *record = m_files.value(n);
        if (!record)
            continue;
        OutXml::Entry &entry = def.files[n];
        entry.attrs = record->data->Attrs();
        entry.models = record->vars;
        entry.seqs = record->seqs;
        def.fileOrder.append(n);
    }
    for (int i = 0; i < m_ui->TEMP_TREE->topLevelItemCount(); ++i)
        def.temps.append(m_ui->TEMP_TREE->topLevelItem(i)->data(2, Qt::UserRole).toInt());
    // The loader would leave out what nests deeper than it keeps: such a definition is not written,
    // and the file keeps what it held.
    OutXml::Definition probe = def;
    if (const int deep = OutXml::Place(&probe)) {
        UiReport::Error(
            tr("Save Output"),
            tr("%1: not saved, %2 sequences would nest deeper than %3 levels and be lost on reopen")
                .arg(m_folder + QLatin1Char('/') + OutXml::FileName)
                .arg(deep)
                .arg(OutXml::MaxDepth));
        return false;
    }
    root.setAttribute(GetStrVar(RegSlot::StrAttrStartDate), m_ui->SDATE->text());
    root.setAttribute(GetStrVar(RegSlot::StrAttrCompletionDate), m_ui->CDATE->text());
    OutXml::Append(root, def);
    reportChangedCounters(root);
    return true;
}

// A counter is written as the next free number; one that read otherwise (past the ceiling, below
// a number in use, not a number) is corrected, and the user hears of it once.
void outdef::reportChangedCounters(const QDomElement &root)
{
    QStringList lines;
    // A counter that moved because identifiers were made is the user's edit.
    const bool unused[] = {m_seqCounter == m_seqCounterRead, m_fileCounter == m_fileCounterRead};
    QString *reads[] = {&m_kept.seqMaxId, &m_kept.fileMaxId};
    for (int i = 0; i < 2; ++i) {
        const QString tag = i == 0 ? OutXml::SequenceTag : OutXml::FilesTag;
        QString *read = reads[i];
        const QString written = root.firstChildElement(tag).attribute(OutXml::MaxId);
        if (unused[i] && !read->isNull() && *read != written)
            lines << tr("%1: MaxID of %2 read \"%3\", written \"%4\"")
                         .arg(m_folder + QLatin1Char('/') + OutXml::FileName, tag, *read, written);
        *read = written;
    }
    if (!lines.isEmpty())
        UiReport::Error(tr("Save Output"), lines.join(QLatin1Char('\n')));
}

QString outdef::templatePath(int kind, int number) const
{
    return m_folder + QString::fromLatin1(kind == FileKind ? "/File_%1.txt" : "/Seq_%1.txt").arg(number);
}

QString outdef::ReadTemplate(int kind, int number)
{
    // A short settle: a template opens when its entry is clicked and must not stall the page.
    return TextFiles::Read(templatePath(kind, number), 50);
}

bool outdef::WriteTemplate(int kind, int number, TreeItemData *record)
{
    if (!record || !record->TextChanged())
        return true;
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        return mw->WriteTextFile(record, templatePath(kind, number));
    return false;
}

void outdef::StoreCurrentItem()
{
    if (m_pageMode == 2) {
        // The shown temporary sequence keeps its entry as it is, but its template text is an edit
        // like its title: the save stores it rather than report success and lose it.
        QTreeWidgetItem *temp = m_ui->TEMP_TREE->currentItem();
        if (SeqRecord *record = temp ? m_seqs.value(temp->data(2, Qt::UserRole).toInt()) : nullptr)
            storeText(record->data);
        return;
    }
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    if (m_pageMode != 1 || !cur)
        return;
    const int n = cur->data(2, Qt::UserRole).toInt();
    m_storing = true;
    if (!cur->parent()) {
        if (FileRecord *record = m_files.value(n))
            storeFile(record, false);
    } else if (SeqRecord *record = m_seqs.value(n)) {
        storeSeq(record, false);
    }
    m_storing = false;
}

void outdef::SaveOutput()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    // Another member's definition is never written, whatever was marked changed.
    if (!store || !store->HasDoc(XmlIndex::Output) || m_unreadable || !GetBoolVar(RegSlot::FlagOutputOwned))
        return;
    StoreCurrentItem();
    if (!SerializeOutput()) {
        // The editor stays marked changed: what it holds is not on disk.
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return;
    }
    // A template belongs to the entry its number names in out.xml: written only once that file
    // is, and nothing of a definition whose file the user kept unsaved.
    if (store->SaveXmlDoc(XmlIndex::Output) != 0)
        writeTemplates();
    StripDocument();
}

void outdef::writeTemplates()
{
    for (auto it = m_seqs.cbegin(); it != m_seqs.cend(); ++it)
        WriteTemplate(SeqKind, it.key(), it.value()->data);
    for (int i = 0; i < m_ui->FILE_TREE->topLevelItemCount(); ++i) {
        const int n = m_ui->FILE_TREE->topLevelItem(i)->data(2, Qt::UserRole).toInt();
        if (FileRecord *record = m_files.value(n))
            WriteTemplate(FileKind, n, record->data);
    }
}

// Between saves the records hold the definition; the document keeps only its root.
void outdef::StripDocument()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Output) : nullptr)
        OutXml::Strip(doc->documentElement());
}

void outdef::StoreTemplate()
{
    QTreeWidgetItem *cur = m_ui->FILE_TREE->currentItem();
    if (m_pageMode != 1 || !cur)
        return;
    if (TreeItemData *data = TreeItemData::FromData(cur->data(0, Qt::UserRole)))
        storeText(data);
}

void outdef::ClearOutput()
{
    m_clearing = true;
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    for (QLineEdit *field : {m_ui->INST_NAME, m_ui->INST_VERSION, m_ui->MODEL_NAME, m_ui->MODEL_VERSION,
                             m_ui->OUT_NAME, m_ui->OUT_VERSION, m_ui->SDATE, m_ui->CDATE})
        field->clear();
    m_outFile->Clear();
    m_outSeq->Clear();
    m_ui->FILE_TREE->clear();
    m_ui->TEMP_TREE->clear();
    m_ui->CURRENT_TREE->clear();
    clearModel();
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore))
        store->CloseXmlDoc(XmlIndex::Output);
    for (QStringList &list : m_markerLists)
        list.clear();
    m_markerCounts.clear();
    qDeleteAll(m_files);
    m_files.clear();
    qDeleteAll(m_seqs);
    m_seqs.clear();
    m_editor->SetEditItem(nullptr);
    m_editor->clear();
    m_editor->SetRefusal(QString());
    m_editor->ClearModified();
    m_seqCounter = m_seqCounterRead = m_fileCounter = m_fileCounterRead = 1;
    m_kept = OutXml::Kept();
    m_storing = m_prevStored = m_moveGuard = false;
    m_pageMode = 0;
    m_shownNumber = -1;
    m_lastFileItem = m_lastTempItem = nullptr;
    m_newOutput = m_unreadable = false;
    m_folder.clear();
    m_relPath.clear();
    m_ui->SET_BTN->hide();
    m_ui->UNSET_BTN->hide();
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableOutFile(false);
    SetBoolVar(RegSlot::FlagUpdating, updating);
    m_clearing = false;
}

void outdef::clearModel()
{
    m_ui->MODEL_TREE->clear();
    qDeleteAll(m_modelItems);
    m_modelItems.clear();
}

void outdef::SetRootAttribute(const QString &name, const QString &email)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Output) : nullptr;
    if (!doc || m_unreadable)
        return;
    QDomElement root = doc->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrUser), name);
    root.setAttribute(GetStrVar(RegSlot::StrAttrEmail), email);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    SetBoolVar(RegSlot::FlagOutputModified, true);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->SaveAndCloseWorkspace();
}
