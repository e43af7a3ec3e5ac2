#pragma once

class HXUserDefaults;

// "Color Scheme": the View menu's "Original" (0), "Dark" (1) and "Light" (2). Other stored values draw
// as the original scheme.
enum class HXColorScheme : int {
    Original = 0,
    Dark = 1,
    Light = 2,
};

HXColorScheme HXColorSchemeFromInteger(long long value);
HXColorScheme HXCurrentColorScheme(const HXUserDefaults& defaults);
