#include "tests/settings/settings_scenarios.h"

#include <sys/wait.h>
#include <unistd.h>

const char NO_APPDATA_BOX[] =
    "{\"event\":\"messagebox\",\"owner\":\"none\",\"caption\":\"不明なエラー\","
    "\"text\":\"AppDataフォルダが見つかりませんでした\",\"style\":32,\"answer\":\"ok\"}";
const char DAMAGED_BOX[] =
    "{\"event\":\"messagebox\",\"owner\":\"none\",\"caption\":\"カルネヴィオ - Update Program\","
    "\"text\":\"インストール先のデータが破損している可能性があります。\\n"
    "再度ゲームをインストールし直してからアップデートを行って下さい。\",\"style\":48,"
    "\"answer\":\"ok\"}";
const char NOT_NEEDED_DECLINED_BOX[] =
    "{\"event\":\"messagebox\",\"owner\":\"none\",\"caption\":\"カルネヴィオ - Update Program\","
    "\"text\":\"アップデートする必要がありませんでしたが、\\n引き続きアップデートを行いますか？\","
    "\"style\":36,\"answer\":\"no\"}";

int MakeRecordedInstallation(const std::string& install, const std::string& appData,
                             const char* version) {
  std::string installOption = "--install=" + install;
  std::string appDataOption = "--appdata=" + appData;
  std::string versionOption = std::string("--version=") + version;
  pid_t child = fork();
  if (child == 0) {
    execl(UPDATER_MAKE_INSTALLATION, UPDATER_MAKE_INSTALLATION, installOption.c_str(),
          appDataOption.c_str(), versionOption.c_str(), (char*)nullptr);
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return 0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
