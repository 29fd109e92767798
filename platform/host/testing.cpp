#include "platform/host/testing.h"

#include <cstring>

void ResetHostWindows();
void ResetHostMessageBoxes();

struct FaultRule {
  int active;
  FaultOperation op;
  char pathPart[512];
  int skip;
  int times;
  FaultEffect effect;
};

enum { MAX_FAULT_RULES = 16 };
static FaultRule Rules[MAX_FAULT_RULES];
static int CallCounts[FAULT_OPERATION_COUNT];
static FileOperationHook Hook;
static void* HookContext;

int DriveOverrideActive;
uint64_t DriveOverrideTotal;
uint64_t DriveOverrideFree;

void InjectFault(FaultOperation op, const char* pathPart, int skip, int times,
                 FaultEffect effect) {
  for (FaultRule& rule : Rules) {
    if (rule.active) continue;
    rule.active = 1;
    rule.op = op;
    rule.pathPart[0] = '\0';
    if (pathPart != nullptr) {
      strncat(rule.pathPart, pathPart, sizeof rule.pathPart - 1);
    }
    rule.skip = skip;
    rule.times = times;
    rule.effect = effect;
    return;
  }
}

int FaultCallCount(FaultOperation op) { return CallCounts[op]; }

void SetFileOperationHook(FileOperationHook hook, void* context) {
  Hook = hook;
  HookContext = context;
}

void OverrideDriveSpace(uint64_t totalBytes, uint64_t freeBytes) {
  DriveOverrideActive = 1;
  DriveOverrideTotal = totalBytes;
  DriveOverrideFree = freeBytes;
}

void ResetHostState() {
  memset(Rules, 0, sizeof Rules);
  memset(CallCounts, 0, sizeof CallCounts);
  Hook = nullptr;
  HookContext = nullptr;
  DriveOverrideActive = 0;
  ResetHostWindows();
  ResetHostMessageBoxes();
}

int CheckFault(FaultOperation op, const char* windowsPath) {
#if defined(UPDATER_FAULT_INJECTION)
  const char* path = windowsPath != nullptr ? windowsPath : "";
  ++CallCounts[op];
  if (Hook != nullptr) Hook(op, path, HookContext);
  for (FaultRule& rule : Rules) {
    if (!rule.active || rule.op != op || rule.times <= 0) continue;
    if (rule.pathPart[0] != '\0' && strstr(path, rule.pathPart) == nullptr) continue;
    if (rule.skip > 0) {
      --rule.skip;
      continue;
    }
    --rule.times;
    return rule.effect;
  }
#else
  (void)op;
  (void)windowsPath;
#endif
  return -1;
}
