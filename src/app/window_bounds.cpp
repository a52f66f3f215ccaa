#include "app/window_bounds.h"

#include <algorithm>

namespace vornel::app {

namespace {
constexpr int kCloseShrink = 15;
}

std::optional<WindowBounds> boundsToStoreAtClose(const WindowBounds& current, const WindowBounds& stored,
                                                 bool settingsWereRead, AreaSize workArea) {
    if (!settingsWereRead || current == stored) return std::nullopt;
    WindowBounds result = current;
    if (result.width > workArea.width) result.width -= kCloseShrink;
    if (result.height > workArea.height) result.height -= kCloseShrink;
    return result;
}

AreaSize clampClientSize(AreaSize client) {
    return {std::max(client.width, kBoardSize.width + kBoardMarginWidth),
            std::max(client.height, kBoardSize.height + kBoardMarginHeight)};
}

}  // namespace vornel::app
