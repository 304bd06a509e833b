// The play list readers on arbitrary bytes, read as each format: never a crash, and every
// entry is trimmed text. Entries are resolved against a folder that does not exist, so only
// addresses may come back as items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/media_kinds.h"
#include "common/text_file.h"
#include "lists/list_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using lists::ListFormat;
    const QString text = decodeText(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (ListFormat f :
         {ListFormat::Plt, ListFormat::M3u, ListFormat::Pls, ListFormat::Asx, ListFormat::Xspf}) {
        for (const QString& entry : lists::listEntries(f, text)) {
            if (entry.isEmpty() || entry != entry.trimmed()) std::abort();
            const QString item =
                lists::openableItem(f, entry, QStringLiteral("/nonexistent-fuzz-folder/"));
            if (!item.isEmpty() && !isUrl(item) && !item.startsWith(u'/')) std::abort();
        }
    }
    return 0;
}
