#include "exercise/keyfilter.h"
#include "window/typedcharacters.h"

#include <QTest>

using Codes = QList<char32_t>;

class TestKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void filterKey_data();
    void filterKey();
    void digitsFollowTheParagraphs_data();
    void digitsFollowTheParagraphs();
    void lockedRowShowsExpected();
    void committedAnswer_data();
    void committedAnswer();
    void typedCharacters_data();
    void typedCharacters();
};

void TestKeyFilter::filterKey_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<KeyAction>("action");
    QTest::newRow("Enter commits") << 13u << KeyAction::Commit;
    QTest::newRow("Backspace") << 8u << KeyAction::Accept;
    for (char32_t digit = U'1'; digit <= U'4'; ++digit)
        QTest::addRow("digit %c", char(digit)) << uint(digit) << KeyAction::Accept;
    for (const char32_t refused : {U'0', U'5', U'9', U'a', U'Z', U' ', U'-', U'é', U'\n', U'\t'})
        QTest::addRow("refused %u", uint(refused)) << uint(refused) << KeyAction::Discard;
    QTest::newRow("Ctrl+V") << 22u << KeyAction::Discard;
    QTest::newRow("Escape") << 27u << KeyAction::Discard;
    QTest::newRow("NUL") << 0u << KeyAction::Discard;
    // 305 and 0x131 & 0xFF == '1': a code must never be cut to 8 bits.
    QTest::newRow("dotless i is not 1") << 0x131u << KeyAction::Discard;
    QTest::newRow("fullwidth 1") << 0xFF11u << KeyAction::Discard;
    QTest::newRow("beyond the BMP") << 0x10031u << KeyAction::Discard;
}

void TestKeyFilter::filterKey()
{
    QFETCH(uint, code);
    QFETCH(KeyAction, action);
    QCOMPARE(::filterKey(false, code), action);
}

void TestKeyFilter::digitsFollowTheParagraphs_data()
{
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<uint>("code");
    QTest::addColumn<KeyAction>("action");
    QTest::newRow("2: 2 passes") << 2 << uint(U'2') << KeyAction::Accept;
    QTest::newRow("2: 3 does not") << 2 << uint(U'3') << KeyAction::Discard;
    QTest::newRow("3: 4 does not") << 3 << uint(U'4') << KeyAction::Discard;
    QTest::newRow("9: 9 passes") << 9 << uint(U'9') << KeyAction::Accept;
    QTest::newRow("9: colon after 9 does not") << 9 << uint(U':') << KeyAction::Discard;
}

void TestKeyFilter::digitsFollowTheParagraphs()
{
    QFETCH(int, paragraphs);
    QFETCH(uint, code);
    QFETCH(KeyAction, action);
    QCOMPARE(::filterKey(false, code, paragraphs), action);
}

void TestKeyFilter::lockedRowShowsExpected()
{
    for (const char32_t code : {U'1', U'\r', U'\b', U'x'})
        QCOMPARE(::filterKey(true, code), KeyAction::ShowExpected);
}

void TestKeyFilter::committedAnswer_data()
{
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("answer");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("spaces at both ends") << " 3 " << "3";
    QTest::newRow("space inside stays") << "3 4" << "3 4";
    QTest::newRow("only spaces") << "   " << "";
    QTest::newRow("tabs are not spaces") << "\t3" << "\t3";
    QTest::newRow("several digits") << "12" << "12";
}

void TestKeyFilter::committedAnswer()
{
    QFETCH(QString, boxText);
    QFETCH(QString, answer);
    QCOMPARE(::committedAnswer(boxText), answer);
}

void TestKeyFilter::typedCharacters_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Codes>("codes");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("digit") << int(Qt::Key_3) << none << "3" << Codes{U'3'};
    QTest::newRow("keypad digit") << int(Qt::Key_3) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << "3" << Codes{U'3'};
    QTest::newRow("shifted digit (AZERTY)") << int(Qt::Key_3) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                            << "3" << Codes{U'3'};
    QTest::newRow("Return") << int(Qt::Key_Return) << none << "\r" << Codes{13};
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << "\r" << Codes{13};
    QTest::newRow("Ctrl+Return is a line feed") << int(Qt::Key_Return) << ctrl << "\n" << Codes{10};
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << Codes{8};
    // The control character DEL, which the filter refuses: it must not erase.
    QTest::newRow("Ctrl+Backspace") << int(Qt::Key_Backspace) << ctrl << "\x7f" << Codes{127};
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << Codes{27};
    QTest::newRow("Ctrl+V as a test tool reports it") << int(Qt::Key_V) << ctrl << "v" << Codes{22};
    QTest::newRow("Ctrl+V as X11 reports it") << int(Qt::Key_V) << ctrl << "\x16" << Codes{22};
    QTest::newRow("Ctrl+Shift+V") << int(Qt::Key_V) << (ctrl | Qt::ShiftModifier) << "V" << Codes{22};
    QTest::newRow("AltGr is not Ctrl") << int(Qt::Key_3) << (ctrl | Qt::AltModifier) << "#"
                                       << Codes{U'#'};
    // A letter key with AltGr types its third character (€ on AZERTY), not
    // Ctrl+E's control character 5.
    QTest::newRow("AltGr+E is the euro sign") << int(Qt::Key_E) << (ctrl | Qt::AltModifier)
                                              << QStringLiteral("€") << Codes{0x20AC};
    QTest::newRow("Delete types nothing") << int(Qt::Key_Delete) << none << "\x7f" << Codes{};
    QTest::newRow("Left types nothing") << int(Qt::Key_Left) << none << "" << Codes{};
    QTest::newRow("Ctrl+Left types nothing") << int(Qt::Key_Left) << ctrl << "" << Codes{};
    QTest::newRow("Ctrl+1 types nothing") << int(Qt::Key_1) << ctrl << "1" << Codes{};
    QTest::newRow("Tab types nothing") << int(Qt::Key_Tab) << none << "\t" << Codes{};
    QTest::newRow("Home types nothing") << int(Qt::Key_Home) << none << "" << Codes{};
    QTest::newRow("accented letter") << int(Qt::Key_Eacute) << none << "é" << Codes{U'é'};
    QTest::newRow("composed text") << int(Qt::Key_unknown) << none << "1é" << Codes{U'1', U'é'};
    QTest::newRow("surrogate pair is one character")
        << int(Qt::Key_unknown) << none << QString::fromUcs4(U"\U0001F600") << Codes{0x1F600};
}

void TestKeyFilter::typedCharacters()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(Codes, codes);
    QCOMPARE(::typedCharacters(key, modifiers, text), codes);
}

QTEST_GUILESS_MAIN(TestKeyFilter)
#include "tst_keyfilter.moc"
