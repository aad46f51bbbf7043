// The dialog's commands end to end: the real dialog, the real file chooser,
// real files.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>

#include "dialog/clibcomparedlg.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog_driver.h"
#include "library/symbol_table.h"
#include "test_support.h"

namespace {

// A path as the dialog shows it: with forward slashes, also on Windows.
QString Q(const std::filesystem::path& path) {
    return QDir::fromNativeSeparators(QString::fromStdU16String(path.u16string()));
}

// Everything the user sees: the three lists and the fourteen fields.
struct Screen {
    QStringList only1, only2, common;
    QStringList fields;
    bool operator==(const Screen&) const = default;
};

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT

public:
    TestCommands() {
        abc_ = dir_.Write("abc.1", LongLibrary({{"A", "Anschluss", "K1", "G1"},
                                                {"B", "Bauteil alt", "K2", "G2"},
                                                {"C", "Relais", "K3", "G3"}}));
        bcd_ = dir_.Write("bcd.1", LongLibrary({{"B", "Bauteil neu", "K2b", "G2b"},
                                                {"C", "Relais", "K3", "G3"},
                                                {"D", "Diode", "K4", "G4"}}));
    }

private slots:
    void initTestCase() { UseTestSettings(); }
    void init();
    void roadOfOneComparison();
    void selectionShowsTheTableBehindEachList();
    void cancelOnTheSecondButtonRepeatsTheComparison();
    void cancelOnTheFirstButtonEmptiesTheLists();
    void enterOnALoadButtonStartsItsCommand();
    void caseVariantsAreSelectedExactly();
    void shortAfterLongShowsNoClassifications();
    void smallerLibraryAfterALargerOne();
    void failingLoadShowsAMessageAndChangesNothing_data();
    void failingLoadShowsAMessageAndChangesNothing();
    void failingSecondLoadStillCompares();
    void mouseReachesEachList_data();
    void mouseReachesEachList();
    void detailsShowTheLastOfDuplicateRecords();
    void cancelAfterANewLibrary1RebuildsAllLists();
    void lookupIgnoresSlotsAboveTheCount();
    void windows1252InRowsFieldsAndOrder();
    void fileChooserSettings();
    void waitCursorWhileReadingAndComparing();
    void tooManyPairsAreRefusedWithAMessage();
    void changesAreMarkedInListsAndFields();
    void classificationChangesCountWhenBothAreLong();
    void duplicatedNamesCarryTheDotOfTheirPair();
    void reviewingTheChanges();

private:
    Screen Look() const;
    // Presses a load button and chooses `path` in the file chooser.
    void Load(int buttonId, const QString& path);
    void Load1(const QString& path) { Load(IDC_LOAD1_BUTTON, path); }
    void Load2(const QString& path) { Load(IDC_LOAD2_BUTTON, path); }
    void Cancel(int buttonId);
    QString Field(const char* name) const {
        return dialog_->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    QPushButton* Button(int id) const { return ControlById<QPushButton>(*dialog_, id); }
    void Select(SymbolListBox* list, const QString& text) {
        QVERIFY2(SelectText(list, text), qPrintable(text));
    }

    TempDir dir_;
    std::filesystem::path abc_, bcd_;
    std::unique_ptr<CLibCompareDlg> dialog_;
};

void TestCommands::init() {
    lib1Count = lib2Count = commonCount = 0;
    ForgetWindowGeometry();
    dialog_ = std::make_unique<CLibCompareDlg>();
    dialog_->show();
}

Screen TestCommands::Look() const {
    Screen s{
        Rows(dialog_->m_listOnly1), Rows(dialog_->m_listOnly2), Rows(dialog_->m_listCommon), {}};
    for (auto* edit : dialog_->findChildren<QLineEdit*>()) s.fields << edit->text();
    return s;
}

void TestCommands::Load(int buttonId, const QString& path) {
    QCOMPARE(modal::Drive([this, buttonId] { Button(buttonId)->click(); }, {modal::Choose(path)}),
             std::size_t{1});
}

void TestCommands::Cancel(int buttonId) {
    QCOMPARE(modal::Drive([this, buttonId] { Button(buttonId)->click(); }, {modal::Cancel()}),
             std::size_t{1});
}

void TestCommands::roadOfOneComparison() {
    Load1(Q(abc_));
    QCOMPARE(Rows(dialog_->m_listOnly1), (QStringList{"A", "B", "C"}));
    QVERIFY(Rows(dialog_->m_listOnly2).isEmpty());
    QVERIFY(Rows(dialog_->m_listCommon).isEmpty());
    QCOMPARE(Field("IDC_PATH1_EDIT"), Q(abc_).toUpper());
    QCOMPARE(Field("IDC_PATH2_EDIT"), QStringLiteral(" "));

    Load2(Q(bcd_));
    QCOMPARE(Rows(dialog_->m_listCommon), (QStringList{"B", "C"}));
    QCOMPARE(Rows(dialog_->m_listOnly1), QStringList{"A"});
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"D"});
    QCOMPARE(Field("IDC_PATH2_EDIT"), Q(bcd_).toUpper());

    Select(dialog_->m_listCommon, "B");
    QCOMPARE(Field("IDC_COMMON_SYMBOL"), QStringLiteral("B"));
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("Bauteil neu"));  // library 2's
    QCOMPARE(Field("IDC_COMMON_CLASS1"), QStringLiteral("K2b"));
    QCOMPARE(Field("IDC_COMMON_CLASS2"), QStringLiteral("G2b"));
    QVERIFY(Field("IDC_LIB1_SYMBOL").isEmpty());
    QVERIFY(Field("IDC_LIB2_SYMBOL").isEmpty());
}

void TestCommands::selectionShowsTheTableBehindEachList() {
    Load1(Q(abc_));
    Load2(Q(bcd_));
    Select(dialog_->m_listOnly1, "A");
    Select(dialog_->m_listOnly2, "D");
    Select(dialog_->m_listCommon, "C");  // slot 1 of the common table
    QCOMPARE(Field("IDC_LIB1_SYMBOL"), QStringLiteral("A"));
    QCOMPARE(Field("IDC_LIB1_DESIGNATION"), QStringLiteral("Anschluss"));
    QCOMPARE(Field("IDC_LIB2_CLASS2"), QStringLiteral("G4"));
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("Relais"));
    Select(dialog_->m_listCommon, "B");  // slot 0
    QCOMPARE(Field("IDC_COMMON_CLASS1"), QStringLiteral("K2b"));
    // The other columns keep what they showed.
    QCOMPARE(Field("IDC_LIB1_SYMBOL"), QStringLiteral("A"));
    QCOMPARE(Field("IDC_LIB2_SYMBOL"), QStringLiteral("D"));
}

void TestCommands::cancelOnTheSecondButtonRepeatsTheComparison() {
    Load1(Q(abc_));
    Load2(Q(bcd_));
    Select(dialog_->m_listOnly1, "A");
    const Screen before = Look();
    Cancel(IDC_LOAD2_BUTTON);
    Screen after = Look();
    QCOMPARE(after.common, before.common);
    QCOMPARE(after.only1, before.only1);
    QCOMPARE(after.only2, before.only2);
    QCOMPARE(after.fields, before.fields);

    // Cancelling before any library 2: everything of library 1 is only in 1.
    init();
    Load1(Q(abc_));
    Cancel(IDC_LOAD2_BUTTON);
    QCOMPARE(Rows(dialog_->m_listOnly1), (QStringList{"A", "B", "C"}));
    QVERIFY(Rows(dialog_->m_listCommon).isEmpty());
}

void TestCommands::cancelOnTheFirstButtonEmptiesTheLists() {
    Load1(Q(abc_));
    Load2(Q(bcd_));
    Select(dialog_->m_listCommon, "C");
    const Screen before = Look();
    Cancel(IDC_LOAD1_BUTTON);
    const Screen after = Look();
    QVERIFY(after.only1.isEmpty() && after.only2.isEmpty() && after.common.isEmpty());
    QCOMPARE(after.fields, before.fields);  // paths and details unchanged
    QCOMPARE(dialog_->m_listCommon->CurrentSelection(), -1);
}

void TestCommands::enterOnALoadButtonStartsItsCommand() {
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QPushButton* load1 = Button(IDC_LOAD1_BUTTON);
    load1->setFocus();
    QCOMPARE(
        modal::Drive([load1] { QTest::keyClick(load1, Qt::Key_Return); }, {modal::Choose(Q(abc_))}),
        std::size_t{1});
    QVERIFY(dialog_->isVisible());  // not closed: the focused button took the Enter key
    QCOMPARE(Rows(dialog_->m_listOnly1), (QStringList{"A", "B", "C"}));
}

// Names that differ only in case, and a name held twice: the keyboard alone
// walks from the first row to the last, each row stays selected and shows its
// own fields (the last record of a name held twice). The first Down after
// tabbing into the list selects the first row.
void TestCommands::caseVariantsAreSelectedExactly() {
    const auto lib = dir_.Write("mm.1", LongLibrary({{"motor", "klein"},
                                                     {"Motor", "gross"},
                                                     {"Pumpe", "p1"},
                                                     {"Pumpe", "p2"},
                                                     {"MOTOR", "laut"},
                                                     {"Ventil", "v"}}));
    Load1(Q(lib));
    SymbolListBox* list = dialog_->m_listOnly1;
    QCOMPARE(Rows(list), (QStringList{"MOTOR", "Motor", "motor", "Pumpe", "Pumpe", "Ventil"}));
    const QStringList designations{"laut", "gross", "klein", "p2", "p2", "v"};
    dialog_->activateWindow();  // the chooser had it
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    Button(IDOK)->setFocus();
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_Tab);  // the next tab stop: the list
    QCOMPARE(QApplication::focusWidget(), list);
    for (int row = 0; row < designations.size(); ++row) {
        QTest::keyClick(dialog_->windowHandle(), Qt::Key_Down);
        QCOMPARE(list->CurrentSelection(), row);
        QCOMPARE(Field("IDC_LIB1_SYMBOL"), Rows(list)[row]);
        QCOMPARE(Field("IDC_LIB1_DESIGNATION"), designations[row]);
    }
    // A click on the second "Pumpe" keeps that row selected.
    ClickRow(list, 4);
    QCOMPARE(list->CurrentSelection(), 4);
}

void TestCommands::shortAfterLongShowsNoClassifications() {
    Load1(Q(abc_));
    const auto shortLib = dir_.Write("short.1", ShortLibrary({{"A", "Kurz"}}));
    Load1(Q(shortLib));
    Select(dialog_->m_listOnly1, "A");
    QCOMPARE(Field("IDC_LIB1_DESIGNATION"), QStringLiteral("Kurz"));
    QVERIFY(Field("IDC_LIB1_CLASS1").isEmpty());
    QVERIFY(Field("IDC_LIB1_CLASS2").isEmpty());
}

void TestCommands::smallerLibraryAfterALargerOne() {
    Load2(Q(abc_));
    const auto one = dir_.Write("one.1", LongLibrary({{"C", "nur eins"}}));
    Load2(Q(one));
    QCOMPARE(lib2Count, 1);
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"C"});
}

void TestCommands::failingLoadShowsAMessageAndChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("missing") << "missing"
                             << "existiert nicht";
    QTest::addRow("directory") << "directory"
                               << "Ordner";
    QTest::addRow("not a library") << "rejected"
                                   << "keine Symbolbibliothek";
}

void TestCommands::failingLoadShowsAMessageAndChangesNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Load1(Q(abc_));
    Load2(Q(bcd_));
    Select(dialog_->m_listOnly2, "D");
    Cancel(IDC_LOAD1_BUTTON);  // the lists are empty after a cancelled load of library 1
    const Screen before = Look();

    const auto bad = dir_.Write("bad.1", std::string(200000, 'A'));
    // The chooser only accepts existing files: the file goes away or turns
    // into a folder between choosing and reading.
    auto spoil = [bad, kind] {
        if (kind == QLatin1String("rejected")) return;
        std::filesystem::remove(bad);
        if (kind == QLatin1String("directory")) std::filesystem::create_directory(bad);
    };
    // A file of 'A's is asked about first; "Ja" reads on into the refusal.
    std::vector<modal::Step> steps{modal::Choose(Q(bad), spoil)};
    if (kind == QLatin1String("rejected")) steps.push_back(modal::Answer(QMessageBox::Yes));
    QString message;
    steps.push_back(modal::CloseMessage(&message));
    QCOMPARE(modal::Drive([this] { Button(IDC_LOAD1_BUTTON)->click(); }, steps), steps.size());
    QVERIFY2(message.contains(Q(bad)), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(Look(), before);
    QCOMPARE(lib1Count, 3);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(bad, ignored);
}

void TestCommands::failingSecondLoadStillCompares() {
    Load1(Q(abc_));
    Load2(Q(bcd_));
    const Screen before = Look();
    const auto bad = dir_.Write("bad2.1", std::string(200000, 'A'));
    QString message;
    QCOMPARE(modal::Drive([this] { Button(IDC_LOAD2_BUTTON)->click(); },
                          {modal::Choose(Q(bad)), modal::Answer(QMessageBox::Yes),
                           modal::CloseMessage(&message)}),
             std::size_t{3});
    QVERIFY(message.contains(QStringLiteral("keine Symbolbibliothek")));
    QCOMPARE(Look(), before);  // path 2 as before, lists from the tables as they stand
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestCommands::mouseReachesEachList_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("symbolField");
    QTest::addColumn<QString>("designation");
    QTest::addRow("only in 1") << "IDC_ONLY1_LIST"
                               << "IDC_LIB1_SYMBOL"
                               << "eins";
    QTest::addRow("only in 2") << "IDC_ONLY2_LIST"
                               << "IDC_LIB2_SYMBOL"
                               << "zwei";
    QTest::addRow("common") << "IDC_COMMON_LIST"
                            << "IDC_COMMON_SYMBOL"
                            << "zwei";
}

// A click on row k, through the window, selects row k and shows its fields;
// the wheel over the list scrolls it.
void TestCommands::mouseReachesEachList() {
    QFETCH(QString, list);
    QFETCH(QString, symbolField);
    QFETCH(QString, designation);
    std::vector<LongRecord> lib1, lib2;
    for (int i = 0; i < 60; ++i) {
        lib1.push_back({Numbered("G", 100 + i), "eins"});
        lib1.push_back({Numbered("E", 100 + i), "eins"});
        lib2.push_back({Numbered("G", 100 + i), "zwei"});
        lib2.push_back({Numbered("Z", 100 + i), "zwei"});
    }
    Load1(Q(dir_.Write("m1.1", LongLibrary(lib1))));
    Load2(Q(dir_.Write("m2.1", LongLibrary(lib2))));
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    auto* box = dialog_->findChild<SymbolListBox*>(list);
    const QStringList rows = Rows(box);
    QCOMPARE(rows.size(), 60);

    for (int k : {0, 3, 7}) {
        ClickRow(box, k);
        QCOMPARE(Field(qPrintable(symbolField)), rows[k]);
        QCOMPARE(box->selectionModel()->selectedRows().value(0).row(), k);
    }
    QCOMPARE(Field(qPrintable(symbolField.replace("SYMBOL", "DESIGNATION"))), designation);

    box->scrollToTop();
    QCOMPARE(box->verticalScrollBar()->value(), 0);
    TurnWheel(box, 2);
    QVERIFY(box->verticalScrollBar()->value() > 0);
}

// A name held twice in one library shows the fields of its last record, in
// every list.
void TestCommands::detailsShowTheLastOfDuplicateRecords() {
    Load1(Q(dir_.Write(
        "d1.1",
        LongLibrary({{"D", "1a", "k", "g"}, {"D", "1b", "k", "g"}, {"C", "c1", "k", "g"}}))));
    Load2(Q(dir_.Write("d2.1", LongLibrary({{"E", "2a", "k", "g"},
                                            {"E", "2b", "k", "g"},
                                            {"C", "c2a", "k", "g"},
                                            {"C", "c2b", "k", "g"}}))));
    QCOMPARE(Rows(dialog_->m_listCommon), (QStringList{"C", "C"}));
    Select(dialog_->m_listOnly1, "D");
    Select(dialog_->m_listOnly2, "E");
    Select(dialog_->m_listCommon, "C");
    QCOMPARE(Field("IDC_LIB1_DESIGNATION"), QStringLiteral("1b"));
    QCOMPARE(Field("IDC_LIB2_DESIGNATION"), QStringLiteral("2b"));
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("c2b"));
}

// After a new library 1, cancelling the second chooser compares it with the
// library 2 loaded before.
void TestCommands::cancelAfterANewLibrary1RebuildsAllLists() {
    Load1(Q(abc_));
    Load2(Q(bcd_));
    Load1(Q(dir_.Write("cd.1", LongLibrary({{"C"}, {"D"}, {"E"}}))));
    QVERIFY(Rows(dialog_->m_listCommon).isEmpty());
    Cancel(IDC_LOAD2_BUTTON);
    QCOMPARE(Rows(dialog_->m_listCommon), (QStringList{"C", "D"}));
    QCOMPARE(Rows(dialog_->m_listOnly1), QStringList{"E"});
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"B"});
}

// After ten records and then three, a name that stood in an old slot above
// the new count shows the new record's fields.
void TestCommands::lookupIgnoresSlotsAboveTheCount() {
    std::vector<LongRecord> ten;
    for (int i = 1; i <= 10; ++i) ten.push_back({Numbered("OLD", i), "alt"});
    Load1(Q(dir_.Write("ten.1", LongLibrary(ten))));
    Load1(Q(dir_.Write("three.1", LongLibrary({{"A"}, {"OLD7", "neu"}, {"B"}}))));
    Select(dialog_->m_listOnly1, "OLD7");
    QCOMPARE(Field("IDC_LIB1_DESIGNATION"), QStringLiteral("neu"));
}

// Bytes 0x80-0x9F are Windows-1252 characters, not Latin-1 controls, in rows
// and fields; ß, Œ, Š, Ž and Ÿ sort with s, o, s, z and y.
void TestCommands::windows1252InRowsFieldsAndOrder() {
    Load1(Q(dir_.Write("cp.1", LongLibrary({{"Zebra"},
                                            {"\x9F"
                                             "acht"},
                                            {"\x8E"
                                             "ange"},
                                            {"\x8C"
                                             "l",
                                             "\x80 5 \x84Preis\x93 \x85 \x99 \x9C\x9A\x9E"},
                                            {"Oma"},
                                            {"\x8A"
                                             "aal"},
                                            {"Saat"},
                                            {"Ma\xDF"},
                                            {"Mast"}}))));
    QCOMPARE(Rows(dialog_->m_listOnly1),
             (QStringList{"Maß", "Mast", "Œl", "Oma", "Šaal", "Saat", "Ÿacht", "Žange", "Zebra"}));
    Select(dialog_->m_listOnly1, QStringLiteral("Œl"));
    QCOMPARE(Field("IDC_LIB1_SYMBOL"), QStringLiteral("Œl"));
    QCOMPARE(Field("IDC_LIB1_DESIGNATION"), QStringLiteral("€ 5 „Preis“ … ™ œšž"));
}

// The chooser: both filters, symbol files first and selected, "txt" added to
// a name without suffix, "*.1" in the name field, existing files only.
void TestCommands::fileChooserSettings() {
    dir_.Write("ohnepunkt", LongLibrary({{"A"}}));
    bool listed = false;
    QStringList filters;
    QString selected, suffix, name;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
    QCOMPARE(modal::Drive([this] { Button(IDC_LOAD1_BUTTON)->click(); }, {[&](QWidget* window) {
                              auto* chooser = qobject_cast<QFileDialog*>(window);
                              if (!chooser) return false;
                              filters = chooser->nameFilters();
                              selected = chooser->selectedNameFilter();
                              suffix = chooser->defaultSuffix();
                              mode = chooser->fileMode();
                              accept = chooser->acceptMode();
                              name = chooser->findChild<QLineEdit*>("fileNameEdit")->text();
                              // "All Files" lists every file, also one without a dot.
                              chooser->setDirectory(Q(dir_.path()));
                              auto* types = chooser->findChild<QComboBox*>("fileTypeCombo");
                              QTest::keyClick(types, Qt::Key_Down);
                              auto* files = chooser->findChild<QFileSystemModel*>();
                              const QModelIndex folder = files->index(Q(dir_.path()));
                              listed = QTest::qWaitFor(
                                  [&] {
                                      for (int row = 0; row < files->rowCount(folder); ++row)
                                          if (files->index(row, 0, folder).data().toString() ==
                                              QLatin1String("ohnepunkt"))
                                              return true;
                                      return false;
                                  },
                                  5000);
                              chooser->reject();
                              return true;
                          }}),
             std::size_t{1});
    QVERIFY(listed);
    QCOMPARE(filters, (QStringList{"Symboldatei (*.1)", "All Files (*.*)"}));
    QCOMPARE(selected, QStringLiteral("Symboldatei (*.1)"));
    QCOMPARE(suffix, QStringLiteral("txt"));
    QCOMPARE(name, QStringLiteral("*.1"));
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(accept, QFileDialog::AcceptOpen);
}

// The wait cursor shows while the lists are filled from a read and from a
// comparison, seen from inside the lists as they fill.
void TestCommands::waitCursorWhileReadingAndComparing() {
    QStringList seen;
    for (SymbolListBox* list :
         {dialog_->m_listOnly1, dialog_->m_listOnly2, dialog_->m_listCommon}) {
        connect(&list->Model(), &QAbstractItemModel::modelReset, this, [list, &seen] {
            if (list->Model().Count() == 0) return;  // emptied, not filled
            const QCursor* cursor = QApplication::overrideCursor();
            seen << list->objectName() +
                        (cursor && cursor->shape() == Qt::WaitCursor ? ": wait" : ": none");
        });
    }
    Load1(Q(abc_));
    Load2(Q(bcd_));
    QCOMPARE(seen, (QStringList{"IDC_ONLY1_LIST: wait", "IDC_COMMON_LIST: wait",
                                "IDC_ONLY1_LIST: wait", "IDC_ONLY2_LIST: wait"}));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// A comparison that would list tens of millions of pairs is refused with a
// message naming both files and the number; the lists stay empty.
void TestCommands::tooManyPairsAreRefusedWithAMessage() {
    const std::vector<LongRecord> same(4500, LongRecord{"Platzhalter", "", "", ""});
    const QString a = Q(dir_.Write("viele1.1", LongLibrary(same)));
    const QString b = Q(dir_.Write("viele2.1", LongLibrary(same)));
    Load1(a);
    QString message;
    QCOMPARE(modal::Drive([this] { Button(IDC_LOAD2_BUTTON)->click(); },
                          {modal::Choose(b), modal::CloseMessage(&message)}),
             std::size_t{2});
    QVERIFY2(message.contains(a) && message.contains(b) && message.contains("20.250.000"),
             qPrintable(message));
    const Screen shown = Look();
    QVERIFY(shown.only1.isEmpty() && shown.only2.isEmpty() && shown.common.isEmpty());
    QCOMPARE(lib1Count, 4500);
    QCOMPARE(lib2Count, 4500);
    // A refused comparison is nothing to export.
    auto* exportAction = dialog_->findChild<QAction*>(QStringLiteral("exportAction"));
    QVERIFY(!exportAction->isEnabled());
    QVERIFY(exportAction->toolTip().contains(QStringLiteral("abgelehnt")));
}

namespace {

// What a row shows beyond its text: its tooltip (empty: none) and whether a
// sign stands beside it.
QString Note(SymbolListBox* list, const QString& text) {
    const int row = Rows(list).indexOf(text);
    return list->model()->index(row, 0).data(Qt::ToolTipRole).toString();
}
QString Described(SymbolListBox* list, const QString& text) {
    const int row = Rows(list).indexOf(text);
    return list->model()->index(row, 0).data(Qt::AccessibleDescriptionRole).toString();
}

}  // namespace

// The example libraries: Schütz and Taster have another designation in
// library 2 (short layout, so classifications are not compared); Motor is
// "motor" there.
void TestCommands::changesAreMarkedInListsAndFields() {
    const QString alt =
        QFileInfo(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-alt.1")).absoluteFilePath();
    const QString neu =
        QFileInfo(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-neu.1")).absoluteFilePath();
    Load1(alt);
    auto* status = dialog_->findChild<QLabel*>(QStringLiteral("statusLine"));
    QVERIFY2(status->accessibleName().startsWith(
                 QStringLiteral("SCHALTPLAN-ALT.1: 10 Symbole eingelesen.")),
             qPrintable(status->accessibleName()));
    Load2(neu);
    QCOMPARE(status->accessibleName(),
             QStringLiteral("6 gemeinsam, davon 2 geändert · 4 nur in Bibliothek 1 · 4 nur in "
                            "Bibliothek 2 · Klassifizierungen nicht verglichen (Bibliothek 2 im "
                            "kurzen Format) · SCHALTPLAN-ALT.1 ↔ SCHALTPLAN-NEU.1"));
    QCOMPARE(status->focusPolicy(), Qt::NoFocus);
    QCOMPARE(dialog_->findChild<QLineEdit*>("IDC_PATH2_EDIT")->toolTip(), neu);

    QStringList marked;
    for (const QString& row : Rows(dialog_->m_listCommon))
        if (Described(dialog_->m_listCommon, row).startsWith(QStringLiteral("geändert: ")))
            marked << row;
    QCOMPARE(marked, (QStringList{"Schütz", "Taster"}));
    QVERIFY(!dialog_->m_listCommon->model()->index(0, 0).data(Qt::DecorationRole).isNull());

    QCOMPARE(Note(dialog_->m_listOnly1, "Motor"), QStringLiteral("In Bibliothek 2 als „motor“"));
    QCOMPARE(Note(dialog_->m_listOnly2, "motor"), QStringLiteral("In Bibliothek 1 als „Motor“"));
    QVERIFY(Note(dialog_->m_listOnly1, "Lampe").isEmpty());

    Select(dialog_->m_listCommon, "Schütz");
    auto* designation = dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION");
    QCOMPARE(designation->text(), QStringLiteral("Leistungsschütz 4-polig"));
    QCOMPARE(PlainTip(designation), QStringLiteral("Bibliothek 1: „Leistungsschütz 3-polig“"));
    QCOMPARE(designation->accessibleDescription(),
             PlainTip(designation) + QStringLiteral(" (Unterschied: „3“ → „4“)"));
    QVERIFY(designation->palette().color(QPalette::Base) !=
            dialog_->findChild<QLineEdit*>("IDC_COMMON_SYMBOL")->palette().color(QPalette::Base));
    for (const char* name : {"IDC_COMMON_CLASS1", "IDC_COMMON_CLASS2"})
        QVERIFY(dialog_->findChild<QLineEdit*>(name)->toolTip().isEmpty());

    Select(dialog_->m_listCommon, "Relais");  // unchanged: the marks go
    QVERIFY(PlainTip(designation).isEmpty());
    QCOMPARE(designation->palette().color(QPalette::Base),
             dialog_->findChild<QLineEdit*>("IDC_COMMON_SYMBOL")->palette().color(QPalette::Base));
}

// Both long: a change in the classifications alone counts, and an empty
// value in library 1 shows as „“.
void TestCommands::classificationChangesCountWhenBothAreLong() {
    Load1(
        Q(dir_.Write("k1.1", LongLibrary({{"A", "gleich", "K", ""}, {"B", "gleich", "K", "G"}}))));
    Load2(Q(
        dir_.Write("k2.1", LongLibrary({{"A", "gleich", "K", "neu"}, {"B", "gleich", "K", "G"}}))));
    Select(dialog_->m_listCommon, "A");
    QVERIFY(Field("IDC_COMMON_DESIGNATION").size() > 0);
    QVERIFY(PlainTip(dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION")).isEmpty());
    QVERIFY(PlainTip(dialog_->findChild<QLineEdit*>("IDC_COMMON_CLASS1")).isEmpty());
    QCOMPARE(PlainTip(dialog_->findChild<QLineEdit*>("IDC_COMMON_CLASS2")),
             QStringLiteral("Bibliothek 1: „“"));
    QCOMPARE(Described(dialog_->m_listCommon, "A"),
             QStringLiteral("geändert: Klassifizierung 2: „“ → „neu“ (Unterschied: „neu“ "
                            "hinzugefügt)"));
    QVERIFY(Described(dialog_->m_listCommon, "B").isEmpty());
}

// Each common row is one pair and carries the dot exactly when its pair
// changed; the status line counts the same pairs and is what a screen
// reader reads. A name held more than once says so.
void TestCommands::duplicatedNamesCarryTheDotOfTheirPair() {
    Load1(Q(dir_.Write(
        "dup1.1",
        LongLibrary(
            {{"Dup", "a"}, {"Dup", "b"}, {"Solo", "s"}, {"K", "a"}, {"K", "b"}, {"X1"}, {"X2"}}))));
    Load2(Q(dir_.Write(
        "dup2.1", LongLibrary({{"Dup", "a"}, {"Solo", "t"}, {"K", "a"}, {"K", "c"}, {"Nur2"}}))));
    auto* status = dialog_->findChild<QLabel*>(QStringLiteral("statusLine"));
    QCOMPARE(status->accessibleName(),
             QStringLiteral("7 gemeinsam, davon 3 geändert · 2 nur in Bibliothek 1 · 1 nur in "
                            "Bibliothek 2 · DUP1.1 ↔ DUP2.1"));
    QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
             status->accessibleName());

    // Rows in display order: Dup ×2 (a/a, and b/a: library 1's "b" has no
    // twin), K ×4 (a/a, a/c, b/a, b/c), Solo.
    QStringList dotted;
    for (int row = 0; row < dialog_->m_listCommon->Model().Count(); ++row) {
        const QModelIndex index = dialog_->m_listCommon->model()->index(row, 0);
        if (index.data(Qt::AccessibleDescriptionRole).toString().startsWith("geändert"))
            dotted << QStringLiteral("%1:%2").arg(row).arg(index.data().toString());
    }
    QCOMPARE(dotted, (QStringList{"1:Dup", "5:K", "6:Solo"}));
    QCOMPARE(Described(dialog_->m_listCommon, "Dup"),
             QStringLiteral("2× in Bibliothek 1, 1× in Bibliothek 2 – die Felder zeigen den "
                            "letzten Datensatz"));
    QCOMPARE(dialog_->m_listCommon->model()->index(5, 0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("geändert: Bezeichnung: „b“ → „c“ (Unterschied: „b“ → „c“)\n2× in "
                            "Bibliothek 1, 2× in Bibliothek 2 – die Felder zeigen den letzten "
                            "Datensatz"));
    Select(dialog_->m_listCommon, "K");  // any K row shows the last pair: b -> c
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("c"));
    QCOMPARE(PlainTip(dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION")),
             QStringLiteral("Bibliothek 1: „b“"));
}

// The review of what changed, with the keyboard alone: Strg+F and typing
// narrow the lists, Escape empties the search; Alt+G shows only the changes;
// Alt+↓ and Alt+↑ step from change to change, showing fields, marks and the
// line of old and new values; past the last change the selection stays.
void TestCommands::reviewingTheChanges() {
    Load1(
        QFileInfo(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-alt.1")).absoluteFilePath());
    Load2(
        QFileInfo(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-neu.1")).absoluteFilePath());
    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QWindow* window = dialog_->windowHandle();
    auto* status = dialog_->findChild<QLabel*>(QStringLiteral("statusLine"));
    auto* line = dialog_->findChild<QLabel*>(QStringLiteral("changeLine"));
    auto* search = dialog_->findChild<QLineEdit*>(QStringLiteral("search"));
    const auto spoken = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    QCOMPARE(spoken(search), QStringLiteral("Suche"));
    QCOMPARE(spoken(dialog_->findChild<QWidget*>("nextChange")),
             QStringLiteral("Nächste Änderung"));
    QCOMPARE(spoken(dialog_->findChild<QWidget*>("previousChange")),
             QStringLiteral("Vorherige Änderung"));

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), search);
    for (char c : {'s', 'c', 'h'}) QTest::keyClick(window, c);
    QCOMPARE(Rows(dialog_->m_listCommon), QStringList{"Schütz"});
    QVERIFY(Rows(dialog_->m_listOnly1).isEmpty());
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"Schalter"});
    QCOMPARE(status->accessibleName(),
             QStringLiteral("Gezeigt: 1 von 6 gemeinsam · 0 von 4 nur in "
                            "Bibliothek 1 · 1 von 4 nur in Bibliothek 2"));
    Select(dialog_->m_listCommon, "Schütz");
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("Leistungsschütz 4-polig"));
    QCOMPARE(PlainTip(line),
             QStringLiteral("Schütz – Bezeichnung: „Leistungsschütz 3-polig“ → „Leistungsschütz "
                            "4-polig“"));
    // A screen reader also hears what differs.
    QCOMPARE(line->accessibleDescription(),
             PlainTip(line) + QStringLiteral(" (Unterschied: „3“ → „4“)"));
    search->setFocus();
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(dialog_->isVisible());
    QVERIFY(search->text().isEmpty());
    QCOMPARE(Rows(dialog_->m_listCommon).size(), 6);
    QVERIFY(
        status->accessibleName().endsWith(QStringLiteral("SCHALTPLAN-ALT.1 ↔ SCHALTPLAN-NEU.1")));

    QTest::keyClick(window, Qt::Key_G, Qt::AltModifier);  // clicked as a user clicks it
    QTRY_COMPARE(Rows(dialog_->m_listCommon), (QStringList{"Schütz", "Taster"}));
    QVERIFY(status->accessibleName().startsWith(
        QStringLiteral("Gezeigt: 2 von 6 gemeinsam (nur geänderte)")));
    QTest::keyClick(window, Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(Rows(dialog_->m_listCommon).size(), 6);

    // From the first change to the last and back, whatever has the focus.
    dialog_->m_listOnly1->setFocus();
    const auto step = [&](Qt::Key key) {
        QTest::keyClick(window, key, Qt::AltModifier);
        const int row = dialog_->m_listCommon->CurrentSelection();
        return row >= 0 ? Rows(dialog_->m_listCommon)[row] : QString();
    };
    // The search found "Schütz" and Escape emptied it: it stays selected,
    // and stepping goes on from it.
    QCOMPARE(Rows(dialog_->m_listCommon)[dialog_->m_listCommon->CurrentSelection()],
             QStringLiteral("Schütz"));
    QCOMPARE(step(Qt::Key_Down), QStringLiteral("Taster"));
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("Drucktaster Öffner"));
    QCOMPARE(PlainTip(dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION")),
             QStringLiteral("Bibliothek 1: „Drucktaster Schließer“"));
    QVERIFY(status->accessibleName().startsWith(QStringLiteral("Änderung 2 von 2 · 6 gemeinsam")));
    // Past the last change: said once, then round to the first.
    QCOMPARE(step(Qt::Key_Down), QStringLiteral("Taster"));
    QVERIFY(status->accessibleName().startsWith(
        QStringLiteral("Letzte Änderung – Alt+↓ beginnt wieder bei der ersten · ")));
    QCOMPARE(step(Qt::Key_Down), QStringLiteral("Schütz"));
    QVERIFY(status->accessibleName().startsWith(QStringLiteral("Änderung 1 von 2 · ")));
    QCOMPARE(step(Qt::Key_Up), QStringLiteral("Schütz"));
    QVERIFY(status->accessibleName().startsWith(
        QStringLiteral("Erste Änderung – Alt+↑ beginnt wieder bei der letzten · ")));
    // A click elsewhere takes the note away at once.
    Select(dialog_->m_listOnly1, "Lampe");
    QVERIFY(status->accessibleName().startsWith(QStringLiteral("6 gemeinsam")));
    QCOMPARE(step(Qt::Key_Up), QStringLiteral("Schütz"));  // no wrap any more: nothing before it
    QVERIFY(status->accessibleName().startsWith(QStringLiteral("Erste Änderung")));
    QCOMPARE(step(Qt::Key_Up), QStringLiteral("Taster"));

    Select(dialog_->m_listCommon, "Relais");  // unchanged: the line goes
    QVERIFY(line->text().isEmpty());
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
