// wlroots: ownership of Wayland client objects. A Proxy holds one object and destroys it with the
// protocol's destructor request (or wl_proxy_destroy for interfaces without one) when it goes:
// destroyProxy, overloaded for each interface the route uses.
#pragma once

#include <wayland-client.h>

#include <memory>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

inline void destroyProxy(wl_registry* proxy) { wl_registry_destroy(proxy); }
inline void destroyProxy(wl_seat* proxy) { wl_seat_destroy(proxy); }
inline void destroyProxy(wl_output* proxy) { wl_output_destroy(proxy); }
inline void destroyProxy(zxdg_output_manager_v1* proxy) { zxdg_output_manager_v1_destroy(proxy); }
inline void destroyProxy(zxdg_output_v1* proxy) { zxdg_output_v1_destroy(proxy); }
inline void destroyProxy(zwlr_virtual_pointer_manager_v1* proxy) {
  zwlr_virtual_pointer_manager_v1_destroy(proxy);
}
inline void destroyProxy(zwlr_virtual_pointer_v1* proxy) { zwlr_virtual_pointer_v1_destroy(proxy); }
inline void destroyProxy(zwp_virtual_keyboard_manager_v1* proxy) {
  zwp_virtual_keyboard_manager_v1_destroy(proxy);
}
inline void destroyProxy(zwp_virtual_keyboard_v1* proxy) { zwp_virtual_keyboard_v1_destroy(proxy); }

struct ProxyDestroy {
  template <typename T>
  void operator()(T* proxy) const {
    destroyProxy(proxy);
  }
};

template <typename T>
using Proxy = std::unique_ptr<T, ProxyDestroy>;

struct DisplayDisconnect {
  void operator()(wl_display* display) const { wl_display_disconnect(display); }
};
using DisplayPtr = std::unique_ptr<wl_display, DisplayDisconnect>;
