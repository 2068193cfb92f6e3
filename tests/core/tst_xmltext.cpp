#include "core/xmltext.h"

#include <QDomDocument>
#include <QtTest>

// Whatever a user types, a file written through XmlText reads back whole.
class TestXmlText : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void forbidden_namesEachOnce();
};

void TestXmlText::roundTrip_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("readBack");
    const QString r(QChar(QChar::ReplacementCharacter));
    QTest::newRow("plain") << "hello"
                           << "hello";
    QTest::newRow("cdata end") << "x]]>y"
                               << "x]]>y";
    QTest::newRow("cdata ends only") << "]]>]]>"
                                     << "]]>]]>";
    QTest::newRow("brackets") << "a]]b]>"
                              << "a]]b]>";
    QTest::newRow("control") << QString("a") + QChar(0x1) + "b"
                             << "a" + r + "b";
    QTest::newRow("nul and escape") << QString(QChar(0)) + QChar(0x1b) << r + r;
    QTest::newRow("tab and newline kept") << "a\tb\nc"
                                          << "a\tb\nc";
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "z" << r + "z";
    QTest::newRow("pair kept") << QString::fromUcs4(U"\U0001F600") << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("fffe") << QString(QChar(0xFFFE)) << r;
}

void TestXmlText::roundTrip()
{
    QFETCH(QString, typed);
    QFETCH(QString, readBack);
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Root_Chat"));
    doc.appendChild(root);
    QDomElement e = doc.createElement(QStringLiteral("MSG"));
    root.appendChild(e);
    XmlText::AppendCData(doc, e, typed);
    e.setAttribute(QStringLiteral("NAME"), XmlText::Clean(typed));

    QDomDocument back;
    QString error;
    QVERIFY2(back.setContent(doc.toByteArray(4), &error), qPrintable(error));
    const QDomElement msg = back.documentElement().firstChildElement();
    QCOMPARE(XmlText::ReadCData(msg), readBack);
    QCOMPARE(msg.attribute(QStringLiteral("NAME")), readBack);
}

void TestXmlText::forbidden_namesEachOnce()
{
    const QString text = QString(QChar(0x1)) + "a" + QChar(0x1) + QChar(0x8);
    QCOMPARE(XmlText::Forbidden(text), (QStringList{"U+0001", "U+0008"}));
    QVERIFY(XmlText::ReplacedMessage(text).contains(QStringLiteral("U+0001, U+0008")));
    QVERIFY(XmlText::ReplacedMessage(QStringLiteral("fine")).isEmpty());
}

QTEST_GUILESS_MAIN(TestXmlText)
#include "tst_xmltext.moc"
