#pragma once
#include <string>

#include "package/resources.h"

namespace package {

// Writes r into folder (ending in "/") under its fixed name, mode 0700, byte-identical. The
// bytes go to a fresh file that then takes the name, so a reader never sees a half-written
// tool and a running leftover is not written over in place. False on any failure.
bool writeResource(const std::string& folder, const Resource& r);

}  // namespace package
