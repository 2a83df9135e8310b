/* The reference for bench/e2e: the least a program can do per line and still deliver each line's
 * input at once, one XTest request and one XFlush per line. Reads stdin until its end:
 *
 *   M x y     XTestFakeMotionEvent to (x, y)
 *   K name    a tap (press, release) of the key whose keysym is named (XStringToKeysym)
 *   U hex     a tap of Unicode scalar hex, bound first to a spare keycode; spare keycodes are
 *             taken in turn, and nothing waits for receivers to see a new binding, so this is a
 *             lower bound on the cost of text entry rather than a correct way to type; at the
 *             end every spare keycode is emptied again
 *
 * Anything else is skipped. The keymap is read once; keysym lookups are Xlib's client-side ones.
 */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kMaxSpare = 256 };

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fputs("xtest_reference: cannot open the display\n", stderr);
    return 1;
  }
  int minCode = 0, maxCode = 0, perCode = 0;
  XDisplayKeycodes(display, &minCode, &maxCode);
  KeySym* map = XGetKeyboardMapping(display, (KeyCode)minCode, maxCode - minCode + 1, &perCode);
  int spare[kMaxSpare];
  int spareCount = 0;
  for (int code = minCode; code <= maxCode && spareCount < kMaxSpare; ++code) {
    int empty = 1;
    for (int i = 0; i < perCode; ++i) {
      if (map[(code - minCode) * perCode + i] != NoSymbol) empty = 0;
    }
    if (empty) spare[spareCount++] = code;
  }
  XFree(map);
  int nextSpare = 0;

  char line[256];
  while (fgets(line, sizeof line, stdin) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    if (line[0] == 'M' && line[1] == ' ') {
      char* end = NULL;
      const long x = strtol(line + 2, &end, 10);
      const long y = strtol(end, NULL, 10);
      XTestFakeMotionEvent(display, -1, (int)x, (int)y, CurrentTime);
    } else if (line[0] == 'K' && line[1] == ' ') {
      const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(line + 2));
      if (code == 0) continue;
      XTestFakeKeyEvent(display, code, True, CurrentTime);
      XTestFakeKeyEvent(display, code, False, CurrentTime);
    } else if (line[0] == 'U' && line[1] == ' ' && spareCount > 0) {
      KeySym sym = 0x01000000 | (KeySym)strtoul(line + 2, NULL, 16);
      const int code = spare[nextSpare];
      nextSpare = (nextSpare + 1) % spareCount;
      XChangeKeyboardMapping(display, code, 1, &sym, 1);
      XTestFakeKeyEvent(display, (unsigned)code, True, CurrentTime);
      XTestFakeKeyEvent(display, (unsigned)code, False, CurrentTime);
    } else {
      continue;
    }
    XFlush(display);
  }
  /* Spare keycodes go back to holding nothing, so that the next program finds them spare. */
  KeySym none = NoSymbol;
  for (int i = 0; i < spareCount; ++i) XChangeKeyboardMapping(display, spare[i], 1, &none, 1);
  XCloseDisplay(display);
  return 0;
}
