#pragma once

#include <map>

class QDialog;
class QWidget;
class TemplateLayout;

// Creates the controls of the dialog's template in `dialog`, in its font,
// each where the template puts it and placed in `layout`, in the template's
// tab order; sets the window's caption, font and default size. Returns the
// controls by identifier (not the static ones).
std::map<int, QWidget*> CreateTemplateControls(QDialog* dialog, TemplateLayout& layout);

class QPushButton;
// Where the window's font is wider than the template's (a substitute font),
// the caption of `button` gets a smaller size rather than lose its ends: the
// button keeps its place and size.
void FitCaption(QPushButton* button);
