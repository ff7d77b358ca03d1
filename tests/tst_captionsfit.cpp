#include "exercisefixture.h"
#include "window/morvel2.h"

#include <QLabel>
#include <QTest>

#include <climits>
#include <memory>

// Every caption must show whole in its control, measured with the font the
// control actually draws with, whatever fonts the machine has and at every
// screen scale factor: a cut-off paragraph is a question the pupil cannot
// answer.
class TestCaptionsFit : public ExerciseWindowFixture
{
    Q_OBJECT

private slots:
    void captionFits_data();
    void captionFits();
};

void TestCaptionsFit::captionFits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("oneLine");
    QTest::newRow("passage") << "Label1" << false;
    QTest::newRow("reading instruction") << "Label3(1)" << false;
    QTest::newRow("question instruction") << "Label3(0)" << false;
    for (int row = 0; row < 4; ++row)
        QTest::addRow("prompt %d", row) << QStringLiteral("Label2(%1)").arg(row) << true;
}

void TestCaptionsFit::captionFits()
{
    QFETCH(QString, name);
    QFETCH(bool, oneLine);
    const QLabel *label = m_window->findChild<QLabel *>(name);
    QVERIFY(label);
    const QRect room = label->contentsRect();
    const QFontMetrics metrics(label->font());
    const QString family = QFontInfo(label->font()).family();
    if (oneLine) {
        const int width = metrics.horizontalAdvance(label->text());
        QVERIFY2(width <= room.width(), qPrintable(QStringLiteral("%1 px wide in %2, room for %3")
                                                       .arg(width).arg(family).arg(room.width())));
    } else {
        const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), INT_MAX),
                                                  Qt::AlignLeft | Qt::TextWordWrap, label->text());
        QVERIFY2(needed.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 px tall in %2, room for %3")
                                .arg(needed.height()).arg(family).arg(room.height())));
    }
}

QTEST_MAIN(TestCaptionsFit)
#include "tst_captionsfit.moc"
