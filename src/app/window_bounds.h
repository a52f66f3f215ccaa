#pragma once
// Where windows go: what the table's close step stores, the smallest client
// area the board allows, the table's bounds fitted to the screens, and the
// place a side window takes beside the table.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

namespace vornel::app {

// The table window's bounds as the settings file keeps them: left and top
// place the frame's top-left corner, width and height are the client size.
struct WindowBounds {
    int left = 3;
    int top = 3;
    int width = 780;
    int height = 600;
    friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

// Where a first run and "Reset Screen Location" put the window.
inline constexpr WindowBounds kDefaultBounds{};

struct AreaSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const AreaSize&, const AreaSize&) = default;
};

// The bounds the close step stores, or nothing to write. Nothing when the
// settings were never read (a run closed before login must not overwrite
// the player's options with built-in values) or when the window stands
// exactly at the stored bounds. Otherwise a window wider than the work area
// loses 15 pixels of width, then one taller loses 15 of height: once per
// close, so the stored size may still exceed the work area, and an unmoved
// window at that size is not shrunk again next time.
std::optional<WindowBounds> boundsToStoreAtClose(const WindowBounds& current, const WindowBounds& stored,
                                                 bool settingsWereRead, AreaSize workArea);

inline constexpr AreaSize kBoardSize{771, 551};
inline constexpr int kBoardMarginWidth = 15;
inline constexpr int kBoardMarginHeight = 12;

// The client area after a resize: never smaller than the board plus its
// margins (786 x 563); larger sizes are kept.
AreaSize clampClientSize(AreaSize client);

// The table's bounds fitted to the screens' work areas (the primary
// screen's first). `frame` is the frame around the client area, its top
// the title bar. The window goes to the screen that holds the most of it,
// or the nearest one when none holds any; its client is at least `minimum`
// and at most what that work area leaves inside the frame, and the whole
// frame lies in the work area, so the title bar can be reached. Only a
// screen smaller than the minimum leaves part of the window outside: the
// window then stands at the work area's top-left corner.
WindowBounds fitToScreens(const WindowBounds& wanted, const std::vector<QRect>& workAreas, const QMargins& frame,
                          AreaSize minimum);

// The top-left corner of a side window's frame (of size `window`) shown
// beside the table: where one screen's work area holds it whole next to
// the table's frame (right of it, then left, below, above), clear of the
// windows in `taken`; with no such room, over a corner of the board (the
// table's client area) that stays off the trick area and is clear of
// `taken`, the top-right one first, kept on the board's screen.
QPoint placeBesideTable(QSize window, const QRect& tableFrame, const QRect& board, const QRect& trickArea,
                        const std::vector<QRect>& taken, const std::vector<QRect>& workAreas);

}  // namespace vornel::app
