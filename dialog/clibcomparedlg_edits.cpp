// The dialog's commands that take differences over from one library into
// the other, undo and redo them, and save the libraries; and the question
// before unsaved changes would be lost. The session holds the edits; the
// dialog words and shows them.

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <filesystem>

#include "dialog/clibcomparedlg.h"
#include "dialog/difference_window.h"
#include "dialog/library_files.h"
#include "dialog/resource.h"
#include "dialog/shown_text.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "report/messages.h"
#include "session/comparison_session.h"

namespace {

QString Words(const char* text) {
    return QString::fromUtf8(text);
}

QAction* Separator(QObject* parent) {
    auto* separator = new QAction(parent);
    separator->setSeparator(true);
    return separator;
}

}  // namespace

void CLibCompareDlg::CreateEditActions() {
    const DialogWords& words = DialogText();
    const auto action = [this](const char* name, const QString& text, QKeySequence key,
                               auto handler) {
        auto* made = new QAction(text, this);
        made->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) {
            made->setShortcut(key);
            made->setShortcutContext(Qt::WindowShortcut);
        }
        addAction(made);
        connect(made, &QAction::triggered, this, handler);
        return made;
    };
    m_takeInto2 = action("takeInto2", Words(words.takeInto2), QKeySequence(Qt::ALT | Qt::Key_Right),
                         [this] { OnTake(TakeDirection::kIntoLibrary2, false); });
    m_takeInto1 = action("takeInto1", Words(words.takeInto1), QKeySequence(Qt::ALT | Qt::Key_Left),
                         [this] { OnTake(TakeDirection::kIntoLibrary1, false); });
    m_removeFrom2 = action("removeFrom2", Words(words.removeFrom2), {},
                           [this] { OnTake(TakeDirection::kIntoLibrary2, true); });
    m_removeFrom1 = action("removeFrom1", Words(words.removeFrom1), {},
                           [this] { OnTake(TakeDirection::kIntoLibrary1, true); });
    m_undo = action("undo", {}, QKeySequence::Undo, [this] {
        if (m_session->Undo()) ShowEdited();
    });
    m_redo = action("redo", {}, QKeySequence(Qt::CTRL | Qt::Key_Y), [this] {
        if (m_session->Redo()) ShowEdited();
    });
    m_saveEdited = action("save", {}, QKeySequence::Save, [this] {
        // The library edited last; both when both hold changes.
        for (int library : {1, 2})
            if (m_session->Modified(library) &&
                (library == m_session->LastEdited() || m_session->Modified(3 - library)))
                OnSave(library, false);
    });
    m_save[0] = action("save1", Words(words.save1), {}, [this] { OnSave(1, false); });
    m_save[1] = action("save2", Words(words.save2), {}, [this] { OnSave(2, false); });
    m_saveAs[0] = action("saveAs1", Words(words.saveAs1), {}, [this] { OnSave(1, true); });
    m_saveAs[1] = action("saveAs2", Words(words.saveAs2), {}, [this] { OnSave(2, true); });
    connect(m_session, &ComparisonSession::editsChanged, this, &CLibCompareDlg::UpdateEditActions);
    connect(m_session, &ComparisonSession::comparisonChanged, this,
            &CLibCompareDlg::UpdateEditActions);
}

QList<QAction*> CLibCompareDlg::EditActions(int list) {
    // Each list offers what makes sense for its symbols: library 1's list
    // takes into library 2 or out of library 1, and so on.
    QList<QAction*> actions{Separator(this)};
    if (list != 2) actions << m_takeInto2;
    if (list != 1) actions << m_takeInto1;
    if (list == 1) actions << m_removeFrom1;
    if (list == 2) actions << m_removeFrom2;
    actions << Separator(this) << m_undo << m_redo << Separator(this);
    if (list != 2) actions << m_save[0] << m_saveAs[0];
    if (list != 1) actions << m_save[1] << m_saveAs[1];
    return actions;
}

CLibCompareDlg::Chosen CLibCompareDlg::ChosenDifferences(TakeDirection direction,
                                                         bool removing) const {
    Chosen chosen;
    const Comparison& compared = m_session->Current();
    const bool into2 = direction == TakeDirection::kIntoLibrary2;
    // Records only in the source are added, those only in the target removed.
    const auto onlyRecord = [&](int kind, std::int32_t record) {
        const bool inSource = (kind == 1) == into2;
        if (inSource == removing) return;
        (kind == 1 ? chosen.selection.only1 : chosen.selection.only2).push_back(record);
        chosen.symbol = (kind == 1 ? compared.lib1 : compared.lib2).table.Symbol(record);
        chosen.step = removing ? TakeStep::kRemove : TakeStep::kAdd;
        ++chosen.count;
    };
    const auto pair = [&](std::int32_t index, std::uint8_t field) {
        if (removing) return;
        chosen.selection.pairs.push_back(index);
        if (field != 0) chosen.fields.emplace_back(index, field);
        chosen.symbol =
            compared.lib2.table.Symbol(compared.pairs[static_cast<std::size_t>(index)].record2);
        chosen.field = field;
        chosen.step = field != 0 ? TakeStep::kField : TakeStep::kSymbol;
        ++chosen.count;
    };
    if (m_differences && m_differences->isActiveWindow()) {
        // The rows selected in the table of differences.
        const DifferenceModel& model = m_differences->Model();
        for (const QModelIndex& index : m_differences->Table()->selectionModel()->selectedRows()) {
            const DifferenceModel::Row& row = model.At(model.AllRow(index.row()));
            if (row.kind == DifferenceKind::kChanged)
                pair(row.index, row.field);
            else
                onlyRecord(row.kind == DifferenceKind::kOnly1 ? 1 : 2, row.index);
        }
    } else {
        const std::array<SymbolListBox*, 3> lists{m_listCommon, m_listOnly1, m_listOnly2};
        SymbolListBox* list = lists[static_cast<std::size_t>(m_lastSelectedList)];
        const std::int64_t source = list->Model().Source(list->CurrentSelection());
        if (source >= 0 && m_session->ShowsComparison()) {
            if (m_lastSelectedList == 0)
                pair(static_cast<std::int32_t>(source), 0);
            else
                onlyRecord(m_lastSelectedList,
                           static_cast<std::int32_t>(m_lastSelectedList == 1
                                                         ? m_session->Only1Record(source)
                                                         : m_session->Only2Record(source)));
        }
    }
    if (chosen.count > 1) chosen.step = TakeStep::kSeveral;
    return chosen;
}

void CLibCompareDlg::UpdateTakeActions(bool weighed) {
    if (!m_takeInto2) return;
    const bool shown = m_session->ShowsComparison() && !m_session->Current().refused;
    const struct {
        QAction* action;
        TakeDirection direction;
        bool removing;
    } takes[] = {{m_takeInto2, TakeDirection::kIntoLibrary2, false},
                 {m_takeInto1, TakeDirection::kIntoLibrary1, false},
                 {m_removeFrom2, TakeDirection::kIntoLibrary2, true},
                 {m_removeFrom1, TakeDirection::kIntoLibrary1, true}};
    for (const auto& take : takes) {
        take.action->setToolTip(take.action->text());
        if (!weighed) {
            // Offered while a comparison is shown; what the selection
            // allows is weighed when a menu opens (it counts the names
            // through both libraries) and when the command runs.
            take.action->setEnabled(shown);
            continue;
        }
        const Chosen chosen = ChosenDifferences(take.direction, take.removing);
        const TakeOverPlan plan = m_session->Plan(take.direction, chosen.selection);
        take.action->setEnabled(!plan.changes.Empty());
        // A name held more than once is a person's decision: said why.
        if (!plan.skipped.empty())
            take.action->setToolTip(
                Text(NotTakenTip(plan.skipped.front().name, plan.skipped.front().times1,
                                 plan.skipped.front().times2)));
    }
}

void CLibCompareDlg::UpdateEditActions() {
    UpdateTakeActions(false);
    if (!m_undo) return;
    m_undo->setText(Text(UndoCommand(m_session->UndoName())));
    m_undo->setEnabled(!m_session->UndoName().empty());
    m_redo->setText(Text(RedoCommand(m_session->RedoName())));
    m_redo->setEnabled(!m_session->RedoName().empty());
    const bool modified[] = {m_session->Modified(1), m_session->Modified(2)};
    for (int i = 0; i < 2; ++i) {
        m_save[i]->setEnabled(modified[i]);
        m_saveAs[i]->setEnabled(!(i == 0 ? m_session->File1() : m_session->File2()).isEmpty());
        // The path field says that its library holds unsaved changes.
        Control(i == 0 ? IDC_PATH1_EDIT : IDC_PATH2_EDIT)
            ->setProperty("note", modified[i] ? QStringLiteral(" ") + Words(DialogText().modified)
                                              : QString());
    }
    m_saveEdited->setEnabled(modified[0] || modified[1]);
    setWindowTitle(m_caption + (modified[0] || modified[1] ? QStringLiteral(" *") : QString()));
    UpdateData(false);
}

void CLibCompareDlg::OnTake(TakeDirection direction, bool removing) {
    const Chosen chosen = ChosenDifferences(direction, removing);
    if (chosen.count == 0) {
        SetNote(Text(NothingToTake()));
        return;
    }
    const int target = direction == TakeDirection::kIntoLibrary2 ? 2 : 1;
    const std::string name = TakeStepName(chosen.step, chosen.symbol, chosen.field, target,
                                          static_cast<std::uint64_t>(chosen.count));
    const ComparisonSession::Edit edit =
        m_session->Take(direction, chosen.selection, chosen.fields, name);
    const QString file = target == 1 ? m_session->File1() : m_session->File2();
    if (edit.refusal.problem != ChangeProblem::kNone) {
        QMessageBox::warning(this, windowTitle(),
                             Text(TakeRefusedMessage(Shown(file), edit.refusal)));
        return;
    }
    if (edit.applied) ShowEdited();
    QStringList notes;
    if (edit.applied) notes << Text(name);
    for (const NameHeldMoreThanOnce& skipped : edit.skipped)
        notes << Text(HeldMoreThanOnceMessage(skipped.name, skipped.times1, skipped.times2));
    if (edit.classificationsNotTaken) notes << Text(ClassificationsNotTakenMessage(Name(file)));
    if (!notes.isEmpty()) SetNote(notes.join(QStringLiteral(" · ")));
}

void CLibCompareDlg::ShowEdited() {
    // The lists follow the edited tables; each keeps its selection where
    // its name is still there.
    std::array<std::optional<std::string>, 3> selected;
    const std::array<SymbolListBox*, 3> lists{m_listOnly1, m_listOnly2, m_listCommon};
    for (std::size_t i = 0; i < lists.size(); ++i)
        if (const int row = lists[i]->CurrentSelection(); row >= 0)
            selected[i] = std::string(lists[i]->Text(row));
    if (const std::vector<std::int32_t>* pairs = m_session->FollowedPairs()) {
        // Fields changed in place: the same rows, their signs and the
        // counts follow; the fields shown are read again.
        const Comparison& compared = m_session->Current();
        for (const std::int32_t k : *pairs)
            m_listCommon->Model().SetSigned(
                static_cast<std::uint32_t>(k),
                compared.pairs[static_cast<std::size_t>(k)].differences != 0);
        SetStatus(
            Text(ComparisonStatus(Name(m_session->File1()), Name(m_session->File2()), compared)));
        // The rows stay: the selected symbols' fields are read again, and
        // the window keeps the row it stands on.
        const std::array<void (CLibCompareDlg::*)(), 3> handlers{
            &CLibCompareDlg::OnSelChangeOnly1, &CLibCompareDlg::OnSelChangeOnly2,
            &CLibCompareDlg::OnSelChangeCommon};
        m_selectingFromDifferences = true;
        for (std::size_t i = 0; i < lists.size(); ++i)
            if (selected[i]) (this->*handlers[i])();
        m_selectingFromDifferences = false;
    } else {
        CompareAndShow(std::nullopt, {});
        ShowSelectionsAgain(selected);
    }
    UpdateEditActions();
}

bool CLibCompareDlg::OnSave(int library, bool choosePath) {
    const QString file = library == 1 ? m_session->File1() : m_session->File2();
    QString target = file;
    if (choosePath) {
        target = ChooseSaveFile(this, file);
        if (target.isEmpty()) return false;
    }
    const bool replaces = QFileInfo::exists(target);
    const SaveOutcome saved = m_session->Save(library, target);
    if (!saved) {
        QMessageBox::warning(this, windowTitle(), Text(SaveFailedMessage(Shown(target), saved)));
        return false;
    }
    (library == 1 ? m_strPath1 : m_strPath2) = m_session->File(library);
    UpdateEditActions();
    SetNote(Text(SavedMessage(Name(target), replaces ? Name(target) + ".BAK" : std::string())));
    return true;
}

bool CLibCompareDlg::AskToSave(std::initializer_list<int> libraries) {
    // A library whose changes were discarded before the user stopped at the
    // next question is shown as it now stands.
    bool discarded = false;
    const auto stop = [this, &discarded] {
        if (discarded) ShowEdited();
        return false;
    };
    for (int library : libraries) {
        if (!m_session->Modified(library)) continue;
        const DialogWords& words = DialogText();
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        Text(SaveQuestion(Name(m_session->File(library)))),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.button(QMessageBox::Save)->setText(Words(words.saveButton));
        box.button(QMessageBox::Discard)->setText(Words(words.discardButton));
        box.button(QMessageBox::Cancel)->setText(Words(words.cancelButton));
        box.setDefaultButton(QMessageBox::Save);
        box.exec();
        const auto answer = box.standardButton(box.clickedButton());
        if (answer == QMessageBox::Save) {
            if (!OnSave(library, false)) return stop();
        } else if (answer == QMessageBox::Discard) {
            m_session->Discard(library);
            discarded = true;
        } else {
            return stop();
        }
    }
    return true;
}
