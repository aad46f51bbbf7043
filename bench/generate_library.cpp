// Writes a synthetic long-layout symbol library for the benchmarks.
//
//   generate_library OUT RECORDS SIDE
//
// SIDE 1 and SIDE 2 make a pair: half of the names are shared, every 50th
// record repeats the name before it, every 1000th shared name differs only in
// case, and every 10th shared record has another designation in library 2.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: generate_library OUT RECORDS SIDE(1|2)\n";
        return 2;
    }
    const long records = std::strtol(argv[2], nullptr, 10);
    const int side = std::atoi(argv[3]);
    std::ofstream out(argv[1], std::ios::binary);
    std::string header(14 + 144, '\0');
    header[0] = header[1] = '\xFF';
    out << header;

    std::string slot;
    char name[64];
    for (long i = 1; i <= records; ++i) {
        long n = i % 50 == 0 ? i - 1 : i;  // duplicates
        const bool shared = n <= records / 2;
        if (shared)
            std::snprintf(name, sizeof name, "SYM%08ld", n);
        else
            std::snprintf(name, sizeof name, "L%d-SYM%08ld", side, n);
        if (side == 2 && shared && n % 1000 == 7) name[0] = 's';  // differs only in case
        slot.assign(name);
        slot += '\0';
        slot += (side == 2 && shared && n % 10 == 0) ? "Ge\xE4nderte Bezeichnung " : "Bezeichnung ";
        slot += std::to_string(n % 9973);
        slot += '\0';
        slot += "Klasse " + std::to_string(n % 17);
        slot += '\0';
        slot += "Gr\xFCppe " + std::to_string(n % 5);
        slot += '\0';
        slot.resize(144, '\0');
        out << slot;
    }
    return out ? 0 : 1;
}
