// The dialog's commands for going through the comparison it shows: the
// search and filter, the steps from change to change, the export, the
// comparison options, and the window "Unterschiede" kept in step with the
// lists.

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTableView>
#include <algorithm>

#include "dialog/clibcomparedlg.h"
#include "dialog/comparison_export.h"
#include "dialog/difference_marks.h"
#include "dialog/difference_window.h"
#include "dialog/library_settings.h"
#include "dialog/options_dialog.h"
#include "dialog/review_controls.h"
#include "dialog/shown_text.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "library/text.h"
#include "report/messages.h"
#include "session/comparison_session.h"

void CLibCompareDlg::UpdateExportAction() {
    // Only a comparison that is shown is exported: after a new library 1
    // the lists show no comparison, and a refused one has none.
    const bool shown = m_session->ShowsComparison() && !m_session->Current().refused;
    m_exportAction->setEnabled(shown);
    m_exportAction->setToolTip(shown ? QString::fromUtf8(DialogText().exportTip)
                                     : Text(NothingToExport(m_session->Current().refused)));
}

void CLibCompareDlg::OnExport() {
    if (!m_exportAction->isEnabled()) return;
    // The dialog's keys reach its child window too: there, Strg+E is its rows.
    if (m_differences && m_differences->isActiveWindow()) return OnExportDifferences();
    Export(this, m_session->Current(), {m_review->SearchBytes(), m_review->OnlyChanged()},
           static_cast<std::uint64_t>(m_listCommon->Model().SignedRowCount()));
}

void CLibCompareDlg::OnExportDifferences() {
    if (!m_exportAction->isEnabled() || !m_differences) return;
    const DifferenceModel& model = m_differences->Model();
    const Comparison shown = model.ShownAsComparison();
    // The report says which rows it holds, with the whole comparison's totals.
    ReportFilter rows;
    const DifferenceModel::Filter& filter = model.CurrentFilter();
    rows.rows = ChosenRowsInWords(filter.kind, filter.field, Windows1252ToUtf8(filter.search),
                                  filter.onlyUnchecked);
    Export(m_differences, shown, rows, shown.changed.size(), &m_session->Current());
}

void CLibCompareDlg::Export(QWidget* parent, const Comparison& comparison,
                            const ReportFilter& filter, std::uint64_t changes,
                            const Comparison* chosenFrom) {
    const QString file1 = m_session->File1(), file2 = m_session->File2();
    ReportSources sources{file1.toStdString(), file2.toStdString()};
    sources.filter = filter;
    sources.chosenFrom = chosenFrom;
    const QString name = Text(ExportName(QFileInfo(file1).completeBaseName().toStdString(),
                                         QFileInfo(file2).completeBaseName().toStdString()));
    QString folder = LastExportFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QFileInfo(file2).absolutePath();
    const ExportOutcome written = ExportComparison(parent, comparison, sources, folder, name);
    if (written.target.isEmpty()) return;
    RememberExportFolder(written.target);
    SetNote(Text(ExportedMessage(QFileInfo(written.target).fileName().toStdString(), changes,
                                 written.lines)));
}

void CLibCompareDlg::OnComparisonOptions() {
    ComparisonOptions options = m_session->Options();
    if (!AskComparisonOptions(this, options) || options == m_session->Options()) return;
    RememberComparisonOptions(options);
    m_session->SetOptions(options);
    // A comparison shown is made anew with them.
    if (m_session->ShowsComparison()) ShowEdited();
}

void CLibCompareDlg::OnShowDifferences() {
    if (!m_differences) {
        m_differences = new DifferenceWindow(m_session, this);
        connect(m_differences, &DifferenceWindow::differenceSelected, this,
                [this](DifferenceKind kind, std::int64_t index) {
                    SelectFromDifferences(static_cast<int>(kind), index);
                });
        connect(m_differences, &DifferenceWindow::exportRequested, this,
                &CLibCompareDlg::OnExportDifferences);
        // Its rows are taken over by the same commands, from its own menu.
        QTableView* table = m_differences->Table();
        // Its menu, made once and kept as the lists' are, offers what the
        // rows selected allow.
        table->addActions({m_takeInto2, m_takeInto1, m_removeFrom2, m_removeFrom1, m_undo, m_redo});
        auto* menu = new QMenu(table);
        menu->setObjectName(QStringLiteral("contextMenu"));
        menu->addActions(table->actions());
        menu->setToolTipsVisible(true);
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(table, &QWidget::customContextMenuRequested, this, [this, table, menu](QPoint at) {
            UpdateTakeActions(true);
            menu->exec(table->viewport()->mapToGlobal(at));
            UpdateTakeActions(false);  // the keys go on weighing when pressed
        });
        // Strg+S saves there as here, without an entry in the table's menu.
        m_differences->addAction(m_saveEdited);
    }
    m_differences->show();
    m_differences->raise();
    m_differences->activateWindow();
    // It starts at the symbol last selected in the dialog.
    const std::array<SymbolListBox*, 3> lists{m_listCommon, m_listOnly1, m_listOnly2};
    if (SymbolListBox* list = lists[static_cast<std::size_t>(m_lastSelectedList)];
        list->CurrentSelection() >= 0)
        ShowInDifferences(m_lastSelectedList, list->Model().Source(list->CurrentSelection()));
}

void CLibCompareDlg::ShowInDifferences(int kind, std::int64_t source) {
    if (source >= 0) m_lastSelectedList = kind;
    if (!m_differences || m_selectingFromDifferences || source < 0 || !m_session->ShowsComparison())
        return;
    const Comparison& compared = m_session->Current();
    std::int64_t index = source;  // common rows: the pair
    if (kind != 0) {
        const std::vector<std::int32_t>& only = kind == 1 ? compared.only1 : compared.only2;
        if (static_cast<std::size_t>(source) >= only.size()) return;
        index = only[static_cast<std::size_t>(source)];
    }
    m_differences->SelectSymbol(static_cast<DifferenceKind>(kind), index);
}

void CLibCompareDlg::SelectFromDifferences(int kind, std::int64_t index) {
    const Comparison& compared = m_session->Current();
    std::int64_t source = index;
    if (kind != 0) {
        // Each only-list's sources are its library's unmatched records, in order.
        const std::vector<std::int32_t>& only = kind == 1 ? compared.only1 : compared.only2;
        const auto found = std::lower_bound(only.begin(), only.end(), index);
        if (found == only.end() || *found != index) return;
        source = found - only.begin();
    }
    SymbolListBox* list = kind == 0 ? m_listCommon : kind == 1 ? m_listOnly1 : m_listOnly2;
    const int row = list->Model().RowOfSource(source);
    if (row < 0) return;  // the dialog's filter hides it
    m_selectingFromDifferences = true;
    list->SelectQuietly(row);
    if (kind == 0)
        OnSelChangeCommon();
    else if (kind == 1)
        OnSelChangeOnly1();
    else
        OnSelChangeOnly2();
    m_selectingFromDifferences = false;
}

void CLibCompareDlg::OnEnterInSearch() {
    for (SymbolListBox* list : {m_listCommon, m_listOnly1, m_listOnly2}) {
        if (list->Model().Count() == 0) continue;
        list->setFocus(Qt::OtherFocusReason);
        list->SelectRowAsUser(0);
        break;
    }
}

void CLibCompareDlg::ApplyFilter() {
    const std::string bytes = m_review->SearchBytes();
    // Each list keeps its selected entry while the filter still shows it;
    // one that the filter hides takes its column's fields with it.
    const std::array<SymbolListBox*, 3> lists{m_listOnly1, m_listOnly2, m_listCommon};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        SymbolListBox* list = lists[i];
        const int selected = list->Model().AllRow(list->CurrentSelection());
        list->Model().SetFilter(bytes, list == m_listCommon && m_review->OnlyChanged());
        if (list == m_listCommon && selected >= 0) m_stepper.SetAnchor(selected);
        if (selected < 0) continue;
        if (const int row = list->Model().ShownRow(selected); row >= 0) {
            list->SelectQuietly(row);
            continue;
        }
        ClearColumn(static_cast<int>(i));
    }
    ClearNote();
    m_status->Refresh();
}

void CLibCompareDlg::ClearColumn(int column) {
    for (int field = 0; field < 4; ++field)
        m_strDetail[static_cast<std::size_t>(4 * column + field)].clear();
    UpdateData(false);
    if (column == 2) {
        MarkChangedFields(m_session->Current(), -1, CommonFields());
        ShowChangeLine(-1);
    }
    RefreshFieldTips();
}

void CLibCompareDlg::OnStepToChange(int direction) {
    // With the table of differences open, its rows are the steps.
    if (m_differences && m_differences->isVisible()) {
        m_differences->Step(direction > 0);
        return;
    }
    const ChangeStepper::Step step =
        m_stepper.Go(m_listCommon->Model(), m_listCommon->CurrentSelection(), direction);
    if (step.row >= 0) {
        m_stepping = true;
        m_listCommon->SelectRowAsUser(step.row);  // shown as a click shows it
        // The focus goes to the row, where a screen reader reads what changed.
        m_listCommon->setFocus(Qt::OtherFocusReason);
        m_stepping = false;
    }
    SetNote(Text(step.note));
}
