// What the window tells the user, in the window's language.
#pragma once

namespace korvel {

inline constexpr const char *kNoJwDrawingMessage =
    "クリップボードにJw_cadの図形データがありません。Jw_cadで図形を選んでコピーしてから取り込んでください";
inline constexpr const char *kRejectedCopyMessage = "クリップボードのデータをJw_cadの図形として読み取れませんでした";
inline constexpr const char *kEarlierDrawingKeptMessage =
    "プレビューには前に読み込んだ図形が残っていますが、変換はしません";
inline constexpr const char *kStaleConvertMessage =
    "最後に取り込んだデータが読み取れなかったため変換しません。図形を取り込み直すか、図面ファイルを開いてください"
    "（TEMP.VNT は変更していません）";
inline constexpr const char *kPartialReadMessage =
    "図形データを最後まで読み取れませんでした。途中までの図形は変換できません";
inline constexpr const char *kPartialConvertMessage =
    "図形データが最後まで読み取れていないため変換しません（TEMP.VNT は変更していません）";
inline constexpr const char *kNothingToConvertMessage =
    "変換する図形がありません。Jw_cadでコピーした図形を取り込むか、図面ファイルを開いてください";
inline constexpr const char *kScriptWriteMessage = "スクリプトファイルを書き込めません: ";
inline constexpr const char *kScriptLocationLabel = "変換したスクリプトの保存先: ";
inline constexpr const char *kNotADrawingFileMessage = "Jw_cadの図形データではありません:\n";
inline constexpr const char *kFileNotFoundMessage = "ファイルが見つかりません:\n";

// Several drawings dropped at once, converted into a chosen folder.
inline constexpr const char *kBatchFolderTitle = "変換したスクリプトを保存するフォルダ";
inline constexpr const char *kExportFolderTitle = "書き出した DXF を保存するフォルダ";
inline constexpr const char *kBatchNothingMessage = "変換する図面がありません: ";
inline constexpr const char *kBatchEmptyFolderReason = ".jww や .jws の図面がないフォルダです";
inline constexpr const char *kBatchUnreadableReason = "ファイルを読めません";
inline constexpr const char *kBatchNotADrawingReason = "Jw_cadの図形データではありません";
inline constexpr const char *kBatchPartialReason = "図形データを最後まで読み取れませんでした";
inline constexpr const char *kBatchSameNameReason = "ほかの図面と同じ名前 ";  // + NAME.vnt + kBatchSameNameEnd
inline constexpr const char *kBatchSameNameEnd = " になるため書き出していません";
inline constexpr const char *kBatchIsInputReason = "書き出し先が元の図面そのものになるため書き出していません";
inline constexpr const char *kScriptFolderLabel = "保存先: ";
inline constexpr const char *kBatchStoppedNote = "途中で中止しました。残りの図面は変換していません";

// Opening a saved drawing from the preview's context menu (or Ctrl+O).
inline constexpr const char *kOpenMenuText = "開く...";
inline constexpr const char *kSaveAsMenuText = "名前を付けて保存...";
inline constexpr const char *kSaveDialogTitle = "スクリプトを保存";
inline constexpr const char *kSaveDialogFilter = "Vantraのスクリプト (*.vnt)";
inline constexpr const char *kNoScriptToSaveMessage =
    "保存するスクリプトがありません。「Vantraコードへ変換」で変換してから保存してください";
inline constexpr const char *kScriptSaveFailedMessage =
    "スクリプトを保存できませんでした。保存先のフォルダに書き込めるか、空き容量があるかを確かめてください:\n";
inline constexpr const char *kDetailLabel = "詳細: ";
// The context menu's switches of automatic import, remembered across starts.
inline constexpr const char *kAutoImportMenuText = "Jw_cadのコピーを自動で取り込む";
inline constexpr const char *kAutoConvertMenuText = "取り込んだら自動でVantraコードへ変換する";
// The context menu's conversion switches beside the check boxes, remembered across starts.
inline constexpr const char *kBlocksMenuText = "ブロック図形も変換する";
inline constexpr const char *kDimensionsMenuText = "寸法図形の線も変換する";
inline constexpr const char *kGroupScalesMenuText = "各レイヤグループの縮尺で変換する";
inline constexpr const char *kAllLayersMenuText = "非表示レイヤの図形も変換する";
// The note under the buttons while long work runs, when it stopped, and after a save.
inline constexpr const char *kReadingNote = "図面を読み込んでいます: ";  // + the file's name + kStopHint
inline constexpr const char *kConvertingNote = "変換しています ";        // + how far, "45%", + kStopHint
inline constexpr const char *kStopHint = "（Esc で中止）";
inline constexpr const char *kReadingStoppedNote = "読み込みを中止しました。表示中の図面はそのままです";
inline constexpr const char *kConvertingStoppedNote = "変換を中止しました（TEMP.VNT は変更していません）";
inline constexpr const char *kBusyMessage = "前の処理が終わっていません。終わるまで待つか、Esc で中止してください";
inline constexpr const char *kSavedNote = "保存しました: ";
inline constexpr const char *kExportMenuText = "書き出し…";
inline constexpr const char *kExportDropsMenuText = "ドロップした複数の図面は DXF に書き出す";
inline constexpr const char *kExportDialogTitle = "図面を DXF・SVG に書き出す";
inline constexpr const char *kExportDxfFilter = "DXF 図面 (*.dxf)";
inline constexpr const char *kExportSvgFilter = "SVG 画像 (*.svg)";
inline constexpr const char *kExportingNote = "書き出しています ";  // + how far, "45%", + kStopHint
inline constexpr const char *kExportStoppedNote = "書き出しを中止しました（ファイルは書いていません）";
inline constexpr const char *kExportedNote = "書き出しました: ";  // + the file, then what it holds
inline constexpr const char *kNothingToExportMessage = "書き出す図面がありません。先に図面を取り込むか開いてください。";
inline constexpr const char *kExportFailedMessage = "書き出せませんでした: ";  // + the file
inline constexpr const char *kScriptChangedMessage =
    "表示中のスクリプトを変換した後に TEMP.VNT が変わっています。もう一度変換してください:\n";
inline constexpr const char *kPaneCutNote =
    "　※長いため先頭だけ表示しています（「全選択してコピー」と TEMP.VNT は全体です）";
// The note's words for what the choices leave out, and where the choices are.
inline constexpr const char *kNoteNotConverted = "の変換は出来ません。";
inline constexpr const char *kNoteGroupZeroScale = "レイヤグループ[0]の縮尺で変換します。";
inline constexpr const char *kNoteEachGroupScale = "各レイヤグループの縮尺で変換します。";
inline constexpr const char *kNoteShownLayersOnly = "図面表示で表示中のレイヤだけ変換します。";
inline constexpr const char *kNoteAllLayers = "非表示・表示のみレイヤの図形も変換します。";
inline constexpr const char *kNoteWhereChoicesAre = "（設定はプレビューの右クリック）";
inline constexpr const char *kOpenDialogTitle = "Jw_cadの図面を開く";
inline constexpr const char *kOpenDialogFilter = "Jw_cadの図面 (*.jww *.jws)";
inline constexpr const char *kAllFilesFilter = "すべてのファイル (*.*)";

}  // namespace korvel
