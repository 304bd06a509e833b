#pragma once
// Big-endian fields as FLV and AMF0 store them.
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace flv {

inline std::uint16_t be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
inline std::uint32_t be24(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
}
inline std::uint32_t be32(const std::uint8_t* p) {
    // One load, not four: a tag walk reads several of these per tag.
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
    return v;
}
inline double beDouble(const std::uint8_t* p) {
    std::uint64_t u = std::uint64_t{be32(p)} << 32 | be32(p + 4);
    return std::bit_cast<double>(u);
}

// Appends big-endian fields to a growing buffer.
class ByteWriter {
  public:
    void u8(std::uint8_t v) { buf_.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v >> 8));
        u8(static_cast<std::uint8_t>(v));
    }
    void u24(std::uint32_t v) {
        u8(static_cast<std::uint8_t>(v >> 16));
        u16(static_cast<std::uint16_t>(v));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v >> 16));
        u16(static_cast<std::uint16_t>(v));
    }
    void f64(double d) {
        std::uint64_t u = std::bit_cast<std::uint64_t>(d);
        u32(static_cast<std::uint32_t>(u >> 32));
        u32(static_cast<std::uint32_t>(u));
    }
    void bytes(std::span<const std::uint8_t> b) { buf_.insert(buf_.end(), b.begin(), b.end()); }
    void text(std::string_view s) { buf_.insert(buf_.end(), s.begin(), s.end()); }
    void fill(std::uint8_t v, std::size_t n) { buf_.insert(buf_.end(), n, v); }
    std::size_t size() const { return buf_.size(); }
    std::vector<std::uint8_t>& data() { return buf_; }
    const std::vector<std::uint8_t>& data() const { return buf_; }

  private:
    std::vector<std::uint8_t> buf_;
};

// Reads big-endian fields from a span; any read past the end sets a sticky failure flag
// and yields zeros, so parsers check once at the end instead of after every field.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> data) : d_(data) {}
    bool need(std::size_t n) {
        if (failed_ || d_.size() - pos_ < n) {
            failed_ = true;
            return false;
        }
        return true;
    }
    std::uint8_t u8() { return need(1) ? d_[pos_++] : 0; }
    std::uint16_t u16() { return need(2) ? advance(2, be16(d_.data() + pos_)) : 0; }
    std::uint32_t u24() { return need(3) ? advance(3, be24(d_.data() + pos_)) : 0; }
    std::uint32_t u32() { return need(4) ? advance(4, be32(d_.data() + pos_)) : 0; }
    double f64() { return need(8) ? advance(8, beDouble(d_.data() + pos_)) : 0.0; }
    std::span<const std::uint8_t> take(std::size_t n) {
        if (!need(n)) return {};
        auto s = d_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return failed_ ? 0 : d_.size() - pos_; }
    bool failed() const { return failed_; }

  private:
    template <class T>
    T advance(std::size_t n, T v) {
        pos_ += n;
        return v;
    }
    std::span<const std::uint8_t> d_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace flv
