#pragma once

#include "layout/pagelayout.h"

#include <QSize>

#include <functional>

// The page laid out at `scale`, its texts `widen` of the way (0 to 1) from
// as wide as designed to as wide as the room.
using LayOutAt = std::function<PageLayout(double scale, double widen)>;

// Each try lays every text out anew, as lines break differently at each
// size, and costs the faces at new sizes: the next try is estimated from
// the last, so that a few tries do.

// The design's page as large as it can be, up to `wanted`, and still fit
// in `room`: its heights follow its scale.
PageLayout largestScaledDesign(const LayOutAt &layOut, double wanted, const QSize &room);

// A first look at a page laid out from its content at `scale`, cheaper than
// laying it out: the passage's height, its lines as wide as the room lets
// them, and the least the rest of the page takes.
struct FirstLook
{
    double passage;
    double rest;
};
using LookAt = std::function<FirstLook(double scale)>;

// A page laid out from its content as large as it can be, up to `wanted`,
// and still fit in `room`: its texts first grow wider, so that they keep
// their size as long as longer lines let them; then the whole page grows
// smaller, a pixel of the passage's text size at a time (it is drawn
// `pixelsAtScaleOne` pixels tall at scale 1, rounded).
PageLayout largestFromContent(const LayOutAt &layOut, const LookAt &look, double pixelsAtScaleOne, double wanted,
                              const QSize &room);
