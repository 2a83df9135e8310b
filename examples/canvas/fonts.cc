#include "fonts.h"

#include "utf8.h"

namespace {

// A pattern that asks for a face of this pixel size that has the character.
FcPattern* patternFor(char32_t c, int pixelSize) {
  FcPattern* pattern = FcPatternCreate();
  FcCharSet* set = FcCharSetCreate();
  FcCharSetAddChar(set, c);
  FcPatternAddCharSet(pattern, FC_CHARSET, set);
  FcCharSetDestroy(set);
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
  // Outline faces before the fixed-size bitmap fonts of the X font packages.
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  return pattern;
}

bool isEmoji(char32_t c) {
  return (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x2600 && c <= 0x27BF) || c == 0x2B50 ||
         c == 0x2B55;
}

}  // namespace

bool FontChain::invisible(char32_t c) {
  // Variation selectors and the zero-width joiner only steer how their neighbours are shown.
  return (c >= 0xFE00 && c <= 0xFE0F) || c == 0x200D || (c >= 0xE0100 && c <= 0xE01EF);
}

FontChain::FontChain(Display* display, int screen, const std::string& family, int pixelSize)
    : display_(display), screen_(screen), pixelSize_(pixelSize) {
  XftFont* main =
      XftFontOpen(display, screen, XFT_FAMILY, XftTypeString, family.c_str(), XFT_PIXEL_SIZE,
                  XftTypeDouble, static_cast<double>(pixelSize), nullptr);
  if (main) faces_.push_back(main);
}

FontChain::~FontChain() {
  for (XftFont* face : faces_) XftFontClose(display_, face);
}

int FontChain::ascent() const { return faces_.front()->ascent; }

int FontChain::lineHeight() const { return faces_.front()->ascent + faces_.front()->descent + 4; }

XftFont* FontChain::faceFor(char32_t c) {
  // Emoji in colour where a colour emoji face is installed, before any monochrome glyphs.
  if (isEmoji(c)) {
    if (!emojiTried_) {
      emojiTried_ = true;
      emoji_ = XftFontOpen(display_, screen_, XFT_FAMILY, XftTypeString, "emoji", FC_COLOR,
                           XftTypeBool, FcTrue, XFT_PIXEL_SIZE, XftTypeDouble,
                           static_cast<double>(pixelSize_), nullptr);
      if (emoji_) faces_.push_back(emoji_);
    }
    if (emoji_ && XftCharExists(display_, emoji_, c)) return emoji_;
  }
  for (XftFont* face : faces_)
    if (XftCharExists(display_, face, c)) return face;
  if (const auto it = chosen_.find(c); it != chosen_.end()) return it->second;

  XftFont* found = faces_.front();
  FcPattern* pattern = patternFor(c, pixelSize_);
  XftResult result;
  FcPattern* match = XftFontMatch(display_, screen_, pattern, &result);
  FcPatternDestroy(pattern);
  if (match) {
    // XftFontOpenPattern takes the pattern; on failure it is still ours.
    if (XftFont* face = XftFontOpenPattern(display_, match)) {
      if (XftCharExists(display_, face, c)) {
        faces_.push_back(face);
        found = face;
      } else {
        XftFontClose(display_, face);
      }
    } else {
      FcPatternDestroy(match);
    }
  }
  chosen_[c] = found;
  return found;
}

int FontChain::advance(char32_t c) {
  if (invisible(c)) return 0;
  XftFont* face = faceFor(c);
  const FcChar32 ch = c;
  XGlyphInfo info;
  XftTextExtents32(display_, face, &ch, 1, &info);
  return info.xOff;
}

int FontChain::width(std::string_view utf8) {
  int w = 0;
  for (char32_t c : decodeUtf8(utf8)) w += advance(c);
  return w;
}

int FontChain::draw(XftDraw* draw, const XftColor& color, int x, int y, std::string_view utf8) {
  for (char32_t c : decodeUtf8(utf8)) {
    if (invisible(c)) continue;
    XftFont* face = faceFor(c);
    const FcChar32 ch = c;
    // Faces of other heights share the main face's baseline; a tall emoji face is centred on
    // the main face's lowercase height instead of hanging far above the line.
    int baseline = y;
    if (face != faces_.front()) {
      const int mainMiddle = y - faces_.front()->ascent / 3;
      baseline = mainMiddle + (face->ascent - face->descent) / 2;
    }
    XftDrawString32(draw, &color, face, x, baseline, &ch, 1);
    XGlyphInfo info;
    XftTextExtents32(display_, face, &ch, 1, &info);
    x += info.xOff;
  }
  return x;
}
