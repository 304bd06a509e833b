#pragma once
// MSB-first bit reader with Exp-Golomb codes, for codec headers. Reads past the end yield
// zeros and set a sticky failure flag.
#include <cstdint>
#include <span>

namespace flv {

class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> data) : d_(data) {}
    std::uint32_t bit() {
        if (pos_ >= d_.size() * 8) {
            failed_ = true;
            return 0;
        }
        std::uint32_t b = (d_[pos_ / 8] >> (7 - pos_ % 8)) & 1;
        ++pos_;
        return b;
    }
    std::uint32_t bits(int n) {  // n <= 32
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 1 | bit();
        return v;
    }
    void skip(std::size_t n) {
        pos_ += n;
        if (pos_ > d_.size() * 8) failed_ = true;
    }
    // Unsigned Exp-Golomb; values beyond 32 bits mark the read as failed.
    std::uint32_t ue() {
        int zeros = 0;
        while (bit() == 0) {
            if (failed_ || ++zeros > 31) {
                failed_ = true;
                return 0;
            }
        }
        return static_cast<std::uint32_t>((std::uint64_t{1} << zeros) - 1 + bits(zeros));
    }
    std::int32_t se() {
        std::uint32_t k = ue();
        return (k & 1) ? static_cast<std::int32_t>((k + 1) / 2) : -static_cast<std::int32_t>(k / 2);
    }
    bool failed() const { return failed_; }
    std::size_t position() const { return pos_; }  // in bits

  private:
    std::span<const std::uint8_t> d_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace flv
