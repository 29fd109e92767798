// What the setup list tests, the property test and the fuzz target share:
// the folders of a merge, a model of the merge written from the rules rather
// than from the code, and single faults to inject.
#pragma once

#include "setuplist/installed_text_index.h"
#include "tests/support/host_files.h"

#include <string>

// Makes root/data and root/install and points the run's state, the
// transcript (root/transcript.jsonl) and the window registry at them.
// Returns 0 when a folder cannot be made.
int PrepareMergeFolders(const std::string& root);

// The installed list's file after a successful merge of packageFile into
// installedFile, each given as the file's bytes.
std::string ModelMergedFile(const std::string& packageFile, const std::string& installedFile);

// The merged text of two texts without zero bytes, through the index or,
// when it is null, the plain search.
std::string ComposedList(const std::string& package, const std::string& installed,
                         const InstalledTextIndex* index);

// Empty when after holds entries, each ended by ";\n", that installedBefore's
// text does not contain, then that text whole, then only zero bytes; else
// what is wrong.
std::string MergedFileFault(const std::string& installedBefore, const std::string& after);

// Arms at most one fault in a file, size, read, allocation or write
// operation of the merge, chosen by choice (any value); returns its name.
const char* InjectOneMergeFault(unsigned choice);
