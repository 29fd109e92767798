// Every user-visible text, decoded from its code-page-932 bytes, against
// the text as the product defines it: blanks and line feeds included.
#include "app/message_catalogue.h"
#include "app/package_definition.h"
#include "platform/host/host_paths.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Decoded(const char* cp932) {
  char utf8[4096];
  EXPECT_TRUE(Cp932ToUtf8(cp932, utf8, sizeof utf8)) << "not code page 932";
  return utf8;
}

struct ExpectedText {
  const char* cp932;
  const char* utf8;
};

const ExpectedText Expected[] = {
    {MSG_CONFIRM_START, u8"「%s」のプログラムのアップデートを行います。\nアップデートを行う前に本体プログラムの終了を確認して下さい。"},
    {MSG_INSTALL_NOT_FOUND, u8"「%s」のインストール先の検出に失敗しました。"},
    {MSG_INSTALL_DAMAGED, u8"インストール先のデータが破損している可能性があります。\n再度ゲームをインストールし直してからアップデートを行って下さい。"},
    {MSG_NOT_NEEDED, u8"アップデートする必要がありませんでしたが、\n引き続きアップデートを行いますか？"},
    {MSG_FINISHED, u8"アップデートが終了しました。"},
    {MSG_ABORTED, u8"アップデートが中止されました。"},
    {MSG_NO_APPDATA, u8"AppDataフォルダが見つかりませんでした"},
    {CAPTION_UNKNOWN_ERROR, u8"不明なエラー"},
    {MSG_INSTALL_PATH_BAD, u8"インストール先に問題があります。\n %s"},
    {MSG_NO_SPACE, u8"インストール先の容量が足りません。\n確認して下さい。 \n%s \n[%d / %d] \n必要容量 : %d"},
    {MSG_FILE_NOT_FOUND, u8"指定されたファイルが見つかりませんでした。\n%s"},
    {MSG_FILE_NOT_CREATED, u8"指定されたファイルが作成出来ませんでした。\n%s"},
    {MSG_FILE_NOT_READ, u8"指定されたファイルが読込めませんでした。\n読込み先に問題がないか確認してください。\n%s"},
    {MSG_FILE_NOT_WRITTEN, u8"指定されたファイルに書込むことが出来ませんでした。\n%s"},
    {MSG_MERGE_FAILED, u8"指定されたファイルが見つかりませんでした。\nアップデートは成功しましたが、\nアップデート情報の更新に失敗しました。[0x%08X]%s"},
    {FMT_PERCENT, u8"%3d%%"},
    {CAPTION_UPDATE_FAILED, u8"アップデートに失敗しました。"},
    {CAPTION_RECORD_FAILED, u8"アップデート情報の更新に失敗しました。"},
    {MSG_LIST_NOT_FOUND, u8"指定されたファイルが見つかりませんでした。\nアップデートは成功しましたが、\nアップデート情報の更新に失敗しました。%s"},
    {MSG_LIST_NOT_WRITABLE, u8"アップデートは成功しましたが、\nアップデート情報の更新に失敗しました。\n[0xE0000003]"},
};

TEST(MessageCatalogue, EveryTextDecodesToItsDefinition) {
  ASSERT_EQ(MessageCatalogueSize, (int)(sizeof Expected / sizeof Expected[0]));
  for (int i = 0; i < MessageCatalogueSize; ++i) {
    EXPECT_EQ(Decoded(MessageCatalogue[i].text), Expected[i].utf8) << MessageCatalogue[i].name;
    EXPECT_EQ(MessageCatalogue[i].text, Expected[i].cp932) << MessageCatalogue[i].name;
  }
}

TEST(MessageCatalogue, FormattingKeepsTheBlanksAroundLineFeeds) {
  char text[1024];
  ASSERT_GT(FormatText(text, sizeof text, MSG_NO_SPACE, "C:\\Game", 12, 3400, 57), 0);
  EXPECT_EQ(Decoded(text),
            u8"インストール先の容量が足りません。\n確認して下さい。 \nC:\\Game \n[12 / 3400] \n必要容量 : 57");
  ASSERT_GT(FormatText(text, sizeof text, MSG_INSTALL_PATH_BAD, "\\\\server\\share"), 0);
  EXPECT_EQ(Decoded(text), u8"インストール先に問題があります。\n \\\\server\\share");
  ASSERT_GT(FormatText(text, sizeof text, MSG_MERGE_FAILED, 3u, "Setup.dat"), 0);
  EXPECT_NE(std::string(text).find("[0x00000003]Setup.dat"), std::string::npos);
  ASSERT_EQ(FormatText(text, sizeof text, FMT_PERCENT, 7), 4);
  EXPECT_STREQ(text, "  7%");
}

TEST(PackageDefinition, NamesTheProductAndThePackage) {
  EXPECT_EQ(Decoded(Package.brandFolder), u8"ホロメリダ");
  EXPECT_EQ(Decoded(Package.productTitle), u8"カルネヴィオ");
  EXPECT_STREQ(Package.shortName, "Velmora");
  EXPECT_STREQ(Package.packageVersion, "1.1");
  EXPECT_STREQ(Package.packageFolderName, "data");
  EXPECT_STREQ(Package.setupListName, "Setup.dat");
  ASSERT_NE(Package.fileList[0], nullptr);
  EXPECT_STREQ(Package.fileList[0], "dll\\MUR.dll");
  EXPECT_EQ(Package.fileList[1], nullptr);

  char caption[1024];
  FormatText(caption, sizeof caption, Package.captionFormat, Package.productTitle);
  EXPECT_EQ(Decoded(caption), u8"カルネヴィオ - Update Program");
}

}  // namespace
