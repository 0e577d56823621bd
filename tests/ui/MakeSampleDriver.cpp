// Writes the sample driver image that README offers for a first try:
//   morvex_make_sample <path>
// A 4 KiB file with a table of capacity 16 holding four entries and zeroed free slots.
#include <cstdio>
#include <exception>

#include "support/DriverFixture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <path>\n", argv[0]);
        return 2;
    }
    constexpr std::array<std::uint8_t, 3> kZero{0, 0, 0};
    morvex::test::DriverFixture sample;
    sample.size(4096)
        .tableAt(0x200)
        .capacity(16)
        .entry(0x1234, 0x0001, 0x03, kZero)   // BULK Only
        .entry(0x1234, 0x0002, 0x81, kZero)   // CBI, write-protected
        .entry(0x0ABC, 0x0100, 0x02, kZero)   // CB (non-interrupt endpoint)
        .entry(0x0ABC, 0x0200, 0x41, kZero);  // CBI with firmware download
    for (int slot = 4; slot <= 16; ++slot) {
        sample.slot(slot, 0, 0, 0, kZero);
    }
    try {
        sample.write(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
