// The session behind the window, without a window: what it reads into the
// process-wide tables, what it compares, what it answers and signals.
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <cerrno>

#include "library/library_writer.h"
#include "library/symbol_list.h"
#include "library/symbol_table.h"
#include "session/comparison_session.h"
#include "test_support.h"

namespace {

QString Q(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void init() { lib1Count = lib2Count = commonCount = 0; }
    void loadsAndCompares();
    void aLoadThatFailsChangesNothing_data();
    void aLoadThatFailsChangesNothing();
    void readingBothAgainIsAllOrNothing();
    void editsUndoneToTheStartSaveTheBytesRead();
    void stepsInPlaceAndAnewInTurn();

private:
    // Library 1 and 2 read from `one` and `two` into `session`, and compared.
    static void LoadAndCompare(ComparisonSession& session, const QString& one, const QString& two) {
        DiscardingSymbolList names, common, only1, only2;
        QVERIFY(session.LoadLibrary1(one, names).Succeeded());
        QVERIFY(session.LoadLibrary2(two).Succeeded());
        QCOMPARE(session.Compare(common, only1, only2), ComparisonSession::Outcome::kCompared);
    }

    TempDir dir_;
};

// Library 1, then library 2 and the comparison: the tables, the lists, the
// rows' records, the signals.
void TestSession::loadsAndCompares() {
    const QString one = Q(dir_.Write("eins.1", LongLibrary({{"A", "a"}, {"B", "b"}, {"C", "c"}})));
    const QString two = Q(dir_.Write("zwei.1", LongLibrary({{"D", "d"}, {"B", "neu"}})));
    ComparisonSession session;
    QSignalSpy reading(&session, &ComparisonSession::reading);
    QSignalSpy changed(&session, &ComparisonSession::comparisonChanged);

    RecordingList names;
    QVERIFY(session.LoadLibrary1(one, names).Succeeded());
    QCOMPARE(lib1Count, 3);
    QCOMPARE(names.names, (std::vector<std::string>{"A", "B", "C"}));
    QCOMPARE(session.File1(), one);
    QVERIFY(!session.ShowsComparison());
    QCOMPARE(session.Only1Record(2), std::int64_t{3});  // before a comparison: every record
    QCOMPARE(reading.size(), 1);
    QCOMPARE(reading.first().first().toString(), one);

    QVERIFY(session.LoadLibrary2(two).Succeeded());
    QCOMPARE(lib2Count, 2);
    RecordingList common, only1, only2;
    changed.clear();
    QCOMPARE(session.Compare(common, only1, only2), ComparisonSession::Outcome::kCompared);
    QCOMPARE(changed.size(), 1);
    QVERIFY(session.ShowsComparison());
    QCOMPARE(common.names, std::vector<std::string>{"B"});
    QCOMPARE(only1.names, (std::vector<std::string>{"A", "C"}));
    QCOMPARE(only2.names, std::vector<std::string>{"D"});
    QCOMPARE(commonCount, 1);
    QCOMPARE(session.Current().changed.size(), std::size_t{1});
    QCOMPARE(session.Only1Record(1), std::int64_t{3});  // the second unmatched: C
    QCOMPARE(session.Only2Record(0), std::int64_t{1});

    // A new library 1 forgets the comparison.
    changed.clear();
    QVERIFY(session.LoadLibrary1(two, names).Succeeded());
    QVERIFY(!session.ShowsComparison());
    QVERIFY(session.Current().pairs.empty());
    QCOMPARE(commonCount, 0);
    QVERIFY(!changed.isEmpty());
}

void TestSession::aLoadThatFailsChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("declined");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("error");
    QTest::addRow("missing") << "fehlt.1" << false << int(ReadStatus::kNotFound) << 0;
    QTest::addRow("no UTF-8 in its name")
        << QStringLiteral("kaputt\uFFFD.1") << false << int(ReadStatus::kCannotOpen) << int(EILSEQ);
    QTest::addRow("doubtful, declined") << "nullen.1" << true << int(ReadStatus::kCancelled) << 0;
}

// Library 1 stays as it was when a file cannot be read or the user declines
// one that looks like no library.
void TestSession::aLoadThatFailsChangesNothing() {
    QFETCH(QString, name);
    QFETCH(bool, declined);
    QFETCH(int, status);
    QFETCH(int, error);
    const QString one = Q(dir_.Write("eins.1", LongLibrary({{"A", "a"}, {"B", "b"}})));
    dir_.Write("nullen.1", std::string(4096, '\0'));
    ComparisonSession session;
    bool asked = false;
    session.SetAsk([&](const QString&, const ReadResult&) {
        asked = true;
        return !declined;
    });
    RecordingList names;
    QVERIFY(session.LoadLibrary1(one, names).Succeeded());
    const ComparisonSession::Load load = session.LoadLibrary1(Q(dir_.path()) + u'/' + name, names);
    QVERIFY(!load.Succeeded());
    QVERIFY(!load.outOfMemory);
    QCOMPARE(int(load.read.status), status);
    QCOMPARE(load.read.systemError, error);
    QCOMPARE(asked, declined);
    QCOMPARE(lib1Count, 2);
    QCOMPARE(lib1Table.Symbol(2), std::string_view("B"));
    QCOMPARE(session.File1(), one);
}

// F5: both files anew, or, when one cannot be read, neither.
void TestSession::readingBothAgainIsAllOrNothing() {
    const auto one = dir_.Write("eins.1", LongLibrary({{"A", "a"}}));
    const auto two = dir_.Write("zwei.1", LongLibrary({{"A", "b"}}));
    ComparisonSession session;
    RecordingList names, common, only1, only2;
    QVERIFY(session.LoadLibrary1(Q(one), names).Succeeded());
    QVERIFY(session.LoadLibrary2(Q(two)).Succeeded());
    session.Compare(common, only1, only2);

    dir_.Write("eins.1", LongLibrary({{"A", "a"}, {"N", "neu"}}));
    QVERIFY(session.ReadBothAgain().Succeeded());
    QCOMPARE(lib1Count, 2);

    dir_.Write("eins.1", LongLibrary({{"A", "a"}, {"N", "neu"}, {"M", "mehr"}}));
    std::filesystem::remove(two);
    const ComparisonSession::Load load = session.ReadBothAgain();
    QCOMPARE(load.read.status, ReadStatus::kNotFound);
    QCOMPARE(lib1Count, 2);  // library 1 read, but not taken
    QCOMPARE(lib2Count, 1);
}

// Every kind taken over, then undone step by step: each step names itself,
// the library is unmodified again, and saving it writes exactly the bytes
// read (a file with bytes after its last record and an odd tail).
void TestSession::editsUndoneToTheStartSaveTheBytesRead() {
    std::string bytes2 = LongLibrary({{"B", "alt"}, {"D", "d"}, {"E", "e"}});
    bytes2 += std::string("\x01\x02rest", 6);
    const QString one = Q(dir_.Write("eins.1", LongLibrary({{"A", "a"}, {"B", "neu"}})));
    const QString two = Q(dir_.Write("zwei.1", bytes2));
    ComparisonSession session;
    DiscardingSymbolList common, only1, only2;
    LoadAndCompare(session, one, two);
    QVERIFY(!QTest::currentTestFailed());
    const TakeSelection all = SelectKinds(session.Current(), TakeDirection::kIntoLibrary2,
                                          kTakeChanged | kTakeAdded | kTakeRemoved);
    const ComparisonSession::Edit edit =
        session.Take(TakeDirection::kIntoLibrary2, all, {}, "alles");
    QVERIFY(edit.applied);
    QCOMPARE(edit.library, 2);
    QVERIFY(session.Modified(2));
    QVERIFY(!session.Modified(1));
    QCOMPARE(session.UndoName(), std::string("alles"));
    session.Compare(common, only1, only2);
    QVERIFY(!session.Current().HasDifferences());

    QVERIFY(session.Undo());
    QVERIFY(!session.Modified(2));
    QCOMPARE(session.RedoName(), std::string("alles"));
    QVERIFY(!session.Undo());
    QVERIFY(session.Save(2));
    QFile saved(two);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().toStdString(), bytes2);

    // Redone and saved elsewhere: library 1's content, the file read untouched.
    QVERIFY(session.Redo());
    const QString copy = Q(dir_.path() / "kopie.1");
    QVERIFY(session.Save(2, copy));
    QCOMPARE(session.File2(), copy);
    QVERIFY(!session.Modified(2));
    QVERIFY(session.LoadLibrary2(copy).Succeeded());
    session.Compare(common, only1, only2);
    QVERIFY(!session.Current().HasDifferences());
}

// Fields taken over where they stand and a symbol added (a new file) in
// turn: the comparison follows the first kind at once; undo and redo go
// through both; the file saved holds what a new file made of all the changes
// holds; "unsaved" follows the step it was saved at; and discarding goes
// back to what the file holds.
void TestSession::stepsInPlaceAndAnewInTurn() {
    const std::string bytes2 = LongLibrary({{"B", "alt"}, {"C", "c2"}, {"D", "d"}});
    const QString one =
        Q(dir_.Write("eins.1", LongLibrary({{"A", "a"}, {"B", "neu"}, {"C", "c1"}})));
    const QString two = Q(dir_.Write("zwei.1", bytes2));
    ComparisonSession session;
    DiscardingSymbolList common, only1, only2;
    LoadAndCompare(session, one, two);
    QVERIFY(!QTest::currentTestFailed());
    const auto pairOf = [&session](std::string_view name) {
        TakeSelection chosen;
        for (std::size_t k = 0; k < session.Current().pairs.size(); ++k)
            if (session.Current().Record2(session.Current().pairs[k]).symbol == name)
                chosen.pairs.push_back(static_cast<std::int32_t>(k));
        return chosen;
    };
    const auto changedNames = [&session] {
        std::string names;
        for (const std::int32_t k : session.Current().changed)
            names += session.Current().Record2(session.Current().pairs[k]).symbol;
        return names;
    };

    QVERIFY(session.Take(TakeDirection::kIntoLibrary2, pairOf("B"), {}, "B").applied);
    QVERIFY(session.FollowedPairs());
    QCOMPARE(changedNames(), std::string("C"));
    TakeSelection a;
    a.only1 = {1};
    QVERIFY(session.Take(TakeDirection::kIntoLibrary2, a, {}, "A").applied);
    QVERIFY(!session.FollowedPairs());
    session.Compare(common, only1, only2);
    QVERIFY(session.Current().only1.empty());
    QVERIFY(session.Take(TakeDirection::kIntoLibrary2, pairOf("C"), {}, "C").applied);
    QVERIFY(session.FollowedPairs());
    QCOMPARE(changedNames(), std::string());

    QVERIFY(session.Save(2));
    QVERIFY(!session.Modified(2));
    LibraryChanges all;
    all.changed = {{1, "neu", {}, {}}, {2, "c1", {}, {}}};
    all.added = {{"A", "a", "", "", {}}};
    const ChangedLibrary expected = ApplyChanges(bytes2, LibraryLayout::kLong, 3, all);
    QVERIFY(expected);
    QFile saved(two);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().toStdString(), expected.bytes);

    // Back and forth through both kinds of step.
    QVERIFY(session.Undo());
    QCOMPARE(changedNames(), std::string("C"));
    QVERIFY(session.Modified(2));
    QVERIFY(session.Undo());
    QVERIFY(session.Undo());
    session.Compare(common, only1, only2);
    QCOMPARE(changedNames(), std::string("BC"));
    QCOMPARE(std::string(lib2Table.FileView()), bytes2);
    QVERIFY(session.Redo());
    QVERIFY(session.Redo());
    session.Compare(common, only1, only2);
    QCOMPARE(changedNames(), std::string("C"));

    // Discarded: library 2 as saved, with no steps left.
    session.Discard(2);
    QCOMPARE(std::string(lib2Table.FileView()), expected.bytes);
    QVERIFY(!session.Modified(2));
    QCOMPARE(session.UndoName(), std::string());
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
