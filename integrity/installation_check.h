// The checksum check of the product's resource module and executable.
#pragma once

// Nonzero when the installation in installFolder passes the check.
int VerifyInstallation(const char* installFolder);
