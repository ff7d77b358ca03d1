#include "exercise/content.h"
#include "record/clipboardscore.h"
#include "record/record.h"
#include "record/windows1252.h"

#include <QTest>

namespace {

QList<RecordRow> rowsAnswering(const QList<Value> &answers)
{
    QList<RecordRow> rows;
    for (int row = 0; row < answers.size(); ++row)
        rows.append({Content::prompt(row), answers[row]});
    return rows;
}

QByteArray spaces(int count)
{
    return QByteArray(count, ' ');
}

// The prompts as the log holds them, in Windows-1252.
const QByteArray prompt0 = "L'album le plus r\xe9ussi                 N\xb0";
const QByteArray prompt1 = "Un personnage inoubliable        N\xb0";
const QByteArray prompt2 = "La pr\xe9sentation de Dorv\xe9           N\xb0";
const QByteArray prompt3 = "La popularit\xe9 de la collection    N\xb0";


} // namespace

class TestRecord : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void countsAndScore_data();
    void countsAndScore();
    void emptyAnswerKeepsColumns();
    void answerTextIsMadeSafe_data();
    void answerTextIsMadeSafe();
    void clipboardScore_data();
    void clipboardScore();
    void teachersExerciseWorkedExample();
};

// Answers 3, 4, 2, 2: three right, one wrong, laid out column by column.
void TestRecord::workedExample()
{
    const RecordFields fields{3, 1, rowsAnswering({"3", "4", "2", "2"})};
    const QByteArray expected = "202" + spaces(11) + "Morvel-sens paragraphes:(3412)" + "  justes:"
                                + " 3 " + "   faux:" + " 1 " + "   score:" + "3" + spaces(7)
                                + prompt0 + spaces(1) + "3" + spaces(13)
                                + prompt1 + spaces(7) + "4" + spaces(13)
                                + prompt2 + spaces(5) + "2" + spaces(13)
                                + prompt3 + spaces(6) + "2" + spaces(13) + "\r\n";
    const QByteArray line = recordLine(fields);
    QCOMPARE(line, expected);
    QCOMPARE(line.size(), 308 + 2);
    QCOMPARE(line.indexOf(prompt1), 140);
    QCOMPARE(line.at(294), '2');
}

void TestRecord::countsAndScore_data()
{
    QTest::addColumn<Value>("right");
    QTest::addColumn<Value>("wrong");
    QTest::addColumn<QByteArray>("counts");
    QTest::newRow("all right: faux writes nothing") << Value(4) << Value()
                                                    << QByteArray("  justes: 4    faux:   score:4");
    QTest::newRow("none right: justes writes nothing, score 0")
        << Value() << Value(4) << QByteArray("  justes:   faux: 4    score:0");
    QTest::newRow("nothing counted") << Value() << Value() << QByteArray("  justes:   faux:   score:0");
}

void TestRecord::countsAndScore()
{
    QFETCH(Value, right);
    QFETCH(Value, wrong);
    QFETCH(QByteArray, counts);
    const QByteArray line = recordLine({right, wrong, rowsAnswering({"1", "1", "1", "1"})});
    QVERIFY2(line.startsWith("202" + spaces(11) + "Morvel-sens paragraphes:(3412)" + counts), line);
    // The rows start at the next print zone after the score.
    const qsizetype scoreEnd = QByteArray("202").size() + 11 + 30 + counts.size();
    const qsizetype rowsStart = (scoreEnd / 14 + 1) * 14;
    QCOMPARE(line.indexOf(prompt0), rowsStart);
    QVERIFY(line.endsWith(spaces(13) + "\r\n"));
}

// A row committed empty writes nothing, but its comma still moves on to the
// next print zone: the next prompt starts where it would after "3".
void TestRecord::emptyAnswerKeepsColumns()
{
    const QByteArray withAnswers = recordLine({Value(), Value(), rowsAnswering({"3", "4", "1", "2"})});
    const QByteArray withEmpties = recordLine({Value(), Value(), rowsAnswering({"", Value(), "", ""})});
    QCOMPARE(withEmpties.size(), withAnswers.size());
    for (const QByteArray &prompt : {prompt0, prompt1, prompt2, prompt3})
        QCOMPARE(withEmpties.indexOf(prompt), withAnswers.indexOf(prompt));
    QCOMPARE(withEmpties.mid(withEmpties.indexOf(prompt0) + prompt0.size()),
             spaces(1) + spaces(14) + prompt1 + spaces(7) + spaces(14) + prompt2 + spaces(5)
                 + spaces(14) + prompt3 + spaces(6) + spaces(14) + "\r\n");
}

void TestRecord::answerTextIsMadeSafe_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("line feed") << "1\n2" << QByteArray("1 2");
    QTest::newRow("carriage return") << "1\r\n2" << QByteArray("1  2");
    QTest::newRow("control Z") << "\x1a" << QByteArray(" ");
    QTest::newRow("tab") << "\t" << QByteArray(" ");
    QTest::newRow("C1 control") << QString(QChar(0x85)) << QByteArray(" ");
    QTest::newRow("euro sign has a byte") << "€" << QByteArray("\x80");
    QTest::newRow("oe ligature has a byte") << "œ" << QByteArray("\x9c");
    QTest::newRow("Greek has none") << "λ" << QByteArray("?");
    QTest::newRow("a surrogate pair is one character") << QString::fromUcs4(U"\U0001F600")
                                                       << QByteArray("?");
    QTest::newRow("a lone surrogate") << QString(QChar(0xDC00)) << QByteArray("?");
}

void TestRecord::answerTextIsMadeSafe()
{
    QFETCH(QString, answer);
    QFETCH(QByteArray, written);
    const QByteArray line = recordLine({Value(), Value(), rowsAnswering({answer, "2", "3", "4"})});
    const qsizetype at = line.indexOf(prompt0) + prompt0.size() + 1;
    QCOMPARE(line.mid(at, written.size()), written);
    QCOMPARE(line.count('\n'), 1);
    QCOMPARE(line.count('\r'), 1);
    QVERIFY(!line.contains('\x1a'));
    // The next prompt still starts on a print-zone boundary.
    QCOMPARE(line.indexOf(prompt1) % 14, 0);
}

void TestRecord::clipboardScore_data()
{
    QTest::addColumn<Value>("score");
    QTest::addColumn<QString>("text");
    QTest::newRow("no check-box score") << Value() - Value() << " 0$";
    QTest::newRow("positive") << Value(4) << " 4$";
    QTest::newRow("negative") << Value(-3) << "-3$";
}

void TestRecord::clipboardScore()
{
    QFETCH(Value, score);
    QFETCH(QString, text);
    QCOMPARE(::clipboardScore(score), text);
}

// A teacher's exercise, 301 "Le potager de Lila", three ideas answered
// "2" (right), "12" (wrong: a run of its three paragraphs) and nothing.
void TestRecord::teachersExerciseWorkedExample()
{
    const QByteArray expected = "301" + spaces(11) + "Le potager de Lila" + "  justes:" + " 1 " + "   faux:" + " 1 "
                                + "   score:" + "1" + spaces(5)                 // columns 1 to 70
                                + "Les radis poussent" + spaces(10) + "2" + spaces(13)      // 71 to 112
                                + "Un cadeau de grand-m\xe8re" + spaces(5) + "12" + spaces(12) // 113 to 154
                                + "La r\xe9" "colte" + spaces(4)                  // 155 to 168
                                + spaces(14)                                    // the empty answer's comma
                                + "\r\n";
    const RecordFields fields{1, 1,
                              {{"Les radis poussent", "2"}, {"Un cadeau de grand-mère", "12"}, {"La récolte", Value()}},
                              "301", "Le potager de Lila"};
    const QByteArray line = recordLine(fields);
    QCOMPARE(line, expected);
    QCOMPARE(line.size(), 184);
}

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
