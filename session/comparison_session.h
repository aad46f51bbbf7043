#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "compare/compare.h"
#include "library/library_reader.h"

class SymbolList;

// The comparison behind the window: loads library 1 and library 2 into the
// process-wide tables, compares them, reads both again, and holds the one
// comparison that every view reads. It shows nothing and words nothing: it
// answers with values, and says by signals what it is doing.
class ComparisonSession : public QObject {
    Q_OBJECT

public:
    explicit ComparisonSession(QObject* parent = nullptr);

    // Asked, with the file's path and the sample's result, whether to read a
    // file that does not look like a symbol library; none: read it.
    using Ask = std::function<bool(const QString& path, const ReadResult& sample)>;
    void SetAsk(Ask ask) { ask_ = std::move(ask); }

    // What reading a library came to: the reader's result, or no memory left.
    struct Load {
        ReadResult read;
        bool outOfMemory = false;
        bool Succeeded() const { return !outOfMemory && static_cast<bool>(read); }
    };
    // Forgets the comparison, then reads `path` into library 1's table; its
    // names go to `names`. A file that cannot be read leaves the table as it
    // was; running out of memory leaves it empty.
    Load LoadLibrary1(const QString& path, SymbolList& names);
    // Reads `path` into library 2's table; the comparison that follows fills
    // the lists.
    Load LoadLibrary2(const QString& path);
    // Both files read anew into their tables, or, when either cannot be
    // read, neither. Files not loaded before are not read.
    Load ReadBothAgain();

    enum class Outcome { kCompared, kRefused, kOutOfMemory };
    // Compares the tables as they stand: writes the common table and its
    // count, and fills the three lists (only1, only2, common). Out of memory,
    // the lists are emptied and nothing is compared.
    Outcome Compare(SymbolList& common, SymbolList& only1, SymbolList& only2);
    // No comparison is shown any more (a new library 1, or no memory left).
    void Forget();

    const Comparison& Current() const { return comparison_; }
    // Whether the lists show `Current()`, or library 1 alone as read.
    bool ShowsComparison() const { return showsComparison_; }
    // The files the tables were read from; empty before.
    const QString& File1() const { return file1_; }
    const QString& File2() const { return file2_; }
    // The record of library 1 (2) that row source `source` of its list
    // shows: after a comparison its unmatched records, before it every one.
    std::int64_t Only1Record(std::int64_t source) const;
    std::int64_t Only2Record(std::int64_t source) const;

signals:
    // A file is about to be read (the window says so, and remembers its folder).
    void reading(const QString& path);
    // The comparison changed, or was forgotten.
    void comparisonChanged();

private:
    ReadResult Read(const QString& path, SymbolTable& table, std::int32_t& count,
                    SymbolList& names);

    Ask ask_;
    Comparison comparison_;
    bool showsComparison_ = false;
    QString file1_;
    QString file2_;
};
