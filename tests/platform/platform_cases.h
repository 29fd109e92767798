// Cases that both back ends must answer alike: removing the last path
// element (double-byte aware) and bounded formatting. The same table runs
// through platform/win32 under Wine and through the host back end.
#pragma once

#include <cstddef>

enum { CASE_LINE_SIZE = 512 };

int CaseCount();
// The case's line as the linked back end produces it: its name and result.
void RunCase(int index, char* line, size_t size);
// The line the case must produce.
void ExpectedLine(int index, char* line, size_t size);
