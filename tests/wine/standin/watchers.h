#pragma once
// The two threads that keep a run from hanging: the dialog watcher records and dismisses
// every dialog box of this process (message boxes included), and the watchdog ends the
// process when the run takes too long.
#include <cstdint>

namespace standin {

void StartDialogWatcher();
void StartWatchdog(uint32_t limitMs);
// The number of dialogs the watcher has dismissed so far.
int DialogsSeen();

}  // namespace standin
