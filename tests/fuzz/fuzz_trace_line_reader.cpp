// Feeds arbitrary bytes, in arbitrary pieces, to the viewer's line reader: never a crash,
// no line longer than its limit and its mark, no control character in any line, and
// every newline-ended piece of at most the limit comes out whole (escaped).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "state/trace.h"
#include "ui/trace_output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t limit = 1 + data[0] % 64;
    const char* bytes = reinterpret_cast<const char*>(data) + 1;
    const size_t n = size - 1;
    TraceLineReader reader(limit);
    std::vector<std::string> lines;
    auto take = [&](const std::string& line) { lines.push_back(line); };
    // Pieces of 1..7 bytes, as the pipe may hand them.
    for (size_t at = 0, step = 1; at < n; at += step, step = step % 7 + 1)
        reader.Feed(bytes + at, step < n - at ? step : n - at, take);

    const std::string mark = TraceLineReader::kCutMark;
    for (const std::string& line : lines) {
        for (const char c : line) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x20 || b == 0x7F) std::abort();
        }
        // Escaping makes a byte at most four characters.
        if (line.size() > 4 * limit + mark.size()) std::abort();
    }
    // The same lines the whole input gives in one piece.
    TraceLineReader whole(limit);
    std::vector<std::string> again;
    whole.Feed(bytes, n, [&](const std::string& line) { again.push_back(line); });
    if (again != lines) std::abort();
    // Short lines come out as they went in.
    std::vector<std::string> expected;
    std::string current;
    bool cut = false;
    for (size_t i = 0; i < n; ++i) {
        if (bytes[i] == '\n') {
            if (!cut) {
                if (!current.empty() && current.back() == '\r') current.pop_back();
                expected.push_back(EscapeControlCharacters(current));
            }
            current.clear();
            cut = false;
        } else if (!cut) {
            current += bytes[i];
            if (current.size() >= limit) {
                expected.push_back(EscapeControlCharacters(current) + mark);
                cut = true;
            }
        }
    }
    if (expected != lines) std::abort();
    return 0;
}
