#include "pictures/HXColorScheme.h"

#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXUserDefaults.h"

HXColorScheme HXColorSchemeFromInteger(long long value) {
    switch (value) {
    case 1:
        return HXColorScheme::Dark;
    case 2:
        return HXColorScheme::Light;
    default:
        return HXColorScheme::Original;
    }
}

HXColorScheme HXCurrentColorScheme(const HXUserDefaults& defaults) {
    return HXColorSchemeFromInteger(defaults.integerForKey(HXDefaultsKeys::ColorScheme));
}
