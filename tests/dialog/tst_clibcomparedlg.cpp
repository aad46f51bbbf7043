// The dialog as built from its template: controls, tab order, keys, geometry,
// data exchange and the lists.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialog/clibcomparedlg.h"
#include "dialog/dialog_template.h"
#include "dialog/resource.h"
#include "dialog/symbol_list_box.h"
#include "dialog/symbol_list_model.h"
#include "dialog_driver.h"

namespace {

template <typename T = QWidget>
T* Find(const QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

class TestCLibCompareDlg : public QObject {
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void windowAndInitialState();
    void tabOrder();
    void keysClose_data();
    void keysClose();
    void geometryFollowsDialogUnits_data();
    void geometryFollowsDialogUnits();
    void labelsAreNotClipped();
    void exchangeOrder();
    void exchangeMovesValues();
    void reselectsFirstEntryBeginningWith_data();
    void reselectsFirstEntryBeginningWith();
    void listsSortKeepDuplicatesAndRoundTripBytes();
    void listReportsOnlyUserSelections();
};

void TestCLibCompareDlg::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accessibleName");
    for (const ControlTemplate& t : LibCompareDialogTemplate().controls) {
        const QString caption = QString::fromUtf8(t.caption);
        QTest::addRow("%s", t.objectName)
            << QString::fromLatin1(t.objectName) << t.id << caption
            << (t.accessibleName ? QString::fromUtf8(t.accessibleName) : caption);
    }
}

void TestCLibCompareDlg::controls() {
    QFETCH(QString, name);
    QFETCH(int, id);
    QFETCH(QString, caption);
    QFETCH(QString, accessibleName);
    CLibCompareDlg dialog;
    auto* control = dialog.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->property("controlId").toInt(), id);
    QCOMPARE(control->accessibleName(), accessibleName);
    if (auto* button = qobject_cast<QPushButton*>(control)) QCOMPARE(button->text(), caption);
    if (auto* label = qobject_cast<QLabel*>(control)) QCOMPARE(label->text(), caption);
    if (auto* group = qobject_cast<QGroupBox*>(control)) QCOMPARE(group->title(), caption);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) QVERIFY(edit->isReadOnly());
}

void TestCLibCompareDlg::windowAndInitialState() {
    CLibCompareDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("TORVEX_Bibliotheks_Vergleich"));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!dialog.windowIcon().isNull());
    QVERIFY(Find<QPushButton>(dialog, "IDOK")->isDefault());
    QCOMPARE(Find<QPushButton>(dialog, "IDOK")->text(), QStringLiteral("Schließen"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), Find(dialog, "IDOK"));
    for (auto* list : dialog.findChildren<SymbolListBox*>()) QCOMPARE(list->Model().Count(), 0);
    const auto edits = dialog.findChildren<QLineEdit*>();
    QCOMPARE(edits.size(), 14);
    for (auto* edit : edits) QVERIFY(edit->text().isEmpty());
}

void TestCLibCompareDlg::tabOrder() {
    CLibCompareDlg dialog;
    QStringList expected = {
        "IDOK",           "IDC_ONLY1_LIST",   "IDC_ONLY2_LIST",   "IDC_PATH1_EDIT",
        "IDC_PATH2_EDIT", "IDC_LOAD1_BUTTON", "IDC_LOAD2_BUTTON", "IDC_COMMON_LIST"};
    for (const char* column : {"LIB1", "LIB2", "COMMON"})
        for (const char* field : {"SYMBOL", "DESIGNATION", "CLASS1", "CLASS2"})
            expected << QStringLiteral("IDC_%1_%2").arg(column, field);
    QStringList chain;
    QWidget* w = Find(dialog, "IDOK");
    for (int i = 0; i < expected.size(); ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
        chain << w->objectName();
    }
    QCOMPARE(chain, expected);
}

void TestCLibCompareDlg::keysClose_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::addRow("Enter on Schließen") << "IDOK" << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::addRow("Enter in a list")
        << "IDC_COMMON_LIST" << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::addRow("Enter in a field")
        << "IDC_LIB2_CLASS1" << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::addRow("Space on Schließen") << "IDOK" << int(Qt::Key_Space) << int(QDialog::Accepted);
    QTest::addRow("Escape") << "IDC_ONLY1_LIST" << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestCLibCompareDlg::keysClose() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, result);
    CLibCompareDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* target = dialog.findChild<QWidget*>(focus);
    target->setFocus();
    QSignalSpy finished(&dialog, &QDialog::finished);
    QTest::keyClick(target, static_cast<Qt::Key>(key));
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), result);
    QVERIFY(!dialog.isVisible());
}

void TestCLibCompareDlg::geometryFollowsDialogUnits_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("dialogUnits");
    QTest::addRow("Schließen") << "IDOK" << QRect(613, 365, 50, 16);
    QTest::addRow("only-in-1 list") << "IDC_ONLY1_LIST" << QRect(31, 60, 182, 222);
    QTest::addRow("path 2") << "IDC_PATH2_EDIT" << QRect(444, 42, 219, 14);
    QTest::addRow("common class 2") << "IDC_COMMON_CLASS2" << QRect(306, 343, 124, 14);
    QTest::addRow("common frame") << "groupCommon" << QRect(234, 60, 204, 306);
}

void TestCLibCompareDlg::geometryFollowsDialogUnits() {
    QFETCH(QString, name);
    QFETCH(QRect, dialogUnits);
    CLibCompareDlg dialog;
    const DialogUnits units(dialog.font());
    QVERIFY(units.baseX() > 0 && units.baseY() > 0);
    const QRect r = dialog.findChild<QWidget*>(name)->geometry();
    QCOMPARE(r.left(), (dialogUnits.x() * units.baseX() + 2) / 4);
    QCOMPARE(r.top(), (dialogUnits.y() * units.baseY() + 4) / 8);
    QCOMPARE(r.right() + 1, ((dialogUnits.x() + dialogUnits.width()) * units.baseX() + 2) / 4);
    QCOMPARE(r.bottom() + 1, ((dialogUnits.y() + dialogUnits.height()) * units.baseY() + 4) / 8);
    QCOMPARE(dialog.size(), QSize((670 * units.baseX() + 2) / 4, (388 * units.baseY() + 4) / 8));
}

// Every label shows its whole caption and stays clear of the field beside it;
// the dialog fits a 1366 x 768 screen.
void TestCLibCompareDlg::labelsAreNotClipped() {
    CLibCompareDlg dialog;
    QVERIFY(dialog.width() < 1366 - 100 && dialog.height() < 768 - 100);
    const auto edits = dialog.findChildren<QLineEdit*>();
    for (auto* label : dialog.findChildren<QLabel*>()) {
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                 qPrintable(label->text()));
        for (auto* edit : edits)
            QVERIFY2(
                !label->geometry().intersects(edit->geometry()) ||
                    label->x() + label->fontMetrics().horizontalAdvance(label->text()) <= edit->x(),
                qPrintable(label->text() + " / " + edit->objectName()));
    }
}

void TestCLibCompareDlg::exchangeOrder() {
    CLibCompareDlg dialog;
    QStringList trace;
    dialog.m_exchangeTrace = [&trace](const char* kind, int id) {
        trace << QStringLiteral("%1 %2").arg(QString::fromLatin1(kind)).arg(id);
    };
    dialog.UpdateData(true);
    QStringList expected = {"DDX_LBString 1001", "DDX_Control 1001", "DDX_Control 1002",
                            "DDX_Control 1007",  "DDX_Control 1003", "DDX_Text 1003",
                            "DDX_Text 1004"};
    for (int id = 1008; id <= 1019; ++id) expected << QStringLiteral("DDX_Text %1").arg(id);
    QCOMPARE(trace, expected);
}

void TestCLibCompareDlg::exchangeMovesValues() {
    CLibCompareDlg dialog;
    QVERIFY(dialog.m_listOnly1 && dialog.m_listOnly2 && dialog.m_listCommon && dialog.m_editPath1);
    dialog.m_strPath1 = QStringLiteral("/home/müller/Bibliothek.1");
    dialog.m_strPath2 = QStringLiteral(" ");
    for (int i = 0; i < 12; ++i) dialog.m_strDetail[i] = QStringLiteral("Feld %1").arg(i);
    dialog.UpdateData(false);
    QCOMPARE(Find<QLineEdit>(dialog, "IDC_PATH1_EDIT")->text(),
             QStringLiteral("/HOME/MÜLLER/BIBLIOTHEK.1"));
    QCOMPARE(Find<QLineEdit>(dialog, "IDC_PATH2_EDIT")->text(), QStringLiteral(" "));
    QCOMPARE(Find<QLineEdit>(dialog, "IDC_LIB1_SYMBOL")->text(), QStringLiteral("Feld 0"));
    QCOMPARE(Find<QLineEdit>(dialog, "IDC_COMMON_CLASS2")->text(), QStringLiteral("Feld 11"));

    dialog.m_strPath1.clear();
    dialog.m_strDetail[5].clear();
    dialog.UpdateData(true);  // reading back yields the upper-case path
    QCOMPARE(dialog.m_strPath1, QStringLiteral("/HOME/MÜLLER/BIBLIOTHEK.1"));
    QCOMPARE(dialog.m_strDetail[5], QStringLiteral("Feld 5"));
    QVERIFY(dialog.m_strOnly1Selection.isEmpty());
}

void TestCLibCompareDlg::reselectsFirstEntryBeginningWith_data() {
    QTest::addColumn<QByteArray>("remembered");
    QTest::addColumn<int>("selectedRow");
    // The list shows: Abzweig, X, x, X1 (X before x: fixed tie-break).
    QTest::addRow("upper case finds the first") << QByteArray("X") << 1;
    QTest::addRow("lower case finds the first too") << QByteArray("x") << 1;
    QTest::addRow("prefix") << QByteArray("ab") << 0;
    QTest::addRow("longer text") << QByteArray("X1") << 3;
    QTest::addRow("no match keeps the selection") << QByteArray("Q") << 2;
    QTest::addRow("empty matches nothing") << QByteArray() << 2;
}

void TestCLibCompareDlg::reselectsFirstEntryBeginningWith() {
    QFETCH(QByteArray, remembered);
    QFETCH(int, selectedRow);
    CLibCompareDlg dialog;
    for (const char* name : {"x", "X1", "Abzweig", "X"}) dialog.m_listOnly1->Model().Add(name);
    dialog.m_listOnly1->Model().Flush();
    dialog.m_listOnly1->SelectRowAsUser(2);
    QSignalSpy spy(dialog.m_listOnly1, &SymbolListBox::selectionChangedByUser);
    dialog.m_strOnly1Selection = remembered;
    dialog.UpdateData(false);
    QCOMPARE(dialog.m_listOnly1->CurrentSelection(), selectedRow);
    QCOMPARE(spy.size(), 0);
}

void TestCLibCompareDlg::listsSortKeepDuplicatesAndRoundTripBytes() {
    SymbolListBox list;
    SymbolList& symbols = list.Model();
    symbols.Empty();
    for (std::string_view name :
         {"motor", "Zange", "Motor", "\xC4pfel", "Abzweig", "Motor", "a\x81z", "\xFF"})
        symbols.Add(name);
    list.Model().Flush();
    // Accented letters sort with their base letter, ÿ with y.
    QCOMPARE(Rows(&list), (QStringList{"Abzweig", "Äpfel", "a\u0081z", "Motor", "Motor", "motor",
                                       "ÿ", "Zange"}));
    QCOMPARE(list.Text(1), std::string_view("\xC4pfel"));
    QCOMPARE(list.Text(2), std::string_view("a\x81z"));
    QCOMPARE(list.Text(6), std::string_view("\xFF"));
    QVERIFY(list.Text(8).empty());
    QCOMPARE(list.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(list.selectionMode(), QAbstractItemView::SingleSelection);

    // A later batch merges into the sorted list.
    symbols.Add("B");
    QCOMPARE(list.Model().Count(), 8);  // not shown before the batch is flushed
    list.Model().Flush();
    QCOMPARE(Rows(&list).mid(2, 2), (QStringList{"a\u0081z", "B"}));
    symbols.Empty();
    QCOMPARE(list.Model().Count(), 0);
}

void TestCLibCompareDlg::listReportsOnlyUserSelections() {
    SymbolListBox list;
    for (const char* name : {"A", "B", "C"}) list.Model().Add(name);
    list.Model().Flush();
    QSignalSpy spy(&list, &SymbolListBox::selectionChangedByUser);
    QCOMPARE(list.SelectFirstBeginningWith("b"), 1);
    QCOMPARE(spy.size(), 0);
    list.SelectRowAsUser(2);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(list.CurrentSelection(), 2);
    QCOMPARE(list.SelectFirstBeginningWith("z"), -1);
    QCOMPARE(list.CurrentSelection(), 2);
}

QTEST_MAIN(TestCLibCompareDlg)
#include "tst_clibcomparedlg.moc"
