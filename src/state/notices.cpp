#include "state/notices.h"

#include <atomic>

namespace {
// Installed once by the shell; the layers below raise notices from any thread without
// knowing who shows them.
std::atomic<NoticeSink> g_sink{nullptr};
}  // namespace

void SetNoticeSink(NoticeSink sink) { g_sink = sink; }

void Notice(const std::string& text) {
    if (NoticeSink sink = g_sink.load()) sink(text);
}

std::string FillIn(const char* pattern, const std::string& value) {
    std::string text(pattern);
    for (size_t at = text.find("%s"); at != std::string::npos;
         at = text.find("%s", at + value.size()))
        text.replace(at, 2, value);
    return text;
}
