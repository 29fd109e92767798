#include "app/package_definition.h"

static const char* const PackageFiles[] = {
    "dll\\MUR.dll",
    nullptr,
};

const PackageDefinition Package = {
    // ホロメリダ
    "\x83z\x83\x8D\x83\x81\x83\x8A\x83_",
    // カルネヴィオ
    "\x83J\x83\x8B\x83l\x83\x94\x83""B\x83I",
    "Velmora",
    "%s - Update Program",
    "1.1",
    "data",
    PackageFiles,
    "Setup.dat",
};

const char RESOURCE_MODULE_FOLDER[] = "dll";
const char RESOURCE_MODULE_NAME[] = "RESOURCE.dll";
