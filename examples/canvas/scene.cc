#include "scene.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool near(Point a, Point b) {
  return std::abs(a.x - b.x) <= Scene::clickSlop && std::abs(a.y - b.y) <= Scene::clickSlop;
}

bool drawingButton(int button) { return button >= 1 && button <= 3; }

}  // namespace

void Scene::addPoint(std::optional<std::size_t>& stroke, int button, Point p) {
  if (!stroke) {
    strokes_.push_back({button, {}});
    stroke = strokes_.size() - 1;
  }
  strokes_[*stroke].points.push_back(p);
  ++points_;
  trimPoints();
}

void Scene::trimPoints() {
  if (points_ <= maxPoints) return;
  // Drop the oldest strokes that nothing is drawing into any more.
  auto inUse = [&](std::size_t i) {
    if (hover_ == i) return true;
    for (const auto& a : active_)
      if (a == i) return true;
    return false;
  };
  std::size_t drop = 0;
  while (drop < strokes_.size() && points_ > maxPoints / 2 && !inUse(drop)) {
    points_ -= strokes_[drop].points.size();
    ++drop;
  }
  if (drop == 0) return;
  strokes_.erase(strokes_.begin(), strokes_.begin() + static_cast<std::ptrdiff_t>(drop));
  for (auto& a : active_)
    if (a) *a -= drop;
  if (hover_) *hover_ -= drop;
}

void Scene::press(int button, int x, int y, std::uint32_t time) {
  pointer_ = {x, y};
  if (button >= 4 && button <= 7) {
    wheel(button);
    return;
  }
  if (!drawingButton(button)) return;
  const Point at = toContent(x, y);
  hover_.reset();
  held_ |= 1u << (button - 1);
  Press p{button, at, time, false, false};
  // Unsigned subtraction: X server time wraps around after 49 days.
  if (lastClick_ && lastClick_->button == button && time - lastClick_->time <= doubleMs &&
      near(lastClick_->at, at)) {
    p.secondOfDouble = true;
    marks_.push_back({at, button, true});
    ++doubleClicks_;
    lastClick_.reset();
  }
  presses_[button - 1] = p;
  active_[button - 1].reset();
  addPoint(active_[button - 1], button, at);
}

void Scene::release(int button, int x, int y) {
  pointer_ = {x, y};
  if (!drawingButton(button)) return;
  const Point at = toContent(x, y);
  held_ &= ~(1u << (button - 1));
  auto& stroke = active_[button - 1];
  if (stroke) addPoint(stroke, button, at);
  const auto& p = presses_[button - 1];
  if (p && !p->moved && near(p->at, at)) {
    // A click: its line, which never left the press point by more than the slop, gives way to
    // the mark.
    if (stroke) {
      points_ -= strokes_[*stroke].points.size();
      strokes_[*stroke].points.clear();
    }
    if (!p->secondOfDouble) {
      marks_.push_back({p->at, button, false});
      ++clicks_;
      lastClick_ = *p;
    }
  } else {
    lastClick_.reset();
  }
  stroke.reset();
  presses_[button - 1].reset();
}

void Scene::motion(int x, int y) {
  pointer_ = {x, y};
  const Point at = toContent(x, y);
  bool drawing = false;
  for (int b = 1; b <= 3; ++b) {
    if (!(held_ & (1u << (b - 1)))) continue;
    drawing = true;
    auto& p = presses_[b - 1];
    if (p && !near(p->at, at)) p->moved = true;
    addPoint(active_[b - 1], b, at);
  }
  if (!drawing) addPoint(hover_, 0, at);
}

void Scene::wheel(int button) {
  ++notches_[button - 4];
  switch (button) {
    case 4:
      scroll_.y -= scrollStep;
      break;
    case 5:
      scroll_.y += scrollStep;
      break;
    case 6:
      scroll_.x -= scrollStep;
      break;
    case 7:
      scroll_.x += scrollStep;
      break;
  }
  // The hover trail jumps with the content; start a new one at the next motion.
  hover_.reset();
}

void Scene::typeText(const std::string& utf8) {
  if (utf8.empty()) return;
  if (text_.empty() || text_.back().token) text_.push_back({});
  text_.back().text += utf8;
  textBytes_ += utf8.size();
  // Keep the newest text: drop whole pieces from the front.
  while (textBytes_ > maxTextBytes && text_.size() > 1) {
    textBytes_ -= text_.front().text.size();
    text_.erase(text_.begin());
  }
}

void Scene::typeToken(const std::string& name) {
  text_.push_back({name, true});
  textBytes_ += name.size();
  while (textBytes_ > maxTextBytes && text_.size() > 1) {
    textBytes_ -= text_.front().text.size();
    text_.erase(text_.begin());
  }
}

void Scene::backspace() {
  if (text_.empty()) return;
  TextPiece& last = text_.back();
  if (!last.token) {
    // Remove one UTF-8 encoded code point: continuation bytes are 10xxxxxx.
    std::size_t n = last.text.size();
    while (n > 0 && (static_cast<unsigned char>(last.text[n - 1]) & 0xC0) == 0x80) --n;
    if (n > 0) --n;
    textBytes_ -= last.text.size() - n;
    last.text.resize(n);
  }
  if (last.token || last.text.empty()) {
    textBytes_ -= last.text.size();
    text_.pop_back();
  }
}
