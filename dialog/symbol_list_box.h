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
    // What the data exchange does after each selection: keeps the selected
    // row if it shows exactly `text` (a user's choice among equal names), or
    // else selects the first row showing exactly `text`, or else the first
    // beginning with it, ignoring case. Nothing is reported; returns the row
    // selected, or -1 and leaves the selection alone.
    int Reselect(std::string_view text);
    // Selects `row` without reporting it.
    void SelectQuietly(int row);
    // Selects `row` as a user would, reporting the change (for tests and keyboard).
    void SelectRowAsUser(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

signals:
    void selectionChangedByUser();

private:
    SymbolListModel* model_;
    bool selectingQuietly_ = false;
};
