// Arranging a page and two windows beside it on one screen: a small search over the places where
// each window's edge meets a screen edge or another window, for the arrangement that covers the
// least of what matters.
#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <vector>

namespace cyclar {

namespace {

constexpr int gap = 8;

// Where a span of `length` starting at `start` goes to lie within [low, high): moved no further
// than it must; at `low` when it is longer than the range.
int keepWithin(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

long long overlap(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

int manhattan(const QPoint& a, const QPoint& b)
{
    return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
}

// The starts worth trying for a span of `length` within [low, high): against either end of the
// range, and beside or in line with each of the spans (start, length) already placed.
std::vector<int> startsBeside(int length, int low, int high,
                              const std::vector<std::pair<int, int>>& placed)
{
    std::vector<int> starts{low, high - length};
    for (const auto& [start, other] : placed) {
        starts.insert(starts.end(),
                      {start + other + gap, start - gap - length, start, start + other - length});
    }
    for (int& start : starts) {
        start = keepWithin(start, length, low, high);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

// The top-left corners worth trying for a window of `size` beside the rectangles `placed`.
std::vector<QPoint> placesBeside(const QSize& size, const QRect& screen,
                                 const std::vector<QRect>& placed)
{
    std::vector<std::pair<int, int>> across;
    std::vector<std::pair<int, int>> down;
    for (const QRect& rect : placed) {
        across.emplace_back(rect.left(), rect.width());
        down.emplace_back(rect.top(), rect.height());
    }
    const int right = screen.left() + screen.width();
    const int bottom = screen.top() + screen.height();
    std::vector<QPoint> places;
    for (const int x : startsBeside(size.width(), screen.left(), right, across)) {
        for (const int y : startsBeside(size.height(), screen.top(), bottom, down)) {
            places.emplace_back(x, y);
        }
    }
    return places;
}

// What an arrangement costs, compared in this order: pixels of the page's controls covered, of
// its picture, of the window shown covered by the new one; then how far the page and the window
// shown were moved; then how far from the page, how far from level with it and on which side of
// it the new window stands.
using Cost = std::array<long long, 7>;

struct Scene {
    QRect page;
    QPoint pictureOffset;
    QSize pictureSize;
    std::optional<QRect> shown;
    QSize window;
    QPoint pageBefore;
    QPoint shownBefore;

    Cost cost(const QPoint& pageAt, const std::optional<QPoint>& shownAt,
              const QPoint& windowAt) const
    {
        const QRect pageRect(pageAt, page.size());
        const QRect picture(pageAt + pictureOffset, pictureSize);
        const QRect placed(windowAt, window);
        const auto controlsCovered = [&](const QRect& by) {
            return overlap(by, pageRect) - overlap(by, picture.intersected(pageRect));
        };
        Cost cost{controlsCovered(placed),
                  overlap(placed, picture),
                  0,
                  2LL * manhattan(pageAt, pageBefore),
                  0,
                  0,
                  0};
        if (shownAt) {
            const QRect other(*shownAt, shown->size());
            cost[0] += controlsCovered(other);
            cost[1] += overlap(other, picture);
            cost[2] = overlap(placed, other);
            cost[3] += manhattan(*shownAt, shownBefore);
        }
        const int dx = std::max({0, pageRect.left() - (placed.left() + placed.width()),
                                 placed.left() - (pageRect.left() + pageRect.width())});
        const int dy = std::max({0, pageRect.top() - (placed.top() + placed.height()),
                                 placed.top() - (pageRect.top() + pageRect.height())});
        cost[4] = dx + dy;
        cost[5] = std::abs(placed.top() - pageRect.top());
        cost[6] = placed.left() >= pageRect.left() + pageRect.width() ? 0 : 1;
        return cost;
    }
};

} // namespace

int heightOnScreen(int wanted, int least, int available)
{
    return std::min(std::max(wanted, least), available);
}

WindowArrangement arrangeBesidePage(const QRect& pageFrame, const QRect& picture,
                                    const QRect& shown, const QSize& window, const QRect& screen)
{
    const int right = screen.left() + screen.width();
    const int bottom = screen.top() + screen.height();
    const auto kept = [&](const QRect& rect) {
        return QPoint(keepWithin(rect.left(), rect.width(), screen.left(), right),
                      keepWithin(rect.top(), rect.height(), screen.top(), bottom));
    };
    Scene scene{pageFrame,      picture.topLeft() - pageFrame.topLeft(),
                picture.size(), shown.isEmpty() ? std::nullopt : std::optional<QRect>(shown),
                window,         pageFrame.topLeft(),
                shown.topLeft()};

    std::optional<Cost> best;
    WindowArrangement chosen{kept(pageFrame), kept(shown),
                             kept(QRect(pageFrame.topLeft(), window))};
    const auto tryWindow = [&](const QPoint& pageAt, const std::optional<QPoint>& shownAt) {
        std::vector<QRect> placed{QRect(pageAt, pageFrame.size())};
        if (shownAt) {
            placed.emplace_back(*shownAt, shown.size());
        }
        for (const QPoint& windowAt : placesBeside(window, screen, placed)) {
            const Cost cost = scene.cost(pageAt, shownAt, windowAt);
            if (!best || cost < *best) {
                best = cost;
                chosen = {pageAt, shownAt.value_or(chosen.shown), windowAt};
            }
        }
    };

    // First with the page and the window shown where they are (on the screen): when nothing
    // is covered so, nothing needs to move.
    const QPoint pageKept = kept(pageFrame);
    const std::optional<QPoint> shownKept =
        scene.shown ? std::optional<QPoint>(kept(shown)) : std::nullopt;
    tryWindow(pageKept, shownKept);
    if ((*best)[0] == 0 && (*best)[1] == 0 && (*best)[2] == 0) {
        return chosen;
    }

    // Else the page goes to an edge of the screen, or as far from one as leaves room for a
    // window beside it, and the window shown goes beside the page.
    std::vector<int> pageXs{pageKept.x(), screen.left(), right - pageFrame.width()};
    std::vector<int> pageYs{pageKept.y(), screen.top(), bottom - pageFrame.height()};
    std::vector<QSize> beside{window};
    if (scene.shown) {
        beside.push_back(shown.size());
    }
    for (const QSize& size : beside) {
        pageXs.insert(pageXs.end(), {screen.left() + size.width() + gap,
                                     right - pageFrame.width() - gap - size.width()});
        pageYs.insert(pageYs.end(), {screen.top() + size.height() + gap,
                                     bottom - pageFrame.height() - gap - size.height()});
    }
    for (const int x : pageXs) {
        for (const int y : pageYs) {
            const QPoint pageAt(keepWithin(x, pageFrame.width(), screen.left(), right),
                                keepWithin(y, pageFrame.height(), screen.top(), bottom));
            if (!scene.shown) {
                tryWindow(pageAt, std::nullopt);
                continue;
            }
            std::vector<QPoint> shownPlaces =
                placesBeside(shown.size(), screen, {QRect(pageAt, pageFrame.size())});
            shownPlaces.push_back(*shownKept);
            for (const QPoint& shownAt : shownPlaces) {
                tryWindow(pageAt, shownAt);
            }
        }
    }
    return chosen;
}

void showArrangedBeside(QWidget& window, QWidget& page, const QRect& picture, QWidget* shown,
                        int least)
{
    const QRect pageFrame = page.frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(pageFrame.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen ? screen->availableGeometry() : pageFrame;
    const QRect shownFrame = shown && shown->isVisible() ? shown->frameGeometry() : QRect();
    // Its own size rather than adjustSize's, which keeps a window to two thirds of the screen.
    const QSize wanted = window.sizeHint().expandedTo(window.minimumSizeHint());
    const auto sizeFor = [&](const QSize& margins) {
        return QSize(std::min(wanted.width(), area.width() - margins.width()),
                     heightOnScreen(wanted.height() + margins.height(), least, area.height())
                         - margins.height());
    };
    // The frame's margins are known only once shown: placed without them first, then again.
    window.resize(sizeFor(QSize()));
    window.move(arrangeBesidePage(pageFrame, picture, shownFrame, window.size(), area).window);
    window.show();
    const QSize margins = window.frameGeometry().size() - window.size();
    window.resize(sizeFor(margins));
    const WindowArrangement place =
        arrangeBesidePage(pageFrame, picture, shownFrame, window.frameGeometry().size(), area);
    if (place.page != pageFrame.topLeft()) {
        page.move(place.page + (page.pos() - pageFrame.topLeft()));
    }
    if (!shownFrame.isEmpty() && place.shown != shownFrame.topLeft()) {
        shown->move(place.shown + (shown->pos() - shownFrame.topLeft()));
    }
    window.move(place.window + (window.pos() - window.frameGeometry().topLeft()));
}

} // namespace cyclar
