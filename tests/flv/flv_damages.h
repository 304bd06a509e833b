#pragma once
// The kinds of damage old FLV files show, each applied to a copy of a well-formed file: the
// repair tests use them, and bench/repair_compare.sh (through flv_damage) compares repairs.
#include <functional>
#include <string>
#include <vector>

#include "flv_test_util.h"

namespace flvtest {

struct Damage {
    std::string name;
    std::function<Bytes(const Bytes&)> apply;
    bool keepsEveryFrame = true;  // the damage destroys no frame
    int clockJumps = 0;           // places where the damage makes the clock jump
};

std::vector<Damage> damages();

}  // namespace flvtest
