#include "app/window_bounds.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace vornel::app {

namespace {

constexpr int kCloseShrink = 15;
// Settings values beyond any screen are brought this near first, so the
// sums below cannot overflow.
constexpr int kFarAway = 1 << 20;

qint64 areaOf(const QRect& r) { return r.isEmpty() ? 0 : qint64(r.width()) * r.height(); }

// How far apart two rectangles are (squared); 0 when they touch or overlap.
qint64 distanceSquared(const QRect& a, const QRect& b) {
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

// The work area holding the most of `r`, or the nearest one.
QRect areaFor(const QRect& r, const std::vector<QRect>& areas) {
    QRect best = areas.front();
    auto key = [&](const QRect& a) { return std::make_tuple(areaOf(a.intersected(r)), -distanceSquared(a, r)); };
    for (const QRect& a : areas)
        if (key(a) > key(best)) best = a;
    return best;
}

// `start` moved so that `length` fits between `low` and `high` (inclusive);
// `low` when it cannot.
int keepWithin(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high + 1 - length));
}

QRect keptIn(const QRect& r, const QRect& area) {
    return {keepWithin(r.left(), r.width(), area.left(), area.right()),
            keepWithin(r.top(), r.height(), area.top(), area.bottom()), r.width(), r.height()};
}

bool insideOneArea(const QRect& r, const std::vector<QRect>& areas) {
    return std::any_of(areas.begin(), areas.end(), [&](const QRect& a) { return a.contains(r); });
}

qint64 overlap(const QRect& r, const std::vector<QRect>& taken) {
    qint64 total = 0;
    for (const QRect& t : taken) total += areaOf(r.intersected(t));
    return total;
}

// Nearest to `edge` first.
void sortNearest(std::vector<int>& starts, int edge) {
    std::sort(starts.begin(), starts.end(), [edge](int a, int b) {
        return std::make_pair(std::abs(a - edge), a) < std::make_pair(std::abs(b - edge), b);
    });
}

}  // namespace

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

WindowBounds fitToScreens(const WindowBounds& wanted, const std::vector<QRect>& workAreas, const QMargins& frame,
                          AreaSize minimum) {
    if (workAreas.empty()) return wanted;
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const QRect asked(std::clamp(wanted.left, -kFarAway, kFarAway), std::clamp(wanted.top, -kFarAway, kFarAway),
                      std::clamp(wanted.width, minimum.width, kFarAway) + frameWidth,
                      std::clamp(wanted.height, minimum.height, kFarAway) + frameHeight);
    const QRect area = areaFor(asked, workAreas);
    const int width = std::max(minimum.width, std::min(asked.width() - frameWidth, area.width() - frameWidth));
    const int height = std::max(minimum.height, std::min(asked.height() - frameHeight, area.height() - frameHeight));
    const QRect placed = keptIn({asked.topLeft(), QSize(width + frameWidth, height + frameHeight)}, area);
    return {placed.left(), placed.top(), width, height};
}

QPoint placeBesideTable(QSize window, const QRect& tableFrame, const QRect& board, const QRect& trickArea,
                        const std::vector<QRect>& taken, const std::vector<QRect>& workAreas) {
    auto fits = [&](QPoint at) {
        const QRect r(at, window);
        return insideOneArea(r, workAreas) && overlap(r, taken) == 0 && !r.intersects(tableFrame);
    };
    // Along a side: level with the table, just past each window already
    // there, or against a screen's edge.
    std::vector<int> tops{tableFrame.top()};
    std::vector<int> lefts{tableFrame.left()};
    for (const QRect& r : taken) {
        tops.insert(tops.end(), {r.bottom() + 1, r.top() - window.height()});
        lefts.insert(lefts.end(), {r.right() + 1, r.left() - window.width()});
    }
    for (const QRect& a : workAreas) {
        tops.insert(tops.end(), {a.top(), a.bottom() + 1 - window.height()});
        lefts.insert(lefts.end(), {a.left(), a.right() + 1 - window.width()});
    }
    sortNearest(tops, tableFrame.top());
    sortNearest(lefts, tableFrame.left());
    // Against the table's side, or against the near edge of a screen
    // beyond it (a table that fills its screen, another screen beside it).
    std::vector<int> right{tableFrame.right() + 1}, left{tableFrame.left() - window.width()};
    std::vector<int> below{tableFrame.bottom() + 1}, above{tableFrame.top() - window.height()};
    for (const QRect& a : workAreas) {
        if (a.left() > tableFrame.right()) right.push_back(a.left());
        if (a.right() < tableFrame.left()) left.push_back(a.right() + 1 - window.width());
        if (a.top() > tableFrame.bottom()) below.push_back(a.top());
        if (a.bottom() < tableFrame.top()) above.push_back(a.bottom() + 1 - window.height());
    }
    sortNearest(right, tableFrame.right() + 1);
    sortNearest(left, tableFrame.left() - window.width());
    sortNearest(below, tableFrame.bottom() + 1);
    sortNearest(above, tableFrame.top() - window.height());
    for (const auto* side : {&right, &left})
        for (int x : *side)
            for (int y : tops)
                if (fits({x, y})) return {x, y};
    for (const auto* side : {&below, &above})
        for (int y : *side)
            for (int x : lefts)
                if (fits({x, y})) return {x, y};

    // No room beside the table: over a corner of the board. In this order
    // they hide the least of the game: the logo and the phrase buttons; the
    // chat line and the buttons that open these windows; the trump card and
    // the partner's hand; the player's own hand.
    const QRect corners[] = {
        QRect(QPoint(board.right() + 1 - window.width(), board.top()), window),
        QRect(QPoint(board.right() + 1 - window.width(), board.bottom() + 1 - window.height()), window),
        QRect(board.topLeft(), window),
        QRect(QPoint(board.left(), board.bottom() + 1 - window.height()), window),
    };
    // Off the trick area, then clear of the other windows, then in that order.
    auto key = [&](const QRect& r) { return std::make_pair(r.intersects(trickArea), overlap(r, taken)); };
    const QRect best = *std::min_element(std::begin(corners), std::end(corners),
                                         [&](const QRect& a, const QRect& b) { return key(a) < key(b); });
    if (workAreas.empty()) return best.topLeft();
    return keptIn(best, areaFor(board, workAreas)).topLeft();
}

}  // namespace vornel::app
