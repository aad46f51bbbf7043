// Taking differences over in the dialog, as a librarian does: a changed
// symbol, an addition and a removal through the keys and the lists' menu
// entries, undo and redo, the marks of unsaved changes, saving (in place and
// elsewhere) and the question before unsaved changes would be lost.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "dialog/clibcomparedlg.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog_driver.h"
#include "test_support.h"

namespace {

QString Q(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::vector<LongRecord> kOld = {
    {"Sch\xFCtz", "Leistungssch\xFCtz 4-polig", "K1", "G"},
    {"Relais", "Relais 24 V", "R", "G"},
    {"Motor", "Drehstrommotor", "M", "G"},
};
const std::vector<LongRecord> kNew = {
    {"Relais", "Relais 24 V", "R", "G"},
    {"Sch\xFCtz", "Leistungssch\xFCtz 3-polig", "K1", "G"},
    {"Umrichter", "Frequenzumrichter", "U", "G"},
};

}  // namespace

class TestTakeOver : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseTestSettings(); }
    void init();
    void cleanup() { dialog_.reset(); }
    void takeUndoRedoAndSave();
    void saveAsElsewhere();
    void askBeforeLosingChanges_data();
    void askBeforeLosingChanges();
    void discardOneThenCancel();
    void optionsMakeAChangeNoChange();

private:
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(dialog_->windowHandle(), key, modifiers);
    }
    QString Path2Field() const { return ControlById<QLineEdit>(*dialog_, IDC_PATH2_EDIT)->text(); }
    QAction* Action(const char* name) const {
        return dialog_->findChild<QAction*>(QString::fromLatin1(name));
    }
    // Takes Schütz's changed designation into library 2.
    void TakeSchuetz() {
        QVERIFY(SelectText(dialog_->m_listCommon, QStringLiteral("Sch\u00FCtz")));
        Key(Qt::Key_Right, Qt::AltModifier);
        QVERIFY(dialog_->windowTitle().endsWith(QStringLiteral(" *")));
    }

    TempDir dir_;
    std::filesystem::path old_, new_;
    std::string newBytes_;
    std::unique_ptr<CLibCompareDlg> dialog_;
};

void TestTakeOver::init() {
    old_ = dir_.Write("alt.1", LongLibrary(kOld));
    newBytes_ = LongLibrary(kNew);
    new_ = dir_.Write("neu.1", newBytes_);
    std::filesystem::remove(dir_.path() / "neu.1.bak");
    dialog_ = FreshDialog();
    QVERIFY(dialog_->OpenLibrary1(Q(old_)));
    dialog_->OpenLibrary2AndCompare(Q(new_));
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 1);
}

void TestTakeOver::takeUndoRedoAndSave() {
    // A changed symbol: no longer changed; the window and the path say that
    // library 2 holds unsaved changes; undo names the step.
    TakeSchuetz();
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 0);
    QVERIFY2(Path2Field().endsWith(QStringLiteral("(geändert)")), qPrintable(Path2Field()));
    QCOMPARE(Action("undo")->text(), QStringLiteral("Rückgängig: „Schütz“ übernehmen"));

    // A symbol only in library 1, added to library 2; one only in library 2,
    // taken out of it (from the menu entry's action).
    QVERIFY(SelectText(dialog_->m_listOnly1, QStringLiteral("Motor")));
    Key(Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(Rows(dialog_->m_listOnly1), QStringList{});
    QVERIFY(Rows(dialog_->m_listCommon).contains(QStringLiteral("Motor")));
    QVERIFY(SelectText(dialog_->m_listOnly2, QStringLiteral("Umrichter")));
    Action("removeFrom2")->trigger();
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{});
    QCOMPARE(Action("undo")->text(),
             QStringLiteral("Rückgängig: „Umrichter“ aus Bibliothek 2 entfernen"));

    // Undo back to the start: the comparison as read, no mark; redo again.
    for (int step = 0; step < 3; ++step) Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 1);
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{QStringLiteral("Umrichter")});
    QVERIFY(!dialog_->windowTitle().endsWith(QStringLiteral(" *")));
    QVERIFY(!Path2Field().contains(QStringLiteral("geändert")));
    for (int step = 0; step < 3; ++step) Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{});

    // Strg+S: library 2 written, the file before kept; library 1 now equals it.
    Key(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!dialog_->windowTitle().endsWith(QStringLiteral(" *")));
    QCOMPARE(Bytes(dir_.path() / "neu.1.bak"), newBytes_);
    QCOMPARE(Bytes(old_), LongLibrary(kOld));
    dialog_->OpenLibrary2AndCompare(Q(new_));
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 0);
    QCOMPARE(Rows(dialog_->m_listOnly1), QStringList{});
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{});
}

void TestTakeOver::saveAsElsewhere() {
    TakeSchuetz();
    const std::filesystem::path elsewhere = dir_.path() / "kopie.1";
    // Another name chosen in the chooser, which proposes the library's own.
    const modal::Step type = [&elsewhere](QWidget* window) {
        auto* chooser = qobject_cast<QFileDialog*>(window);
        if (!chooser) return false;
        chooser->selectFile(Q(elsewhere));
        static_cast<QDialog*>(chooser)->accept();
        return true;
    };
    QCOMPARE(modal::Drive([this] { Action("saveAs2")->trigger(); }, {type}), std::size_t{1});
    QCOMPARE(Bytes(new_), newBytes_);  // the file read stays as it was
    QVERIFY(Bytes(elsewhere) != newBytes_);
    QCOMPARE(Bytes(elsewhere).size(), newBytes_.size());
    QVERIFY2(Path2Field().endsWith(QStringLiteral("KOPIE.1")), qPrintable(Path2Field()));
}

void TestTakeOver::askBeforeLosingChanges_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("written");
    QTest::newRow("Abbrechen") << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("Verwerfen") << int(QMessageBox::Discard) << true << false;
    QTest::newRow("Speichern") << int(QMessageBox::Save) << true << true;
}

// Escape with unsaved changes asks first; each answer does what it says.
void TestTakeOver::askBeforeLosingChanges() {
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, written);
    TakeSchuetz();
    QString question;
    QCOMPARE(modal::Drive([this] { Key(Qt::Key_Escape); },
                          {modal::Answer(QMessageBox::StandardButton(answer), &question)}),
             std::size_t{1});
    QCOMPARE(question, QStringLiteral("Änderungen an „NEU.1“ speichern?"));
    QCOMPARE(dialog_->isVisible(), !closed);
    QCOMPARE(Bytes(new_) != newBytes_, written);
}

// Changes in both libraries, closing: library 1's discarded, then the close
// cancelled at library 2's question. The dialog stays, showing library 1 as
// read and library 2 as edited.
void TestTakeOver::discardOneThenCancel() {
    QVERIFY(SelectText(dialog_->m_listOnly2, QStringLiteral("Umrichter")));
    Key(Qt::Key_Left, Qt::AltModifier);  // added to library 1
    QVERIFY(Rows(dialog_->m_listCommon).contains(QStringLiteral("Umrichter")));
    TakeSchuetz();
    QStringList questions;
    QString question;
    const auto answer = [&](QMessageBox::StandardButton button) {
        return [&questions, &question, button](QWidget* window) {
            const bool answered = modal::Answer(button, &question)(window);
            questions << question;
            return answered;
        };
    };
    QCOMPARE(modal::Drive([this] { Key(Qt::Key_Escape); },
                          {answer(QMessageBox::Discard), answer(QMessageBox::Cancel)}),
             std::size_t{2});
    QCOMPARE(questions, (QStringList{QStringLiteral("Änderungen an „ALT.1“ speichern?"),
                                     QStringLiteral("Änderungen an „NEU.1“ speichern?")}));
    QVERIFY(dialog_->isVisible());
    QVERIFY(!Rows(dialog_->m_listCommon).contains(QStringLiteral("Umrichter")));
    QVERIFY(Rows(dialog_->m_listOnly2).contains(QStringLiteral("Umrichter")));
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 0);  // Schütz still taken
    QVERIFY(Path2Field().endsWith(QStringLiteral("(geändert)")));
    QVERIFY(!ControlById<QLineEdit>(*dialog_, IDC_PATH1_EDIT)
                 ->text()
                 .endsWith(QStringLiteral("(geändert)")));
}

// A designation that differs only in case: a change, until "Groß-/Klein-
// schreibung der Felder ignorieren" is ticked in the options (Strg+Umschalt+O);
// the status line says so, and the choice is there at the next start.
void TestTakeOver::optionsMakeAChangeNoChange() {
    const std::filesystem::path upper =
        dir_.Write("gross.1", LongLibrary({{"Sch\xFCtz", "LEISTUNGSSCH\xDCTZ 4-POLIG", "K1", "G"},
                                           {"Relais", "Relais 24 V", "R", "G"},
                                           {"Motor", "Drehstrommotor", "M", "G"}}));
    dialog_->OpenLibrary2AndCompare(Q(upper));
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 1);
    const auto tick = [this](bool on) {
        const modal::Step answer = [on](QWidget* window) {
            if (window->objectName() != QStringLiteral("comparisonOptions")) return false;
            window->findChild<QCheckBox*>(QStringLiteral("ignoreCase"))->setChecked(on);
            static_cast<QDialog*>(window)->accept();
            return true;
        };
        QCOMPARE(modal::Drive([this] { Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier); },
                              {answer}),
                 std::size_t{1});
    };
    tick(true);
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 0);
    QVERIFY2(dialog_->StatusText().contains(
                 QStringLiteral("Groß-/Kleinschreibung der Felder ignorieren")),
             qPrintable(dialog_->StatusText()));

    dialog_ = FreshDialog();  // the next start
    QVERIFY(dialog_->OpenLibrary1(Q(old_)));
    dialog_->OpenLibrary2AndCompare(Q(upper));
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 0);
    tick(false);
    QCOMPARE(dialog_->m_listCommon->Model().SignedRowCount(), 1);
}

QTEST_MAIN(TestTakeOver)
#include "tst_takeover.moc"
