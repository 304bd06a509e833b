// Not a test: writes each kind of damage of an FLV file into a folder, for
// bench/repair_compare.sh.
//   flv_damage SRC FOLDER  ->  FOLDER/<damage>.flv
#include <cstdio>
#include <exception>

#include "flv_damages.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SRC FOLDER\n", argv[0]);
        return 2;
    }
    try {
        const flvtest::Bytes intact = flvtest::readFile(argv[1]);
        for (const flvtest::Damage& d : flvtest::damages()) {
            flvtest::writeFile(std::string(argv[2]) + "/" + d.name + ".flv", d.apply(intact));
            std::printf("%s %d\n", d.name.c_str(), d.keepsEveryFrame ? 1 : 0);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "flv_damage: %s\n", e.what());
        return 1;
    }
    return 0;
}
