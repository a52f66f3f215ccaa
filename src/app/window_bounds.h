#pragma once
// The table window's placement rules: what the close step stores, and the
// smallest client area the board allows.

#include <optional>

namespace vornel::app {

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

}  // namespace vornel::app
