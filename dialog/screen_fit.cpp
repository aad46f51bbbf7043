#include "dialog/screen_fit.h"

#include <algorithm>
#include <cmath>

ScreenFit FitWindow(const QRect& area, const QRect& frameGeometry, QSize size, QSize frame,
                    QSize minimum, qreal ratio) {
    QSize room = area.size() - frame;
    if (ratio != std::floor(ratio)) room -= QSize(1, 1);
    if (size.width() <= room.width() && size.height() <= room.height() &&
        area.contains(frameGeometry))
        return {true, size, frameGeometry.topLeft()};
    const QSize fitted = size.boundedTo(room).expandedTo(minimum);
    // QRect::center() rounds down: centring by it put a frame as wide as the
    // area at -1.
    const QSize whole = fitted + frame;
    return {false, fitted,
            QPoint(area.left() + std::max(0, (area.width() - whole.width()) / 2),
                   area.top() + std::max(0, (area.height() - whole.height()) / 2))};
}
