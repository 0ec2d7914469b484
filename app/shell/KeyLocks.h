#pragma once
// The state of the keyboard's lock keys: asked of the X server where the
// program runs on one, otherwise read from the keyboard LEDs exported by
// Linux under /sys/class/leds. A lock whose state cannot be read counts as off.

struct SKeyLocks {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

SKeyLocks ReadKeyLocks();
