#pragma once

#include <QObject>
#include <string>

class DialogUnits;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class SymbolListModel;
class TemplateLayout;

// The controls for going through a comparison, in the free area above
// "Gemeinsame Symbole" between the two library frames: the search field,
// "Nur geänderte", the steps from change to change (Alt+↑, Alt+↓ from
// anywhere in the window), and the button of the window "Unterschiede".
class ReviewControls : public QObject {
    Q_OBJECT

public:
    ReviewControls(QWidget* dialog, const DialogUnits& units, TemplateLayout& layout);

    // In the tab order right after `commonList`, the last of the lists.
    void FollowInTabOrder(QWidget* commonList);
    // Strg+F: into the search field, its text selected.
    void Find();
    // Whether a filter is set, and which.
    bool Filtering() const;
    bool OnlyChanged() const;
    // The typed text in the lists' bytes (Windows-1252); a character that
    // code page lacks stands as NUL, which is in no name.
    std::string SearchBytes() const;
    QLineEdit* SearchField() const { return search_; }
    // "Unterschiede …", beside the search field.
    QPushButton* DifferencesButton() const { return differences_; }

signals:
    // The search text or "Nur geänderte" changed.
    void filterChanged();
    // Enter in the search field: to the first entry shown.
    void enterInSearch();
    // +1: to the next change, -1: to the previous one.
    void step(int direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* search_ = nullptr;
    QCheckBox* onlyChanged_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QPushButton* differences_ = nullptr;
};

// Where a step from change to change lands among the changed rows a list
// shows, and what the status line says about it.
class ChangeStepper {
public:
    struct Step {
        int row = -1;      // the row to select; -1: none
        std::string note;  // where the step stands, or why it went nowhere
    };
    // From `current` (-1: nothing selected) in `direction`. Past the last
    // (or first) change, one step says so, and the next starts again at the
    // other end.
    Step Go(const SymbolListModel& common, int current, int direction);
    // The row, among all rows, of a selection that a filter hid: the next
    // step goes on from there. -1: none.
    void SetAnchor(int allRow) { anchor_ = allRow; }
    // A step past the end is said anew (the status line moved on).
    void ForgetEnd() { pendingWrap_ = 0; }

private:
    int anchor_ = -1;
    int pendingWrap_ = 0;  // +1 or -1 after a step that way found no change
};
