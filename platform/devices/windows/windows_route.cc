// The Windows route's device: every intent of a line becomes INPUT records gathered in one array,
// handed to SendInput in one call by deliver(), so that a line's events reach the desktop
// together and in order, with nothing of another program's input between them.
//
// - Motion is absolute over the whole virtual desktop (MOUSEEVENTF_ABSOLUTE |
//   MOUSEEVENTF_VIRTUALDESK), to the nearest pixel, clamped to the desktop's bounding rectangle
//   (absolute_position.h); Windows itself keeps the pointer on a monitor. The rectangle is read
//   at each motion, so monitors that change while the agent runs are followed.
// - Buttons: CoreGraphics buttons 0, 1, 2 are the left, right and middle buttons. Windows counts
//   double clicks itself, from the time and place of the presses: the two presses of a
//   `dblclick` come in one SendInput call and are one, clicks sent further apart than the
//   double-click time stay two.
// - Wheel: the policy gives each scroll's share in wheel units, WHEEL_DELTA (120) a notch of 100
//   pixels, and carries the remainder; each scroll is sent at once with its units, since Windows
//   applications take deltas smaller than a notch. Positive vertical units (down) are a negative
//   wheel delta, positive horizontal units (right) a positive one.
// - Keys carry their scan code (with KEYEVENTF_EXTENDEDKEY for an extended one) and a virtual
//   key, since applications read either: for a key that types a character the virtual key the
//   keyboard layout in use gives its scan code, so shortcuts follow the layout as a physical key
//   press does; for every other key, and where the layout gives none, the key table's.
// - Text is KEYEVENTF_UNICODE, a press and a release per UTF-16 unit, so a scalar outside the
//   Basic Multilingual Plane is its two surrogates; a text intent (one grapheme cluster or more)
//   is always in one SendInput call.
// - The lock chord (L with a Windows key held, the lock_screen shortcut) is taken by Windows
//   before any synthetic input reaches it, so the press of L is LockWorkStation instead, and its
//   release sends nothing.
#include "platform/devices/windows/windows_route.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/devices/windows/absolute_position.h"

namespace {

struct Desktop {
  DesktopAxis x;
  DesktopAxis y;
};

Desktop virtualDesktop() {
  return {{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN)},
          {GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)}};
}

DWORD buttonFlag(CGMouseButton button, bool press) {
  switch (button) {
    case kCGMouseButtonLeft:
      return press ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case kCGMouseButtonRight:
      return press ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case kCGMouseButtonCenter:
      return press ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  }
  return 0;
}

// Whether the key types a character, so that its virtual key depends on the layout: letters,
// digits and the punctuation keys (VK_OEM_*).
bool typesCharacter(const PhysicalKey& key) {
  const unsigned vk = key.windowsVirtualKey;
  return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || (vk >= 0xBA && vk <= 0xE2);
}

bool isWindowsKey(const PhysicalKey& key) {
  return key.windowsVirtualKey == VK_LWIN || key.windowsVirtualKey == VK_RWIN;
}

INPUT mouseInput(LONG dx, LONG dy, DWORD mouseData, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.mouseData = mouseData;
  input.mi.dwFlags = flags;
  return input;
}

INPUT keyInput(WORD virtualKey, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

class WindowsDevice final : public Device {
 public:
  int scrollUnitsPerNotch() const override { return WHEEL_DELTA; }

  void moveTo(CGPoint point) override {
    const Desktop desktop = virtualDesktop();
    const std::int64_t x = nearestPixel(point.x, desktop.x);
    const std::int64_t y = nearestPixel(point.y, desktop.y);
    pending.push_back(
        mouseInput(normalisedPosition(x, desktop.x), normalisedPosition(y, desktop.y), 0,
                   MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK));
  }

  void button(CGMouseButton button, bool press, std::int64_t) override {
    if (const DWORD flag = buttonFlag(button, press)) pending.push_back(mouseInput(0, 0, 0, flag));
  }

  void scroll(const Scroll& scroll) override {
    if (scroll.vertical.units != 0) {
      pending.push_back(
          mouseInput(0, 0, static_cast<DWORD>(-scroll.vertical.units), MOUSEEVENTF_WHEEL));
    }
    if (scroll.horizontal.units != 0) {
      pending.push_back(
          mouseInput(0, 0, static_cast<DWORD>(scroll.horizontal.units), MOUSEEVENTF_HWHEEL));
    }
  }

  void key(const PhysicalKey& key, bool press) override {
    if (press && key.name == "KeyL" && windowsKeysHeld > 0) {
      deliver();
      LockWorkStation();
      lockPressed = true;
      return;
    }
    if (!press && key.name == "KeyL" && lockPressed) {
      lockPressed = false;
      return;
    }
    if (isWindowsKey(key)) windowsKeysHeld += press ? 1 : -1;
    const WORD scan = key.windowsScanCode & 0xFF;
    const bool extended = (key.windowsScanCode >> 8) == 0xE0;
    WORD virtualKey = key.windowsVirtualKey;
    if (typesCharacter(key)) {
      const HKL layout =
          GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
      if (const UINT mapped = MapVirtualKeyExW(scan, MAPVK_VSC_TO_VK_EX, layout)) {
        virtualKey = static_cast<WORD>(mapped);
      }
    }
    const DWORD flags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (press ? 0 : KEYEVENTF_KEYUP);
    pending.push_back(keyInput(virtualKey, scan, flags));
  }

  void text(std::u32string_view scalars) override {
    for (const char32_t scalar : scalars) {
      WORD units[2];
      int count = 1;
      if (scalar >= 0x10000) {
        units[0] = static_cast<WORD>(0xD800 + ((scalar - 0x10000) >> 10));
        units[1] = static_cast<WORD>(0xDC00 + ((scalar - 0x10000) & 0x3FF));
        count = 2;
      } else {
        units[0] = static_cast<WORD>(scalar);
      }
      for (int i = 0; i < count; ++i) {
        pending.push_back(keyInput(0, units[i], KEYEVENTF_UNICODE));
        pending.push_back(keyInput(0, units[i], KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
      }
    }
  }

  void deliver() override {
    if (pending.empty()) return;
    SendInput(static_cast<UINT>(pending.size()), pending.data(), sizeof(INPUT));
    pending.clear();
  }

 private:
  std::vector<INPUT> pending;
  int windowsKeysHeld = 0;
  bool lockPressed = false;
};

}  // namespace

std::unique_ptr<Device> openWindowsRoute(bool, std::string& whyNot) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (GetSystemMetrics(SM_CXVIRTUALSCREEN) <= 0 || GetSystemMetrics(SM_CYVIRTUALSCREEN) <= 0) {
    whyNot = "no desktop in this session";
    return nullptr;
  }
  return std::make_unique<WindowsDevice>();
}
