// Writes two long-layout libraries for timing libcompare-cli --take:
//
//   generate_take_pair LIB1 LIB2 RECORDS
//
// LIB2 holds RECORDS symbols with unique names. LIB1 holds the same records
// but every 10th with another designation, and it lacks every 1000th record
// of LIB2 and has as many of its own instead. So taking everything over from
// LIB1 into LIB2 changes RECORDS / 10 records, removes RECORDS / 1000 and
// adds as many.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string Record(const std::string& name, const std::string& designation, long n) {
    std::string record = name;
    record += '\0';
    record += designation;
    record += '\0';
    record += "Klasse " + std::to_string(n % 17);
    record += '\0';
    record += "Gr\xFCppe " + std::to_string(n % 5);
    record += '\0';
    record.resize(144, '\0');
    return record;
}

std::string Name(const char* prefix, long n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%08ld", prefix, n);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: generate_take_pair LIB1 LIB2 RECORDS\n";
        return 2;
    }
    const long records = std::strtol(argv[3], nullptr, 10);
    std::ofstream one(argv[1], std::ios::binary), two(argv[2], std::ios::binary);
    std::string header(14 + 144, '\0');
    header[0] = header[1] = '\xFF';
    one << header;
    two << header;
    for (long n = 1; n <= records; ++n) {
        const std::string designation = "Bezeichnung " + std::to_string(n % 9973);
        two << Record(Name("SYM", n), designation, n);
        if (n % 1000 == 0)
            one << Record(Name("NEU", n), designation, n);
        else
            one << Record(Name("SYM", n), n % 10 == 0 ? "Ge\xE4ndert " + designation : designation,
                          n);
    }
    return one && two ? 0 : 1;
}
