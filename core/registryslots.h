#pragma once

// The one place where registry slot numbers, posted-message codes and XML store indexes are
// spelled out. Everything else in the program says the name.

namespace RegSize
{
enum : int { Objects = 105, Strings = 235, Integers = 26, Flags = 38 };
}

namespace RegSlot
{
enum : int {
    // ---- object slots (writer -> main readers) ----
    ObjTitleDialog = 0,         // MainWindow -> startup destroys it
    ObjXmlStore = 2,            // MainWindow -> nearly everyone
    ObjSettings = 3,            // CheckTimer on code 100 -> OptionDiag, QandA, manager
    ObjCurrentEditor = 4,       // NumEditor when it gets focus -> MainWindow Edit actions
    ObjModelLclassEditor = 6,   // ModelLclass -> model (fonts)
    ObjModelSclassEditor1 = 7,  // ModelSClass -> model
    ObjModelSclassEditor2 = 8,  // ModelSClass -> model
    ObjModelDocEditor1 = 9,     // ModelDoc -> model
    ObjModelDocEditor2 = 10,    // ModelDoc -> model
    ObjInstLclassEditor = 11,   // InstanceLclass -> deftab (fonts)
    ObjInstSclassEditor1 = 12,  // InstanceSclass -> deftab
    ObjInstSclassEditor2 = 13,  // InstanceSclass -> deftab
    ObjQandAEditor = 14,        // QandA -> deftab
    ObjInstDocEditor1 = 15,     // InstanceDocument -> deftab
    ObjInstDocEditor2 = 16,     // InstanceDocument -> deftab
    ObjMainHash = 21,           // MainWindow -> nobody
    ObjChildUsers = 22,         // MainWindow (initxml fills) -> manager: child user name -> address
    ObjMemberTable = 23,        // manager -> instance, schedule, question, chat, mail components
    ObjMemberList = 24,         // manager -> QandA
    ObjCheckTimer = 26,         // MainWindow -> every poster of message codes
    ObjMainWindow = 30,         // MainWindow -> nearly everyone
    ObjUndo = 31,               // MainWindow -> nobody
    ObjTab = 38,                // Tab -> editors, main window, dispatcher
    ObjTabWidget = 39,          // Tab -> MainWindow
    ObjInstancePage = 40,       // Tab -> nobody
    ObjManagementPage = 47,     // Tab -> nobody
    ObjInstanceLayout = 48,     // deftab -> Tab
    ObjDeftab = 49,             // Tab -> instance panes, views, main window
    ObjInstanceDocument = 50,   // InstanceDocument -> chapter dialogs, main window, deftab
    ObjNewDefModel = 51,        // NewDefModel -> CheckTimer
    ObjModel = 52,              // model -> model pages, calendar, main window
    ObjModelTree = 54,          // model -> ModelLclass
    ObjModelLclassForm = 57,    // ModelLclass -> model
    ObjModelSclassForm = 58,    // ModelSClass -> model
    ObjModelLclassPage = 59,    // ModelLclass -> model, calendar, delete dialogs
    ObjModelSclassPage = 60,    // ModelSClass -> model, calendar, dialogs
    ObjModelDoc = 62,           // ModelDoc -> chapter dialogs, model pages, main window
    ObjOutdef = 63,             // outdef -> output sub-editors, output run, main window
    ObjManager = 65,            // Tab -> most components
    ObjManagerLayout = 66,      // manager -> Tab
    ObjStatusWidget = 74,       // Tab -> deftab, main window
    ObjSchedule = 75,           // Tab -> ScheduleBar, deftab, main window
    ObjScheduleBarOwner = 76,   // Schedule -> ScheduleBar
    ObjQandA = 78,              // Tab -> deftab, calendar, record store, main window
    ObjQandAUserDialog = 83,    // QandA -> its addressee dialog
    ObjManualWindow = 79,       // MainWindow (emptied when deleted) -> Tab
    ObjStartPage = 80,          // MainWindow (emptied when deleted) -> MainWindow
    ObjScheduleRefresh = 82,    // Schedule -> CheckTimer
    ObjErrorMsg = 85,           // ErrorMsg -> OptionDiag
    ObjAddGroup = 86,           // AddGroup -> CheckTimer
    ObjNwRedmine = 87,          // MainWindow -> Redmine pages, OptProject, AddGroup, CheckTimer
    ObjRUsers = 88,             // OptionDiag -> OptProject, AddGroup, CheckTimer
    ObjOptProject = 89,         // OptProject -> CheckTimer
    ObjRedmineProject = 90,     // RedmineProject -> CheckTimer
    ObjRedmineRefProject = 91,  // RedmineRefProject -> CheckTimer
    ObjRedmineIssue = 92,       // RedmineIssue -> CheckTimer
    ObjRedmineUpdateIssue = 93, // RedmineUpdateIssue -> CheckTimer
    ObjRedmineWindow = 94,      // Redmine -> CheckTimer, pages
    ObjGlobalMutex = 95,        // initxml -> chat window, chat worker, manager
    ObjFileCheckControl = 96,   // initxml -> CheckTimer
    ObjSmtpClient = 97,         // MainWindow -> nobody (the mail worker builds its own)
    ObjSmtpControl = 98,        // initxml -> MemberMail, QandA
    ObjChatControl = 99,        // manager -> nobody
    ObjStatusWindow = 100,      // MemberMail, QandA as StatusWindow -> CheckTimer (status mode 1)
    ObjChat = 101,              // Chat -> CheckTimer, chat worker
    ObjChatRequestSem = 102,    // SemaphoreControl -> chat window, chat worker, manager
    ObjChatWakeSem = 103,       // SemaphoreControl -> chat window, chat worker, manager
    ObjChatChangedItem = 104,   // Chat: the table cell the last modify or response changed

    // ---- string slots ----
    StrSettingsFile = 1,     // initxml -> initxml: full path of init.xml
    StrAppDir = 2,           // MainWindow -> nobody
    StrLastError = 3,        // xmlclass and editors -> CreateInstance, outdef
    StrUserName = 9,         // MainWindow, initxml -> mail, instance, member, model, output
    StrUserEmail = 10,       // MainWindow, initxml -> member, chat, model, output, Options
    StrProgramVersion = 12,  // DefVar
    StrHistorySpare1 = 14,   // initxml clears it
    StrWorkspaceDir = 15,    // New/Open dialogs, MainWindow, initxml -> nearly everyone
    StrProjectFileName = 16, // DefVar -> New/Open dialogs, model
    StrHistorySpare2 = 17,   // initxml clears it
    StrInstanceDir = 20,     // MainWindow, New/Open instance -> instance, docs, qa, chat, mail
    StrInstanceName = 21,    // New/Open instance, initxml -> instance, member, question, mail
    StrInstanceVersion = 22, //
    StrOutputName = 23,      // NewOut, OpenOut, initxml -> outdef, main window
    StrOutputVersion = 24,   //
    StrModelDir = 25,        // MainWindow, New/Open instance, model -> model, ModelDoc, output run
    StrModelName = 26,       // New/Open dialogs, MainWindow, initxml -> most components
    StrModelVersion = 27,    //
    StrNewLclassFirst = 28,  // NewLclass -> model: name of the large class to add
    StrNewSclassName = 29,   // NewSclass -> model: name of the small class to add
    StrNewClassElement = 30, // NewLclass, NewSclass -> model: element of the class to add
    StrRefFileFolder = 32,   // reference and class panes: last folder of a reference dialog
    StrLabelArbitary = 36,   // DefVar: choice labels 36-44
    StrLabelEditable = 37,
    StrLabelTemporary = 38,
    StrLabelNone = 39,
    StrLabelGlobal = 40,
    StrLabelLocal = 41,
    StrLabelYes = 42,
    StrLabelNo = 43,
    StrLabelSettingDisable = 44,
    StrFontName = 46,      // MainWindow, OptionDiag, initxml -> NumEditor, ErrorMsg, OptionDiag
    StrFontSize = 47,      //
    StrTabManagement = 52, // DefVar: tab names 52-62
    StrTabModel = 53,
    StrTabInstance = 54,
    StrTabOutput = 56,
    StrTabState = 57,
    StrTabSchedule = 58,
    StrTabQandA = 59,
    StrTabTree = 60,
    StrTabDocument = 61,
    StrTabManual = 62,
    StrLabelName = 64, // DefVar: other labels 64-66
    StrLabelLocation = 65,
    StrLabelRef = 66,
    StrDateFirst = 84,           // model, ModelLclass, Calendar: date texts 84-89
    StrLclassEarliestStart = 84, // model -> ModelLclass, Calendar: earliest large-class start date
    StrLclassLatestTarget = 85,  // ModelLclass -> Calendar: latest large-class target date
    StrModelStartDate = 87,      // model -> Calendar
    StrModelTargetDate = 88,     // model -> Calendar
    StrMailServer = 96,          // initxml, OptionDiag -> mail worker
    StrMailPort = 97,
    StrMailSecurity = 98,
    StrMailAuth = 99,
    StrMailAddress = 100,   // also read by manager
    StrMailPassword = 101,  // platform store -> OptionDiag, mail worker
    StrMailIsSend = 102,    // "1" sends notification mails -> DocCdata, QandA
    StrMailIsConnect = 103, // -> MemberMail
    StrRedmineUrl = 104,    // initxml, OptProject -> NwRedmine, OptProject
    StrRedmineKey = 105,    // platform store -> NwRedmine, OptProject
    StrFirstName = 106,     // initxml, OptionDiag, OptProject -> OptProject
    StrLastName = 107,
    StrRedmineUserId = 108,
    StrRedmineLogin = 109,    // RedmineLogin -> NwRedmine, OptProject
    StrRedminePassword = 110, //
    StrAutoSaveMinutes = 111, // initxml, OptionDiag -> OptionDiag

    // Workspace record names (translated, 112-127)
    StrRecRootManager = 112,
    StrRecProject = 113,
    StrRecModelDef = 114,
    StrRecOutputDef = 115,
    StrRecOwner = 116,
    StrRecEmail = 117,
    StrRecSummary = 118,
    StrRecSrcLocation = 119,
    StrRecInstanceLocation = 120,
    StrRecSrcLocation2 = 121,
    StrRecRD = 122,
    StrRecUM = 123,
    StrRecDM = 124,
    StrRecHistory = 125,
    StrRecDevelopmentVersion = 126,
    StrRecVersion = 127,

    // XML attribute and tag names (never translated, 128-204)
    StrAttrSize = 128,
    StrAttrUser = 129,
    StrAttrEmail = 130,
    StrAttrVersion = 131,
    StrAttrName = 132,
    StrAttrElement = 133,
    StrAttrStartDate = 134,
    StrAttrTargetDate = 135,
    StrAttrCompletionDate = 136,
    StrAttrModifyDate = 137,
    StrAttrRow = 138,
    StrAttrCol = 139,
    StrAttrRRow = 140,
    StrAttrRCol = 141,
    StrAttrExpression = 142,
    StrAttrMaxID = 143,
    StrAttrID = 144,
    StrAttrMID = 145,
    StrAttrInstID = 146,
    StrAttrNo = 147,
    StrAttrDir = 148,
    StrAttrAnything = 149,
    StrAttrXpos = 150,
    StrAttrYpos = 151,
    StrAttrProgressRate = 152,
    StrAttrEstimatedHours = 153,
    StrAttrIndex = 154,
    StrAttrFromID = 155,
    StrAttrFromUser = 156,
    StrAttrOwner = 157,
    StrAttrOwnerID = 158,
    StrTagLClass = 159,
    StrTagLElement = 160,
    StrTagSClass = 161,
    StrTagSElement = 162,
    StrTagParam = 163,
    StrAttrValue = 164,
    StrAttrFileName = 165,
    StrAttrFileType = 166,
    StrAttrMaxIndex = 167,
    StrAttrType = 168,
    StrTagTitle = 169,
    StrTagUrl = 170,
    StrTagText = 171,
    StrTagExp = 172,
    StrTagOutVar = 173,
    StrAttrQuestID = 174,
    StrTagLoop = 175,
    StrTagPLoop = 176,
    StrAttrLoopType = 177,
    StrAttrLoopPr = 178,
    StrAttrLoopEndType = 179,
    StrAttrIsModel = 180,
    StrAttrArbitary = 181,
    StrAttrDefinition = 182,
    StrAttrReference = 183,
    StrAttrRefScope = 184,
    StrAttrState = 185,
    StrAttrStateScope = 186,
    StrAttrTransition = 187,
    StrAttrTransitionName = 188,
    StrAttrFromState = 189,
    StrAttrToState = 190,
    StrAttrMaxParam = 191,
    StrAttrScope = 192,
    StrAttrRefID = 193,
    StrMarkerDollar = 194,
    StrTagSmtpServer = 195,
    StrTagPort = 196,
    StrTagSecurity = 197,
    StrTagAuth = 198,
    StrTagAddress = 199,
    StrTagPwd = 200,
    StrAttrParamType = 201,
    StrAttrParamState = 202,
    StrAttrParamTransit = 203,
    StrAttrInterval = 204,

    // Column titles and labels (translated, 205-234)
    StrColFirst = 205,
    StrColOutVariable = 209, // "OutVariable", the output-variable row of the large-class page
    StrColRefScope = 216,    // "Ref Scope", the column title beside the tag name of 184
    StrColFromState = 224,   // labels of a transition's second and third parameters
    StrColToState = 225,
    StrColLast = 234,
    StrColUnset = 234, // the translated "Unset" of untied chapters and class rows

    // ---- integer slots ----
    IntQandAMode = 1,      // DefVar sets -1 -> QandA
    IntManualDisplay1 = 2, // nobody writes -> Manual
    IntManualDisplay2 = 3,
    IntManualDisplay3 = 6,
    IntDocKind = 9,           // 0 none, 1 model, 2 instance, 3 output, 4 instance+output
    IntLastErrorKind = 12,    // 0 missing, 1 not openable, 2 not parsable
    IntRedmineProjectId = 22, // manager, Redmine pages -> NwRedmine
    IntDescriptionMax = 23,   // initxml, OptProject -> MainWindow, OptProject
    IntRedmineLinkType = 24,  // manager -> RedmineProject
    IntStatusMode = 25,       // 1: status messages go to object slot 100

    // ---- flag slots ----
    FlagRedmineActive = 1,     // initxml, OptProject
    FlagStartPageUp = 2,       // MainWindow
    FlagSaveNeeded = 3,        // every editor; MainWindow clears
    FlagUpdating = 4,          // set while a component fills its own widgets
    FlagModelOwned = 5,        // model
    FlagModelReadOnly = 6,     // model, MainWindow
    FlagModelModified = 7,     // model, Calendar, outdef, MainWindow
    FlagMemberModified = 8,    // manager, MainWindow
    FlagIsManager = 9,         // manager
    FlagInstanceModified = 11, // deftab, MainWindow
    FlagOutputOwned = 13,      // outdef
    FlagOutputReadOnly = 14,   // outdef: the open definition is another member's
    FlagOutputModified = 15,   // outdef, MainWindow
    FlagModelCopyMode = 16,    // nothing sets it
    FlagQandAModified = 17,    // QandA, manager, MainWindow
    FlagModelDocModified = 18, // ModelDoc, model, MainWindow
    FlagInstDocModified = 19,  // InstanceDocument, MainWindow
    FlagBusy = 21,             // CheckTimer, MainWindow, editors
    FlagScheduleBars = 23,     // ScheduleBar
    FlagRedmineKeySet = 25,    // initxml, OptProject -> NwRedmine
    FlagRedmineLink = 26,      // manager, RedmineProject
    FlagMailSent = 27,         // SmtpControl -> MemberMail
    FlagWriteFailed = 28,      // any failed write; MainWindow clears
    FlagChatFirstLoad = 29,    // chat worker requests 29-37
    FlagChatRequest30 = 30,    // manager clears it with the other requests -> nobody
    FlagChatTick = 31,
    FlagChatSend = 32,
    FlagChatWindowRequest = 33,
    FlagChatResponse = 34,
    FlagChatStop = 35,
    FlagChatRememberPos = 36,
    FlagChatRefresh = 37,
};
}

// Codes posted to CheckTimer::PostMessage.
namespace MsgCode
{
enum : int {
    First = 100,
    PmInit = 100,       // main window constructor: establish the settings
    NewManager = 101,   // new instance created
    NewWorkspace = 102, // new workspace created
    NewModel = 103,     // new model definition
    AddLclass = 104,    // new large class dialog
    AddSclass = 105,    // new small class dialog
    OpenModel = 106,    // open model definition
    OpenManager = 107,  // open instance
    NewOutput = 108,    // new output definition
    OpenOutput = 109,   // open output definition
    SaveFlag = 115,     // an editor changed data: enable save (bypasses the queue)
    RedmineFirst = 119, // issue-tracker replies 119-149: the request kind
    RedmineTrackers = 119,
    RedmineTrackerStatus = 120,
    RedmineUsers = 121,
    RedmineGroupUsers = 122,
    RedmineGroups = 123,
    RedmineMemberships = 124,
    RedmineIssueStatuses = 125,
    RedmineVersions = 126,
    RedmineCategories = 127,
    RedminePriorities = 128,
    RedmineProjects = 129,
    RedmineProjectDetail = 130,
    RedmineProjectCreated = 131,
    RedmineProjectUpdated = 132,
    RedmineProjectReread = 133,
    RedmineCategoryCreated = 134,
    RedmineCategoryUpdated = 135,
    RedmineCategoryDeleted = 136,
    RedmineVersionCreated = 137,
    RedmineVersionUpdated = 138,
    RedmineVersionDeleted = 139,
    RedmineMembershipCreated = 140,
    RedmineMembershipUpdated = 141,
    RedmineMembershipDeleted = 142,
    RedmineTestConnection = 143,
    RedmineIssuesPage = 144,
    RedmineIssuesUpdatePage = 145,
    RedmineIssueCreated = 146,
    RedmineIssueUpdated = 147,
    RedmineIssueDeleted = 148,
    RedmineIssueReread = 149,
    RedmineLast = 149,
    IssueSelectInstance = 150, // issue pages: bring the Instance tab forward
    IssueCheckChanged = 151,   // issue-update page
    FileCheckResult = 153,     // file-check controller after each check
    ChatShowLastPos = 154,     // chat window
    ChatQueueResponse = 155,   // chat window
    Last = 155,
};
}

// Request origins the tracker client keeps for the connection-test and groups replies.
namespace RedmineOrigin
{
enum : int {
    UrlCheck = 0,
    GroupDialog = 1,
    OptionsUsers = 2,
    ProjectRef = 3,
    ProjectLoad = 7,
    ProjectLoad2 = 8,
    LoginTest = 9
};
}

// Document indexes of the XML store.
namespace XmlIndex
{
enum : int {
    Settings = 0,
    Manager = 10000,     // manager.xml; 10000 + n member n's manager_<n>.xml
    TrackedLow1 = 10000, // [10000, 20000) and [50000, 79999] get their file times recorded
    TrackedHigh1 = 20000,
    Model = 30000,
    ModelDoc = 30001,
    Output = 40000,
    // Output-run selections of member n: 2n + 0 definition, 2n + 1 reference. A range of their own,
    // above every other index, so that no member number reaches an instance document.
    OutRunSelection = 100000000,
    Instance = 50000, // + n
    TrackedLow2 = 50000,
    Question = 60000, // + n
    Answer = 70000,   // + n
    TrackedHigh2 = 79999,
    InstanceDoc = 80000,
    ManualIndex = 90000,
    RedmineFirst = 91000, // 91000-91010 tracker replies
    RedmineLast = 91010,
};
}

// Mutex numbers of GlobalMutex.
namespace MutexNo
{
enum : int { Members = 0, Chat = 1, Spare = 2 };
}
