#include "layout/pagefitting.h"

#include "layout/designgeometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

bool fitsIn(const PageLayout &layout, const QSize &room)
{
    return layout.page.width() <= room.width() && layout.page.height() <= room.height();
}

// A page's height, the passage's text apart.
struct Heights
{
    double scale;
    double page;
    double text;
};

Heights heightsOf(const PageLayout &layout)
{
    return {layout.scale, double(layout.page.height()), double(layout.passage.rect.height())};
}

// The scale at which the page would be `room` tall. Its lines as wide as
// they will stay, the passage grows with the square of the scale (more
// lines, each taller); the rest of the page in proportion.
double estimatedScale(const Heights &heights, double room)
{
    const double rest = heights.page - heights.text;
    if (heights.text <= 0)
        return heights.scale * room / heights.page;
    return heights.scale * (-rest + std::sqrt(rest * rest + 4 * heights.text * room)) / (2 * heights.text);
}

// The widest the passage can be in the room, its margins kept.
double widestPassage(const PageLayout &layout, const QSize &room)
{
    return room.width() - 2 * (layout.passage.rect.left() - layout.page.left());
}

// How far the texts must widen for the page to fit, the passage's lines
// fewer as they grow longer; more than 1 when widening alone cannot do.
double neededWidening(const PageLayout &layout, const QSize &room)
{
    const double designed = layout.passage.rect.width();
    const double widest = widestPassage(layout, room);
    const double roomForText = room.height() - (layout.page.height() - layout.passage.rect.height());
    if (widest <= designed || roomForText <= 0)
        return 2;
    const double needed = designed * layout.passage.rect.height() / roomForText;
    return (needed - designed) / (widest - designed);
}

} // namespace

PageLayout largestScaledDesign(const LayOutAt &layOut, double wanted, const QSize &room)
{
    PageLayout tried = layOut(wanted, 0);
    for (int attempt = 0; attempt < 8 && !fitsIn(tried, room); ++attempt) {
        const double ratio = std::min(double(room.width()) / tried.page.width(),
                                      double(room.height()) / tried.page.height());
        tried = layOut(tried.scale * std::min(ratio, 0.99), 0);
    }
    return tried;
}

PageLayout largestFromContent(const LayOutAt &layOut, const LookAt &look, double pixelsAtScaleOne, double wanted,
                              const QSize &room)
{
    // Where even the widest passage and the least of the rest cannot fit,
    // the page is smaller: laying it all out at this size would be lost.
    const FirstLook first = look(wanted);
    std::optional<PageLayout> tried;
    Heights last{wanted, first.passage + first.rest * pixelsAtScaleOne / DesignGeometry::textPixels, first.passage};
    if (first.passage + first.rest <= room.height()) {
        tried = layOut(wanted, 0);
        if (fitsIn(*tried, room))
            return *tried;
        last = heightsOf(*tried);
        const double needed = neededWidening(*tried, room);
        if (needed <= 1) {
            // A little more than estimated: lines break at words.
            PageLayout widened = layOut(wanted, std::min(1.0, needed + 0.1));
            if (fitsIn(widened, room))
                return widened;
        }
        // Widened all the way, the passage's lines shorten in proportion.
        const double text = last.text * std::min(1.0, tried->passage.rect.width() / widestPassage(*tried, room));
        last = {last.scale, last.page - last.text + text, text};
    }

    // Then a text size a pixel smaller at a time, from the estimate, until
    // the largest that fits is found.
    const auto scaleOf = [pixelsAtScaleOne](int pixels) { return pixels / pixelsAtScaleOne; };
    int tooLarge = static_cast<int>(std::floor(wanted * pixelsAtScaleOne)) + 1;
    int pixels = std::clamp(static_cast<int>(std::lround(estimatedScale(last, room.height()) * pixelsAtScaleOne)), 1,
                            tooLarge - 1);
    std::optional<PageLayout> fitting;
    for (int attempt = 0; attempt < 12 && pixels >= 1 && pixels < tooLarge; ++attempt) {
        tried = layOut(scaleOf(pixels), 1);
        if (fitsIn(*tried, room)) {
            fitting = tried;
            // A page grows at least as fast as its text: a pixel larger
            // would not fit when this one nearly fills the room.
            if (tried->page.height() * (pixels + 1.0) / pixels > room.height())
                break;
            ++pixels;
        } else {
            tooLarge = pixels;
            if (fitting)
                break;
            // Estimated again from the nearer try, at least a pixel smaller.
            pixels = std::min(pixels - 1, static_cast<int>(std::floor(estimatedScale(heightsOf(*tried), room.height())
                                                                      * pixelsAtScaleOne)));
        }
    }
    if (fitting)
        return *fitting;
    return tried ? *tried : layOut(scaleOf(1), 1); // nothing smaller is worth drawing
}
