#include "painter.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "utf8.h"

namespace {

constexpr int statusHeight = 34;
constexpr int textPanelHeight = 150;
constexpr int grid = 40;
constexpr int pad = 12;

// Line colours by button: hover trail, left, middle, right.
constexpr unsigned buttonRgb[] = {0xB8B8B8, 0x1F6FEB, 0x2DA44E, 0xD1242F};

unsigned rgbForButton(int button) {
  return button >= 0 && button <= 3 ? buttonRgb[button] : 0x8250DF;
}

XftColor makeXftColor(Display* d, Visual* v, Colormap c, unsigned rgb) {
  XRenderColor r{static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257),
                 static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257),
                 static_cast<unsigned short>((rgb & 0xFF) * 257), 0xFFFF};
  XftColor color{};
  XftColorAllocValue(d, v, c, &r, &color);
  return color;
}

std::string buttonsText(unsigned held) {
  std::string s;
  const char* names[] = {"left", "middle", "right"};
  for (int b = 0; b < 3; ++b)
    if (held & (1u << b)) s += std::string(s.empty() ? "" : "+") + names[b];
  return s.empty() ? "none" : s;
}

}  // namespace

Painter::Painter(Display* display, Window window, int width, int height)
    : display_(display),
      window_(window),
      screen_(DefaultScreen(display)),
      visual_(DefaultVisual(display, screen_)),
      colormap_(DefaultColormap(display, screen_)),
      width_(width),
      height_(height),
      gc_(XCreateGC(display, window, 0, nullptr)),
      text_(display, screen_, "DejaVu Sans", 24),
      small_(display, screen_, "DejaVu Sans", 15) {
  ink_ = makeXftColor(display, visual_, colormap_, 0x1B1F24);
  grey_ = makeXftColor(display, visual_, colormap_, 0x57606A);
  tokenInk_ = makeXftColor(display, visual_, colormap_, 0x0B3D91);
  makePixmap();
}

Painter::~Painter() {
  freePixmap();
  XftColorFree(display_, visual_, colormap_, &ink_);
  XftColorFree(display_, visual_, colormap_, &grey_);
  XftColorFree(display_, visual_, colormap_, &tokenInk_);
  XFreeGC(display_, gc_);
}

void Painter::makePixmap() {
  pixmap_ = XCreatePixmap(display_, window_, static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_),
                          static_cast<unsigned>(DefaultDepth(display_, screen_)));
  xft_ = XftDrawCreate(display_, pixmap_, visual_, colormap_);
}

void Painter::freePixmap() {
  if (xft_) XftDrawDestroy(xft_);
  if (pixmap_) XFreePixmap(display_, pixmap_);
  xft_ = nullptr;
  pixmap_ = 0;
}

void Painter::resize(int width, int height) {
  if (width == width_ && height == height_) return;
  freePixmap();
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  makePixmap();
}

unsigned long Painter::pixel(unsigned rgb) {
  // TrueColor visuals (Xvfb at depth 24, any current desktop): the pixel is the RGB value.
  if (visual_->c_class == TrueColor) {
    auto channel = [](unsigned value, unsigned long mask) {
      int shift = 0;
      while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
      }
      int bits = 0;
      while (mask & 1) {
        mask >>= 1;
        ++bits;
      }
      return static_cast<unsigned long>(value >> (8 - std::min(bits, 8))) << shift;
    };
    return channel((rgb >> 16) & 0xFF, visual_->red_mask) |
           channel((rgb >> 8) & 0xFF, visual_->green_mask) |
           channel(rgb & 0xFF, visual_->blue_mask);
  }
  XColor c{};
  c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
  c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
  c.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
  return XAllocColor(display_, colormap_, &c) ? c.pixel : BlackPixel(display_, screen_);
}

void Painter::paint(const Scene& scene) {
  XSetForeground(display_, gc_, pixel(0xFFFFFF));
  XFillRectangle(display_, pixmap_, gc_, 0, 0, static_cast<unsigned>(width_),
                 static_cast<unsigned>(height_));
  drawArea(scene);
  drawStatus(scene);
  drawText(scene);
  expose(0, 0, width_, height_);
}

void Painter::expose(int x, int y, int width, int height) {
  XCopyArea(display_, pixmap_, window_, gc_, x, y, static_cast<unsigned>(width),
            static_cast<unsigned>(height), x, y);
}

void Painter::drawStatus(const Scene& scene) {
  XSetForeground(display_, gc_, pixel(0xF3F4F6));
  XFillRectangle(display_, pixmap_, gc_, 0, 0, static_cast<unsigned>(width_), statusHeight);
  XSetForeground(display_, gc_, pixel(0xD0D7DE));
  XDrawLine(display_, pixmap_, gc_, 0, statusHeight - 1, width_, statusHeight - 1);

  char line[512];
  const Point p = scene.pointer();
  const Point s = scene.scroll();
  std::snprintf(line, sizeof line,
                "pointer %d,%d   buttons %s   scroll %+d,%+d (wheel \u2191%d \u2193%d \u2190%d "
                "\u2192%d)   clicks %d   double clicks %d",
                p.x, p.y, buttonsText(scene.heldButtons()).c_str(), s.x, s.y, scene.wheelNotches(4),
                scene.wheelNotches(5), scene.wheelNotches(6), scene.wheelNotches(7), scene.clicks(),
                scene.doubleClicks());
  const int baseline = (statusHeight + small_.ascent()) / 2 - 2;
  small_.draw(xft_, grey_, pad, baseline, line);
}

void Painter::drawArea(const Scene& scene) {
  const int top = statusHeight;
  const int bottom = height_ - textPanelHeight;
  XRectangle clip{0, static_cast<short>(top), static_cast<unsigned short>(width_),
                  static_cast<unsigned short>(std::max(bottom - top, 0))};
  XSetClipRectangles(display_, gc_, 0, 0, &clip, 1, Unsorted);
  const Point s = scene.scroll();

  // The grid is drawn in content coordinates: it shows how far the content has scrolled.
  XSetLineAttributes(display_, gc_, 1, LineSolid, CapButt, JoinMiter);
  XSetForeground(display_, gc_, pixel(0xEEF1F4));
  auto mod = [](int a, int m) { return ((a % m) + m) % m; };
  for (int x = -mod(s.x, grid); x < width_; x += grid)
    XDrawLine(display_, pixmap_, gc_, x, top, x, bottom);
  for (int y = top - mod(s.y + top, grid); y < bottom; y += grid)
    XDrawLine(display_, pixmap_, gc_, 0, y, width_, y);
  // The content origin, so that a scroll is visible even on an empty canvas.
  XSetForeground(display_, gc_, pixel(0xC9D1D9));
  XDrawLine(display_, pixmap_, gc_, -s.x, top, -s.x, bottom);
  XDrawLine(display_, pixmap_, gc_, 0, -s.y + top, width_, -s.y + top);

  std::vector<XPoint> points;
  for (const Stroke& stroke : scene.strokes()) {
    if (stroke.points.empty()) continue;
    points.clear();
    for (const Point& p : stroke.points) {
      // Coordinates beyond the short range cannot be drawn; clamp far outside the clip.
      const int x = std::clamp(p.x - s.x, -16000, 16000);
      const int y = std::clamp(p.y - s.y, -16000, 16000);
      points.push_back({static_cast<short>(x), static_cast<short>(y)});
    }
    const bool hover = stroke.button == 0;
    XSetForeground(display_, gc_, pixel(rgbForButton(stroke.button)));
    XSetLineAttributes(display_, gc_, hover ? 1 : 4, hover ? LineOnOffDash : LineSolid, CapRound,
                       JoinRound);
    if (points.size() == 1 && hover) continue;
    if (points.size() == 1) {
      XFillArc(display_, pixmap_, gc_, points[0].x - 2, points[0].y - 2, 5, 5, 0, 360 * 64);
    } else {
      XDrawLines(display_, pixmap_, gc_, points.data(), static_cast<int>(points.size()),
                 CoordModeOrigin);
    }
  }

  for (const ClickMark& mark : scene.marks()) {
    const int x = std::clamp(mark.at.x - s.x, -16000, 16000);
    const int y = std::clamp(mark.at.y - s.y, -16000, 16000);
    XSetForeground(display_, gc_, pixel(rgbForButton(mark.button)));
    XSetLineAttributes(display_, gc_, 2, LineSolid, CapRound, JoinRound);
    if (mark.isDouble) {
      // A double click: a filled dot in a wide ring.
      XFillArc(display_, pixmap_, gc_, x - 6, y - 6, 13, 13, 0, 360 * 64);
      XSetLineAttributes(display_, gc_, 3, LineSolid, CapRound, JoinRound);
      XDrawArc(display_, pixmap_, gc_, x - 16, y - 16, 32, 32, 0, 360 * 64);
    } else {
      XDrawArc(display_, pixmap_, gc_, x - 9, y - 9, 18, 18, 0, 360 * 64);
    }
  }

  // The pointer, which a screenshot of the screen does not show.
  const Point p = scene.pointer();
  XSetForeground(display_, gc_, pixel(0x1B1F24));
  XSetLineAttributes(display_, gc_, 1, LineSolid, CapButt, JoinMiter);
  XDrawLine(display_, pixmap_, gc_, p.x - 8, p.y, p.x + 8, p.y);
  XDrawLine(display_, pixmap_, gc_, p.x, p.y - 8, p.x, p.y + 8);
  XSetClipMask(display_, gc_, None);
}

void Painter::drawText(const Scene& scene) {
  const int top = height_ - textPanelHeight;
  XSetForeground(display_, gc_, pixel(0xF6F8FA));
  XFillRectangle(display_, pixmap_, gc_, 0, top, static_cast<unsigned>(width_), textPanelHeight);
  XSetForeground(display_, gc_, pixel(0xD0D7DE));
  XSetLineAttributes(display_, gc_, 1, LineSolid, CapButt, JoinMiter);
  XDrawLine(display_, pixmap_, gc_, 0, top, width_, top);
  const int labelBaseline = top + 6 + small_.ascent();
  small_.draw(xft_, grey_, pad, labelBaseline, "typed text");
  if (!scene.lastKey().empty()) {
    const std::string key = "last key: " + scene.lastKey();
    small_.draw(xft_, grey_, std::max(pad + 120, width_ - pad - small_.width(key)), labelBaseline,
                key);
  }

  // Lay the pieces out in lines first, then draw the last lines that fit.
  struct Placed {
    int line;
    int x;
    int width;
    std::string text;
    bool token;
  };
  std::vector<Placed> placed;
  const int left = pad;
  const int right = width_ - pad;
  int line = 0;
  int x = left;
  for (const TextPiece& piece : scene.text()) {
    if (piece.token) {
      const int w = text_.width(piece.text) + 12;
      if (x > left) x += 4;
      if (x + w > right && x > left) {
        ++line;
        x = left;
      }
      placed.push_back({line, x, w, piece.text, true});
      x += w + 4;
      continue;
    }
    for (char32_t c : decodeUtf8(piece.text)) {
      if (c == '\n') {
        ++line;
        x = left;
        continue;
      }
      std::string one;
      appendUtf8(one, c);
      const int w = text_.advance(c);
      if (x + w > right && x > left) {
        ++line;
        x = left;
      }
      placed.push_back({line, x, w, one, false});
      x += w;
    }
  }

  const int lineHeight = text_.lineHeight() + 6;
  const int textTop = top + 12 + small_.lineHeight();
  const int visible = std::max(1, (height_ - textTop - 4) / lineHeight);
  const int first = std::max(0, line - visible + 1);
  for (const Placed& p : placed) {
    if (p.line < first) continue;
    const int baseline = textTop + (p.line - first) * lineHeight + text_.ascent();
    if (p.token) {
      const int boxTop = baseline - text_.ascent() - 2;
      const auto boxHeight = static_cast<unsigned>(text_.lineHeight());
      XSetForeground(display_, gc_, pixel(0xDDF4FF));
      XFillRectangle(display_, pixmap_, gc_, p.x, boxTop, static_cast<unsigned>(p.width),
                     boxHeight);
      XSetForeground(display_, gc_, pixel(0x54AEFF));
      XDrawRectangle(display_, pixmap_, gc_, p.x, boxTop, static_cast<unsigned>(p.width),
                     boxHeight);
      text_.draw(xft_, tokenInk_, p.x + 6, baseline, p.text);
    } else {
      text_.draw(xft_, ink_, p.x, baseline, p.text);
    }
  }
  // The caret after the last character.
  const int caretTop = textTop + (line - first) * lineHeight;
  XSetForeground(display_, gc_, pixel(0x1B1F24));
  XFillRectangle(display_, pixmap_, gc_, x + 1, caretTop, 2,
                 static_cast<unsigned>(text_.lineHeight()));
}
