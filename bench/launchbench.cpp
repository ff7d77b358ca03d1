// Launch to ready, side by side: runs two programs in turn (A, B, A, B...),
// each of which ends itself once ready to type, and prints wall time, user +
// system CPU time and peak memory for each with their ratios.
//
//   launchbench RUNS NAME_A PROGRAM_A NAME_B PROGRAM_B
//
// A program may be preceded by variables for it alone, in one argument:
// "XDG_CONFIG_HOME=/tmp/fit /path/to/program".

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Run
{
    double wallMs;
    double cpuMs;
    double maxRssMiB;
};

double milliseconds(const timeval &t)
{
    return t.tv_sec * 1000.0 + t.tv_usec / 1000.0;
}

Run launch(const char *program)
{
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> words;
    for (std::istringstream split(program); !split.eof();) {
        std::string word;
        split >> word;
        if (!word.empty())
            words.push_back(word);
    }
    const pid_t pid = fork();
    if (pid == 0) {
        std::size_t first = 0;
        for (; first + 1 < words.size() && words[first].find('=') != std::string::npos; ++first)
            putenv(words[first].data());
        execl(words[first].c_str(), words[first].c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    rusage usage{};
    int status = 0;
    // A program that never gets ready is stopped after 60 s.
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(60)) {
            kill(pid, SIGKILL);
            std::fprintf(stderr, "launchbench: %s never got ready\n", program);
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const auto ended = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "launchbench: %s ended with status %d\n", program, status);
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(ended - started).count(),
            milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

struct Summary
{
    double median, min, max;
};

Summary summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

template <typename Field>
std::vector<double> column(const std::vector<Run> &runs, Field field)
{
    std::vector<double> values;
    for (const Run &run : runs)
        values.push_back(run.*field);
    return values;
}

void row(const char *what, const char *unit, const std::vector<Run> &a, const std::vector<Run> &b,
         double Run::*field)
{
    const Summary sa = summarise(column(a, field));
    const Summary sb = summarise(column(b, field));
    std::vector<double> pairRatios;
    for (std::size_t i = 0; i < a.size(); ++i)
        pairRatios.push_back(a[i].*field / b[i].*field);
    std::printf("| %-22s | %8.1f %-3s (%6.1f - %6.1f) | %8.1f %-3s (%6.1f - %6.1f) | %5.2f | %5.2f |\n",
                what, sa.median, unit, sa.min, sa.max, sb.median, unit, sb.min, sb.max,
                sa.median / sb.median, summarise(pairRatios).median);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: launchbench RUNS NAME_A PROGRAM_A NAME_B PROGRAM_B\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const char *nameA = argv[2], *programA = argv[3], *nameB = argv[4], *programB = argv[5];

    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        launch(programA);
        launch(programB);
    }
    std::vector<Run> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(launch(programA));
        b.push_back(launch(programB));
    }

    std::printf("Launch to ready, %d runs each, paired (%s, %s, %s, ...): median (min - max)\n\n",
                runs, nameA, nameB, nameA);
    std::printf("| %-22s | %-33s | %-33s | A / B | pairs |\n", "", nameA, nameB);
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(24, '-').c_str(), std::string(35, '-').c_str(),
                std::string(35, '-').c_str(), std::string(7, '-').c_str(), std::string(7, '-').c_str());
    row("wall time", "ms", a, b, &Run::wallMs);
    row("user + system CPU", "ms", a, b, &Run::cpuMs);
    row("peak memory (max RSS)", "MiB", a, b, &Run::maxRssMiB);
    const double extraMiB = summarise(column(a, &Run::maxRssMiB)).median
                            - summarise(column(b, &Run::maxRssMiB)).median;
    std::printf("\npeak memory, %s minus %s: %+.1f MiB\n", nameA, nameB, extraMiB);
    return 0;
}
