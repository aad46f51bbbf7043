// The everyday workflow around the commands, as a person uses it: files from
// the command line, dropped files, the last folder, F5, copy and export, and
// the question about a file that is plainly no symbol library.
#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <filesystem>
#include <fstream>

#if defined(__unix__)
#include <sys/resource.h>
#endif

#include "app/command_line.h"
#include "dialog/clibcomparedlg.h"
#include "dialog/comparison_export.h"
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

// Drags `urls` over the dialog's window to `at` and drops them there, as the
// window system delivers a drop; true if the dialog took them.
bool Drop(QWidget& dialog, const QList<QUrl>& urls, QPoint at) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QGuiApplication::sendEvent(dialog.windowHandle(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QGuiApplication::sendEvent(dialog.windowHandle(), &move);
    if (!move.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QGuiApplication::sendEvent(dialog.windowHandle(), &drop);
    return drop.isAccepted();
}

QPoint CentreOf(QWidget* widget) {
    return widget->mapTo(widget->window(), widget->rect().center());
}

}  // namespace

class TestWorkflow : public QObject {
    Q_OBJECT

public:
    TestWorkflow() {
        // Whole paths as the dialog shows them (on Windows with the drive).
        alt_ = QFileInfo(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-alt.1"))
                   .absoluteFilePath();
        neu_ = QFileInfo(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-neu.1"))
                   .absoluteFilePath();
    }

private slots:
    void initTestCase() { UseTestSettings(); }
    void init();
    void cleanup() { dialog_.reset(); }
    void startWithFiles();
    void droppedFiles();
    void lastFolder();
    void reloadAfterTheFileChanged();
    void copyFromTheContextMenuAndShortcuts();
    void exportWritesWhatTheCliWrites_data();
    void exportWritesWhatTheCliWrites();
    void failedExportLeavesTheEarlierFile();
    void exportWritesWhatIsShown();
    void doubtfulFilesAreQuestioned();

private:
    QString Field(const char* name) const {
        return dialog_->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    void Load(int buttonId, const QString& path) {
        QCOMPARE(modal::Drive(
                     [this, buttonId] { ControlById<QPushButton>(*dialog_, buttonId)->click(); },
                     {modal::Choose(path)}),
                 std::size_t{1});
        Activate();
    }
    void Activate() { QVERIFY(::Activate(*dialog_)); }

    TempDir dir_;
    QString alt_, neu_;
    std::unique_ptr<CLibCompareDlg> dialog_;
};

void TestWorkflow::init() {
    dialog_ = FreshDialog();
}

// `libcompare a.1 b.1` compares at once, without a chooser; with one file
// the library-2 path shows the blank, as after the button.
void TestWorkflow::startWithFiles() {
    const StartRequest request =
        ParseCommandLine({"libcompare", "-platform", "offscreen", alt_, neu_, "third.1"});
    QVERIFY(!request.done);
    QCOMPARE(request.files, (QStringList{alt_, neu_}));

    QCOMPARE(request.ignored, QStringList{"third.1"});
    QCOMPARE(
        modal::Drive([this, &request] { OpenStartFiles(*dialog_, request.files, request.ignored); },
                     {}),
        std::size_t{0});
    QCOMPARE(Rows(dialog_->m_listCommon).size(), 6);
    QCOMPARE(Rows(dialog_->m_listOnly2).size(), 4);
    QCOMPARE(Field("IDC_PATH2_EDIT"), neu_.toUpper());
    // What is drawn, not only what the fields hold: text-coloured pixels
    // inside each path field, within its height.
    for (const char* name : {"IDC_PATH1_EDIT", "IDC_PATH2_EDIT"}) {
        auto* field = dialog_->findChild<QLineEdit*>(QString::fromLatin1(name));
        const QImage drawn = field->grab().toImage();
        const QColor ink = field->palette().color(QPalette::Text);
        int inked = 0;
        for (int y = 2; y < drawn.height() - 2; ++y)
            for (int x = 4; x < drawn.width() - 4; ++x) {
                const QColor pixel = drawn.pixelColor(x, y);
                if (qAbs(pixel.lightness() - ink.lightness()) < 60) ++inked;
            }
        QVERIFY2(inked > 20, name);
    }
    auto* status = dialog_->findChild<QLabel*>(QStringLiteral("statusLine"));
    QVERIFY2(status->accessibleName().startsWith(QStringLiteral(
                 "Höchstens zwei Bibliotheken; nicht geöffnet: third.1. 6 gemeinsam")),
             qPrintable(status->accessibleName()));

    // Library 1 declined ("Nein" to the question): library 2 is not read.
    const QString zeros = Q(dir_.Write("nullen.1", std::string(4096, '\0')));
    lib2Count = 0;
    QCOMPARE(modal::Drive(
                 [&] {
                     OpenStartFiles(*dialog_, {zeros, neu_});
                 },
                 {modal::Answer(QMessageBox::No)}),
             std::size_t{1});
    Activate();
    QCOMPARE(lib2Count, 0);
    QVERIFY(Rows(dialog_->m_listCommon).isEmpty());
    QCOMPARE(status->accessibleName(),
             QStringLiteral("Nichts verglichen: NULLEN.1 wurde nicht eingelesen, "
                            "darum auch SCHALTPLAN-NEU.1 nicht."));

    // A name whose bytes were no UTF-8 arrives with � and is said to be unreadable.
    QString message;
    QCOMPARE(
        modal::Drive([&] { OpenStartFiles(*dialog_, {QStringLiteral("/tmp/kaputt\uFFFD.1")}); },
                     {modal::CloseMessage(&message)}),
        std::size_t{1});
    Activate();
    QVERIFY2(message.contains(QStringLiteral("lässt sich nicht lesen")), qPrintable(message));

    // A relative path, as typed in a shell, is shown whole.
    const QString here = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(LIBCOMPARE_EXAMPLES_DIR));
    OpenStartFiles(*dialog_, {QStringLiteral("schaltplan-neu.1")});
    QDir::setCurrent(here);
    QCOMPARE(Field("IDC_PATH1_EDIT"), neu_.toUpper());
    QCOMPARE(Rows(dialog_->m_listOnly1).size(), 10);
    QCOMPARE(Field("IDC_PATH2_EDIT"), QStringLiteral(" "));
}

// One file on a library's column loads it there; two files anywhere are
// library 1 and 2; anything but local files is refused without a change.
void TestWorkflow::droppedFiles() {
    const QUrl alt = QUrl::fromLocalFile(alt_), neu = QUrl::fromLocalFile(neu_);
    QVERIFY(!Drop(*dialog_, {alt}, CentreOf(dialog_->m_listCommon)));  // no column for one
    QVERIFY(Drop(*dialog_, {alt}, CentreOf(dialog_->m_listOnly1)));
    QCOMPARE(Field("IDC_PATH1_EDIT"), alt_.toUpper());
    QCOMPARE(Rows(dialog_->m_listOnly1).size(), 10);
    QVERIFY(Drop(*dialog_, {neu}, CentreOf(dialog_->m_listOnly2)));
    QCOMPARE(Rows(dialog_->m_listCommon).size(), 6);

    QVERIFY(Drop(*dialog_, {neu, alt}, CentreOf(dialog_->m_listCommon)));
    QCOMPARE(Field("IDC_PATH1_EDIT"), neu_.toUpper());
    QCOMPARE(Field("IDC_PATH2_EDIT"), alt_.toUpper());

    // A folder with an umlaut, as Windows users name theirs: from a drop and
    // from the command line.
    const auto folder = dir_.path() / std::filesystem::path(u8"Schaltpläne");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "neu.1", std::ios::binary) << LongLibrary({{"Relais"}, {"Sch\xFCtz"}});
    const QString umlaut = Q(folder / "neu.1");
    QVERIFY(Drop(*dialog_, {QUrl::fromLocalFile(umlaut)}, CentreOf(dialog_->m_listOnly1)));
    QCOMPARE(Rows(dialog_->m_listOnly1), (QStringList{"Relais", "Schütz"}));
    OpenStartFiles(*dialog_, {umlaut});
    QCOMPARE(Field("IDC_PATH1_EDIT"), umlaut.toUpper());
    QCOMPARE(Rows(dialog_->m_listOnly1).size(), 2);
    QVERIFY(Drop(*dialog_, {neu, alt}, CentreOf(dialog_->m_listCommon)));

    const QStringList before = Rows(dialog_->m_listCommon);
    QVERIFY(!Drop(*dialog_, {QUrl("https://example.org/a.1")}, CentreOf(dialog_->m_listOnly1)));
    QVERIFY(
        !Drop(*dialog_, {alt, QUrl("https://example.org/a.1")}, CentreOf(dialog_->m_listOnly1)));
    QVERIFY(!Drop(*dialog_, {alt, neu, alt}, CentreOf(dialog_->m_listOnly1)));
    QCOMPARE(Rows(dialog_->m_listCommon), before);
    QCOMPARE(Field("IDC_PATH1_EDIT"), neu_.toUpper());
}

// The chooser opens in the folder of the library chosen last; the rest of
// its settings stay.
void TestWorkflow::lastFolder() {
    const auto file = dir_.Write("ordner.1", LongLibrary({{"A"}}));
    Load(IDC_LOAD1_BUTTON, Q(file));
    QString folder, name;
    QCOMPARE(modal::Drive([this] { ControlById<QPushButton>(*dialog_, IDC_LOAD2_BUTTON)->click(); },
                          {[&](QWidget* window) {
                              auto* chooser = qobject_cast<QFileDialog*>(window);
                              if (!chooser) return false;
                              folder = chooser->directory().absolutePath();
                              name = chooser->findChild<QLineEdit*>("fileNameEdit")->text();
                              chooser->reject();
                              return true;
                          }}),
             std::size_t{1});
    QCOMPARE(folder, Q(dir_.path()));
    QCOMPARE(name, QStringLiteral("*.1"));
}

// F5 reads both libraries again; one that cannot be read any more gets the
// usual message and nothing changes; with nothing loaded F5 does nothing.
void TestWorkflow::reloadAfterTheFileChanged() {
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_F5);
    QVERIFY(Rows(dialog_->m_listOnly1).isEmpty());

    const auto one = dir_.Write("eins.1", LongLibrary({{"A"}, {"B"}}));
    const auto two = dir_.Write("zwei.1", LongLibrary({{"B"}}));
    Load(IDC_LOAD1_BUTTON, Q(one));
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_F5);  // library 1 only
    QCOMPARE(Rows(dialog_->m_listOnly1), (QStringList{"A", "B"}));

    Load(IDC_LOAD2_BUTTON, Q(two));
    dir_.Write("zwei.1", LongLibrary({{"B"}, {"C"}}));
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_F5);
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"C"});
    QCOMPARE(Rows(dialog_->m_listCommon), QStringList{"B"});

    // A selected name still listed is selected again with its new fields and
    // marks; a column whose name is gone is cleared.
    const auto three =
        dir_.Write("drei.1", LongLibrary({{"Relais", "alt"}, {"Motor", "m"}, {"Lampe", "l"}}));
    const auto four = dir_.Write("vier.1", LongLibrary({{"Relais", "neu"}, {"Motor", "m2"}}));
    Load(IDC_LOAD1_BUTTON, Q(three));
    Load(IDC_LOAD2_BUTTON, Q(four));
    QVERIFY(SelectText(dialog_->m_listCommon, "Relais"));
    QVERIFY(SelectText(dialog_->m_listOnly1, "Lampe"));
    dir_.Write("vier.1", LongLibrary({{"Motor", "m3"}, {"Lampe", "l"}}));
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_F5);
    auto* designation = dialog_->findChild<QLineEdit*>("IDC_COMMON_DESIGNATION");
    for (const char* field : {"IDC_COMMON_SYMBOL", "IDC_COMMON_DESIGNATION", "IDC_LIB1_SYMBOL"})
        QVERIFY2(Field(field).isEmpty(), field);
    QVERIFY(PlainTip(designation).isEmpty());
    QVERIFY(!designation->property("changed").toBool());
    QVERIFY(SelectText(dialog_->m_listCommon, "Motor"));
    dir_.Write("vier.1", LongLibrary({{"Motor", "m4"}, {"Lampe", "l"}}));
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_F5);
    QCOMPARE(Rows(dialog_->m_listCommon)[dialog_->m_listCommon->CurrentSelection()], "Motor");
    QCOMPARE(Field("IDC_COMMON_DESIGNATION"), QStringLiteral("m4"));
    QCOMPARE(PlainTip(designation), QStringLiteral("Bibliothek 1: „m“"));

    Load(IDC_LOAD1_BUTTON, Q(one));
    Load(IDC_LOAD2_BUTTON, Q(two));
    std::filesystem::remove(two);
    QString message;
    QCOMPARE(modal::Drive([this] { QTest::keyClick(dialog_->windowHandle(), Qt::Key_F5); },
                          {modal::CloseMessage(&message)}),
             std::size_t{1});
    Activate();
    QVERIFY2(message.contains(Q(two)), qPrintable(message));
    QCOMPARE(Rows(dialog_->m_listOnly2), QStringList{"C"});
    QCOMPARE(lib2Count, 2);
}

// Copy from the context menu, opened with the right mouse button, and by the
// shortcuts while the list has the focus.
void TestWorkflow::copyFromTheContextMenuAndShortcuts() {
    Load(IDC_LOAD1_BUTTON, alt_);
    SymbolListBox* list = dialog_->m_listOnly1;

    // The menu runs its own loop: pick "Kopieren" once it shows (polled, so
    // that a slow machine cannot leave the menu open and the test hanging).
    // Each time it opens, it is the same menu, and a screen reader finds its
    // items in it.
    QPointer<QMenu> shown;  // still there on the second opening
    int openings = 0;
    auto copyThroughTheMenu = [&](int row) {
        QStringList entries, announced;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible()) return;
            for (QAction* action : menu->actions()) entries << action->text();
            if (openings++ > 0 && shown != menu) entries << QStringLiteral("another menu");
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
            for (int i = 0; accessible && i < accessible->childCount(); ++i)
                announced << accessible->child(i)->text(QAccessible::Name);
            shown = menu;
            poll.stop();
            menu->actions().first()->trigger();
            menu->close();
        });
        poll.start();
        QGuiApplication::clipboard()->clear();
        ClickRow(list, row);
        QTest::mouseClick(dialog_->windowHandle(), Qt::RightButton, {}, RowInWindow(list, row));
        poll.stop();
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), Rows(list)[row]);
        // Library 1's list: what goes into library 2 or out of library 1,
        // and library 1's saving.
        const QStringList expected{"Kopieren",
                                   "Alle Namen kopieren",
                                   "Vergleich exportieren …",
                                   "Unterschiede …",
                                   "Vergleichsoptionen …",
                                   "",
                                   "In Bibliothek 2 übernehmen",
                                   "Aus Bibliothek 1 entfernen",
                                   "",
                                   "Rückgängig",
                                   "Wiederholen",
                                   "",
                                   "Bibliothek 1 speichern",
                                   "Bibliothek 1 speichern unter …"};
        QCOMPARE(entries, expected);
        QCOMPARE(announced, expected);
    };
    copyThroughTheMenu(1);
    copyThroughTheMenu(0);  // the second opening, and the first row

    Activate();  // the window system gives it back after a menu; offscreen, the test does
    list->setFocus();
    ClickRow(list, 3);
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), Rows(list)[3]);
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), Rows(list).join(u'\n'));
}

void TestWorkflow::exportWritesWhatTheCliWrites_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("suffix");
    QTest::addRow("text") << "Text (*.txt)"
                          << "text"
                          << "txt";
    QTest::addRow("csv") << "CSV (*.csv)"
                         << "csv"
                         << "csv";
    QTest::addRow("csv-excel") << "CSV für Tabellenkalkulation (*.csv)"
                               << "csv-excel"
                               << "csv";
    QTest::addRow("json") << "JSON (*.json)"
                          << "json"
                          << "json";
}

// Strg+E in a list, a name without suffix and a file type in the save
// dialog: the file holds the bytes libcompare-cli prints for the same paths.
void TestWorkflow::exportWritesWhatTheCliWrites() {
    QFETCH(QString, filter);
    QFETCH(QString, format);
    QFETCH(QString, suffix);
    Load(IDC_LOAD1_BUTTON, alt_);
    Load(IDC_LOAD2_BUTTON, neu_);
    const QString target = Q(dir_.path() / "vergleich");
    dialog_->m_listCommon->setFocus();
    QCOMPARE(
        modal::Drive(
            [this] { QTest::keyClick(dialog_->windowHandle(), Qt::Key_E, Qt::ControlModifier); },
            {[&](QWidget* window) {
                auto* chooser = qobject_cast<QFileDialog*>(window);
                if (!chooser) return false;
                // Another type first, then the one wanted: its suffix counts.
                for (const QString& type : {QStringLiteral("JSON (*.json)"), filter}) {
                    chooser->selectNameFilter(type);
                    emit chooser->filterSelected(type);
                }
                chooser->findChild<QLineEdit*>("fileNameEdit")->setText(target);
                static_cast<QDialog*>(chooser)->accept();
                return true;
            }}),
        std::size_t{1});
    QFile written(target + u'.' + suffix);
    QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(written.fileName()));
    QProcess cli;
    cli.start(QStringLiteral(LIBCOMPARE_CLI_PATH), {"--format", format, alt_, neu_});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(written.readAll(), cli.readAllStandardOutput());
    written.remove();
}

// An export that cannot be completed leaves no file of its own and the file
// it would have replaced as it was, with the reason in German.
void TestWorkflow::failedExportLeavesTheEarlierFile() {
    Load(IDC_LOAD1_BUTTON, alt_);
    Load(IDC_LOAD2_BUTTON, neu_);
    TempDir out;
    const QString target = Q(out.path() / "bericht.txt");
    const QByteArray earlier = "die frühere Datei\n";
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    QString error;
    QVERIFY(!WriteComparison(Comparison{}, {}, Q(out.path() / "fehlt" / "x.txt"),
                             ReportFormat::kText, error));
    QCOMPARE(error,
             QStringLiteral("„%1“ kann nicht geschrieben werden: Der Ordner existiert nicht.")
                 .arg(QDir::toNativeSeparators(Q(out.path() / "fehlt" / "x.txt"))));
#if defined(__unix__)
    // The disk full after 100 bytes: a limit on the size of written files.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    Activate();
    dialog_->m_listCommon->setFocus();
    QString message;
    const std::size_t answered = modal::Drive(
        [this] { QTest::keyClick(dialog_->windowHandle(), Qt::Key_E, Qt::ControlModifier); },
        {[&target](QWidget* window) {
             auto* chooser = qobject_cast<QFileDialog*>(window);
             if (!chooser) return false;
             chooser->findChild<QLineEdit*>("fileNameEdit")->setText(target);
             // "Replace the existing file?" - yes.
             QTimer::singleShot(50, [] {
                 if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                     box->button(QMessageBox::Yes)->click();
             });
             static_cast<QDialog*>(chooser)->accept();
             return true;
         },
         modal::CloseMessage(&message)});
    setrlimit(RLIMIT_FSIZE, &before);
    QCOMPARE(answered, std::size_t{2});
    QCOMPARE(
        message,
        QStringLiteral("„%1“ kann nicht geschrieben werden: Die Datei würde zu groß.").arg(target));
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), earlier);
    QCOMPARE(QDir(Q(out.path())).entryList(QDir::Files), QStringList{"bericht.txt"});
#endif
}

// The export writes what the dialog shows, also when a file changed on disk
// since; a typed ".json" writes JSON whatever the file type says.
void TestWorkflow::exportWritesWhatIsShown() {
    TempDir out;
    const QString one = Q(out.Write("eins.1", LongLibrary({{"A", "a"}, {"B", "b"}})));
    const QString two = Q(out.Write("zwei.1", LongLibrary({{"B", "neu"}})));
    Load(IDC_LOAD1_BUTTON, one);
    Load(IDC_LOAD2_BUTTON, two);
    out.Write("zwei.1", LongLibrary({{"A", "a"}, {"B", "b"}, {"C", "c"}}));  // changed since
    Activate();
    dialog_->m_listOnly1->setFocus();
    const QString target = Q(out.path() / "bericht.json");
    QCOMPARE(
        modal::Drive(
            [this] { QTest::keyClick(dialog_->windowHandle(), Qt::Key_E, Qt::ControlModifier); },
            {[&target](QWidget* window) {
                auto* chooser = qobject_cast<QFileDialog*>(window);
                if (!chooser) return false;
                chooser->selectNameFilter(QStringLiteral("Text (*.txt)"));
                emit chooser->filterSelected(QStringLiteral("Text (*.txt)"));
                chooser->findChild<QLineEdit*>("fileNameEdit")->setText(target);
                static_cast<QDialog*>(chooser)->accept();
                return true;
            }}),
        std::size_t{1});
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(written.readAll(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root.value("counts").toObject(),
             (QJsonObject{{"common", 1}, {"changed", 1}, {"only1", 1}, {"only2", 0}}));
    QCOMPARE(root.value("library2").toObject().value("path").toString(), two);
}

// Random bytes, a text file and an image read, but are plainly no symbol
// libraries: the dialog asks first, and "Nein" (the default) changes nothing.
// The examples and a generated library are never questioned.
void TestWorkflow::doubtfulFilesAreQuestioned() {
    std::string noise(20000, '\0');
    std::uint32_t state = 7;
    for (char& c : noise) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "Zeile " + std::to_string(i) + " eines ganz gewöhnlichen Textes.\n";
    std::ifstream png(LIBCOMPARE_SOURCE_DIR "/docs/screenshot.png", std::ios::binary);
    std::string image{std::istreambuf_iterator<char>(png), {}};
    QVERIFY(image.size() > 1000);

    Load(IDC_LOAD1_BUTTON, alt_);
    for (const auto& [name, bytes] :
         {std::pair{"rauschen.1", &noise}, {"text.1", &text}, {"bild.1", &image}}) {
        const QString path = Q(dir_.Write(name, *bytes));
        QString question, reading;
        QMessageBox::StandardButton preset = QMessageBox::NoButton;
        QCOMPARE(
            modal::Drive([this] { ControlById<QPushButton>(*dialog_, IDC_LOAD1_BUTTON)->click(); },
                         {modal::Choose(path),
                          [&](QWidget* window) {
                              auto* box = qobject_cast<QMessageBox*>(window);
                              if (!box) return false;
                              question = box->text();
                              // Meanwhile the window says what it reads.
                              reading = dialog_->StatusText();
                              preset = box->standardButton(box->defaultButton());
                              box->button(QMessageBox::No)->click();
                              return true;
                          }}),
            std::size_t{2});
        QVERIFY2(question.contains(path) && question.contains(QStringLiteral("Trotzdem")),
                 qPrintable(question));
        QCOMPARE(reading, QStringLiteral("Lese „%1“ …").arg(QString::fromLatin1(name).toUpper()));
        QCOMPARE(preset, QMessageBox::No);
        QCOMPARE(Field("IDC_PATH1_EDIT"), alt_.toUpper());
        QCOMPARE(lib1Count, 10);
    }

    std::vector<LongRecord> many;
    for (int i = 0; i < 5000; ++i) many.push_back({Numbered("SYM", i), "Bezeichnung", "K", "G"});
    for (const QString& path : {alt_, neu_, Q(dir_.Write("viele.1", LongLibrary(many)))}) {
        QCOMPARE(
            modal::Drive([this] { ControlById<QPushButton>(*dialog_, IDC_LOAD2_BUTTON)->click(); },
                         {modal::Choose(path), modal::CloseMessage(nullptr)}, 3000),
            std::size_t{1});
    }
}

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
