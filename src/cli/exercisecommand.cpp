#include "cli/exercisecommand.h"

#include "cli/say.h"
#include "exercisefile/exercisefile.h"
#include "paths/paths.h"

#include <QDir>

std::optional<QString> exerciseFileArgument(const QStringList &arguments)
{
    const QString option = QStringLiteral("--exercice");
    QString file;
    if (arguments.size() == 3 && arguments[1] == option)
        file = arguments[2];
    else if (arguments.size() == 2 && arguments[1].startsWith(option + u'='))
        file = arguments[1].sliced(option.size() + 1);
    // An option in the file's place is a mistake the command line says.
    if (file.isEmpty() || file.startsWith(u'-'))
        return std::nullopt;
    return file;
}

std::optional<Exercise> exerciseOfArgument(const QString &file, QIODevice &err)
{
    const ExerciseRead read = readExerciseFile(localPath(file));
    if (read.exercise)
        return read.exercise;
    QString faults;
    for (const ExerciseFault &fault : read.faults)
        faults += QStringLiteral("  ") + describeFault(fault) + u'\n';
    complain(err, QStringLiteral("%1 n'est pas un exercice valable :\n%2")
                      .arg(printableName(QDir::toNativeSeparators(file)), faults));
    return std::nullopt;
}
