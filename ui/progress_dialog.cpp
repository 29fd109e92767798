#include "ui/progress_dialog.h"

#include "app/package_definition.h"
#include "app/update_state.h"
#include "platform/text.h"
#include "res/resource.h"
#include "settings/install_location.h"
#include "transfer/copy_engine.h"

// The package folder is the updater's folder joined with the package folder
// name. An updater folder that leaves no room for it, or that is empty
// because the module path did not fit, gives no package folder at all: a
// cut-off path could name some other folder. The run then stops as a failed
// update, without a message of its own (none of the texts describes it; the
// final report says the update was stopped).
static int ComposePackageFolder() {
  int fitted = State.updaterFolder[0] != '\0' &&
               FormatText(State.packageFolder, sizeof State.packageFolder, "%s\\%s",
                          State.updaterFolder, Package.packageFolderName) >= 0;
  if (!fitted) State.packageFolder[0] = '\0';
  return fitted;
}

// Runs inside UM_START_UPDATE. The copy engine reports its own failures;
// only a complete update records the version and closes as completed, which
// is what lets the close request through. Either way the destruction posts
// the quit message that ends the main flow's loop.
static void RunUpdate(WindowHandle window) {
  if (ComposePackageFolder() && CopyPackageFiles()) {
    RecordUpdateVersion();
    State.completed = 1;
    SendWindowMessage(window, MESSAGE_CLOSE, 0, 0);
  } else {
    DestroyWindowNow(window);
  }
}

intptr_t ProgressDialogProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  switch (message) {
    case MESSAGE_INITDIALOG:
      SetWindowTitle(window, State.caption);
      SendWindowMessage(GetItem(window, IDC_PROGRESS), MESSAGE_PBM_SETPOS, 0, 0);
      SendWindowMessage(window, MESSAGE_SETICON, ICON_KIND_SMALL,
                        reinterpret_cast<intptr_t>(LoadModuleIcon(State.instance, IDI_APP)));
      RemoveCloseCommand(window);
      return 1;
    case UM_START_UPDATE:
      RunUpdate(window);
      return 1;
    case MESSAGE_COMMAND:
      // Only the whole wParam 1006 cancels: the dialog manager's own Cancel
      // (2, from Escape) and notification codes in the high word do not.
      if (wParam == IDC_CANCEL_UPDATE) State.cancelRequested = 1;
      return 1;
    case MESSAGE_CLOSE:
      if (State.completed) DestroyWindowNow(window);
      return 1;
    case MESSAGE_DESTROY:
      PostQuit(0);
      return 1;
    default:
      return 0;
  }
}
