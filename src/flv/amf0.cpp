#include "flv/amf0.h"

#include <algorithm>

namespace flv {

namespace {

constexpr int kMaxDepth = 64;

std::optional<std::string> shortString(ByteReader& in) {
    auto len = in.u16();
    auto bytes = in.take(len);
    if (in.failed()) return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> longString(ByteReader& in) {
    auto len = in.u32();
    if (in.failed() || len > in.remaining()) return std::nullopt;
    auto bytes = in.take(len);
    return std::string(bytes.begin(), bytes.end());
}

std::optional<AmfValue> decodeValue(ByteReader& in, int depth);

// Properties up to the empty key and object-end marker.
bool decodeProperties(ByteReader& in, int depth, std::vector<AmfProperty>& out) {
    for (;;) {
        auto key = shortString(in);
        if (!key) return false;
        if (key->empty()) {
            std::uint8_t marker = in.u8();
            if (in.failed()) return false;
            if (marker == static_cast<std::uint8_t>(AmfType::ObjectEnd)) return true;
            return false;  // an empty key must introduce the end marker
        }
        auto v = decodeValue(in, depth + 1);
        if (!v) return false;
        out.push_back({std::move(*key), std::move(*v)});
    }
}

std::optional<AmfValue> decodeValue(ByteReader& in, int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    AmfValue v;
    std::uint8_t marker = in.u8();
    if (in.failed()) return std::nullopt;
    v.type = static_cast<AmfType>(marker);
    switch (v.type) {
        case AmfType::Number:
            v.number = in.f64();
            break;
        case AmfType::Boolean:
            v.number = in.u8() ? 1 : 0;
            break;
        case AmfType::Reference:
            v.number = in.u16();
            break;
        case AmfType::Null:
        case AmfType::Undefined:
        case AmfType::Unsupported:
            break;
        case AmfType::Date:
            v.number = in.f64();
            v.timezone = static_cast<std::int16_t>(in.u16());
            break;
        case AmfType::String: {
            auto s = shortString(in);
            if (!s) return std::nullopt;
            v.text = std::move(*s);
            break;
        }
        case AmfType::LongString:
        case AmfType::Xml: {
            auto s = longString(in);
            if (!s) return std::nullopt;
            v.text = std::move(*s);
            break;
        }
        case AmfType::TypedObject: {
            auto s = shortString(in);
            if (!s) return std::nullopt;
            v.text = std::move(*s);
            if (!decodeProperties(in, depth, v.properties)) return std::nullopt;
            break;
        }
        case AmfType::EcmaArray:
            in.u32();  // the count is a hint; the end marker is what counts
            [[fallthrough]];
        case AmfType::Object:
            if (!decodeProperties(in, depth, v.properties)) return std::nullopt;
            break;
        case AmfType::StrictArray: {
            std::uint32_t n = in.u32();
            // Each item takes at least one byte: a count beyond the data is malformed.
            if (in.failed() || n > in.remaining()) return std::nullopt;
            v.items.reserve(n);
            for (std::uint32_t i = 0; i < n; ++i) {
                auto item = decodeValue(in, depth + 1);
                if (!item) return std::nullopt;
                v.items.push_back(std::move(*item));
            }
            break;
        }
        default:
            return std::nullopt;
    }
    if (in.failed()) return std::nullopt;
    return v;
}

}  // namespace

AmfValue AmfValue::makeNumber(double d) {
    AmfValue v;
    v.type = AmfType::Number;
    v.number = d;
    return v;
}

AmfValue AmfValue::makeString(std::string s) {
    AmfValue v;
    v.type = s.size() > 0xFFFF ? AmfType::LongString : AmfType::String;
    v.text = std::move(s);
    return v;
}

AmfValue AmfValue::makeBoolean(bool b) {
    AmfValue v;
    v.type = AmfType::Boolean;
    v.number = b ? 1 : 0;
    return v;
}

const AmfValue* AmfValue::find(std::string_view key) const {
    auto it = std::find_if(properties.begin(), properties.end(),
                           [&](const AmfProperty& p) { return p.key == key; });
    return it == properties.end() ? nullptr : &it->value;
}

std::optional<AmfValue> decodeAmf(ByteReader& in) { return decodeValue(in, 0); }

std::optional<std::string> decodeAmfName(ByteReader& in) {
    std::uint8_t marker = in.u8();
    if (in.failed() || marker != static_cast<std::uint8_t>(AmfType::String)) return std::nullopt;
    return shortString(in);
}

void AmfWriter::number(double d) {
    out_.u8(static_cast<std::uint8_t>(AmfType::Number));
    out_.f64(d);
}

void AmfWriter::boolean(bool b) {
    out_.u8(static_cast<std::uint8_t>(AmfType::Boolean));
    out_.u8(b ? 1 : 0);
}

void AmfWriter::string(std::string_view s) {
    if (s.size() > 0xFFFF) {
        out_.u8(static_cast<std::uint8_t>(AmfType::LongString));
        out_.u32(static_cast<std::uint32_t>(s.size()));
    } else {
        out_.u8(static_cast<std::uint8_t>(AmfType::String));
        out_.u16(static_cast<std::uint16_t>(s.size()));
    }
    out_.text(s);
}

void AmfWriter::date(double ms, std::int16_t timezone) {
    out_.u8(static_cast<std::uint8_t>(AmfType::Date));
    out_.f64(ms);
    out_.u16(static_cast<std::uint16_t>(timezone));
}

void AmfWriter::key(std::string_view k) {
    k = k.substr(0, 0xFFFF);
    out_.u16(static_cast<std::uint16_t>(k.size()));
    out_.text(k);
}

void AmfWriter::beginEcmaArray(std::uint32_t count) {
    out_.u8(static_cast<std::uint8_t>(AmfType::EcmaArray));
    out_.u32(count);
}

void AmfWriter::beginObject() { out_.u8(static_cast<std::uint8_t>(AmfType::Object)); }

void AmfWriter::endObject() {
    out_.u16(0);
    out_.u8(static_cast<std::uint8_t>(AmfType::ObjectEnd));
}

void AmfWriter::beginStrictArray(std::uint32_t count) {
    out_.u8(static_cast<std::uint8_t>(AmfType::StrictArray));
    out_.u32(count);
}

void AmfWriter::properties(const std::vector<AmfProperty>& props) {
    for (const auto& p : props) {
        key(p.key);
        value(p.value);
    }
    endObject();
}

void AmfWriter::value(const AmfValue& v) {
    switch (v.type) {
        case AmfType::Number:
            number(v.number);
            break;
        case AmfType::Boolean:
            boolean(v.number != 0);
            break;
        case AmfType::String:
        case AmfType::LongString:
            string(v.text);
            break;
        case AmfType::Date:
            date(v.number, v.timezone);
            break;
        case AmfType::Reference:
            out_.u8(static_cast<std::uint8_t>(AmfType::Reference));
            out_.u16(static_cast<std::uint16_t>(v.number));
            break;
        case AmfType::Xml:
            out_.u8(static_cast<std::uint8_t>(AmfType::Xml));
            out_.u32(static_cast<std::uint32_t>(v.text.size()));
            out_.text(v.text);
            break;
        case AmfType::Object:
            beginObject();
            properties(v.properties);
            break;
        case AmfType::EcmaArray:
            beginEcmaArray(static_cast<std::uint32_t>(v.properties.size()));
            properties(v.properties);
            break;
        case AmfType::TypedObject:
            out_.u8(static_cast<std::uint8_t>(AmfType::TypedObject));
            key(v.text);
            properties(v.properties);
            break;
        case AmfType::StrictArray:
            beginStrictArray(static_cast<std::uint32_t>(v.items.size()));
            for (const auto& item : v.items) value(item);
            break;
        case AmfType::Undefined:
        case AmfType::Unsupported:
        case AmfType::Null:
        default:
            out_.u8(static_cast<std::uint8_t>(v.type));
            break;
    }
}

}  // namespace flv
