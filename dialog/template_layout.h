#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QFont;
class QWidget;

// How the dialog's controls follow the window's size. At the default size
// every control stands where the template puts it. Larger, the lists and
// frames take the extra height, and the three columns share the extra width:
// fields, lists and frames grow, labels and buttons keep their size; what
// stands under the lists moves down. Smaller, the same the other way, down to
// the minimum size.
class TemplateLayout {
public:
    // What a control does with the extra width.
    enum class Stretch {
        kGrow,    // its column's share
        kCentre,  // stays in the middle of its column
        kLeft,    // stays at its column's left edge
        kRight,   // stays at its column's right edge
        kCorner,  // with the window's right edge (and its bottom)
        kStrip,   // across the whole width (and with the bottom)
    };

    void SetDefaultSize(QSize size) { defaultSize_ = size; }
    QSize DefaultSize() const { return defaultSize_; }
    // `control` at `base` at the default size; its column and whether it
    // grows or moves down follow from where it stands, in `font`'s units.
    void Place(QWidget* control, QRect base, Stretch horizontal, const QFont& font);
    // Every control placed for the window's `size`.
    void Apply(QSize size) const;
    // The smallest size: each list still shows five rows of `rowHeight`
    // inside frames of `listFrame`; each column's fields keep more than half
    // their width.
    QSize Minimum(const QFont& font, int rowHeight, int listFrame) const;
    // 1 or 2 for the library column at `at`, 0 for the common column: left of
    // the common column's frame is library 1, right of it library 2, wherever
    // the frame stands at the window's size.
    int ColumnAt(QPoint at) const;

private:
    struct Placement {
        QWidget* control;
        QRect base;  // at the default size
        int column;  // 0 library 1, 1 common, 2 library 2
        Stretch horizontal;
        bool growsDown;  // takes the extra height (lists and frames)
        bool below;      // moves down with it (under the lists)
    };
    std::vector<Placement> placements_;
    QSize defaultSize_;
};
