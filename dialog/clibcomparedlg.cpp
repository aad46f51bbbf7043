#include "dialog/clibcomparedlg.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTime>
#include <QWindow>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "compare/compare.h"
#include "dialog/change_line.h"
#include "dialog/comparison_export.h"
#include "dialog/dialog_template.h"
#include "dialog/difference_marks.h"
#include "dialog/field_text.h"
#include "dialog/library_files.h"
#include "dialog/library_settings.h"
#include "dialog/list_actions.h"
#include "dialog/platform_memory.h"
#include "dialog/resource.h"
#include "dialog/screen_fit.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog/template_controls.h"
#include "dialog/template_layout.h"
#include "library/library_reader.h"
#include "library/text.h"
#include "report/messages.h"
#include "session/comparison_session.h"

namespace {

// A sentence of report/messages.cpp as shown.
QString Text(const std::string& sentence) {
    return QString::fromStdString(sentence);
}

// A file's name as the status line shows it.
std::string Name(const QString& path) {
    return ShownFileName(path).toStdString();
}

// The detail fields of one column start at these indices of m_strDetail.
constexpr int kLib1Fields = 0;
constexpr int kLib2Fields = 4;
constexpr int kCommonFields = 8;

// A list that makes room for the names to come each time it is emptied, as
// many as `names()` says then.
class ReservingList : public SymbolList {
public:
    ReservingList(SymbolListModel& list, std::function<std::size_t()> names)
        : list_(list), names_(std::move(names)) {}
    void Empty() override {
        list_.Empty();
        list_.Reserve(names_());
    }
    void Add(std::string_view name) override { list_.Add(name); }

private:
    SymbolListModel& list_;
    std::function<std::size_t()> names_;
};

// The wait cursor while a file is read or libraries are compared.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { Restore(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void Restore() {
        if (active_) QApplication::restoreOverrideCursor();
        active_ = false;
    }

private:
    bool active_ = true;
};

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

void CLibCompareDlg::LayOut() {
    m_layout.Apply(size());
    // The lines under the lists and the fields' tooltips fit the new width.
    m_status->Fit();
    RefreshFieldTips();
}

QSize CLibCompareDlg::MinimumDialogSize() const {
    return m_layout.Minimum(font(), QFontMetrics(font()).height() + 2,
                            static_cast<QFrame*>(Control(IDC_COMMON_LIST))->frameWidth());
}

void CLibCompareDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void CLibCompareDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_placedOnScreen) return;
    m_placedOnScreen = true;
    if (const QByteArray geometry = LastWindowGeometry(); !geometry.isEmpty())
        restoreGeometry(geometry);
    FitIntoScreen();
}

void CLibCompareDlg::FitIntoScreen() {
    const QScreen* shown = screen();
    if (!shown) return;
    // The window system's frame, or a title bar's height while it has none.
    QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty()) frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const ScreenFit fit = FitWindow(shown->availableGeometry(), frameGeometry(), size(), frame,
                                    minimumSize(), shown->devicePixelRatio());
    if (fit.fits) return;
    resize(fit.size);
    move(fit.position);
}

void CLibCompareDlg::done(int result) {
    RememberWindowGeometry(saveGeometry());
    QDialog::done(result);
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

void CLibCompareDlg::OnEnterInSearch() {
    for (SymbolListBox* list : {m_listCommon, m_listOnly1, m_listOnly2}) {
        if (list->Model().Count() == 0) continue;
        list->setFocus(Qt::OtherFocusReason);
        list->SelectRowAsUser(0);
        break;
    }
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
    for (int id : {IDC_ONLY1_LIST, IDC_COMMON_LIST, IDC_ONLY2_LIST})
        AddListActions(list(id), m_exportAction);
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
    } else {
        const bool upperCase = edit->property("upperCase").toBool();
        edit->setText(upperCase ? value.toUpper() : value);
        // A path longer than its field shows its end, the file's name; a
        // value shows its start.
        edit->setCursorPosition(upperCase ? static_cast<int>(edit->text().size()) : 0);
        // The path as the file system spells it.
        if (upperCase) edit->setToolTip(value.trimmed().isEmpty() ? QString() : value);
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

void CLibCompareDlg::ShowNoComparison() {
    for (SymbolListBox* list : {m_listCommon, m_listOnly1, m_listOnly2}) list->Model().Empty();
    m_session->Forget();
    m_stepper.SetAnchor(-1);
    UpdateExportAction();
    ShowChangeLine(-1);
    ReturnFreedMemoryToTheSystem();
}

void CLibCompareDlg::ReportOutOfMemory(const std::string& message) {
    SetStatus(Text(message));
    QMessageBox::warning(this, windowTitle(), Text(message));
}

void CLibCompareDlg::ReportReadFailure(const QString& path, const ReadResult& result) {
    if (result.status == ReadStatus::kCancelled) return;  // the user said so
    QMessageBox::warning(this, windowTitle(), Text(ReadFailureMessage(Shown(path), result)));
}

bool CLibCompareDlg::ProceedWith(const QString& path, const ReadResult& read) {
    if (!read.Doubtful()) return true;
    QApplication::setOverrideCursor(Qt::ArrowCursor);  // over the wait cursor while asking
    const auto answer = QMessageBox::question(this, windowTitle(),
                                              Text(DoubtfulLibraryMessage(Shown(path), read)) +
                                                  QStringLiteral("\n\n") + Text(ReadAnyway()),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    QApplication::restoreOverrideCursor();
    return answer == QMessageBox::Yes;
}

void CLibCompareDlg::ShowReading(const QString& path) {
    SetStatus(Text(ReadingMessage(Shown(ShownFileName(path)))));
    if (!isVisible()) return;
    // The window is on the screen, and says what it does, before the work
    // blocks it (a start with two large files would show nothing for seconds).
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    repaint();
}

void CLibCompareDlg::OnLoadLibrary1() {
    LoadLibrary1([this] { return ChooseLibraryFile(this); });
}

bool CLibCompareDlg::OpenLibrary1(const QString& path) {
    return LoadLibrary1([&path] { return path; });
}

void CLibCompareDlg::OpenBothLibraries(const QString& path1, const QString& path2) {
    if (!OpenLibrary1(path1)) {
        SetStatus(Text(NothingCompared(Name(path1), Name(path2))));
        return;
    }
    OpenLibrary2AndCompare(path2);
}

bool CLibCompareDlg::LoadLibrary1(const std::function<QString()>& choose) {
    m_listOnly1->Model().Empty();
    m_listOnly2->Model().Empty();
    m_listCommon->Model().Empty();
    // The lists show no comparison any more.
    m_session->Forget();
    m_stepper.SetAnchor(-1);
    UpdateExportAction();
    ShowChangeLine(-1);

    const QString path = choose();
    if (path.isEmpty()) {
        SetStatus(Text(ListsEmptied()));
        return false;
    }

    const QString oldPath1 = m_strPath1, oldPath2 = m_strPath2;
    m_strPath1 = path;
    m_strPath2 = QStringLiteral(" ");
    UpdateData(false);

    BusyCursor busy;
    ComparisonSession::Load load = m_session->LoadLibrary1(path, m_listOnly1->Model());
    if (!load.outOfMemory) {
        try {
            m_listOnly1->Model().Flush();
        } catch (const std::bad_alloc&) {
            lib1Count = 0;
            load.outOfMemory = true;
        }
    }
    ReturnFreedMemoryToTheSystem();
    if (load.Succeeded()) {
        SetStatus(Text(
            Library1Read(Name(path), static_cast<std::uint64_t>(lib1Count),
                         m_session->File2().isEmpty() ? std::string() : Name(m_session->File2()))));
        return true;
    }
    // As if the chooser had been cancelled: the paths show what they showed.
    m_listOnly1->Model().Empty();
    m_strPath1 = oldPath1;
    m_strPath2 = oldPath2;
    UpdateData(false);
    busy.Restore();
    if (load.outOfMemory) {
        ReportOutOfMemory(OutOfMemoryMessage(Shown(path)));
        return false;
    }
    SetStatus(Text(NothingChanged(Name(path))));
    ReportReadFailure(path, load.read);
    return false;
}

void CLibCompareDlg::OnLoadLibrary2AndCompare() {
    LoadLibrary2AndCompare([this] { return ChooseLibraryFile(this); });
}

void CLibCompareDlg::OpenLibrary2AndCompare(const QString& path) {
    LoadLibrary2AndCompare([&path] { return path; });
}

void CLibCompareDlg::LoadLibrary2AndCompare(const std::function<QString()>& choose) {
    const QString path = choose();
    std::optional<ReadResult> failure;  // of library 2, when it could not be read
    if (!path.isEmpty()) {
        const QString oldPath2 = m_strPath2;
        m_strPath2 = path;
        UpdateData(false);
        m_listOnly2->Model().Empty();
        BusyCursor busy;
        const ComparisonSession::Load load = m_session->LoadLibrary2(path);
        if (load.outOfMemory) {
            m_strPath2 = oldPath2;
            UpdateData(false);
            busy.Restore();
            ShowNoComparison();
            ReportOutOfMemory(OutOfMemoryMessage(Shown(path)));
            return;
        }
        if (!load.read) {
            m_strPath2 = oldPath2;
            UpdateData(false);
            failure = load.read;
        }
    }
    CompareAndShow(failure, path);
}

void CLibCompareDlg::CompareAndShow(const std::optional<ReadResult>& failure,
                                    const QString& failedPath) {
    ShowChangeLine(-1);
    m_stepper.SetAnchor(-1);
    const Comparison& compared = m_session->Current();
    ComparisonSession::Outcome outcome;
    try {
        BusyCursor busy;
        // Room made in the common list once it is emptied, for as many rows
        // as the comparison found: one block for up to twenty million rows.
        ReservingList common(m_listCommon->Model(), [&compared] { return compared.pairs.size(); });
        outcome = m_session->Compare(common, m_listOnly1->Model(), m_listOnly2->Model());
        if (outcome != ComparisonSession::Outcome::kOutOfMemory) {
            for (SymbolListBox* list : {m_listCommon, m_listOnly1, m_listOnly2})
                list->Model().Flush();
            MarkDifferences(compared, m_listCommon->Model(), m_listOnly1->Model(),
                            m_listOnly2->Model());
        }
        ReturnFreedMemoryToTheSystem();
    } catch (const std::bad_alloc&) {
        outcome = ComparisonSession::Outcome::kOutOfMemory;
    }
    if (outcome == ComparisonSession::Outcome::kOutOfMemory) {
        // Nothing half shown: empty lists, no comparison, and a word.
        ShowNoComparison();
        ReportOutOfMemory(OutOfMemoryMessage(Shown(m_session->File1()), Shown(m_session->File2())));
        return;
    }
    UpdateExportAction();
    QString status =
        Text(ComparisonStatus(Name(m_session->File1()), Name(m_session->File2()), compared));
    if (failure) status = Text(NotRead(Name(failedPath))) + u' ' + status;
    SetStatus(status);
    if (failure) ReportReadFailure(failedPath, *failure);
    if (outcome == ComparisonSession::Outcome::kRefused)
        QMessageBox::warning(
            this, windowTitle(),
            Text(TooManyPairsMessage(Shown(m_session->File1()), Shown(m_session->File2()),
                                     compared.pairCount)));
}

void CLibCompareDlg::OnReload() {
    if (m_session->File1().isEmpty() && m_session->File2().isEmpty()) return;  // nothing yet
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

bool CLibCompareDlg::ReloadBoth() {
    const QString file1 = m_session->File1(), file2 = m_session->File2();
    if (file2.isEmpty()) return OpenLibrary1(file1);
    if (file1.isEmpty()) {
        OpenLibrary2AndCompare(file2);
        return true;
    }
    // Both anew; if either cannot be read, nothing changes.
    ComparisonSession::Load load;
    {
        BusyCursor busy;
        load = m_session->ReadBothAgain();
    }
    if (load.outOfMemory) {
        ReportOutOfMemory(OutOfMemoryMessage(Shown(file1), Shown(file2)));
        return false;
    }
    if (!load.read) {
        SetStatus(Text(ReloadImpossible()));
        ReportReadFailure(m_lastReadPath, load.read);
        return false;
    }
    m_strPath1 = file1;
    m_strPath2 = file2;
    UpdateData(false);
    CompareAndShow(std::nullopt, {});
    return true;
}

void CLibCompareDlg::ShowSelectionsAgain(
    const std::array<std::optional<std::string>, 3>& selected) {
    const std::array<SymbolListBox*, 3> lists{m_listOnly1, m_listOnly2, m_listCommon};
    const std::array<void (CLibCompareDlg::*)(), 3> handlers{&CLibCompareDlg::OnSelChangeOnly1,
                                                             &CLibCompareDlg::OnSelChangeOnly2,
                                                             &CLibCompareDlg::OnSelChangeCommon};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (!selected[i]) continue;
        if (const int row = lists[i]->Model().FindExact(*selected[i]); row >= 0) {
            lists[i]->SelectQuietly(row);
            (this->*handlers[i])();
            continue;
        }
        // Gone from its list: its column shows nothing of it any more.
        ClearColumn(static_cast<int>(i));
    }
}

std::array<QLineEdit*, 3> CLibCompareDlg::CommonFields() const {
    return {static_cast<QLineEdit*>(Control(IDC_COMMON_DESIGNATION)),
            static_cast<QLineEdit*>(Control(IDC_COMMON_CLASS1)),
            static_cast<QLineEdit*>(Control(IDC_COMMON_CLASS2))};
}

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
    const QString file1 = m_session->File1(), file2 = m_session->File2();
    ReportSources sources{file1.toStdString(), file2.toStdString()};
    sources.filter = {m_review->SearchBytes(), m_review->OnlyChanged()};
    const QString name = Text(ExportName(QFileInfo(file1).completeBaseName().toStdString(),
                                         QFileInfo(file2).completeBaseName().toStdString()));
    QString folder = LastExportFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QFileInfo(file2).absolutePath();
    const ExportOutcome written =
        ExportComparison(this, m_session->Current(), sources, folder, name);
    if (written.target.isEmpty()) return;
    RememberExportFolder(written.target);
    SetNote(Text(ExportedMessage(QFileInfo(written.target).fileName().toStdString(),
                                 static_cast<std::uint64_t>(m_listCommon->Model().SignedRowCount()),
                                 written.lines)));
}

// ---- dropped files ---------------------------------------------------------

void CLibCompareDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedLibraries(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CLibCompareDlg::dragMoveEvent(QDragMoveEvent* event) {
    const QStringList files = DroppedLibraries(event->mimeData());
    if (DropTargetOf(files, m_layout.ColumnAt(event->position().toPoint())) != DropTarget::kNone)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CLibCompareDlg::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedLibraries(event->mimeData());
    const DropTarget target = DropTargetOf(files, m_layout.ColumnAt(event->position().toPoint()));
    if (target == DropTarget::kNone) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (target == DropTarget::kBoth)
        OpenBothLibraries(files[0], files[1]);
    else if (target == DropTarget::kLibrary1)
        OpenLibrary1(files[0]);
    else
        OpenLibrary2AndCompare(files[0]);
}

void CLibCompareDlg::OnSelChangeOnly1() {
    // After a comparison, row source k is the k-th unmatched record; after a
    // load of library 1 alone, record k + 1.
    ClearNote();
    ShowChangeLine(-1);
    FindAndShowDetails(m_listOnly1, lib1Table, kLib1Fields,
                       [this](std::int64_t source) { return m_session->Only1Record(source); });
}

void CLibCompareDlg::OnSelChangeOnly2() {
    ClearNote();
    ShowChangeLine(-1);
    FindAndShowDetails(m_listOnly2, lib2Table, kLib2Fields,
                       [this](std::int64_t source) { return m_session->Only2Record(source); });
}

void CLibCompareDlg::OnSelChangeCommon() {
    if (!m_stepping) ClearNote();
    m_stepper.SetAnchor(-1);
    const std::int64_t slot = FindAndShowDetails(m_listCommon, commonTable, kCommonFields,
                                                 [](std::int64_t source) { return source; });
    if (slot >= 0) MarkChangedFields(m_session->Current(), slot, CommonFields());
    ShowChangeLine(slot);
    RefreshFieldTips();
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
