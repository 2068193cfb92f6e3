#pragma once

#include "core/globalvar.h"

#include <QIcon>
#include <QObject>

// The shared icons that trees, lists and column headers use, loaded once from ":src/".
namespace SharedIcon
{
enum Id : int {
    Global,
    Local,
    None,
    EGlobal,
    Error,
    User,
    Other,
    Lclass,
    Sclass,
    Param,
    Target,
    Completion,
    Progress,
    File,
    GroupFile,
    Double,
    Variable,
    Fid,
    Sid,
    TblM,
    TblV,
    TblI,
    TblO,
    TblC,
    TblE,
    TblF,
    TblK,
    TblMail,
    TblS,
    TblT,
    TblUser,
    TblP,
    TblR,
    TblL,
    TblId,
    TblD,
    Count
};
const QIcon &Get(Id id);
QString ResourceName(Id id);
} // namespace SharedIcon

// Fills the fixed part of the string table (labels, tab names, XML tag and attribute names) and
// the shared icons. Built once by the main window's constructor and thrown away.
class DefVar final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit DefVar(QObject *parent = nullptr);
    void InitVar();

private:
    void initLabels();
    void initXmlNames();
    void initColumns();
};
