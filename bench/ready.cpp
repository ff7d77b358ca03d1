// The exercise as it ships, but ending itself once ready to type.

#include "app/program.h"
#include "exitwhenready.h"

int main(int argc, char *argv[])
{
    return runProgram(argc, argv, [](QWidget &window) { static const ExitWhenReady probe(&window); });
}
