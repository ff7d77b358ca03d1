#include "exercise/judge.h"

#include <QTest>

class TestJudge : public QObject
{
    Q_OBJECT

private slots:
    void judgeAnswer_data();
    void judgeAnswer();
    void wrongFollowsTheParagraphs_data();
    void wrongFollowsTheParagraphs();
    void caseMappingKeepsLength_data();
    void caseMappingKeepsLength();
};

void TestJudge::judgeAnswer_data()
{
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<bool>("reminder");

    QTest::newRow("3: right") << "3" << "3" << Verdict::Right << false;
    for (const char *wrong : {"1", "2", "4", "12", "34", "1234", "23", "123", "234"})
        QTest::addRow("3: %s is a run of paragraphs, wrong", wrong)
            << "3" << QString::fromLatin1(wrong) << Verdict::Wrong << false;
    for (const char *neither : {"13", "31", "33", "43", "5", "", " 3", "21", "a"})
        QTest::addRow("3: '%s' is neither", neither)
            << "3" << QString::fromLatin1(neither) << Verdict::Neither << false;

    QTest::newRow("été: exact") << "été" << "été" << Verdict::Right << false;
    QTest::newRow("été: ete") << "été" << "ete" << Verdict::Right << true;
    QTest::newRow("été: Ete") << "été" << "Ete" << Verdict::Right << true;
    QTest::newRow("été: ETE") << "été" << "ETE" << Verdict::Right << true;
    QTest::newRow("été: wrong accents still accents") << "été" << "étè" << Verdict::Right << false;
    QTest::newRow("été: ètê") << "été" << "ètê" << Verdict::Right << false;
    QTest::newRow("été: capitals are not folded") << "été" << "ÉTÉ" << Verdict::Neither << false;
    QTest::newRow("été: other word") << "été" << "hiver" << Verdict::Neither << false;

    QTest::newRow("Noël: ë is not folded") << "Noël" << "noel" << Verdict::Neither << false;
    QTest::newRow("Noël: upper case") << "Noël" << "NOËL" << Verdict::Right << false;

    QTest::newRow("A: a is right") << "A" << "a" << Verdict::Right << false;
    QTest::newRow("plain key never reminds") << "ete" << "ete" << Verdict::Right << false;
    QTest::newRow("plain key, accented answer") << "ete" << "été" << Verdict::Right << false;
    QTest::newRow("all ten letters fold")
        << "éèêàâîïôùû" << "eeeaaiiouu" << Verdict::Right << true;
    QTest::newRow("ß upper-cases to itself") << "ß" << "ß" << Verdict::Right << false;
    QTest::newRow("ß is not SS") << "ß" << "SS" << Verdict::Neither << false;
}

void TestJudge::judgeAnswer()
{
    QFETCH(QString, expected);
    QFETCH(QString, typed);
    QFETCH(Verdict, verdict);
    QFETCH(bool, reminder);

    const Judgement judgement = ::judgeAnswer(typed, expected);
    QCOMPARE(judgement.verdict, verdict);
    QCOMPARE(judgement.accentReminder, reminder);
}

// A teacher's exercise of N paragraphs: its runs of paragraph numbers are
// the pieces of "12...N".
void TestJudge::wrongFollowsTheParagraphs_data()
{
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<QString>("typed"); // the expected answer being 1
    QTest::addColumn<Verdict>("verdict");
    QTest::newRow("2: 12 wrong") << 2 << "12" << Verdict::Wrong;
    QTest::newRow("2: 23 neither") << 2 << "23" << Verdict::Neither;
    QTest::newRow("3: 34 neither") << 3 << "34" << Verdict::Neither;
    QTest::newRow("4: as built in, 1234 wrong") << 4 << "1234" << Verdict::Wrong;
    QTest::newRow("4: 45 neither") << 4 << "45" << Verdict::Neither;
    QTest::newRow("9: 56789 wrong") << 9 << "56789" << Verdict::Wrong;
    QTest::newRow("9: 98 neither") << 9 << "98" << Verdict::Neither;
}

void TestJudge::wrongFollowsTheParagraphs()
{
    QFETCH(int, paragraphs);
    QFETCH(QString, typed);
    QFETCH(Verdict, verdict);
    QCOMPARE(paragraphNumbers(4), QStringLiteral("1234"));
    QCOMPARE(::judgeAnswer(typed, QStringLiteral("1"), paragraphNumbers(paragraphs)).verdict, verdict);
}

void TestJudge::caseMappingKeepsLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("sharp s") << "straße";
    QTest::newRow("ligature") << "ﬁn";
    QTest::newRow("n preceded by apostrophe") << "ŉ";
    QTest::newRow("outside the BMP") << QString::fromUcs4(U"\U00010428x");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800));
}

void TestJudge::caseMappingKeepsLength()
{
    QFETCH(QString, text);
    QCOMPARE(upperCased(text).size(), text.size());
    QCOMPARE(foldAccents(text).size(), text.size());
}

QTEST_GUILESS_MAIN(TestJudge)
#include "tst_judge.moc"
