#include "shellext/library_instance.h"

#include <atomic>

namespace morvane {

namespace {
std::atomic<HINSTANCE> g_instance{nullptr};
}  // namespace

HINSTANCE LibraryInstance() { return g_instance.load(); }

void SetLibraryInstance(HINSTANCE instance) { g_instance.store(instance); }

}  // namespace morvane
