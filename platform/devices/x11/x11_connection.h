// X11: the connection to the X server that DISPLAY names, with the XTest extension, and the
// silent error handling every file of the route relies on.
//
// X protocol errors are dropped (failures are silent). When the server goes away the connection
// is marked lost (x11ConnectionLost) instead of ending the process, and no Xlib call is made on
// it again: every user asks live() or x11ConnectionLost() first.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

// Set by the I/O error handler when the server goes away.
bool x11ConnectionLost();

struct DisplayClose {
  void operator()(Display* display) const;
};
using DisplayPtr = std::unique_ptr<Display, DisplayClose>;

class X11Connection {
 public:
  // The display with XTest, or null with `whyNot` saying what is missing.
  static std::unique_ptr<X11Connection> open(std::string& whyNot);

  // The connection, or null once it has been lost.
  Display* live() const;
  int screen() const { return screen_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Sends everything to the server and drops what it sent unasked meanwhile.
  void flush();

 private:
  DisplayPtr display;
  int screen_ = 0;
  int width_ = 0;
  int height_ = 0;
};
