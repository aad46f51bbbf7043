// The dialog's commands end to end: the real dialog, the real file chooser,
// real files.
#include <QLineEdit>
#include <QPushButton>
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

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
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

void TestCommands::caseVariantsAreSelectedExactly() {
    const auto lib = dir_.Write("xx.1", LongLibrary({{"x", "klein"}, {"X", "gross"}, {"Y", "y"}}));
    Load1(Q(lib));
    QCOMPARE(Rows(dialog_->m_listOnly1), (QStringList{"X", "x", "Y"}));
    Select(dialog_->m_listOnly1, "x");
    QCOMPARE(Field("IDC_LIB1_SYMBOL"), QStringLiteral("x"));
    QCOMPARE(Field("IDC_LIB1_DESIGNATION"), QStringLiteral("klein"));
    // The exchange re-selects the first entry beginning with "x": "X".
    QCOMPARE(dialog_->m_listOnly1->CurrentSelection(), 0);
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
    QString message;
    QCOMPARE(modal::Drive([this] { Button(IDC_LOAD1_BUTTON)->click(); },
                          {modal::Choose(Q(bad), spoil), modal::CloseMessage(&message)}),
             std::size_t{2});
    QVERIFY2(message.contains(Q(bad)), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(Look(), before);
    QCOMPARE(lib1Count, 3);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    std::filesystem::remove_all(bad);
}

void TestCommands::failingSecondLoadStillCompares() {
    Load1(Q(abc_));
    Load2(Q(bcd_));
    const Screen before = Look();
    const auto bad = dir_.Write("bad2.1", std::string(200000, 'A'));
    QString message;
    QCOMPARE(modal::Drive([this] { Button(IDC_LOAD2_BUTTON)->click(); },
                          {modal::Choose(Q(bad)), modal::CloseMessage(&message)}),
             std::size_t{2});
    QVERIFY(message.contains(QStringLiteral("keine Symbolbibliothek")));
    QCOMPARE(Look(), before);  // path 2 as before, lists from the tables as they stand
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
