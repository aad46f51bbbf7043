// The window "Unterschiede": what its rows say and show, sorting by a click
// on a header, filters that keep the selected row, stepping round, checking
// off rows and getting the marks back for the same two files, copying, and
// what a screen reader hears. Driven through the window as a user would.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "dialog/clibcomparedlg.h"
#include "dialog/difference_window.h"
#include "dialog/resource.h"
#include "dialog/review_marks.h"
#include "dialog/symbol_list_box.h"
#include "dialog_driver.h"
#include "library/symbol_list.h"
#include "report/messages.h"
#include "session/comparison_session.h"
#include "test_support.h"

namespace {

QString Q(const std::filesystem::path& path) {
    return QDir::fromNativeSeparators(QString::fromStdU16String(path.u16string()));
}

// In display order: Anschluss (a blank at the end), Doppel (held twice on
// each side, both pairs changed), Motor (only in 1), Relais (unchanged),
// Schütz (designation and classification 1), Umrichter (only in 2).
const std::vector<LongRecord> kOld = {
    {"Sch\xFCtz", "Leistungssch\xFCtz 3-polig", "K1", "G"},
    {"Anschluss",
     "Anschluss f\xFCr Au\xDF"
     "enleiter",
     "K", "G"},
    {"Relais", "Relais 24 V", "R", "G"},
    {"Doppel", "a", "X", "Y"},
    {"Doppel", "b", "X", "Y"},
    {"Motor", "M", "K", "G"},
};
const std::vector<LongRecord> kNew = {
    {"Anschluss",
     "Anschluss f\xFCr Au\xDF"
     "enleiter ",
     "K", "G"},
    {"Sch\xFCtz", "Leistungssch\xFCtz 4-polig", "K2", "G"},
    {"Relais", "Relais 24 V", "R", "G"},
    {"Doppel", "c", "X", "Y"},
    {"Doppel", "d", "X", "Y"},
    {"Umrichter", "U", "K", "G"},
};

}  // namespace

class TestDifferences : public QObject {
    Q_OBJECT

public:
    TestDifferences() = default;

private slots:
    void initTestCase() {
        UseTestSettings();
        QSettings().remove(QStringLiteral("Unterschiede"));
    }
    void init();
    void cleanup() {
        if (dialog_) (void)window_.release();  // the dialog's child
        dialog_.reset();
        window_.reset();
        session_.reset();
        QSettings().remove(QStringLiteral("Unterschiede"));
    }
    void sentences_data();
    void sentences();
    void rowsPerDifference();
    void differingPartInBold();
    void sortByHeaderClick_data();
    void sortByHeaderClick();
    void filtersKeepTheSelectedRow();
    void steppingWrapsAround();
    void spaceChecksAndOnlyUnchecked();
    void marksComeBackForTheSameFiles();
    void copyTheSelectedRows();
    void screenReaders();
    void keepsItsSizeAndPlace();
    void followsTheDialog();
    void takeFieldsFromTheTable();
    void addingFromTheTableGoesOnAtTheNextRow();
    void theTablesMenuOffersWhatARowAllows_data();
    void theTablesMenuOffersWhatARowAllows();

private:
    void Open() {
        window_.reset();
        session_ = std::make_unique<ComparisonSession>();
        // The window first: it fills itself when the comparison is made.
        window_ = std::make_unique<DifferenceWindow>(session_.get());
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        DiscardingSymbolList names, common, only1, only2;
        QVERIFY(session_->LoadLibrary1(old_, names).Succeeded());
        QVERIFY(session_->LoadLibrary2(new_).Succeeded());
        QCOMPARE(session_->Compare(common, only1, only2), ComparisonSession::Outcome::kCompared);
    }
    // The dialog with both libraries, and its window opened there by
    // Strg+U; the helpers of this test drive that window (the dialog owns it).
    void OpenFromDialog(const std::function<void()>& before = {}) {
        window_.reset();
        dialog_ = FreshDialog();
        QVERIFY(dialog_->OpenLibrary1(old_));
        dialog_->OpenLibrary2AndCompare(new_);
        if (before) before();
        QTest::keyClick(dialog_->windowHandle(), Qt::Key_U, Qt::ControlModifier);
        window_.reset(dialog_->findChild<DifferenceWindow*>());
    }
    QTableView* Table() const { return window_->Table(); }
    QWindow* Window() const { return window_->windowHandle(); }
    // A shown row's cells, joined by "|".
    QString RowText(int row) const {
        QStringList cells;
        for (int column = 0; column < DifferenceModel::kColumnCount; ++column)
            cells << Table()->model()->index(row, column).data().toString();
        return cells.join(u'|');
    }
    QStringList Column(int column) const {
        QStringList cells;
        for (int row = 0; row < Table()->model()->rowCount(); ++row)
            cells << Table()->model()->index(row, column).data().toString();
        return cells;
    }
    int CurrentRow() const {
        const QModelIndex current = Table()->currentIndex();
        return current.isValid() && Table()->selectionModel()->isRowSelected(current.row(), {})
                   ? current.row()
                   : -1;
    }
    QPoint RowPoint(int row) const {
        const QModelIndex index = Table()->model()->index(row, 1);
        Table()->scrollTo(index);
        return Table()->viewport()->mapTo(window_.get(), Table()->visualRect(index).center());
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(Window(), Qt::LeftButton, modifiers, RowPoint(row));
    }
    void ClickHeader(int column) {
        QHeaderView* header = Table()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(Window(), Qt::LeftButton, {},
                          header->viewport()->mapTo(window_.get(), at));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(Window(), static_cast<Qt::Key>(key), modifiers);
    }
    template <typename T>
    T* Child(const char* name) const {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }

    TempDir dir_;
    QString old_ = Q(dir_.path() / "alt.1");
    QString new_ = Q(dir_.path() / "neu.1");
    std::unique_ptr<ComparisonSession> session_;
    std::unique_ptr<DifferenceWindow> window_;
    std::unique_ptr<CLibCompareDlg> dialog_;  // where the window is the dialog's
};

void TestDifferences::init() {
    dir_.Write("alt.1", LongLibrary(kOld));
    dir_.Write("neu.1", LongLibrary(kNew));
    QSettings().remove(QStringLiteral("Unterschiede"));
    Open();
}

void TestDifferences::sentences_data() {
    QTest::addColumn<QString>("made");
    QTest::addColumn<QString>("expected");
    const SymbolEntry motor{"Motor", "Motor 3 kW ", "K", "G"};
    QTest::newRow("status") << QString::fromStdString(DifferenceStatus(17, 40, 1586, 120))
                            << "Unterschied 17 von 40 · gezeigt: 40 von 1.586 · 120 von 1.586 "
                               "geprüft";
    QTest::newRow("status, none selected") << QString::fromStdString(DifferenceStatus(0, 0, 7, 0))
                                           << "gezeigt: 0 von 7 · 0 von 7 geprüft";
    QTest::newRow("a changed field")
        << QString::fromStdString(ChangedFieldSentence(
               "Sch\xFCtz",
               {"Bezeichnung", "Leistungssch\xFCtz 3-polig", "Leistungssch\xFCtz 4-polig"}, false))
        << "geändert, Schütz, Bezeichnung: „Leistungsschütz 3-polig“ → „Leistungsschütz "
           "4-polig“, nicht geprüft";
    QTest::newRow("a record only in library 2")
        << QString::fromStdString(OnlyRecordSentence(DifferenceKind::kOnly2, motor, true, true))
        << "nur in Bibliothek 2, Motor, Bezeichnung: „Motor 3 kW␣“, Klassifizierung 1: „K“, "
           "Klassifizierung 2: „G“, geprüft";
    QTest::newRow("short layout")
        << QString::fromStdString(OnlyRecordSentence(DifferenceKind::kOnly1, motor, false, false))
        << "nur in Bibliothek 1, Motor, Bezeichnung: „Motor 3 kW␣“, nicht geprüft";
    QTest::newRow("in one line") << QString::fromStdString(RecordInOneLine(motor, true))
                                 << "Motor 3 kW␣ · K · G";
    QTest::newRow("past the end") << QString::fromStdString(DifferenceStepAtEnd(true))
                                  << "Letzter Unterschied – Alt+↓ beginnt wieder beim ersten";
}

void TestDifferences::sentences() {
    QFETCH(QString, made);
    QFETCH(QString, expected);
    QCOMPARE(made, expected);
}

// One row per changed field of each changed pair and per record only in one
// library, in the lists' order of names; a name held twice gives a row for
// each of its pairs, with each pair's own records.
void TestDifferences::rowsPerDifference() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Unterschiede"));
    const QStringList expected = {
        "geändert|Anschluss|Bezeichnung|Anschluss für Außenleiter|Anschluss für Außenleiter␣|",
        "geändert|Doppel|Bezeichnung|a|c|",
        "geändert|Doppel|Bezeichnung|b|d|",
        "nur in Bibliothek 1|Motor|Bezeichnung · Klassifizierung 1 · Klassifizierung 2|M · K · "
        "G||",
        "geändert|Schütz|Bezeichnung|Leistungsschütz 3-polig|Leistungsschütz 4-polig|",
        "geändert|Schütz|Klassifizierung 1|K1|K2|",
        "nur in Bibliothek 2|Umrichter|Bezeichnung · Klassifizierung 1 · Klassifizierung 2||U "
        "· K · G|",
    };
    QStringList rows;
    for (int row = 0; row < Table()->model()->rowCount(); ++row) rows << RowText(row);
    QCOMPARE(rows, expected);
    QStringList headers;
    for (int column = 0; column < DifferenceModel::kColumnCount; ++column)
        headers << Table()->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers,
             (QStringList{"Art", "Symbol", "Feld", "Bibliothek 1", "Bibliothek 2", "Geprüft"}));
    QCOMPARE(window_->StatusText(), QStringLiteral("gezeigt: 7 von 7 · 0 von 7 geprüft"));
}

// The part of a value that differs is drawn in bold, a blank at the end as ␣.
void TestDifferences::differingPartInBold() {
    const QModelIndex after = Table()->model()->index(0, DifferenceModel::kValue2Column);
    const QStringList pieces = after.data(DifferenceModel::kPiecesRole).toStringList();
    QCOMPARE(pieces, (QStringList{"Anschluss für Außenleiter", "␣", ""}));
    QVERIFY(DifferenceDelegate::CellHtml(pieces, Table()->font(), 0)
                .contains(QStringLiteral("<b>␣</b>")));
    const QModelIndex before = Table()->model()->index(4, DifferenceModel::kValue1Column);
    QCOMPARE(before.data(DifferenceModel::kPiecesRole).toStringList(),
             (QStringList{"Leistungsschütz ", "3", "-polig"}));
    // A record only in one library has nothing to set apart.
    QVERIFY(!Table()
                 ->model()
                 ->index(3, DifferenceModel::kValue1Column)
                 .data(DifferenceModel::kPiecesRole)
                 .isValid());
}

void TestDifferences::sortByHeaderClick_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("ascending");
    QTest::addColumn<QStringList>("descending");
    QTest::newRow("Art") << int(DifferenceModel::kKindColumn)
                         << QStringList{"Anschluss", "Doppel", "Doppel",   "Schütz",
                                        "Schütz",    "Motor",  "Umrichter"}
                         << QStringList{"Umrichter", "Motor",  "Anschluss", "Doppel",
                                        "Doppel",    "Schütz", "Schütz"};
    // By value in display order: "" < a < Anschluss… < b < K1 < Leistungs… < M.
    QTest::newRow("Bibliothek 1") << int(DifferenceModel::kValue1Column)
                                  << QStringList{"Umrichter", "Doppel", "Anschluss", "Doppel",
                                                 "Schütz",    "Schütz", "Motor"}
                                  << QStringList{"Motor",     "Schütz", "Schütz",   "Doppel",
                                                 "Anschluss", "Doppel", "Umrichter"};
    QTest::newRow("Symbol") << int(DifferenceModel::kSymbolColumn)
                            << QStringList{"Umrichter", "Schütz", "Schütz",   "Motor",
                                           "Doppel",    "Doppel", "Anschluss"}
                            << QStringList{"Anschluss", "Doppel", "Doppel",   "Motor",
                                           "Schütz",    "Schütz", "Umrichter"};
}

// A click on a header sorts by that column, a second the other way round;
// rows of the same key keep the order of their names. The selected row
// stays selected.
void TestDifferences::sortByHeaderClick() {
    QFETCH(int, column);
    QFETCH(QStringList, ascending);
    QFETCH(QStringList, descending);
    ClickRow(5);  // Schütz, Klassifizierung 1
    const QString selected = RowText(5);
    ClickHeader(column);
    QCOMPARE(Column(DifferenceModel::kSymbolColumn), ascending);
    QCOMPARE(RowText(CurrentRow()), selected);
    ClickHeader(column);
    QCOMPARE(Column(DifferenceModel::kSymbolColumn), descending);
    QCOMPARE(RowText(CurrentRow()), selected);
}

// The kind and the search narrow the rows and keep the selected one while
// they show it; the status line counts what is shown.
void TestDifferences::filtersKeepTheSelectedRow() {
    ClickRow(5);  // Schütz, Klassifizierung 1
    auto* kind = Child<QComboBox>("kind");
    kind->setCurrentIndex(1);  // geändert
    QCOMPARE(Column(DifferenceModel::kKindColumn), QStringList(5, QStringLiteral("geändert")));
    QCOMPARE(RowText(CurrentRow()), QStringLiteral("geändert|Schütz|Klassifizierung 1|K1|K2|"));
    Key(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), Child<QLineEdit>("search"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("SCHUTZ"));
    QCOMPARE(Column(DifferenceModel::kSymbolColumn), (QStringList{"Schütz", "Schütz"}));
    QCOMPARE(CurrentRow(), 1);
    QCOMPARE(window_->StatusText(),
             QStringLiteral("Unterschied 2 von 2 · gezeigt: 2 von 7 · 0 von 7 geprüft"));
    // Any column is searched: the field's name, a value.
    Child<QLineEdit>("search")->setText(QStringLiteral("klassifizierung"));
    QCOMPARE(Column(DifferenceModel::kFieldColumn), QStringList{"Klassifizierung 1"});
    Child<QLineEdit>("search")->setText(QStringLiteral("4-POL"));
    QCOMPARE(Column(DifferenceModel::kFieldColumn), QStringList{"Bezeichnung"});
    QCOMPARE(CurrentRow(), -1);  // hidden, so no longer selected
    kind->setCurrentIndex(2);    // nur in Bibliothek 1
    Child<QLineEdit>("search")->setText(QStringLiteral("m"));
    QCOMPARE(Column(DifferenceModel::kSymbolColumn), QStringList{"Motor"});
    auto* field = Child<QComboBox>("field");
    kind->setCurrentIndex(0);
    Child<QLineEdit>("search")->clear();
    field->setCurrentIndex(2);  // Klassifizierung 1: the changed ones and whole records
    QCOMPARE(Column(DifferenceModel::kSymbolColumn), (QStringList{"Motor", "Schütz", "Umrichter"}));
}

// Alt+↓ and Alt+↑ go from row to row as shown; past the end a note says so
// and the next press starts again at the other end. The owner hears of each.
void TestDifferences::steppingWrapsAround() {
    QSignalSpy selected(window_.get(), &DifferenceWindow::differenceSelected);
    Key(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(CurrentRow(), 0);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.last().at(0).value<DifferenceKind>(), DifferenceKind::kChanged);
    const auto pair = static_cast<std::size_t>(selected.last().at(1).value<std::int64_t>());
    QCOMPARE(session_->Current().lib2.table.Symbol(session_->Current().pairs[pair].record2),
             std::string_view("Anschluss"));
    for (int i = 1; i < 7; ++i) Key(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(CurrentRow(), 6);
    QCOMPARE(selected.last().at(0).value<DifferenceKind>(), DifferenceKind::kOnly2);
    QCOMPARE(selected.last().at(1).value<std::int64_t>(), std::int64_t{6});  // Umrichter's record
    Key(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(CurrentRow(), 6);
    QVERIFY2(window_->StatusText().startsWith(
                 QStringLiteral("Letzter Unterschied – Alt+↓ beginnt wieder beim ersten · ")),
             qPrintable(window_->StatusText()));
    Key(Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(CurrentRow(), 0);
    QVERIFY(window_->StatusText().startsWith(QStringLiteral("Unterschied 1 von 7")));
    Key(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(CurrentRow(), 0);
    QVERIFY(window_->StatusText().startsWith(QStringLiteral("Erster Unterschied")));
    Key(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(CurrentRow(), 6);
    QCOMPARE(selected.size(), 9);
    // Selecting for the owner says nothing back.
    QVERIFY(window_->SelectSymbol(DifferenceKind::kOnly1, 6));
    QCOMPARE(RowText(CurrentRow()).section(u'|', 1, 1), QStringLiteral("Motor"));
    QVERIFY(window_->SelectSymbol(DifferenceKind::kChanged, static_cast<std::int64_t>(pair)));
    QCOMPARE(CurrentRow(), 0);
    QVERIFY(!window_->SelectSymbol(DifferenceKind::kOnly1, 1));  // no such row
    QCOMPARE(selected.size(), 9);
}

// The space bar checks the selected rows, and unchecks them when all are
// checked; "Nur ungeprüfte" hides the checked ones, and checking a row then
// moves on to the next.
void TestDifferences::spaceChecksAndOnlyUnchecked() {
    ClickRow(0);
    ClickRow(1, Qt::ShiftModifier);
    Key(Qt::Key_Space);
    QCOMPARE(Column(DifferenceModel::kCheckedColumn), (QStringList{"✓", "✓", "", "", "", "", ""}));
    QVERIFY(window_->StatusText().endsWith(QStringLiteral(" · 2 von 7 geprüft")));
    ClickRow(1);
    Key(Qt::Key_Space);
    QCOMPARE(Column(DifferenceModel::kCheckedColumn), (QStringList{"✓", "", "", "", "", "", ""}));
    QTest::mouseClick(
        Window(), Qt::LeftButton, {},
        Child<QCheckBox>("onlyUnchecked")
            ->mapTo(window_.get(), QPoint(8, Child<QCheckBox>("onlyUnchecked")->height() / 2)));
    QVERIFY(Child<QCheckBox>("onlyUnchecked")->isChecked());
    QCOMPARE(Table()->model()->rowCount(), 6);
    ClickRow(2);  // Motor
    Key(Qt::Key_Space);
    QCOMPARE(Column(DifferenceModel::kSymbolColumn),
             (QStringList{"Doppel", "Doppel", "Schütz", "Schütz", "Umrichter"}));
    QCOMPARE(CurrentRow(), 2);
    QCOMPARE(window_->StatusText(),
             QStringLiteral("Unterschied 3 von 5 · gezeigt: 5 von 7 · 2 von 7 geprüft"));
}

// Marks are kept for the two files' contents: a new window on a new session
// of the same files shows them (the second Doppel, not the first); a file
// changed shows none, and the same content again brings them back.
void TestDifferences::marksComeBackForTheSameFiles() {
    ClickRow(2);  // Doppel b → d
    Key(Qt::Key_Space);
    ClickRow(3);  // Motor
    Key(Qt::Key_Space);
    const QStringList checked = {"", "", "✓", "✓", "", "", ""};
    QCOMPARE(Column(DifferenceModel::kCheckedColumn), checked);

    Open();
    QCOMPARE(Column(DifferenceModel::kCheckedColumn), checked);
    QVERIFY(window_->StatusText().endsWith(QStringLiteral(" · 2 von 7 geprüft")));

    // F5 after a change: the same names, another file.
    std::vector<LongRecord> changed = kNew;
    changed[2][1] = "Relais 12 V";
    dir_.Write("neu.1", LongLibrary(changed));
    QVERIFY(session_->ReadBothAgain().Succeeded());
    DiscardingSymbolList common, only1, only2;
    session_->Compare(common, only1, only2);
    QCOMPARE(Column(DifferenceModel::kCheckedColumn).count(QStringLiteral("✓")), 0);

    dir_.Write("neu.1", LongLibrary(kNew));
    Open();
    QCOMPARE(Column(DifferenceModel::kCheckedColumn), checked);
}

// Strg+C copies the selected rows as tab-separated lines under the column
// names.
void TestDifferences::copyTheSelectedRows() {
    ClickRow(4);
    ClickRow(6, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("Art\tSymbol\tFeld\tBibliothek 1\tBibliothek 2\tGeprüft\n"
                            "geändert\tSchütz\tBezeichnung\tLeistungsschütz 3-polig\t"
                            "Leistungsschütz 4-polig\t\n"
                            "nur in Bibliothek 2\tUmrichter\tBezeichnung · Klassifizierung 1 · "
                            "Klassifizierung 2\t\tU · K · G\t\n"));
}

// A row is one sentence for a screen reader; the headers have names; the
// status line says when it changed.
void TestDifferences::screenReaders() {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(Table());
    QVERIFY(table && table->tableInterface());
    QAccessibleInterface* cell = table->tableInterface()->cellAt(4, 0);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name),
             QStringLiteral("geändert, Schütz, Bezeichnung: „Leistungsschütz 3-polig“ → "
                            "„Leistungsschütz 4-polig“, nicht geprüft"));
    QCOMPARE(table->tableInterface()->cellAt(0, 3)->text(QAccessible::Description),
             QStringLiteral("Leerzeichen am Ende"));
    QCOMPARE(table->tableInterface()->columnDescription(5), QStringLiteral("Geprüft"));
    QLabel* status = Child<QLabel>("status");
    ClickRow(0);
    QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
             window_->StatusText());
    Key(Qt::Key_Space);
    QCOMPARE(table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name),
             QStringLiteral("geändert, Anschluss, Bezeichnung: „Anschluss für Außenleiter“ → "
                            "„Anschluss für Außenleiter␣“, geprüft"));
    QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
             QStringLiteral("Unterschied 1 von 7 · gezeigt: 7 von 7 · 1 von 7 geprüft"));
}

// The window opens again where it was closed, at the size it had.
void TestDifferences::keepsItsSizeAndPlace() {
    window_->resize(731, 377);
    window_->close();
    Open();
    QCOMPARE(window_->size(), QSize(731, 377));

    // Opened the first time from the dialog: centred over the dialog as far
    // as the screen lets it, whatever the window system would do.
    window_.reset();  // which keeps its place
    QSettings().remove(QStringLiteral("Unterschiede"));
    QRect room;
    OpenFromDialog([this, &room] {  // the dialog at the foot of the screen
        room = dialog_->screen()->availableGeometry();
        dialog_->move(dialog_->x(), room.bottom() - dialog_->frameGeometry().height());
    });
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    const QRect frame = window_->frameGeometry();
    const QPoint center = dialog_->frameGeometry().center();
    QVERIFY(frame.contains(center));
    const auto expected = [](int center, int size, int low, int high) {
        return size > high - low + 1 ? low : std::clamp(center - size / 2, low, high - size + 1);
    };
    QVERIFY2(
        qAbs(frame.left() - expected(center.x(), frame.width(), room.left(), room.right())) <= 1,
        qPrintable(QString::number(frame.left())));
    QVERIFY2(
        qAbs(frame.top() - expected(center.y(), frame.height(), room.top(), room.bottom())) <= 1,
        qPrintable(QString::number(frame.top())));

    // The two values share the table's width, however wide the window; no
    // narrower than a value of some words; the column "Feld" shows a
    // field's name whole.
    const QHeaderView* header = Table()->horizontalHeader();
    const auto sections = [header] {
        int sum = 0;
        for (int column = 0; column < header->count(); ++column) sum += header->sectionSize(column);
        return sum;
    };
    for (const int width : {window_->width(), window_->width() + 300, window_->width() + 77}) {
        window_->resize(width, window_->height());
        QCOMPARE(sections(), Table()->viewport()->width());
        QVERIFY(qAbs(header->sectionSize(DifferenceModel::kValue1Column) -
                     header->sectionSize(DifferenceModel::kValue2Column)) <= 1);
    }
    // The rows filtered down to fewer than fill the table: its scroll bar
    // goes, and the values take up its width too.
    window_->resize(window_->width(), 200);
    QTRY_VERIFY(Table()->verticalScrollBar()->isVisible());
    QCOMPARE(sections(), Table()->viewport()->width());
    Child<QComboBox>("kind")->setCurrentIndex(1);  // geändert: two rows
    QTRY_VERIFY(!Table()->verticalScrollBar()->isVisible());
    QCOMPARE(sections(), Table()->viewport()->width());
    Child<QComboBox>("kind")->setCurrentIndex(0);
    QCOMPARE(sections(), Table()->viewport()->width());

    // A narrow window scrolls rather than cut every value short.
    window_->resize(400, window_->height());
    for (const int column : {DifferenceModel::kValue1Column, DifferenceModel::kValue2Column})
        QVERIFY(header->sectionSize(column) > Table()->fontMetrics().horizontalAdvance(
                                                  QStringLiteral("Leistungsschütz 3-polig")));
    QVERIFY(header->sectionSize(DifferenceModel::kFieldColumn) >
            Table()->fontMetrics().horizontalAdvance(QStringLiteral("Klassifizierung 1")));
    // A value's column widened by hand, by its header's edge, keeps its
    // width when the window changes.
    window_->resize(1200, 500);
    const int edge = header->sectionViewportPosition(DifferenceModel::kValue1Column) +
                     header->sectionSize(DifferenceModel::kValue1Column) - 1;
    const auto onHeader = [this, header](int x) {
        return header->viewport()->mapTo(window_.get(), QPoint(x, header->height() / 2));
    };
    const int widened = header->sectionSize(DifferenceModel::kValue1Column) + 60;
    QTest::mousePress(Window(), Qt::LeftButton, {}, onHeader(edge));
    QTest::mouseMove(Window(), onHeader(edge + 30));
    QTest::mouseMove(Window(), onHeader(edge + 60));
    QTest::mouseRelease(Window(), Qt::LeftButton, {}, onHeader(edge + 60));
    QCOMPARE(header->sectionSize(DifferenceModel::kValue1Column), widened);
    window_->resize(1300, 500);
    QCOMPARE(header->sectionSize(DifferenceModel::kValue1Column), widened);

    // What it cuts off of the fields of a record only in one library, its
    // tooltip says.
    const int motor = static_cast<int>(Column(1).indexOf(QStringLiteral("Motor")));
    QCOMPARE(Table()->model()->index(motor, DifferenceModel::kFieldColumn).data(Qt::ToolTipRole),
             QStringLiteral("Bezeichnung · Klassifizierung 1 · Klassifizierung 2"));
}

// Opened from the dialog, the table and the dialog's lists follow each
// other: a row selects its symbol in the dialog, a symbol selected in the
// dialog selects its first row, and Alt+↓ in the dialog goes through the
// table's rows. It closes with the dialog.
void TestDifferences::followsTheDialog() {
    OpenFromDialog();
    DifferenceWindow* table = window_.get();
    QVERIFY(table);
    QVERIFY(QTest::qWaitForWindowExposed(table));
    QCOMPARE(table->Table()->model()->rowCount(), 7);
    CLibCompareDlg* dialog = dialog_.get();
    const auto symbolOfCurrentRow = [this] {
        const int row = CurrentRow();
        return row < 0 ? QString() : Table()->model()->index(row, 1).data().toString();
    };
    const auto field = [&dialog](int id) { return ControlById<QLineEdit>(*dialog, id)->text(); };

    // A row of the table: its symbol is selected in its list of the dialog.
    const int umrichter = static_cast<int>(Column(1).indexOf(QStringLiteral("Umrichter")));
    ClickRow(umrichter);
    QCOMPARE(dialog->m_listOnly2->CurrentSelection() >= 0, true);
    QCOMPARE(Rows(dialog->m_listOnly2)[dialog->m_listOnly2->CurrentSelection()],
             QStringLiteral("Umrichter"));
    QCOMPARE(field(IDC_LIB2_SYMBOL), QStringLiteral("Umrichter"));
    const int motor = static_cast<int>(Column(1).indexOf(QStringLiteral("Motor")));
    ClickRow(motor);
    QCOMPARE(field(IDC_LIB1_SYMBOL), QStringLiteral("Motor"));

    // A symbol of the dialog: the table goes to its first row.
    QVERIFY(Activate(*dialog));
    QVERIFY(SelectText(dialog->m_listCommon, QStringLiteral("Sch\u00FCtz")));
    QCOMPARE(symbolOfCurrentRow(), QStringLiteral("Sch\u00FCtz"));
    QCOMPARE(Table()->model()->index(CurrentRow(), 2).data().toString(),
             QStringLiteral("Bezeichnung"));

    // Alt+Down in the dialog: the table's next row, which the dialog shows.
    const int before = CurrentRow();
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(CurrentRow(), before + 1);
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(CurrentRow(), before + 2);
    QCOMPARE(symbolOfCurrentRow(), QStringLiteral("Umrichter"));
    QCOMPARE(field(IDC_LIB2_SYMBOL), QStringLiteral("Umrichter"));

    // Alt+Down in the table itself: one row on, not two.
    table->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table));
    Key(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(CurrentRow(), before + 1);

    // Strg+E in the table: the rows it shows, as the export writes them.
    Child<QComboBox>("kind")->setCurrentIndex(3);  // nur in Bibliothek 2
    QCOMPARE(Column(1), QStringList{QStringLiteral("Umrichter")});
    const QString target = Q(dir_.path() / "nur2.txt");
    QCOMPARE(modal::Drive([this] { Key(Qt::Key_E, Qt::ControlModifier); }, {modal::Choose(target)}),
             std::size_t{1});
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    QVERIFY2(text.contains(QStringLiteral("Umrichter")), qPrintable(text));
    // It says which rows it holds, beside the whole comparison's counts.
    QVERIFY2(text.contains(
                 QStringLiteral("Filter: Tabelle „Unterschiede“: nur in Bibliothek 2\nGezeigt: ")),
             qPrintable(text));
    for (const char* hidden : {"Motor", "Doppel", "Anschluss", "Relais"})
        QVERIFY2(!text.contains(QLatin1String(hidden)), hidden);

    // Library 1 read anew while a row is selected: the table empties (it
    // must not read the rows of the comparison that is gone).
    ClickRow(CurrentRow() >= 0 ? CurrentRow() : 0);
    QVERIFY(dialog->OpenLibrary1(old_));
    QCOMPARE(Table()->model()->rowCount(), 0);
    QVERIFY2(table->StatusText().startsWith(QStringLiteral("Noch kein Vergleich")),
             qPrintable(table->StatusText()));
    dialog->OpenLibrary2AndCompare(new_);
    QCOMPARE(Table()->model()->rowCount(), 1);  // the kind filter still shows library 2's

    // Escape there: first the search is emptied, then the window closes.
    table->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table));
    Key(Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
    Key(Qt::Key_Escape);
    QCOMPARE(Child<QLineEdit>("search")->text(), QString());
    QVERIFY(table->isVisible());
    // Escape in an open drop-down closes the drop-down only.
    auto* kind = Child<QComboBox>("kind");
    QTest::mouseClick(Window(), Qt::LeftButton, {}, kind->mapTo(table, kind->rect().center()));
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(table->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(table));
    ClickRow(0);  // from the table too
    Key(Qt::Key_Escape);
    QVERIFY(!table->isVisible());
    QVERIFY(Activate(*dialog));
    QTest::keyClick(dialog->windowHandle(), Qt::Key_U, Qt::ControlModifier);
    QVERIFY(table->isVisible());

    dialog->reject();
    QVERIFY(!table->isVisible());
}

// Alt+Right on rows of the table takes just their fields into library 2: the
// row goes at once, the next row stands where it stood, the list's sign
// follows; Strg+Z and Strg+Y in the table bring it back and take it again.
void TestDifferences::takeFieldsFromTheTable() {
    OpenFromDialog();
    DifferenceWindow* table = window_.get();
    QVERIFY(table);
    CLibCompareDlg* dialog = dialog_.get();
    table->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table));
    QStringList start;
    for (int row = 0; row < Table()->model()->rowCount(); ++row) start << RowText(row);
    const int signs = dialog->m_listCommon->Model().SignedRowCount();
    const QString classification = QStringLiteral("geändert|Schütz|Klassifizierung 1|K1|K2|");
    const QString designation = QStringLiteral(
        "geändert|Schütz|Bezeichnung|Leistungsschütz 3-polig|Leistungsschütz "
        "4-polig|");

    ClickRow(static_cast<int>(start.indexOf(classification)));
    Key(Qt::Key_Right, Qt::AltModifier);
    QStringList rows;
    for (int row = 0; row < Table()->model()->rowCount(); ++row) rows << RowText(row);
    QStringList expected = start;
    expected.removeAll(classification);
    QCOMPARE(rows, expected);
    QCOMPARE(RowText(CurrentRow()).section(u'|', 1, 1), QStringLiteral("Umrichter"));
    QCOMPARE(window_->StatusText(), QStringLiteral("Unterschied 6 von 6 · gezeigt: 6 von 6 · 0 "
                                                   "von 6 geprüft"));
    QCOMPARE(dialog->m_listCommon->Model().SignedRowCount(), signs);  // its designation differs
    QVERIFY(dialog->windowTitle().endsWith(QStringLiteral(" *")));

    ClickRow(static_cast<int>(rows.indexOf(designation)));
    Key(Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(Table()->model()->rowCount(), 5);
    QCOMPARE(dialog->m_listCommon->Model().SignedRowCount(), signs - 1);
    QVERIFY(SelectText(dialog->m_listCommon, QStringLiteral("Sch\u00FCtz")));
    QCOMPARE(ControlById<QLineEdit>(*dialog, IDC_COMMON_DESIGNATION)->text(),
             QStringLiteral("Leistungsschütz 3-polig"));
    QCOMPARE(ControlById<QLineEdit>(*dialog, IDC_COMMON_CLASS1)->text(), QStringLiteral("K1"));

    // Back in the table: undone one step at a time, then taken again.
    table->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Table()->model()->rowCount(), 6);
    QCOMPARE(dialog->m_listCommon->Model().SignedRowCount(), signs);
    Key(Qt::Key_Z, Qt::ControlModifier);
    rows.clear();
    for (int row = 0; row < Table()->model()->rowCount(); ++row) rows << RowText(row);
    QCOMPARE(rows, start);
    QVERIFY(!dialog->windowTitle().endsWith(QStringLiteral(" *")));
    Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Table()->model()->rowCount(), 6);
    QVERIFY(!Column(2).contains(QStringLiteral("Klassifizierung 1")));

    // A checked row taken over leaves the count of checked ones; undone,
    // it comes back checked.
    ClickRow(static_cast<int>(Column(2).indexOf(QStringLiteral("Bezeichnung"))));
    Key(Qt::Key_Space);
    QVERIFY(window_->StatusText().endsWith(QStringLiteral(" · 1 von 6 geprüft")));
    Key(Qt::Key_Right, Qt::AltModifier);
    QVERIFY2(window_->StatusText().endsWith(QStringLiteral(" · 0 von 5 geprüft")),
             qPrintable(window_->StatusText()));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(window_->StatusText().endsWith(QStringLiteral(" · 1 von 6 geprüft")));
    const int back = static_cast<int>(Column(2).indexOf(QStringLiteral("Bezeichnung")));
    QCOMPARE(Table()->model()->index(back, DifferenceModel::kCheckedColumn).data(),
             QStringLiteral("✓"));
    ClickRow(back);
    Key(Qt::Key_Space);
    QVERIFY(window_->StatusText().endsWith(QStringLiteral(" · 0 von 6 geprüft")));

    // A row checked now is kept for library 2 as saved: read again, it is
    // still checked.
    ClickRow(0);
    Key(Qt::Key_Space);
    QVERIFY(window_->StatusText().endsWith(QStringLiteral("1 von 6 geprüft")));
    Key(Qt::Key_S, Qt::ControlModifier);  // saved from the table's window, as from the dialog
    QVERIFY(!dialog->windowTitle().endsWith(QStringLiteral(" *")));
    dialog->OpenLibrary2AndCompare(new_);
    QVERIFY2(window_->StatusText().endsWith(QStringLiteral("1 von 6 geprüft")),
             qPrintable(window_->StatusText()));
}

// A symbol only in library 1 added to library 2 from the table: its row
// goes, and the row now standing where it stood is current, as after a
// field taken over.
void TestDifferences::addingFromTheTableGoesOnAtTheNextRow() {
    OpenFromDialog();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QStringList before;
    for (int row = 0; row < Table()->model()->rowCount(); ++row) before << RowText(row);
    const int motor = static_cast<int>(
        before.indexOf(QRegularExpression(QStringLiteral("^nur in Bibliothek 1\\|Motor\\|.*"))));
    QVERIFY(motor >= 0 && motor + 1 < before.size());
    ClickRow(motor);
    Key(Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(Table()->model()->rowCount(), before.size() - 1);
    QCOMPARE(CurrentRow(), motor);
    QCOMPARE(RowText(CurrentRow()), before[motor + 1]);
}

void TestDifferences::theTablesMenuOffersWhatARowAllows_data() {
    QTest::addColumn<QString>("row");  // Art|Symbol
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("geändert") << "geändert|Schütz"
                              << QStringList{"In Bibliothek 2 übernehmen",
                                             "In Bibliothek 1 übernehmen"};
    QTest::newRow("nur in 1") << "nur in Bibliothek 1|Motor"
                              << QStringList{"In Bibliothek 2 übernehmen",
                                             "Aus Bibliothek 1 entfernen"};
    QTest::newRow("nur in 2") << "nur in Bibliothek 2|Umrichter"
                              << QStringList{"In Bibliothek 1 übernehmen",
                                             "Aus Bibliothek 2 entfernen"};
}

// A right click on a row opens the table's menu with just the commands that
// can take its difference; the menu is the same each time.
void TestDifferences::theTablesMenuOffersWhatARowAllows() {
    QFETCH(QString, row);
    QFETCH(QStringList, enabled);
    OpenFromDialog();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    int at = -1;
    for (int r = 0; r < Table()->model()->rowCount() && at < 0; ++r)
        if (RowText(r).startsWith(row + u'|')) at = r;
    QVERIFY(at >= 0);
    QStringList offered;
    QTimer poll;  // the menu runs its own loop: read it once it shows
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible()) return;
        poll.stop();
        for (QAction* action : menu->actions())
            if (action->isEnabled() && action->text().contains(QStringLiteral("Bibliothek")))
                offered << action->text();
        menu->close();
    });
    poll.start();
    ClickRow(at);
    QTest::mouseClick(Window(), Qt::RightButton, {}, RowPoint(at));
    poll.stop();
    QCOMPARE(offered, enabled);
}

QTEST_MAIN(TestDifferences)
#include "tst_differences.moc"
