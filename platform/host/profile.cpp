// Initialisation files on the host, read and written as Windows does for
// an ANSI file: on bytes, so code-page-932 text passes through untouched.
// Names match without regard to ASCII case; a double-byte character is
// compared and scanned as one unit, so its trail byte never counts as a
// letter, a bracket or a backslash.
#include "platform/profile.h"

#include "platform/host/host_paths.h"
#include "platform/host/testing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

struct ProfileBytes {
  char* bytes;
  size_t size;
};

// One line of the file: its content [start, contentEnd) and its line
// ending [contentEnd, end).
struct ProfileLine {
  size_t start;
  size_t contentEnd;
  size_t end;
};

// Where a name or value lies inside a line, blanks trimmed.
struct TextSpan {
  size_t start;
  size_t end;
};

static const char NEW_LINE[] = "\r\n";

static int IsBlank(char c) { return c == ' ' || c == '\t'; }

// Lines end at CR, LF or CRLF, as the Windows reader splits them.
static int NextLine(const ProfileBytes* file, size_t position, ProfileLine* line) {
  if (position >= file->size) return 0;
  size_t cursor = position;
  while (cursor < file->size && file->bytes[cursor] != '\r' && file->bytes[cursor] != '\n') {
    ++cursor;
  }
  line->start = position;
  line->contentEnd = cursor;
  if (cursor < file->size && file->bytes[cursor] == '\r') ++cursor;
  if (cursor < file->size && file->bytes[cursor] == '\n') ++cursor;
  line->end = cursor;
  return 1;
}

static TextSpan Trimmed(const char* bytes, size_t start, size_t end) {
  while (start < end && IsBlank(bytes[start])) ++start;
  while (end > start && IsBlank(bytes[end - 1])) --end;
  return TextSpan{start, end};
}

static size_t CharacterLength(const char* bytes, size_t position, size_t end) {
  return IsCp932LeadByte((unsigned char)bytes[position]) && position + 1 < end ? 2 : 1;
}

static char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; }

static int NameMatches(const char* bytes, TextSpan span, const char* name) {
  size_t length = strlen(name);
  if (span.end - span.start != length) return 0;
  size_t index = 0;
  while (index < length) {
    size_t unit = CharacterLength(name, index, length);
    if (unit != CharacterLength(bytes, span.start + index, span.end)) return 0;
    if (unit == 2) {
      if (memcmp(bytes + span.start + index, name + index, 2) != 0) return 0;
    } else if (FoldAscii(bytes[span.start + index]) != FoldAscii(name[index])) {
      return 0;
    }
    index += unit;
  }
  return 1;
}

// A section header is a trimmed line that begins with '[' and holds a
// later ']'; the name lies between the '[' and the last ']', trimmed.
static int SectionName(const ProfileBytes* file, const ProfileLine* line, TextSpan* name) {
  TextSpan content = Trimmed(file->bytes, line->start, line->contentEnd);
  if (content.start >= content.end || file->bytes[content.start] != '[') return 0;
  size_t closing = 0;
  size_t cursor = content.start + 1;
  while (cursor < content.end) {
    if (file->bytes[cursor] == ']') closing = cursor;
    cursor += CharacterLength(file->bytes, cursor, content.end);
  }
  if (closing == 0) return 0;
  *name = Trimmed(file->bytes, content.start + 1, closing);
  return 1;
}

// A key line: the name before the first '=', the value after it, both
// trimmed. A line without '=' holds no key.
static int SplitKeyLine(const ProfileBytes* file, const ProfileLine* line, TextSpan* name,
                        TextSpan* value) {
  const char* equals =
      (const char*)memchr(file->bytes + line->start, '=', line->contentEnd - line->start);
  if (equals == nullptr) return 0;
  size_t nameEnd = (size_t)(equals - file->bytes);
  *name = Trimmed(file->bytes, line->start, nameEnd);
  *value = Trimmed(file->bytes, nameEnd + 1, line->contentEnd);
  return 1;
}

// The lines of the first section called section: *header is its header
// line, *last its last line that is not blank (the header when it has no
// other). Returns 0 when there is no such section.
static int FindSection(const ProfileBytes* file, const char* section, ProfileLine* header,
                       ProfileLine* last) {
  ProfileLine line;
  size_t position = 0;
  int inside = 0;
  TextSpan name;
  while (NextLine(file, position, &line)) {
    position = line.end;
    if (SectionName(file, &line, &name)) {
      if (inside) return 1;
      if (NameMatches(file->bytes, name, section)) {
        inside = 1;
        *header = line;
        *last = line;
      }
    } else if (inside) {
      TextSpan content = Trimmed(file->bytes, line.start, line.contentEnd);
      if (content.start < content.end) *last = line;
    }
  }
  return inside;
}

// The first line of the section after header whose key is called key.
static int FindKey(const ProfileBytes* file, const ProfileLine* header, const char* key,
                   ProfileLine* found, TextSpan* foundName, TextSpan* foundValue) {
  ProfileLine line;
  size_t position = header->end;
  TextSpan ignored;
  while (NextLine(file, position, &line)) {
    position = line.end;
    if (SectionName(file, &line, &ignored)) return 0;
    if (SplitKeyLine(file, &line, foundName, foundValue) &&
        NameMatches(file->bytes, *foundName, key)) {
      *found = line;
      return 1;
    }
  }
  return 0;
}

// The whole file; 0 (and nothing held) when it cannot be read. *missing
// tells a file that is not there from one that could not be read.
static int LoadFile(const char* hostPath, ProfileBytes* file, int* missing) {
  file->bytes = nullptr;
  file->size = 0;
  *missing = 0;
  int result = 0;
  int descriptor = open(hostPath, O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (descriptor < 0) {
    *missing = errno == ENOENT || errno == ENOTDIR;
  } else if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) {
    size_t size = (size_t)info.st_size;
    file->bytes = (char*)malloc(size == 0 ? 1 : size);
    size_t done = 0;
    while (file->bytes != nullptr && done < size) {
      ssize_t count = read(descriptor, file->bytes + done, size - done);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      done += (size_t)count;
    }
    if (file->bytes != nullptr && done == size) {
      file->size = size;
      result = 1;
    } else {
      free(file->bytes);
      file->bytes = nullptr;
    }
  }
  if (descriptor >= 0) close(descriptor);
  return result;
}

// Copies length bytes of text into out as the Windows reader does: cut to
// capacity - 1 bytes when longer, always terminated.
static uint32_t CopyOut(const char* text, size_t length, char* out, uint32_t capacity) {
  if (capacity == 0) return 0;
  if (length > capacity - 1) length = capacity - 1;
  memcpy(out, text, length);
  out[length] = '\0';
  return (uint32_t)length;
}

static uint32_t CopyDefault(const char* defaultText, char* out, uint32_t capacity) {
  const char* text = defaultText != nullptr ? defaultText : "";
  size_t length = strlen(text);
  // The default loses its trailing spaces, as on Windows.
  while (length > 0 && text[length - 1] == ' ') --length;
  return CopyOut(text, length, out, capacity);
}

uint32_t ReadProfileText(const char* section, const char* key, const char* defaultText, char* out,
                         uint32_t capacity, const char* path) {
  char hostPath[4096];
  ProfileBytes file = {nullptr, 0};
  int missing = 0;
  ProfileLine header, last, line;
  TextSpan name, value;
  uint32_t copied = 0;
  int found = 0;
  if (section != nullptr && key != nullptr && path != nullptr &&
      CheckFault(FAULT_PROFILE_READ, path) < 0 &&
      HostPathFromWindows(path, hostPath, sizeof hostPath) && LoadFile(hostPath, &file, &missing) &&
      FindSection(&file, section, &header, &last) &&
      FindKey(&file, &header, key, &line, &name, &value)) {
    found = 1;
    size_t length = value.end - value.start;
    const char* text = file.bytes + value.start;
    char quote = length >= 2 ? text[0] : '\0';
    if ((quote == '"' || quote == '\'') && text[length - 1] == quote) {
      ++text;
      length -= 2;
    }
    copied = CopyOut(text, length, out, capacity);
  }
  if (!found) copied = CopyDefault(defaultText, out, capacity);
  free(file.bytes);
  return copied;
}

// The file's new contents: the bytes of file with [cut, resume) replaced by
// the pieces given, in order. Null when memory cannot be had.
static char* Compose(const ProfileBytes* file, size_t cut, size_t resume, const char* const* pieces,
                     int pieceCount, size_t* size) {
  size_t total = cut + (file->size - resume);
  for (int i = 0; i < pieceCount; ++i) total += strlen(pieces[i]);
  char* bytes = (char*)malloc(total == 0 ? 1 : total);
  if (bytes == nullptr) return nullptr;
  if (cut > 0) memcpy(bytes, file->bytes, cut);
  size_t used = cut;
  for (int i = 0; i < pieceCount; ++i) {
    size_t length = strlen(pieces[i]);
    memcpy(bytes + used, pieces[i], length);
    used += length;
  }
  if (file->size > resume) memcpy(bytes + used, file->bytes + resume, file->size - resume);
  *size = total;
  return bytes;
}

static char* UpdatedContents(const ProfileBytes* file, const char* section, const char* key,
                             const char* value, size_t* size) {
  ProfileLine header, last, line;
  TextSpan name, oldValue;
  if (!FindSection(file, section, &header, &last)) {
    // A new section goes at the end, on a line of its own.
    int needsBreak = file->size > 0 && file->bytes[file->size - 1] != '\n' &&
                     file->bytes[file->size - 1] != '\r';
    const char* pieces[] = {
        needsBreak ? NEW_LINE : "", "[", section, "]", NEW_LINE, key, "=", value, NEW_LINE};
    return Compose(file, file->size, file->size, pieces, (int)(sizeof pieces / sizeof pieces[0]),
                   size);
  }
  if (FindKey(file, &header, key, &line, &name, &oldValue)) {
    // The key keeps its spelling in the file and its line ending.
    char* spelling = (char*)malloc(name.end - name.start + 1);
    if (spelling == nullptr) return nullptr;
    memcpy(spelling, file->bytes + name.start, name.end - name.start);
    spelling[name.end - name.start] = '\0';
    const char* pieces[] = {spelling, "=", value};
    char* bytes = Compose(file, line.start, line.contentEnd, pieces,
                          (int)(sizeof pieces / sizeof pieces[0]), size);
    free(spelling);
    return bytes;
  }
  // A new key follows the section's last entry, before the blank lines
  // that part it from the next section.
  int needsBreak = last.end == last.contentEnd;
  const char* pieces[] = {needsBreak ? NEW_LINE : "", key, "=", value, NEW_LINE};
  return Compose(file, last.end, last.end, pieces, (int)(sizeof pieces / sizeof pieces[0]), size);
}

// Writes bytes to a new file beside hostPath and renames it into place, so
// that the settings file is either the old one or the whole new one.
static int ReplaceFile(const char* hostPath, const char* bytes, size_t size, mode_t mode,
                       int shortWrite) {
  char temporary[4096 + 16];
  if (snprintf(temporary, sizeof temporary, "%s.XXXXXX", hostPath) >= (int)sizeof temporary) {
    return 0;
  }
  int descriptor = mkstemp(temporary);
  if (descriptor < 0) return 0;
  size_t wanted = shortWrite ? size / 2 : size;
  size_t done = 0;
  while (done < wanted) {
    ssize_t count = write(descriptor, bytes + done, wanted - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    done += (size_t)count;
  }
  int ok = done == size && fchmod(descriptor, mode) == 0 && fsync(descriptor) == 0;
  if (close(descriptor) != 0) ok = 0;
  if (ok && rename(temporary, hostPath) != 0) ok = 0;
  if (!ok) unlink(temporary);
  return ok;
}

static int HasLineBreak(const char* text) { return strpbrk(text, "\r\n") != nullptr; }

int WriteProfileText(const char* section, const char* key, const char* value, const char* path) {
  // Only the forms this system writes: a value for a named key. A line
  // break would split the entry and corrupt the lines after it.
  if (section == nullptr || key == nullptr || value == nullptr || path == nullptr ||
      HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
    return 0;
  }
  int fault = CheckFault(FAULT_PROFILE_WRITE, path);
  if (fault == FAULT_FAIL) return 0;
  char hostPath[4096];
  if (!HostPathFromWindows(path, hostPath, sizeof hostPath)) return 0;
  ProfileBytes file = {nullptr, 0};
  int missing = 0;
  int ok = 0;
  mode_t mode = 0644;
  struct stat info;
  int exists = stat(hostPath, &info) == 0;
  if (exists) mode = info.st_mode & 07777;
  // A file without write permission is read-only, as the attribute makes it
  // on Windows; renaming a new file over it would get round that.
  int readOnly = exists && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (!readOnly && (LoadFile(hostPath, &file, &missing) || missing)) {
    size_t size = 0;
    char* bytes = UpdatedContents(&file, section, key, value, &size);
    if (bytes != nullptr) {
      ok = ReplaceFile(hostPath, bytes, size, mode, fault == FAULT_SHORT);
      free(bytes);
    }
  }
  free(file.bytes);
  return ok;
}
