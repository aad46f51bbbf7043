// Runs libcompare-cli as a user's script would and checks what it prints.
#include <QFile>
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

Run RunCli(const QStringList& arguments, const QString& folder = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
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
    void fullDiskIsReported();
    void doubtfulFileIsWarnedAbout();
    void decodingMatchesQt();
    void everyByteGivesValidReports();
    void tooManyPairsAreRefused();
    void outOfMemoryIsReported();
    void examplesInEveryFormat();
    void listing_data();
    void listing();
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
    QCOMPARE(root.keys(), (QStringList{"changed", "classificationsCompared", "common", "counts",
                                       "library1", "library2", "only1", "only2"}));
    QCOMPARE(root.value("counts").toObject(),
             (QJsonObject{{"common", 3}, {"changed", 1}, {"only1", 1}, {"only2", 1}}));
    // Library 2 has the short layout: only designations are compared.
    QCOMPARE(root.value("classificationsCompared"), QJsonValue(false));

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

    // B's designation differs; C's classifications are not compared.
    const QJsonArray changed = root.value("changed").toArray();
    QCOMPARE(changed.size(), 1);
    const QJsonObject first = changed[0].toObject();
    QCOMPARE(first.keys(), (QStringList{"changedFields", "library1", "library2", "symbol"}));
    QCOMPARE(first.value("changedFields").toArray(), QJsonArray{"designation"});
    QCOMPARE(first.value("symbol").toString(), QStringLiteral("B"));
    QCOMPARE(first.value("library1").toObject().value("designation").toString(),
             QStringLiteral("Bez"));
    QCOMPARE(first.value("library2").toObject().value("designation").toString(),
             QStringLiteral("Neu"));
    QCOMPARE(first.value("library1").toObject().keys(),
             (QStringList{"classification1", "classification2", "designation"}));

    // Both long: classifications count; the text says when they were not compared.
    const Run longLong = RunCli({QStringLiteral("--format=json"), P(a), P(a)});
    QCOMPARE(longLong.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(longLong.out).object().value("classificationsCompared"),
             QJsonValue(true));
    const Run text = RunCli({P(a), P(b)});
    QVERIFY2(QString::fromUtf8(text.out).contains(
                 QStringLiteral("Nur Bezeichnungen verglichen: Bibliothek 2 hat das kurze Format")),
             text.out.constData());
}

void TestCli::exitStatus_data() {
    QTest::addColumn<std::string>("lib1");
    QTest::addColumn<std::string>("lib2");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("emptyFiles");  // files of 0 bytes, each warned about
    const std::string same = LongLibrary({{"A", "d", "k", "k"}, {"B", "d", "k", "k"}});
    QTest::addRow("identical") << same << same << 0 << 0;
    QTest::addRow("both empty") << std::string() << std::string() << 0 << 2;
    QTest::addRow("library 1 empty") << std::string() << same << 1 << 1;
    QTest::addRow("no records, but a header") << LongLibrary({}) << LongLibrary({}) << 0 << 0;
    QTest::addRow("only in one") << same << LongLibrary({{"A", "d", "k", "k"}}) << 1 << 0;
    QTest::addRow("library 2 a strict superset")
        << same << LongLibrary({{"A", "d", "k", "k"}, {"B", "d", "k", "k"}, {"C", "d", "k", "k"}})
        << 1 << 0;
    QTest::addRow("fields differ")
        << same << LongLibrary({{"A", "d", "k", "k"}, {"B", "d", "k", "anders"}}) << 1 << 0;
}

void TestCli::exitStatus() {
    QFETCH(std::string, lib1);
    QFETCH(std::string, lib2);
    QFETCH(int, expected);
    QFETCH(int, emptyFiles);
    TempDir dir;
    for (const char* format : {"text", "csv", "json"}) {
        const Run run = RunCli({QStringLiteral("--format"), QString::fromLatin1(format),
                                P(dir.Write("1.1", lib1)), P(dir.Write("2.1", lib2))});
        QCOMPARE(run.exitCode, expected);
        QCOMPARE(run.err.count("ist leer (0 Bytes)"), emptyFiles);
        QCOMPARE(run.err.count('\n'), emptyFiles);  // nothing else
    }
}

void TestCli::csvQuotesAndHeader() {
    TempDir dir;
    const auto a =
        dir.Write("a.1", LongLibrary({{"K1", "Relais, 24 V", "Sch\xFCtz \"gro\xDF\"", ""},
                                      {"K2", "alt", "k", "x"},
                                      {"NUR1", "", "", ""}}));
    const auto b =
        dir.Write("b.1", LongLibrary({{"K1", "Relais, 24 V", "Sch\xFCtz \"gro\xDF\"", ""},
                                      {"K2", "neu", "k", "y"},
                                      {"NUR2", "x", "", ""}}));
    const Run run = RunCli({QStringLiteral("--format=csv"), P(a), P(b)});
    QCOMPARE(run.exitCode, 1);
    const QByteArray expected =
        "list,symbol,designation,classification1,classification2,changed,library1_designation,"
        "library1_classification1,library1_classification2,changed_fields\r\n"
        "common,K1,\"Relais, 24 V\",\"Schütz \"\"groß\"\"\",,0,\"Relais, 24 V\",\"Schütz "
        "\"\"groß\"\"\",,\r\n"
        "common,K2,neu,k,y,1,alt,k,x,designation;classification2\r\n"
        "only1,NUR1,,,,,,,,\r\n"
        "only2,NUR2,x,,,,,,,\r\n";
    QCOMPARE(run.out, expected);
    QVERIFY2(RunCli({QStringLiteral("--format=csv-excel"), P(a), P(b)})
                 .out.contains("\r\ngemeinsam;K2;neu;k;y;ja;alt;k;x;Bezeichnung, Klassifizierung "
                               "2\r\nnur in Bibliothek 1;NUR1;;;;;;;;\r\n"),
             "csv-excel: the fields that changed");

    // For German spreadsheets: semicolons, a byte-order mark, the same quoting
    // with the semicolon in the comma's place.
    const auto c = dir.Write("c.1", LongLibrary({{"K1", "Relais; 24 V", "a,b", ""}}));
    const Run excel = RunCli({QStringLiteral("--format=csv-excel"), P(c), P(c)});
    QCOMPARE(excel.exitCode, 0);
    QVERIFY2(excel.out.endsWith(
                 "\r\ngemeinsam;K1;\"Relais; 24 V\";a,b;;nein;\"Relais; 24 V\";a,b;;\r\n"),
             excel.out.constData());
}

// The example libraries in every format: the text report for people (which
// file is which, the counts, the changes first), the CSV columns with
// library 1's values, German headers for spreadsheets, the JSON's counts.
void TestCli::examplesInEveryFormat() {
    const QString folder = QStringLiteral(LIBCOMPARE_EXAMPLES_DIR);
    const QStringList files{"schaltplan-alt.1", "schaltplan-neu.1"};
    const Run text = RunCli(files, folder);
    QCOMPARE(text.exitCode, 1);
    QCOMPARE(
        QString::fromUtf8(text.out),
        QStringLiteral("Bibliothek 1: schaltplan-alt.1 (langes Format, 10 Symbole)\n"
                       "Bibliothek 2: schaltplan-neu.1 (kurzes Format, 10 Symbole)\n"
                       "6 gemeinsam, davon 2 geändert · 4 nur in Bibliothek 1 · 4 nur in "
                       "Bibliothek 2\n\n"
                       "Geänderte Symbole (2)\n"
                       "  (Nur Bezeichnungen verglichen: Bibliothek 2 hat das kurze Format "
                       "ohne Klassifizierungen.)\n"
                       "  Schütz\n"
                       "    Bezeichnung: „Leistungsschütz 3-polig“ → „Leistungsschütz 4-polig“\n"
                       "  Taster\n"
                       "    Bezeichnung: „Drucktaster Schließer“ → „Drucktaster Öffner“\n\n"
                       "Symbole nur in Bibliothek 1 (4)\n"
                       "  Lampe\n  Motor\n  Übertrager\n  Wächter\n\n"
                       "Symbole nur in Bibliothek 2 (4)\n"
                       "  motor\n  Schalter\n  Umrichter\n  Zähler\n\n"
                       "Gemeinsame Symbole (6)\n"
                       "  Erdung\n  Klemme\n  Relais\n  Schütz\n  Sicherung\n  Taster\n\n"));

    const Run csv = RunCli(QStringList{"--format", "csv"} + files, folder);
    QVERIFY2(csv.out.startsWith(
                 "list,symbol,designation,classification1,classification2,changed,"
                 "library1_designation,library1_classification1,library1_classification2,"
                 "changed_fields\r\n"
                 "common,Relais,Relais 24 V,,,0,Relais 24 V,Schaltgeräte,Spulen,\r\n"
                 "common,Schütz,Leistungsschütz 4-polig,,,1,Leistungsschütz 3-polig,Schaltgeräte,"
                 "Hauptstrom,designation\r\n"),
             csv.out.constData());
    QVERIFY(csv.out.contains("\r\nonly1,Motor,Drehstrommotor,Antriebe,Maschinen,,,,,\r\n"));
    QVERIFY(csv.out.endsWith("\r\nonly2,Zähler,Energiezähler,,,,,,,\r\n"));

    const Run excel = RunCli(QStringList{"--format", "csv-excel"} + files, folder);
    QVERIFY2(excel.out.startsWith(
                 "\xEF\xBB\xBFListe;Symbol;Bezeichnung;Klassifizierung 1;Klassifizierung 2;"
                 "Geändert;Bezeichnung Bibliothek 1;Klassifizierung 1 Bibliothek 1;"
                 "Klassifizierung 2 Bibliothek 1;Geänderte Felder\r\n"
                 "gemeinsam;Relais;Relais 24 V;;;nein;Relais 24 V;Schaltgeräte;Spulen;\r\n"
                 "gemeinsam;Schütz;Leistungsschütz 4-polig;;;ja;Leistungsschütz 3-polig;"
                 "Schaltgeräte;Hauptstrom;Bezeichnung\r\n"),
             excel.out.constData());
    QVERIFY(excel.out.contains("\r\nnur in Bibliothek 1;Motor;"));
    QVERIFY(excel.out.contains("\r\nnur in Bibliothek 2;motor;"));

    const Run json = RunCli(QStringList{"--format", "json"} + files, folder);
    QCOMPARE(QJsonDocument::fromJson(json.out).object().value("counts").toObject(),
             (QJsonObject{{"common", 6}, {"changed", 2}, {"only1", 4}, {"only2", 4}}));
}

// A file that reads but is plainly no symbol library: a warning, and on.
void TestCli::doubtfulFileIsWarnedAbout() {
    TempDir dir;
    std::string noise(5000, '\0');
    std::uint32_t state = 3;
    for (std::size_t i = 0; i < noise.size(); ++i)
        if (i % 40 != 0) noise[i] = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    const auto a = dir.Write("rauschen.1", noise);
    const auto b = dir.Write("b.1", LongLibrary({{"A"}}));
    Run run = RunCli({P(a), P(b)});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("Warnung") && run.err.contains(P(a).toUtf8()), run.err.constData());
    run = RunCli({P(b), P(b)});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
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
    QTest::addRow("library 2 missing")
        << QStringList{QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-alt.1"),
                       "/nonexistent/zwei.1"}
        << QStringLiteral("„/nonexistent/zwei.1“");
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
    // As in a shell: the reader takes a few bytes and goes away.
    QProcess shell;
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("'%1' --format=json '%2' '%3' | head -c 10 >/dev/null; "
                                "echo \"${PIPESTATUS[0]}\"")
                     .arg(QStringLiteral(LIBCOMPARE_CLI_PATH), P(a), P(b))});
    QVERIFY(shell.waitForFinished(30000));
    QCOMPARE(shell.readAllStandardOutput().trimmed(), QByteArray("2"));
    QVERIFY(shell.readAllStandardError().isEmpty());
}

// Output that cannot be written is an error with a message, not a silent 2.
void TestCli::fullDiskIsReported() {
    if (!QFile::exists(QStringLiteral("/dev/full"))) QSKIP("no /dev/full here");
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(LIBCOMPARE_CLI_PATH),
                  {QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-alt.1"),
                   QStringLiteral(LIBCOMPARE_EXAMPLES_DIR "/schaltplan-neu.1")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("Standardausgabe")) &&
                 err.contains(QStringLiteral("Datenträger ist voll")),
             qPrintable(err));
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

namespace {

// A strict RFC 4180 reader: fields that hold a comma, quote, CR or LF must be
// quoted, quotes inside doubled, every record ends with CRLF. Returns false
// on anything else.
bool ReadCsv(const QString& text, QList<QStringList>& rows) {
    QStringList row;
    QString field;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'"') {
            for (++i;; ++i) {
                if (i >= text.size()) return false;
                if (text[i] == u'"') {
                    if (i + 1 < text.size() && text[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    field += text[i];
                }
            }
        } else {
            while (i < text.size() && text[i] != u',' && text[i] != u'\r') {
                if (text[i] == u'"' || text[i] == u'\n') return false;
                field += text[i++];
            }
        }
        if (i >= text.size()) return false;
        row << field;
        field.clear();
        if (text[i] == u',') {
            ++i;
            continue;
        }
        if (text.mid(i, 2) != QStringLiteral("\r\n")) return false;
        i += 2;
        rows << row;
        row.clear();
    }
    return true;
}

// Validates JSON with Python's strict parser and hands it back as ASCII.
QByteArray StrictJson(const QByteArray& json) {
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral(
                      "import json,sys; print(json.dumps(json.loads(sys.stdin.buffer.read())))")});
    python.write(json);
    python.closeWriteChannel();
    if (!python.waitForFinished(60000) || python.exitCode() != 0) return {};
    return python.readAllStandardOutput();
}

}  // namespace

// Any byte a field can hold (all but NUL and LF, which end a field), at its
// start, middle and end, in fields shorter and longer than 16 bytes: JSON a
// strict parser takes, CSV an RFC 4180 reader takes, text with one line per
// name and no control characters.
void TestCli::everyByteGivesValidReports() {
    std::vector<LongRecord> lib1, lib2;
    QStringList expected;  // designations in library 1, decoded
    QStringDecoder decode("windows-1252");
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == '\n') continue;
        for (int length : {1, 15, 16, 17, 48}) {
            for (int at : {0, length / 2, length - 1}) {
                std::string text(static_cast<std::size_t>(length), 'y');
                text[static_cast<std::size_t>(at)] = static_cast<char>(byte);
                const std::string name = Numbered("S", static_cast<long>(lib1.size())) + text;
                lib1.push_back({name, text, "", ""});
                lib2.push_back({name, "neu", "", text});
                lib1.push_back({text, "", "", ""});  // only in library 1
            }
        }
    }
    TempDir dir;
    const QString a = P(dir.Write("a.1", LongLibrary(lib1)));
    const QString b = P(dir.Write("b.1", LongLibrary(lib2)));

    const Run json = RunCli({QStringLiteral("--format=json"), a, b});
    QCOMPARE(json.exitCode, 1);
    const QByteArray strict = StrictJson(json.out);
    QVERIFY2(!strict.isEmpty(), "Python's json module rejects the report");
    const QJsonObject root = QJsonDocument::fromJson(strict).object();
    const QJsonArray changed = root.value("changed").toArray();
    QCOMPARE(changed.size(), static_cast<qsizetype>(lib2.size()));
    for (qsizetype k = 0; k < changed.size(); ++k) {
        const std::string& bytes = lib2[static_cast<std::size_t>(k)][3];
        QCOMPARE(changed[k].toObject().value("library2").toObject().value("classification2"),
                 QString(decode(QByteArray::fromStdString(bytes))));
    }

    const Run csv = RunCli({QStringLiteral("--format=csv"), a, b});
    QList<QStringList> rows;
    QVERIFY2(ReadCsv(QString::fromUtf8(csv.out), rows), "not RFC 4180");
    QCOMPARE(rows.size(), static_cast<qsizetype>(1 + lib1.size()));
    for (qsizetype r = 1; r < rows.size(); ++r) QCOMPARE(rows[r].size(), 10);
    QCOMPARE(rows[1][4], QString(decode(QByteArray::fromStdString(lib2[0][3]))));

    const Run text = RunCli({a, b});
    const QString shown = QString::fromUtf8(text.out);
    for (QChar c : shown)
        QVERIFY2(c == u'\n' || (c.category() != QChar::Other_Control),
                 qPrintable(QStringLiteral("control character U+%1").arg(c.unicode(), 4, 16)));
    QCOMPARE(shown.count(u'\n') - shown.count(QStringLiteral("\n    ")),
             // two library lines, the counts and a blank line; headings, names, blank
             // lines after the four sections
             static_cast<qsizetype>(4 + 4 + lib2.size() + lib1.size() / 2 + lib2.size() + 4));
}

// A name held thousands of times on both sides would give tens of millions
// of common entries: refused with a message naming both files.
void TestCli::tooManyPairsAreRefused() {
    TempDir dir;
    const std::vector<LongRecord> same(4500, LongRecord{"Platzhalter", "", "", ""});
    const QString a = P(dir.Write("viele1.1", LongLibrary(same)));
    const QString b = P(dir.Write("viele2.1", LongLibrary(same)));
    const Run run = RunCli({a, b});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(err.contains(a) && err.contains(b) && err.contains(QStringLiteral("20.250.000")),
             qPrintable(err));
}

// Under memory limits from far too little to enough, every run ends either
// with its result or with status 2 and the message naming the files, never
// with an abort, whether memory runs out while mapping, reading, comparing or
// writing.
void TestCli::outOfMemoryIsReported() {
    TempDir dir;
    std::vector<LongRecord> one, two;
    for (int i = 0; i < 200000; ++i) {
        one.push_back({Numbered("S", i), "Bezeichnung", "K", "G"});
        two.push_back({Numbered("S", i + i % 10), i % 7 ? "Bezeichnung" : "neu", "K", "G"});
    }
    const QString a = P(dir.Write("eins.1", LongLibrary(one)));
    const QString b = P(dir.Write("zwei.1", LongLibrary(two)));
    const auto run = [&](int kilobytes, const char* format) {
        QProcess shell;
        shell.start(QStringLiteral("bash"),
                    {QStringLiteral("-c"),
                     QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(kilobytes),
                     QStringLiteral(LIBCOMPARE_CLI_PATH), QStringLiteral("--format"),
                     QString::fromLatin1(format), a, b});
        Run result;
        if (!shell.waitForFinished(60000)) return result;
        result.exitCode = shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -2;
        result.err = shell.readAllStandardError();
        return result;
    };
    if (run(1 << 21, "text").exitCode != 1)
        QSKIP("the tool does not run under a memory limit here");
    const QString both = QStringLiteral(
                             "Nicht genug Arbeitsspeicher, um „%1“ mit „%2“ zu "
                             "vergleichen.\n")
                             .arg(a, b);
    int refused = 0, compared = 0;
    for (int kilobytes = 20000; kilobytes <= 180000; kilobytes += 10000) {
        for (const char* format : {"text", "json"}) {
            const Run result = run(kilobytes, format);
            const QString err = QString::fromUtf8(result.err);
            const QString where = QStringLiteral("%1 KiB, %2: status %3, %4")
                                      .arg(kilobytes)
                                      .arg(QString::fromLatin1(format))
                                      .arg(result.exitCode)
                                      .arg(err);
            if (result.exitCode == 1 && err.isEmpty()) {
                ++compared;
                continue;
            }
            QVERIFY2(result.exitCode == 2, qPrintable(where));
            QVERIFY2(err == QStringLiteral("libcompare-cli: ") + both ||
                         err == QStringLiteral("libcompare-cli: Nicht genug Arbeitsspeicher, um "
                                               "„%1“ zu vergleichen.\n")
                                    .arg(a) ||
                         err == QStringLiteral("libcompare-cli: Nicht genug Arbeitsspeicher, um "
                                               "„%1“ zu vergleichen.\n")
                                    .arg(b),
                     qPrintable(where));
            ++refused;
        }
    }
    QVERIFY(refused > 0);
    QVERIFY(compared > 0);
}

QTEST_GUILESS_MAIN(TestCli)
// --list as a script (or git) runs it: the lines exactly, each record one
// line with its layout's number of fields; failures with status 2.
void TestCli::listing_data() {
    QTest::addColumn<QByteArray>("library");  // the file's bytes; empty: no such file
    QTest::addColumn<bool>("second");         // a second library given too
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    const auto bytes = [](const std::string& text) { return QByteArray::fromStdString(text); };
    QTest::newRow("case, accents, a name twice")
        << bytes(LongLibrary({{"motor", "klein"},
                              {"\xDC"
                               "bertrager",
                               "T"},
                              {"Motor", "gross", "M", "1"},
                              {"Relais", "zweites"},
                              {"Ubahn"},
                              {"Relais", "erstes"}}))
        << false << 0 << QStringList{"Motor\tgross\tM\t1",  "motor\tklein\t\t",
                                     "Relais\tzweites\t\t", "Relais\terstes\t\t",
                                     "Ubahn\t\t\t",         QStringLiteral("Übertrager\tT\t\t")}
        << QString();
    QTest::newRow("short layout") << bytes(ShortLibrary(
                                         {{"Sch\xFCtz", "4-polig"}, {"Relais", "24 V"}}))
                                  << false << 0
                                  << QStringList{"Relais\t24 V", QStringLiteral("Schütz\t4-polig")}
                                  << QString();
    // Two plain records beside it, so that the file does not look like none.
    QTest::newRow("control characters")
        << bytes(LongLibrary({{"Tab\tName", "CR\rhier", "\x1B[31m", "\x81"}, {"A"}, {"B"}}))
        << false << 0
        << QStringList{"A\t\t\t", "B\t\t\t", QStringLiteral("Tab␉Name\tCR␍hier\t␛[31m\t�")}
        << QString();
    QTest::newRow("no such file") << QByteArray() << false << 2 << QStringList()
                                  << QStringLiteral(
                                         "kann nicht eingelesen werden: Sie existiert "
                                         "nicht.");
    QTest::newRow("with a second library")
        << bytes(ShortLibrary({{"A", "a"}})) << true << 2 << QStringList()
        << QStringLiteral("Die Option --list gibt eine einzige Symbolbibliothek aus");
}

void TestCli::listing() {
    QFETCH(QByteArray, library);
    QFETCH(bool, second);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    TempDir dir;
    const auto path =
        library.isEmpty() ? dir.path() / "fehlt.1" : dir.Write("bib.1", library.toStdString());
    QStringList arguments = {QStringLiteral("--list"), P(path)};
    if (second) arguments << P(path);
    const Run run = RunCli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    if (exitCode != 0) {
        QVERIFY(run.out.isEmpty());
        return;
    }
    QVERIFY(run.err.isEmpty());
    QVERIFY(run.out.endsWith('\n'));
    QStringList got = QString::fromUtf8(run.out).split(u'\n');
    got.removeLast();  // after the last line break
    QCOMPARE(got, lines);
    const int tabs = library.startsWith("\xFF\xFF") ? 3 : 1;
    for (const QString& line : got) QCOMPARE(line.count(u'\t'), tabs);
}

#include "tst_cli.moc"
