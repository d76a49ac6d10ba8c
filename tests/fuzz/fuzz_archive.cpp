// Loads a button map from arbitrary archive bytes: never a crash or a write outside a
// record, and whatever loads stores back to bytes that load to the same map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "receiver/button_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CButtonMap map;
    CArchive in(std::vector<uint8_t>(data, data + size));
    map.Serialize(in);

    CArchive out;
    map.Serialize(out);
    CButtonMap again;
    CArchive back(out.Bytes());
    again.Serialize(back);
    if (again.Count() != map.Count()) std::abort();
    for (int32_t id = -2; id < 50; ++id) {
        const CRButton* a = map.FindButton(id);
        const CRButton* b = again.FindButton(id);
        if ((a == nullptr) != (b == nullptr)) std::abort();
        if (a != nullptr && (a->primaryLength != b->primaryLength ||
                             a->alternateLength != b->alternateLength || a->primaryLength < 0 ||
                             a->primaryLength > kSequenceBytes))
            std::abort();
    }
    return 0;
}
