// Every text the user can see, as code-page-932 bytes. The comment above each
// constant shows the text decoded; "\n" there is one line-feed byte.
#pragma once

// 「%s」のプログラムのアップデートを行います。\nアップデートを行う前に本体プログラムの終了を確認して下さい。
extern const char MSG_CONFIRM_START[];
// 「%s」のインストール先の検出に失敗しました。
extern const char MSG_INSTALL_NOT_FOUND[];
// インストール先のデータが破損している可能性があります。\n再度ゲームをインストールし直してからアップデートを行って下さい。
extern const char MSG_INSTALL_DAMAGED[];
// アップデートする必要がありませんでしたが、\n引き続きアップデートを行いますか？
extern const char MSG_NOT_NEEDED[];
// アップデートが終了しました。
extern const char MSG_FINISHED[];
// アップデートが中止されました。
extern const char MSG_ABORTED[];
// AppDataフォルダが見つかりませんでした
extern const char MSG_NO_APPDATA[];
// 不明なエラー
extern const char CAPTION_UNKNOWN_ERROR[];
// インストール先に問題があります。\n %s
extern const char MSG_INSTALL_PATH_BAD[];
// インストール先の容量が足りません。\n確認して下さい。 \n%s \n[%d / %d] \n必要容量 : %d
extern const char MSG_NO_SPACE[];
// 指定されたファイルが見つかりませんでした。\n%s
extern const char MSG_FILE_NOT_FOUND[];
// 指定されたファイルが作成出来ませんでした。\n%s
extern const char MSG_FILE_NOT_CREATED[];
// 指定されたファイルが読込めませんでした。\n読込み先に問題がないか確認してください。\n%s
extern const char MSG_FILE_NOT_READ[];
// 指定されたファイルに書込むことが出来ませんでした。\n%s
extern const char MSG_FILE_NOT_WRITTEN[];
// 指定されたファイルが見つかりませんでした。\nアップデートは成功しましたが、\nアップデート情報の更新に失敗しました。[0x%08X]%s
extern const char MSG_MERGE_FAILED[];
// %3d%%
extern const char FMT_PERCENT[];
// アップデートに失敗しました。
extern const char CAPTION_UPDATE_FAILED[];
// アップデート情報の更新に失敗しました。
extern const char CAPTION_RECORD_FAILED[];
// 指定されたファイルが見つかりませんでした。\nアップデートは成功しましたが、\nアップデート情報の更新に失敗しました。%s
extern const char MSG_LIST_NOT_FOUND[];
// アップデートは成功しましたが、\nアップデート情報の更新に失敗しました。\n[0xE0000003]
extern const char MSG_LIST_NOT_WRITABLE[];

// The whole catalogue by name, for the tests that check every text.
struct CatalogueEntry {
  const char* name;
  const char* text;
};
extern const CatalogueEntry MessageCatalogue[];
extern const int MessageCatalogueSize;
