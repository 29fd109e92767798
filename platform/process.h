// Process-wide safety settings made before anything else runs.
#pragma once

// Restricts DLL loading to the system folder, so that no DLL planted beside
// the updater (often in a Downloads folder) is ever loaded.
void RestrictDllSearch();
