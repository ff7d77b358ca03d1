// The exercise as a pupil with reading adaptations finds it: what a teacher
// might set for a dyslexic reader. Built twice: to look at (the docs'
// screenshots) and, with MORVEL2_EXIT_WHEN_READY, ending itself once ready
// to type (the benchmark's).

#include "app/program.h"
#include "exitwhenready.h"

int main(int argc, char *argv[])
{
    const ReadingSettings reading{ReadingFont::OpenDyslexic, 150, 150, 5, 20, PassageBackground::Cream, true};
#ifdef MORVEL2_EXIT_WHEN_READY
    return runProgram(argc, argv, [](QWidget &window) { static const ExitWhenReady probe(&window); }, reading);
#else
    return runProgram(argc, argv, {}, reading);
#endif
}
