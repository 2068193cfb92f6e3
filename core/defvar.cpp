#include "core/defvar.h"

#include <QFile>

namespace
{
QIcon g_icons[SharedIcon::Count];

const char *const kIconFiles[SharedIcon::Count] = {
    "global",   "local",  "none",       "eglobal",  "Error", "user",      "other",  "lclass",   "sclass",
    "param",    "target", "completion", "progress", "file",  "groupfile", "double", "variable", "Fid",
    "Sid",      "TBL_M",  "TBL_V",      "TBL_I",    "TBL_O", "TBL_C",     "TBL_E",  "TBL_F",    "TBL_K",
    "TBL_MAIL", "TBL_S",  "TBL_T",      "TBL_USER", "TBL_P", "TBL_R",     "TBL_L",  "TBL_ID",   "TBL_D"};

void setRange(globalvar &reg, int first, std::initializer_list<const char *> values)
{
    int slot = first;
    for (const char *v : values)
        reg.SetStrVar(slot++, QString::fromLatin1(v));
}
} // namespace

const QIcon &SharedIcon::Get(Id id)
{
    return g_icons[id];
}

QString SharedIcon::ResourceName(Id id)
{
    return QStringLiteral(":src/%1.png").arg(QLatin1String(kIconFiles[id]));
}

DefVar::DefVar(QObject *parent) : QObject(parent) {}

void DefVar::InitVar()
{
    initLabels();
    initXmlNames();
    initColumns();
    SetIntVar(RegSlot::IntQandAMode, -1);
    for (int i = 0; i < SharedIcon::Count; ++i) {
        const QString name = SharedIcon::ResourceName(SharedIcon::Id(i));
        // A missing resource leaves the icon empty rather than a broken placeholder.
        g_icons[i] = QFile::exists(name) ? QIcon(name) : QIcon();
    }
}

void DefVar::initLabels()
{
    SetStrVar(RegSlot::StrProgramVersion, tr("4.0.1"));
    SetStrVar(RegSlot::StrProjectFileName, QStringLiteral("pelmorine.prj"));

    SetStrVar(RegSlot::StrLabelArbitary, tr("--Arbitary--"));
    SetStrVar(RegSlot::StrLabelEditable, tr("--Editable--"));
    SetStrVar(RegSlot::StrLabelTemporary, tr("--Temporary--"));
    SetStrVar(RegSlot::StrLabelNone, tr("--None--"));
    SetStrVar(RegSlot::StrLabelGlobal, tr("--Global--"));
    SetStrVar(RegSlot::StrLabelLocal, tr("--Local--"));
    SetStrVar(RegSlot::StrLabelYes, tr("--Yes--"));
    SetStrVar(RegSlot::StrLabelNo, tr("--No--"));
    SetStrVar(RegSlot::StrLabelSettingDisable, tr("--Setting Disable--"));

    SetStrVar(RegSlot::StrTabManagement, tr("Management"));
    SetStrVar(RegSlot::StrTabModel, tr("Model"));
    SetStrVar(RegSlot::StrTabInstance, tr("Instance"));
    SetStrVar(RegSlot::StrTabOutput, tr("Output"));
    SetStrVar(RegSlot::StrTabState, tr("State"));
    SetStrVar(RegSlot::StrTabSchedule, tr("Schedule"));
    SetStrVar(RegSlot::StrTabQandA, tr("QandA"));
    SetStrVar(RegSlot::StrTabTree, tr("Tree"));
    SetStrVar(RegSlot::StrTabDocument, tr("Document"));
    SetStrVar(RegSlot::StrTabManual, tr("Manual"));

    SetStrVar(RegSlot::StrLabelName, tr("Name"));
    SetStrVar(RegSlot::StrLabelLocation, tr("Location"));
    SetStrVar(RegSlot::StrLabelRef, tr("Ref"));
}

void DefVar::initXmlNames()
{
    // Record names pass through the translator by tradition, but they are written into shared
    // files: the translation keeps them identical.
    SetStrVar(RegSlot::StrRecRootManager, tr("RootManager"));
    SetStrVar(RegSlot::StrRecProject, tr("PROJECT"));
    SetStrVar(RegSlot::StrRecModelDef, tr("ModelDef"));
    SetStrVar(RegSlot::StrRecOutputDef, tr("OutputDef"));
    SetStrVar(RegSlot::StrRecOwner, tr("Owner"));
    SetStrVar(RegSlot::StrRecEmail, tr("Email"));
    SetStrVar(RegSlot::StrRecSummary, tr("SUMMARY"));
    SetStrVar(RegSlot::StrRecSrcLocation, tr("SrcLocation"));
    SetStrVar(RegSlot::StrRecInstanceLocation, tr("InstanceLocation"));
    SetStrVar(RegSlot::StrRecSrcLocation2, tr("SrcLocation"));
    SetStrVar(RegSlot::StrRecRD, tr("RD"));
    SetStrVar(RegSlot::StrRecUM, tr("UM"));
    SetStrVar(RegSlot::StrRecDM, tr("DM"));
    SetStrVar(RegSlot::StrRecHistory, tr("HISTORY"));
    SetStrVar(RegSlot::StrRecDevelopmentVersion, tr("DEVELOPMENT_VERSION"));
    SetStrVar(RegSlot::StrRecVersion, tr("VERSION"));

    setRange(*this, 128,
             {"size", "User", "Email", "Version", "Name", "Element", "StartDate", "TargetDate",
              "CompletionDate", "ModifyDate"});
    setRange(*this, 138, {"Row", "Col", "RRow", "RCol", "Expression", "MaxID", "ID", "MID", "InstID", "No"});
    setRange(*this, 148,
             {"DIR", "++Anything++", "Xpos", "Ypos", "ProgressRate", "EstimatedHours", "Index", "FromID",
              "FromUser", "Owner"});
    setRange(*this, 158,
             {"OwnerID", "LClass", "LElement", "SClass", "SElement", "Param", "Value", "FileName",
              "FILE_TYPE", "MaxIndex", "Type"});
    setRange(*this, 169, {"TITLE", "URL", "TEXT", "EXP", "OutVar", "QuestID"});
    setRange(*this, 175, {"LOOP", "P_LOOP", "LOOP_TYPE", "LOOP_PR", "LOOP_END_TYPE", "IS_MODEL", "ARBITARY"});
    setRange(*this, 182,
             {"Definition", "Reference", "Ref Scope", "State", "State Scope", "Transition", "TransitionName",
              "FromState", "ToState", "MaxParam", "SCOPE", "RefID", "[$$]"});
    SetStrVar(RegSlot::StrAttrRefScope, QStringLiteral("RefScope"));
    setRange(*this, 195, {"SMTPSERVER", "PORT", "SECURITY", "AUTH", "ADDRESS", "PWD"});
    setRange(*this, 201, {"Param_type", "Param_state", "Param_transit", "interval"});
}

void DefVar::initColumns()
{
    const QString titles[] = {tr("Scope"),
                              tr("GLOBAL"),
                              tr("LOCAL"),
                              tr("NONE"),
                              tr("OutVariable"),
                              tr("Max Param"),
                              tr("Model Definition"),
                              tr("Instance Definition"),
                              tr("Reference"),
                              tr("Model RefName"),
                              tr("Instance RefName"),
                              tr("Ref Scope"),
                              tr("Ref Row"),
                              tr("Ref Col"),
                              tr("State"),
                              tr("Model State"),
                              tr("Inst State"),
                              tr("State Scope"),
                              tr("Transition"),
                              tr("From State"),
                              tr("To State"),
                              tr("State Xpos"),
                              tr("State Ypos"),
                              tr("Yes"),
                              tr("No"),
                              tr("Row"),
                              tr("Col"),
                              tr("Progress Rate(%)"),
                              tr("estimated hours"),
                              tr("Unset")};
    int slot = RegSlot::StrColFirst;
    for (const QString &t : titles)
        SetStrVar(slot++, t);
}
