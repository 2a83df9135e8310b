/* The reference for bench/windows/run: the least a Windows program can do per line and still
 * deliver each line's input at once, one SendInput call per line. Reads stdin until its end:
 *
 *   M x y     an absolute move over the virtual desktop to pixel (x, y), normalised as the agent
 *             normalises (platform/devices/windows/absolute_position.h)
 *   U hex     a press and release of Unicode scalar hex as KEYEVENTF_UNICODE (two surrogates
 *             beyond the Basic Multilingual Plane)
 *
 * Anything else is skipped.
 */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static LONG normalised(long pixel, long origin, long size) {
  long k = pixel - origin;
  if (k < 0) k = 0;
  if (k > size - 1) k = size - 1;
  return (LONG)((2 * (long long)k + 1) * 32768 / size);
}

static INPUT key(WORD unit, DWORD up) {
  INPUT input = {0};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = unit;
  input.ki.dwFlags = KEYEVENTF_UNICODE | up;
  return input;
}

int main(void) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  char line[256];
  while (fgets(line, sizeof line, stdin) != NULL) {
    if (line[0] == 'M' && line[1] == ' ') {
      long x = 0, y = 0;
      if (sscanf(line + 2, "%ld %ld", &x, &y) != 2) continue;
      INPUT input = {0};
      input.type = INPUT_MOUSE;
      input.mi.dx = normalised(x, GetSystemMetrics(SM_XVIRTUALSCREEN),
                               GetSystemMetrics(SM_CXVIRTUALSCREEN));
      input.mi.dy = normalised(y, GetSystemMetrics(SM_YVIRTUALSCREEN),
                               GetSystemMetrics(SM_CYVIRTUALSCREEN));
      input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
      SendInput(1, &input, sizeof input);
    } else if (line[0] == 'U' && line[1] == ' ') {
      unsigned long scalar = strtoul(line + 2, NULL, 16);
      INPUT inputs[4];
      UINT count = 0;
      if (scalar >= 0x10000) {
        WORD high = (WORD)(0xD800 + ((scalar - 0x10000) >> 10));
        WORD low = (WORD)(0xDC00 + ((scalar - 0x10000) & 0x3FF));
        inputs[count++] = key(high, 0);
        inputs[count++] = key(high, KEYEVENTF_KEYUP);
        inputs[count++] = key(low, 0);
        inputs[count++] = key(low, KEYEVENTF_KEYUP);
      } else {
        inputs[count++] = key((WORD)scalar, 0);
        inputs[count++] = key((WORD)scalar, KEYEVENTF_KEYUP);
      }
      SendInput(count, inputs, sizeof(INPUT));
    }
  }
  return 0;
}
