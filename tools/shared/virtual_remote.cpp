#include "shared/virtual_remote.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <random>

#include "receiver/remote_button.h"
#include "shared/pack.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ParseNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0' && std::isfinite(out) && out >= 0;
}

bool ParseCount(const std::string& text, uint32_t& out) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    out = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

std::vector<std::string> Split(const std::string& word, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = word.find(sep, start);
        parts.push_back(word.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

}  // namespace

int32_t ParseButton(const std::string& word) {
    uint32_t id = 0;
    if (ParseCount(word, id)) return id < static_cast<uint32_t>(kButtonCount) ? static_cast<int32_t>(id) : -1;
    const std::string wanted = Lower(word);
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (Lower(RemoteButtonName(i)) == wanted) return i;
    }
    return -1;
}

bool ParseDurationMs(const std::string& word, uint32_t& ms) {
    const std::string w = Lower(word);
    double value = 0;
    double scale = 1;
    std::string number = w;
    if (w.size() > 2 && w.compare(w.size() - 2, 2, "ms") == 0) {
        number = w.substr(0, w.size() - 2);
    } else if (w.size() > 1 && w.back() == 's') {
        number = w.substr(0, w.size() - 1);
        scale = 1000;
    }
    if (!ParseNumber(number, value)) return false;
    const double total = value * scale;
    if (total > 24.0 * 3600 * 1000) return false;
    ms = static_cast<uint32_t>(std::lround(total));
    return true;
}

bool ParseRawValues(const std::string& word, std::vector<uint8_t>& values) {
    values.clear();
    if (word.find(',') == std::string::npos) {
        for (const char c : word) {
            if (c < '1' || c > '9') return false;
            values.push_back(static_cast<uint8_t>(c - '0'));
        }
    } else {
        for (const std::string& part : Split(word, ',')) {
            uint32_t n = 0;
            if (!ParseCount(part, n) || n < 1 || n > 255) return false;
            values.push_back(static_cast<uint8_t>(n));
        }
    }
    return !values.empty() && values.size() <= 999;
}

namespace {

// raw=VALUES[:hold=..|:frames=N][:repeat=VALUES][:every=DURATION]
bool AddRawPress(const std::vector<std::string>& parts, const std::string& word, uint32_t& t,
                 PressScript& script) {
    std::vector<uint8_t> code, repeat;
    if (!ParseRawValues(parts[0].substr(4), code)) {
        script.error = "not a code: " + word;
        return false;
    }
    uint32_t frames = 1, every = kFramePeriodMs, holdMs = 0;
    bool held = false;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string option = Lower(parts[i]);
        const size_t eq = option.find('=');
        const std::string key = option.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : option.substr(eq + 1);
        uint32_t n = 0;
        if (key == "hold" && ParseDurationMs(value, n)) {
            held = true;
            holdMs = n;
        } else if (key == "frames" && ParseCount(value, n) && n > 0) {
            frames = n;
        } else if (key == "repeat" && ParseRawValues(value, repeat)) {
        } else if (key == "every" && ParseDurationMs(value, n) && n > 0) {
            every = n;
        } else {
            script.error = "not understood: " + parts[i] + " in " + word;
            return false;
        }
    }
    // The receiver's end mark leaves a nibble for the last value.
    if (PackCode(code).empty() || (!repeat.empty() && PackCode(repeat).empty())) {
        script.error = "cannot be sent (the last value is over 14): " + word;
        return false;
    }
    if (held) frames = holdMs == 0 ? 1 : (holdMs + every - 1) / every;
    for (uint32_t f = 0; f < frames; ++f) {
        RemoteFrame frame;
        frame.atMs = t;
        frame.values = f > 0 && !repeat.empty() ? repeat : code;
        script.frames.push_back(std::move(frame));
        t += every;
    }
    return true;
}

}  // namespace

PressScript BuildPressScript(const std::vector<std::string>& words, int32_t firstVariant) {
    PressScript script;
    int32_t nextVariant = firstVariant == 2 ? 2 : 1;
    uint32_t t = 0;  // when the next press may send its first frame
    uint32_t jitter = 0;
    // The draw is written out rather than left to a distribution, whose results differ
    // between standard libraries: a seed replays the same frames on every build.
    std::mt19937 random(0);
    for (const std::string& word : words) {
        if (!script.frames.empty() && script.frames.back().cutAfter != 0) {
            script.error = "nothing can follow a press cut short: " + word;
            return script;
        }
        const std::vector<std::string> parts = Split(word, ':');
        const std::string head = Lower(parts[0]);
        if (head.rfind("pause=", 0) == 0 || head.rfind("wait=", 0) == 0) {
            uint32_t ms = 0;
            if (parts.size() != 1 || !ParseDurationMs(head.substr(head.find('=') + 1), ms)) {
                script.error = "not a pause: " + word;
                return script;
            }
            t += ms;
            continue;
        }
        if (head.rfind("jitter=", 0) == 0) {
            if (parts.size() != 1 || !ParseDurationMs(head.substr(7), jitter) ||
                jitter >= kFramePeriodMs) {
                script.error = "not a jitter below 114 ms: " + word;
                return script;
            }
            continue;
        }
        if (head.rfind("seed=", 0) == 0) {
            uint32_t seed = 0;
            if (parts.size() != 1 || !ParseCount(head.substr(5), seed)) {
                script.error = "not a seed: " + word;
                return script;
            }
            random.seed(seed);
            continue;
        }
        if (head.rfind("raw=", 0) == 0) {
            if (!AddRawPress(parts, word, t, script)) return script;
            continue;
        }
        const int32_t id = ParseButton(parts[0]);
        if (id < 0) {
            script.error = "no such button: " + parts[0];
            return script;
        }
        uint32_t frames = 1;
        uint32_t cut = 0;
        int32_t variant = nextVariant;
        for (size_t i = 1; i < parts.size(); ++i) {
            const std::string option = Lower(parts[i]);
            const size_t eq = option.find('=');
            const std::string key = option.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : option.substr(eq + 1);
            uint32_t n = 0;
            if (key == "hold" && ParseDurationMs(value, n)) {
                frames = n == 0 ? 1 : (n + kFramePeriodMs - 1) / kFramePeriodMs;
            } else if (key == "frames" && ParseCount(value, n) && n > 0) {
                frames = n;
            } else if (key == "variant" && (value == "1" || value == "2")) {
                variant = value == "1" ? 1 : 2;
            } else if (key == "cut" && ParseCount(value, n) && n > 0) {
                cut = n;
            } else {
                script.error = "not understood: " + parts[i] + " in " + word;
                return script;
            }
        }
        for (uint32_t f = 0; f < frames; ++f) {
            if (f > 0 && jitter > 0) t += static_cast<uint32_t>(random() % (2 * jitter + 1)) - jitter;
            script.frames.push_back(RemoteFrame{id, variant, t, 0, {}});
            t += kFramePeriodMs;
        }
        script.frames.back().cutAfter = cut;
        nextVariant = variant == 1 ? 2 : 1;
    }
    return script;
}
