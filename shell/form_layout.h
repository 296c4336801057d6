// The main window's frame and controls: places, captions and tab order, shared by every platform's window.
#pragma once

#include <array>
#include <string>

namespace korvel {

inline constexpr const char *kWindowCaption =
    "Korvel Ver.1.02　Jw_cadクリップボードからVantra用スクリプトへの変換ツール";
inline constexpr const char *kApplicationTitle = "Korvel";

// The title once a drawing is shown: the caption, then what is shown.
inline std::string WindowTitleFor(const std::string &shown) {
    return shown.empty() ? kWindowCaption : std::string(kWindowCaption) + " — " + shown;
}

// A copy taken from the clipboard, as the title names it: "クリップボード 10:32".
inline constexpr const char *kClipboardDocumentName = "クリップボード";
inline constexpr const char *kWindowFontFace = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPixels = 12;
inline constexpr int kClientWidth = 664;
inline constexpr int kClientHeight = 387;
inline constexpr int kWindowLeft = 192;
inline constexpr int kWindowTop = 107;
// The script pane's character limit.
inline constexpr int kPaneMaxCharacters = 4096000;

enum class ControlKind { Button, CheckBox, Image, ScratchList, Pane, Label };

struct ControlPlace {
    const char *name;
    ControlKind kind;
    int number;  // Button1..4 and CheckBox1..4 by their number; 0 for the others
    int left, top, width, height;
    const char *caption;
};

// In tab order; the image and the label, which take no focus, come last.
inline constexpr std::array<ControlPlace, 12> kControls = {{
    {"Button1", ControlKind::Button, 1, 8, 8, 177, 25, "Jw_cadクリップボード取り込み"},
    {"ListBox1", ControlKind::ScratchList, 0, 24, 56, 33, 25, ""},
    {"CheckBox2", ControlKind::CheckBox, 2, 8, 172, 177, 17, "レイヤを変換する(0～255)"},
    {"CheckBox1", ControlKind::CheckBox, 1, 8, 192, 185, 17, "色を変換する(白背景設定色)"},
    {"CheckBox3", ControlKind::CheckBox, 3, 8, 212, 185, 17, "ハッチング線を変換する"},
    {"CheckBox4", ControlKind::CheckBox, 4, 8, 232, 185, 17, "ソリッド図形を変換する"},
    {"Button2", ControlKind::Button, 2, 8, 256, 177, 25, "Vantraコードへ変換"},
    {"RichEdit1", ControlKind::Pane, 0, 192, 8, 465, 353, ""},
    {"Button3", ControlKind::Button, 3, 8, 296, 177, 25, "全選択してコピー"},
    {"Button4", ControlKind::Button, 4, 8, 336, 177, 25, "閉じる"},
    {"Image1", ControlKind::Image, 0, 8, 40, 177, 129, ""},
    {"Label1", ControlKind::Label, 0, 8, 368, 570, 12,
     "※文字・寸法図形・寸法属性・画像・ブロック図形の変換は出来ません。　レイヤグループ[0]の縮尺で変換します。"},
}};

// A control's place in a client area of this size (never smaller than the layout's): the script pane grows
// with the window, the note under it moves down and grows across; the rest stays where it is.
inline ControlPlace PlaceIn(const ControlPlace &place, int width, int height) {
    const int wider = width > kClientWidth ? width - kClientWidth : 0;
    const int taller = height > kClientHeight ? height - kClientHeight : 0;
    ControlPlace placed = place;
    if (place.kind == ControlKind::Pane) placed.width += wider, placed.height += taller;
    if (place.kind == ControlKind::Label) placed.width += wider, placed.top += taller;
    return placed;
}

}  // namespace korvel
