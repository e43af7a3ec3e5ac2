#pragma once

class HXHotKeyReferencePool;
class HXHotKeyRegistrar;
class HXKeyboardLayout;
class HXUserDefaults;

// What hot keys register with and read: the settings, the system's registrar (null: nothing can be
// registered), the keyboard layout for key names (null: only the named keys have names) and the pool
// of shared registrations.
struct HXHotKeyContext {
    HXUserDefaults& defaults;
    HXHotKeyRegistrar* registrar = nullptr;
    const HXKeyboardLayout* layout = nullptr;
    HXHotKeyReferencePool& pool;
};
