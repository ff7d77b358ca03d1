#include "exercise/value.h"

#include <QTest>

Q_DECLARE_METATYPE(Value)

class TestValue : public QObject
{
    Q_OBJECT

private slots:
    void numberText_data();
    void numberText();
    void arithmetic_data();
    void arithmetic();
    void equality_data();
    void equality();
    void negation_data();
    void negation();
};

void TestValue::numberText_data()
{
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty reads as 0") << Value() << " 0";
    QTest::newRow("zero") << Value(0) << " 0";
    QTest::newRow("positive has a sign space") << Value(3) << " 3";
    QTest::newRow("negative has its minus only") << Value(-2) << "-2";
    QTest::newRow("largest") << Value(32767) << " 32767";
}

void TestValue::numberText()
{
    QFETCH(Value, value);
    QFETCH(QString, text);
    QCOMPARE(value.numberText(), text);
}

void TestValue::arithmetic_data()
{
    QTest::addColumn<Value>("a");
    QTest::addColumn<Value>("b");
    QTest::addColumn<Value>("sum");
    QTest::addColumn<bool>("sumIsNumber");
    QTest::newRow("empty + 1") << Value() << Value(1) << Value(1) << true;
    QTest::newRow("empty + empty is the number 0") << Value() << Value() << Value(0) << true;
    QTest::newRow("numbers") << Value(2) << Value(-5) << Value(-3) << true;
    QTest::newRow("texts join") << Value("ab") << Value("c") << Value("abc") << false;
    QTest::newRow("empty + separator") << Value() << Value(" ; ") << Value(" ; ") << false;
    QTest::newRow("stays within 16 bits") << Value(32767) << Value(1) << Value(32767) << true;
}

void TestValue::arithmetic()
{
    QFETCH(Value, a);
    QFETCH(Value, b);
    QFETCH(Value, sum);
    QFETCH(bool, sumIsNumber);
    const Value result = a + b;
    QVERIFY(result == sum);
    QCOMPARE(result.isNumber(), sumIsNumber);
    QVERIFY(!result.isEmpty());
}

void TestValue::equality_data()
{
    QTest::addColumn<Value>("a");
    QTest::addColumn<Value>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("empty = 0") << Value() << Value(0) << true;
    QTest::newRow("empty = empty text") << Value() << Value("") << true;
    QTest::newRow("empty = empty") << Value() << Value() << true;
    QTest::newRow("empty != 1") << Value() << Value(1) << false;
    QTest::newRow("empty != -1") << Value() << Value(-1) << false;
    QTest::newRow("text is case-sensitive") << Value("a") << Value("A") << false;
    QTest::newRow("same text") << Value("été") << Value("été") << true;
    QTest::newRow("number is not its text") << Value(3) << Value("3") << false;
}

void TestValue::equality()
{
    QFETCH(Value, a);
    QFETCH(Value, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
}

void TestValue::negation_data()
{
    QTest::addColumn<Value>("value");
    QTest::addColumn<Value>("negated");
    QTest::newRow("-1") << Value(-1) << Value(1);
    QTest::newRow("1") << Value(1) << Value(-1);
    QTest::newRow("0") << Value(0) << Value(0);
    QTest::newRow("empty becomes 0") << Value() << Value(0);
}

void TestValue::negation()
{
    QFETCH(Value, value);
    QFETCH(Value, negated);
    const Value result = -value;
    QVERIFY(result == negated);
    QVERIFY(result.isNumber());
}

QTEST_GUILESS_MAIN(TestValue)
#include "tst_value.moc"
