#include "checkbox/verification.h"

#include <QTest>

Q_DECLARE_METATYPE(Value)

namespace {

// The state start-up leaves: boxes 1 to 3 unticked, set 0 of five items.
CheckBoxState startUpState()
{
    CheckBoxState state;
    for (int box = 1; box <= 3; ++box)
        state.checkState[box] = -1;
    state.setItemCount[0] = 5;
    return state;
}

} // namespace

class TestVerification : public QObject
{
    Q_OBJECT

private slots:
    void untouchedStartUpSet();
    void judgingTable_data();
    void judgingTable();
    void passedSet_data();
    void passedSet();
    void notesKeepItemOrder();
    void totalsRunAcrossSets();
    void toggling_data();
    void toggling();
    void setsOutsideTheModelAreRefused();
};

void TestVerification::untouchedStartUpSet()
{
    CheckBoxState state = startUpState();
    const std::optional<Verification> result = verifyCurrentSet(state);
    QVERIFY(result);
    QCOMPARE(result->hits, 0);
    QCOMPARE(result->misses, 3);
    QVERIFY(!result->passed);
    QCOMPARE(state.missNotes[0].text(), QStringLiteral(" ;  ;  ; "));
    QVERIFY(state.errorNotes[0].isEmpty());
    QCOMPARE(state.totalHits.number(), 0);
    QCOMPARE(state.totalMisses.number(), 3);
    QCOMPARE(result->hitsCaption, QStringLiteral("réussites= 0"));
    QCOMPARE(result->missesCaption, QStringLiteral("Oublis et erreurs= 3"));
    QCOMPARE(result->picturePath, QStringLiteral("c:\\vbtxt\\color2.bmp"));
    QCOMPARE(result->title, QStringLiteral("On peut observer:"));
    QCOMPARE(result->message,
             QStringLiteral("On reverra... 0  réponse(s) exacte(s)  et   3 erreur(s) \n\n"));
    QVERIFY(state.setPassed[0].isEmpty());
    QCOMPARE(state.currentSet.number(), 0); // moving on is the caller's, after the message
}

void TestVerification::judgingTable_data()
{
    QTest::addColumn<Value>("tick");
    QTest::addColumn<Value>("expected");
    QTest::addColumn<int>("hits");
    QTest::addColumn<QString>("errorNotes");
    QTest::addColumn<QString>("missNotes");

    QTest::newRow("ticked, must be ticked: hit") << Value(1) << Value(1) << 1 << "" << "";
    QTest::newRow("unticked, must be unticked: nothing") << Value(-1) << Value(-1) << 0 << "" << "";
    QTest::newRow("ticked, must be unticked: error") << Value(1) << Value(-1) << 0 << " ; A" << "";
    QTest::newRow("unticked, must be ticked: miss") << Value(-1) << Value(1) << 0 << "" << " ; A";
    QTest::newRow("empty box equals empty expectation") << Value() << Value() << 0 << "" << "";
    QTest::newRow("box stuck at 0 is never ticked") << Value(0) << Value(1) << 0 << "" << " ; A";
    QTest::newRow("box stuck at 0 misses -1 too") << Value(0) << Value(-1) << 0 << "" << " ; A";
    QTest::newRow("ticked, nothing expected: error") << Value(1) << Value() << 0 << " ; A" << "";
}

void TestVerification::judgingTable()
{
    QFETCH(Value, tick);
    QFETCH(Value, expected);
    QFETCH(int, hits);
    QFETCH(QString, errorNotes);
    QFETCH(QString, missNotes);

    CheckBoxState state;
    state.checkState[0] = tick;
    state.setItemCount[0] = 1;
    state.expectedCheck[0][0] = expected;
    state.itemText[0][0] = "A";

    const std::optional<Verification> result = verifyCurrentSet(state);
    QVERIFY(result);
    QCOMPARE(result->hits, hits);
    const int misses = errorNotes.isEmpty() && missNotes.isEmpty() ? 0 : 1;
    QCOMPARE(result->misses, misses);
    QCOMPARE(result->passed, misses == 0);
    QCOMPARE(state.errorNotes[0].text(), errorNotes);
    QCOMPARE(state.missNotes[0].text(), missNotes);
}

void TestVerification::passedSet_data()
{
    QTest::addColumn<Value>("itemCount");
    QTest::addColumn<int>("ticked");
    QTest::addColumn<QString>("message");

    QTest::newRow("no items") << Value(0) << 0 << "BRAVO  0 réponse(s) exacte(s) ";
    QTest::newRow("count never set") << Value() << 0 << "BRAVO  0 réponse(s) exacte(s) ";
    QTest::newRow("three ticks met") << Value(4) << 3 << "BRAVO  3 réponse(s) exacte(s) ";
}

void TestVerification::passedSet()
{
    QFETCH(Value, itemCount);
    QFETCH(int, ticked);
    QFETCH(QString, message);

    CheckBoxState state;
    state.setItemCount[0] = itemCount;
    for (int item = 0; item < itemCount.number(); ++item) {
        const bool tick = item < ticked;
        state.checkState[item] = tick ? 1 : -1;
        state.expectedCheck[0][item] = tick ? 1 : -1;
    }
    const std::optional<Verification> result = verifyCurrentSet(state);
    QVERIFY(result);
    QVERIFY(result->passed);
    QCOMPARE(result->message, message);
    QCOMPARE(result->title, QStringLiteral("Je constate:"));
    QCOMPARE(result->picturePath, QStringLiteral("c:\\vbtxt\\face2.bmp"));
    QVERIFY(state.setPassed[0] == 1);
    QCOMPARE(state.passedSetCount.number(), 1);
    QCOMPARE(state.totalHits.number(), ticked);
}

void TestVerification::notesKeepItemOrder()
{
    CheckBoxState state;
    QVERIFY(state.supplySet(0, {{{"A", true}, {"B", true}, {"C", false}}, "Relis la consigne."}));
    state.checkState[2] = 1; // C ticked although it must not be
    const std::optional<Verification> result = verifyCurrentSet(state);
    QVERIFY(result);
    QCOMPARE(state.missNotes[0].text(), QStringLiteral(" ; A ; B"));
    QCOMPARE(state.errorNotes[0].text(), QStringLiteral(" ; C"));
    QCOMPARE(result->misses, 3);
    QVERIFY(result->message.endsWith(QStringLiteral(" erreur(s) \n\nRelis la consigne.")));
}

void TestVerification::totalsRunAcrossSets()
{
    CheckBoxState state;
    QVERIFY(state.supplySet(0, {{{"A", true}}, {}}));
    QVERIFY(state.supplySet(1, {{{"B", true}, {"C", true}}, {}}));
    state.checkState[0] = 1;
    state.checkState[1] = -1;
    verifyCurrentSet(state);
    state.currentSet = state.currentSet + 1;
    const std::optional<Verification> second = verifyCurrentSet(state);
    QVERIFY(second);
    // The message counts this set; the captions the running totals.
    QCOMPARE(second->hits, 1);
    QCOMPARE(second->misses, 1);
    QCOMPARE(second->hitsCaption, QStringLiteral("réussites= 2"));
    QCOMPARE(second->missesCaption, QStringLiteral("Oublis et erreurs= 1"));
}

void TestVerification::toggling_data()
{
    QTest::addColumn<Value>("start");
    QTest::addColumn<QList<int>>("afterEachClick");
    QTest::newRow("unticked box alternates") << Value(-1) << QList<int>{1, -1, 1};
    QTest::newRow("box starting empty stays 0") << Value() << QList<int>{0, 0, 0};
}

void TestVerification::toggling()
{
    QFETCH(Value, start);
    QFETCH(QList<int>, afterEachClick);
    CheckBoxState state;
    state.checkState[4] = start;
    for (const int expected : afterEachClick) {
        state.toggle(4);
        QVERIFY(state.checkState[4].isNumber());
        QCOMPARE(state.checkState[4].number(), expected);
    }
}

void TestVerification::setsOutsideTheModelAreRefused()
{
    CheckBoxState state;
    QVERIFY(!state.supplySet(101, {}));
    QVERIFY(!state.supplySet(-1, {}));
    QVERIFY(!state.supplySet(0, {QList<CheckBoxItem>(9), {}}));
    state.currentSet = 101;
    QVERIFY(!verifyCurrentSet(state));
    QVERIFY(state.totalMisses.isEmpty());
}

QTEST_GUILESS_MAIN(TestVerification)
#include "tst_verification.moc"
