#pragma once

#include "Decode.h"

#include <QString>

// One decode measured in a fresh process of the same program: the memory it
// held above what the process held just before (its readers already
// loaded), and its time. A fresh process, because a forked copy would share
// this one's thread pool state, which smooth scaling uses; the process
// reports its own figures, because the usage wait4 gives would count this
// process's memory too, which a spawned child shares until exec.
namespace DecodeProbe {

struct Measured {
    Pictures::Failure failure = Pictures::Failure::None;
    long peakKiB = -1; // -1: the child did not report
    double milliseconds = 0;
};

// Runs `program --decode-once PATH LONGSIDE PURPOSE` and reads its report.
// The program's main() must hand such arguments to RunIfAsked.
Measured InChild(const QString& program, const QString& path, int longSide, Pictures::Purpose purpose);

// In the child: decodes and reports, returning main()'s exit status; -1
// when the arguments ask for no such decode.
int RunIfAsked(int argc, char** argv);

} // namespace DecodeProbe
