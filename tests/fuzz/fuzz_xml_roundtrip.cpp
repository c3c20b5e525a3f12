// Compose -> parse round trip on arbitrary bytes: whatever tree the reader
// builds (flags taken from the input), the composer's text of it, read back
// with spaces saved, gives the same tree (see XmlRoundTrip.h for the
// normalisation), in both line-break modes, with the trees in default memory
// or in a per-document arena.
#include "CXML_Arena.h"
#include "CXML_Element.h"
#include "XmlRoundTrip.h"

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size && i < 64; i++)
        h = (h ^ data[i]) * 16777619u;
    const bool saveSpaces = h & 1, literalAmpersands = h & 2, keepLineBreaks = h & 4, noLineBreaks = h & 8;
    CXML_Arena arena(1024);
    _IKW_Allocator* first = h & 16 ? &arena : nullptr;
    _IKW_Allocator* second = h & 32 ? &arena : nullptr;

    CXML_Element* root = CXML_Element::Parse(data, size, saveSpaces, nullptr, first, literalAmpersands,
                                             keepLineBreaks);
    if (!root)
        return 0;
    XmlRoundTrip trip = XmlComposeAndParse(root, noLineBreaks, second);
    if (trip.actual != trip.expected) {
        fprintf(stderr, "round trip differs\ncomposed: %s\nexpected: %s\nactual:   %s\n", trip.text.c_str(),
                trip.expected.c_str(), trip.actual.c_str());
        abort();
    }
    CXML_Element::Destroy(root);
    return 0;
}
