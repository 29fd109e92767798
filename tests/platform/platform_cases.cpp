#include "tests/platform/platform_cases.h"

#include "platform/folders.h"
#include "platform/text.h"

#include <climits>
#include <cstdio>
#include <cstring>

// Code-page-932 characters whose trail byte is the backslash 0x5C.
#define SO "\x83\x5C"     // ソ
#define HYO "\x95\x5C"    // 表
#define NOU "\x94\x5C"    // 能
#define RYOKU "\x97\xCD"  // 力

struct PathCase {
  const char* path;
  const char* expected;
};

static const PathCase PATH_CASES[] = {
    {"C:\\dir\\file.exe", "C:\\dir"},
    {"C:\\a\\b\\c", "C:\\a\\b"},
    {"C:\\dir\\", "C:\\dir"},
    {"C:\\file.exe", "C:\\"},
    {"C:\\", "C:\\"},
    {"C:", "C:"},
    {"C:file", "C:"},
    {"C:/dir/file", "C:"},
    {"\\\\server\\share\\file", "\\\\server\\share"},
    {"\\\\server\\share", "\\\\server"},
    {"\\\\server", "\\\\"},
    {"\\file", "\\"},
    {"\\", "\\"},
    {"file.exe", ""},
    {"", ""},
    {"dir\\file", "dir"},
    {"C:\\" SO "\\UpDate.exe", "C:\\" SO},
    {"C:\\games\\" SO, "C:\\games"},
    {"C:\\" HYO, "C:\\"},
    {"C:\\" HYO "\\" NOU, "C:\\" HYO},
    {"Z:\\tmp\\" NOU RYOKU "\\data", "Z:\\tmp\\" NOU RYOKU},
    {"C:\\x" SO SO "y\\z", "C:\\x" SO SO "y"},
    {SO, ""},
    {HYO "\\" NOU, HYO},
    {"C:\\dir\\\x83", "C:\\dir"},
};

// A formatting case: the call, made with the case's destination size, and
// the result and text it must give.
struct FormatCase {
  const char* name;
  size_t destSize;
  int (*format)(char* dest, size_t size);
  int expectedResult;
  const char* expectedText;
};

static char LongText[1500];

static void FillLongText() {
  memset(LongText, 'a', sizeof LongText - 1);
  LongText[sizeof LongText - 1] = '\0';
}

#define CALL(...) [](char* dest, size_t size) { return FormatText(dest, size, __VA_ARGS__); }

static const FormatCase FORMAT_CASES[] = {
    {"text", 16, CALL("%s", "abc"), 3, "abc"},
    {"join", 64, CALL("%s\\%s", "C:\\dir", "data"), 11, "C:\\dir\\data"},
    {"negative", 16, CALL("%d", -42), 3, "-42"},
    {"smallest int", 16, CALL("%d", INT_MIN), 11, "-2147483648"},
    {"width pads", 16, CALL("%3d", 5), 3, "  5"},
    {"width negative", 16, CALL("%3d", -5), 3, " -5"},
    {"width exceeded", 16, CALL("%3d", 1000), 4, "1000"},
    {"left aligned", 16, CALL("%-5d|", 42), 6, "42   |"},
    {"zero pad negative", 16, CALL("%05d", -42), 5, "-0042"},
    {"hex", 16, CALL("%08X", 0xDEADBEEFu), 8, "DEADBEEF"},
    {"hex padded", 16, CALL("%08X", 0x1Fu), 8, "0000001F"},
    {"hex of minus one", 16, CALL("%08X", (unsigned)-1), 8, "FFFFFFFF"},
    {"percent", 16, CALL("%%"), 1, "%"},
    {"percentage", 16, CALL("%3d%%", 7), 4, "  7%"},
    {"full percentage", 16, CALL("%3d%%", 100), 4, "100%"},
    {"counts", 64, CALL("[%d / %d] %d", 10, 20, -1), 12, "[10 / 20] -1"},
    {"double-byte text", 16, CALL("%s", SO HYO), 4, SO HYO},
    {"exact fit", 5, CALL("%s", "abcd"), 4, "abcd"},
    {"cut at the size", 5, CALL("%s", "abcdefgh"), -1, "abcd"},
    {"cut number", 4, CALL("%d", -123456), -1, "-12"},
    {"cut inside a character", 4, CALL("%s", SO HYO), -1, SO "\x95"},
    {"room for the zero only", 1, CALL("%s", "abc"), -1, ""},
    {"no room at all", 0, CALL("%s", "abc"), -1, nullptr},
    {"past the platform limit", 2048, CALL("%s", LongText), -1, nullptr},
};

enum { PATH_COUNT = sizeof PATH_CASES / sizeof PATH_CASES[0] };
enum { FORMAT_COUNT = sizeof FORMAT_CASES / sizeof FORMAT_CASES[0] };

int CaseCount() { return PATH_COUNT + FORMAT_COUNT; }

// Printable ASCII stays, every other byte (and the escape's own backslash
// and quote) is written as \xNN.
static void Escape(const char* text, size_t length, char* out, size_t size) {
  size_t used = 0;
  out[0] = '\0';
  for (size_t i = 0; i < length && used + 5 < size; ++i) {
    unsigned char c = (unsigned char)text[i];
    int plain = c >= 0x20 && c < 0x7F && c != '\\' && c != '"';
    used += (size_t)snprintf(out + used, size - used, plain ? "%c" : "\\x%02X", c);
  }
}

// A long uniform text is shown by its first bytes and its length.
static void DescribeText(const char* text, size_t length, char* out, size_t size) {
  char shown[128];
  if (length > 32) {
    char head[80];
    Escape(text, 16, head, sizeof head);
    snprintf(shown, sizeof shown, "%s...(%u bytes)", head, (unsigned)length);
  } else {
    Escape(text, length, shown, sizeof shown);
  }
  snprintf(out, size, "\"%s\"", shown);
}

static void FormatLine(int index, int result, const char* text, size_t length, int intact,
                       char* line, size_t size) {
  const FormatCase& c = FORMAT_CASES[index];
  char shown[200];
  if (text != nullptr) {
    DescribeText(text, length, shown, sizeof shown);
  } else {
    snprintf(shown, sizeof shown, "%s", c.destSize == 0 ? "untouched" : "unterminated");
  }
  snprintf(line, size, "format %s (size %u): %d %s%s", c.name, (unsigned)c.destSize, result, shown,
           intact ? "" : " WRITTEN PAST THE SIZE");
}

enum { GUARD = 0x7F, GUARD_BYTES = 16 };

static void RunFormatCase(int index, char* line, size_t size) {
  const FormatCase& c = FORMAT_CASES[index];
  static char area[4096];
  memset(area, GUARD, sizeof area);
  int result = c.format(area, c.destSize);
  int intact = 1;
  for (size_t i = c.destSize; i < c.destSize + GUARD_BYTES; ++i) intact &= area[i] == GUARD;
  const void* zero = memchr(area, '\0', c.destSize);
  if (zero != nullptr) {
    size_t length = (size_t)((const char*)zero - area);
    FormatLine(index, result, area, length, intact, line, size);
  } else {
    FormatLine(index, result, nullptr, 0, intact, line, size);
  }
}

static void PathLine(int index, const char* result, char* line, size_t size) {
  char input[200];
  char output[200];
  Escape(PATH_CASES[index].path, strlen(PATH_CASES[index].path), input, sizeof input);
  Escape(result, strlen(result), output, sizeof output);
  snprintf(line, size, "path \"%s\": \"%s\"", input, output);
}

void RunCase(int index, char* line, size_t size) {
  FillLongText();
  if (index < PATH_COUNT) {
    char path[PATH_TEXT_SIZE];
    snprintf(path, sizeof path, "%s", PATH_CASES[index].path);
    RemoveLastPathElement(path);
    PathLine(index, path, line, size);
  } else {
    RunFormatCase(index - PATH_COUNT, line, size);
  }
}

void ExpectedLine(int index, char* line, size_t size) {
  FillLongText();
  if (index < PATH_COUNT) {
    PathLine(index, PATH_CASES[index].expected, line, size);
    return;
  }
  int formatIndex = index - PATH_COUNT;
  const FormatCase& c = FORMAT_CASES[formatIndex];
  if (c.expectedText != nullptr) {
    FormatLine(formatIndex, c.expectedResult, c.expectedText, strlen(c.expectedText), 1, line,
               size);
  } else if (c.destSize == 0) {
    FormatLine(formatIndex, c.expectedResult, nullptr, 0, 1, line, size);
  } else {
    // The platform's formatting stops at 1024 bytes, the zero included.
    FormatLine(formatIndex, c.expectedResult, LongText, 1023, 1, line, size);
  }
}
