#include "flv_test_util.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "flv/bytes.h"

namespace flvtest {

namespace fs = std::filesystem;

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

static std::uint32_t rd(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | b.at(at + i);
    return v;
}

bool RawTag::isVideoKeyframe() const {
    if (type != 9 || bodySize() < 2 || (body(0) >> 4) != 1) return false;
    return (body(0) & 0x0F) != 7 || body(1) == 1;
}

std::vector<RawTag> splitTags(const Bytes& file) {
    if (file.size() < 13 || file[0] != 'F' || file[1] != 'L' || file[2] != 'V')
        throw std::runtime_error("not an FLV");
    std::vector<RawTag> tags;
    std::size_t at = rd(file, 5, 4) + 4;
    while (at < file.size()) {
        RawTag t;
        t.offset = at;
        t.type = file.at(at);
        std::uint32_t size = rd(file, at + 1, 3);
        t.timestamp = rd(file, at + 4, 3) | rd(file, at + 7, 1) << 24;
        if (at + 11 + size + 4 > file.size()) throw std::runtime_error("truncated tag");
        if (rd(file, at + 11 + size, 4) != 11 + size) throw std::runtime_error("bad prev size");
        t.bytes.assign(file.begin() + static_cast<long>(at),
                       file.begin() + static_cast<long>(at + 11 + size));
        tags.push_back(std::move(t));
        at += 11 + size + 4;
    }
    return tags;
}

std::vector<RawTag> audioVideoTags(const std::vector<RawTag>& tags) {
    std::vector<RawTag> out;
    std::copy_if(tags.begin(), tags.end(), std::back_inserter(out),
                 [](const RawTag& t) { return t.type == 8 || t.type == 9; });
    return out;
}

std::string scriptName(const RawTag& tag) {
    if (tag.type != 18) return {};
    flv::ByteReader in(std::span(tag.bytes).subspan(11));
    return flv::decodeAmfName(in).value_or("");
}

std::optional<flv::AmfValue> scriptValue(const RawTag& tag) {
    flv::ByteReader in(std::span(tag.bytes).subspan(11));
    if (!flv::decodeAmfName(in)) return std::nullopt;
    return flv::decodeAmf(in);
}

Bytes joinTags(const std::vector<RawTag>& tags, std::uint8_t flags) {
    flv::ByteWriter w;
    w.text("FLV");
    w.u8(1);
    w.u8(flags);
    w.u32(9);
    w.u32(0);
    for (const auto& t : tags) {
        w.bytes(t.bytes);
        w.u32(static_cast<std::uint32_t>(t.bytes.size()));
    }
    return std::move(w.data());
}

RawTag makeTag(std::uint8_t type, std::uint32_t timestamp, const Bytes& body) {
    flv::ByteWriter w;
    w.u8(type);
    w.u24(static_cast<std::uint32_t>(body.size()));
    w.u24(timestamp & 0xFFFFFF);
    w.u8(static_cast<std::uint8_t>(timestamp >> 24));
    w.u24(0);
    w.bytes(body);
    RawTag t;
    t.type = type;
    t.timestamp = timestamp;
    t.bytes = std::move(w.data());
    return t;
}

Bytes scriptBody(const std::string& name, const flv::AmfValue& value) {
    flv::ByteWriter w;
    flv::AmfWriter amf(w);
    amf.string(name);
    amf.value(value);
    return std::move(w.data());
}

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "flvtest-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    ::chmod(tmpl.c_str(), 0755);
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    ::chmod(path_.c_str(), 0755);
    fs::remove_all(path_, ec);
}

std::vector<std::string> TempDir::names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::string TempDir::copy(const std::string& from, const std::string& name) const {
    std::string to = file(name);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    ::chmod(to.c_str(), 0644);
    return to;
}

std::string flvmdiPath() {
    const char* dir = std::getenv("LUMBA_BIN_DIR");
    if (dir && *dir) return std::string(dir) + "/flvmdi";
    // Programs and tests share one output folder.
    return (fs::read_symlink("/proc/self/exe").parent_path() / "flvmdi").string();
}

testmedia::RunResult runFlvmdi(const std::string& file) {
    return testmedia::run({flvmdiPath(), file});
}

std::string decodeErrors(const std::string& path) {
    return testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-f", "null", "-"})
        .output;
}

int flvmetaErrors(const std::string& file) {
    auto r = testmedia::run({"flvmeta", "--check", file});
    std::smatch m;
    static const std::regex re("([0-9]+) error\\(s\\)");
    if (!std::regex_search(r.output, m, re)) return -1;
    return std::stoi(m[1]);
}

double num(const flv::AmfValue& v, const std::string& key) {
    const flv::AmfValue* p = v.find(key);
    return p ? p->number : std::nan("");
}

std::string metadataFaults(const Bytes& file) {
    const auto tags = splitTags(file);
    if (tags.empty() || scriptName(tags.front()) != "onMetaData") return "no onMetaData first";
    const auto meta = scriptValue(tags.front());
    if (!meta) return "the onMetaData does not decode";
    std::ostringstream faults;
    if (num(*meta, "filesize") != static_cast<double>(file.size()))
        faults << "filesize " << num(*meta, "filesize") << " for " << file.size() << " bytes; ";
    std::vector<const RawTag*> keys;
    bool video = false, audio = false;
    for (const RawTag& t : tags) {
        video = video || t.type == 9;
        audio = audio || t.type == 8;
        if (t.isVideoKeyframe() && (keys.empty() || keys.back()->timestamp != t.timestamp))
            keys.push_back(&t);
    }
    if (num(*meta, "hasVideo") != (video ? 1 : 0)) faults << "hasVideo wrong; ";
    if (num(*meta, "hasAudio") != (audio ? 1 : 0)) faults << "hasAudio wrong; ";
    const flv::AmfValue* kf = meta->find("keyframes");
    const flv::AmfValue* pos = kf ? kf->find("filepositions") : nullptr;
    const flv::AmfValue* times = kf ? kf->find("times") : nullptr;
    if (!pos || !times) return faults.str() + (keys.empty() ? "" : "no keyframe index");
    if (pos->items.size() != keys.size() || times->items.size() != keys.size()) {
        faults << pos->items.size() << " keyframes indexed, " << keys.size() << " in the file";
        return faults.str();
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (pos->items[i].number != static_cast<double>(keys[i]->offset))
            faults << "keyframe " << i << " indexed at " << pos->items[i].number << ", lies at "
                   << keys[i]->offset << "; ";
        if (std::abs(times->items[i].number * 1000 - keys[i]->timestamp) > 0.01)
            faults << "keyframe " << i << " time " << times->items[i].number << "; ";
    }
    return faults.str();
}

}  // namespace flvtest
