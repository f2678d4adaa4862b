#pragma once

// The state of the keyboard's lock keys, for the status bar's indicator panes.
struct LockKeys
{
    bool known = false; // false where the platform does not tell the lock state
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Asks the display server for the keyboard's lock lights. On X11 this is one round trip; on
// other platforms (Wayland, offscreen) the state is unknown.
LockKeys currentLockKeys();
