// Fonts for the canvas's text: a main face, and for each character it lacks (emoji, scripts it
// does not cover) a face that fontconfig finds for that character, opened once and kept. Text is
// measured and drawn one code point at a time, each in the first face that has it, so one line can
// mix faces; a character that no face has is drawn by the main face (as its missing-glyph box).
//
// Xft has no per-character fallback of its own, hence this small chain over fontconfig.
#pragma once

#include <X11/Xft/Xft.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class FontChain {
 public:
  // family and pixel size of the main face, e.g. "DejaVu Sans", 20.
  FontChain(Display* display, int screen, const std::string& family, int pixelSize);
  ~FontChain();
  FontChain(const FontChain&) = delete;
  FontChain& operator=(const FontChain&) = delete;

  bool ok() const { return !faces_.empty(); }
  int ascent() const;
  int lineHeight() const;

  // Width of a text's code points placed one after another.
  int width(std::string_view utf8);
  // Draws at the baseline (x, y); returns the x after the text.
  int draw(XftDraw* draw, const XftColor& color, int x, int y, std::string_view utf8);
  // Advance of one code point.
  int advance(char32_t c);

 private:
  XftFont* faceFor(char32_t c);
  static bool invisible(char32_t c);

  Display* display_;
  int screen_;
  int pixelSize_;
  std::vector<XftFont*> faces_;  // the main face first; all are closed at the end
  XftFont* emoji_ = nullptr;
  bool emojiTried_ = false;
  std::map<char32_t, XftFont*> chosen_;
};
