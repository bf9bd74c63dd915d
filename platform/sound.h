// The platform's default warning sound. Linux has none to play; the calls are counted so that
// tests can see that one was asked for.
#pragma once

namespace morvane {

void PlayDefaultWarningSound();
int WarningSoundCount();

}  // namespace morvane
