// The host edition's transcript: env UPDATER_TRANSCRIPT names a file that
// receives one JSON object per line for every user-visible event.
#pragma once

#include <cstddef>

// Appends one line. fields is the object's body after the event name,
// already in JSON (empty for none).
void WriteTranscriptEvent(const char* event, const char* fields);

// A code-page-932 text as a JSON string (quotes included) in UTF-8.
void JsonStringFromCp932(const char* text, char* out, size_t outSize);
