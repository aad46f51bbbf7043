#pragma once

#include <QListView>
#include <string_view>

class SymbolListModel;

// A sorted single-selection list of symbol names, with the operations the
// dialog needs. It reports a selection change only when the user makes one.
class SymbolListBox : public QListView {
    Q_OBJECT

public:
    explicit SymbolListBox(QWidget* parent = nullptr);

    SymbolListModel& Model() { return *model_; }

    // Row of the selected entry, or -1.
    int CurrentSelection() const;
    // The bytes of entry `row` exactly as they were added.
    std::string_view Text(int row) const;
    // Selects the first entry beginning with `prefix` (ignoring case) without
    // reporting it; returns its row, or -1 and leaves the selection alone.
    int SelectFirstBeginningWith(std::string_view prefix);
    // Selects `row` as a user would, reporting the change (for tests and keyboard).
    void SelectRowAsUser(int row);

signals:
    void selectionChangedByUser();

private:
    SymbolListModel* model_;
    bool selectingQuietly_ = false;
};
