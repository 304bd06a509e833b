#pragma once
#include <string>

#include "package/resources.h"

namespace package {

// Writes r into folder (ending in "/") under its fixed name, mode 0700, byte-identical. The
// bytes go to a fresh file that then takes the name, so a reader never sees a half-written
// tool and a running leftover is not written over in place. False on any failure, with errno
// telling why (0 when the resource is empty).
bool writeResource(const std::string& folder, const Resource& r);

}  // namespace package
