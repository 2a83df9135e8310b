// Draws a whole Scene into an off-screen pixmap the size of the window and copies it to the
// window, so that a repaint never flickers and an Expose is served from memory.
//
// Layout, top to bottom: a status line (pointer, held buttons, scroll offset, click counts, the
// last key), the drawing area (a grid that moves with the scroll offset, the strokes, the click
// marks, a cross at the pointer), and the typed-text panel.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include "fonts.h"
#include "scene.h"

class Painter {
 public:
  Painter(Display* display, Window window, int width, int height);
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  bool ok() const { return text_.ok() && small_.ok(); }
  void resize(int width, int height);
  // Draws the scene into the pixmap and copies all of it to the window.
  void paint(const Scene& scene);
  // Copies part of the last painting to the window again (Expose).
  void expose(int x, int y, int width, int height);

 private:
  void makePixmap();
  void freePixmap();
  unsigned long pixel(unsigned rgb);
  void drawStatus(const Scene& scene);
  void drawArea(const Scene& scene);
  void drawText(const Scene& scene);

  Display* display_;
  Window window_;
  int screen_;
  Visual* visual_;
  Colormap colormap_;
  int width_;
  int height_;
  Pixmap pixmap_ = 0;
  GC gc_;
  XftDraw* xft_ = nullptr;
  FontChain text_;
  FontChain small_;
  XftColor ink_{};
  XftColor grey_{};
  XftColor tokenInk_{};
};
