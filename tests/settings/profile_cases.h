// One table of initialisation-file cases that runs through whichever back
// end the program is linked with: natively on the host, and through the
// Win32 back end under Wine. Both write a report of every result, so the
// two can be compared byte for byte.
#pragma once

#include <cstdint>

enum { PROFILE_CALLS_PER_CASE = 6 };
// A read's buffer is filled with GUARD_FILL and GUARD_BYTES more than its
// capacity are reported, so that a write past the capacity shows.
enum { GUARD_BYTES = 8, GUARD_FILL = '#' };

struct ProfileCall {
  int write;  // 1: WriteProfileText of text; 0: ReadProfileText with default text
  const char* section;
  const char* key;
  const char* text;      // the value written, or the default text of a read
  uint32_t capacity;     // of a read
  const char* expected;  // what a read returns
};

struct ProfileCase {
  const char* name;
  const char* contents;                       // the file before the calls; null when there is none
  ProfileCall calls[PROFILE_CALLS_PER_CASE];  // ended by an entry without a section
  const char* expectedFile;  // the file after the calls; null when it must be unchanged
  const char* wineDiffers;   // why Wine's results cannot match Windows here; null when they must
};

extern const ProfileCase ProfileCases[];
extern const int ProfileCaseCount;

// Runs every case in folder (a Windows path), each on a file of its own,
// and writes the report to reportPath. One line per call and one for the
// file each case leaves, each starting with the case name. Nonzero when
// every case could be set up and the report written.
int RunProfileCases(const char* folder, const char* reportPath);

// The file name of case index inside folder, into out (size bytes).
int ProfileCasePath(const char* folder, int index, char* out, uint32_t size);
