// kestrin.dll's export of the platform layer's box hook. Not in the kit:
// harlith.dll links the kit too and exports its own hook setter instead.
#include "platform.h"

kestrin_box_hook kestrinsetboxhook(kestrin_box_hook hook) { return kestrinswapboxhook(hook); }
