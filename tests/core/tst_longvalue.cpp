#include "core/longvalue.h"

#include <QDomDocument>
#include <QtTest>

class tst_longvalue : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void check_encodings_data();
    void check_encodings();
};

void tst_longvalue::check_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("apart");
    QTest::addColumn<QString>("refused"); // the attribute named, empty when taken
    QTest::addColumn<int>("line");
    const int max = LongValue::MaxChars;
    const QByteArray at(max, 'A');
    const QByteArray past(max + 1, 'A');
    QTest::newRow("at the bound") << "<R a='x'><C Name=\"" + at + "\"/></R>" << QByteArray() << QString()
                                  << 0;
    QTest::newRow("one past") << "<R ID=\"1\"\n  Name=\"" + past + "\"/>" << QByteArray() << "Name" << 2;
    QTest::newRow("past, single quotes") << "<R T = '" + past + "'/>" << QByteArray() << "T" << 1;
    // Characters are counted, not bytes: a reference is one, and so is a letter of two bytes.
    QTest::newRow("two-byte letters")
        << "<R N=\"" + QString(max, QChar(0xE9)).toUtf8() + "\"/>" << QByteArray() << QString() << 0;
    QTest::newRow("references") << "<R N=\"" + QByteArray("&amp;").repeated(max) + "\"/>" << QByteArray()
                                << QString() << 0;
    QTest::newRow("markup characters in a value before")
        << "<R a=\"x>y='z'\" b='\"' Name=\"" + past + "\"/>" << QByteArray() << "Name" << 1;
    // Messages and notes are texts, not values.
    QTest::newRow("long texts") << "<R><![CDATA[" + past + "\"]]><!--" + past + "--><T>" + past + "</T></R>"
                                << QByteArray() << QString() << 0;
    QTest::newRow("judged apart") << "<R><USER Name=\"" + past + "\"/></R>" << QByteArray("USER") << QString()
                                  << 0;
    QTest::newRow("apart is one name")
        << "<R><USERS Name=\"" + past + "\"/></R>" << QByteArray("USER") << "Name" << 1;
    const QString utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<R Name=\"" + QString(past) + "\"/>";
    QTest::newRow("UTF-16") << "\xFF\xFE" +
                                   QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
                            << QByteArray() << "Name" << 2;
    QTest::newRow("a DOCTYPE") << "<!DOCTYPE R>\n<R Name=\"" + past + "\"/>" << QByteArray() << "Name" << 2;
}

void tst_longvalue::check()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, apart);
    QFETCH(QString, refused);
    QFETCH(int, line);
    QDomDocument doc;
    QVERIFY2(doc.setContent(bytes), "the parser takes every case");
    QString message;
    int l = 0;
    int column = 0;
    QCOMPARE(LongValue::Check(bytes, &message, &l, &column, apart), refused.isEmpty());
    if (!refused.isEmpty()) {
        QVERIFY2(message.startsWith("the value of " + refused + " holds 4097 characters"),
                 qPrintable(message));
        QCOMPARE(l, line);
    }
}

// Values are counted in the characters the parser reads: in UTF-7 a quote need not be the byte '"',
// and in ISO-8859-1 the sign 0xA9 is a character of its own, which read as UTF-8 it is not. A
// document the parser would not read in the encoding it declares has no values to take.
void tst_longvalue::check_encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("said"); // in the message, empty when taken
    QTest::addColumn<int>("line");
    const int max = LongValue::MaxChars;
    const QByteArray past(max + 1, 'A');
    QTest::newRow("UTF-7, quotes spelled")
        << "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n<R Name=+ACI-" + past + "+ACI-/>"
        << "UTF-7" << 1;
    QString utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<R Name=\"" + QString(past) + "\"/>";
    QByteArray be("\xFE\xFF");
    for (const QChar c : utf16)
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    QTest::newRow("UTF-16BE, one past") << be << "the value of Name holds 4097" << 2;
    const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<R Name=\"";
    QTest::newRow("ISO-8859-1, at the bound") << latin1 + QByteArray(max, '\xA9') + "\"/>" << QString() << 0;
    QTest::newRow("ISO-8859-1, one past") << latin1 + QByteArray(max + 1, '\xA9') + "\"/>"
                                          << "the value of Name holds 4097" << 2;
    QTest::newRow("UTF-8 mark, one past") << "\xEF\xBB\xBF<R\nName=\"" + past + "\"/>"
                                          << "the value of Name holds 4097" << 2;
    QTest::newRow("not UTF-8") << QByteArray("<R>\n<C Name=\"\x93\xFA\"/></R>") << "not valid UTF-8" << 2;
}

void tst_longvalue::check_encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, said);
    QFETCH(int, line);
    QString message;
    int l = 0;
    int column = 0;
    QCOMPARE(LongValue::Check(bytes, &message, &l, &column), said.isEmpty());
    if (!said.isEmpty()) {
        QVERIFY2(message.contains(said), qPrintable(message));
        QCOMPARE(l, line);
    }
}

QTEST_MAIN(tst_longvalue)
#include "tst_longvalue.moc"
