#pragma once

#include <QStringList>
#include <QStyledItemDelegate>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "dialog/difference_model.h"
#include "dialog/review_marks.h"

class ComparisonSession;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

// Draws a value cell with the part that differs in bold and blanks at either
// end of the value visible, as the dialog's line of a change does.
class DifferenceDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The rich text drawn for a cell's pieces (DifferenceModel::kPiecesRole),
    // cut to `width` pixels with "…".
    static QString CellHtml(const QStringList& pieces, const QFont& font, int width);
};

// The window "Unterschiede": every difference of the session's comparison in
// one table, to sort, filter, step through and check off. Non-modal; it
// keeps its size and place, and fills itself anew whenever the session's
// comparison changes.
class DifferenceWindow : public QWidget {
    Q_OBJECT

public:
    explicit DifferenceWindow(ComparisonSession* session, QWidget* parent = nullptr);
    ~DifferenceWindow() override;

    DifferenceModel& Model() { return *model_; }
    QTableView* Table() const { return table_; }
    // The status line's whole text.
    QString StatusText() const;
    // The rows shown, as tab-separated lines with the column names first.
    QString ShownRowsText() const;

public slots:
    // Selects the first shown row of a symbol: of the changed pair `index`
    // (kChanged), or of record `index` only in library 1 or 2; says nothing
    // (no differenceSelected). False when no such row is shown.
    bool SelectSymbol(DifferenceKind kind, std::int64_t index);
    // The next (previous) row shown; past the last (first) one a note says
    // so, and the next press starts again at the other end.
    void Step(bool forward);

signals:
    // The user selected a row: of changed pair `index` (kChanged; an index
    // into Comparison::pairs), or of record `index` of library 1 (kOnly1) or
    // library 2 (kOnly2).
    void differenceSelected(DifferenceKind kind, std::int64_t index);
    // Strg+E: the shown rows are to be exported (ShownRowsText, the
    // model's filter).
    void exportRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Refill();
    // The comparison followed a change in place: the rows follow, and the
    // selection stays where it stood (on the row after a row taken over).
    void Follow(const std::vector<std::int32_t>& pairs);
    void ApplyFilter();
    void ToggleChecked();
    void Copy();
    // Runs `change` to the model (sort, filter), then selects again those
    // of the selected rows that are still shown.
    void KeepingSelection(const std::function<void()>& change);
    std::vector<std::uint32_t> SelectedRows() const;
    // Selects these rows (all rows), `current` the current one, quietly.
    void Select(const std::vector<std::uint32_t>& rows, int current);
    void OnCurrentChanged();
    void SetNote(const QString& note);
    void UpdateStatus();
    void FitValueColumns();
    // Where its size and place are kept in the settings.
    static QString GeometryKey();

    // The values' columns are at least this many average characters wide.
    static constexpr int kValueEms = 40;

    ComparisonSession* session_;
    DifferenceModel* model_;
    QTableView* table_;
    QComboBox* kind_;
    QComboBox* field_;
    QLineEdit* search_;
    QCheckBox* onlyUnchecked_;
    QLabel* status_;
    ReviewMarks marks_;
    bool fitting_ = false;            // FitValueColumns is setting the widths
    bool valuesSizedByHand_ = false;  // the user set a value column's width
    bool placed_ = false;             // shown where it stood last, or placed over the dialog
    bool marksFollow_ = false;        // the contents changed in place since the marks were read
    QString note_;
    int wrapPending_ = 0;  // +1 / -1: a step that way found the end
    bool edited_ = false;  // the session's edits changed since the last refill
    bool quiet_ = false;   // selecting for the program, not the user
    // The key of the current row's mark, taken when it became current.
    std::optional<std::uint64_t> currentMark_;
};
