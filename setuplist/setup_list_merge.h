// Merging the package's setup list into the installed one.
#pragma once

// 0 when merged or when there is nothing to merge, else a code from 1 to 6
// (the message has then been shown where the code has one).
int MergeSetupList();

// MergeSetupList for a setup list of the given name in the package and
// install folders; an empty name switches the merge off.
int MergeSetupListNamed(const char* listName);

// Bytes from the text's start up to and including its first line break
// ("\r\n" is one break of two bytes); the whole length without a break.
unsigned LineLength(const char* text);
