// The filter-list reader and its import into the model: any text as a list, imported into
// every channel. What the device cannot hold must be moved into range, never stored as it is.
//
// Input: the list's bytes as UTF-8.

#include "presets/filter_list.h"
#include "presets/filter_import.h"
#include "support/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const FilterList list = ReadFilterList(text);
    for (const ListNote& note : list.notes) (void)NoteKindText(note.kind);

    ParameterModel model;
    const std::vector<ChannelId> channels = {0, 1, 2, 3, 4, 5};
    (void)ImportFilterList(list, channels, model);
    fuzz::RequireInRange(model);
    fuzz::ReadEveryLookup(model);
    return 0;
}
