#pragma once

// Timing helpers shared by the benchmark programs, and what they say about
// the machine and the process beside their figures.

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace Timing {

using Clock = std::chrono::steady_clock;

template <typename Work>
double timeMs(Work&& work)
{
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n == 0)
        return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double minimum(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// Processor time, user and system, in milliseconds: of this process and all
// its threads (RUSAGE_SELF), or of its child processes that ended and were
// waited for (RUSAGE_CHILDREN).
inline double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& time) { return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The one-minute load average: other work on the machine slows every figure.
inline std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string oneMinute;
    file >> oneMinute;
    return oneMinute.empty() ? std::string("unknown") : oneMinute;
}

// The processor's model name, as the kernel reports it.
inline std::string cpuModel()
{
    std::ifstream file("/proc/cpuinfo");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos)
            return line.substr(line.find(':') + 2);
    }
    return "unknown";
}

// A figure of /proc/self/status, such as "VmRSS:", in KiB; -1 when unknown.
inline long statusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(field.size()));
    }
    return -1;
}

// This process's resident memory now, and its high-water mark.
inline long residentKiB()
{
    return statusKiB("VmRSS:");
}

inline long peakResidentKiB()
{
    return statusKiB("VmHWM:");
}

// Lowers the high-water mark to the memory resident now, so that the next
// reading is the peak of one phase. Linux only; false when refused.
inline bool resetPeakResident()
{
    // What earlier work freed and the C library kept goes back first, so
    // that the peak from here is what follows.
    malloc_trim(0);
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

} // namespace Timing
