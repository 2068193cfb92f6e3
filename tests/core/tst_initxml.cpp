#include "core/globalmutex.h"
#include "core/initxml.h"
#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "core/settingsfile.h"
#include "core/uireport.h"
#include "core/workercontrol.h"
#include "core/workerthreads.h"
#include "core/xmlclass.h"

#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

// Each case builds the objects start-up builds (store, child-user table) around a fresh init.xml
// in the test's own HOME.
class tst_initxml : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void firstStart_writesDefaultDocument();
    void noRedmineElement_emptyKeyCountsAsSet();
    void historyOfDeletedWorkspace_leavesSlotsEmpty();
    void historyOfExistingModel_fillsSlots();
    void historyNameClimbingOut_isIgnored();
    void childUsers_enterTableAndRecords();
    void twoOptionElements_appendNothing();
    void autosaveNotANumber_meansOff();
    void damagedFile_isKeptBesideDefaults();
    void workers_endOnStopAll();
    void destroy_endsEveryWorkerBeforeTheMutexesGo();
    void workerControl_slowWorker_endedBeforeItsOwnerGoesOn();
    void optionsSave_fileChangedByAnotherWindow_keepsItsOtherValues();
    void historySave_fileChangedByAnotherWindow_keepsItsOptions();
    void historySave_twoWindows_namesOnlyTheLastOpenersWorkspace_data();
    void historySave_twoWindows_namesOnlyTheLastOpenersWorkspace();
    void settingsSave_fileNoLongerParses_refusedThenWrittenOnceItReads();
    void settingsSave_fileKeepsChanging_refusedAfterThreeReads();

private:
    struct Session {
        RegistryScope reg;
        xmlclass store;
        QHash<QString, QString> children;
        initxml *settings = nullptr;
        Session()
        {
            reg.SetObj(RegSlot::ObjXmlStore, &store);
            reg.SetObj(RegSlot::ObjChildUsers, &children);
            settings = new initxml;
        }
        ~Session() { delete settings; }
        QDomDocument *doc() { return store.GetXmlDoc(XmlIndex::Settings); }
    };
    QString initPath() const { return QDir::homePath() + QStringLiteral("/.Pelmorine/init.xml"); }
    void writeInit(const QByteArray &bytes)
    {
        QDir().mkpath(QDir::homePath() + QStringLiteral("/.Pelmorine"));
        QFile f(initPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QDomDocument readInit() const
    {
        QFile f(initPath());
        QDomDocument doc;
        if (f.open(QIODevice::ReadOnly))
            doc.setContent(f.readAll());
        return doc;
    }
    QString attr(const char *tag, const char *name) const
    {
        return readInit()
            .elementsByTagName(QLatin1String(tag))
            .item(0)
            .toElement()
            .attribute(QLatin1String(name));
    }
    // What another window of the user does meanwhile: reads the file, sets a value, writes it.
    void otherWindowSets(const char *tag, const char *name, const QString &value)
    {
        QDomDocument doc = readInit();
        doc.elementsByTagName(QLatin1String(tag))
            .item(0)
            .toElement()
            .setAttribute(QLatin1String(name), value);
        writeInit(doc.toByteArray(4));
    }
    // The history as "WS TAG:NAME ...", children in file order, an unknown attribute in brackets.
    QString historyText() const
    {
        const QDomElement history = readInit().elementsByTagName("HISTORY").item(0).toElement();
        QStringList words{history.attribute("WS")};
        for (QDomElement e = history.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            words << e.tagName() + QLatin1Char(':') + e.attribute("NAME");
            const QDomNamedNodeMap attrs = e.attributes();
            for (int i = 0; i < attrs.size(); ++i) {
                const QDomAttr a = attrs.item(i).toAttr();
                if (a.name() != QLatin1String("NAME") && a.name() != QLatin1String("VERSION"))
                    words.last() += QStringLiteral("[%1=%2]").arg(a.name(), a.value());
            }
        }
        return words.join(QLatin1Char(' '));
    }
    // This window's edit of the font size as the Options dialog makes it.
    static SettingsFile::Change fontSize(const QDomDocument &shownDoc, const QString &size)
    {
        const OptionValues shown = OptionsModel::Read(shownDoc);
        OptionValues typed = shown;
        typed.fontSize = size;
        return [shown, typed](QDomDocument &doc) {
            OptionsModel::WriteTyped(doc, shown, typed);
            return true;
        };
    }
};

const char *const kSettings = "<Init Name='me' Email='me@x'><CHILD/><OPTION><FONT Name='Mono' size='16'/>"
                              "<AUTOSAVE interval='0'/></OPTION><REFERENCE/><HISTORY/></Init>";

void tst_initxml::init()
{
    QDir(QDir::homePath() + QStringLiteral("/.Pelmorine")).removeRecursively();
}

void tst_initxml::firstStart_writesDefaultDocument()
{
    PlatformStore::Write(QStringLiteral("name"), QStringLiteral("Hana"));
    PlatformStore::Write(QStringLiteral("addr"), QStringLiteral("hana@example.org"));
    Session s;
    QVERIFY(s.settings->OpenInit());
    QFile f(initPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Init "));
    QDomDocument doc;
    QVERIFY(doc.setContent(bytes));
    const QDomElement init = doc.documentElement();
    QCOMPARE(init.attribute("Name"), QStringLiteral("Hana"));
    QStringList order;
    for (QDomElement e = init.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        order << e.tagName();
    QCOMPARE(order, QStringList({"CHILD", "OPTION", "REFERENCE", "HISTORY", "Redmine", "MAIL"}));
    QCOMPARE(doc.elementsByTagName("FONT").item(0).toElement().attribute("size"), QStringLiteral("16"));
    QCOMPARE(doc.elementsByTagName("FONT").item(0).toElement().attribute("Name"),
             QStringLiteral("Meiryo UI"));
    QCOMPARE(doc.elementsByTagName("PORT").item(0).toElement().attribute("Value"), QStringLiteral("587"));
    QCOMPARE(doc.elementsByTagName("SECURITY").item(0).toElement().attribute("Value"), QStringLiteral("1"));
    QCOMPARE(doc.elementsByTagName("Authentication").item(0).toElement().attribute("ApiKey"),
             QStringLiteral("0"));
    QCOMPARE(doc.elementsByTagName("Description").item(0).toElement().attribute("Max"),
             QStringLiteral("65535"));
    QCOMPARE(doc.elementsByTagName("ADDRESS").item(0).toElement().attribute("Value"),
             QStringLiteral("hana@example.org"));
    QVERIFY(bytes.contains("\n    <CHILD/>\n"));

    QCOMPARE(s.reg.GetStrVar(RegSlot::StrMailPort), QStringLiteral("587"));
    QVERIFY(!s.reg.GetBoolVar(RegSlot::FlagRedmineActive));
    QVERIFY(!s.reg.GetBoolVar(RegSlot::FlagRedmineKeySet));
    QCOMPARE(s.reg.GetIntVar(RegSlot::IntDescriptionMax), 65535);
    QCOMPARE(s.settings->AutoSaveMinutes(), 0);
    QVERIFY(s.settings->DamagedCopy().isEmpty());
    QVERIFY(s.reg.GetObj<GlobalMutex>(RegSlot::ObjGlobalMutex));
}

void tst_initxml::noRedmineElement_emptyKeyCountsAsSet()
{
    writeInit("<Init Name='a' Email='a@x'><OPTION><FONT Name='Mono' size='11'/></OPTION></Init>");
    Session s;
    s.reg.SetStrVar(RegSlot::StrFontName, QStringLiteral("Meiryo UI"));
    QVERIFY(s.settings->OpenInit());
    QVERIFY(s.reg.GetBoolVar(RegSlot::FlagRedmineKeySet));
    QVERIFY(!s.reg.GetBoolVar(RegSlot::FlagRedmineActive));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrFontName), QStringLiteral("Mono"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrFontSize), QStringLiteral("11"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrAutoSaveMinutes), QStringLiteral("0"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrUserName), QStringLiteral("a"));
    // Appended sections stay in memory only.
    QCOMPARE(s.doc()->elementsByTagName("Redmine").size(), 1);
    QCOMPARE(s.doc()->elementsByTagName("AUTOSAVE").size(), 1);
    QCOMPARE(s.doc()->elementsByTagName("MAIL").size(), 1);
    QFile f(initPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(!f.readAll().contains("Redmine"));
}

void tst_initxml::historyOfDeletedWorkspace_leavesSlotsEmpty()
{
    writeInit("<Init><HISTORY WS='/no/such/ws.ws/'><MODEL NAME='M' VERSION='0.0.1'/>"
              "<INSTANCE NAME='I' VERSION='0.0.1'/><OUTPUT NAME='O' VERSION='0.0.1'/></HISTORY></Init>");
    Session s;
    s.reg.SetStrVar(RegSlot::StrModelName, QStringLiteral("stale"));
    QVERIFY(s.settings->OpenInit());
    for (int slot : {15, 21, 22, 23, 24, 26, 27})
        QVERIFY2(s.reg.GetStrVar(slot).isEmpty(), qPrintable(QString::number(slot)));
}

void tst_initxml::historyOfExistingModel_fillsSlots()
{
    QTemporaryDir ws;
    QDir(ws.path()).mkpath(QStringLiteral("pelmorine.def/M/0.0.1"));
    writeInit(QStringLiteral("<Init><HISTORY WS='%1/'><MODEL NAME='M' VERSION='0.0.1'/>"
                             "<OUTPUT NAME='O' VERSION='0.0.9'/></HISTORY></Init>")
                  .arg(ws.path())
                  .toUtf8());
    Session s;
    QVERIFY(s.settings->OpenInit());
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrWorkspaceDir), ws.path());
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrModelName), QStringLiteral("M"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrModelVersion), QStringLiteral("0.0.1"));
    QVERIFY(s.reg.GetStrVar(RegSlot::StrOutputName).isEmpty());
}

void tst_initxml::historyNameClimbingOut_isIgnored()
{
    QTemporaryDir ws;
    QDir(ws.path()).mkpath(QStringLiteral("pelmorine.def/M/0.0.1"));
    QDir(ws.path()).mkpath(QStringLiteral("elsewhere/0.0.1"));
    writeInit(QStringLiteral("<Init><HISTORY WS='%1'><MODEL NAME='../elsewhere' VERSION='0.0.1'/>"
                             "<INSTANCE NAME='M' VERSION='0.0.1/../0.0.1'/></HISTORY></Init>")
                  .arg(ws.path())
                  .toUtf8());
    Session s;
    QVERIFY(s.settings->OpenInit());
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrWorkspaceDir), ws.path());
    for (int slot : {RegSlot::StrModelName, RegSlot::StrModelVersion, RegSlot::StrInstanceName,
                     RegSlot::StrInstanceVersion})
        QVERIFY2(s.reg.GetStrVar(slot).isEmpty(), qPrintable(QString::number(slot)));
}

void tst_initxml::childUsers_enterTableAndRecords()
{
    writeInit("<Init Name='me' Email='me@x' RedmineID='7' FirstName='F' LastName='L'><CHILD>"
              "<ChildUser Name='kid' Email='kid@x' Proc_Email='proc@x' RedmineID=''/>"
              "<ChildUser Name='kid' Email='kid2@x' RedmineID='9' FirstName='K' LastName='D'/>"
              "</CHILD></Init>");
    Session s;
    QVERIFY(s.settings->OpenInit());
    QCOMPARE(s.children.value("kid"), QStringLiteral("kid2@x"));
    QCOMPARE(s.settings->GetProcEmail("kid@x"), QStringLiteral("proc@x"));
    QCOMPARE(s.settings->GetProcEmail("kid2@x"), QString());
    const auto &records = s.settings->UserRecords();
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(0).first, QStringLiteral("me@x"));
    QCOMPARE(records.at(1).first, QStringLiteral("kid2@x"));
    QCOMPARE(records.at(1).second->redmineId, QStringLiteral("9"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrRedmineUserId), QStringLiteral("7"));
}

void tst_initxml::twoOptionElements_appendNothing()
{
    writeInit("<Init><OPTION/><OPTION/></Init>");
    Session s;
    QVERIFY(s.settings->OpenInit());
    QCOMPARE(s.doc()->elementsByTagName("AUTOSAVE").size(), 0);
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrAutoSaveMinutes), QStringLiteral("0"));
}

void tst_initxml::autosaveNotANumber_meansOff()
{
    writeInit(
        "<Init><OPTION><AUTOSAVE interval='x'/></OPTION><Redmine><Description Max='abc'/></Redmine></Init>");
    Session s;
    QVERIFY(s.settings->OpenInit());
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrAutoSaveMinutes), QStringLiteral("x"));
    QCOMPARE(s.settings->AutoSaveMinutes(), 0);
    QCOMPARE(s.reg.GetIntVar(RegSlot::IntDescriptionMax), 65535);
}

void tst_initxml::damagedFile_isKeptBesideDefaults()
{
    const QByteArray damaged = "<Init Name='me'><CHILD><ChildUser Name='kid' Email='k@x'/></CHI";
    writeInit(damaged);
    Session s;
    QVERIFY(s.settings->OpenInit());
    const QString copy = s.settings->DamagedCopy();
    QVERIFY(copy.startsWith(initPath() + QStringLiteral(".damaged-")));
    QFile kept(copy);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), damaged);
    QDomDocument fresh;
    QFile f(initPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(fresh.setContent(&f));
    QCOMPARE(fresh.documentElement().tagName(), QStringLiteral("Init"));
}

void tst_initxml::workers_endOnStopAll()
{
    Session s;
    QVERIFY(s.settings->OpenInit());
    QCOMPARE(WorkerThreads::Count(), 2);
    QCOMPARE(WorkerThreads::StopAll(60000), 0);
    QCOMPARE(WorkerThreads::Count(), 0);
}

// Another owner's worker (the chat worker belongs to the member manager) may outlive the settings
// object; it must not be left taking a mutex that was freed.
void tst_initxml::destroy_endsEveryWorkerBeforeTheMutexesGo()
{
    Session s;
    QVERIFY(s.settings->OpenInit());
    QAtomicInt taken;
    QThread *other = QThread::create([&taken] {
        while (!QThread::currentThread()->isInterruptionRequested()) {
            MutexHold hold(MutexNo::Chat);
            taken.fetchAndAddOrdered(1);
            QThread::msleep(1);
        }
    });
    const auto stop = qScopeGuard([other] {
        other->requestInterruption();
        other->wait();
        delete other;
    });
    WorkerThreads::Track(other);
    other->start();
    QTRY_VERIFY_WITH_TIMEOUT(taken.loadAcquire() > 0, 60000);
    delete s.settings;
    s.settings = nullptr;
    QVERIFY(other->isFinished());
    QVERIFY(!s.reg.GetObj<GlobalMutex>(RegSlot::ObjGlobalMutex));
    QCOMPARE(WorkerThreads::Count(), 0);
    // After the settings object, a mutex hold (a manager closing late) takes no freed mutex.
    {
        MutexHold late(MutexNo::Members);
    }
}

void tst_initxml::optionsSave_fileChangedByAnotherWindow_keepsItsOtherValues()
{
    writeInit(kSettings);
    Session s;
    QVERIFY(s.settings->OpenInit());
    UiReport::ClearLast();
    const QPair<QString, QString> rounds[] = {{QStringLiteral("12"), QStringLiteral("5")},
                                              {QStringLiteral("14"), QStringLiteral("10")}};
    for (const auto &round : rounds) {
        const QDomDocument shown = s.doc()->cloneNode().toDocument();
        otherWindowSets("FONT", "size", QStringLiteral("20"));
        otherWindowSets("AUTOSAVE", "interval", round.second);
        QVERIFY(SettingsFile::Save(&s.store, fontSize(shown, round.first)));
        QCOMPARE(UiReport::LastText(), QString());
        QCOMPARE(attr("FONT", "size"), round.first);
        QCOMPARE(attr("AUTOSAVE", "interval"), round.second);
        // The tracker section a start makes in memory goes in with the first write, as it did.
        QCOMPARE(attr("Description", "Max"), QStringLiteral("65535"));
    }
}

// The other window opened a workspace and changed the font; this one opens another.
void tst_initxml::historySave_fileChangedByAnotherWindow_keepsItsOptions()
{
    writeInit(kSettings);
    Session s;
    QVERIFY(s.settings->OpenInit());
    UiReport::ClearLast();
    otherWindowSets("HISTORY", "WS", QStringLiteral("/a/one.ws"));
    otherWindowSets("FONT", "size", QStringLiteral("20"));
    const QList<initxml::HistoryEntry> entries{
        {QStringLiteral("MODEL"), QStringLiteral("M"), QStringLiteral("0.0.1")}};
    QVERIFY(SettingsFile::Save(&s.store, [entries](QDomDocument &doc) {
        return initxml::SetHistory(doc, QStringLiteral("/b/two.ws"), entries);
    }));
    QCOMPARE(UiReport::LastText(), QString());
    QCOMPARE(attr("HISTORY", "WS"), QStringLiteral("/b/two.ws"));
    QCOMPARE(attr("MODEL", "NAME"), QStringLiteral("M"));
    QCOMPARE(attr("FONT", "size"), QStringLiteral("20"));
}

// Each step is "window workspace TAG:NAME ...", the entries a window's open of one definition
// gives, written as the window writes its history; windows A and B hold their own store.
void tst_initxml::historySave_twoWindows_namesOnlyTheLastOpenersWorkspace_data()
{
    QTest::addColumn<QString>("history");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("other workspace's instance goes")
        << "<HISTORY/>"
        << QStringList{"A /a/one.ws MODEL:M1", "B /b/two.ws MODEL:M2", "B /b/two.ws MODEL:M2 INSTANCE:I2",
                       "A /a/one.ws MODEL:M1 OUTPUT:O1"}
        << "/a/one.ws MODEL:M1 OUTPUT:O1";
    QTest::newRow("own earlier instance comes back")
        << "<HISTORY/>"
        << QStringList{"A /a/one.ws MODEL:M1 INSTANCE:I1", "B /b/two.ws MODEL:M2 INSTANCE:I2",
                       "A /a/one.ws MODEL:M1 OUTPUT:O1"}
        << "/a/one.ws MODEL:M1 INSTANCE:I1 OUTPUT:O1";
    QTest::newRow("same workspace keeps the other's instance")
        << "<HISTORY/>"
        << QStringList{"A /a/one.ws MODEL:M1", "B /a/one.ws/ MODEL:M1 INSTANCE:I2",
                       "A /a/one.ws MODEL:M1 OUTPUT:O1"}
        << "/a/one.ws MODEL:M1 INSTANCE:I2 OUTPUT:O1";
    QTest::newRow("window moves on, its set starts over")
        << "<HISTORY/>" << QStringList{"A /a/one.ws MODEL:M1 INSTANCE:I1", "A /b/two.ws MODEL:M2"}
        << "/b/two.ws MODEL:M2";
    QTest::newRow("unknown content stays, a second entry goes")
        << "<HISTORY WS='/b/two.ws'><MODEL NAME='M2' VERSION='1' tip='t'/><NOTE/>"
           "<INSTANCE NAME='I2' VERSION='1'/><MODEL NAME='M3' VERSION='1'/></HISTORY>"
        << QStringList{"A /a/one.ws MODEL:M1"} << "/a/one.ws MODEL:M1[tip=t] NOTE:";
}

void tst_initxml::historySave_twoWindows_namesOnlyTheLastOpenersWorkspace()
{
    QFETCH(QString, history);
    QFETCH(QStringList, steps);
    writeInit(QByteArray(kSettings).replace("<HISTORY/>", history.toUtf8()));
    Session s;
    QVERIFY(s.settings->OpenInit());
    xmlclass other;
    QVERIFY(other.OpenXmlFile(XmlIndex::Settings, initPath()));
    xmlclass *stores[] = {&s.store, &other};
    initxml::WindowHistory sets[2];
    UiReport::ClearLast();
    const auto write = [&](const QString &step) {
        QStringList words = step.split(QLatin1Char(' '));
        const int window = words.takeFirst() == QLatin1String("B");
        QList<initxml::HistoryEntry> entries;
        for (const QString &word : words.mid(1))
            entries.append(
                {word.section(QLatin1Char(':'), 0, 0), word.section(QLatin1Char(':'), 1), "0.0.1"});
        sets[window].Open(words.first(), entries);
        const QString ws = sets[window].Workspace();
        const QList<initxml::HistoryEntry> set = sets[window].Entries();
        return SettingsFile::Save(stores[window],
                                  [ws, set](QDomDocument &doc) { return initxml::SetHistory(doc, ws, set); });
    };
    for (const QString &step : qAsConst(steps))
        QVERIFY2(write(step), qPrintable(step));
    QCOMPARE(UiReport::LastText(), QString());
    QTEST(historyText(), "expected");
}

void tst_initxml::settingsSave_fileNoLongerParses_refusedThenWrittenOnceItReads()
{
    writeInit(kSettings);
    Session s;
    QVERIFY(s.settings->OpenInit());
    UiReport::ClearLast();
    s.reg.SetBoolVar(RegSlot::FlagWriteFailed, false);
    const QByteArray half = "<Init Name='me'><OPTION><FONT size='20'/>";
    writeInit(half);
    QVERIFY(!SettingsFile::Save(&s.store, fontSize(*s.doc(), QStringLiteral("12"))));
    QVERIFY2(UiReport::LastText().contains(initPath()), qPrintable(UiReport::LastText()));
    QVERIFY(UiReport::LastText().contains(QLatin1String("kept")));
    QVERIFY(s.reg.GetBoolVar(RegSlot::FlagWriteFailed));
    QFile f(initPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), half);
    QCOMPARE(s.doc()->elementsByTagName("FONT").item(0).toElement().attribute("size"), QStringLiteral("12"));

    // The other window writes the file whole again; the next save of any kind brings the edit.
    writeInit(QByteArray(kSettings).replace("interval='0'", "interval='5'"));
    UiReport::ClearLast();
    QVERIFY(SettingsFile::Save(&s.store, [](QDomDocument &doc) {
        return initxml::SetHistory(doc, QStringLiteral("/b/two.ws"), {});
    }));
    QCOMPARE(UiReport::LastText(), QString());
    QCOMPARE(attr("FONT", "size"), QStringLiteral("12"));
    QCOMPARE(attr("AUTOSAVE", "interval"), QStringLiteral("5"));
    QCOMPARE(attr("HISTORY", "WS"), QStringLiteral("/b/two.ws"));
}

// Another program that writes the file each time this one reads it: the merge gives up, and says so.
void tst_initxml::settingsSave_fileKeepsChanging_refusedAfterThreeReads()
{
    writeInit(kSettings);
    Session s;
    QVERIFY(s.settings->OpenInit());
    UiReport::ClearLast();
    int applied = 0;
    QVERIFY(!SettingsFile::Save(&s.store, [this, &applied](QDomDocument &doc) {
        otherWindowSets("AUTOSAVE", "interval", QString::number(++applied));
        doc.elementsByTagName("FONT").item(0).toElement().setAttribute("size", "12");
        return true;
    }));
    QCOMPARE(applied, 4);
    QVERIFY2(UiReport::LastText().contains(initPath()), qPrintable(UiReport::LastText()));
    QCOMPARE(attr("AUTOSAVE", "interval"), QStringLiteral("4"));
    QCOMPARE(attr("FONT", "size"), QStringLiteral("16"));
}

QTEST_GUILESS_MAIN(tst_initxml)
namespace
{
// A worker that takes longer to finish than a quiet machine would: a busy one, or a sanitizer.
struct SlowControl : WorkerControl {
    explicit SlowControl(const std::shared_ptr<std::atomic<bool>> &ended)
    {
        auto *worker = new QObject;
        startWorker(worker);
        QMetaObject::invokeMethod(
            worker,
            [ended] {
                QThread::msleep(4000);
                *ended = true;
            },
            Qt::QueuedConnection);
    }
};
} // namespace

// A worker left running after a few seconds went on using what its owner freed next: the chat
// worker's semaphores, on a busy machine. Only the exit path gives a thread up.
void tst_initxml::workerControl_slowWorker_endedBeforeItsOwnerGoesOn()
{
    const auto ended = std::make_shared<std::atomic<bool>>(false);
    auto *control = new SlowControl(ended);
    QTest::qWait(100);
    delete control;
    QVERIFY(ended->load());
}

#include "tst_initxml.moc"
