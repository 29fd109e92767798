// The Windows path under which the host back end reads a host path: drive
// Z: and code page 932. The test fails when the path does not convert.
#pragma once

#include "platform/host/host_paths.h"

#include <gtest/gtest.h>

#include <string>

inline std::string BackEndPath(const std::string& hostPath) {
  char out[4096] = "";
  EXPECT_TRUE(WindowsPathFromHost(hostPath.c_str(), out, sizeof out)) << hostPath;
  return out;
}
