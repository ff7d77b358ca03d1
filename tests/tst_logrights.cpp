// The rule for a pupil's log itself and its list of rights (POSIX ACL):
// who may read or change it, what the writer takes off it, and the bytes the
// kernel keeps a list in.

#include "logfile/folderrule.h"
#include "logfile/posixacl.h"

#include <QHash>
#include <QTest>

class TestLogRights : public QObject
{
    Q_OBJECT

private slots:
    void logRule_data();
    void logRule();
    void narrowedAcl_data();
    void narrowedAcl();
};

namespace {

// The accounts: the pupil (lea, in the group eleves), a classmate, the
// teacher (in profs).
enum Id : unsigned { root = 0, lea = 1001, tom = 1002, prof = 1003, eleves = 2001, profs = 2002 };

unsigned idOf(const QString &name)
{
    static const QHash<QString, unsigned> ids{{"root", root}, {"lea", lea},       {"tom", tom},
                                              {"prof", prof}, {"eleves", eleves}, {"profs", profs}};
    return ids.value(name);
}

std::string nameOf(unsigned id)
{
    static const QHash<unsigned, QString> names{{root, "root"}, {lea, "lea"},       {tom, "tom"},
                                                {prof, "prof"}, {eleves, "eleves"}, {profs, "profs"}};
    return names.value(id).toStdString();
}

// A list of rights as getfacl writes it, "u::rw-,g:eleves:r--,m::r--,o::---".
logfile::acl::Acl aclOf(const QString &text)
{
    using namespace logfile::acl;
    Acl acl;
    for (const QString &entry : text.split(u',')) {
        const QStringList parts = entry.split(u':');
        const QString perms = parts[2];
        const unsigned bits = (perms[0] == u'r' ? 4u : 0u) | (perms[1] == u'w' ? 2u : 0u) | (perms[2] == u'x' ? 1u : 0u);
        const bool named = !parts[1].isEmpty();
        const unsigned tag = parts[0] == u"u" ? (named ? user : userObj)
                             : parts[0] == u"g" ? (named ? group : groupObj)
                             : parts[0] == u"m" ? mask
                                                : other;
        acl.push_back({tag, bits, named ? idOf(parts[1]) : 0});
    }
    return acl;
}

} // namespace

void TestLogRights::logRule_data()
{
    // The log lea.txt, MODE:OWNER:GROUP, then its list's named entries as in
    // the folder rule's table; a "~" first: on a share that hides owners.
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("fault"); // empty: safe
    QTest::newRow("as the writer makes it") << "640:lea:profs" << "";
    QTest::newRow("others may read it") << "644:lea:profs" << "tout le monde peut lire ou changer le fichier /srv/classe/lea.txt";
    QTest::newRow("a classmate's file") << "640:tom:profs" << "le fichier /srv/classe/lea.txt appartient à tom";
    QTest::newRow("an ACL for the pupils' group, from a default list")
        << "640:lea:profs+g:eleves:r--" << "la liste de droits (ACL) du fichier /srv/classe/lea.txt permet au groupe eleves de le lire";
    QTest::newRow("an ACL the mask takes everything from") << "600:lea:profs+g:eleves:---" << "";
    QTest::newRow("an ACL for the teacher") << "640:lea:profs+u:prof:r--" << "";
    QTest::newRow("on a share: owners say nothing") << "~644:root:root" << "";
    QTest::newRow("on a share: a list still does") << "~644:root:root+g:eleves:r--" << "permet au groupe eleves";
}

// The rule for the log itself: nobody but the pupil, its group (the
// teachers') and the class folder's owner may read or change it.
void TestLogRights::logRule()
{
    QFETCH(QString, log);
    QFETCH(QString, fault);
    const bool hidden = log.startsWith(u'~');
    const QStringList entries = log.remove(0, hidden ? 1 : 0).split(u'+');
    const QStringList fields = entries.first().split(u':');
    logfile::LogFile file{"/srv/classe/lea.txt", true, fields[0].toUInt(nullptr, 8), idOf(fields[1]), idOf(fields[2]), {}, !hidden};
    for (const QString &entry : entries.sliced(1))
        file.acl = logfile::acl::namedGrants(aclOf(QStringLiteral("u::rw-,%1,m::rw-,o::---").arg(entry)));

    const std::string said = logfile::pupilLogFault(file, lea, prof, nameOf, nameOf);

    QCOMPARE(said.empty(), fault.isEmpty());
    QVERIFY2(QString::fromStdString(said).contains(fault), said.c_str());
}

void TestLogRights::narrowedAcl_data()
{
    QTest::addColumn<QString>("before"); // lea's log, group profs, in prof's class folder
    QTest::addColumn<QString>("after");
    QTest::newRow("an older log under a default list for the pupils")
        << "u::rw-,g::-wx,g:eleves:r--,m::r--,o::---" << "u::rw-,g::---,o::---";
    QTest::newRow("the teacher's and the pupil's entries stay")
        << "u::rw-,u:lea:rw-,u:prof:r--,u:tom:r--,g::r--,g:profs:r--,g:eleves:rw-,m::rw-,o::r--"
        << "u::rw-,u:lea:rw-,u:prof:r--,g::r--,g:profs:r--,m::rw-,o::---";
    QTest::newRow("never more than the mask let") << "u::rw-,g::rw-,g:eleves:r--,m::r--,o::---" << "u::rw-,g::r--,o::---";
    QTest::newRow("others' bits alone") << "u::rw-,g::r--,o::r--" << "u::rw-,g::r--,o::---";
    QTest::newRow("nothing to take") << "u::rw-,g::r--,o::---" << "u::rw-,g::r--,o::---";
}

// What the writer leaves of a pupil's log's list of rights, and the bytes
// the kernel keeps it in, both ways.
void TestLogRights::narrowedAcl()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    const logfile::LogFile log{"lea.txt", true, 0640, lea, profs, {}, true};
    const logfile::acl::Acl narrowed = logfile::acl::narrowed(
        aclOf(before), [&](const logfile::AclGrant &grant) { return logfile::keptOnPupilLog(grant, log, prof); });
    QVERIFY(narrowed == aclOf(after));
    QVERIFY(logfile::acl::parse(logfile::acl::serialize(narrowed)) == narrowed);
    // As getfacl's u::rw-,g::r--,o::--- is stored: version 2, then tag,
    // permissions and id, little-endian, an id of -1 where none applies.
    QCOMPARE(QByteArray::fromStdString(logfile::acl::serialize(aclOf("u::rw-,g::r--,o::---"))).toHex(),
             QByteArray("02000000" "01000600ffffffff" "04000400ffffffff" "20000000ffffffff"));
    QVERIFY(!logfile::acl::parse(std::string("\x01\0\0\0", 4)));
    QVERIFY(!logfile::acl::parse(std::string("\x02\0\0\0\x01\0", 6)));
}

QTEST_GUILESS_MAIN(TestLogRights)
#include "tst_logrights.moc"
