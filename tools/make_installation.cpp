// Makes a complete sample installation of the product for the tests and the
// demo: the install folder with its resource module and executable, the
// settings file under an AppData folder and a package folder beside the
// updater. Options damage or leave out single pieces, so that each test
// scenario is one command. Run with --help for the options.
#include "integrity/sum_xor_checksum.h"
#include "platform/host/host_paths.h"
#include "platform/host/pe_resources.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char HELP[] =
    "usage: make_installation --install=DIR [options]\n"
    "Makes a sample installation (all DIRs are host paths; folders are created):\n"
    "  DIR/Velmora.exe, DIR/dll/RESOURCE.dll (sealed), DIR/Setup.dat,\n"
    "  APPDATA/ホロメリダ/Velmora.ini and UPDATER/data/dll/MUR.dll, UPDATER/data/Setup.dat.\n"
    "\n"
    "Where things go:\n"
    "  --install=DIR              the install folder (required)\n"
    "  --appdata=DIR              write the settings file under this AppData folder\n"
    "  --updater=DIR              write the package folder DIR/data\n"
    "  --install-fold=TEXT        InstallFold value (UTF-8; default: DIR as a Z: path)\n"
    "  --version=TEXT             write [SYSTEM_UPDATE] version=TEXT\n"
    "  --no-install-key           the settings file without [INSTALL] InstallFold\n"
    "\n"
    "The installation:\n"
    "  --exe-size=N               bytes of Velmora.exe (default 65543)\n"
    "  --seed=N                   seed of the executable's and package files' bytes (default 1)\n"
    "  --pe64                     make RESOURCE.dll a 64-bit (PE32+) module\n"
    "  --language=N               language id of the module's resources (default 1041)\n"
    "  --module-from=FILE         seal a copy of FILE as RESOURCE.dll instead of writing one;\n"
    "                             FILE must carry RCDATA RESOURCE.dll (>= 16 bytes, at a\n"
    "                             multiple of 4) and RCDATA Velmora.exe (>= 16 bytes)\n"
    "  --record-size=N            bytes of the integrity record (default 16, at least 16)\n"
    "  --exe-text=TEXT            the executable's checksum text as given (escapes \\r \\n \\\\)\n"
    "  --exe-text-suffix=TEXT     appended to the computed checksum text (same escapes)\n"
    "  --no-record                leave the integrity record out of the module\n"
    "  --no-exe-text              leave the executable's checksum text out of the module\n"
    "  --no-module, --no-exe      leave RESOURCE.dll or Velmora.exe out\n"
    "  --install-setup-list=TEXT  the installed Setup.dat (escapes as above)\n"
    "  --no-install-setup-list    no Setup.dat in the install folder\n"
    "\n"
    "Damage (applied after sealing; each flips the low bit of one byte):\n"
    "  --damage-exe               a byte in the middle of Velmora.exe\n"
    "  --damage-exe-at=N          byte N of Velmora.exe\n"
    "  --damage-module-outside-window  the byte just before the excluded window\n"
    "  --damage-module-inside-window   the last byte of the excluded window\n"
    "  --damage-module-at=N       byte N of RESOURCE.dll\n"
    "\n"
    "The package (with --updater):\n"
    "  --mur-size=N               bytes of data/dll/MUR.dll (default 4096)\n"
    "  --no-mur                   leave data/dll/MUR.dll out\n"
    "  --package-file=PATH[:N]    one more package file (relative, '/' or '\\'), N bytes\n"
    "                             (default 100); may be repeated\n"
    "  --package-setup-list=TEXT  the package's Setup.dat (escapes as above)\n"
    "  --no-package-setup-list    no Setup.dat in the package\n"
    "\n"
    "  --print-layout             print the module's layout: record_offset=, window=,\n"
    "                             exe_text_offset=, module_size=, exe_size=\n"
    "Exit code 0 on success, 2 on a usage error, 1 when a file could not be made.\n";

enum { MAX_PACKAGE_FILES = 32, MAX_TEXT = 4096, PATH_MAX_HOST = 4096 };

struct PackageFile {
  const char* path;
  uint32_t size;
};

struct Options {
  const char* install;
  const char* appdata;
  const char* updater;
  const char* installFold;
  const char* version;
  int noInstallKey;
  uint32_t exeSize;
  uint32_t seed;
  int pe64;
  uint16_t language;
  const char* moduleFrom;
  uint32_t recordSize;
  const char* exeText;
  const char* exeTextSuffix;
  int noRecord;
  int noExeText;
  int noModule;
  int noExe;
  const char* installSetupList;
  int noInstallSetupList;
  int damageExe;
  long long damageExeAt;
  int damageOutside;
  int damageInside;
  long long damageModuleAt;
  uint32_t murSize;
  int noMur;
  PackageFile packageFiles[MAX_PACKAGE_FILES];
  int packageFileCount;
  const char* packageSetupList;
  int noPackageSetupList;
  int printLayout;
};

struct Buffer {
  uint8_t* bytes;
  uint32_t size;
};

static const char EXE_NAME[] = "Velmora.exe";
static const char RECORD_NAME[] = "RESOURCE.dll";
static const char* const DEFAULT_INSTALL_SETUP_LIST = "item01;\r\nitem02;\r\n";
static const char* const DEFAULT_PACKAGE_SETUP_LIST = "item02;\nitem03;\n";

static void Put16(uint8_t* p, uint32_t v) {
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}

static void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

static uint32_t AlignUp(uint32_t v, uint32_t to) { return (v + to - 1) / to * to; }

// Reads an unsigned decimal number; 0 when text is not one.
static int ParseNumber(const char* text, unsigned long long limit, unsigned long long* value) {
  if (text[0] < '0' || text[0] > '9') return 0;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > limit) return 0;
  *value = v;
  return 1;
}

static int ParseSize(const char* text, uint32_t* value) {
  unsigned long long v;
  if (!ParseNumber(text, 0xFFFFFFFFull, &v)) return 0;
  *value = (uint32_t)v;
  return 1;
}

// Expands \r, \n and \\ into out (MAX_TEXT bytes).
static int Unescape(const char* text, char* out) {
  size_t n = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    char c = *p;
    if (c == '\\' && (p[1] == 'r' || p[1] == 'n' || p[1] == '\\')) {
      ++p;
      c = *p == 'r' ? '\r' : *p == 'n' ? '\n' : '\\';
    }
    if (n + 1 >= MAX_TEXT) return 0;
    out[n++] = c;
  }
  out[n] = '\0';
  return 1;
}

// Option "--name=value": the value when arg is that option, else null.
static const char* ValueOf(const char* arg, const char* name) {
  size_t length = strlen(name);
  if (strncmp(arg, name, length) != 0 || arg[length] != '=') return nullptr;
  return arg + length + 1;
}

static int ParseOptions(int argc, char** argv, Options* o) {
  memset(o, 0, sizeof *o);
  o->exeSize = 65543;
  o->seed = 1;
  o->language = 0x0411;
  o->recordSize = 16;
  o->damageExeAt = -1;
  o->damageModuleAt = -1;
  o->murSize = 4096;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* v;
    unsigned long long n;
    if ((v = ValueOf(a, "--install"))) {
      o->install = v;
    } else if ((v = ValueOf(a, "--appdata"))) {
      o->appdata = v;
    } else if ((v = ValueOf(a, "--updater"))) {
      o->updater = v;
    } else if ((v = ValueOf(a, "--install-fold"))) {
      o->installFold = v;
    } else if ((v = ValueOf(a, "--version"))) {
      o->version = v;
    } else if (strcmp(a, "--no-install-key") == 0) {
      o->noInstallKey = 1;
    } else if ((v = ValueOf(a, "--exe-size"))) {
      if (!ParseSize(v, &o->exeSize)) return 0;
    } else if ((v = ValueOf(a, "--seed"))) {
      if (!ParseSize(v, &o->seed)) return 0;
    } else if (strcmp(a, "--pe64") == 0) {
      o->pe64 = 1;
    } else if ((v = ValueOf(a, "--language"))) {
      if (!ParseNumber(v, 0xFFFF, &n)) return 0;
      o->language = (uint16_t)n;
    } else if ((v = ValueOf(a, "--module-from"))) {
      o->moduleFrom = v;
    } else if ((v = ValueOf(a, "--record-size"))) {
      if (!ParseSize(v, &o->recordSize) || o->recordSize < 16 || o->recordSize > 0x10000) return 0;
    } else if ((v = ValueOf(a, "--exe-text"))) {
      o->exeText = v;
    } else if ((v = ValueOf(a, "--exe-text-suffix"))) {
      o->exeTextSuffix = v;
    } else if (strcmp(a, "--no-record") == 0) {
      o->noRecord = 1;
    } else if (strcmp(a, "--no-exe-text") == 0) {
      o->noExeText = 1;
    } else if (strcmp(a, "--no-module") == 0) {
      o->noModule = 1;
    } else if (strcmp(a, "--no-exe") == 0) {
      o->noExe = 1;
    } else if ((v = ValueOf(a, "--install-setup-list"))) {
      o->installSetupList = v;
    } else if (strcmp(a, "--no-install-setup-list") == 0) {
      o->noInstallSetupList = 1;
    } else if (strcmp(a, "--damage-exe") == 0) {
      o->damageExe = 1;
    } else if ((v = ValueOf(a, "--damage-exe-at"))) {
      if (!ParseNumber(v, 0xFFFFFFFFull, &n)) return 0;
      o->damageExeAt = (long long)n;
    } else if (strcmp(a, "--damage-module-outside-window") == 0) {
      o->damageOutside = 1;
    } else if (strcmp(a, "--damage-module-inside-window") == 0) {
      o->damageInside = 1;
    } else if ((v = ValueOf(a, "--damage-module-at"))) {
      if (!ParseNumber(v, 0xFFFFFFFFull, &n)) return 0;
      o->damageModuleAt = (long long)n;
    } else if ((v = ValueOf(a, "--mur-size"))) {
      if (!ParseSize(v, &o->murSize)) return 0;
    } else if (strcmp(a, "--no-mur") == 0) {
      o->noMur = 1;
    } else if ((v = ValueOf(a, "--package-file"))) {
      if (o->packageFileCount == MAX_PACKAGE_FILES) return 0;
      PackageFile* file = &o->packageFiles[o->packageFileCount++];
      file->path = v;
      file->size = 100;
    } else if ((v = ValueOf(a, "--package-setup-list"))) {
      o->packageSetupList = v;
    } else if (strcmp(a, "--no-package-setup-list") == 0) {
      o->noPackageSetupList = 1;
    } else if (strcmp(a, "--print-layout") == 0) {
      o->printLayout = 1;
    } else {
      fprintf(stderr, "make_installation: unknown option %s\n", a);
      return 0;
    }
  }
  return o->install != nullptr;
}

// Creates every missing folder of path (a folder path).
static int MakeFolders(const char* path) {
  char partial[PATH_MAX_HOST];
  if (snprintf(partial, sizeof partial, "%s", path) >= (int)sizeof partial) return 0;
  for (char* p = partial + 1;; ++p) {
    if (*p == '/' || *p == '\0') {
      char saved = *p;
      *p = '\0';
      if (mkdir(partial, 0755) != 0 && errno != EEXIST) return 0;
      *p = saved;
      if (saved == '\0') return 1;
    }
  }
}

// Writes bytes to folder/name, creating the folders the name implies.
static int WriteFileAt(const char* folder, const char* name, const void* bytes, size_t size) {
  char path[PATH_MAX_HOST];
  if (snprintf(path, sizeof path, "%s/%s", folder, name) >= (int)sizeof path) return 0;
  for (char* p = path + strlen(folder) + 1; *p != '\0'; ++p) {
    if (*p == '\\') *p = '/';
  }
  char* slash = strrchr(path, '/');
  *slash = '\0';
  int made = MakeFolders(path);
  *slash = '/';
  if (!made) return 0;
  FILE* file = fopen(path, "wb");
  if (file == nullptr) return 0;
  int written = fwrite(bytes, 1, size, file) == size;
  if (fclose(file) != 0) written = 0;
  if (!written) fprintf(stderr, "make_installation: cannot write %s\n", path);
  return written;
}

// Deterministic bytes that look like a program's: no long runs, every value.
static void FillPattern(uint8_t* bytes, uint32_t size, uint32_t seed) {
  uint32_t state = seed * 2654435761u + 0x9E3779B9u;
  for (uint32_t i = 0; i < size; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes[i] = (uint8_t)(state >> 24);
  }
}

struct ResourceItem {
  const char* name;  // ASCII; stored upper case, as resource compilers store names
  const uint8_t* data;
  uint32_t size;
  uint32_t fileOffset;  // filled in by BuildModule
};

static int CompareItems(const void* a, const void* b) {
  return strcasecmp(((const ResourceItem*)a)->name, ((const ResourceItem*)b)->name);
}

enum {
  FILE_ALIGNMENT = 0x200,
  SECTION_ALIGNMENT = 0x1000,
  HEADERS_SIZE = 0x200,
  NEW_HEADER_OFFSET = 0x40,
  RESOURCE_RVA = 0x1000,
};

// A resource-only DLL (no code, no entry point) whose one section holds the
// RCDATA items, each in its own name directory with one language entry.
static int BuildModule(ResourceItem* items, int count, int pe64, uint16_t language,
                       Buffer* module) {
  qsort(items, count, sizeof *items, CompareItems);
  uint32_t typeDirectory = 16 + 8;
  uint32_t nameDirectories = typeDirectory + 16 + 8 * count;
  uint32_t dataEntries = nameDirectories + 24 * count;
  uint32_t strings = dataEntries + 16 * count;
  uint32_t cursor = strings;
  uint32_t stringAt[8];
  uint32_t dataAt[8];
  if (count > 8) return 0;
  for (int i = 0; i < count; ++i) {
    stringAt[i] = cursor;
    cursor += 2 + 2 * (uint32_t)strlen(items[i].name);
  }
  for (int i = 0; i < count; ++i) {
    cursor = AlignUp(cursor, 8);
    dataAt[i] = cursor;
    cursor += items[i].size;
  }
  uint32_t resourceSize = cursor;
  uint32_t rawSize = AlignUp(resourceSize, FILE_ALIGNMENT);
  module->size = HEADERS_SIZE + rawSize;
  module->bytes = (uint8_t*)calloc(module->size, 1);
  if (module->bytes == nullptr) return 0;
  uint8_t* b = module->bytes;

  b[0] = 'M';
  b[1] = 'Z';
  Put32(b + 0x3C, NEW_HEADER_OFFSET);
  uint8_t* pe = b + NEW_HEADER_OFFSET;
  memcpy(pe, "PE\0\0", 4);
  uint8_t* coff = pe + 4;
  uint32_t optionalSize = pe64 ? 240 : 224;
  Put16(coff, pe64 ? 0x8664 : 0x014C);
  Put16(coff + 2, 1);
  Put16(coff + 16, optionalSize);
  // Executable image, DLL; a 32-bit machine word or large addresses.
  Put16(coff + 18, 0x2002 | (pe64 ? 0x0020 : 0x0100));

  uint8_t* opt = coff + 20;
  Put16(opt, pe64 ? 0x20B : 0x10B);
  opt[2] = 2;  // linker version
  Put32(opt + 8, rawSize);  // initialised data
  Put32(opt + 16, 0);       // no entry point: nothing to run on load
  Put32(opt + 20, RESOURCE_RVA);
  if (pe64) {
    Put32(opt + 24, 0x80000000u);  // image base 0x180000000
    Put32(opt + 28, 0x1);
  } else {
    Put32(opt + 24, RESOURCE_RVA);
    Put32(opt + 28, 0x10000000u);
  }
  Put32(opt + 32, SECTION_ALIGNMENT);
  Put32(opt + 36, FILE_ALIGNMENT);
  Put16(opt + 40, 5);   // operating system version
  Put16(opt + 42, pe64 ? 2 : 1);
  Put16(opt + 48, 5);   // subsystem version
  Put16(opt + 50, pe64 ? 2 : 1);
  Put32(opt + 56, RESOURCE_RVA + AlignUp(resourceSize, SECTION_ALIGNMENT));
  Put32(opt + 60, HEADERS_SIZE);
  Put16(opt + 68, 2);  // Windows GUI
  Put16(opt + 70, 0x0100);  // NX compatible
  // Stack and heap reserve and commit: 32-bit fields, or 64-bit ones.
  const uint32_t stack[4] = {0x100000, 0x1000, 0x100000, 0x1000};
  for (uint32_t i = 0; i < 4; ++i) Put32(opt + 72 + (pe64 ? 8 : 4) * i, stack[i]);
  uint32_t directories = pe64 ? 112 : 96;
  Put32(opt + directories - 4, 16);
  Put32(opt + directories + 2 * 8, RESOURCE_RVA);
  Put32(opt + directories + 2 * 8 + 4, resourceSize);

  uint8_t* section = opt + optionalSize;
  memcpy(section, ".rsrc", 5);
  Put32(section + 8, resourceSize);
  Put32(section + 12, RESOURCE_RVA);
  Put32(section + 16, rawSize);
  Put32(section + 20, HEADERS_SIZE);
  Put32(section + 36, 0x40000040u);  // initialised data, readable

  uint8_t* rsrc = b + HEADERS_SIZE;
  Put16(rsrc + 14, 1);  // root: the one type
  Put32(rsrc + 16, 10);
  Put32(rsrc + 20, 0x80000000u | typeDirectory);
  Put16(rsrc + typeDirectory + 12, (uint32_t)count);  // named entries, sorted
  for (int i = 0; i < count; ++i) {
    uint8_t* entry = rsrc + typeDirectory + 16 + 8 * i;
    uint32_t nameDirectory = nameDirectories + 24 * i;
    Put32(entry, 0x80000000u | stringAt[i]);
    Put32(entry + 4, 0x80000000u | nameDirectory);
    Put16(rsrc + nameDirectory + 14, 1);
    Put32(rsrc + nameDirectory + 16, language);
    Put32(rsrc + nameDirectory + 20, dataEntries + 16 * i);
    uint8_t* data = rsrc + dataEntries + 16 * i;
    Put32(data, RESOURCE_RVA + dataAt[i]);
    Put32(data + 4, items[i].size);
    uint32_t length = (uint32_t)strlen(items[i].name);
    Put16(rsrc + stringAt[i], length);
    for (uint32_t k = 0; k < length; ++k) {
      char c = items[i].name[k];
      Put16(rsrc + stringAt[i] + 2 + 2 * k, (uint8_t)(c >= 'a' && c <= 'z' ? c - 32 : c));
    }
    if (items[i].size > 0) memcpy(rsrc + dataAt[i], items[i].data, items[i].size);
    items[i].fileOffset = HEADERS_SIZE + dataAt[i];
  }
  return 1;
}

static int ReadHostFile(const char* path, Buffer* out) {
  int ok = 0;
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return 0;
  if (fseek(file, 0, SEEK_END) == 0) {
    long size = ftell(file);
    if (size > 0 && size < 0x7FFFFFFF && fseek(file, 0, SEEK_SET) == 0) {
      out->size = (uint32_t)size;
      out->bytes = (uint8_t*)malloc(out->size);
      ok = out->bytes != nullptr && fread(out->bytes, 1, out->size, file) == out->size;
    }
  }
  fclose(file);
  return ok;
}

// The file offset of an RCDATA resource of a module made elsewhere.
static int LocateRecord(const Buffer* module, const char* name, uint32_t* offset,
                        uint32_t* size) {
  PeImage image;
  const uint8_t* data;
  if (!ParsePeImage(module->bytes, module->size, &image) ||
      !FindPeResource(&image, PeId(10), PeName(name), PE_FIRST_LANGUAGE, &data, size)) {
    return 0;
  }
  *offset = (uint32_t)(data - module->bytes);
  return 1;
}

struct Layout {
  uint32_t recordOffset;
  uint32_t exeTextOffset;
  uint32_t exeTextSize;
  int hasRecord;
};

// Puts the executable's text and then the module's own record in place.
// The record's excluded window covers its words at offsets 4 to 15, so the
// figures it holds do not take part in the checksum they state.
static void Seal(Buffer* module, const Layout* layout, const char* text, size_t textLength) {
  if (layout->exeTextSize > 0) {
    memset(module->bytes + layout->exeTextOffset, 0, layout->exeTextSize);
    memcpy(module->bytes + layout->exeTextOffset, text,
           textLength < layout->exeTextSize ? textLength : layout->exeTextSize);
  }
  if (!layout->hasRecord) return;
  uint32_t window = layout->recordOffset + 4;
  SumXorChecksum sum = ComputeSumXor(module->bytes, module->size, &window);
  uint8_t* record = module->bytes + layout->recordOffset;
  Put32(record + 4, window);
  Put32(record + 8, sum.byteSum);
  Put32(record + 12, sum.wordXor);
}

// Flips the low bit of byte `at` (none when at < 0); 0 when there is no
// such byte.
static int Flip(Buffer* file, long long at, const char* what) {
  if (at < 0) return 1;
  if ((unsigned long long)at >= file->size) {
    fprintf(stderr, "make_installation: %s has no byte %lld\n", what, at);
    return 0;
  }
  file->bytes[at] ^= 1;
  return 1;
}

// The checksum text the module carries for the executable.
static int ExecutableText(const Options* o, const Buffer* exe, char* text) {
  char extra[MAX_TEXT];
  if (o->exeText != nullptr) return Unescape(o->exeText, text);
  SumXorChecksum sum = ComputeSumXor(exe->bytes, exe->size, nullptr);
  snprintf(text, MAX_TEXT, "%08X%08X", sum.byteSum, sum.wordXor);
  if (o->exeTextSuffix == nullptr) return 1;
  if (!Unescape(o->exeTextSuffix, extra) || strlen(text) + strlen(extra) >= MAX_TEXT) return 0;
  strcat(text, extra);
  return 1;
}

static int MakeModule(const Options* o, const char* text, Buffer* module, Layout* layout) {
  size_t textLength = strlen(text);
  memset(layout, 0, sizeof *layout);
  if (o->moduleFrom != nullptr) {
    if (!ReadHostFile(o->moduleFrom, module)) return 0;
    uint32_t recordSize = 0;
    layout->hasRecord = LocateRecord(module, RECORD_NAME, &layout->recordOffset, &recordSize);
    if (!layout->hasRecord || recordSize < 16 || layout->recordOffset % 4 != 0 ||
        !LocateRecord(module, EXE_NAME, &layout->exeTextOffset, &layout->exeTextSize) ||
        layout->exeTextSize < textLength) {
      fprintf(stderr, "make_installation: %s lacks room for the records\n", o->moduleFrom);
      return 0;
    }
  } else {
    uint8_t* record = (uint8_t*)calloc(o->recordSize, 1);
    if (record == nullptr) return 0;
    ResourceItem items[2];
    int count = 0;
    if (!o->noRecord) items[count++] = {RECORD_NAME, record, o->recordSize, 0};
    if (!o->noExeText) items[count++] = {EXE_NAME, (const uint8_t*)text, (uint32_t)textLength, 0};
    int built = BuildModule(items, count, o->pe64, o->language, module);
    free(record);
    if (!built) return 0;
    for (int i = 0; i < count; ++i) {
      if (items[i].name == RECORD_NAME) {
        layout->hasRecord = 1;
        layout->recordOffset = items[i].fileOffset;
      } else {
        layout->exeTextOffset = items[i].fileOffset;
        layout->exeTextSize = items[i].size;
      }
    }
  }
  Seal(module, layout, text, textLength);
  return 1;
}

static int WriteSettings(const Options* o, const char* installFolder) {
  char fold[PATH_MAX_HOST];
  if (o->installFold != nullptr) {
    if (!Utf8ToCp932(o->installFold, fold, sizeof fold)) return 0;
  } else if (!WindowsPathFromHost(installFolder, fold, sizeof fold)) {
    return 0;
  }
  char settings[2 * PATH_MAX_HOST + 256];
  int length = snprintf(settings, sizeof settings, "[SYSTEM]\r\nProductCode=VELMORA\r\n");
  if (!o->noInstallKey) {
    length += snprintf(settings + length, sizeof settings - length,
                       "[INSTALL]\r\nInstallFold=%s\r\n", fold);
  }
  if (o->version != nullptr) {
    length += snprintf(settings + length, sizeof settings - length,
                       "[SYSTEM_UPDATE]\r\nversion=%s\r\n", o->version);
  }
  if (length < 0 || (size_t)length >= sizeof settings) return 0;
  return WriteFileAt(o->appdata, "ホロメリダ/Velmora.ini", settings, (size_t)length);
}

static int WritePatternFile(const char* folder, const char* name, uint32_t size, uint32_t seed) {
  uint8_t* bytes = (uint8_t*)malloc(size == 0 ? 1 : size);
  if (bytes == nullptr) return 0;
  FillPattern(bytes, size, seed);
  int written = WriteFileAt(folder, name, bytes, size);
  free(bytes);
  return written;
}

static int WritePackage(const Options* o) {
  char data[PATH_MAX_HOST];
  char text[MAX_TEXT];
  if (snprintf(data, sizeof data, "%s/data", o->updater) >= (int)sizeof data) return 0;
  if (!MakeFolders(data)) return 0;
  if (!o->noMur && !WritePatternFile(data, "dll/MUR.dll", o->murSize, o->seed + 1)) return 0;
  for (int i = 0; i < o->packageFileCount; ++i) {
    char name[PATH_MAX_HOST];
    snprintf(name, sizeof name, "%s", o->packageFiles[i].path);
    uint32_t size = o->packageFiles[i].size;
    char* colon = strrchr(name, ':');
    if (colon != nullptr) {
      *colon = '\0';
      if (!ParseSize(colon + 1, &size)) return 0;
    }
    if (!WritePatternFile(data, name, size, o->seed + 2 + (uint32_t)i)) return 0;
  }
  if (o->noPackageSetupList) return 1;
  if (!Unescape(o->packageSetupList ? o->packageSetupList : DEFAULT_PACKAGE_SETUP_LIST, text)) {
    return 0;
  }
  return WriteFileAt(data, "Setup.dat", text, strlen(text));
}

static int MakeInstallation(const Options* o) {
  int ok = 0;
  Buffer exe = {nullptr, 0};
  Buffer module = {nullptr, 0};
  Layout layout;
  char installFolder[PATH_MAX_HOST];
  char text[MAX_TEXT];
  if (!MakeFolders(o->install) || realpath(o->install, installFolder) == nullptr) goto done;

  exe.bytes = (uint8_t*)malloc(o->exeSize == 0 ? 1 : o->exeSize);
  if (exe.bytes == nullptr) goto done;
  exe.size = o->exeSize;
  FillPattern(exe.bytes, exe.size, o->seed);
  memcpy(exe.bytes, "MZ", exe.size < 2 ? exe.size : 2);
  if (!ExecutableText(o, &exe, text) || !MakeModule(o, text, &module, &layout)) goto done;

  if (!Flip(&exe, o->damageExe ? (long long)exe.size / 2 : -1, EXE_NAME) ||
      !Flip(&exe, o->damageExeAt, EXE_NAME) ||
      !Flip(&module, o->damageOutside ? (long long)layout.recordOffset + 3 : -1, RECORD_NAME) ||
      !Flip(&module, o->damageInside ? (long long)layout.recordOffset + 15 : -1, RECORD_NAME) ||
      !Flip(&module, o->damageModuleAt, RECORD_NAME)) {
    goto done;
  }

  if (!o->noExe && !WriteFileAt(installFolder, EXE_NAME, exe.bytes, exe.size)) goto done;
  if (!o->noModule && !WriteFileAt(installFolder, "dll/RESOURCE.dll", module.bytes, module.size)) {
    goto done;
  }
  if (!o->noInstallSetupList) {
    if (!Unescape(o->installSetupList ? o->installSetupList : DEFAULT_INSTALL_SETUP_LIST, text) ||
        !WriteFileAt(installFolder, "Setup.dat", text, strlen(text))) {
      goto done;
    }
  }
  if (o->appdata != nullptr && !WriteSettings(o, installFolder)) goto done;
  if (o->updater != nullptr && !WritePackage(o)) goto done;
  if (o->printLayout) {
    printf("record_offset=%u\nwindow=%u\nexe_text_offset=%u\nmodule_size=%u\nexe_size=%u\n",
           layout.recordOffset, layout.recordOffset + 4, layout.exeTextOffset, module.size,
           exe.size);
  }
  ok = 1;
done:
  free(exe.bytes);
  free(module.bytes);
  return ok;
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--help") == 0) {
      fputs(HELP, stdout);
      return 0;
    }
  }
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    fputs(HELP, stderr);
    return 2;
  }
  if (!MakeInstallation(&options)) {
    fprintf(stderr, "make_installation: the installation could not be made\n");
    return 1;
  }
  return 0;
}
