#pragma once

#include <QRect>

#include <cmath>

// The window is laid out in twips, 1/1440 inch. At the reference 96 dpi that
// is 15 twips to a pixel; mapping twips to device-independent pixels lets Qt
// scale the layout with the screen's scale factor.
namespace Twips {

constexpr int perPixel = 15;

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / perPixel));
}

inline int fromPixels(int pixels)
{
    return pixels * perPixel;
}

inline QRect toPixels(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

inline QRect toPixels(const QRect &twips)
{
    return toPixels(twips.x(), twips.y(), twips.width(), twips.height());
}

} // namespace Twips
