// The dialog with a million names: the list model alone, then two
// 1,000,000-record libraries through the real dialog and file chooser, timed
// from accepting the chooser to the lists filled; then the window
// "Unterschiede" on the same two libraries.
//
//   QT_QPA_PLATFORM=offscreen dialog_bench LIB1 LIB2
//   QT_QPA_PLATFORM=offscreen dialog_bench --differences LIB1 LIB2  (the window alone)
//   QT_QPA_PLATFORM=offscreen dialog_bench --take LIB1 LIB2  (differences taken over, undone)
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "bench/peak_memory.h"
#include "dialog/clibcomparedlg.h"
#include "dialog/difference_window.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog_driver.h"
#include "session/comparison_session.h"

namespace {

double LoadThroughDialog(CLibCompareDlg& dialog, int buttonId, const QString& path) {
    QPushButton* button = ControlById<QPushButton>(dialog, buttonId);
    QElapsedTimer clock;
    modal::Drive([button] { button->click(); }, {modal::Choose(path, [&clock] { clock.start(); })});
    QApplication::processEvents();  // paint the lists
    return clock.nsecsElapsed() / 1e9;
}

// The window "Unterschiede" on a session of the two libraries: opening it,
// sorting by a column, typing a search, checking a row.
int DifferenceWindowFigures(const QString& path1, const QString& path2) {
    UseTestSettings();  // the marks go to settings of their own, none from an earlier run
    QSettings().remove(QStringLiteral("Unterschiede"));
    ComparisonSession session;
    DiscardingSymbolList names, common, only1, only2;
    if (!session.LoadLibrary1(path1, names).Succeeded() ||
        !session.LoadLibrary2(path2).Succeeded() ||
        session.Compare(common, only1, only2) != ComparisonSession::Outcome::kCompared) {
        std::fprintf(stderr, "dialog_bench: the libraries were not compared\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    const std::uint64_t hash = ContentHash(session.Current().lib1.table.FileView());
    std::printf("differences: library 1 (%zu bytes) hashed in %.3f s (%016llx)\n",
                session.Current().lib1.table.FileView().size(), clock.nsecsElapsed() / 1e9,
                static_cast<unsigned long long>(hash));
    clock.start();
    DifferenceWindow window(&session);
    window.show();
    QApplication::processEvents();
    const double open = clock.nsecsElapsed() / 1e9;
    std::printf(
        "differences: window filled and shown in %.3f s (%zu rows: %zu changed pairs, %zu only "
        "in 1, %zu only in 2; target: 0.5 s)\n",
        open, window.Model().TotalCount(), session.Current().changed.size(),
        session.Current().only1.size(), session.Current().only2.size());
    QHeaderView* header = window.Table()->horizontalHeader();
    double slowestSort = 0;
    for (const int column : {DifferenceModel::kValue1Column, DifferenceModel::kValue1Column,
                             DifferenceModel::kKindColumn, DifferenceModel::kValue2Column,
                             DifferenceModel::kSymbolColumn}) {
        clock.start();
        header->setSortIndicator(column, header->sortIndicatorSection() == column
                                             ? Qt::DescendingOrder
                                             : Qt::AscendingOrder);
        QApplication::processEvents();
        slowestSort = std::max(slowestSort, clock.nsecsElapsed() / 1e9);
    }
    std::printf("differences: sorted by a column in at most %.3f s (5 sorts; target: 1 s)\n",
                slowestSort);
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        std::fprintf(stderr, "dialog_bench: the window did not become active\n");
        return 1;
    }
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("search"));
    search->setFocus();
    double slowestKey = 0;
    for (const char c : std::string("sym0001")) {
        clock.start();
        QTest::keyClick(window.windowHandle(), c);
        QApplication::processEvents();
        slowestKey = std::max(slowestKey, clock.nsecsElapsed() / 1e9);
    }
    std::printf(
        "differences: each character of \"sym0001\" typed, the rows narrowed and drawn in at "
        "most %.3f s (%d shown; target: 0.2 s)\n",
        slowestKey, window.Model().Count());
    search->clear();
    QApplication::processEvents();
    double slowestSpace = 0;
    for (int i = 0; i < 20; ++i) {
        window.Table()->selectRow(window.Model().Count() * i / 20);
        window.Table()->setFocus();
        QApplication::processEvents();
        clock.start();
        QTest::keyClick(window.windowHandle(), Qt::Key_Space);
        QApplication::processEvents();
        slowestSpace = std::max(slowestSpace, clock.nsecsElapsed() / 1e6);
    }
    std::printf(
        "differences: space checked a row in at most %.1f ms (%zu checked; target: 20 ms)\n",
        slowestSpace, window.Model().CheckedCount());
    return window.Model().CheckedCount() == 20 ? 0 : 1;
}

// Differences taken over one row at a time in the dialog, from the common
// list and from the window "Unterschiede", each undone again: the slowest
// of each, from the command to the views drawn anew.
int TakeFigures(const QString& path1, const QString& path2) {
    UseTestSettings();
    CLibCompareDlg dialog;
    dialog.show();
    LoadThroughDialog(dialog, IDC_LOAD1_BUTTON, path1);
    LoadThroughDialog(dialog, IDC_LOAD2_BUTTON, path2);
    const auto action = [&dialog](const char* name) {
        return dialog.findChild<QAction*>(QString::fromLatin1(name));
    };
    const auto timed = [](const std::function<void()>& run) {
        QElapsedTimer clock;
        clock.start();
        run();
        QApplication::processEvents();
        return clock.nsecsElapsed() / 1e6;
    };
    constexpr int kRows = 20;
    SymbolListBox& common = *dialog.m_listCommon;
    const ComparisonSession& session = *dialog.findChild<ComparisonSession*>();
    const std::size_t changedBefore = session.Current().changed.size();
    double take = 0, undo = 0;
    for (int i = 0; i < kRows; ++i) {
        // Every so many rows a changed one, as a person would pick them.
        const int row = common.Model().NextSignedRow(common.Model().Count() * i / kRows);
        if (row < 0) break;
        common.SelectRowAsUser(row);
        QApplication::processEvents();
        take = std::max(take, timed([&] { action("takeInto2")->trigger(); }));
    }
    const std::size_t changedTaken = session.Current().changed.size();
    for (int i = 0; i < kRows; ++i)
        undo = std::max(undo, timed([&] { action("undo")->trigger(); }));
    std::printf(
        "take: a changed symbol of the common list taken over in at most %.1f ms, undone in at "
        "most %.1f ms (%zu changed pairs, %zu after %d takes, %zu after undoing; target: 20 ms "
        "each)\n",
        take, undo, changedBefore, changedTaken, kRows, session.Current().changed.size());

    // A symbol only in library 1 added to library 2, one only in library 2
    // taken out of it: new files, compared anew.
    double add = 0, remove = 0, undoneAnew = 0;
    for (int i = 0; i < 3; ++i) {
        dialog.m_listOnly1->SelectRowAsUser(dialog.m_listOnly1->Model().Count() * i / 3);
        QApplication::processEvents();
        add = std::max(add, timed([&] { action("takeInto2")->trigger(); }));
        undoneAnew = std::max(undoneAnew, timed([&] { action("undo")->trigger(); }));
        dialog.m_listOnly2->SelectRowAsUser(dialog.m_listOnly2->Model().Count() * i / 3);
        QApplication::processEvents();
        remove = std::max(remove, timed([&] { action("removeFrom2")->trigger(); }));
        undoneAnew = std::max(undoneAnew, timed([&] { action("undo")->trigger(); }));
    }
    std::printf(
        "take: a symbol added in at most %.0f ms, one removed in at most %.0f ms, each undone in "
        "at most %.0f ms (compared anew)\n",
        add, remove, undoneAnew);

    // From the table: the window open and active, its rows selected.
    action("differencesAction")->trigger();
    QApplication::processEvents();
    DifferenceWindow* window = dialog.findChild<DifferenceWindow*>();
    if (!window) {
        std::fprintf(stderr, "dialog_bench: no window Unterschiede\n");
        return 1;
    }
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        std::fprintf(stderr, "dialog_bench: the window did not become active\n");
        return 1;
    }
    const std::size_t rowsBefore = window->Model().TotalCount();
    take = undo = 0;
    for (int i = 0; i < kRows; ++i) {
        // A changed field's row, every so many rows.
        int row = window->Model().Count() * i / (kRows + 1);
        while (row < window->Model().Count() &&
               window->Model().At(window->Model().AllRow(row)).kind != DifferenceKind::kChanged)
            ++row;
        window->Table()->selectRow(row);
        QApplication::processEvents();
        take = std::max(take, timed([&] { action("takeInto2")->trigger(); }));
    }
    const std::size_t rowsTaken = window->Model().TotalCount();
    for (int i = 0; i < kRows; ++i)
        undo = std::max(undo, timed([&] { action("undo")->trigger(); }));
    std::printf(
        "take: a changed field's row of the window Unterschiede taken over in at most %.1f ms, "
        "undone in at most "
        "%.1f ms (%zu rows, %zu after %d takes, %zu after undoing; target: 20 ms each)\n",
        take, undo, rowsBefore, rowsTaken, kRows, window->Model().TotalCount());
    return changedTaken < changedBefore && rowsTaken < rowsBefore ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--take")
        return TakeFigures(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && std::string(argv[1]) == "--differences")
        return DifferenceWindowFigures(QString::fromLocal8Bit(argv[2]),
                                       QString::fromLocal8Bit(argv[3]));
    // --only-timing: just the two libraries through the dialog.
    const bool onlyTiming = argc == 4 && std::string(argv[1]) == "--only-timing";
    if (onlyTiming) ++argv;
    if (argc != (onlyTiming ? 4 : 3)) {
        std::fprintf(stderr, "usage: dialog_bench [--only-timing] LIB1 LIB2\n");
        return 2;
    }

    if (!onlyTiming) {
        // One name held 4472 times in each library: 19,998,784 common
        // entries, just under the bound.
        QTemporaryDir dir;
        std::string library = std::string(2, '\xFF') + std::string(12 + 144, '\0');
        std::string slot = "Platzhalter";
        slot.resize(144, '\0');
        for (int i = 0; i < 4472; ++i) library += slot;
        const QString same = dir.filePath(QStringLiteral("same.1"));
        std::ofstream(same.toStdString(), std::ios::binary) << library;
        CLibCompareDlg dialog;
        dialog.show();
        const double before = ResidentMemoryBytes() / 1048576.0;
        const double first = LoadThroughDialog(dialog, IDC_LOAD1_BUTTON, same);
        const double second = LoadThroughDialog(dialog, IDC_LOAD2_BUTTON, same);
        std::printf(
            "duplicates: 4472 x 4472 = %d common entries shown in %.3f s, peak memory %+.0f MiB\n",
            dialog.m_listCommon->Model().Count(), first + second,
            PeakMemoryBytes() / 1048576.0 - before);
    }

    if (!onlyTiming) {
        // Memory comes back: a big library 1, then a small one, again and
        // again; the resident memory after each small load against before.
        QTemporaryDir dir;
        const QString small = dir.filePath(QStringLiteral("small.1"));
        std::string smallLibrary = std::string(2, '\xFF') + std::string(12 + 144, '\0');
        for (const char* name : {"Klein1", "Klein2", "Klein3", "Klein4"}) {
            std::string record = name;
            record.resize(144, '\0');
            smallLibrary += record;
        }
        std::ofstream(small.toStdString(), std::ios::binary) << smallLibrary;
        CLibCompareDlg dialog;
        dialog.show();
        LoadThroughDialog(dialog, IDC_LOAD1_BUTTON, small);
        const double before = ResidentMemoryBytes() / 1048576.0;
        double worst = 0, peakAfterBig = 0;
        for (int round = 0; round < 4; ++round) {
            LoadThroughDialog(dialog, IDC_LOAD1_BUTTON, QString::fromLocal8Bit(argv[1]));
            peakAfterBig = std::max(peakAfterBig, ResidentMemoryBytes() / 1048576.0);
            LoadThroughDialog(dialog, IDC_LOAD1_BUTTON, small);
            if (dialog.m_listOnly1->Model().Count() != 4) {
                std::fprintf(stderr, "dialog_bench: the small library was not loaded\n");
                return 1;
            }
            worst = std::max(worst, ResidentMemoryBytes() / 1048576.0 - before);
        }
        std::printf(
            "memory: resident %.0f MiB before, %.0f MiB with library 1 loaded, at most %+.0f MiB "
            "after loading a small one instead (4 rounds; target: within 40 MiB)\n",
            before, peakAfterBig, worst);
    }

    if (!onlyTiming) {
        SymbolListBox list;
        list.resize(300, 400);
        list.show();
        std::mt19937 random(1);
        std::vector<std::string> names(1'000'000);
        for (auto& name : names) name = "Symbol " + std::to_string(random());
        QElapsedTimer clock;
        clock.start();
        list.Model().Empty();
        for (const auto& name : names) list.Model().Add(name);
        list.Model().Flush();
        QApplication::processEvents();
        std::printf("list: 1,000,000 names added, sorted and shown in %.3f s\n",
                    clock.nsecsElapsed() / 1e9);
    }

    CLibCompareDlg dialog;
    dialog.show();
    QApplication::processEvents();
    const double first =
        LoadThroughDialog(dialog, IDC_LOAD1_BUTTON, QString::fromLocal8Bit(argv[1]));
    std::printf("dialog: library 1 read and listed in %.3f s (%d names)\n", first,
                dialog.m_listOnly1->Model().Count());
    const double second =
        LoadThroughDialog(dialog, IDC_LOAD2_BUTTON, QString::fromLocal8Bit(argv[2]));
    std::printf(
        "dialog: library 2 read, compared and three lists filled in %.3f s "
        "(%d common, %d only in 1, %d only in 2)\n",
        second, dialog.m_listCommon->Model().Count(), dialog.m_listOnly1->Model().Count(),
        dialog.m_listOnly2->Model().Count());
    std::printf("dialog: both libraries, from accepting the chooser to the lists filled: %.3f s\n",
                first + second);

    // A click on a row shows its fields: the slowest of clicks spread over
    // each list, the first and last rows among them, through the window.
    for (SymbolListBox* list : {dialog.m_listOnly1, dialog.m_listCommon, dialog.m_listOnly2}) {
        const int rows = list->Model().Count();
        double slowest = 0;
        for (int i = 0; i <= 20 && rows > 0; ++i) {
            const int row = static_cast<int>(static_cast<long long>(rows - 1) * i / 20);
            const QPoint at = RowInWindow(list, row);
            QApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, at);
            slowest = std::max(slowest, clock.nsecsElapsed() / 1e6);
            if (list->CurrentSelection() != row) {
                std::fprintf(stderr, "dialog_bench: the click missed row %d\n", row);
                return 1;
            }
        }
        std::printf(
            "dialog: a click on a row of %s (%d rows) shows its fields in at most %.1f ms "
            "(target: 20 ms)\n",
            qPrintable(list->objectName()), rows, slowest);
    }

    // Find: each further character typed, the three lists narrowed and drawn.
    dialog.activateWindow();
    QApplication::processEvents();
    auto* search = dialog.findChild<QLineEdit*>(QStringLiteral("search"));
    search->setFocus();
    double slowestKey = 0;
    for (const char c : std::string("sym0001")) {
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(dialog.windowHandle(), c);
        QApplication::processEvents();
        slowestKey = std::max(slowestKey, clock.nsecsElapsed() / 1e9);
    }
    std::printf(
        "find: each character of \"sym0001\" typed, the lists narrowed and drawn in at most "
        "%.3f s (%d common shown; target: 0.3 s)\n",
        slowestKey, dialog.m_listCommon->Model().Count());
    QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);

    // "Nur geänderte" on and off.
    auto* onlyChanged = dialog.findChild<QAbstractButton*>(QStringLiteral("onlyChanged"));
    double slowestToggle = 0;
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer clock;
        clock.start();
        onlyChanged->click();
        QApplication::processEvents();
        slowestToggle = std::max(slowestToggle, clock.nsecsElapsed() / 1e9);
    }
    std::printf("only changed: switched on and off in at most %.3f s (target: 0.3 s)\n",
                slowestToggle);

    // Alt+Down from change to change: a hundred from the top, a hundred from
    // far down the list.
    dialog.m_listCommon->clearSelection();
    double slowestStep = 0;
    for (int step = 0; step < 200; ++step) {
        if (step == 100)
            dialog.m_listCommon->SelectRowAsUser(dialog.m_listCommon->Model().Count() * 9 / 10);
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Down, Qt::AltModifier);
        slowestStep = std::max(slowestStep, clock.nsecsElapsed() / 1e6);
    }
    std::printf("step: 200 times Alt+Down, each in at most %.1f ms (target: 20 ms)\n", slowestStep);
    if (onlyTiming) return 0;
    return DifferenceWindowFigures(QString::fromLocal8Bit(argv[1]),
                                   QString::fromLocal8Bit(argv[2]));
}
