// How the host back end maps Windows paths onto the Linux file system, the
// way Wine does: drive Z: is the root "/", any other drive X is the folder
// named by env UPDATER_DRIVE_X. Names are code page 932 on the Windows side
// and UTF-8 on the Linux side.
#pragma once

#include <cstddef>

int IsCp932LeadByte(unsigned char byte);

// Conversions between code page 932 and UTF-8; 0 when the text does not
// convert or does not fit.
int Cp932ToUtf8(const char* text, char* out, size_t outSize);
int Utf8ToCp932(const char* text, char* out, size_t outSize);

// A Windows path (either separator) as a host path. Each existing element
// is matched without regard to ASCII case, as Windows file systems do.
// 0 when the path names no mapped drive or does not fit.
int HostPathFromWindows(const char* windowsPath, char* out, size_t outSize);

// A host path as a Windows path: absolute paths land on drive Z:.
int WindowsPathFromHost(const char* hostPath, char* out, size_t outSize);
