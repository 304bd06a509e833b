#include "package/resources.h"

#include "package/embedded_data.h"

namespace package {
namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

const Resource& ffmpegResource() {
    static const Resource r{"FFMPEG", "~tmpLmbFmg.exe", lumba_res_ffmpeg,
                            static_cast<std::size_t>(lumba_res_ffmpeg_end - lumba_res_ffmpeg)};
    return r;
}

const Resource& flvmdiResource() {
    static const Resource r{"FLVMDI", "~tmpLmbFmd.exe", lumba_res_flvmdi,
                            static_cast<std::size_t>(lumba_res_flvmdi_end - lumba_res_flvmdi)};
    return r;
}

const Resource& clipResource() {
    static const Resource r{"RESWMV", "~tmpLmbFlv.wmv", lumba_res_reswmv,
                            static_cast<std::size_t>(lumba_res_reswmv_end - lumba_res_reswmv)};
    return r;
}

std::vector<const Resource*> toolSet(const std::string& commandLine) {
    // mencoder is not carried: every cut, join and re-encode is an ffmpeg command, so the sets
    // that named it get ffmpeg (and flvmdi where the FLV family rebuilds metadata).
    const std::string word = trimmed(commandLine);
    const Resource* ff = &ffmpegResource();
    const Resource* md = &flvmdiResource();
    if (word == "CapMCI") return {&clipResource()};
    if (word == "Edit1" || word == "Fix1" || word == "Encode") return {ff, md};
    if (word == "Edit2" || word == "Edit3" || word == "Fix2" || word == "Fix3" || word == "Snap")
        return {ff};
    return {};
}

}  // namespace package
