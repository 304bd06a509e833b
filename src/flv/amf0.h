#pragma once
// AMF0, the value encoding of FLV script tags: a tree for decoding (old metadata, cue
// points) and a streaming writer for encoding (the new onMetaData, which can hold many
// keyframes and is written without building a tree).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "flv/bytes.h"

namespace flv {

enum class AmfType : std::uint8_t {
    Number = 0,
    Boolean = 1,
    String = 2,
    Object = 3,
    Null = 5,
    Undefined = 6,
    Reference = 7,
    EcmaArray = 8,
    ObjectEnd = 9,
    StrictArray = 10,
    Date = 11,
    LongString = 12,
    Unsupported = 13,
    Xml = 15,
    TypedObject = 16,
};

struct AmfProperty;

struct AmfValue {
    AmfType type = AmfType::Null;
    double number = 0;                    // Number, Date (ms), Boolean (0 or 1), Reference (index)
    std::int16_t timezone = 0;            // Date
    std::string text;                     // String, LongString, Xml, TypedObject class name
    std::vector<AmfProperty> properties;  // Object, EcmaArray, TypedObject
    std::vector<AmfValue> items;          // StrictArray

    static AmfValue makeNumber(double d);
    static AmfValue makeString(std::string s);
    static AmfValue makeBoolean(bool b);

    bool isObjectLike() const {
        return type == AmfType::Object || type == AmfType::EcmaArray ||
               type == AmfType::TypedObject;
    }
    // The property named key of an object-like value, else null.
    const AmfValue* find(std::string_view key) const;
};

struct AmfProperty {
    std::string key;
    AmfValue value;
};

// Decodes one value; nullopt on malformed or too deeply nested input.
std::optional<AmfValue> decodeAmf(ByteReader& in);
// Decodes the name of a script tag (an AMF0 string value); nullopt if it is not one.
std::optional<std::string> decodeAmfName(ByteReader& in);

class AmfWriter {
  public:
    explicit AmfWriter(ByteWriter& out) : out_(out) {}
    void number(double d);
    void boolean(bool b);
    void string(std::string_view s);  // long string beyond 65535 bytes
    void date(double ms, std::int16_t timezone);
    void key(std::string_view k);  // a property name (no type marker)
    void beginEcmaArray(std::uint32_t count);
    void beginObject();
    void endObject();  // ends an Object or an EcmaArray
    void beginStrictArray(std::uint32_t count);
    void value(const AmfValue& v);

  private:
    void properties(const std::vector<AmfProperty>& props);
    ByteWriter& out_;
};

}  // namespace flv
