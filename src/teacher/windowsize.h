#pragma once

#include <QRect>
#include <QSize>

// The teacher's window's size and zoom: decided here from plain values, so
// that they are tested without a screen; kept between sessions in the
// teacher's own settings.

// Where the window opens on a screen whose free area is `available`: the
// size kept from last time (`kept`, invalid when none) when it fits, most
// of the screen otherwise; at least 80 % of its height, never larger than
// it, centred.
QRect initialWindowRect(const QRect &available, const QSize &kept);

// The zoom after `current` one step up (1), down (-1), or back to 1 (0),
// among the steps a projector needs, from 80 % to 300 %.
double nextZoom(double current, int step);

struct KeptWindow
{
    QSize size;        // invalid when nothing was kept
    bool maximised = false;
    double zoom = 1.0;
};

KeptWindow keptWindow();
void keepWindow(const KeptWindow &kept);
