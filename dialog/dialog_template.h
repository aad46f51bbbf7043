#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <span>

// The comparison dialog as a template: every control with its identifier,
// caption, place and size in dialog units, in tab order.
enum class ControlKind { DefaultButton, Button, GroupBox, ListBox, Edit, UpperCaseEdit, Label };

struct ControlTemplate {
    ControlKind kind;
    int id;                      // IDC_STATIC for group boxes and labels
    const char* objectName;      // the identifier's name, or a descriptive one
    const char* caption;         // UTF-8
    int x, y, width, height;     // dialog units
    const char* accessibleName;  // UTF-8; nullptr: the caption
};

struct DialogTemplate {
    const char* caption;
    int width, height;  // dialog units
    const char* fontFamily;
    int fontPointSize;
    std::span<const ControlTemplate> controls;
};

const DialogTemplate& LibCompareDialogTemplate();

// Dialog units to pixels for a font: base units from the font's average
// character width and height, x * baseX / 4 and y * baseY / 8.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int dialogUnits) const;
    int Y(int dialogUnits) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

private:
    int baseX_;
    int baseY_;
};
