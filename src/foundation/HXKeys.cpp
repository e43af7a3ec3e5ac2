#include "foundation/HXKeys.h"

int HXKeys::wellKnownSlot(QStringView text) {
    for (const HXKey& key : kWellKnown) {
        if (key.text.size() == text.size() && key.text == text)
            return key.slot;
    }
    return -1;
}
