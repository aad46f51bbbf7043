// The dialog as built from its template: controls, tab order, keys, geometry,
// data exchange and the lists.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStyle>
#include <QTest>

#include "app/clibcompareapp.h"
#include "dialog/clibcomparedlg.h"
#include "dialog/dialog_template.h"
#include "dialog/resource.h"
#include "dialog/screen_fit.h"
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
    void initTestCase() { UseTestSettings(); }
    void init() { ForgetWindowGeometry(); }
    void resizing();
    void fitsTheScreen();
    void placedInsideTheArea_data();
    void placedInsideTheArea();
    void controls_data();
    void controls();
    void nothingCoversAControl();
    void statusLineInTheFreeStrip();
    void windowAndInitialState();
    void titleIsTheCaptionAlone();
    void tabOrder();
    void keysClose_data();
    void keysClose();
    void labelsAreNotClipped_data();
    void labelsAreNotClipped();
    void exchangeOrder();
    void exchangeMovesValues();
    void reselectsFirstEntryBeginningWith_data();
    void reselectsFirstEntryBeginningWith();
    void listsSortKeepDuplicatesAndRoundTripBytes();
    void listReportsOnlyUserSelections();
};

namespace {

// The dialog's template written out: kind, identifier (empty for frames and
// labels), caption, and x, y, width, height in dialog units, in tab order.
struct Expected {
    const char* kind;
    const char* id;
    const char* caption;
    int x, y, w, h;
};
// clang-format off
const Expected kTemplate[] = {
    {"button", "IDOK", "Schließen", 613, 365, 50, 16},
    {"frame", "", "Bibliothek 1", 7, 4, 222, 362},
    {"frame", "", "Bibliothek 2", 444, 6, 222, 359},
    {"list", "IDC_ONLY1_LIST", "", 31, 60, 182, 222},
    {"list", "IDC_ONLY2_LIST", "", 467, 61, 180, 221},
    {"edit", "IDC_PATH1_EDIT", "", 7, 42, 221, 13},
    {"edit", "IDC_PATH2_EDIT", "", 444, 42, 219, 14},
    {"button", "IDC_LOAD1_BUTTON", "1ste Bibliothek Einlesen", 56, 17, 116, 14},
    {"button", "IDC_LOAD2_BUTTON", "2te Bibliothek Einlesen und Vergleichen", 497, 18, 127, 14},
    {"list", "IDC_COMMON_LIST", "", 266, 78, 144, 216},
    {"label", "", "Gemeinsame Symbole", 300, 66, 72, 11},
    {"label", "", "Symbole nur in Bibliothek 1", 66, 288, 92, 8},
    {"label", "", "Symbole nur in Bibliothek 2", 510, 288, 86, 8},
    {"label", "", "Symbol:", 21, 305, 40, 14},
    {"label", "", "Bezeichnung:", 21, 319, 40, 14},
    {"label", "", "Klassifizierung 1:", 21, 332, 69, 14},
    {"edit", "IDC_LIB1_SYMBOL", "", 87, 303, 124, 14},
    {"edit", "IDC_LIB1_DESIGNATION", "", 87, 318, 124, 14},
    {"edit", "IDC_LIB1_CLASS1", "", 87, 332, 124, 14},
    {"edit", "IDC_LIB1_CLASS2", "", 87, 345, 124, 14},
    {"label", "", "Klassifizierung 2:", 21, 346, 61, 14},
    {"label", "", "Symbol:", 462, 301, 40, 14},
    {"label", "", "Bezeichnung:", 462, 316, 40, 14},
    {"label", "", "Klassifizierung 1:", 462, 329, 69, 14},
    {"edit", "IDC_LIB2_SYMBOL", "", 527, 300, 124, 14},
    {"edit", "IDC_LIB2_DESIGNATION", "", 527, 314, 124, 14},
    {"edit", "IDC_LIB2_CLASS1", "", 527, 329, 124, 14},
    {"edit", "IDC_LIB2_CLASS2", "", 527, 342, 124, 14},
    {"label", "", "Klassifizierung 2:", 462, 343, 61, 14},
    {"label", "", "Symbol:", 240, 303, 40, 14},
    {"label", "", "Bezeichnung:", 240, 316, 40, 14},
    {"label", "", "Klassifizierung 1:", 240, 330, 69, 14},
    {"edit", "IDC_COMMON_SYMBOL", "", 306, 300, 124, 14},
    {"edit", "IDC_COMMON_DESIGNATION", "", 306, 316, 124, 14},
    {"edit", "IDC_COMMON_CLASS1", "", 306, 330, 124, 14},
    {"edit", "IDC_COMMON_CLASS2", "", 306, 343, 124, 14},
    {"label", "", "Klassifizierung 2:", 240, 343, 61, 14},
    {"frame", "", "", 234, 60, 204, 306},
};
// clang-format on

// The rectangle, in pixels, that dialog units map to for the dialog's font.
QRect Pixels(const QWidget& dialog, const Expected& e) {
    const DialogUnits units(dialog.font());
    const auto x = [&](int du) { return (du * units.baseX() + 2) / 4; };
    const auto y = [&](int du) { return (du * units.baseY() + 4) / 8; };
    return QRect(QPoint(x(e.x), y(e.y)), QPoint(x(e.x + e.w) - 1, y(e.y + e.h) - 1));
}

QString Caption(const QWidget* w) {
    if (auto* button = qobject_cast<const QPushButton*>(w)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(w)) return group->title();
    return {};
}

bool IsKind(const QWidget* w, const QString& kind) {
    if (kind == "button") return qobject_cast<const QPushButton*>(w);
    if (kind == "frame") return qobject_cast<const QGroupBox*>(w);
    if (kind == "list") return qobject_cast<const SymbolListBox*>(w);
    if (kind == "edit") return qobject_cast<const QLineEdit*>(w);
    return qobject_cast<const QLabel*>(w);
}

// The control that row `e` describes: by identifier, or for frames and labels
// by kind, caption and top-left corner.
QWidget* ControlFor(const QWidget& dialog, const Expected& e) {
    const QRect expected = Pixels(dialog, e);
    for (auto* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!IsKind(w, QString::fromLatin1(e.kind))) continue;
        if (*e.id ? w->objectName() == QLatin1String(e.id)
                  : Caption(w) == QString::fromUtf8(e.caption) && w->pos() == expected.topLeft())
            return w;
    }
    return nullptr;
}

}  // namespace

void TestCLibCompareDlg::controls_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < static_cast<int>(std::size(kTemplate)); ++row)
        QTest::addRow("%d %s %s", row + 1, kTemplate[row].id, kTemplate[row].caption) << row;
}

// Each control of the template is there, with its caption and rectangle.
void TestCLibCompareDlg::controls() {
    QFETCH(int, row);
    const Expected& e = kTemplate[row];
    CLibCompareDlg dialog;
    // The template's controls, and what we add: the status and change lines,
    // the search field, "Unterschiede …", "Nur geänderte" and the two steps
    // between changes.
    QCOMPARE(dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
             static_cast<qsizetype>(std::size(kTemplate)) + 7);
    const QWidget* control = ControlFor(dialog, e);
    QVERIFY(control);
    QCOMPARE(Caption(control), QString::fromUtf8(e.caption));
    const QRect expected = Pixels(dialog, e);
    if (QLatin1String(e.kind) == QLatin1String("label")) {
        // A label may run on to the right where the font is wider.
        QCOMPARE(control->pos(), expected.topLeft());
        QCOMPARE(control->height(), expected.height());
        QVERIFY(control->width() >= expected.width());
    } else {
        QCOMPARE(control->geometry(), expected);
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) QVERIFY(edit->isReadOnly());
}

// The mouse reaches every control where it is visible: at the centre of each
// control's rectangle the window's hit-testing finds that control, and a
// frame never covers what it frames.
void TestCLibCompareDlg::nothingCoversAControl() {
    CLibCompareDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const Expected& e : kTemplate) {
        QWidget* control = ControlFor(dialog, e);
        QVERIFY(control);
        QWidget* hit = dialog.childAt(control->geometry().center());
        if (QLatin1String(e.kind) == QLatin1String("frame")) {
            QVERIFY2(hit != control, e.caption);  // its centre lies on a list it frames
            continue;
        }
        QVERIFY2(hit == control || control->isAncestorOf(hit),
                 qPrintable(QStringLiteral("%1 %2 is covered by %3")
                                .arg(e.id, QString::fromUtf8(e.caption),
                                     hit ? QString::fromLatin1(hit->metaObject()->className()) +
                                               " " + Caption(hit)
                                         : QStringLiteral("nothing"))));
    }
}

// The status line lies in the free strip below the three columns, left of
// "Schließen", clear of every control.
void TestCLibCompareDlg::statusLineInTheFreeStrip() {
    CLibCompareDlg dialog;
    auto* status = Find<QLabel>(dialog, "statusLine");
    QVERIFY(status);
    QCOMPARE(status->focusPolicy(), Qt::NoFocus);
    QVERIFY(status->geometry().bottom() < dialog.height());
    for (const Expected& e : kTemplate)
        QVERIFY2(!status->geometry().intersects(ControlFor(dialog, e)->geometry()), e.caption);
}

void TestCLibCompareDlg::windowAndInitialState() {
    CLibCompareDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("TORVEX_Bibliotheks_Vergleich"));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    // No close button and no system menu in the title bar.
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowTitleHint);
    // The template's size, and room to grow and to shrink.
    const DialogUnits units(dialog.font());
    const QSize template_((670 * units.baseX() + 2) / 4, (388 * units.baseY() + 4) / 8);
    QCOMPARE(dialog.size(), template_);
    QVERIFY(dialog.minimumSize().width() < template_.width());
    QVERIFY(dialog.minimumSize().height() < template_.height());
    QVERIFY(dialog.maximumSize().width() > template_.width());
    QVERIFY(!dialog.windowIcon().isNull());
    QVERIFY(Find<QPushButton>(dialog, "IDOK")->isDefault());
    QCOMPARE(Find<QPushButton>(dialog, "IDOK")->text(), QStringLiteral("Schließen"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), Find(dialog, "IDOK"));
    for (auto* list : dialog.findChildren<SymbolListBox*>()) QCOMPARE(list->Model().Count(), 0);
    const auto edits = dialog.findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(edits.size(), 15);  // the fourteen of the template and the search field
    for (auto* edit : edits) QVERIFY(edit->text().isEmpty());
}

namespace {

// For each pair of `controls`: whether they lie apart, and whether one lies
// wholly above the other.
QList<bool> RelativeOrder(const QList<QWidget*>& controls) {
    QList<bool> order;
    for (const QWidget* a : controls)
        for (const QWidget* b : controls)
            order << !a->geometry().intersects(b->geometry())
                  << (a->geometry().bottom() < b->geometry().top());
    return order;
}

}  // namespace

// Larger, the lists take the extra height and the columns the extra width;
// smaller, down to the minimum, every list still shows five rows. The
// template's relative order holds at every size; labels and buttons keep
// their size; the size is remembered.
void TestCLibCompareDlg::resizing() {
    CLibCompareDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QList<QWidget*> controls;
    for (const Expected& e : kTemplate) controls << ControlFor(dialog, e);
    QVERIFY(!controls.contains(nullptr));
    const QList<bool> order = RelativeOrder(controls);
    QMap<QWidget*, QRect> before;
    for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        before[w] = w->geometry();
    const QSize template_ = dialog.size();
    // Rows in each list, to see how many show.
    for (auto* list : dialog.findChildren<SymbolListBox*>()) {
        for (int i = 0; i < 20; ++i) list->Model().Add("Zeile");
        list->Model().Flush();
    }
    // 301 does not divide by three: the right column takes the remainder.
    for (const QSize& size : {template_ + QSize(301, 200), dialog.minimumSize()}) {
        dialog.resize(size);
        QCOMPARE(dialog.size(), size);
        const QList<bool> now = RelativeOrder(controls);
        for (qsizetype i = 0; i < order.size(); ++i)  // what lay apart or above still does
            QVERIFY2(!order[i] || now[i], qPrintable(QString::number(i)));
        const int dy = size.height() - template_.height();
        for (auto* list : dialog.findChildren<SymbolListBox*>())
            QCOMPARE(list->height(), before[list].height() + dy);
        for (auto* button : dialog.findChildren<QPushButton*>())
            QCOMPARE(button->size(), before[button].size());
        for (auto* list : dialog.findChildren<SymbolListBox*>())  // five whole rows show
            QVERIFY2(list->viewport()->height() >= 5 * list->sizeHintForRow(0),
                     qPrintable(list->objectName()));
        const int dx = size.width() - template_.width();
        const auto grown = [&](const char* name) {
            QWidget* list = Find(dialog, name);
            return list->width() - before[list].width();
        };
        QCOMPARE(grown("IDC_ONLY1_LIST") + grown("IDC_COMMON_LIST") + grown("IDC_ONLY2_LIST"), dx);
        QCOMPARE(grown("IDC_ONLY1_LIST"), dx / 3);
        QVERIFY(dialog.rect().contains(Find(dialog, "IDOK")->geometry()));
    }
    dialog.resize(template_);
    for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QCOMPARE(w->geometry(), before[w]);

    // Closed partly off the screen, opened again on it.
    const QRect screen = dialog.screen()->availableGeometry();
    dialog.move(screen.right() - 100, screen.bottom() - 100);
    dialog.accept();
    CLibCompareDlg moved;
    moved.show();
    QVERIFY(QTest::qWaitForWindowExposed(&moved));
    QVERIFY(screen.contains(moved.frameGeometry()));
    moved.reject();

    // Closed at one size, opened again at it.
    dialog.resize(template_ + QSize(100, 50));
    dialog.accept();
    CLibCompareDlg again;
    again.show();
    QCOMPARE(again.size(), template_ + QSize(100, 50));
}

// On the screen it opens on (a laptop's, under the laptop ctest entries),
// the dialog fits: every control's centre lies on the screen.
// The placement on a screen too small for the dialog: inside the available
// area at every size and scale, also where the area's width or height is even
// and the frame takes it whole.
void TestCLibCompareDlg::placedInsideTheArea_data() {
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<qreal>("ratio");
    QTest::addRow("1366 × 768 at 125 %%") << QRect(0, 0, 1092, 614) << QSize(0, 24) << 1.25;
    QTest::addRow("1366 × 768 at 150 %%") << QRect(0, 0, 910, 512) << QSize(0, 24) << 1.5;
    QTest::addRow("frame of 4, even area") << QRect(0, 0, 1000, 608) << QSize(4, 4) << 1.0;
    QTest::addRow("odd area, panel on the left") << QRect(48, 0, 1001, 609) << QSize(2, 26) << 1.0;
    QTest::addRow("second screen") << QRect(1920, 0, 1024, 740) << QSize(0, 30) << 1.25;
}

void TestCLibCompareDlg::placedInsideTheArea() {
    QFETCH(QRect, area);
    QFETCH(QSize, frame);
    QFETCH(qreal, ratio);
    const QSize size(1173, 631), minimum(880, 360);
    const ScreenFit fit =
        FitWindow(area, QRect(QPoint(-10, -10), size + frame), size, frame, minimum, ratio);
    QVERIFY(!fit.fits);
    const QRect placed(fit.position, fit.size + frame);
    QVERIFY2(area.contains(placed), qPrintable(QStringLiteral("%1,%2 %3 × %4")
                                                   .arg(placed.x())
                                                   .arg(placed.y())
                                                   .arg(placed.width())
                                                   .arg(placed.height())));
    // In device pixels too, rounded up as the window system rounds.
    QVERIFY(std::ceil((placed.right() + 1) * ratio) <= std::floor((area.right() + 1) * ratio) + 1);
    QVERIFY(fit.size.width() >= area.width() - frame.width() - 1);  // no room wasted
}

void TestCLibCompareDlg::fitsTheScreen() {
    CLibCompareDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect screen = dialog.screen()->availableGeometry();
    QVERIFY2(screen.contains(dialog.frameGeometry()), qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                                                     .arg(dialog.width())
                                                                     .arg(dialog.height())
                                                                     .arg(screen.width())
                                                                     .arg(screen.height())));
    for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(screen.contains(w->mapToGlobal(w->rect().center())), qPrintable(w->objectName()));
}

// Platforms append an application display name to every window title, the
// dialog's and its message boxes'; the application sets none.
void TestCLibCompareDlg::titleIsTheCaptionAlone() {
    CLibCompareApp::SetIdentity();
    // Without a display name of its own the display name follows the name.
    const QString name = QGuiApplication::applicationName();
    QGuiApplication::setApplicationName(QStringLiteral("probe"));
    const QString displayName = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationName(name);
    QCOMPARE(displayName, QStringLiteral("probe"));
    CLibCompareDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("TORVEX_Bibliotheks_Vergleich"));
}

void TestCLibCompareDlg::tabOrder() {
    CLibCompareDlg dialog;
    QStringList expected = {"IDOK", "IDC_ONLY1_LIST", "IDC_ONLY2_LIST", "IDC_PATH1_EDIT",
                            "IDC_PATH2_EDIT", "IDC_LOAD1_BUTTON", "IDC_LOAD2_BUTTON",
                            "IDC_COMMON_LIST",
                            // Right after the lists: the search and the review controls.
                            "search", "differences", "onlyChanged", "previousChange", "nextChange"};
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

// Every label shows its whole caption and stays clear of the field beside it;
// the dialog fits a 1366 x 768 screen.
void TestCLibCompareDlg::labelsAreNotClipped_data() {
    QTest::addColumn<QString>("substitute");
    QTest::addRow("the dialog font") << QString();
    // As under Wine, where a wider serif face stands in for "MS Shell Dlg".
    QTest::addRow("a wider substitute") << QStringLiteral("DejaVu Serif");
}

void TestCLibCompareDlg::labelsAreNotClipped() {
    QFETCH(QString, substitute);
    const QString family = QString::fromLatin1(LibCompareDialogTemplate().fontFamily);
    const QStringList before = QFont::substitutes(family);
    if (!substitute.isEmpty()) QFont::insertSubstitution(family, substitute);
    const auto restore = qScopeGuard([&] {
        QFont::removeSubstitutions(family);
        if (!before.isEmpty()) QFont::insertSubstitutions(family, before);
    });
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
    // A caption wider than its button would lose both ends.
    const int margin = dialog.style()->pixelMetric(QStyle::PM_ButtonMargin);
    for (auto* button : dialog.findChildren<QPushButton*>())
        QVERIFY2(
            button->fontMetrics().horizontalAdvance(button->text()) <= button->width() - 2 * margin,
            qPrintable(button->text()));
}

// Writing members into controls goes in the bindings' order: the selection
// of the only-in-1 list, the two paths, then the twelve detail fields.
void TestCLibCompareDlg::exchangeOrder() {
    CLibCompareDlg dialog;
    dialog.m_listOnly1->Model().Add("Abzweig");
    dialog.m_listOnly1->Model().Flush();
    QStringList seen;
    connect(dialog.m_listOnly1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [&seen] { seen << QStringLiteral("IDC_ONLY1_LIST"); });
    for (auto* edit : dialog.findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, [&seen, edit] { seen << edit->objectName(); });
    dialog.m_strOnly1Selection = "ab";
    dialog.m_strPath1 = dialog.m_strPath2 = QStringLiteral("p");
    for (auto& detail : dialog.m_strDetail) detail = QStringLiteral("d");
    dialog.UpdateData(false);
    QStringList expected = {"IDC_ONLY1_LIST", "IDC_PATH1_EDIT", "IDC_PATH2_EDIT"};
    for (const char* column : {"LIB1", "LIB2", "COMMON"})
        for (const char* field : {"SYMBOL", "DESIGNATION", "CLASS1", "CLASS2"})
            expected << QStringLiteral("IDC_%1_%2").arg(column, field);
    QCOMPARE(seen, expected);
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
    QTest::addRow("the exact entry wins") << QByteArray("x") << 2;
    QTest::addRow("no exact entry: first beginning with") << QByteArray("x1") << 3;
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
