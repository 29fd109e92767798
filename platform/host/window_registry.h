// Window titles registered across processes, so that FindWindowByTitle
// sees the windows of other updaters. Each title is a file in a shared
// folder, locked while the window exists; the OS drops the lock when the
// process dies, so a crashed updater never blocks the next one.
#pragma once

// Returns a token for the registration, -1 when it could not be made.
int RegisterWindowTitle(const char* title);
void ChangeRegisteredTitle(int token, const char* title);
void UnregisterWindowTitle(int token);
// Nonzero when a live window anywhere carries this title.
int IsTitleRegistered(const char* title);
