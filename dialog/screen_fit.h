#pragma once

#include <QRect>
#include <QSize>

// Where a window of `size` (its inside), with a window-system frame adding
// `frame`, stands on a screen whose available area is `area`, at a device
// pixel ratio of `ratio`: unchanged (`fits`) when its frame lies inside the
// area; otherwise no larger than the area allows (but not below `minimum`)
// and centred in it, by whole pixels, never left of or above it. At a
// fractional ratio the area was rounded: one pixel is kept in hand.
struct ScreenFit {
    bool fits = true;
    QSize size;
    QPoint position;  // of the frame
};
ScreenFit FitWindow(const QRect& area, const QRect& frameGeometry, QSize size, QSize frame,
                    QSize minimum, qreal ratio);
