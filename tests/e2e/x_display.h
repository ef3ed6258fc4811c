#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QString>
#include <optional>

namespace quintavia::e2e {

// Another program's windows on the X display in DISPLAY, driven from outside as the window
// manager and the keyboard drive them: a connection of its own, apart from the test program's
// windows.
class XDisplay {
  public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool connected() const { return connection_ != nullptr; }

    // The windows the window manager manages, as it lists them; none without one.
    QList<xcb_window_t> managed();
    // The process that made `window`, as it says; none when it does not.
    std::optional<quint32> processOf(xcb_window_t window);
    QString title(xcb_window_t window);
    // The first managed window of `process` whose title starts with `title`.
    std::optional<xcb_window_t> find(quint32 process, const QString& title);

    // Asks the window manager to give `window` the focus, which it has once isActive.
    void activate(xcb_window_t window);
    bool isActive(xcb_window_t window);
    // A press and release of the key with this symbol, with `modifiers` (X's masks) held.
    bool pressKey(xcb_window_t window, xcb_keysym_t symbol, quint16 modifiers);
    // The window manager's close: the window is asked to close, as its title bar's button asks.
    void close(xcb_window_t window);

  private:
    xcb_atom_t atom(const char* name);
    QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
};

}  // namespace quintavia::e2e
