// Windows tests: the receiving window (see receiver.h).
#include "windows/receiver.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

namespace {

Receiver* current = nullptr;

std::string format(const char* pattern, long a, long b = 0, long c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

}  // namespace

Receiver::Receiver() {
  current = this;
  ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread = std::thread([this] { run(); });
  WaitForSingleObject(ready, 10000);
}

Receiver::~Receiver() {
  if (hwnd != nullptr) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  thread.join();
  CloseHandle(ready);
  current = nullptr;
}

void Receiver::run() {
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"InputAgentReceiver";
  RegisterClassW(&windowClass);
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  hwnd = CreateWindowExW(WS_EX_TOPMOST, L"InputAgentReceiver", L"receiver", WS_POPUP | WS_VISIBLE,
                         x, y, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  MSG message;
  // The window exists and has its first messages handled before anyone sends input.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  SetEvent(ready);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  UnregisterClassW(L"InputAgentReceiver", windowClass.hInstance);
}

void Receiver::note(std::string line) {
  const std::lock_guard lock(mutex);
  log.push_back(std::move(line));
  lastLine = std::chrono::steady_clock::now();
}

std::vector<std::string> Receiver::lines() {
  const std::lock_guard lock(mutex);
  return log;
}

void Receiver::clear() {
  const std::lock_guard lock(mutex);
  log.clear();
}

std::vector<std::string> Receiver::waitFor(
    const std::function<bool(const std::vector<std::string>&)>& done,
    std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    std::vector<std::string> now = lines();
    if (done(now) || std::chrono::steady_clock::now() > deadline) return now;
    Sleep(2);
  }
}

std::vector<std::string> Receiver::settle(std::chrono::milliseconds quiet) {
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::seconds(10);
  for (;;) {
    Sleep(10);
    std::chrono::steady_clock::time_point last;
    {
      const std::lock_guard lock(mutex);
      last = std::max(lastLine, start);
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - last >= quiet || now > deadline) return lines();
  }
}

LRESULT CALLBACK Receiver::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Receiver* self = current;
  auto position = [&] {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &point);
    return point;
  };
  auto button = [&](const char* what, const char* which) {
    const POINT point = position();
    self->note(std::string(what) + " " + which + format(" %ld %ld", point.x, point.y));
    return 0;
  };
  auto keyLine = [&](const char* what) {
    const long scan =
        static_cast<long>((lParam >> 16) & 0xFF) | ((lParam & (1 << 24)) ? 0xE000 : 0);
    const bool repeat = what[3] == 'd' && (lParam & (1 << 30)) != 0;
    self->note(std::string(what) + format(" 0x%02lX 0x%04lX", static_cast<long>(wParam), scan) +
               (repeat ? " repeat" : ""));
    return 0;
  };
  switch (message) {
    case WM_MOUSEMOVE: {
      const POINT point = position();
      self->note(format("move %ld %ld", point.x, point.y));
      return 0;
    }
    case WM_LBUTTONDOWN:
      return button("down", "left");
    case WM_LBUTTONUP:
      return button("up", "left");
    case WM_LBUTTONDBLCLK:
      return button("dblclk", "left");
    case WM_RBUTTONDOWN:
      return button("down", "right");
    case WM_RBUTTONUP:
      return button("up", "right");
    case WM_RBUTTONDBLCLK:
      return button("dblclk", "right");
    case WM_MBUTTONDOWN:
      return button("down", "middle");
    case WM_MBUTTONUP:
      return button("up", "middle");
    case WM_MBUTTONDBLCLK:
      return button("dblclk", "middle");
    case WM_MOUSEWHEEL:
      self->note(format("wheel %ld", GET_WHEEL_DELTA_WPARAM(wParam)));
      return 0;
    case WM_MOUSEHWHEEL:
      self->note(format("hwheel %ld", GET_WHEEL_DELTA_WPARAM(wParam)));
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return keyLine("keydown");
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return keyLine("keyup");
    case WM_CHAR:
      self->note(format("char U+%04lX", static_cast<long>(wParam)));
      return 0;
    case WM_SYSCHAR:
      self->note(format("syschar U+%04lX", static_cast<long>(wParam)));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}
