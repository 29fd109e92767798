// Transcript lines of the main flow that the host and Wine runs must both show.
#pragma once

#include <string>

inline const std::string NOT_FOUND_BOX =
    "{\"event\":\"messagebox\",\"owner\":\"none\",\"caption\":\"カルネヴィオ - Update Program\","
    "\"text\":\"「カルネヴィオ」のインストール先の検出に失敗しました。\",\"style\":48,"
    "\"answer\":\"ok\"}";

inline std::string ExitLine(int code) {
  return "{\"event\":\"exit\",\"code\":" + std::to_string(code) + "}";
}
