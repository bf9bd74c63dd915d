#include "platform/sound.h"

#include <atomic>

namespace morvane {

namespace {
std::atomic<int> warning_sounds{0};
}

void PlayDefaultWarningSound() { ++warning_sounds; }
int WarningSoundCount() { return warning_sounds.load(); }

}  // namespace morvane
