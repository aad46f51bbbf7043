// Runs libcompare-cli --take as a user's script would: what it writes, what
// it says and its exit status.
#include <QProcess>
#include <QTest>
#include <fstream>
#include <iterator>

#include "library/library_writer.h"
#include "test_support.h"

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run RunCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(LIBCOMPARE_CLI_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString P(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::string Content(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Library 1 and library 2: A changed, B the same, N only in 1, W only in 2.
const std::string kOne = LongLibrary({{"A", "neu", "K1", "G"},
                                      {"B", "b", "", ""},
                                      {"N", "n", "k", "g"},
                                      {"\xC4nderung", "\xE4", "", ""}});
const std::string kTwo =
    LongLibrary({{"A", "alt", "K1", "G"}, {"B", "b", "", ""}, {"W", "w", "", ""}});

}  // namespace

class TestCliTake : public QObject {
    Q_OBJECT

private slots:
    void everythingLeavesNoDifference();
    void eachKind_data();
    void eachKind();
    void errors_data();
    void errors();
    void namesHeldTwiceAreNamed();
    void classificationsIntoAShortLibrary();
};

void TestCliTake::everythingLeavesNoDifference() {
    TempDir dir;
    const auto a = dir.Write("a.1", kOne);
    const auto b = dir.Write("b.1", kTwo);
    const Run run = RunCli({QStringLiteral("--take=changed,added,removed"),
                            QStringLiteral("--output=") + P(b), P(a), P(b)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QVERIFY2(run.out.contains("1 geändert, 2 hinzugefügt, 1 entfernt"), run.out.constData());
    QVERIFY2(run.out.contains("b.1.bak"), run.out.constData());
    QCOMPARE(Content(BackupPath(b)), kTwo);
    // The comparison finds nothing left, and library 1 reads as library 2 now.
    QCOMPARE(RunCli({P(a), P(b)}).exitCode, 0);
    QCOMPARE(RunCli({QStringLiteral("--list"), P(b)}).out,
             RunCli({QStringLiteral("--list"), P(a)}).out);
}

void TestCliTake::eachKind_data() {
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<QByteArray>("counts");  // the comparison's counts afterwards
    QTest::newRow("changed") << "changed"
                             << QByteArray(
                                    "2 gemeinsam, davon 0 geändert · 2 nur in Bibliothek 1 · "
                                    "1 nur in Bibliothek 2");
    QTest::newRow("added") << "added"
                           << QByteArray(
                                  "4 gemeinsam, davon 1 geändert · 0 nur in Bibliothek 1 · "
                                  "1 nur in Bibliothek 2");
    QTest::newRow("removed") << "removed"
                             << QByteArray(
                                    "2 gemeinsam, davon 1 geändert · 2 nur in Bibliothek 1 · "
                                    "0 nur in Bibliothek 2");
    QTest::newRow("two kinds, as --take changed,removed")
        << "changed,removed"
        << QByteArray(
               "2 gemeinsam, davon 0 geändert · 2 nur in Bibliothek 1 · "
               "0 nur in Bibliothek 2");
}

void TestCliTake::eachKind() {
    QFETCH(QString, kinds);
    QFETCH(QByteArray, counts);
    TempDir dir;
    const auto a = dir.Write("a.1", kOne);
    const auto b = dir.Write("b.1", kTwo);
    const auto out = dir.path() / "neu.1";
    const Run run =
        RunCli({QStringLiteral("--take"), kinds, QStringLiteral("--output"), P(out), P(a), P(b)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(Content(b), kTwo);                          // library 2 itself untouched
    QVERIFY(!std::filesystem::exists(BackupPath(out)));  // nothing was there to keep
    const Run after = RunCli({P(a), P(out)});
    QVERIFY2(after.out.contains(counts), after.out.constData());
}

void TestCliTake::errors_data() {
    QTest::addColumn<QStringList>("arguments");  // A, B, O stand for library 1, 2, the output
    QTest::addColumn<std::string>("library1");
    QTest::addColumn<std::string>("library2");
    QTest::addColumn<QByteArray>("message");
    const std::string tooLong(46, 'x');
    QTest::newRow("unknown kind") << QStringList{"--take=changed,neu", "--output=O", "A", "B"}
                                  << kOne << kTwo << QByteArray("Unbekannte Art „neu“");
    QTest::newRow("an empty kind") << QStringList{"--take=changed,", "--output=O", "A", "B"} << kOne
                                   << kTwo << QByteArray("Unbekannte Art „“");
    QTest::newRow("no output") << QStringList{"--take=changed", "A", "B"} << kOne << kTwo
                               << QByteArray("braucht --output");
    QTest::newRow("output without take")
        << QStringList{"--output=O", "A", "B"} << kOne << kTwo << QByteArray("gilt nur mit --take");
    QTest::newRow("take without kinds") << QStringList{"--output=O", "A", "B", "--take"} << kOne
                                        << kTwo << QByteArray("fehlen die Arten");
    QTest::newRow("take twice") << QStringList{"--take=added", "--take=changed", "--output=O", "A",
                                               "B"}
                                << kOne << kTwo << QByteArray("mehrfach");
    QTest::newRow("with a format")
        << QStringList{"--take=added", "--format=json", "--output=O", "A", "B"} << kOne << kTwo
        << QByteArray("ohne --format");
    QTest::newRow("one library") << QStringList{"--take=added", "--output=O", "A"} << kOne << kTwo
                                 << QByteArray("genau zwei");
    QTest::newRow("a designation too long for a short library")
        << QStringList{"--take=changed", "--output=O", "A", "B"}
        << LongLibrary({{"Relais", tooLong, "", ""}}) << ShortLibrary({{"Relais", "kurz"}})
        << QByteArray("O“ wurde nicht geschrieben. „Relais“: Bezeichnung ist zu lang");
    QTest::newRow("a symbol too long for a short library")
        << QStringList{"--take=added", "--output=O", "A", "B"}
        << LongLibrary({{"Ein sehr langer Name", "", "", ""}}) << ShortLibrary({{"X", ""}})
        << QByteArray("„Ein sehr langer Name“: Symbol ist zu lang");
    QTest::newRow("library 1 missing") << QStringList{"--take=added", "--output=O", "fehlt.1", "B"}
                                       << kOne << kTwo << QByteArray("existiert nicht");
    QTest::newRow("a folder that does not exist")
        << QStringList{"--take=added", "--output=nirgends/O", "A", "B"} << kOne << kTwo
        << QByteArray("lässt sich nicht anlegen. Der Ordner existiert nicht.");
}

void TestCliTake::errors() {
    QFETCH(QStringList, arguments);
    QFETCH(std::string, library1);
    QFETCH(std::string, library2);
    QFETCH(QByteArray, message);
    TempDir dir;
    const auto a = dir.Write("a.1", library1);
    const auto b = dir.Write("b.1", library2);
    const auto out = dir.Write("O", "alt");
    for (QString& argument : arguments) {
        if (argument == "A") argument = P(a);
        if (argument == "B") argument = P(b);
        argument.replace(QStringLiteral("=O"), QStringLiteral("=") + P(out));
        argument.replace(QStringLiteral("=nirgends/O"),
                         QStringLiteral("=") + P(dir.path() / "nirgends" / "O"));
        if (argument == "fehlt.1") argument = P(dir.path() / "fehlt.1");
    }
    const Run run = RunCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.contains(message), run.err.constData());
    // Nothing written, nothing kept.
    QCOMPARE(Content(out), std::string("alt"));
    QCOMPARE(Content(b), library2);
    QVERIFY(!std::filesystem::exists(BackupPath(out)));
    QVERIFY(!std::filesystem::exists(BackupPath(b)));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

void TestCliTake::namesHeldTwiceAreNamed() {
    TempDir dir;
    const auto a = dir.Write(
        "a.1",
        LongLibrary({{"Zwei", "x", "", ""}, {"Zwei", "y", "", ""}, {"Eins", "neu", "", ""}}));
    const auto b = dir.Write("b.1", LongLibrary({{"Zwei", "z", "", ""}, {"Eins", "alt", "", ""}}));
    const Run run =
        RunCli({QStringLiteral("--take=changed"), QStringLiteral("--output=") + P(b), P(a), P(b)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray("libcompare-cli: „Zwei“ steht 2-mal in Bibliothek 1 und 1-mal in "
                                 "Bibliothek 2: nicht übernommen.\n"));
    QVERIFY2(run.out.contains("1 geändert"), run.out.constData());
    const Run listed = RunCli({QStringLiteral("--list"), P(b)});
    QCOMPARE(listed.out, QByteArray("Eins\tneu\t\t\nZwei\tz\t\t\n"));
}

void TestCliTake::classificationsIntoAShortLibrary() {
    TempDir dir;
    const auto a = dir.Write("a.1", kOne);
    const auto b = dir.Write("b.1", ShortLibrary({{"A", "alt"}}));
    const Run run = RunCli(
        {QStringLiteral("--take=changed,added"), QStringLiteral("--output=") + P(b), P(a), P(b)});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("Klassifizierungen nicht übernommen"), run.err.constData());
    const Run listed = RunCli({QStringLiteral("--list"), P(b)});
    QCOMPARE(listed.out, QByteArray("A\tneu\nÄnderung\tä\nB\tb\nN\tn\n"));
}

QTEST_GUILESS_MAIN(TestCliTake)
#include "tst_cli_take.moc"
