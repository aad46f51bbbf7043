// Reviewing what changed, as a librarian does it with the keyboard: stepping
// from change to change while filters come and go, Enter and Escape in the
// search, what the lines under the lists say and show, export, and what a
// screen reader hears.
#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#if defined(__unix__)
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#endif

#include "dialog/clibcomparedlg.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog_driver.h"
#include "library/symbol_table.h"
#include "test_support.h"

namespace {

QString Q(const std::filesystem::path& path) {
    return QDir::fromNativeSeparators(QString::fromStdU16String(path.u16string()));
}

// Four changes among seven common names, in display order: Anschluss (a blank
// at the end), Schütz (3 → 4), Steuergerät (case only), Wächter.
const std::vector<LongRecord> kOld = {
    {"Anschluss",
     "Anschluss f\xFCr Au\xDF"
     "enleiter"},
    {"Diode", "D"},
    {"Relais", "Relais 24 V"},
    {"Sch\xFCtz", "Leistungssch\xFCtz 3-polig"},
    {"Steuerger\xE4t", "Steuerger\xE4t"},
    {"W\xE4\x63hter", "alt"},
    {"Zange", "z"},
    {"Lampe", "L"},
};
const std::vector<LongRecord> kNew = {
    {"Anschluss",
     "Anschluss f\xFCr Au\xDF"
     "enleiter "},
    {"Diode", "D"},
    {"Relais", "Relais 24 V"},
    {"Sch\xFCtz", "Leistungssch\xFCtz 4-polig"},
    {"Steuerger\xE4t", "steuerger\xE4t"},
    {"W\xE4\x63hter", "neu"},
    {"Zange", "z"},
    {"Umrichter", "U"},
};

}  // namespace

class TestReview : public QObject {
    Q_OBJECT

public:
    TestReview() {
        old_ = Q(dir_.Write("schaltplan-2023-11.1", LongLibrary(kOld)));
        new_ = Q(dir_.Write("schaltplan-2024-05.1", LongLibrary(kNew)));
    }

private slots:
    void initTestCase() { UseTestSettings(); }
    void init();
    void cleanup() { dialog_.reset(); }
    void filtersKeepThePlace();
    void steppingWithAFilter();
    void enterInTheSearch_data();
    void enterInTheSearch();
    void heldEnterPressesNothing_data();
    void heldEnterPressesNothing();
    void searchFoldsCaseAndAccents_data();
    void searchFoldsCaseAndAccents();
    void lineShowsWhatDiffers_data();
    void lineShowsWhatDiffers();
    void cutTextEndsInAnEllipsis();
    void exportOnlyWhatIsShown();
    void screenReaders();
    void reloadSaysSo();
    void outOfMemoryLeavesTheDialogUsable();

private:
    QWindow* Window() const { return dialog_->windowHandle(); }
    QString Field(const char* name) const {
        return dialog_->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    QLabel* Label(const char* name) const {
        return dialog_->findChild<QLabel*>(QString::fromLatin1(name));
    }
    QString Status() const { return Label("statusLine")->accessibleName(); }
    void Activate() { QVERIFY(::Activate(*dialog_)); }
    void Load(int buttonId, const QString& path) {
        QCOMPARE(modal::Drive(
                     [this, buttonId] { ControlById<QPushButton>(*dialog_, buttonId)->click(); },
                     {modal::Choose(path)}),
                 std::size_t{1});
        Activate();
    }
    void LoadBoth() {
        Load(IDC_LOAD1_BUTTON, old_);
        Load(IDC_LOAD2_BUTTON, new_);
    }
    // Alt+↓ (or Alt+↑) and the common row then selected ("" for none).
    QString Step(Qt::Key key) {
        QTest::keyClick(Window(), key, Qt::AltModifier);
        return Selected(dialog_->m_listCommon);
    }
    static QString Selected(SymbolListBox* list) {
        const int row = list->CurrentSelection();
        return row >= 0 ? Rows(list)[row] : QString();
    }
    void Type(const QString& text) {
        QTest::keyClick(Window(), Qt::Key_F, Qt::ControlModifier);
        for (const QChar c : text) QTest::keyClick(Window(), c.toLatin1() ? c.toLatin1() : 'x');
    }

    TempDir dir_;
    QString old_, new_;
    std::unique_ptr<CLibCompareDlg> dialog_;
};

void TestReview::init() {
    // Each test from the same two files (some change them).
    dir_.Write("schaltplan-2023-11.1", LongLibrary(kOld));
    dir_.Write("schaltplan-2024-05.1", LongLibrary(kNew));
    dialog_ = FreshDialog();
}

// Alt+G and the search keep the selected change selected while they show it;
// one they hide takes its fields with it, and stepping goes on from where it
// stood in the whole list.
void TestReview::filtersKeepThePlace() {
    LoadBoth();
    QCOMPARE(Step(Qt::Key_Down), QStringLiteral("Anschluss"));
    QCOMPARE(Step(Qt::Key_Down), QStringLiteral("Schütz"));
    QVERIFY(Status().startsWith(QStringLiteral("Änderung 2 von 4 · ")));

    QTest::keyClick(Window(), Qt::Key_G, Qt::AltModifier);  // only the changes
    QTRY_COMPARE(Rows(dialog_->m_listCommon).size(), 4);
    QCOMPARE(Selected(dialog_->m_listCommon), QStringLiteral("Schütz"));
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("Leistungsschütz 4-polig"));
    QCOMPARE(Step(Qt::Key_Down), QStringLiteral("Steuergerät"));  // the third, not the first
    QTest::keyClick(Window(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(Rows(dialog_->m_listCommon).size(), 7);
    QCOMPARE(Selected(dialog_->m_listCommon), QStringLiteral("Steuergerät"));
    const int row = dialog_->m_listCommon->CurrentSelection();
    QVERIFY(dialog_->m_listCommon->viewport()->rect().intersects(dialog_->m_listCommon->visualRect(
        dialog_->m_listCommon->model()->index(row, 0))));  // scrolled into view

    // "ch" hides Steuergerät: its fields go, and Alt+↓ goes on after it.
    Type(QStringLiteral("ch"));
    QCOMPARE(Rows(dialog_->m_listCommon), (QStringList{"Anschluss", "Schütz", "Wächter"}));
    QCOMPARE(Selected(dialog_->m_listCommon), QString());
    QVERIFY(Field("IDC_COMMON_SYMBOL").isEmpty());
    QVERIFY(Field("IDC_COMMON_DESIGNATION").isEmpty());
    QVERIFY(Label("changeLine")->text().isEmpty());
    QCOMPARE(Step(Qt::Key_Down), QStringLiteral("Wächter"));
    QCOMPARE(QApplication::focusWidget(), dialog_->m_listCommon);  // the focus went along
    QTest::keyClick(Window(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(Window(), Qt::Key_Escape);  // empties the search; Wächter stays
    QVERIFY(dialog_->isVisible());
    QCOMPARE(Rows(dialog_->m_listCommon).size(), 7);
    QCOMPARE(Selected(dialog_->m_listCommon), QStringLiteral("Wächter"));
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("neu"));

    // The only-lists keep theirs too, and "only changed" leaves them alone.
    QVERIFY(SelectText(dialog_->m_listOnly1, QStringLiteral("Lampe")));
    QVERIFY(Label("changeLine")->text().isEmpty());  // not the common symbol's line any more
    QTest::keyClick(Window(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(Rows(dialog_->m_listCommon).size(), 4);
    QCOMPARE(Rows(dialog_->m_listOnly1), QStringList{"Lampe"});
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"Umrichter"});
    QCOMPARE(Selected(dialog_->m_listOnly1), QStringLiteral("Lampe"));
    QCOMPARE(Field("IDC_LIB1_SYMBOL"), QStringLiteral("Lampe"));
}

// With a search on, stepping walks the rows shown; with nothing selected,
// Alt+↑ selects the last change. "Only changed" stays on through F5, with
// the new changes.
void TestReview::steppingWithAFilter() {
    LoadBoth();
    Type(QStringLiteral("ch"));
    QCOMPARE(Step(Qt::Key_Up), QStringLiteral("Wächter"));
    QVERIFY(Status().startsWith(QStringLiteral("Änderung 3 von 3 · Gezeigt: 3 von 7")));
    QCOMPARE(Step(Qt::Key_Up), QStringLiteral("Schütz"));  // Steuergerät is not shown
    QCOMPARE(Step(Qt::Key_Up), QStringLiteral("Anschluss"));
    QCOMPARE(Step(Qt::Key_Up), QStringLiteral("Anschluss"));
    QVERIFY(Status().startsWith(QStringLiteral("Erste Änderung")));
    QTest::keyClick(Window(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(Window(), Qt::Key_Escape);

    QTest::keyClick(Window(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(Rows(dialog_->m_listCommon).size(), 4);
    std::vector<LongRecord> newer = kNew;
    newer[1][1] = "Diode neu";  // a fifth change
    dir_.Write("schaltplan-2024-05.1", LongLibrary(newer));
    QTest::keyClick(Window(), Qt::Key_F5);
    QCOMPARE(Rows(dialog_->m_listCommon),
             (QStringList{"Anschluss", "Diode", "Schütz", "Steuergerät", "Wächter"}));
}

void TestReview::enterInTheSearch_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("field");
    QTest::addRow("common first") << "ch"
                                  << "IDC_COMMON_LIST"
                                  << "Anschluss"
                                  << "IDC_COMMON_SYMBOL";
    QTest::addRow("then library 1") << "lam"
                                    << "IDC_ONLY1_LIST"
                                    << "Lampe"
                                    << "IDC_LIB1_SYMBOL";
    QTest::addRow("then library 2") << "umr"
                                    << "IDC_ONLY2_LIST"
                                    << "Umrichter"
                                    << "IDC_LIB2_SYMBOL";
    QTest::addRow("nothing found") << "xyz"
                                   << "search"
                                   << ""
                                   << "";
}

// Enter in the search goes to the first entry shown, never to "Schließen".
void TestReview::enterInTheSearch() {
    QFETCH(QString, typed);
    QFETCH(QString, list);
    QFETCH(QString, row);
    QFETCH(QString, field);
    LoadBoth();
    Type(typed);
    QTest::keyClick(Window(), Qt::Key_Return);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(QApplication::focusWidget()->objectName(), list);
    if (row.isEmpty()) return;
    QCOMPARE(Selected(static_cast<SymbolListBox*>(QApplication::focusWidget())), row);
    QCOMPARE(Field(field.toLatin1().constData()), row);
}

void TestReview::heldEnterPressesNothing_data() {
    QTest::addColumn<QString>("focus");
    QTest::addRow("Schließen") << "IDOK";
    QTest::addRow("a list") << "IDC_COMMON_LIST";
    QTest::addRow("a field") << "IDC_LIB1_SYMBOL";
}

// The repeats of a held Enter (one that began in a file chooser, say) press
// no button; a fresh press still closes.
void TestReview::heldEnterPressesNothing() {
    QFETCH(QString, focus);
    dialog_->findChild<QWidget*>(focus)->setFocus();
    for (int i = 0; i < 5; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                         true);
        QGuiApplication::sendEvent(Window(), &repeat);
    }
    QVERIFY(dialog_->isVisible());
    QTest::keyClick(Window(), Qt::Key_Return);
    QVERIFY(!dialog_->isVisible());
}

void TestReview::searchFoldsCaseAndAccents_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::addRow("accent typed, folded") << "schü" << QStringList{"SCHUTZ", "Schütz"};
    QTest::addRow("without accent") << "schu" << QStringList{"SCHUTZ", "Schütz"};
    QTest::addRow("at the very end") << "ütz" << QStringList{"SCHUTZ", "Schütz"};
    QTest::addRow("euro") << "€" << QStringList{"Preis 5 €"};
    QTest::addRow("S caron") << "Ša" << QStringList{"Šalter"};
    QTest::addRow("OE") << "œ" << QStringList{"Œuvre"};
    QTest::addRow("low quote") << "„" << QStringList{"„Zitat“"};
    QTest::addRow("not in the code page") << "→" << QStringList{};
}

// Typed text finds names ignoring case and accents, also characters that
// Windows-1252 keeps in 0x80-0x9F.
void TestReview::searchFoldsCaseAndAccents() {
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    Load(IDC_LOAD1_BUTTON, Q(dir_.Write("zeichen.1", LongLibrary({{"Sch\xFCtz"},
                                                                  {"SCHUTZ"},
                                                                  {"Preis 5 \x80"},
                                                                  {"\x8A"
                                                                   "alter"},
                                                                  {"\x8Cuvre"},
                                                                  {"\x84Zitat\x93"},
                                                                  {"Relais"}}))));
    auto* search = dialog_->findChild<QLineEdit*>(QStringLiteral("search"));
    QTest::keyClick(Window(), Qt::Key_F, Qt::ControlModifier);
    for (const QChar c : typed) {  // as the keyboard hands over a character
        QTest::sendKeyEvent(QTest::Press, search, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, search, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCOMPARE(Rows(dialog_->m_listOnly1), found);
}

void TestReview::lineShowsWhatDiffers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("bold");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QString>("field");  // the changed field's tooltip, library 1's value
    QTest::addRow("a blank at the end")
        << "Anschluss"
        << "Anschluss – Bezeichnung: „Anschluss für Außenleiter“ → „Anschluss für Außenleiter␣“"
        << "<b>␣</b>"
        << "Leerzeichen am Ende"
        << "„Anschluss für Außenleiter“";
    QTest::addRow("case only") << "Steuergerät"
                               << "Steuergerät – Bezeichnung: „Steuergerät“ → „steuergerät“"
                               << "<b>s</b>"
                               << "nur Groß- und Kleinschreibung"
                               << "„<b>S</b>teuergerät“";
    QTest::addRow("one character") << "Schütz"
                                   << "Schütz – Bezeichnung: „Leistungsschütz 3-polig“ → "
                                      "„Leistungsschütz 4-polig“"
                                   << "<b>4</b>"
                                   << "„3“ → „4“"
                                   << "„Leistungsschütz <b>3</b>-polig“";
}

// The old→new line shows blanks at the ends and the part that differs, in the
// line, its tooltip and what a screen reader hears.
void TestReview::lineShowsWhatDiffers() {
    QFETCH(QString, name);
    QFETCH(QString, line);
    QFETCH(QString, bold);
    QFETCH(QString, heard);
    QFETCH(QString, field);
    LoadBoth();
    dialog_->resize(dialog_->size() + QSize(400, 0));  // room for the whole line
    QVERIFY(SelectText(dialog_->m_listCommon, name));
    QLabel* label = Label("changeLine");
    QCOMPARE(PlainTip(label), line);
    QCOMPARE(QTextDocumentFragment::fromHtml(label->text()).toPlainText(), line);
    QVERIFY2(label->text().contains(bold), qPrintable(label->text()));
    const QString spoken =
        QAccessible::queryAccessibleInterface(label)->text(QAccessible::Description);
    QVERIFY2(spoken.contains(QStringLiteral("(Unterschied: %1)").arg(heard)), qPrintable(spoken));
    // The changed field's tooltip: library 1's value, the same marks.
    const QString tip = dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION")->toolTip();
    QVERIFY2(tip.contains(field), qPrintable(tip));
}

// Text that does not fit ends in "…", with the whole as tooltip and for
// screen readers; the counts come before the file names; a path field shows
// the file's name; a field too narrow for its value has it as tooltip.
void TestReview::cutTextEndsInAnEllipsis() {
    std::vector<LongRecord> longer = kOld;
    longer[2][1] = std::string(120, 'x');  // Relais
    const QString one = Q(dir_.Write(
        "schaltplan-der-werkstatt-mit-einem-sehr-langen-namen-2023-11.1", LongLibrary(longer)));
    const QString two = Q(dir_.Write(
        "schaltplan-der-werkstatt-mit-einem-sehr-langen-namen-2024-05.1", LongLibrary(kNew)));
    Load(IDC_LOAD1_BUTTON, one);
    Load(IDC_LOAD2_BUTTON, two);
    dialog_->resize(dialog_->minimumSize());
    QLabel* status = Label("statusLine");
    QVERIFY2(status->text().endsWith(QStringLiteral("…")), qPrintable(status->text()));
    QVERIFY(status->text().startsWith(QStringLiteral("7 gemeinsam, davon 5 geändert")));
    QCOMPARE(status->toolTip(), status->accessibleName());
    QVERIFY(status->accessibleName().endsWith(QStringLiteral("-2024-05.1")));
    QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());

    // The path fields show their ends: "…2023-11.1" and "…2024-05.1".
    for (const char* name : {"IDC_PATH1_EDIT", "IDC_PATH2_EDIT"}) {
        auto* path = dialog_->findChild<QLineEdit*>(QString::fromLatin1(name));
        QVERIFY(path->fontMetrics().horizontalAdvance(path->text()) > path->width());
        QCOMPARE(path->cursorPosition(), path->text().size());
    }
    QVERIFY(SelectText(dialog_->m_listOnly1, QStringLiteral("Lampe")));
    QVERIFY(PlainTip(dialog_->findChild<QLineEdit*>("IDC_LIB1_DESIGNATION")).isEmpty());
    QVERIFY(SelectText(dialog_->m_listCommon, QStringLiteral("Diode")));
    QVERIFY(PlainTip(dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION")).isEmpty());
    Load(IDC_LOAD1_BUTTON, one);
    QVERIFY(SelectText(dialog_->m_listOnly1, QStringLiteral("Relais")));
    QCOMPARE(PlainTip(dialog_->findChild<QLineEdit*>("IDC_LIB1_DESIGNATION")), QString(120, u'x'));
}

// Export is offered only while a comparison is shown, from anywhere with
// Strg+E; it proposes a name, writes what the lists show and says so.
void TestReview::exportOnlyWhatIsShown() {
    auto* action = dialog_->findChild<QAction*>(QStringLiteral("exportAction"));
    auto* menu = dialog_->m_listCommon->findChild<QMenu*>(QStringLiteral("contextMenu"));
    QVERIFY(menu->actions().contains(action));
    QVERIFY(menu->toolTipsVisible());
    Load(IDC_LOAD1_BUTTON, old_);
    QVERIFY(!action->isEnabled());
    QCOMPARE(action->toolTip(), QStringLiteral("Exportieren geht, sobald ein Vergleich angezeigt "
                                               "wird: erst beide Bibliotheken einlesen und "
                                               "vergleichen."));
    QCOMPARE(modal::Drive([this] { QTest::keyClick(Window(), Qt::Key_E, Qt::ControlModifier); },
                          {modal::Choose(QStringLiteral("x"))}, 300),
             std::size_t{0});  // no chooser

    Load(IDC_LOAD2_BUTTON, new_);
    QVERIFY(action->isEnabled());
    Type(QStringLiteral("ch"));  // the focus in the search field
    TempDir out;
    QString proposed;
    const QString target = Q(out.path() / "bericht.txt");
    QCOMPARE(modal::Drive([this] { QTest::keyClick(Window(), Qt::Key_E, Qt::ControlModifier); },
                          {[&](QWidget* window) {
                              auto* chooser = qobject_cast<QFileDialog*>(window);
                              if (!chooser) return false;
                              auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
                              proposed = name->text();
                              name->setText(target);
                              static_cast<QDialog*>(chooser)->accept();
                              return true;
                          }}),
             std::size_t{1});
    QCOMPARE(proposed, QStringLiteral("schaltplan-2023-11 – schaltplan-2024-05.txt"));
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    QVERIFY2(text.contains(QStringLiteral("Filter: Suche „ch“")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Steuergerät")));
    QCOMPARE(Status(), QStringLiteral("Exportiert: bericht.txt (3 Änderungen, %1 Zeilen) · "
                                      "Gezeigt: 3 von 7 gemeinsam · 0 von 1 nur in Bibliothek 1 · "
                                      "1 von 1 nur in Bibliothek 2")
                           .arg(text.count(u'\n')));

    // The next export opens where this one went.
    Activate();
    QString folder;
    modal::Drive([this] { QTest::keyClick(Window(), Qt::Key_E, Qt::ControlModifier); },
                 {[&folder](QWidget* window) {
                     auto* chooser = qobject_cast<QFileDialog*>(window);
                     if (!chooser) return false;
                     folder = chooser->directory().absolutePath();
                     chooser->reject();
                     return true;
                 }});
    QCOMPARE(folder, QDir(Q(out.path())).absolutePath());
}

// What a screen reader hears: the change of the row where the focus lands,
// that the fields are read-only, the search right after the lists.
void TestReview::screenReaders() {
    LoadBoth();
    dialog_->m_listOnly1->setFocus();
    QCOMPARE(Step(Qt::Key_Down), QStringLiteral("Anschluss"));
    SymbolListBox* common = dialog_->m_listCommon;
    QCOMPARE(QApplication::focusWidget(), common);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(common);
    QAccessibleInterface* row = list->child(common->CurrentSelection());
    QVERIFY(row);
    QCOMPARE(row->text(QAccessible::Description),
             QStringLiteral("geändert: Bezeichnung: „Anschluss für Außenleiter“ → „Anschluss für "
                            "Außenleiter␣“ (Unterschied: Leerzeichen am Ende)"));
    for (auto* field : dialog_->findChildren<QLineEdit*>()) {
        if (field->objectName() == QLatin1String("search")) continue;
        QVERIFY2(QAccessible::queryAccessibleInterface(field)->state().readOnly,
                 qPrintable(field->objectName()));
    }
    QVERIFY(!QAccessible::queryAccessibleInterface(
                 dialog_->findChild<QLineEdit*>(QStringLiteral("search")))
                 ->state()
                 .readOnly);
}

// F5 says that it read anew, and what the counts were if they changed.
void TestReview::reloadSaysSo() {
    LoadBoth();
    QTest::keyClick(Window(), Qt::Key_F5);
    QVERIFY2(Status().startsWith(QStringLiteral("Neu eingelesen um ")), qPrintable(Status()));
    QVERIFY(Status().contains(QStringLiteral(": keine Änderung der Zahlen · 7 gemeinsam")));
    std::vector<LongRecord> fewer = kNew;
    fewer.pop_back();
    dir_.Write("schaltplan-2024-05.1", LongLibrary(fewer));
    QTest::keyClick(Window(), Qt::Key_F5);
    QVERIFY2(Status().contains(QStringLiteral(" (vorher: 7 gemeinsam, davon 4 geändert · 1 nur in "
                                              "Bibliothek 1 · 1 nur in Bibliothek 2) · 7 "
                                              "gemeinsam, davon 4 geändert · 1 nur in Bibliothek "
                                              "1 · 0 nur in Bibliothek 2")),
             qPrintable(Status()));
}

// Under a memory limit, loading and comparing either works or says that
// memory ran out, naming the file; the dialog stays usable with empty lists.
void TestReview::outOfMemoryLeavesTheDialogUsable() {
#if !defined(__unix__) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    QSKIP("needs a limit on the address space");
#else
    QString big;
    {
        std::vector<LongRecord> many;
        for (int i = 0; i < 400000; ++i)
            many.push_back({Numbered("Symbol", i), Numbered("Bezeichnung ", i), "K", "G"});
        big = Q(dir_.Write("gross.1", LongLibrary(many)));
    }
    const auto addressSpace = [] {
        malloc_trim(0);  // what is free goes back, so that the limit counts

        std::ifstream statm("/proc/self/statm");
        long pages = 0;
        statm >> pages;
        return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    };
    rlimit before{};
    getrlimit(RLIMIT_AS, &before);
    int refused = 0, compared = 0;
    // Megabytes more than the process holds: room for the file chooser's
    // threads but not for the library (58 MB), up to plenty.
    for (const rlim_t extra : {40, 64, 96, 160, 320, 1536}) {
        init();
        rlimit tight = before;
        tight.rlim_cur = addressSpace() + extra * 1024 * 1024;
        QStringList messages;
        const auto choose = [&](const QString& path) {
            return std::vector<modal::Step>{modal::Choose(path), [&messages](QWidget* window) {
                                                auto* box = qobject_cast<QMessageBox*>(window);
                                                if (!box) return false;
                                                messages << box->text();
                                                box->accept();
                                                return true;
                                            }};
        };
        setrlimit(RLIMIT_AS, &tight);
        modal::Drive([this] { ControlById<QPushButton>(*dialog_, IDC_LOAD1_BUTTON)->click(); },
                     choose(big), 3000);
        modal::Drive([this] { ControlById<QPushButton>(*dialog_, IDC_LOAD2_BUTTON)->click(); },
                     choose(big), 3000);
        setrlimit(RLIMIT_AS, &before);
        for (const QString& message : messages)
            QVERIFY2(message.startsWith(QStringLiteral("Nicht genug Arbeitsspeicher, um „")) &&
                         message.contains(QStringLiteral("gross.1")),
                     qPrintable(message));
        if (!messages.isEmpty()) {
            ++refused;
            QVERIFY(Rows(dialog_->m_listCommon).isEmpty());
            QVERIFY(Rows(dialog_->m_listOnly2).isEmpty());
        } else if (Rows(dialog_->m_listCommon).size() == 400000) {
            ++compared;
        }
        // Still usable: a small library loads as ever.
        Load(IDC_LOAD1_BUTTON, old_);
        QCOMPARE(Rows(dialog_->m_listOnly1).size(), 8);
    }
    QVERIFY(refused > 0);
    QVERIFY(compared > 0);
#endif
}

QTEST_MAIN(TestReview)
#include "tst_review.moc"
