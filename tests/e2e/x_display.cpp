#include "x_display.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace quintavia::e2e {
namespace {

template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
Owned<Reply> Own(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

}  // namespace

XDisplay::XDisplay() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
}

XDisplay::~XDisplay() {
    if (connection_) xcb_disconnect(connection_);
}

xcb_atom_t XDisplay::atom(const char* name) {
    const auto reply = Own(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<quint16>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QByteArray XDisplay::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
    const auto reply = Own(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, name, type, 0, 1 << 16), nullptr));
    if (!reply || reply->type == XCB_NONE) return {};
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

QList<xcb_window_t> XDisplay::managed() {
    const QByteArray list = property(root_, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    QList<xcb_window_t> windows;
    for (qsizetype at = 0; at + 4 <= list.size(); at += 4) {
        xcb_window_t window = 0;
        std::memcpy(&window, list.constData() + at, 4);
        windows << window;
    }
    return windows;
}

std::optional<quint32> XDisplay::processOf(xcb_window_t window) {
    const QByteArray pid = property(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
    if (pid.size() < 4) return std::nullopt;
    quint32 value = 0;
    std::memcpy(&value, pid.constData(), 4);
    return value;
}

QString XDisplay::title(xcb_window_t window) {
    const QByteArray name = property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    if (!name.isEmpty()) return QString::fromUtf8(name);
    return QString::fromLatin1(property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING));
}

std::optional<xcb_window_t> XDisplay::find(quint32 process, const QString& title) {
    for (const xcb_window_t window : managed())
        if (processOf(window) == process && this->title(window).startsWith(title)) return window;
    return std::nullopt;
}

void XDisplay::activate(xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;  // asked for by a pager, which the window manager obeys
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

bool XDisplay::isActive(xcb_window_t window) {
    const QByteArray active = property(root_, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (active.size() < 4) return false;
    xcb_window_t value = 0;
    std::memcpy(&value, active.constData(), 4);
    return value == window;
}

bool XDisplay::pressKey(xcb_window_t window, xcb_keysym_t symbol, quint16 modifiers) {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto map = Own(xcb_get_keyboard_mapping_reply(
        connection_,
        xcb_get_keyboard_mapping(connection_, setup->min_keycode, static_cast<quint8>(count)),
        nullptr));
    if (!map) return false;
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(map.get());
    const int perCode = map->keysyms_per_keycode;
    xcb_keycode_t code = 0;
    for (int i = 0; i < count * perCode && !code; ++i)
        if (symbols[i] == symbol)
            code = static_cast<xcb_keycode_t>(setup->min_keycode + i / perCode);
    if (!code) return false;
    for (const quint8 type : {quint8(XCB_KEY_PRESS), quint8(XCB_KEY_RELEASE)}) {
        xcb_key_press_event_t key{};
        key.response_type = type;
        key.detail = code;
        key.time = XCB_CURRENT_TIME;
        key.root = root_;
        key.event = window;
        key.child = XCB_NONE;
        key.event_x = key.event_y = key.root_x = key.root_y = 1;
        key.state = modifiers;
        key.same_screen = 1;
        xcb_send_event(
            connection_, 0, window,
            type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
            reinterpret_cast<const char*>(&key));
    }
    xcb_flush(connection_);
    return true;
}

void XDisplay::close(xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

}  // namespace quintavia::e2e
