// The program's entry: the checks that must pass before anything is
// touched, the user's consent, the progress dialog that performs the update
// and the final report.
#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "app/update_state.h"
#include "integrity/installation_check.h"
#include "platform/entry.h"
#include "platform/folders.h"
#include "platform/messagebox.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/window.h"
#include "res/resource.h"
#include "settings/install_location.h"
#include "ui/progress_dialog.h"

#include <cstring>

UpdateState State;

enum { EXIT_DONE = 0, EXIT_NOT_FOUND = 1, EXIT_DAMAGED = 2 };

static void NoteUpdaterFolder() {
  // A module path that does not fit leaves the folder empty; the dialog
  // refuses to compose a package folder from it.
  if (GetModulePath(State.instance, State.updaterFolder, sizeof State.updaterFolder) == 0) {
    State.updaterFolder[0] = '\0';
    return;
  }
  RemoveLastPathElement(State.updaterFolder);
}

// Creates the dialog, runs the update inside UM_START_UPDATE and empties the
// queue up to the quit message its destruction posted. Zero when the dialog
// could not be created: then nothing was touched and no quit message will
// ever come, so the caller must not wait for one.
static int RunProgressDialog(int showCommand) {
  PrepareDialogClasses();
  State.dialog = CreateModelessDialog(State.instance, IDD_UPDATE, nullptr, ProgressDialogProc);
  if (State.dialog == nullptr) return 0;
  ShowWindowAs(State.dialog, showCommand);
  PaintWindowNow(State.dialog);

  SendWindowMessage(State.dialog, UM_START_UPDATE, 0, 0);

  QueuedMessage message;
  while (FetchMessage(&message) > 0) {
    if (OfferToDialog(State.dialog, &message)) {
      WaitForMessage();
    } else {
      TranslateAndDispatch(&message);
    }
  }
  return 1;
}

extern "C" int UPDATER_ENTRY_CALL WinMain(InstanceHandle instance, InstanceHandle, char*,
                                          int showCommand) {
  RestrictDllSearch();

  memset(&State, 0, sizeof State);
  State.instance = instance;
  NoteUpdaterFolder();
  FormatText(State.caption, sizeof State.caption, Package.captionFormat, Package.productTitle);

  WindowHandle running = FindWindowByTitle(State.caption);
  if (running != nullptr) {
    GiveFocus(running);
    return EXIT_DONE;
  }

  char message[MESSAGE_TEXT_SIZE];
  FormatText(message, sizeof message, MSG_INSTALL_NOT_FOUND, Package.productTitle);
  if (!LocateInstallation()) {
    ShowMessageBox(nullptr, message, State.caption, BOX_OK | BOX_ICON_WARNING);
    return EXIT_NOT_FOUND;
  }
  if (!VerifyInstallation(State.installFolder)) {
    ShowMessageBox(nullptr, MSG_INSTALL_DAMAGED, State.caption, BOX_OK | BOX_ICON_WARNING);
    return EXIT_DAMAGED;
  }
  if (IsUpdateAlreadyApplied()) {
    if (ShowMessageBox(nullptr, MSG_NOT_NEEDED, State.caption, BOX_YES_NO | BOX_ICON_QUESTION) !=
        ANSWER_YES) {
      return EXIT_DONE;
    }
  }
  FormatText(message, sizeof message, MSG_CONFIRM_START, Package.productTitle);
  if (ShowMessageBox(nullptr, message, State.caption, BOX_OK_CANCEL | BOX_ICON_WARNING) ==
      ANSWER_CANCEL) {
    return EXIT_DONE;
  }

  if (RunProgressDialog(showCommand) && State.completed) {
    ShowMessageBox(nullptr, MSG_FINISHED, State.caption, BOX_OK);
  } else {
    ShowMessageBox(nullptr, MSG_ABORTED, State.caption, BOX_OK | BOX_ICON_WARNING);
  }
  return EXIT_DONE;
}
