#include "routing/dispatcher.h"

// Until the decision order is in place every button takes its default keystroke.
bool ButtonDispatcher(int32_t /*button*/, int32_t /*variant*/) { return false; }
MessageId ButtonMessage() { return 0; }
void RegisterButtonMessage() {}
