#include "ui/progress_dialog.h"

#include "app/update_state.h"
#include "res/resource.h"

// STAND-IN until the progress dialog runs the update: the update completes
// at once without copying anything.
intptr_t ProgressDialogProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  switch (message) {
    case MESSAGE_INITDIALOG:
      SetWindowTitle(window, State.caption);
      return 1;
    case UM_START_UPDATE:
      State.completed = 1;
      DestroyWindowNow(window);
      return 1;
    case MESSAGE_DESTROY:
      PostQuit(0);
      return 1;
    default:
      return 0;
  }
}
