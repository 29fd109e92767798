// What identifies the product and the package this updater applies. A
// different product or version is a different build of these constants.
#pragma once

struct PackageDefinition {
  const char* brandFolder;        // folder under AppData holding the settings file
  const char* productTitle;       // inserted into the caption and the messages
  const char* shortName;          // Velmora.exe, Velmora.ini, checksum resource name
  const char* captionFormat;      // applied to the product title
  const char* packageVersion;     // recorded in and compared with the settings file
  const char* packageFolderName;  // beside the updater, holds the replacement files
  const char* const* fileList;    // relative paths, ended by a null entry
  const char* setupListName;      // empty switches the setup list merge off
};

extern const PackageDefinition Package;

// Fixed names that do not vary by product.
extern const char RESOURCE_MODULE_FOLDER[];
extern const char RESOURCE_MODULE_NAME[];
