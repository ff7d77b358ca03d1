#include "classroom/classnotices.h"

#include "classroom/reportcells.h"
#include "classroom/wording.h"

#include <QFileInfo>

namespace {

// More problems than this make one notice that counts them.
constexpr qsizetype separateProblems = 5;
// The names a group's notice shows in its own line.
constexpr qsizetype namesInLine = 3;

// The group's items, cut with a last line that counts the rest.
QStringList bounded(const QStringList &items, qint64 count)
{
    QStringList kept = items.first(std::min(items.size(), maxNoticeItems));
    if (count > kept.size())
        kept.append(QStringLiteral("… et %1").arg(plural(count - kept.size(), QStringLiteral("autre"),
                                                         QStringLiteral("autres"))));
    return kept;
}

ClassNotice ignoredFiles(const QStringList &names, qint64 count)
{
    const QString counted = plural(count, QStringLiteral("fichier ignoré"), QStringLiteral("fichiers ignorés"));
    if (count <= namesInLine && names.size() == count)
        return {QStringLiteral("%1 : %2").arg(counted, names.join(QStringLiteral(", "))), {}};
    // The line names the first few by their file's name alone; the list has them whole.
    QStringList first;
    for (const QString &name : names.first(std::min(names.size(), namesInLine)))
        first.append(QFileInfo(name).fileName());
    return {QStringLiteral("%1 : %2, …").arg(counted, first.join(QStringLiteral(", "))), bounded(names, count)};
}

void addProblems(const QStringList &problems, QList<ClassNotice> &notices)
{
    if (problems.size() <= separateProblems) {
        for (const QString &problem : problems)
            notices.append({problem, {}});
        return;
    }
    notices.append({QStringLiteral("%1 n'ont pas pu être lus : %2 ; …")
                        .arg(plural(problems.size(), QStringLiteral("fichier ou dossier"),
                                    QStringLiteral("fichiers ou dossiers")),
                             problems.first()),
                    bounded(problems, problems.size())});
}

} // namespace

QList<ClassNotice> classNotices(const ClassReport &report, const NoticeSources &sources)
{
    QList<ClassNotice> notices;
    if (sources.stopped)
        notices.append({QStringLiteral("Lecture interrompue : seule une partie des résultats est montrée (« Reprendre la lecture », en bas de la fenêtre, lit la suite)."), {}});
    addProblems(sources.problems, notices);
    if (report.anyOwnerUnverified())
        notices.append({QStringLiteral("Sur ce partage, le propriétaire des fichiers n'est pas visible : les lignes "
                                       "marquées « %1 » peuvent venir d'un autre élève.")
                            .arg(QString::fromUtf8(ownerUnverifiedNote)),
                        {}});
    if (report.rowKind() == ReportRows::Attempts && (sources.sharedSetting || report.attempts() > 0))
        notices.append({QStringLiteral("Ce fichier peut mêler plusieurs élèves : chaque ligne est un essai, dans "
                                       "l'ordre du fichier."),
                        {}});
    if (anyUntypedShown(report))
        notices.append({QStringLiteral("* %1 : la ligne a été écrite par autre chose que l'exercice.")
                            .arg(QString::fromUtf8(untypedNote)),
                        {}});
    if (!report.known())
        notices.append({unknownExerciseNote()
                            + (sources.live ? QStringLiteral(" « Fichier › Lire selon un fichier d'exercice… » lit ses "
                                                             "réponses, si vous avez son fichier.")
                                            : QString()),
                        {}});
    if (sources.ignoredLines > 0)
        notices.append({QStringLiteral("%1 : ce ne sont pas des résultats entiers (une ligne modifiée à la main, "
                                       "coupée, ou un titre d'exercice connu sur d'autres idées) ; elles ne comptent pas.")
                            .arg(plural(sources.ignoredLines, QStringLiteral("ligne ignorée"),
                                        QStringLiteral("lignes ignorées"))),
                        {}});
    if (!sources.exerciseProblems.isEmpty())
        notices.append({QStringLiteral("%1 : %2%3")
                            .arg(plural(sources.exerciseProblems.size(), QStringLiteral("fichier d'exercice laissé de côté"),
                                        QStringLiteral("fichiers d'exercice laissés de côté")),
                                 sources.exerciseProblems.first(),
                                 sources.exerciseProblems.size() > 1 ? QStringLiteral(" ; …") : QString()),
                        sources.exerciseProblems.size() > 1 ? bounded(sources.exerciseProblems, sources.exerciseProblems.size())
                                                            : QStringList()});
    if (const qint64 count = std::max<qint64>(sources.ignoredCount, sources.ignored.size()); count > 0)
        notices.append(ignoredFiles(sources.ignored, count));
    if (report.attempts() == 0 && sources.problems.isEmpty())
        notices.append({sources.live ? QStringLiteral("Aucun résultat pour l'instant : chaque essai apparaîtra ici dès "
                                                      "qu'il sera enregistré.")
                                     : QStringLiteral("Aucun résultat."),
                        {}});
    return notices;
}
