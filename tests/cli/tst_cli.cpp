// Runs libcompare-cli as a user's script would and checks what it prints.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>
#include <QTest>

#include "library/text.h"
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

QStringList Names(const QJsonArray& entries) {
    QStringList names;
    for (const auto& e : entries) names << e.toObject().value(QStringLiteral("symbol")).toString();
    return names;
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void json();
    void exitStatus_data();
    void exitStatus();
    void csvQuotesAndHeader();
    void textSortsLikeTheDialog();
    void errorsNameTheFile_data();
    void errorsNameTheFile();
    void versionAndHelp();
    void closedPipeEndsQuietly();
    void decodingMatchesQt();
};

void TestCli::json() {
    TempDir dir;
    const auto a = dir.Write("a.1", LongLibrary({{"A", "a", "1", "x"},
                                                 {"B", "Bez", "K", ""},
                                                 {"C", "same", "k", "k"},
                                                 {"X\x81\xE4", "", "", ""}}));
    const auto b = dir.Write(
        "b.1", ShortLibrary({{"B", "Neu"}, {"C", "same"}, {"D", "d"}, {"X\x81\xE4", ""}}));
    const Run run = RunCli({QStringLiteral("--format"), QStringLiteral("json"), P(a), P(b)});
    QCOMPARE(run.exitCode, 1);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root.keys(),
             (QStringList{"changed", "common", "library1", "library2", "only1", "only2"}));

    const QJsonObject lib1 = root.value("library1").toObject();
    QCOMPARE(lib1.value("path").toString(), P(a));
    QCOMPARE(lib1.value("layout").toString(), QStringLiteral("long"));
    QCOMPARE(lib1.value("records").toInt(), 4);
    QCOMPARE(root.value("library2").toObject().value("layout").toString(), QStringLiteral("short"));

    const QJsonArray common = root.value("common").toArray();
    QCOMPARE(Names(common), (QStringList{"B", "C", QStringLiteral("X\u0081ä")}));
    const QJsonObject b0 = common[0].toObject();
    QCOMPARE(b0.keys(),
             (QStringList{"classification1", "classification2", "designation", "symbol"}));
    QCOMPARE(b0.value("designation").toString(), QStringLiteral("Neu"));  // library 2's fields
    QCOMPARE(Names(root.value("only1").toArray()), QStringList{"A"});
    QCOMPARE(Names(root.value("only2").toArray()), QStringList{"D"});

    // B's designation and classification differ; C's classifications too
    // (library 2 is short and has none).
    const QJsonArray changed = root.value("changed").toArray();
    QCOMPARE(changed.size(), 2);
    const QJsonObject first = changed[0].toObject();
    QCOMPARE(first.keys(), (QStringList{"library1", "library2", "symbol"}));
    QCOMPARE(first.value("symbol").toString(), QStringLiteral("B"));
    QCOMPARE(first.value("library1").toObject().value("designation").toString(),
             QStringLiteral("Bez"));
    QCOMPARE(first.value("library2").toObject().value("designation").toString(),
             QStringLiteral("Neu"));
    QCOMPARE(first.value("library1").toObject().keys(),
             (QStringList{"classification1", "classification2", "designation"}));
}

void TestCli::exitStatus_data() {
    QTest::addColumn<std::string>("lib1");
    QTest::addColumn<std::string>("lib2");
    QTest::addColumn<int>("expected");
    const std::string same = LongLibrary({{"A", "d", "k", "k"}, {"B", "d", "k", "k"}});
    QTest::addRow("identical") << same << same << 0;
    QTest::addRow("both empty") << std::string() << std::string() << 0;
    QTest::addRow("only in one") << same << LongLibrary({{"A", "d", "k", "k"}}) << 1;
    QTest::addRow("fields differ")
        << same << LongLibrary({{"A", "d", "k", "k"}, {"B", "d", "k", "anders"}}) << 1;
}

void TestCli::exitStatus() {
    QFETCH(std::string, lib1);
    QFETCH(std::string, lib2);
    QFETCH(int, expected);
    TempDir dir;
    for (const char* format : {"text", "csv", "json"}) {
        const Run run = RunCli({QStringLiteral("--format"), QString::fromLatin1(format),
                                P(dir.Write("1.1", lib1)), P(dir.Write("2.1", lib2))});
        QCOMPARE(run.exitCode, expected);
        QVERIFY(run.err.isEmpty());
    }
}

void TestCli::csvQuotesAndHeader() {
    TempDir dir;
    const auto a = dir.Write(
        "a.1",
        LongLibrary({{"K1", "Relais, 24 V", "Sch\xFCtz \"gro\xDF\"", ""}, {"NUR1", "", "", ""}}));
    const auto b = dir.Write(
        "b.1",
        LongLibrary({{"K1", "Relais, 24 V", "Sch\xFCtz \"gro\xDF\"", ""}, {"NUR2", "x", "", ""}}));
    const Run run = RunCli({QStringLiteral("--format=csv"), P(a), P(b)});
    QCOMPARE(run.exitCode, 1);
    const QByteArray expected =
        "list,symbol,designation,classification1,classification2\r\n"
        "common,K1,\"Relais, 24 V\",\"Schütz \"\"groß\"\"\",\r\n"
        "only1,NUR1,,,\r\n"
        "only2,NUR2,x,,\r\n";
    QCOMPARE(run.out, expected);
}

void TestCli::textSortsLikeTheDialog() {
    TempDir dir;
    const auto a =
        dir.Write("a.1", LongLibrary({{"motor"}, {"Zange"}, {"Motor"}, {"\xC4pfel"}, {"Abzweig"}}));
    const auto b = dir.Write("b.1", LongLibrary({{"Zange"}}));
    const Run run = RunCli({P(a), P(b)});
    QCOMPARE(run.exitCode, 1);
    const QString text = QString::fromUtf8(run.out);
    QVERIFY2(text.contains(QStringLiteral("Gemeinsame Symbole (1)\n  Zange\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral(
                 "Symbole nur in Bibliothek 1 (4)\n  Abzweig\n  Äpfel\n  Motor\n  motor\n")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Symbole nur in Bibliothek 2 (0)\n")));
    QVERIFY(text.contains(QStringLiteral("Geänderte Symbole (0)")));
}

void TestCli::errorsNameTheFile_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::addRow("missing file") << QStringList{"/nonexistent/fehlt.1", "/nonexistent/b.1"}
                                  << QStringLiteral("/nonexistent/fehlt.1");
    QTest::addRow("directory") << QStringList{"/tmp", "/tmp"} << QStringLiteral("Ordner");
    QTest::addRow("one file only") << QStringList{"a.1"} << QStringLiteral("zwei");
    QTest::addRow("unknown format")
        << QStringList{"--format", "xml", "a.1", "b.1"} << QStringLiteral("xml");
    QTest::addRow("unknown option")
        << QStringList{"--farbe", "a.1", "b.1"} << QStringLiteral("farbe");
}

void TestCli::errorsNameTheFile() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const Run run = RunCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(QString::fromUtf8(run.err).contains(expected), run.err.constData());
}

void TestCli::versionAndHelp() {
    Run run = RunCli({QStringLiteral("--version")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("1.0.0.1"));
    run = RunCli({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("--format"));
    QVERIFY(run.out.contains("Symbolbibliotheken"));
}

void TestCli::closedPipeEndsQuietly() {
    TempDir dir;
    std::vector<LongRecord> records;
    for (int i = 0; i < 200000; ++i) records.push_back({Numbered("S", i), "Bezeichnung"});
    const auto a = dir.Write("a.1", LongLibrary(records));
    const auto b = dir.Write("b.1", LongLibrary({}));
    QProcess process;
    process.start(QStringLiteral(LIBCOMPARE_CLI_PATH),
                  {QStringLiteral("--format=json"), P(a), P(b)});
    QVERIFY(process.waitForReadyRead(30000));
    process.closeReadChannel(QProcess::StandardOutput);
    QVERIFY(process.waitForFinished(30000));
    QVERIFY(process.readAllStandardError().isEmpty());
}

// Every byte decodes as Qt's Windows-1252 codec decodes it; where that codec
// has no character, the byte keeps its number.
void TestCli::decodingMatchesQt() {
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QString ours = QString::fromUtf8(Windows1252ToUtf8(std::string_view(&c, 1)));
        QCOMPARE(ours.size(), 1);
        QStringDecoder qt("windows-1252");
        QVERIFY(qt.isValid());
        const QString theirs = qt(QByteArray(&c, 1));
        if (theirs.size() == 1 && theirs[0] != QChar::ReplacementCharacter)
            QCOMPARE(ours, theirs);
        else
            QCOMPARE(ours[0].unicode(), static_cast<char16_t>(byte));
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
