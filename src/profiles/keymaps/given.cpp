#include "profiles/keymaps/keymaps.h"

namespace keymaps {
using namespace keys;
namespace {
constexpr ButtonKeys kPlaceholder[] = {{Ok, {K(vk::RETURN)}}};
}  // namespace
const KeyMap kRow018 = kPlaceholder;
const KeyMap kRow019 = kPlaceholder;
const KeyMap kRow028 = kPlaceholder;
const KeyMap kRow065 = kPlaceholder;
const KeyMap kRow076 = kPlaceholder;
const KeyMap kRow080 = kPlaceholder;
const KeyMap kRow096 = kPlaceholder;
const KeyMap kRow113 = kPlaceholder;
const KeyMap kRow120 = kPlaceholder;
const KeyMap kRow134 = kPlaceholder;
const KeyMap kRow136 = kPlaceholder;
const KeyMap kRow138 = kPlaceholder;
const KeyMap kRow139 = kPlaceholder;
const KeyMap kRow144 = kPlaceholder;
const KeyMap kRow153 = kPlaceholder;
const KeyMap kRow038 = kRow021;
const KeyMap kRow054 = kRow032;
const KeyMap kRow130 = kRow026;
}  // namespace keymaps
