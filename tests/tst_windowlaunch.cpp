#include "app/windowlaunch.h"

#include <QTest>

// Which command lines morvel2.com hands to morvel2.exe as a window, and
// which it answers itself, waiting, with a status.
class TestWindowLaunch : public QObject
{
    Q_OBJECT

private slots:
    void opensWindow_data();
    void opensWindow();
};

void TestWindowLaunch::opensWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("window");

    QTest::newRow("nothing: the exercise") << QStringList{} << true;
    QTest::newRow("--classe alone") << QStringList{QStringLiteral("--classe")} << true;
    QTest::newRow("--classe with folders")
        << QStringList{QStringLiteral("--classe"), QStringLiteral("C:\\classe"), QStringLiteral("D:\\autre")}
        << true;
    QTest::newRow("--classe=FOLDER") << QStringList{QStringLiteral("--classe=C:\\classe")} << true;
    QTest::newRow("a folder before --classe")
        << QStringList{QStringLiteral("C:\\classe"), QStringLiteral("--classe")} << true;
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << false;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << false;
    QTest::newRow("--bilan") << QStringList{QStringLiteral("--bilan"), QStringLiteral("C:\\classe")} << false;
    QTest::newRow("--collect") << QStringList{QStringLiteral("--collect"), QStringLiteral("C:\\r.txt")} << false;
    QTest::newRow("--verifier") << QStringList{QStringLiteral("--verifier")} << false;
    QTest::newRow("--classe --help: the help is printed")
        << QStringList{QStringLiteral("--classe"), QStringLiteral("--help")} << false;
    QTest::newRow("--classe with --bilan: the mistake is said")
        << QStringList{QStringLiteral("--bilan"), QStringLiteral("--classe")} << false;
    QTest::newRow("-h before --classe") << QStringList{QStringLiteral("-h"), QStringLiteral("--classe")} << false;
    QTest::newRow("--classes is no --classe") << QStringList{QStringLiteral("--classes")} << false;
    QTest::newRow("a path alone is a mistake") << QStringList{QStringLiteral("C:\\classe")} << false;
    QTest::newRow("-- alone is a mistake") << QStringList{QStringLiteral("--")} << false;
    QTest::newRow("--classe after -- is a path")
        << QStringList{QStringLiteral("--"), QStringLiteral("--classe")} << false;
    QTest::newRow("a folder named like an option after --")
        << QStringList{QStringLiteral("--classe"), QStringLiteral("--"), QStringLiteral("-dossier")} << true;
}

void TestWindowLaunch::opensWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, window);
    arguments.prepend(QStringLiteral("morvel2"));
    QCOMPARE(::opensWindow(arguments), window);
}

QTEST_GUILESS_MAIN(TestWindowLaunch)
#include "tst_windowlaunch.moc"
