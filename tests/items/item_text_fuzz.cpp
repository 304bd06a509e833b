// Marks text and item text from arbitrary bytes: never a crash, and whatever is accepted
// writes back to a text that reads as the same pairs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "items/item_text.h"
#include "items/line_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto pairs = items::parseMarksText(text);
    if (pairs) {
        for (const auto& p : *pairs)
            if (p.start < 0 || p.end <= p.start) std::abort();
        if (items::parseMarksText(items::formatMarksText(*pairs)) != pairs) std::abort();
    }
    const auto parts = items::splitItemText(text);
    if (parts.marks.contains(items::kItemSeparator)) std::abort();
    if (!parts.marks.isEmpty() && items::joinItemText(parts.path, parts.marks) != text)
        std::abort();
    for (int format = 0; format <= 3; ++format) {
        const auto line = mdlLineFormat::itemDisplayLine(text, format);
        if (line.path != parts.path || line.marks != parts.marks) std::abort();
    }
    return 0;
}
