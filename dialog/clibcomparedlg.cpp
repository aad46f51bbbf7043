#include "dialog/clibcomparedlg.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTime>
#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "compare/compare.h"
#include "dialog/change_line.h"
#include "dialog/comparison_export.h"
#include "dialog/dialog_template.h"
#include "dialog/difference_marks.h"
#include "dialog/difference_window.h"
#include "dialog/field_text.h"
#include "dialog/library_files.h"
#include "dialog/library_settings.h"
#include "dialog/list_actions.h"
#include "dialog/options_dialog.h"
#include "dialog/platform_memory.h"
#include "dialog/resource.h"
#include "dialog/screen_fit.h"
#include "dialog/shown_text.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog/template_controls.h"
#include "dialog/template_layout.h"
#include "library/library_reader.h"
#include "library/text.h"
#include "report/messages.h"
#include "session/comparison_session.h"

namespace {

// The detail fields of one column start at these indices of m_strDetail.
constexpr int kLib1Fields = 0;
constexpr int kLib2Fields = 4;
constexpr int kCommonFields = 8;

}  // namespace

CLibCompareDlg::CLibCompareDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    for (const char* name :
         {":/icons/libcompare-16.png", ":/icons/libcompare-32.png", ":/icons/libcompare-48.png"})
        m_hIcon.addFile(QString::fromLatin1(name));
    setObjectName(QStringLiteral("IDD_LIBCOMPARE_DIALOG"));
    // The session reads and compares; the window says what is read and asks
    // about doubtful files.
    m_session = new ComparisonSession(this);
    m_session->SetAsk(
        [this](const QString& path, const ReadResult& read) { return ProceedWith(path, read); });
    connect(m_session, &ComparisonSession::reading, this, [this](const QString& path) {
        m_lastReadPath = path;
        RememberLibraryFolder(path);
        ShowReading(path);
    });
    CreateControls();
    BindMessages();
    OnInitDialog();
    // Key repeats reach whichever of its widgets has the focus.
    qApp->installEventFilter(this);
}

CLibCompareDlg::~CLibCompareDlg() = default;

void CLibCompareDlg::CreateControls() {
    m_controls = CreateTemplateControls(this, m_layout);
    m_caption = windowTitle();
    const DialogUnits units(font());
    m_status = std::make_unique<StatusLines>(this, units, m_layout, [this] {
        if (!m_review->Filtering()) return QString();
        const auto shown = [](SymbolListBox* list) {
            return ShownCount{static_cast<std::uint64_t>(list->Model().Count()),
                              static_cast<std::uint64_t>(list->Model().TotalCount())};
        };
        return Text(ShownCounts(shown(m_listCommon), m_review->OnlyChanged(), shown(m_listOnly1),
                                shown(m_listOnly2)));
    });
    m_review = new ReviewControls(this, units, m_layout);
    m_review->FollowInTabOrder(Control(IDC_COMMON_LIST));
    SetStatus(Text(FirstSteps()));

    // A widget created later lies above its earlier siblings. Frames and
    // labels go to the bottom, frames lowest, so that they never cover the
    // controls they frame or stand beside; the tab order stays as set above.
    for (auto* edit : findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        CentreTextByLineHeight(edit);
    for (auto* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) label->lower();
    for (auto* frame : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) frame->lower();
    setMinimumSize(MinimumDialogSize());
}

bool CLibCompareDlg::eventFilter(QObject* watched, QEvent* event) {
    // A held Enter repeats: the repeats must not press "Schließen" (or any
    // button) after the press itself did its work, e.g. in a file chooser
    // that is gone by now. Only a fresh press counts in this window.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->isAutoRepeat() &&
            widget && widget->window() == this)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CLibCompareDlg::SetStatus(const QString& text) {
    m_stepper.ForgetEnd();
    m_status->SetStatus(text);
}

void CLibCompareDlg::SetNote(const QString& note) {
    m_status->SetNote(note);
}

void CLibCompareDlg::ClearNote() {
    m_stepper.ForgetEnd();
    m_status->ClearNote();
}

void CLibCompareDlg::ShowChangeLine(std::int64_t slot) {
    LinePieces pieces;
    QString spoken;
    if (slot >= 0 && static_cast<std::size_t>(slot) < m_session->Current().pairs.size()) {
        const MatchedPair& pair = m_session->Current().pairs[static_cast<std::size_t>(slot)];
        pieces = ChangeLinePieces(m_session->Current(), pair);
        if (!pieces.isEmpty())
            spoken = pieces.constFirst().text + Text(ChangeDescription(m_session->Current(), pair));
    }
    m_status->ShowChange(pieces, spoken);
}

QString CLibCompareDlg::StatusText() const {
    return m_status->Text();
}

QWidget* CLibCompareDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

// Which handler runs on which notification, all in one place.
void CLibCompareDlg::BindMessages() {
    auto button = [this](int id) { return static_cast<QPushButton*>(Control(id)); };
    auto list = [this](int id) { return static_cast<SymbolListBox*>(Control(id)); };
    connect(button(IDOK), &QPushButton::clicked, this, &CLibCompareDlg::accept);
    connect(button(IDC_LOAD1_BUTTON), &QPushButton::clicked, this, &CLibCompareDlg::OnLoadLibrary1);
    connect(button(IDC_LOAD2_BUTTON), &QPushButton::clicked, this,
            &CLibCompareDlg::OnLoadLibrary2AndCompare);
    connect(list(IDC_ONLY1_LIST), &SymbolListBox::selectionChangedByUser, this,
            &CLibCompareDlg::OnSelChangeOnly1);
    connect(list(IDC_ONLY2_LIST), &SymbolListBox::selectionChangedByUser, this,
            &CLibCompareDlg::OnSelChangeOnly2);
    connect(list(IDC_COMMON_LIST), &SymbolListBox::selectionChangedByUser, this,
            &CLibCompareDlg::OnSelChangeCommon);
    // Beyond the template: reload, and copy and export from each list.
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &CLibCompareDlg::OnReload);
    // Export: in each list's menu, and Strg+E wherever the focus is.
    m_exportAction = new QAction(QString::fromUtf8(DialogText().exportCommand), this);
    m_exportAction->setObjectName(QStringLiteral("exportAction"));
    m_exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_exportAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_exportAction);
    connect(m_exportAction, &QAction::triggered, this, &CLibCompareDlg::OnExport);
    UpdateExportAction();
    // The table of every difference: Strg+U, its button and each list's menu.
    // In the menus without the button's access key; Strg+U stands beside it.
    m_differencesAction =
        new QAction(QString::fromUtf8(DialogText().differences).remove(u'&'), this);
    m_differencesAction->setObjectName(QStringLiteral("differencesAction"));
    m_differencesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    m_differencesAction->setShortcutContext(Qt::WindowShortcut);
    m_differencesAction->setToolTip(QString::fromUtf8(DialogText().differencesTip));
    addAction(m_differencesAction);
    connect(m_differencesAction, &QAction::triggered, this, &CLibCompareDlg::OnShowDifferences);
    connect(m_review->DifferencesButton(), &QPushButton::clicked, m_differencesAction,
            &QAction::trigger);
    // What the comparison of the fields ignores, kept for the next start.
    m_session->SetOptions(LastComparisonOptions());
    m_optionsAction = new QAction(QString::fromUtf8(DialogText().options), this);
    m_optionsAction->setObjectName(QStringLiteral("optionsAction"));
    m_optionsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    m_optionsAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_optionsAction);
    connect(m_optionsAction, &QAction::triggered, this, &CLibCompareDlg::OnComparisonOptions);
    // Taking over, undo and saving: in the lists' menus, with their keys.
    CreateEditActions();
    for (const auto& [id, kind] :
         {std::pair{IDC_ONLY1_LIST, 1}, {IDC_COMMON_LIST, 0}, {IDC_ONLY2_LIST, 2}}) {
        // Before the menu opens: what its entries can take for this list.
        connect(list(id), &QWidget::customContextMenuRequested, this, [this, kind = kind] {
            m_lastSelectedList = kind;
            UpdateTakeActions(true);
        });
        AddListActions(list(id),
                       QList<QAction*>{m_exportAction, m_differencesAction, m_optionsAction} +
                           EditActions(kind));
    }
    UpdateEditActions();
    // Beyond the template too: find, only the changes, from change to change.
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, m_review,
            &ReviewControls::Find);
    connect(m_review, &ReviewControls::filterChanged, this, &CLibCompareDlg::ApplyFilter);
    connect(m_review, &ReviewControls::enterInSearch, this, &CLibCompareDlg::OnEnterInSearch);
    connect(m_review, &ReviewControls::step, this, &CLibCompareDlg::OnStepToChange);
    setAcceptDrops(true);
}

bool CLibCompareDlg::OnInitDialog() {
    UpdateData(false);
    setWindowIcon(m_hIcon);
    Control(IDOK)->setFocus();  // the first tab stop
    return true;
}

void CLibCompareDlg::accept() {
    UpdateData(true);
    QDialog::accept();
}

bool CLibCompareDlg::UpdateData(bool saveAndValidate) {
    DoDataExchange(saveAndValidate);
    if (!saveAndValidate && m_controlsAttached) RefreshFieldTips();
    return true;
}

void CLibCompareDlg::DoDataExchange(bool save) {
    DDX_LBString(save, IDC_ONLY1_LIST, m_strOnly1Selection);
    DDX_Control(IDC_ONLY1_LIST, m_listOnly1);
    DDX_Control(IDC_ONLY2_LIST, m_listOnly2);
    DDX_Control(IDC_COMMON_LIST, m_listCommon);
    DDX_Control(IDC_PATH1_EDIT, m_editPath1);
    m_controlsAttached = true;
    DDX_Text(save, IDC_PATH1_EDIT, m_strPath1);
    DDX_Text(save, IDC_PATH2_EDIT, m_strPath2);
    for (int i = 0; i < static_cast<int>(m_strDetail.size()); ++i)
        DDX_Text(save, IDC_LIB1_SYMBOL + i, m_strDetail[static_cast<std::size_t>(i)]);
}

void CLibCompareDlg::DDX_LBString(bool save, int id, QByteArray& value) {
    auto* list = static_cast<SymbolListBox*>(Control(id));
    if (save) {
        const int row = list->CurrentSelection();
        const std::string_view text = row >= 0 ? list->Text(row) : std::string_view();
        value = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    } else {
        list->Reselect(std::string_view(value.constData(), value.size()));
    }
}

template <typename Wrapper>
void CLibCompareDlg::DDX_Control(int id, Wrapper*& wrapper) {
    if (!m_controlsAttached) wrapper = static_cast<Wrapper*>(Control(id));
}

void CLibCompareDlg::DDX_Text(bool save, int id, QString& value) {
    auto* edit = static_cast<QLineEdit*>(Control(id));
    if (save) {
        value = edit->text();
        if (const QString note = edit->property("note").toString();
            !note.isEmpty() && value.endsWith(note))
            value.chop(note.size());
    } else {
        const bool upperCase = edit->property("upperCase").toBool();
        edit->setText(upperCase ? value.toUpper() : value);
        // A path longer than its field shows its end, the file's name; a
        // value shows its start.
        edit->setCursorPosition(upperCase ? static_cast<int>(edit->text().size()) : 0);
        // The path as the file system spells it; a note after it (unsaved
        // changes) as it is.
        if (upperCase) {
            edit->setToolTip(value.trimmed().isEmpty() ? QString() : value);
            edit->setText(edit->text() + edit->property("note").toString());
        }
    }
}

void CLibCompareDlg::RefreshFieldTips() {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    for (int id = IDC_LIB1_SYMBOL; id <= IDC_COMMON_CLASS2; ++id) {
        auto* edit = static_cast<QLineEdit*>(Control(id));
        if (!edit) continue;
        // The room for text: inside the frame and the field's own margins.
        const int room = edit->contentsRect().width() - 2 * frame - 4;
        const bool cut = edit->fontMetrics().horizontalAdvance(edit->text()) > room;
        QStringList tip;
        if (cut) tip << edit->text().toHtmlEscaped();
        if (const QString note = edit->property("changeNote").toString(); !note.isEmpty())
            tip << note;
        edit->setToolTip(tip.isEmpty() ? QString()
                                       : QStringLiteral("<qt>%1</qt>").arg(tip.join(u"<br>")));
    }
}

// ---- commands --------------------------------------------------------------

void CLibCompareDlg::OnLoadLibrary1() {
    LoadLibrary1([this] { return ChooseLibraryFile(this); });
}

void CLibCompareDlg::OnLoadLibrary2AndCompare() {
    LoadLibrary2AndCompare([this] { return ChooseLibraryFile(this); });
}

void CLibCompareDlg::OnReload() {
    if (m_session->File1().isEmpty() && m_session->File2().isEmpty()) return;  // nothing yet
    if (!AskToSave({1, 2})) return;
    // What each list had selected, to select it again in what is read now.
    std::array<std::optional<std::string>, 3> selected;
    const std::array<SymbolListBox*, 3> lists{m_listOnly1, m_listOnly2, m_listCommon};
    for (std::size_t i = 0; i < lists.size(); ++i)
        if (const int row = lists[i]->CurrentSelection(); row >= 0)
            selected[i] = std::string(lists[i]->Text(row));
    const bool compared = m_session->ShowsComparison();
    const std::string before = ComparisonCounts(m_session->Current());
    if (!ReloadBoth()) return;
    ShowSelectionsAgain(selected);
    // Said when done, so that F5 never leaves the screen as it was without a word.
    const std::string now = ComparisonCounts(m_session->Current());
    const std::string note =
        ReloadedMessage(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString(),
                        before, !compared || !m_session->ShowsComparison() || now == before);
    SetNote(Text(note));
}

std::array<QLineEdit*, 3> CLibCompareDlg::CommonFields() const {
    return {static_cast<QLineEdit*>(Control(IDC_COMMON_DESIGNATION)),
            static_cast<QLineEdit*>(Control(IDC_COMMON_CLASS1)),
            static_cast<QLineEdit*>(Control(IDC_COMMON_CLASS2))};
}

void CLibCompareDlg::OnSelChangeOnly1() {
    // After a comparison, row source k is the k-th unmatched record; after a
    // load of library 1 alone, record k + 1.
    ClearNote();
    ShowChangeLine(-1);
    FindAndShowDetails(m_listOnly1, lib1Table, kLib1Fields,
                       [this](std::int64_t source) { return m_session->Only1Record(source); });
    ShowInDifferences(1, m_listOnly1->Model().Source(m_listOnly1->CurrentSelection()));
}

void CLibCompareDlg::OnSelChangeOnly2() {
    ClearNote();
    ShowChangeLine(-1);
    FindAndShowDetails(m_listOnly2, lib2Table, kLib2Fields,
                       [this](std::int64_t source) { return m_session->Only2Record(source); });
    ShowInDifferences(2, m_listOnly2->Model().Source(m_listOnly2->CurrentSelection()));
}

void CLibCompareDlg::OnSelChangeCommon() {
    if (!m_stepping) ClearNote();
    m_stepper.SetAnchor(-1);
    const std::int64_t slot = FindAndShowDetails(m_listCommon, commonTable, kCommonFields,
                                                 [](std::int64_t source) { return source; });
    if (slot >= 0) MarkChangedFields(m_session->Current(), slot, CommonFields());
    ShowChangeLine(slot);
    RefreshFieldTips();
    ShowInDifferences(0, m_listCommon->Model().Source(m_listCommon->CurrentSelection()));
}

std::int64_t CLibCompareDlg::FindAndShowDetails(
    SymbolListBox* list, const SymbolTable& table, int firstField,
    const std::function<std::int64_t(std::int64_t source)>& slotOf) {
    // A notification without a selected entry shows nothing and changes nothing.
    if (list->CurrentSelection() < 0) return -1;
    UpdateData(true);
    const int row = list->CurrentSelection();

    // The last slot with this name is the one shown. Rows of one name stand
    // together, in the order of their slots: it is the last row of the run,
    // found without a search through the table.
    const std::int64_t last = slotOf(list->Model().Source(list->Model().LastRowLike(row)));
    const SymbolEntry match = table[last];
    if (match.symbol != list->Text(row)) return -1;  // the list shows another table

    auto* fields = &m_strDetail[static_cast<std::size_t>(firstField)];
    fields[0] = FromWindows1252(match.symbol);
    fields[1] = FromWindows1252(match.designation);
    fields[2] = FromWindows1252(match.classification1);
    fields[3] = FromWindows1252(match.classification2);
    UpdateData(false);
    return last;
}

std::string CLibCompareDlg::Shown(const QString& path) {
    return ValidUtf8(path.toStdString(), true);
}
