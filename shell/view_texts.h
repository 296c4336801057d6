// What the drawing view says, in both windows: its captions, its layer panel's lines and its status line.
#pragma once

#include <cstddef>
#include <string>

#include "geom/plane.h"
#include "preview/drawing_view.h"
#include "reader/drawing_store.h"

namespace korvel {

inline constexpr const char *kViewMenuText = "図面を表示...";
inline constexpr const char *kViewWindowCaption = "図面表示";
inline constexpr const char *kFitText = "全体";
inline constexpr const char *kZoomRectangleText = "範囲拡大";
inline constexpr const char *kMeasureText = "距離を測る";
inline constexpr const char *kShownLayersOnlyText = "表示中のレイヤだけ変換する";
inline constexpr const char *kLayersTitle = "レイヤ";
inline constexpr const char *kNoDrawingText =
    "表示する図面がありません。Jw_cadでコピーして取り込むか、図面を開いてください";
inline constexpr const char *kViewHelpText =
    "ホイール: 拡大・縮小　ドラッグ: 移動　Home・ダブルクリック: 全体　「範囲拡大」: ドラッグした範囲を表示　"
    "「距離を測る」: 2点をクリック（端点・中点・中心に吸着）　Esc: 測定をやめる";

// "[0] グループ名 (1/50)": a layer group's line in the layer panel.
std::string GroupLine(const DrawingStore &store, std::size_t group, const LayerCounts &counts);
// "0-3 壁 (120)": a layer's line, its name where the drawing file holds one, and how many entities it holds.
std::string LayerLine(const DrawingStore &store, std::size_t layer, const LayerCounts &counts);

// The layer group's scale (1 where the drawing has none, or a useless one).
double GroupScale(const DrawingStore &store, std::size_t group);

// "X 1234.5  Y -20  (実寸 61725, -1000 mm・縮尺 1/50)": the cursor in drawing units and in real size, from the
// reference point, at the group's scale.
std::string CursorText(const DrawingStore &store, PlanePoint at, std::size_t group);
// "距離 12.35（実寸 617.5 mm・縮尺 1/50）"; with one point only, the prompt for the second.
std::string MeasureText(const DrawingStore &store, PlanePoint from, const PlanePoint *to, std::size_t group);
// "ブロック図形の一部は上限を超えたため表示していません" when inserts were left out; else nothing.
std::string LeftOutText(std::size_t leftOut);

}  // namespace korvel
