#include "dialog/difference_window.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSettings>
#include <QShortcut>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <string>

#include "dialog/change_line.h"
#include "session/comparison_session.h"

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

QString DifferenceDelegate::CellHtml(const QStringList& pieces, const QFont& font, int width) {
    LinePieces line;
    for (qsizetype i = 0; i < pieces.size(); ++i) line << LinePiece{pieces[i], i == 1};
    return RichText(line, font, width);
}

void DifferenceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QStringList pieces = index.data(DifferenceModel::kPiecesRole).toStringList();
    if (pieces.size() != 3) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    // Inside the margin a plain cell's text keeps too.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                           .adjusted(margin, 0, -margin, 0);
    QTextDocument document;
    document.setDefaultFont(item.font);
    document.setDocumentMargin(0);
    document.setHtml(CellHtml(pieces, item.font, text.width()));
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = item.palette;
    context.palette.setColor(
        QPalette::Text,
        item.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                 : QPalette::Text));
    painter->save();
    const int top = text.top() + (text.height() - static_cast<int>(document.size().height())) / 2;
    painter->translate(text.left(), top);
    painter->setClipRect(QRect(0, 0, text.width(), text.height()));
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

DifferenceWindow::DifferenceWindow(ComparisonSession* session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), model_(new DifferenceModel(this)) {
    const DifferenceWindowWords& words = DifferenceWindowText();
    setWindowTitle(Utf8(words.title));
    setObjectName(QStringLiteral("differenceWindow"));

    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("kind"));
    kind_->addItem(Utf8(words.allKinds), -1);
    for (const DifferenceKind kind :
         {DifferenceKind::kChanged, DifferenceKind::kOnly1, DifferenceKind::kOnly2})
        kind_->addItem(Utf8(DifferenceKindName(kind)), static_cast<int>(kind));
    field_ = new QComboBox(this);
    field_->setObjectName(QStringLiteral("field"));
    field_->addItem(Utf8(words.allFields), 0);
    for (const std::uint8_t field :
         {kDesignationDiffers, kClassification1Differs, kClassification2Differs})
        field_->addItem(Utf8(FieldName(field)), field);
    auto* kindLabel = new QLabel(Utf8(words.kindLabel), this);
    kindLabel->setBuddy(kind_);
    auto* fieldLabel = new QLabel(Utf8(words.fieldLabel), this);
    fieldLabel->setBuddy(field_);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setAccessibleName(Utf8(words.searchName));
    search_->setPlaceholderText(Utf8(words.searchPlaceholder));
    search_->setClearButtonEnabled(true);
    onlyUnchecked_ = new QCheckBox(Utf8(words.onlyUnchecked), this);
    onlyUnchecked_->setObjectName(QStringLiteral("onlyUnchecked"));
    onlyUnchecked_->setToolTip(Utf8(words.onlyUncheckedTip));

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("differences"));
    table_->setModel(model_);
    table_->setItemDelegate(new DifferenceDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setToolTip(Utf8(words.tableTip));
    table_->setAccessibleName(Utf8(words.title));
    table_->verticalHeader()->hide();
    // Rows of one height, set once: nothing is measured over a million rows.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(DifferenceModel::kSymbolColumn, Qt::AscendingOrder);
    header->setStretchLastSection(false);
    const int em = fontMetrics().averageCharWidth();
    const int widths[] = {18, 24, 16, kValueEms, kValueEms, 8};
    for (int column = 0; column < DifferenceModel::kColumnCount; ++column)
        header->resizeSection(column, widths[column] * em);
    // "Art" shows its longest word whole, "Feld" the name of any one field.
    const auto widest = [this](std::initializer_list<std::string> texts) {
        int width = 0;
        for (const std::string& text : texts)
            width = std::max(width, fontMetrics().horizontalAdvance(QString::fromStdString(text)));
        return width;
    };
    header->resizeSection(DifferenceModel::kKindColumn,
                          widest({DifferenceKindName(DifferenceKind::kChanged),
                                  DifferenceKindName(DifferenceKind::kOnly1),
                                  DifferenceKindName(DifferenceKind::kOnly2)}) +
                              2 * em);
    header->resizeSection(
        DifferenceModel::kFieldColumn,
        widest({FieldName(kDesignationDiffers), FieldName(kClassification1Differs),
                FieldName(kClassification2Differs)}) +
            2 * em);
    // Every header's name whole, also where the header shows it bold.
    QFont bold = header->font();
    bold.setBold(true);
    for (int column = 0; column < DifferenceModel::kColumnCount; ++column)
        header->resizeSection(column,
                              std::max(header->sectionSize(column),
                                       QFontMetrics(bold).horizontalAdvance(
                                           QString::fromStdString(DifferenceColumnName(column))) +
                                           4 * em));

    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (!fitting_ &&
            (column == DifferenceModel::kValue1Column || column == DifferenceModel::kValue2Column))
            valuesSizedByHand_ = true;
    });
    table_->viewport()->installEventFilter(this);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);

    auto* filters = new QHBoxLayout;
    filters->addWidget(kindLabel);
    filters->addWidget(kind_);
    filters->addWidget(fieldLabel);
    filters->addWidget(field_);
    filters->addWidget(search_, 1);
    filters->addWidget(onlyUnchecked_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);

    connect(kind_, &QComboBox::currentIndexChanged, this, &DifferenceWindow::ApplyFilter);
    connect(field_, &QComboBox::currentIndexChanged, this, &DifferenceWindow::ApplyFilter);
    connect(search_, &QLineEdit::textChanged, this, &DifferenceWindow::ApplyFilter);
    connect(onlyUnchecked_, &QCheckBox::toggled, this, &DifferenceWindow::ApplyFilter);
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                KeepingSelection([&] { model_->sort(column, order); });
            });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DifferenceWindow::OnCurrentChanged);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DifferenceWindow::UpdateStatus);

    const auto shortcut = [this](QKeySequence keys, QWidget* owner, Qt::ShortcutContext context,
                                 auto slot) {
        auto* s = new QShortcut(keys, owner);
        s->setContext(context);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Down), this, Qt::WindowShortcut,
             [this] { Step(true); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Up), this, Qt::WindowShortcut, [this] { Step(false); });
    shortcut(QKeySequence(Qt::Key_Space), table_, Qt::WidgetShortcut, [this] { ToggleChecked(); });
    shortcut(QKeySequence::Copy, table_, Qt::WidgetShortcut, [this] { Copy(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this, Qt::WindowShortcut,
             [this] { emit exportRequested(); });
    shortcut(QKeySequence::Find, this, Qt::WindowShortcut, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });

    if (const QByteArray geometry = QSettings().value(GeometryKey()).toByteArray();
        geometry.isEmpty() || !restoreGeometry(geometry))
        resize(170 * em, 40 * fontMetrics().height());
    else
        placed_ = true;

    connect(session_, &ComparisonSession::editsChanged, this, [this] { edited_ = true; });
    connect(session_, &ComparisonSession::comparisonChanged, this, &DifferenceWindow::Refill);
    connect(session_, &ComparisonSession::comparisonFollowed, this, &DifferenceWindow::Follow);
    Refill();
}

void DifferenceWindow::Refill() {
    // The row selected stays selected when the new comparison has it (F5).
    // Its key was taken when it became current: by now the comparison the
    // model refers to may already be another one.
    const std::optional<std::uint64_t> mark = currentMark_;
    // After an edit that made a new file (a symbol added or removed), the
    // row taken is gone: the row now standing where it stood is the next.
    const int currentRow = table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
    const bool afterEdit = edited_;
    edited_ = false;
    const Comparison& comparison = session_->Current();
    marksFollow_ = false;
    const bool shown = session_->ShowsComparison() && !comparison.refused;
    quiet_ = true;
    model_->SetComparison(shown ? &comparison : nullptr);
    if (shown) {
        marks_.Open(comparison);
        if (!marks_.Empty())
            model_->CheckWhere([this](std::uint64_t key) { return marks_.Has(key); });
    } else {
        marks_ = {};
    }
    const QHeaderView* header = table_->horizontalHeader();
    if (header->sortIndicatorSection() != DifferenceModel::kSymbolColumn ||
        header->sortIndicatorOrder() != Qt::AscendingOrder)
        model_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    bool selected = false;
    if (mark) {
        for (std::uint32_t all = 0; all < model_->TotalCount(); ++all) {
            if (model_->MarkOf(all) != *mark) continue;
            if (model_->ShownRow(all) >= 0) Select({all}, model_->ShownRow(all));
            selected = model_->ShownRow(all) >= 0;
            break;
        }
    }
    if (!selected && afterEdit && currentRow >= 0 && model_->Count() > 0) {
        const int row = std::min(currentRow, model_->Count() - 1);
        Select({model_->AllRow(row)}, row);
    }
    quiet_ = false;
    note_.clear();
    wrapPending_ = 0;
    UpdateStatus();
}

void DifferenceWindow::Follow(const std::vector<std::int32_t>& pairs) {
    const QModelIndex current = table_->currentIndex();
    const std::vector<std::uint32_t> selected = SelectedRows();
    const bool wasQuiet = quiet_;
    quiet_ = true;
    if (!model_->Follow(pairs)) {
        quiet_ = wasQuiet;
        Refill();
        return;
    }
    marksFollow_ = true;
    ForgetContentKeys();
    // Rows still shown stay selected; where none is, the row now standing
    // where the current one stood is the next to look at.
    std::vector<std::uint32_t> still;
    for (const std::uint32_t all : selected)
        if (model_->ShownRow(all) >= 0) still.push_back(all);
    int row = current.isValid() && !selected.empty() ? model_->ShownRow(selected.front()) : -1;
    if (still.empty() && current.isValid() && model_->Count() > 0) {
        row = std::min(current.row(), model_->Count() - 1);
        still = {model_->AllRow(row)};
    } else if (!still.empty()) {
        row = model_->ShownRow(still.front());
    }
    Select(still, row);
    quiet_ = wasQuiet;
    UpdateStatus();
}

void DifferenceWindow::ApplyFilter() {
    DifferenceModel::Filter filter;
    if (const int kind = kind_->currentData().toInt(); kind >= 0)
        filter.kind = static_cast<DifferenceKind>(kind);
    filter.field = static_cast<std::uint8_t>(field_->currentData().toInt());
    filter.search = ToWindows1252(search_->text());
    filter.onlyUnchecked = onlyUnchecked_->isChecked();
    KeepingSelection([&] { model_->SetFilter(filter); });
}

std::vector<std::uint32_t> DifferenceWindow::SelectedRows() const {
    std::vector<std::uint32_t> rows;
    for (const QItemSelectionRange& range : table_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(model_->AllRow(row));
    return rows;
}

void DifferenceWindow::Select(const std::vector<std::uint32_t>& rows, int current) {
    std::vector<int> shown;
    shown.reserve(rows.size());
    for (const std::uint32_t all : rows)
        if (const int row = model_->ShownRow(all); row >= 0) shown.push_back(row);
    std::sort(shown.begin(), shown.end());
    QItemSelection selection;
    for (std::size_t first = 0; first < shown.size();) {
        std::size_t last = first;
        while (last + 1 < shown.size() && shown[last + 1] == shown[last] + 1) ++last;
        selection.select(model_->index(shown[first], 0),
                         model_->index(shown[last], DifferenceModel::kColumnCount - 1));
        first = last + 1;
    }
    QItemSelectionModel* selectionModel = table_->selectionModel();
    if (current >= 0)
        selectionModel->setCurrentIndex(model_->index(current, 0), QItemSelectionModel::NoUpdate);
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current >= 0) table_->scrollTo(model_->index(current, 0));
}

void DifferenceWindow::KeepingSelection(const std::function<void()>& change) {
    const std::vector<std::uint32_t> selected = SelectedRows();
    const QModelIndex current = table_->currentIndex();
    const std::int64_t currentAll = current.isValid() ? model_->AllRow(current.row()) : -1;
    const bool wasQuiet = quiet_;
    quiet_ = true;
    change();
    const int row = currentAll >= 0 ? model_->ShownRow(static_cast<std::uint32_t>(currentAll)) : -1;
    Select(selected, row);
    quiet_ = wasQuiet;
    UpdateStatus();
}

bool DifferenceWindow::SelectSymbol(DifferenceKind kind, std::int64_t index) {
    for (int row = 0; row < model_->Count(); ++row) {
        const DifferenceModel::Row& r = model_->At(model_->AllRow(row));
        if (r.kind != kind || r.index != index) continue;
        quiet_ = true;
        Select({model_->AllRow(row)}, row);
        quiet_ = false;
        UpdateStatus();
        return true;
    }
    return false;
}

void DifferenceWindow::Step(bool forward) {
    const int count = model_->Count();
    if (count == 0) return;
    const QModelIndex current = table_->currentIndex();
    const int direction = forward ? 1 : -1;
    int row = forward ? 0 : count - 1;
    if (current.isValid() && table_->selectionModel()->isRowSelected(current.row(), {})) {
        row = current.row() + direction;
        if (row < 0 || row >= count) {
            // Said once; the next press that way starts at the other end.
            if (wrapPending_ != direction) {
                wrapPending_ = direction;
                SetNote(Utf8(DifferenceStepAtEnd(forward)));
                return;
            }
            row = forward ? 0 : count - 1;
        }
    }
    Select({model_->AllRow(row)}, row);  // reported as the user's choice
    wrapPending_ = 0;
    table_->setFocus(Qt::OtherFocusReason);
}

void DifferenceWindow::OnCurrentChanged() {
    const QModelIndex current = table_->currentIndex();
    if (!quiet_ || current.isValid())
        currentMark_ = current.isValid()
                           ? std::optional(model_->MarkOf(model_->AllRow(current.row())))
                           : std::nullopt;
    if (quiet_ || !current.isValid()) return;
    wrapPending_ = 0;
    note_.clear();
    const DifferenceModel::Row& row = model_->At(model_->AllRow(current.row()));
    emit differenceSelected(row.kind, row.index);
    UpdateStatus();
}

void DifferenceWindow::ToggleChecked() {
    std::vector<std::uint32_t> rows = SelectedRows();
    if (rows.empty()) return;
    const bool check = std::any_of(rows.begin(), rows.end(),
                                   [this](std::uint32_t all) { return !model_->IsChecked(all); });
    const QModelIndex current = table_->currentIndex();
    const int at = current.isValid() ? current.row() : 0;
    const bool leaving = check && model_->CurrentFilter().onlyUnchecked;
    quiet_ = true;
    if (marksFollow_) {
        // Kept for the contents as they now stand, which a save writes.
        marks_.Rekey(session_->Current());
        marksFollow_ = false;
    }
    marks_.Set(model_->SetChecked(rows, check), check);
    if (leaving && model_->Count() > 0) {
        // The rows checked went: on to the one that took their place.
        const int next = std::min(at, model_->Count() - 1);
        Select({model_->AllRow(next)}, next);
    }
    quiet_ = false;
    UpdateStatus();
}

QString DifferenceWindow::ShownRowsText() const {
    std::vector<int> rows(static_cast<std::size_t>(model_->Count()));
    std::iota(rows.begin(), rows.end(), 0);
    return model_->RowsText(rows);
}

void DifferenceWindow::Copy() {
    std::vector<int> rows;
    for (const std::uint32_t all : SelectedRows()) rows.push_back(model_->ShownRow(all));
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(model_->RowsText(rows));
}

void DifferenceWindow::SetNote(const QString& note) {
    note_ = note;
    UpdateStatus();
}

QString DifferenceWindow::StatusText() const {
    return status_->text();
}

void DifferenceWindow::UpdateStatus() {
    const QModelIndex current = table_->currentIndex();
    const bool selected =
        current.isValid() && table_->selectionModel()->isRowSelected(current.row(), {});
    const QString counts = Utf8(DifferenceStatus(
        selected ? static_cast<std::uint64_t>(current.row()) + 1 : 0,
        static_cast<std::uint64_t>(model_->Count()), model_->TotalCount(), model_->CheckedCount()));
    QString text = note_.isEmpty() ? counts : note_ + QStringLiteral(" · ") + counts;
    // Empty for want of a comparison: said what to do.
    if (!session_->ShowsComparison()) text = Utf8(NoComparisonToList());
    if (text == status_->text()) return;
    status_->setText(text);
    status_->setAccessibleName(text);
    // Read out when it changes, as a live line.
    QAccessibleEvent event(status_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
