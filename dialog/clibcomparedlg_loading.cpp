// The dialog's steps of loading, comparing and reading again: what the
// window shows while the session reads and compares, and what it says after.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTime>
#include <QWindow>
#include <new>

#include "dialog/clibcomparedlg.h"
#include "dialog/difference_marks.h"
#include "dialog/platform_memory.h"
#include "dialog/shown_text.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "library/library_reader.h"
#include "library/symbol_table.h"
#include "report/messages.h"
#include "session/comparison_session.h"

namespace {

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
    if (!AskToSave({1})) return false;
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

void CLibCompareDlg::OpenLibrary2AndCompare(const QString& path) {
    LoadLibrary2AndCompare([&path] { return path; });
}

void CLibCompareDlg::LoadLibrary2AndCompare(const std::function<QString()>& choose) {
    if (!AskToSave({2})) return;
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
