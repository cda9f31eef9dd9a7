#pragma once

namespace tavora::cli {

// Ctrl+C handling: the first interrupt is only counted, so the main loop can
// stop the task the way Cancel does; a second one ends the process at once.
void InstallInterruptHandler();
int InterruptCount();

} // namespace tavora::cli
