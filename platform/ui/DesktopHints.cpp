// Window-manager hints that the toolkit has no word for.
#include "platform/ui/private/WindowManager_p.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeReply {
    void operator()(void* Reply) const { std::free(Reply); }
};

xcb_atom_t InternAtom(xcb_connection_t* Connection, const char* Name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(Connection, 0, uint16_t(std::strlen(Name)), Name);
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(Connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

namespace platform_ui {

void KeepOffTaskBar(QWidget* Widget) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    const auto window = static_cast<xcb_window_t>(Widget->winId());
    const xcb_atom_t state = InternAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskBar = InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = InternAtom(connection, "_NET_WM_STATE_SKIP_PAGER");
    if (state == XCB_ATOM_NONE || skipTaskBar == XCB_ATOM_NONE || skipPager == XCB_ATOM_NONE) return;
    // The window is not mapped yet: the states it is mapped with are its
    // property's, which the toolkit adds its own to.
    std::vector<xcb_atom_t> states;
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(
        xcb_get_property_reply(connection, cookie, nullptr));
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        states.assign(atoms, atoms + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
    }
    for (const xcb_atom_t wanted : {skipTaskBar, skipPager})
        if (std::find(states.begin(), states.end(), wanted) == states.end()) states.push_back(wanted);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());
    xcb_flush(connection);
}

} // namespace platform_ui
