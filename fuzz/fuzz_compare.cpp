// libFuzzer target: two small tables decoded from the input, compared by the
// indexed comparison and by the plain nested loop, under the comparison
// options the input selects. Any difference in lists, common table, marks or
// changed entries is a finding, and so is a changed field that the options
// make equal.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "compare/compare.h"

namespace {

class CollectingList : public SymbolList {
public:
    void Empty() override { calls.emplace_back("\x01"); }
    void Add(std::string_view name) override { calls.emplace_back(name); }
    std::vector<std::string> calls;
};

// Input: records separated by '\n', fields by '|', tables by a 0 byte.
void Decode(std::string_view input, SymbolTable& t1, std::int32_t& n1, SymbolTable& t2,
            std::int32_t& n2) {
    SymbolTable* table = &t1;
    std::int32_t* count = &n1;
    std::size_t at = 0;
    while (at <= input.size() && *count < 512) {
        std::size_t end = input.find_first_of(std::string_view("\n\0", 2), at);
        if (end == std::string_view::npos) end = input.size();
        std::string_view record = input.substr(at, end - at);
        std::string_view fields[4];
        for (auto& field : fields) {
            const std::size_t bar = record.find('|');
            field = record.substr(0, bar);
            record = bar == std::string_view::npos ? std::string_view() : record.substr(bar + 1);
        }
        table->Assign(++*count, fields[0], fields[1], fields[2], fields[3]);
        if (end < input.size() && input[end] == '\0' && table == &t1) {
            table = &t2;
            count = &n2;
        }
        at = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // A first byte below 8 selects the options by its three bits (ignore
    // case, blanks, classifications) and is no part of the tables.
    ComparisonOptions options;
    if (!input.empty() && static_cast<unsigned char>(input.front()) < 8) {
        const auto bits = static_cast<unsigned char>(input.front());
        options.ignoreCase = bits & 1;
        options.ignoreBlanks = bits & 2;
        options.ignoreClassifications = bits & 4;
        input.remove_prefix(1);
    }
    SymbolTable t1, t2;
    std::int32_t n1 = 0, n2 = 0;
    Decode(input, t1, n1, t2, n2);

    SymbolTable fastCommon, slowCommon;
    std::int32_t fastCount = -1, slowCount = -1;
    CollectingList f1, f2, f3, s1, s2, s3;
    const Comparison fast = CompareTables(t1, n1, t2, n2, options);
    const Comparison slow = CompareTablesNestedLoop(t1, n1, t2, n2, options);
    PublishComparison(fast, fastCommon, fastCount, f1, f2, f3);
    PublishComparison(slow, slowCommon, slowCount, s1, s2, s3);
    if (fastCount != slowCount || f1.calls != s1.calls || f2.calls != s2.calls ||
        f3.calls != s3.calls || !fast.SameFindings(slow))
        std::abort();
    for (std::int32_t k = 0; k < fastCount; ++k)
        if (fastCommon[k].symbol != slowCommon[k].symbol ||
            fastCommon[k].classification2 != slowCommon[k].classification2)
            std::abort();
    for (const MatchedPair& pair : fast.pairs) {
        const SymbolEntry a = fast.Record1(pair), b = fast.Record2(pair);
        if ((pair.differences & kDesignationDiffers) &&
            SameField(a.designation, b.designation, options))
            std::abort();
        if ((pair.differences & (kClassification1Differs | kClassification2Differs)) &&
            (options.ignoreClassifications || !fast.classificationsCompared))
            std::abort();
    }
    return 0;
}
