#include "cli/interrupt.h"

#include <csignal>

namespace morvane::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
std::atomic<std::atomic<int>*> g_flag{nullptr};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<std::atomic<int>*>::is_always_lock_free,
              "the interrupt handler may only touch lock-free atomics");

extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
  if (std::atomic<int>* flag = g_flag.load()) flag->store(1);
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;  // the second Ctrl-C is the default one
  sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return g_interrupted != 0; }

void SetInterruptFlag(std::atomic<int>* flag) { g_flag.store(flag); }

}  // namespace morvane::cli
