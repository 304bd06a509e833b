#pragma once
// The files this program carries, embedded at build time, and the tool sets that name them.
#include <cstddef>
#include <string>
#include <vector>

namespace package {

struct Resource {
    const char* name;      // FFMPEG, FLVMDI, RESWMV
    const char* fileName;  // the fixed name written into the private folder
    const unsigned char* data;
    std::size_t size;
};

// The embedded resources (a resource the build could not embed has size 0).
const Resource& ffmpegResource();
const Resource& flvmdiResource();
const Resource& clipResource();

// The resources a tool-set word writes, in order. The word is compared exactly after trimming
// spaces from both ends; an unknown word (or another case) selects nothing.
std::vector<const Resource*> toolSet(const std::string& commandLine);

}  // namespace package
