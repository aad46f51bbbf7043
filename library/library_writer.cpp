#include "library/library_writer.h"

#include <algorithm>
#include <array>

namespace {

std::uint64_t RecordSize(LibraryLayout layout) {
    return layout == LibraryLayout::kLong ? kLongRecordSize : kShortRecordSize;
}

std::uint64_t RecordStart(LibraryLayout layout, std::uint64_t record) {
    return kRecordBase + record * RecordSize(layout);
}

ChangeRefusal Refusal(ChangeProblem problem, std::int32_t record, std::string_view symbol,
                      LibraryField field = LibraryField::kSymbol) {
    return {problem, record, std::string(symbol), field};
}

bool HasForbiddenByte(std::string_view value) {
    return value.find_first_of(std::string_view("\0\n", 2)) != std::string_view::npos;
}

// A record's four values, owned or viewed.
using Fields = std::array<std::string_view, 4>;

Fields FieldsOf(const SymbolEntry& entry) {
    return {entry.symbol, entry.designation, entry.classification1, entry.classification2};
}

// The first field that does not fit its room in a record of `layout`, if any.
std::optional<LibraryField> FieldNotFitting(LibraryLayout layout, const Fields& fields) {
    if (layout == LibraryLayout::kShort) {
        if (fields[0].size() > kShortSymbolRoom) return LibraryField::kSymbol;
        if (fields[1].size() > kShortDesignationRoom) return LibraryField::kDesignation;
        return std::nullopt;
    }
    std::uint64_t end = 0;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        end += fields[f].size() + 1;
        if (end > kLongRecordSize) return static_cast<LibraryField>(f);
    }
    return std::nullopt;
}

// Where the fields of a record (its bytes in `record`, a whole record's size)
// end: one past the last terminator the reader reads up to, at most the
// record's size.
std::size_t FieldsEnd(LibraryLayout layout, std::string_view record, const Fields& fields) {
    const std::size_t end =
        layout == LibraryLayout::kLong
            ? fields[0].size() + fields[1].size() + fields[2].size() + fields[3].size() + 4
            : kShortDesignationOffset + fields[1].size() + 1;
    return std::min(end, record.size());
}

// Writes `fields` into `record` (a whole record's bytes) where the reader
// reads them; the bytes the old fields took beyond the new ones become NUL,
// all others stay. The fields fit (FieldNotFitting).
void LayOut(LibraryLayout layout, std::string& record, const Fields& fields) {
    const std::string before = std::string(kRecordBase, '\0') + record;
    const Fields old = FieldsOf(ReadRecord(before, layout, 0));
    const std::size_t oldEnd = FieldsEnd(layout, record, old);
    std::size_t at = 0;
    const auto put = [&](std::string_view value) {
        record.replace(at, value.size(), value);
        at += value.size();
        record[at++] = '\0';
    };
    if (layout == LibraryLayout::kLong) {
        for (const std::string_view value : fields) put(value);
    } else {
        // The symbol is never changed in place; a new record has NULs there.
        if (fields[0] != old[0]) put(fields[0]);
        at = kShortDesignationOffset;
        put(fields[1]);
    }
    if (oldEnd > at)
        std::fill(record.begin() + static_cast<std::ptrdiff_t>(at),
                  record.begin() + static_cast<std::ptrdiff_t>(oldEnd), '\0');
}

// Whether `record` (a whole record's bytes) reads as `fields` by itself:
// every field ends inside it.
bool ReadsAsItself(LibraryLayout layout, const std::string& record, const Fields& fields) {
    const std::string file = std::string(kRecordBase, '\0') + record;
    if (FieldsOf(ReadRecord(file, layout, 0)) != fields) return false;
    const std::size_t lastTerminator =
        layout == LibraryLayout::kLong
            ? fields[0].size() + fields[1].size() + fields[2].size() + fields[3].size() + 3
            : std::max(fields[0].size(), kShortDesignationOffset + fields[1].size());
    return lastTerminator < record.size();
}

// Whether every field of record `record` of `file`, read as `fields`, ends
// at a terminator inside the record, rather than at its end or the file's.
bool EndsInside(std::string_view file, LibraryLayout layout, std::uint64_t record,
                const Fields& fields) {
    const std::uint64_t start = RecordStart(layout, record);
    const std::uint64_t end = std::min<std::uint64_t>(file.size(), start + RecordSize(layout));
    const std::uint64_t last =
        layout == LibraryLayout::kLong
            ? start + fields[0].size() + fields[1].size() + fields[2].size() + fields[3].size() + 3
            : std::max(start + fields[0].size(),
                       start + kShortDesignationOffset + fields[1].size());
    return last < end;
}

// What the changed record must read as: the values given, the
// others as read.
struct Planned {
    Fields fields;
    std::string bytes;  // the whole record as written
};

// Plans `change` to a record that reads as `old` and whose whole record
// (filled up to a record's size) is `bytes`; or why it cannot be made.
std::optional<ChangeRefusal> PlanChange(LibraryLayout layout, const FieldChanges& change,
                                        const Fields& old, std::string bytes, Planned& planned) {
    Fields fields = old;
    const std::optional<std::string>* values[] = {nullptr, &change.designation,
                                                  &change.classification1, &change.classification2};
    std::optional<LibraryField> lastGiven;
    for (std::size_t f = 1; f < 4; ++f) {
        if (!*values[f]) continue;
        const auto field = static_cast<LibraryField>(f);
        lastGiven = field;
        if (HasForbiddenByte(**values[f]))
            return Refusal(ChangeProblem::kForbiddenByte, change.record, old[0], field);
        if (f >= 2 && layout == LibraryLayout::kShort)
            return Refusal(ChangeProblem::kNoClassifications, change.record, old[0], field);
        fields[f] = **values[f];
    }
    // What does not fit is the value given, rather than an empty field after it.
    if (const auto field = FieldNotFitting(layout, fields))
        return Refusal(ChangeProblem::kDoesNotFit, change.record, old[0],
                       std::min(*field, lastGiven.value_or(*field)));
    planned.fields = fields;
    planned.bytes = std::move(bytes);
    LayOut(layout, planned.bytes, fields);
    return std::nullopt;
}

}  // namespace

ChangedLibrary ApplyChanges(std::string_view original, LibraryLayout layout, std::int32_t records,
                            const LibraryChanges& changes) {
    ChangedLibrary result;
    const auto refuse = [&result](ChangeRefusal refusal) {
        result.refusal = std::move(refusal);
        result.bytes.clear();
        return std::move(result);
    };
    const std::uint64_t size = original.size();
    const std::uint64_t recordSize = RecordSize(layout);
    const bool isLong = size >= 2 && static_cast<unsigned char>(original[0]) == 0xFF &&
                        static_cast<unsigned char>(original[1]) == 0xFF;
    const std::uint64_t found = size > kRecordBase ? (size - kRecordBase - 1) / recordSize : 0;
    if (isLong != (layout == LibraryLayout::kLong) || records < 0 ||
        found != static_cast<std::uint64_t>(records))
        return refuse(Refusal(ChangeProblem::kNotAsRead, 0, {}));

    // What becomes of each record: 0 kept, -1 removed, k + 1 changed by changes.changed[k].
    std::vector<std::int32_t> fate(static_cast<std::size_t>(records) + 1, 0);
    std::vector<Planned> planned(changes.changed.size());
    const auto fieldsOf = [&](std::int32_t record) {
        return FieldsOf(ReadRecord(original, layout, static_cast<std::uint64_t>(record)));
    };
    const auto wholeRecord = [&](std::int32_t record) {
        const std::uint64_t start = RecordStart(layout, static_cast<std::uint64_t>(record));
        std::string bytes(original.substr(start, recordSize));
        bytes.resize(recordSize, '\0');  // a last record the file ends inside
        return bytes;
    };

    for (std::size_t k = 0; k < changes.changed.size(); ++k) {
        const FieldChanges& change = changes.changed[k];
        if (change.record < 1 || change.record > records)
            return refuse(Refusal(ChangeProblem::kNoSuchRecord, change.record, {}));
        const Fields old = fieldsOf(change.record);
        if (fate[change.record] != 0)
            return refuse(Refusal(ChangeProblem::kRecordTwice, change.record, old[0]));
        fate[change.record] = static_cast<std::int32_t>(k) + 1;
        if (auto refusal = PlanChange(layout, change, old, wholeRecord(change.record), planned[k]))
            return refuse(std::move(*refusal));
    }

    for (const std::int32_t record : changes.removed) {
        if (record < 1 || record > records)
            return refuse(Refusal(ChangeProblem::kNoSuchRecord, record, {}));
        if (fate[record] != 0)
            return refuse(Refusal(ChangeProblem::kRecordTwice, record, fieldsOf(record)[0]));
        fate[record] = -1;
    }

    std::vector<Planned> added(changes.added.size());
    for (std::size_t k = 0; k < changes.added.size(); ++k) {
        const AddedRecord& record = changes.added[k];
        const Fields fields = {record.symbol, record.designation, record.classification1,
                               record.classification2};
        for (std::size_t f = 0; f < 4; ++f) {
            const auto field = static_cast<LibraryField>(f);
            if (HasForbiddenByte(fields[f]))
                return refuse(Refusal(ChangeProblem::kForbiddenByte, 0, fields[0], field));
            if (f >= 2 && layout == LibraryLayout::kShort && !fields[f].empty())
                return refuse(Refusal(ChangeProblem::kNoClassifications, 0, fields[0], field));
        }
        added[k].fields = fields;
        if (record.wholeRecord && record.wholeRecord->size() <= recordSize) {
            added[k].bytes = *record.wholeRecord;
            added[k].bytes.resize(recordSize, '\0');
            if (ReadsAsItself(layout, added[k].bytes, fields)) continue;
        }
        if (const auto field = FieldNotFitting(layout, fields))
            return refuse(Refusal(ChangeProblem::kDoesNotFit, 0, fields[0], *field));
        added[k].bytes.assign(recordSize, '\0');
        LayOut(layout, added[k].bytes, fields);
    }

    // The new file: the bytes up to record 1, the records kept or changed in
    // their order, then the added ones, each in a whole record.
    std::string& out = result.bytes;
    out.reserve(size + added.size() * recordSize + recordSize);
    out.append(original.substr(0, RecordStart(layout, 1)));
    for (std::int32_t i = 1; i <= records;) {
        if (fate[i] != 0) {
            if (fate[i] > 0) out += planned[fate[i] - 1].bytes;
            ++i;
            continue;
        }
        // A run of records kept as they are, in one piece.
        std::int32_t end = i;
        while (end <= records && fate[end] == 0) ++end;
        const std::uint64_t start = RecordStart(layout, static_cast<std::uint64_t>(i));
        out.append(original.substr(start, (end - i) * recordSize));
        i = end;
    }
    if (!added.empty()) {
        // Whole records before them: a last record the file ended inside, or
        // the bytes before record 1 of a file without records, are filled up.
        const std::uint64_t kept =
            out.size() > kRecordBase ? (out.size() - kRecordBase - 1) / recordSize : 0;
        out.resize(RecordStart(layout, kept + 1), '\0');
        for (const Planned& record : added) out += record.bytes;
    }

    // Read back: every record must read as it should, also those whose
    // fields run on past their end into what now follows them. A record kept
    // whose fields all end inside it reads the same wherever it stands, and
    // so does one followed by the same record as before: only where a run of
    // kept records ends need the last one end inside. Where one does not,
    // every record is read back.
    const auto endsInside = [&](std::int32_t i) {
        return EndsInside(original, layout, static_cast<std::uint64_t>(i), fieldsOf(i));
    };
    bool readAll = false;
    for (std::int32_t i = 1; i <= records && !readAll; ++i) {
        const bool runEnds = i == records ? !added.empty() : fate[i + 1] != 0;
        readAll = fate[i] == 0 && runEnds && !endsInside(i);
    }
    std::uint64_t j = 0;
    const auto check = [&](std::int32_t record, const Fields& expected) {
        const Fields got = FieldsOf(ReadRecord(out, layout, ++j));
        for (std::size_t f = 0; f < 4; ++f)
            if (got[f] != expected[f])
                return std::optional<ChangeRefusal>(Refusal(ChangeProblem::kReadsOtherwise, record,
                                                            expected[0],
                                                            static_cast<LibraryField>(f)));
        return std::optional<ChangeRefusal>();
    };
    for (std::int32_t i = 1; i <= records; ++i) {
        if (fate[i] < 0) continue;
        if (fate[i] == 0 && !readAll) {
            ++j;
            continue;
        }
        const Fields expected = fate[i] > 0 ? planned[fate[i] - 1].fields : fieldsOf(i);
        if (auto refusal = check(i, expected)) return refuse(std::move(*refusal));
    }
    for (const Planned& record : added)
        if (auto refusal = check(0, record.fields)) return refuse(std::move(*refusal));
    const std::uint64_t written =
        out.size() > kRecordBase ? (out.size() - kRecordBase - 1) / recordSize : 0;
    if (written != j) return refuse(Refusal(ChangeProblem::kReadsOtherwise, 0, {}));
    return result;
}

namespace {

// Puts `bytes` at offset `at` of `file`.
void Write(std::span<char> file, std::uint64_t at, const std::string& bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

PatchedLibrary PatchRecords(std::span<char> file, LibraryLayout layout, std::int32_t records,
                            const std::vector<FieldChanges>& changed) {
    PatchedLibrary result;
    const std::string_view original(file.data(), file.size());
    const std::uint64_t recordSize = RecordSize(layout);
    const auto fieldsOf = [&](std::int32_t record) {
        return FieldsOf(ReadRecord(original, layout, static_cast<std::uint64_t>(record)));
    };
    const auto refuse = [&result](ChangeRefusal refusal) {
        result.refusal = std::move(refusal);
        result.patches.clear();
        return std::move(result);
    };
    std::vector<bool> touched(static_cast<std::size_t>(std::max(records, 0)) + 1);
    std::vector<Planned> planned(changed.size());
    for (std::size_t k = 0; k < changed.size(); ++k) {
        const FieldChanges& change = changed[k];
        if (change.record < 1 || change.record > records)
            return refuse(Refusal(ChangeProblem::kNoSuchRecord, change.record, {}));
        const Fields old = fieldsOf(change.record);
        if (touched[change.record])
            return refuse(Refusal(ChangeProblem::kRecordTwice, change.record, old[0]));
        touched[change.record] = true;
        const std::uint64_t start = RecordStart(layout, static_cast<std::uint64_t>(change.record));
        // A last record that the file ends inside grows when written: a new file.
        if (start + recordSize > file.size()) {
            result.inPlace = false;
            return refuse({});
        }
        if (auto refusal = PlanChange(layout, change, old,
                                      std::string(original.substr(start, recordSize)), planned[k]))
            return refuse(std::move(*refusal));
    }

    // What must read as before: the records kept whose fields run on into a
    // changed one, through any others that do.
    std::vector<std::pair<std::int32_t, Fields>> kept;
    for (const FieldChanges& change : changed)
        for (std::int32_t i = change.record - 1; i >= 1 && !touched[i]; --i) {
            const Fields fields = fieldsOf(i);
            if (EndsInside(original, layout, static_cast<std::uint64_t>(i), fields)) break;
            kept.emplace_back(i, fields);
        }
    // What each must read as, owned: the views point into the bytes about
    // to change.
    using Owned = std::array<std::string, 4>;
    const auto owned = [](const Fields& fields) {
        return Owned{std::string(fields[0]), std::string(fields[1]), std::string(fields[2]),
                     std::string(fields[3])};
    };
    std::vector<std::pair<std::int32_t, Owned>> expected;
    for (std::size_t k = 0; k < changed.size(); ++k)
        expected.emplace_back(changed[k].record, owned(planned[k].fields));
    for (const auto& [record, fields] : kept) expected.emplace_back(record, owned(fields));

    for (std::size_t k = 0; k < changed.size(); ++k) {
        const std::uint64_t start =
            RecordStart(layout, static_cast<std::uint64_t>(changed[k].record));
        RecordPatch patch;
        patch.at = start;
        patch.before.assign(original.substr(start, recordSize));
        patch.after = std::move(planned[k].bytes);
        planned[k].bytes.clear();
        Write(file, start, patch.after);
        result.patches.push_back(std::move(patch));
    }

    // Read back, as a new file would be.
    std::optional<ChangeRefusal> refusal;
    const auto check = [&](std::int32_t record, const auto& want) {
        const Fields got = fieldsOf(record);
        for (std::size_t f = 0; f < 4 && !refusal; ++f)
            if (got[f] != want[f])
                refusal = Refusal(ChangeProblem::kReadsOtherwise, record, want[0],
                                  static_cast<LibraryField>(f));
    };
    for (const auto& [record, want] : expected)
        if (!refusal) check(record, want);
    if (refusal) {
        UndoPatches(file, result.patches);
        return refuse(std::move(*refusal));
    }
    return result;
}

void UndoPatches(std::span<char> file, const std::vector<RecordPatch>& patches) {
    for (std::size_t i = patches.size(); i-- > 0;) Write(file, patches[i].at, patches[i].before);
}

void RedoPatches(std::span<char> file, const std::vector<RecordPatch>& patches) {
    for (const RecordPatch& patch : patches) Write(file, patch.at, patch.after);
}
