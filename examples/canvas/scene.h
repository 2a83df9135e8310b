// The canvas's memory: everything it has drawn, kept so that any part of the window can be drawn
// again at any time (on Expose, after a scroll). No X calls here: the event loop feeds pointer and
// key input in, the painter reads the result out.
//
// Points are kept in content coordinates (window position plus scroll offset), so scrolling moves
// everything drawn so far and new strokes continue where the pointer is. A click is a press and
// release of one button within a few pixels; a double click is a second press of the same button
// within 400 ms and a few pixels of a click. Memory is bounded: the oldest strokes and the oldest
// text go once the limits below are reached.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Point {
  int x = 0;
  int y = 0;
};

// A line along the pointer: drawn with a button held (1 left, 2 middle, 3 right), or a hover
// trail (button 0) that joins the motion events seen with no button held. A press, a release or
// a scroll ends the trail; the next motion starts a new one.
struct Stroke {
  int button = 0;
  std::vector<Point> points;
};

struct ClickMark {
  Point at;
  int button = 1;
  bool isDouble = false;
};

// Typed input: plain text (newlines included), or a key that types no text of its own shown as
// a token, such as a modifier chord ("Super+c") or a named key ("Left").
struct TextPiece {
  std::string text;
  bool token = false;
};

class Scene {
 public:
  static constexpr int clickSlop = 4;             // pixels
  static constexpr std::uint32_t doubleMs = 400;  // between the two presses
  static constexpr int scrollStep = 20;           // pixels per wheel notch
  static constexpr std::size_t maxPoints = 200000;
  static constexpr std::size_t maxTextBytes = 16384;

  // Pointer input in window coordinates; time is the X server time of the event, in ms.
  void press(int button, int x, int y, std::uint32_t time);
  void release(int button, int x, int y);
  void motion(int x, int y);
  // Wheel buttons 4 up, 5 down, 6 left, 7 right: one notch each.
  void wheel(int button);

  void typeText(const std::string& utf8);
  void typeToken(const std::string& name);
  void backspace();
  void setLastKey(std::string description) { lastKey_ = std::move(description); }

  const std::vector<Stroke>& strokes() const { return strokes_; }
  const std::vector<ClickMark>& marks() const { return marks_; }
  const std::vector<TextPiece>& text() const { return text_; }
  Point scroll() const { return scroll_; }
  Point pointer() const { return pointer_; }
  unsigned heldButtons() const { return held_; }  // bit n-1 for button n (1..3)
  int clicks() const { return clicks_; }
  int doubleClicks() const { return doubleClicks_; }
  int wheelNotches(int button) const { return notches_[button - 4]; }
  const std::string& lastKey() const { return lastKey_; }

 private:
  struct Press {
    int button = 0;
    Point at;  // content coordinates
    std::uint32_t time = 0;
    bool moved = false;
    bool secondOfDouble = false;
  };

  Point toContent(int x, int y) const { return {x + scroll_.x, y + scroll_.y}; }
  void addPoint(std::optional<std::size_t>& stroke, int button, Point p);
  void trimPoints();

  std::vector<Stroke> strokes_;
  std::vector<ClickMark> marks_;
  std::vector<TextPiece> text_;
  std::size_t points_ = 0;
  std::size_t textBytes_ = 0;
  // Index into strokes_ of the line each held button draws, and of the current hover trail.
  std::optional<std::size_t> active_[3];
  std::optional<std::size_t> hover_;
  std::optional<Press> presses_[3];
  std::optional<Press> lastClick_;
  unsigned held_ = 0;
  Point scroll_;
  Point pointer_;
  int clicks_ = 0;
  int doubleClicks_ = 0;
  int notches_[4] = {0, 0, 0, 0};
  std::string lastKey_;
};
