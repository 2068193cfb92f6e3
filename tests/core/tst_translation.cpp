#include "core/defvar.h"
#include "core/globalvar.h"

#include <QKeySequence>
#include <QRegularExpression>
#include <QTranslator>
#include <QtTest>

// The Japanese translation must change what users read and nothing that reaches a file: record,
// tag and attribute names, the program version, shortcuts and placeholders.
class tst_translation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void defVar_withTranslation_keepsFileNames();
    void translated_keepsPlaceholders_data();
    void translated_keepsPlaceholders();
    void shortcuts_stayUsable_data();
    void shortcuts_stayUsable();

private:
    // Slots whose values end up in workspace files, read with whatever translator is installed.
    static QStringList fileFacingSlots();
    void install();

    QTranslator m_translator;
    bool m_installed = false;
};

QStringList tst_translation::fileFacingSlots()
{
    RegistryScope reg;
    DefVar().InitVar();
    QStringList values{reg.GetStrVar(RegSlot::StrProgramVersion), reg.GetStrVar(RegSlot::StrProjectFileName)};
    for (int slot = RegSlot::StrRecRootManager; slot <= RegSlot::StrAttrInterval; ++slot)
        values << reg.GetStrVar(slot);
    return values;
}

void tst_translation::install()
{
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
    m_installed = true;
}

void tst_translation::initTestCase()
{
    QVERIFY(m_translator.load(QStringLiteral(":/Pelmorine_jp.qm")));
    QVERIFY(!m_translator.isEmpty());
}

void tst_translation::cleanup()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
    m_installed = false;
}

void tst_translation::defVar_withTranslation_keepsFileNames()
{
    const QStringList english = fileFacingSlots();
    QCOMPARE(english.size(), 2 + RegSlot::StrAttrInterval - RegSlot::StrRecRootManager + 1);
    QCOMPARE(english.first(), QStringLiteral("4.0.1"));

    install();
    QCOMPARE(fileFacingSlots(), english);

    RegistryScope reg;
    DefVar().InitVar();
    QCOMPARE(reg.GetStrVar(RegSlot::StrRecOwner), QStringLiteral("Owner"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrRecEmail), QStringLiteral("Email"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrAttrName), QStringLiteral("Name"));
    // The same words as labels are translated.
    QVERIFY(reg.GetStrVar(RegSlot::StrTabModel) != QStringLiteral("Model"));
    QVERIFY(reg.GetStrVar(RegSlot::StrLabelName) != QStringLiteral("Name"));
    QVERIFY(reg.GetStrVar(RegSlot::StrColLast) != QStringLiteral("Unset"));
    // Slot 184 is a tag name, slot 216 the column title of the same words.
    QCOMPARE(reg.GetStrVar(RegSlot::StrAttrRefScope), QStringLiteral("RefScope"));
    QVERIFY(reg.GetStrVar(RegSlot::StrColRefScope) != QStringLiteral("Ref Scope"));
    // Tabs are found by their label: the form's page titles and the registry's names must agree.
    QCOMPARE(QCoreApplication::translate("Tab", "Instance"), reg.GetStrVar(RegSlot::StrTabInstance));
    QCOMPARE(QCoreApplication::translate("Tab", "Management"), reg.GetStrVar(RegSlot::StrTabManagement));
}

void tst_translation::translated_keepsPlaceholders_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::newRow("parse error") << "xmlclass"
                                 << "filename:%1  Dom Parse:Parse error at line %2, column %3  %4";
    QTest::newRow("write error") << "MainWindow"
                                 << "can not write file:%1";
    QTest::newRow("manual index") << "Manual"
                                  << "The manual's index cannot be found: %1";
    QTest::newRow("menu accelerator") << "MainWindow"
                                      << "File(&F)";
    QTest::newRow("error code") << "OpenDefModel"
                                << "system error:MODEL001";
    // A file that cannot be read is named in the interface's language, the parser's detail after.
    QTest::newRow("file not open") << "xmlclass"
                                   << "file not open %1";
    QTest::newRow("file not exist") << "xmlclass"
                                    << "file not exist:%1";
    QTest::newRow("folder not readable") << "xmlclass"
                                         << "folder not readable:%1";
    QTest::newRow("Q&A file not open") << "DocCdata"
                                       << "file not open %1";
    QTest::newRow("nesting") << "SharedXml"
                             << "elements nested deeper than %1 levels";
    QTest::newRow("file left out") << "UiReport"
                                   << "%1 is not shown and kept as it is: %2";
    QTest::newRow("output directory refused") << "OutMenuDiag"
                                              << "output directory in %1 is not used: %2";
    QTest::newRow("wrong root") << "UiReport"
                                << "its root element is \"%1\", not \"%2\"";
}

void tst_translation::translated_keepsPlaceholders()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    install();
    const QString text = QCoreApplication::translate(context.toLatin1(), source.toLatin1());
    QVERIFY2(text != source, qPrintable(source));
    static const QRegularExpression marks(QStringLiteral("%\\d|&\\w|[A-Z]+\\d{3,}"));
    QStringList wanted;
    for (auto it = marks.globalMatch(source); it.hasNext();)
        wanted << it.next().captured();
    for (const QString &mark : qAsConst(wanted))
        QVERIFY2(text.contains(mark), qPrintable(text + QStringLiteral(" lacks ") + mark));
}

void tst_translation::shortcuts_stayUsable_data()
{
    QTest::addColumn<QString>("source");
    for (const char *key :
         {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+W", "Ctrl+Q", "Ctrl+Y", "Ctrl+C", "Ctrl+T", "Ctrl+P"})
        QTest::newRow(key) << QString::fromLatin1(key);
}

void tst_translation::shortcuts_stayUsable()
{
    QFETCH(QString, source);
    install();
    const QString text = QCoreApplication::translate("MainWindow", source.toLatin1());
    QCOMPARE(QKeySequence(text, QKeySequence::PortableText),
             QKeySequence(source, QKeySequence::PortableText));
}

QTEST_GUILESS_MAIN(tst_translation)
#include "tst_translation.moc"
