// Ctrl-C during a run: the first interrupt asks the run to stop after the files in progress
// (the summary is still printed, the exit code is 130); a second one ends the process at once.
#pragma once

#include <atomic>

namespace morvane::cli {

constexpr int kInterruptedExitCode = 130;

void InstallInterruptHandler();
bool Interrupted();
// Also raised by the interrupt: a flag the worker processes read through shared memory. The
// flag must be lock-free and outlive the handler's use of it (cleared with nullptr).
void SetInterruptFlag(std::atomic<int>* flag);

}  // namespace morvane::cli
