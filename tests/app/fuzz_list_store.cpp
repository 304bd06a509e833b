// Feeds arbitrary text to the list-store reader; writing what it read and reading that again
// must give the same lists.
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "app/list_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const lists::PlayLists read = app::readListStore(text.split(QLatin1Char('\n')));
    const QStringList written = app::listStoreLines(read);
    const QStringList again = app::listStoreLines(app::readListStore(written));
    if (again != written) std::abort();
    return 0;
}
