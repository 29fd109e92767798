#include "tests/settings/profile_cases.h"

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/text.h"

#include <cstring>

// Code-page-932 texts used below: カルネヴィオ, 設定, ア (83 41) and ヂ (83 61),
// whose trail bytes differ only as 'A' and 'a' do, ゾ (83 5D), whose trail
// byte is ']', and アイウ.
#define TITLE "\x83\x4A\x83\x8B\x83\x6C\x83\x94\x83\x42\x83\x49"
#define SETTINGS "\x90\xDD\x92\xE8"
#define KATAKANA_A "\x83\x41"
#define KATAKANA_DI "\x83\x61"
#define KATAKANA_ZO "\x83\x5D"
#define KATAKANA_AIU "\x83\x41\x83\x43\x83\x45"

#define READ(section, key, fallback, capacity, expected) \
  { 0, section, key, fallback, capacity, expected }
#define WRITE(section, key, value) \
  { 1, section, key, value, 0, nullptr }

const ProfileCase ProfileCases[] = {
    {"missing-file", nullptr, {READ("INSTALL", "InstallFold", "*", 260, "*")}, nullptr, nullptr},
    {"missing-section-and-key",
     "[OTHER]\r\nInstallFold=C:\\Game\r\n[INSTALL]\r\nOther=1\r\n",
     {READ("INSTALL", "InstallFold", "*", 260, "*"), READ("NONE", "Other", "*", 260, "*")},
     nullptr,
     nullptr},
    {"plain-cp932-value",
     "[INSTALL]\r\nInstallFold=C:\\Games\\" TITLE "\r\n",
     {READ("INSTALL", "InstallFold", "*", 260, "C:\\Games\\" TITLE)},
     nullptr,
     nullptr},
    {"empty-value-is-not-missing",
     "[SYSTEM_UPDATE]\r\nversion=\r\n",
     {READ("SYSTEM_UPDATE", "version", "*", 255, "")},
     nullptr,
     nullptr},
    {"names-ignore-ascii-case",
     "[install]\r\ninstallFOLD=D:\\x\r\n",
     {READ("INSTALL", "InstallFold", "*", 260, "D:\\x")},
     nullptr,
     nullptr},
    {"blanks-trimmed",
     "  [INSTALL]  \r\n \t InstallFold \t =  \t D:\\x y \t \r\n",
     {READ("INSTALL", "InstallFold", "*", 260, "D:\\x y")},
     nullptr,
     nullptr},
    {"matching-quotes-removed",
     "[S]\r\na=\"q v\"\r\nb='s'\r\nc=\"x'\r\nd=\"\r\ne=\"\"\r\nf= ' in ' \r\n",
     {READ("S", "a", "*", 260, "q v"), READ("S", "b", "*", 260, "s"),
      READ("S", "c", "*", 260, "\"x'"), READ("S", "d", "*", 260, "\""),
      READ("S", "e", "*", 260, ""), READ("S", "f", "*", 260, " in ")},
     nullptr,
     nullptr},
    {"long-value-cut",
     "[S]\r\nk=0123456789\r\n",
     {READ("S", "k", "*", 11, "0123456789"), READ("S", "k", "*", 10, "012345678"),
      READ("S", "k", "*", 5, "0123"), READ("S", "k", "*", 2, "0"), READ("S", "k", "*", 1, "")},
     nullptr,
     nullptr},
    {"long-default-cut",
     "[S]\r\n",
     {READ("S", "k", "abcdef", 4, "abc"), READ("S", "k", "ab  ", 260, "ab"),
      READ("S", "k", "", 260, "")},
     nullptr,
     nullptr},
    {"long-quoted-value-cut",
     "[S]\r\nk=\"0123456789\"\r\n",
     {READ("S", "k", "*", 12, "0123456789"), READ("S", "k", "*", 10, "012345678"),
      READ("S", "k", "*", 5, "0123")},
     nullptr,
     nullptr},
    {"quoted-value-just-fits",
     "[S]\r\nk=\"0123456789\"\r\n",
     {READ("S", "k", "*", 11, "0123456789")},
     nullptr,
     "Wine drops the value's last character when only the closing quote does not fit the "
     "buffer, although the value without its quotes does"},
    {"cut-between-double-byte-characters",
     "[S]\r\nk=" KATAKANA_AIU "\r\n",
     {READ("S", "k", "*", 7, KATAKANA_AIU), READ("S", "k", "*", 5, "\x83\x41\x83\x43")},
     nullptr,
     nullptr},
    {"cut-inside-double-byte-character",
     "[S]\r\nk=" KATAKANA_AIU "\r\n",
     {READ("S", "k", "*", 4, "\x83\x41\x83")},
     nullptr,
     "Wine converts the value to UTF-16 and back, will not end on a lead byte and leaves "
     "that byte of the buffer unwritten while still counting it; Windows cuts an ANSI "
     "file's value at capacity - 1 bytes"},
    {"first-of-repeated-keys",
     "[S]\r\nk=1\r\nk=2\r\nK=3\r\n",
     {READ("S", "k", "*", 260, "1")},
     nullptr,
     nullptr},
    {"double-byte-names",
     "[" SETTINGS "]\r\n" KATAKANA_DI "=1\r\n[" KATAKANA_ZO "]\r\nk=2\r\n",
     {READ(SETTINGS, KATAKANA_A, "*", 260, "*"), READ(SETTINGS, KATAKANA_DI, "*", 260, "1"),
      READ(KATAKANA_ZO, "k", "*", 260, "2")},
     nullptr,
     nullptr},
    {"line-endings",
     "[S]\nk=1\rj=2\r\n\n\rl=3",
     {READ("S", "k", "*", 260, "1"), READ("S", "j", "*", 260, "2"), READ("S", "l", "*", 260, "3")},
     nullptr,
     nullptr},
    {"section-name-blanks-trimmed",
     "[ INSTALL\t]\r\nInstallFold=1\r\n",
     {READ("INSTALL", "InstallFold", "*", 260, "1")},
     nullptr,
     nullptr},
    {"semicolon-lines-are-keys",
     "[S]\r\n;k=1\r\nk=2\r\n",
     {READ("S", "k", "*", 260, "2"), READ("S", ";k", "*", 260, "1")},
     nullptr,
     nullptr},
    {"line-without-equals-is-no-key",
     "[S]\r\nflag\r\n",
     {READ("S", "flag", "*", 260, "*")},
     nullptr,
     nullptr},
    {"first-of-repeated-sections",
     "[S]\r\na=1\r\n[T]\r\n[s]\r\nb=2\r\n",
     {READ("S", "a", "*", 260, "1"), READ("S", "b", "*", 260, "*")},
     nullptr,
     nullptr},
    {"value-holds-equals", "[S]\r\nk=a=b\r\n", {READ("S", "k", "*", 260, "a=b")}, nullptr, nullptr},
    {"new-file",
     nullptr,
     {WRITE("SYSTEM_UPDATE", "version", "1.1"), READ("SYSTEM_UPDATE", "version", "*", 255, "1.1")},
     "[SYSTEM_UPDATE]\r\nversion=1.1\r\n",
     nullptr},
    {"new-section-at-end",
     "[INSTALL]\r\nInstallFold=C:\\G\r\n",
     {WRITE("SYSTEM_UPDATE", "version", "1.1"), READ("SYSTEM_UPDATE", "version", "*", 255, "1.1"),
      READ("INSTALL", "InstallFold", "*", 260, "C:\\G")},
     "[INSTALL]\r\nInstallFold=C:\\G\r\n[SYSTEM_UPDATE]\r\nversion=1.1\r\n",
     nullptr},
    {"new-section-after-unended-line",
     "[INSTALL]\r\nInstallFold=C:\\G",
     {WRITE("SYSTEM_UPDATE", "version", "1.1"), READ("INSTALL", "InstallFold", "*", 260, "C:\\G"),
      READ("SYSTEM_UPDATE", "version", "*", 255, "1.1")},
     "[INSTALL]\r\nInstallFold=C:\\G\r\n[SYSTEM_UPDATE]\r\nversion=1.1\r\n",
     nullptr},
    {"replace-keeps-the-rest",
     "; written by the installer\r\n[INSTALL]\r\nInstallFold = C:\\G  \r\n\r\n"
     "[system_update]\nVERSION = 1.0 \n\n[Other]\r\nx=1",
     {WRITE("SYSTEM_UPDATE", "version", "1.1"), READ("SYSTEM_UPDATE", "version", "*", 255, "1.1"),
      READ("INSTALL", "InstallFold", "*", 260, "C:\\G"), READ("Other", "x", "*", 260, "1")},
     "; written by the installer\r\n[INSTALL]\r\nInstallFold = C:\\G  \r\n\r\n"
     "[system_update]\nVERSION=1.1\n\n[Other]\r\nx=1",
     "Wine writes the whole file anew from what it parsed: blanks around '=', blank lines "
     "and line endings other than CRLF are lost; Windows changes only the entry's line"},
    {"new-key-before-blank-lines",
     "[SYSTEM_UPDATE]\r\nold=1\r\n\r\n[Other]\r\nx=1\r\n",
     {WRITE("SYSTEM_UPDATE", "version", "1.1"), READ("SYSTEM_UPDATE", "version", "*", 255, "1.1"),
      READ("SYSTEM_UPDATE", "old", "*", 255, "1")},
     "[SYSTEM_UPDATE]\r\nold=1\r\nversion=1.1\r\n\r\n[Other]\r\nx=1\r\n",
     "Wine writes the whole file anew and drops the blank line between the sections"},
    {"replace-value",
     "[SYSTEM_UPDATE]\r\nversion=1.0\r\n[INSTALL]\r\nInstallFold=C:\\G\r\n",
     {WRITE("SYSTEM_UPDATE", "version", "1.1"), READ("SYSTEM_UPDATE", "version", "*", 255, "1.1")},
     "[SYSTEM_UPDATE]\r\nversion=1.1\r\n[INSTALL]\r\nInstallFold=C:\\G\r\n",
     nullptr},
    {"write-cp932-and-empty",
     "[" SETTINGS "]\r\n",
     {WRITE(SETTINGS, KATAKANA_A, TITLE), WRITE(SETTINGS, "empty", ""),
      READ(SETTINGS, KATAKANA_A, "*", 260, TITLE), READ(SETTINGS, "empty", "*", 260, ""),
      READ(SETTINGS, KATAKANA_DI, "*", 260, "*")},
     "[" SETTINGS "]\r\n" KATAKANA_A "=" TITLE "\r\nempty=\r\n",
     nullptr},
};
const int ProfileCaseCount = (int)(sizeof ProfileCases / sizeof ProfileCases[0]);

enum { READ_BUFFER_SIZE = 260 + GUARD_BYTES };
enum { REPORT_SIZE = 1 << 18, FILE_LIMIT = 4096 };

struct Report {
  char text[REPORT_SIZE];
  uint32_t used;
  int overflowed;
};
static Report Out;

static void Append(const char* text, uint32_t length) {
  if (Out.used + length >= sizeof Out.text) {
    Out.overflowed = 1;
    return;
  }
  memcpy(Out.text + Out.used, text, length);
  Out.used += length;
}

static void AppendText(const char* text) { Append(text, (uint32_t)strlen(text)); }

static void AppendNumber(uint32_t value) {
  char digits[16];
  FormatText(digits, sizeof digits, " %d", (int)value);
  AppendText(digits);
}

static void AppendHex(const char* bytes, uint32_t length) {
  static const char HEX[] = "0123456789ABCDEF";
  AppendText(" ");
  for (uint32_t i = 0; i < length; ++i) {
    char pair[2] = {HEX[(unsigned char)bytes[i] >> 4], HEX[(unsigned char)bytes[i] & 15]};
    Append(pair, 2);
  }
}

int ProfileCasePath(const char* folder, int index, char* out, uint32_t size) {
  // 表 ends in the byte of a backslash: the name proves paths are walked
  // as code page 932.
  return FormatText(out, size, "%s\\%d\x95\x5C.ini", folder, index) >= 0;
}

static int WriteWhole(const char* path, const char* bytes, uint32_t length) {
  FileHandle file = OpenFileForReplace(path);
  if (file == nullptr) return 0;
  uint32_t moved = 0;
  int ok = WriteToFile(file, bytes, length, &moved) && moved == length;
  CloseFile(file);
  return ok;
}

static void ReportFile(const char* name, const char* path) {
  AppendText(name);
  AppendText(" file");
  FileHandle file = OpenFileForRead(path);
  if (file == nullptr) {
    AppendText(" missing\n");
    return;
  }
  char bytes[FILE_LIMIT];
  uint32_t moved = 0;
  if (ReadFromFile(file, bytes, sizeof bytes, &moved)) {
    AppendHex(bytes, moved);
  } else {
    AppendText(" unreadable");
  }
  CloseFile(file);
  AppendText("\n");
}

static int RunCase(const ProfileCase* entry, const char* path) {
  if (entry->contents != nullptr &&
      !WriteWhole(path, entry->contents, (uint32_t)strlen(entry->contents))) {
    return 0;
  }
  for (int i = 0; i < PROFILE_CALLS_PER_CASE && entry->calls[i].section != nullptr; ++i) {
    const ProfileCall* call = &entry->calls[i];
    AppendText(entry->name);
    AppendNumber((uint32_t)i);
    if (call->write) {
      AppendText(" write");
      AppendNumber(WriteProfileText(call->section, call->key, call->text, path) ? 1 : 0);
    } else {
      char buffer[READ_BUFFER_SIZE];
      memset(buffer, GUARD_FILL, sizeof buffer);
      uint32_t copied =
          ReadProfileText(call->section, call->key, call->text, buffer, call->capacity, path);
      AppendText(" read");
      AppendNumber(copied);
      AppendHex(buffer, call->capacity + GUARD_BYTES);
    }
    AppendText("\n");
  }
  ReportFile(entry->name, path);
  return 1;
}

int RunProfileCases(const char* folder, const char* reportPath) {
  Out.used = 0;
  Out.overflowed = 0;
  int ok = 1;
  for (int index = 0; index < ProfileCaseCount; ++index) {
    char path[PATH_TEXT_SIZE];
    if (!ProfileCasePath(folder, index, path, sizeof path) ||
        !RunCase(&ProfileCases[index], path)) {
      ok = 0;
    }
  }
  return ok && !Out.overflowed && WriteWhole(reportPath, Out.text, Out.used);
}
