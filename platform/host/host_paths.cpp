#include "platform/host/host_paths.h"

#include <dirent.h>
#include <iconv.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

static int Convert(const char* from, const char* to, const char* text, char* out,
                   size_t outSize) {
  if (outSize == 0) return 0;
  iconv_t converter = iconv_open(to, from);
  if (converter == (iconv_t)-1) return 0;
  char* in = const_cast<char*>(text);
  size_t inLeft = strlen(text);
  char* cursor = out;
  size_t outLeft = outSize - 1;
  size_t result = iconv(converter, &in, &inLeft, &cursor, &outLeft);
  iconv_close(converter);
  if (result == (size_t)-1 || inLeft != 0) {
    out[0] = '\0';
    return 0;
  }
  *cursor = '\0';
  return 1;
}

int Cp932ToUtf8(const char* text, char* out, size_t outSize) {
  return Convert("CP932", "UTF-8", text, out, outSize);
}

int Utf8ToCp932(const char* text, char* out, size_t outSize) {
  return Convert("UTF-8", "CP932", text, out, outSize);
}

// Replaces the last element of path (which does not exist as spelt) by an
// entry of its folder that matches without regard to ASCII case.
static void MatchElementCase(char* path, size_t elementStart) {
  char folder[4096];
  if (elementStart >= sizeof folder) return;
  memcpy(folder, path, elementStart);
  folder[elementStart > 1 ? elementStart - 1 : elementStart] = '\0';
  if (folder[0] == '\0') strcpy(folder, "/");
  DIR* dir = opendir(folder);
  if (dir == nullptr) return;
  const char* element = path + elementStart;
  size_t length = strlen(element);
  struct dirent* entry;
  while ((entry = readdir(dir)) != nullptr) {
    if (strlen(entry->d_name) == length && strcasecmp(entry->d_name, element) == 0) {
      memcpy(path + elementStart, entry->d_name, length);
      break;
    }
  }
  closedir(dir);
}

static void MatchPathCase(char* path) {
  size_t length = strlen(path);
  struct stat info;
  for (size_t end = 1; end <= length; ++end) {
    if (end != length && path[end] != '/') continue;
    char saved = path[end];
    path[end] = '\0';
    if (lstat(path, &info) != 0) {
      size_t start = end;
      while (start > 0 && path[start - 1] != '/') --start;
      MatchElementCase(path, start);
    }
    path[end] = saved;
  }
}

int HostPathFromWindows(const char* windowsPath, char* out, size_t outSize) {
  char utf8[4096];
  if (!Cp932ToUtf8(windowsPath, utf8, sizeof utf8)) return 0;
  for (char* p = utf8; *p; ++p) {
    if (*p == '\\') *p = '/';
  }
  if (utf8[0] == '/' && utf8[1] == '/') return 0;  // network paths are not mapped

  const char* rest = utf8;
  const char* root = "";
  char cwd[4096];
  if (((utf8[0] | 0x20) >= 'a' && (utf8[0] | 0x20) <= 'z') && utf8[1] == ':') {
    char letter = (char)(utf8[0] & ~0x20);
    if (letter == 'Z') {
      root = "";
    } else {
      char name[] = "UPDATER_DRIVE_X";
      name[sizeof name - 2] = letter;
      root = getenv(name);
      if (root == nullptr || root[0] == '\0') return 0;
    }
    rest = utf8 + 2;
    if (rest[0] != '/') return 0;  // drive-relative paths are not used here
  } else if (utf8[0] != '/') {
    if (getcwd(cwd, sizeof cwd) == nullptr) return 0;
    root = cwd;
    if (rest[0] != '\0') {
      if (snprintf(out, outSize, "%s/%s", root, rest) >= (int)outSize) return 0;
      MatchPathCase(out);
      return 1;
    }
  }
  size_t rootLength = strlen(root);
  while (rootLength > 1 && root[rootLength - 1] == '/') --rootLength;
  if (rootLength == 1 && root[0] == '/') rootLength = 0;
  int written = snprintf(out, outSize, "%.*s%s", (int)rootLength, root, rest[0] ? rest : "/");
  if (written < 0 || (size_t)written >= outSize) return 0;
  MatchPathCase(out);
  return 1;
}

int WindowsPathFromHost(const char* hostPath, char* out, size_t outSize) {
  char cp932[4096];
  if (!Utf8ToCp932(hostPath, cp932, sizeof cp932)) return 0;
  const char* prefix = hostPath[0] == '/' ? "Z:" : "";
  int written = snprintf(out, outSize, "%s%s", prefix, cp932);
  if (written < 0 || (size_t)written >= outSize) return 0;
  // Slashes are ASCII in UTF-8 and never a trail byte after conversion.
  for (size_t i = 0; out[i]; ++i) {
    if (IsCp932LeadByte((unsigned char)out[i]) && out[i + 1]) {
      ++i;
    } else if (out[i] == '/') {
      out[i] = '\\';
    }
  }
  return 1;
}
