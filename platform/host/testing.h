// Test controls of the host back end. The fault plan acts only in the
// test build of the back end (UPDATER_FAULT_INJECTION); in the product it
// is never consulted.
#pragma once

#include <cstdint>

#include "platform/types.h"

enum FaultOperation {
  FAULT_OPEN_READ,
  FAULT_OPEN_REPLACE,
  FAULT_OPEN_REWRITE,
  FAULT_FILE_SIZE,
  FAULT_READ,
  FAULT_WRITE,
  FAULT_ALLOCATE,
  FAULT_SPECIAL_FOLDER,
  FAULT_PROFILE_READ,
  FAULT_PROFILE_WRITE,
  FAULT_DRIVE_SPACE,
  FAULT_OPEN_MODULE,
  FAULT_CREATE_DIALOG,
  FAULT_OPERATION_COUNT
};

enum FaultEffect {
  FAULT_FAIL,   // the operation fails
  FAULT_SHORT,  // a read or write succeeds but moves only half the bytes asked for
};

// Operations of kind op whose Windows path contains pathPart (any path when
// null; for allocations and folder queries the path is empty) pass skip
// times, then the next `times` of them take the effect.
void InjectFault(FaultOperation op, const char* pathPart, int skip, int times,
                 FaultEffect effect);

// How many operations of kind op have been attempted since the last reset.
int FaultCallCount(FaultOperation op);

// Called before every file operation with its Windows path, so that a test
// can change the disk at a chosen moment (a source emptied after it was
// measured, say).
typedef void (*FileOperationHook)(FaultOperation op, const char* windowsPath, void* context);
void SetFileOperationHook(FileOperationHook hook, void* context);

// Replaces the drive figures that GetDriveSpace reports.
void OverrideDriveSpace(uint64_t totalBytes, uint64_t freeBytes);

// Clears the fault plan, the counts, the hook and the drive override, and
// returns windows, the message queue and the message-box answers to their
// state at process start, so that one process can run several updates.
void ResetHostState();

// The progress dialog as the host back end holds it; it stays readable
// after the dialog is destroyed, until the next reset.
struct HostDialogView {
  int destroyed;
  int visible;
  int closeInMenu;   // its system menu still offers Close
  int hasSmallIcon;
  int progress;      // the progress bar's position
  char title[MESSAGE_TEXT_SIZE];
  char status[MESSAGE_TEXT_SIZE];   // IDC_STATUS
  char percent[MESSAGE_TEXT_SIZE];  // IDC_PERCENT
};
// Fills view from the last progress dialog created; 0 when none was.
int ViewHostDialog(HostDialogView* view);

// Posts message (with wParam, lParam 0) to the next progress dialog once
// its percentage has been shown afterUpdates times; 0 posts it right after
// the dialog is initialised, before the update starts. The copy loop then
// takes it off the queue as it would a user's. 0 when the plan is full.
int PlanDialogPost(int afterUpdates, uint32_t message, uintptr_t wParam);

// Internal to the back end: records the attempt and answers whether the
// operation must fail (-1: no fault, else a FaultEffect).
int CheckFault(FaultOperation op, const char* windowsPath);
