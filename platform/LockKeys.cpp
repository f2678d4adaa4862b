#include "platform/LockKeys.h"

#include <QGuiApplication>

#ifdef SKYRAKE_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

LockKeys currentLockKeys()
{
    LockKeys keys;
#ifdef SKYRAKE_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return keys;
    // The core keyboard control reply carries the lights: X numbers them from 1, and the
    // servers' keymaps put Caps Lock on 1, Num Lock on 2 and Scroll Lock on 3.
    xcb_get_keyboard_control_reply_t* reply =
        xcb_get_keyboard_control_reply(connection, xcb_get_keyboard_control(connection), nullptr);
    if (!reply)
        return keys;
    keys.known = true;
    keys.capsLock = reply->led_mask & 0x1;
    keys.numLock = reply->led_mask & 0x2;
    keys.scrollLock = reply->led_mask & 0x4;
    std::free(reply);
#endif
    return keys;
}
