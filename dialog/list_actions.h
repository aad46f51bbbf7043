#pragma once

#include <functional>

class SymbolListBox;

// Gives `list` a context menu, made once, with the usual shortcuts (while the list has
// the focus): copy the selected name (Strg+C), copy all names of the list,
// one per line in its order (Strg+Umschalt+C), and export the comparison
// (Strg+E), which calls `exportComparison`.
void AddListActions(SymbolListBox* list, const std::function<void()>& exportComparison);
