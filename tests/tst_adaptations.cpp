// The reading adaptations a teacher sets: their file, what a pupil's page
// gets of the class's and their own, who may read a pupil's file, and the
// class as the teacher's window reads and saves it.
#include "adaptations/adaptationrights.h"
#include "adaptations/adaptationsdraft.h"
#include "adaptations/classadaptations.h"

#include <QHash>
#include <QTest>

Q_DECLARE_METATYPE(ReadingSettings)
Q_DECLARE_METATYPE(FileRights)

namespace {

const ReadingSettings dyslexic{ReadingFont::OpenDyslexic, 150, 150, 10, 20, PassageBackground::Cream, true};
const ReadingSettings andika{ReadingFont::Andika, 125, 100, 0, 0, PassageBackground::Design, false};
const ReadingSettings widest{ReadingFont::OpenDyslexic, 250, 200, 30, 50, PassageBackground::White, true};

// The folder's files by name: "!" before the bytes stands for a file that
// could not be read, the rest its reason; "?" for one read while being
// rewritten, once, before its bytes.
using Folder = QHash<QString, QByteArray>;

ReadAdaptations readerOf(Folder folder)
{
    return [folder](const QString &name) mutable -> StoredFile {
        if (!folder.contains(name))
            return {false, true, {}, {}};
        QByteArray bytes = folder.value(name);
        if (bytes.startsWith('!'))
            return {false, false, {}, QString::fromUtf8(bytes.mid(1))};
        if (bytes.startsWith('?')) {
            folder[name] = bytes.mid(1);
            QByteArray mixed = bytes.mid(1);
            mixed.replace("taille : 150", "taille : 250");
            return {true, false, mixed, {}};
        }
        return {true, false, bytes, {}};
    };
}

QByteArray file(const ReadingSettings &settings, bool followsClass = false)
{
    return adaptationsFileBytes({followsClass, settings});
}

} // namespace

class TestAdaptations : public QObject
{
    Q_OBJECT

private slots:
    void fileRoundTrip_data();
    void fileRoundTrip();
    void handWritten_data();
    void handWritten();
    void pupilsPage_data();
    void pupilsPage();
    void readers_data();
    void readers();
    void classAsTheTeacherSeesIt();
    void draftKeepsEveryPupil();
};

void TestAdaptations::fileRoundTrip_data()
{
    QTest::addColumn<bool>("followsClass");
    QTest::addColumn<ReadingSettings>("settings");
    QTest::newRow("none") << false << ReadingSettings{};
    QTest::newRow("following the class") << true << ReadingSettings{};
    QTest::newRow("dyslexic reader") << false << dyslexic;
    QTest::newRow("every value at its widest") << false << widest;
}

// Every file the same size whatever it says, and read back as written.
void TestAdaptations::fileRoundTrip()
{
    QFETCH(bool, followsClass);
    QFETCH(ReadingSettings, settings);
    const QByteArray bytes = file(settings, followsClass);
    QCOMPARE(bytes.size(), adaptationsFileSize);
    const ParsedAdaptations parsed = parseAdaptations(bytes);
    QCOMPARE(parsed.fault, QString());
    QVERIFY(parsed.entry);
    QCOMPARE(parsed.entry->followsClass, followsClass);
    QCOMPARE(parsed.entry->settings, settings);
}

void TestAdaptations::handWritten_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fault"); // empty: read as `settings`
    QTest::addColumn<ReadingSettings>("settings");
    const ReadingSettings larger{ReadingFont::Design, 200, 100, 0, 0, PassageBackground::Design, true};
    QTest::newRow("without checksum, Windows line ends, capitals")
        << QByteArray("# pour Léa\r\nAdaptations : Oui\r\ntaille : 200\r\nRègle : OUI\r\n") << "" << larger;
    QTest::newRow("a size between two choices")
        << QByteArray("adaptations : oui\ntaille : 160\n")
        << "ligne 2 : « 160 » n'est pas une valeur permise (100, 125, 150, 175, 200, 225, 250)" << ReadingSettings{};
    QTest::newRow("a field this file has not")
        << QByteArray("adaptations : oui\ncouleur : rouge\n") << "ligne 2 : « couleur » n'est pas un champ de ce fichier"
        << ReadingSettings{};
    QTest::newRow("a field twice") << QByteArray("adaptations : oui\nfond : blanc\nfond : crème\n")
                                   << "ligne 3 : le champ « fond » est déjà à la ligne 2" << ReadingSettings{};
    QTest::newRow("following the class, with a face")
        << QByteArray("adaptations : comme la classe\npolice : andika\n")
        << "ligne 1 : « adaptations : comme la classe » ne va avec aucun autre champ" << ReadingSettings{};
    QTest::newRow("no kind") << QByteArray("police : andika\n") << "ligne 1 : le champ « adaptations » manque"
                             << ReadingSettings{};
    QTest::newRow("not UTF-8") << QByteArray("adaptations : oui\nfond : cr\xe8me\n")
                               << "ligne 2 : ce n'est pas du texte UTF-8" << ReadingSettings{};
    QTest::newRow("markup is no value") << QByteArray("adaptations : oui\npolice : <b>x</b>\n")
                                        << "ligne 2 : « <b>x</b> » n'est pas une valeur permise (« modèle », « andika », "
                                           "« opendyslexic »)"
                                        << ReadingSettings{};
    QByteArray mixed = file(dyslexic);
    mixed.replace("taille : 150", "taille : 250");
    QTest::newRow("read while rewritten") << mixed << "son contrôle ne correspond pas à son contenu"
                                          << ReadingSettings{};
    QTest::newRow("oversized") << QByteArray(maxAdaptationsBytes + 1, '#')
                               << "ligne 1 : le fichier a plus de 4096 octets" << ReadingSettings{};
}

void TestAdaptations::handWritten()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fault);
    QFETCH(ReadingSettings, settings);
    const ParsedAdaptations parsed = parseAdaptations(bytes);
    QCOMPARE(parsed.fault, fault);
    QCOMPARE(parsed.entry.has_value(), fault.isEmpty());
    if (parsed.entry)
        QCOMPARE(parsed.entry->settings, settings);
}

void TestAdaptations::pupilsPage_data()
{
    QTest::addColumn<Folder>("folder");
    QTest::addColumn<QString>("login");
    QTest::addColumn<ReadingSettings>("page");
    const QString lea = pupilAdaptationsName(QStringLiteral("lea"));
    const QString cls = QString::fromLatin1(classAdaptationsName);
    QTest::newRow("nothing set") << Folder{} << "lea" << ReadingSettings{};
    QTest::newRow("the class's") << Folder{{cls, file(andika)}, {lea, file({}, true)}} << "lea" << andika;
    QTest::newRow("her own over the class's") << Folder{{cls, file(andika)}, {lea, file(dyslexic)}} << "lea"
                                              << dyslexic;
    QTest::newRow("her own: none, though the class has some") << Folder{{cls, file(andika)}, {lea, file({})}}
                                                              << "lea" << ReadingSettings{};
    QTest::newRow("her file unreadable: the class's") << Folder{{cls, file(andika)}, {lea, "!permission refusée"}}
                                                      << "lea" << andika;
    QTest::newRow("her file damaged: the class's") << Folder{{cls, file(andika)}, {lea, "adaptations : peut-être\n"}}
                                                   << "lea" << andika;
    QTest::newRow("the class's unreadable: the design's page")
        << Folder{{cls, "!il appartient à hugo"}, {lea, file({}, true)}} << "lea" << ReadingSettings{};
    QTest::newRow("the class's following itself") << Folder{{cls, file({}, true)}} << "lea" << ReadingSettings{};
    QTest::newRow("read while the teacher rewrote it") << Folder{{lea, "?" + file(dyslexic)}} << "lea" << dyslexic;
    QTest::newRow("a login that names no file") << Folder{{cls, file(andika)}, {pupilAdaptationsName("../x"), file(dyslexic)}}
                                                << "../x" << andika;
}

void TestAdaptations::pupilsPage()
{
    QFETCH(Folder, folder);
    QFETCH(QString, login);
    QFETCH(ReadingSettings, page);
    QCOMPARE(pupilReading(readerOf(folder), login), page);
}

void TestAdaptations::readers_data()
{
    using namespace logfile::acl;
    QTest::addColumn<FileRights>("rights");
    QTest::addColumn<QString>("fault");
    // The teacher is 1000, lea 1001 (her own group 1001), hugo 1002; 100 the pupils' group.
    QTest::newRow("her alone, by a list") << FileRights{0640, 1000, 1000, pupilOnlyList(1001)} << "";
    QTest::newRow("her alone, by her own group") << FileRights{0640, 1000, 1001, {}} << "";
    QTest::newRow("the teacher alone") << FileRights{0600, 1000, 1000, {}} << "lea ne peut pas le lire";
    QTest::newRow("everybody") << FileRights{0604, 1000, 1000, {}}
                               << "d'autres que lea peuvent le lire : tout le monde";
    QTest::newRow("the pupils' group") << FileRights{0640, 1000, 100, {}}
                                       << "d'autres que lea peuvent le lire : le groupe 100";
    QTest::newRow("a classmate named in the list")
        << FileRights{0640, 1000, 1000, {{userObj, 6, 0}, {user, 4, 1001}, {user, 4, 1002}, {groupObj, 0, 0},
                                         {mask, 4, 0}, {other, 0, 0}}}
        << "d'autres que lea peuvent le lire : le compte 1002";
    QTest::newRow("her entry masked off")
        << FileRights{0600, 1000, 1000, {{userObj, 6, 0}, {user, 4, 1001}, {groupObj, 0, 0}, {mask, 0, 0},
                                         {other, 0, 0}}}
        << "lea ne peut pas le lire";
    QTest::newRow("her group refused, others allowed: the kernel stops at the group")
        << FileRights{0604, 1000, 1001, {}} << "lea ne peut pas le lire ; d'autres que lea peuvent le lire : tout le monde";
}

void TestAdaptations::readers()
{
    QFETCH(FileRights, rights);
    QFETCH(QString, fault);
    const logfile::PupilAccount lea{1001, {1001, 100}};
    const ReadersVerdict verdict = readersOf(rights, lea, [](unsigned gid) { return gid == 1001; });
    QCOMPARE(QString::fromStdString(readersFault(verdict, "lea", nullptr, nullptr)), fault);
}

// Marks for the pupils with settings of their own, a notice for each file
// that cannot serve and for the pupils without a file; saved, every pupil
// gets a file of the one size.
void TestAdaptations::classAsTheTeacherSeesIt()
{
    const Folder folder{{QString::fromLatin1(classAdaptationsName), file(andika)},
                        {pupilAdaptationsName("lea"), file(dyslexic)},
                        {pupilAdaptationsName("hugo"), file({}, true)},
                        {pupilAdaptationsName("max"), "adaptations : oui\ntaille : 999\n"}};
    FolderAccess access{readerOf(folder), [] { return QStringList{"max", "lea", "hugo"}; },
                        [](const QString &, const QString &login) {
                            return login == QLatin1String("hugo") ? QStringLiteral("tout le monde peut le lire")
                                                                  : QString();
                        }};
    const ClassAdaptations read = readClassAdaptations(access, "/srv/adaptations", {"lea", "zoé", "hugo"});
    QCOMPARE(read.adapted(), QStringList{"lea"});
    QCOMPARE(read.settingsOf("hugo"), andika);
    QCOMPARE(read.settingsOf("lea"), dyslexic);
    QStringList notices;
    for (const ClassNotice &notice : read.notices())
        notices.append(notice.text + (notice.items.isEmpty() ? QString() : u' ' + notice.items.join(u',')));
    QCOMPARE(notices,
             (QStringList{"Adaptations de lecture pour toute la classe : Andika, texte à 125 %.",
                          "Adaptations de lecture de hugo : le fichier eleve-hugo.conf du dossier des adaptations "
                          "(/srv/adaptations) : tout le monde peut le lire.",
                          "Adaptations de lecture de max : le fichier eleve-max.conf du dossier des adaptations "
                          "(/srv/adaptations) : ligne 2 : « 999 » n'est pas une valeur permise (100, 125, 150, 175, "
                          "200, 225, 250).",
                          "Adaptations de lecture : 1 élève n'a pas de fichier à son nom : un camarade pourrait voir "
                          "qui en a un. « Adaptations… » puis « Enregistrer » en donne un à chacun. zoé"}));

    AdaptationsDraft draft(read, {"lea", "zoé", "hugo"});
    QHash<QString, QByteArray> written;
    const QList<SavedFile> problems = saveClassAdaptations(
        [&written](const QString &name, const QByteArray &bytes, const QString &pupil) {
            written.insert(name, bytes);
            return pupil == QStringLiteral("zoé") ? WriteOutcome{true, QStringLiteral("lea peut le lire")}
                                                 : WriteOutcome{true, {}};
        },
        draft.classSettings(), draft.pupilEntries());
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems.first().line(), "eleve-zoé.conf : lea peut le lire");
    QCOMPARE(written.size(), 5); // the class's, then lea, zoé, hugo and max (whose file failed)
    for (const QByteArray &bytes : std::as_const(written))
        QCOMPARE(bytes.size(), adaptationsFileSize);
    QCOMPARE(pupilReading(readerOf(written), "zoé"), andika);
    QCOMPARE(pupilReading(readerOf(written), "max"), andika);
    QCOMPARE(pupilReading(readerOf(written), "lea"), dyslexic);
}

void TestAdaptations::draftKeepsEveryPupil()
{
    ClassAdaptations current;
    current.ofClass = andika;
    AdaptationsDraft draft(current, {"lea"});
    QCOMPARE(draft.addPupil(" tom", nullptr), "l'identifiant commence ou finit par une espace");
    QCOMPARE(draft.addPupil("a/b", nullptr), "l'identifiant ne peut pas contenir « / »");
    QCOMPARE(draft.addPupil("zoe", [](const QString &) { return false; }),
             "aucun compte « zoe » n'est connu de cette machine");
    QCOMPARE(draft.addPupil("=1+1", nullptr), QString());
    QCOMPARE(draft.pupils(), (QStringList{"=1+1", "lea"}));
    draft.choose("lea");
    QVERIFY(!draft.ownSettings());
    draft.setSettings(dyslexic); // following the class: nothing of her own to set
    QCOMPARE(draft.settings(), andika);
    draft.setOwnSettings(true); // from the class's
    QCOMPARE(draft.settings(), andika);
    draft.setSettings(dyslexic);
    draft.choose({});
    draft.setSettings(widest);
    QCOMPARE(draft.pupilEntries().value("lea"), (AdaptationsEntry{false, dyslexic}));
    QCOMPARE(draft.pupilEntries().value("=1+1"), (AdaptationsEntry{true, {}}));
    QCOMPARE(draft.classSettings(), widest);
}

QTEST_GUILESS_MAIN(TestAdaptations)
#include "tst_adaptations.moc"
