#include "app/applicationsetup.h"
#include "layout/pagefonts.h"
#include "layout/pagelayout.h"
#include "layout/wrappedtext.h"
#include "longexercise.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

// The pupil's page for every screen, setting and reader: the design's page
// where nothing asks for another, and on every other page each line of
// every text inside its box, measured as the labels draw it, no box over
// another and the page inside the screen.

Q_DECLARE_METATYPE(PageSetting)
Q_DECLARE_METATYPE(ReadingSettings)

namespace {

const QSize laptop(1366, 768);
const QSize fullHd(1920, 1080);

ControlChrome chrome()
{
    // What a real answer box adds around its text, as the window measures it.
    const QLineEdit box;
    const QFontMetrics metrics(box.font());
    return {QApplication::font(), box.sizeHint().width() - 17 * metrics.horizontalAdvance(u'x') + 2,
            box.sizeHint().height() - metrics.height()};
}

PageSetting percent(int value)
{
    return {PageSetting::Kind::Percent, value};
}

const PageSetting fit{PageSetting::Kind::Fit, 100};

ReadingSettings adapted(ReadingFont font, int size, int line, int letter = 0, int word = 0)
{
    return {font, size, line, letter, word, PassageBackground::Cream, true};
}

// What is wrong with `layout` in `room`, said for a person; empty when
// nothing is.
QStringList faults(const PageLayout &layout, const QSize &room)
{
    QStringList found;
    if (!QRect(QPoint(0, 0), room).contains(layout.page))
        found << QStringLiteral("the page %1,%2 %3x%4 leaves the room")
                     .arg(layout.page.x()).arg(layout.page.y()).arg(layout.page.width()).arg(layout.page.height());
    QList<QPair<QString, QRect>> shown;
    const auto check = [&](const QString &name, const PageText &text, const QRect *box) {
        shown.append({name, text.rect});
        if (!layout.page.contains(text.rect))
            found << name + QStringLiteral(" leaves the page");
        const WrappedText lines(text.text, text.font, text.textWidth, layout.lineSpacing, text.alignment);
        const qreal right = text.markLeft ? *text.markLeft : (box ? box->left() - text.rect.left() : text.rect.width());
        for (int i = 0; i < lines.lineCount(); ++i) {
            const QRectF line = lines.lineRect(i);
            if (line.left() < -0.01 || line.right() > std::min<qreal>(text.textWidth, right) + 0.01
                || line.top() < -0.01 || line.bottom() > text.rect.height() + 0.01)
                found << QStringLiteral("%1: line %2 (%3 px wide, bottom %4) outside %5x%6")
                             .arg(name).arg(i).arg(line.width()).arg(line.bottom())
                             .arg(text.textWidth).arg(text.rect.height());
        }
        if (box && layout.kind != PageLayout::Kind::FromContent && lines.lineCount() != 1)
            found << name + QStringLiteral(": a scaled design prompt on %1 lines").arg(lines.lineCount());
        if (text.markLeft) {
            const WrappedText mark(QStringLiteral("N°"), text.font, 1e6);
            if (text.rect.left() + *text.markLeft + mark.naturalWidth() > box->left() + 0.01
                || mark.height() > text.rect.height() + 0.01)
                found << name + QStringLiteral(": its mark reaches into the answer box");
        }
    };
    check(QStringLiteral("banner"), layout.banner, nullptr);
    check(QStringLiteral("passage"), layout.passage, nullptr);
    check(QStringLiteral("instruction"), layout.instruction, nullptr);
    const QFontMetrics answer(layout.answerFont);
    for (int row = 0; row < layout.rows.size(); ++row) {
        const PageRow &pageRow = layout.rows[row];
        check(QStringLiteral("prompt %1").arg(row), pageRow.prompt, &pageRow.answerBox);
        if (!layout.page.contains(pageRow.answerBox) || pageRow.answerBox.height() < answer.height()
            || pageRow.answerBox.width() < answer.horizontalAdvance(u'9'))
            found << QStringLiteral("answer box %1 leaves the page or cannot hold a digit").arg(row);
        shown.append({QStringLiteral("answer box %1").arg(row), pageRow.answerBox});
    }
    // Only a row's own answer box may stand over its prompt, past its text.
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            if (shown[i].second.intersects(shown[j].second)
                && shown[j].first != QString(shown[i].first).replace(QLatin1String("prompt"), QLatin1String("answer box")))
                found << shown[i].first + QStringLiteral(" overlaps ") + shown[j].first;
    return found;
}

} // namespace

class TestPageLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void designPageIsTheDesign();
    void pageForTheRoom_data();
    void pageForTheRoom();
    void everyTextInsideItsBox_data();
    void everyTextInsideItsBox();
    void pageSettingRead_data();
    void pageSettingRead();
    void choicesAreTheTeachersOnly();
    void textKeepsItsContrast_data();
    void textKeepsItsContrast();
};

void TestPageLayout::initTestCase()
{
    setUpApplication();
    for (const ReadingFont font : {ReadingFont::Andika, ReadingFont::OpenDyslexic}) {
        QVERIFY(installReadingFont(font));
        QCOMPARE(QFontInfo(pageFont(font, 20)).family(), readingFontFamily(font));
    }
}

// Whatever the room: the design's twips at 15 to a pixel, rows 100 twips
// apart as they stand in pixels.
void TestPageLayout::designPageIsTheDesign()
{
    for (const QSize &room : {laptop, QSize(640, 400), QSize()}) {
        const PageLayout page = layOutPage(builtInExercise(), {}, {}, room, chrome());
        QCOMPARE(page.kind, PageLayout::Kind::Design);
        QCOMPARE(page.page, QRect(0, 0, 793, 480));
        QCOMPARE(page.banner.rect, QRect(176, 8, 473, 33));
        QCOMPARE(page.passage.rect, QRect(16, 56, 761, 225));
        QCOMPARE(page.instruction.rect, QRect(16, 288, 417, 57));
        QCOMPARE(page.instruction.font.pixelSize(), 16);
        QCOMPARE(page.rows.size(), 4);
        const int tops[] = {352, 384, 416, 448};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(page.rows[row].prompt.rect, QRect(40, tops[row], 241, 25));
            QCOMPARE(page.rows[row].prompt.text, builtInExercise().ideas[row].prompt);
            QCOMPARE(page.rows[row].answerBox, QRect(280, tops[row], 33, 25));
        }
        QCOMPARE(page.verifyButton, QRect(576, 320, 97, 33));
        QCOMPARE(page.checkBox, QRect(520, 360, 265, 25));
        QCOMPARE(page.picture, QRect(680, 256, 113, 97));
        QCOMPARE(page.caretWidth, 1);
    }
}

void TestPageLayout::pageForTheRoom_data()
{
    QTest::addColumn<QSize>("room");
    QTest::addColumn<PageSetting>("setting");
    QTest::addColumn<ReadingSettings>("reading");
    QTest::addColumn<bool>("longOne");
    QTest::addColumn<double>("scale"); // exactly, or at most with -
    QTest::addColumn<bool>("centred");

    const ReadingSettings none;
    const ReadingSettings large = adapted(ReadingFont::OpenDyslexic, 250, 200, 30, 50);
    QTest::newRow("design, 1366x768") << laptop << PageSetting{} << none << false << 1.0 << false;
    QTest::newRow("100 %: the design's page") << fullHd << percent(100) << none << false << 1.0 << false;
    QTest::newRow("fit, 1366x768: its height") << laptop << fit << none << false << 1.6 << true;
    QTest::newRow("fit, 1920x1080: its height") << fullHd << fit << none << false << 2.25 << true;
    QTest::newRow("fit, 1920x1050 under a title bar") << QSize(1920, 1050) << fit << none << false << 2.1875 << true;
    QTest::newRow("fit, 1024x768: its width") << QSize(1024, 768) << fit << none << false << 1024 / 793.0 << true;
    QTest::newRow("fit, 640x400: smaller") << QSize(640, 400) << fit << none << false << 640 / 793.0 << true;
    QTest::newRow("fit, 1920x1080 at a scale factor of 2") << QSize(960, 540) << fit << none << false << 1.125 << true;
    QTest::newRow("150 %, 1920x1080") << fullHd << percent(150) << none << false << 1.5 << true;
    QTest::newRow("50 %, 1366x768") << laptop << percent(50) << none << false << 0.5 << true;
    QTest::newRow("400 %, capped to 1366x768") << laptop << percent(400) << none << false << 1.6 << true;
    QTest::newRow("design, the long exercise") << laptop << PageSetting{} << none << true << -1.0 << false;
    QTest::newRow("fit, the long exercise") << fullHd << fit << none << true << -2.25 << true;
    QTest::newRow("design, adapted") << laptop << PageSetting{} << adapted(ReadingFont::Andika, 150, 150) << false
                                     << -1.0 << false;
    QTest::newRow("fit, adapted, 1920x1080") << fullHd << fit << adapted(ReadingFont::Andika, 150, 150) << false
                                             << -2.25 << true;
    QTest::newRow("fit, largest adaptation, long, 1366x768") << laptop << fit << large << true << -1.6 << true;
    QTest::newRow("design, largest adaptation, long, 800x600") << QSize(800, 600) << PageSetting{} << large << true
                                                               << -1.0 << false;
}

void TestPageLayout::pageForTheRoom()
{
    QFETCH(QSize, room);
    QFETCH(PageSetting, setting);
    QFETCH(ReadingSettings, reading);
    QFETCH(bool, longOne);
    QFETCH(double, scale);
    QFETCH(bool, centred);

    const PageLayout page = layOutPage(longOne ? longExercise() : builtInExercise(), reading, setting, room, chrome());
    QVERIFY2(faults(page, room).isEmpty(), qPrintable(faults(page, room).join(u'\n')));
    if (scale > 0) {
        QVERIFY2(qFuzzyCompare(page.scale, scale), qPrintable(QString::number(page.scale)));
        // Scaled, the page fills the room's width or height.
        QVERIFY(page.page.width() >= room.width() - 1 || page.page.height() >= room.height() - 1 || scale == 1.0
                || setting.kind == PageSetting::Kind::Percent);
    } else {
        QVERIFY2(page.scale <= -scale && page.scale > 0, qPrintable(QString::number(page.scale)));
    }
    if (centred) {
        QVERIFY(qAbs(page.page.left() - (room.width() - page.page.right() - 1)) <= 1);
        QVERIFY(qAbs(page.page.top() - (room.height() - page.page.bottom() - 1)) <= 1);
    } else {
        QCOMPARE(page.page.topLeft(), QPoint(0, 0));
    }
    QCOMPARE(page.rows.size(), longOne ? 11 : 4);
}

// Each value of each setting, at both screens, for both exercises: the
// faces, sizes and line spacings as a whole product, each letter and word
// spacing and each page setting in turn among them.
void TestPageLayout::everyTextInsideItsBox_data()
{
    QTest::addColumn<QSize>("room");
    QTest::addColumn<PageSetting>("setting");
    QTest::addColumn<ReadingSettings>("reading");
    QTest::addColumn<bool>("longOne");

    const QList<PageSetting> settings = {PageSetting{}, fit, percent(150), percent(50)};
    const QList<QPair<ReadingFont, QString>> fonts = {
        {ReadingFont::Design, "design"}, {ReadingFont::Andika, "Andika"}, {ReadingFont::OpenDyslexic, "OpenDyslexic"}};
    int turn = 0;
    for (const QSize &room : {laptop, fullHd})
        for (const bool longOne : {false, true})
            for (const auto &[font, name] : fonts)
                for (const int size : textSizeChoices())
                    for (const int line : lineSpacingChoices()) {
                        const int letter = letterSpacingChoices()[turn % letterSpacingChoices().size()];
                        const int word = wordSpacingChoices()[(turn / 2) % wordSpacingChoices().size()];
                        const PageSetting setting = settings[(turn / 3) % settings.size()];
                        ++turn;
                        QTest::addRow("%dx%d %s %s %d%% line %d letter %d word %d page %d", room.width(),
                                      room.height(), longOne ? "long" : "built-in", qPrintable(name), size, line,
                                      letter, word, turn)
                            << room << setting << adapted(font, size, line, letter, word) << longOne;
                    }
}

void TestPageLayout::everyTextInsideItsBox()
{
    QFETCH(QSize, room);
    QFETCH(PageSetting, setting);
    QFETCH(ReadingSettings, reading);
    QFETCH(bool, longOne);

    const PageLayout page = layOutPage(longOne ? longExercise() : builtInExercise(), reading, setting, room, chrome());
    QCOMPARE(page.kind, PageLayout::Kind::FromContent);
    QVERIFY2(faults(page, room).isEmpty(), qPrintable(faults(page, room).join(u'\n')));
    QCOMPARE(page.passage.font.family(), readingFontFamily(reading.font));
}

void TestPageLayout::pageSettingRead_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<PageSetting>("expected");
    QTest::addColumn<bool>("warned");

    const QVariant none;
    QTest::newRow("no setting") << none << QString() << PageSetting{} << false;
    QTest::newRow("design") << QVariant("design") << QString() << PageSetting{} << false;
    QTest::newRow("fit") << QVariant("fit") << QString() << fit << false;
    QTest::newRow("Fit with spaces") << QVariant(" Fit ") << QString() << fit << false;
    QTest::newRow("150") << QVariant("150") << QString() << percent(150) << false;
    QTest::newRow("150 %") << QVariant("150 %") << QString() << percent(150) << false;
    QTest::newRow("50") << QVariant("50") << QString() << percent(50) << false;
    QTest::newRow("400") << QVariant("400") << QString() << percent(400) << false;
    for (const char *wrong : {"49", "401", "0", "-100", "1e2", "", "150px", "1500", "<b>x</b>", "%3 %1"})
        QTest::addRow("wrong: %s", wrong) << QVariant(wrong) << QString() << PageSetting{} << true;
    QTest::newRow("unreadable source") << none << "Permission non accordée" << PageSetting{} << true;
}

void TestPageLayout::pageSettingRead()
{
    QFETCH(QVariant, value);
    QFETCH(QString, problem);
    QFETCH(PageSetting, expected);
    QFETCH(bool, warned);

    const QString source = QStringLiteral("/etc/xdg/morvel2/morvel2.conf");
    const PageSettingRead read = readPageSetting(value.isValid() ? std::optional(value.toString()) : std::nullopt,
                                                 source, problem);
    QCOMPARE(read.setting, expected);
    QCOMPARE(!read.warning.isEmpty(), warned);
    if (warned) {
        QVERIFY(read.warning.contains(source));
        // The value as written, never read as placeholders.
        QVERIFY(read.warning.contains(problem.isEmpty() ? QStringLiteral("« %1 »").arg(value.toString()) : problem));
        QVERIFY(read.warning.endsWith(QStringLiteral("La page est affichée à sa taille d'origine.")));
    }
}

void TestPageLayout::choicesAreTheTeachersOnly()
{
    QCOMPARE(textSizeChoices(), (QList<int>{100, 125, 150, 175, 200, 225, 250}));
    QCOMPARE(lineSpacingChoices(), (QList<int>{100, 125, 150, 175, 200}));
    const ReadingSettings wild{ReadingFont::Andika, 1000, 90, 33, -5, PassageBackground::White, true};
    const ReadingSettings kept = normalised(wild);
    QCOMPARE(kept.textSizePercent, 250);
    QCOMPARE(kept.lineSpacingPercent, 100);
    QCOMPARE(kept.letterSpacingHundredths, 30);
    QCOMPARE(kept.wordSpacingHundredths, 0);
    QVERIFY(ReadingSettings{}.isDesign());
    QVERIFY(!kept.isDesign());
}

void TestPageLayout::textKeepsItsContrast_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");

    const QColor black(Qt::black);
    QTest::newRow("passage, the design's cyan") << black << passageBackground(PassageBackground::Design);
    QTest::newRow("passage, white") << black << passageBackground(PassageBackground::White);
    QTest::newRow("passage, cream") << black << passageBackground(PassageBackground::Cream);
    QTest::newRow("reading ruler") << black << rulerBand();
    QTest::newRow("banner, dark blue on light orange") << QColor(0, 0, 192) << QColor(255, 192, 128);
    QTest::newRow("prompt, light green") << black << QColor(192, 255, 192);
    QTest::newRow("locked answer on peach") << QColor(0x40, 0x40, 0x40) << QColor(255, 224, 192);
}

void TestPageLayout::textKeepsItsContrast()
{
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QVERIFY2(contrastRatio(text, background) >= 7.0, qPrintable(QString::number(contrastRatio(text, background))));
}

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
