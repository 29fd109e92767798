// The process-wide record of one update run. It belongs to the main flow,
// is cleared when the run starts and lives until the process exits; the
// other parts read and write its fields.
#pragma once

#include "platform/types.h"

struct UpdateState {
  InstanceHandle instance;  // the updater's own module: dialog template and icon
  WindowHandle dialog;      // the progress dialog; kept after it is destroyed
  int32_t completed;        // files, setup list and version record all done
  int32_t cancelRequested;  // set by the cancel command, polled by the copy loop
  char installFolder[PATH_TEXT_SIZE];
  char appDataFolder[PATH_TEXT_SIZE];
  char updaterFolder[PATH_TEXT_SIZE];
  char packageFolder[PATH_TEXT_SIZE];
  char caption[MESSAGE_TEXT_SIZE];
};

extern UpdateState State;
