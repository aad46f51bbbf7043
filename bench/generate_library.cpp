// Writes a synthetic long-layout symbol library for the benchmarks.
//
//   generate_library OUT RECORDS SIDE [shuffled]
//
// SIDE 1 and SIDE 2 make a pair: half of the names are shared, every 50th
// record repeats the name before it, every 1000th shared name differs only in
// case, and every 10th shared record has another designation in library 2.
// With "shuffled" the same records are written in random order (a fixed seed
// for each side), as a library grown by additions anywhere and edited in
// place; otherwise in alphabetical order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Slot(long i, long records, int side) {
    long n = i % 50 == 0 ? i - 1 : i;  // duplicates
    const bool shared = n <= records / 2;
    char name[64];
    if (shared)
        std::snprintf(name, sizeof name, "SYM%08ld", n);
    else
        std::snprintf(name, sizeof name, "L%d-SYM%08ld", side, n);
    if (side == 2 && shared && n % 1000 == 7) name[0] = 's';  // differs only in case
    std::string slot(name);
    slot += '\0';
    slot += (side == 2 && shared && n % 10 == 0) ? "Ge\xE4nderte Bezeichnung " : "Bezeichnung ";
    slot += std::to_string(n % 9973);
    slot += '\0';
    slot += "Klasse " + std::to_string(n % 17);
    slot += '\0';
    slot += "Gr\xFCppe " + std::to_string(n % 5);
    slot += '\0';
    slot.resize(144, '\0');
    return slot;
}

}  // namespace

int main(int argc, char** argv) {
    const bool shuffled = argc == 5 && std::strcmp(argv[4], "shuffled") == 0;
    if (argc != 4 && !shuffled) {
        std::cerr << "usage: generate_library OUT RECORDS SIDE(1|2) [shuffled]\n";
        return 2;
    }
    const long records = std::strtol(argv[2], nullptr, 10);
    const int side = std::atoi(argv[3]);
    std::ofstream out(argv[1], std::ios::binary);
    std::string header(14 + 144, '\0');
    header[0] = header[1] = '\xFF';
    out << header;

    std::vector<long> order(static_cast<std::size_t>(records > 0 ? records : 0));
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<long>(k) + 1;
    if (shuffled) {  // Fisher-Yates with splitmix64, the same on every platform
        std::uint64_t state = 0x9E3779B97F4A7C15u * static_cast<std::uint64_t>(side);
        const auto next = [&state] {
            std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
            return z ^ (z >> 31);
        };
        for (std::size_t k = order.size(); k > 1; --k) std::swap(order[k - 1], order[next() % k]);
    }
    for (long i : order) out << Slot(i, records, side);
    return out ? 0 : 1;
}
