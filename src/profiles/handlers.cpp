#include "profiles/handlers.h"

#include "platform/vk.h"
#include "routing/input.h"

void SendStrokes(const keys::Strokes& strokes) {
    for (const keys::Stroke& s : strokes) {
        const bool ctrl = (s.mods & keys::kCtrl) != 0;
        const bool alt = (s.mods & keys::kAlt) != 0;
        const bool shift = (s.mods & keys::kShift) != 0;
        if (s.UsesScan()) {
            SendKeystrokeEx(s.vk, ctrl, alt, shift, s.scan, s.extended ? kKeyExtended : 0);
        } else {
            SendKeystroke(s.vk, ctrl, alt, shift);
        }
    }
}

int SendMappedKeys(const keys::KeyMap& table, int32_t button) {
    const keys::ButtonKeys* entry = table.Find(button);
    if (entry == nullptr) return 0;
    SendStrokes(entry->strokes);
    return 1;
}

void LetterEntryTimer() {}

const char* const kWebRadioTitleText = "";
int HandleRow006(int32_t) { return 0; }
int HandleRow012(int32_t) { return 0; }
int HandleRow013(int32_t) { return 0; }
int HandleRow016(int32_t) { return 0; }
int HandleRow030(int32_t) { return 0; }
int HandleRow055(int32_t) { return 0; }
int HandleRow078(int32_t) { return 0; }
int HandleRow094(int32_t) { return 0; }
int HandleRow097(int32_t) { return 0; }
int HandleRow105(int32_t) { return 0; }
int HandleRow107(int32_t) { return 0; }
int HandleRow109(int32_t) { return 0; }
int HandleRow111(int32_t) { return 0; }
int HandleRow112(int32_t) { return 0; }
int HandleRow116(int32_t) { return 0; }
int HandleRow122(int32_t) { return 0; }
int HandleRow125(int32_t) { return 0; }
int HandleRow128(int32_t) { return 0; }
int HandleRow132(int32_t) { return 0; }
int HandleRow136(int32_t) { return 0; }
int HandleRow138(int32_t) { return 0; }
int HandleRow148(int32_t) { return 0; }
int HandleRow149(int32_t) { return 0; }
int HandleRow150(int32_t) { return 0; }
