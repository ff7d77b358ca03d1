// The exercise as it ships, started on the exercise a teacher offers, and
// ending itself once ready to type. The machine's setting folder is
// MORVEL2_BENCH_OFFERED (an XDG_CONFIG_DIRS folder root owns), given here
// rather than in the environment of both programs compared, so that the
// built-in exercise's runs never see it. With MORVEL2_BENCH_CHECK set, it
// only says how many exercises it would offer.

#include "app/program.h"
#include "exitwhenready.h"
#include "offered/exercisesfolder.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("XDG_CONFIG_DIRS", qgetenv("MORVEL2_BENCH_OFFERED"));
    if (qEnvironmentVariableIsSet("MORVEL2_BENCH_CHECK")) {
        const Offer offer = offeredExercises();
        std::printf("%lld offered%s%s\n", static_cast<long long>(offer.exercises().size()),
                    offer.problem.isEmpty() ? "" : ": ", qPrintable(offer.problem));
        return offer.exercises().size() == 1 ? 0 : 1;
    }
    return runProgram(argc, argv, [](QWidget &window) { static const ExitWhenReady probe(&window); });
}
