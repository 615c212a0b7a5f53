// The picture of one top-level part (a dialog, a popup menu, a message box) and its
// repaint: parts that changed are redrawn, back to front, clipped to what changed; each
// part's paint method runs right after the part has drawn itself, so what it draws through
// its presentation space survives repaints. Presentation spaces of the window's parts draw
// on the picture at once.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/draw.h"
#include "render/picture.h"
#include "ui/window.h"

namespace xb::render {

class SceneSink;

class WindowScene {
 public:
  // Decorated: a dialog's frame and title are part of the picture (headless pictures);
  // otherwise the picture is the dialog's drawing area and the system draws the frame.
  // A scene that does not claim the presentation spaces only lends those that draw nowhere
  // (a picture made once), and gives them back when it ends.
  WindowScene(const WindowRef& top, bool decorated, bool claimSinks = true);
  ~WindowScene();
  WindowScene(const WindowScene&) = delete;
  WindowScene& operator=(const WindowScene&) = delete;

  WindowRef top() const { return top_.lock(); }
  // The part whose top-left corner is the picture's origin.
  WindowRef root() const;
  Picture& picture() { return pic_; }
  const Picture& picture() const { return pic_; }

  // Marks the part (where it is and where it was last drawn) for repaint.
  void invalidate(const XbpWindow& part);
  void invalidateAll();
  bool needsUpdate() const { return all_ || !dirty_.empty(); }
  // Redraws what is marked (the picture follows the root's size) and returns every
  // rectangle changed since the last call, drawing of presentation spaces included.
  std::vector<Rect> update();
  // Rectangles changed by presentation spaces since the last update (for presenting).
  std::vector<Rect> takeChanged();

  // A part's rectangle in picture coordinates (top-left origin).
  Rect rectOf(const XbpWindow& part) const;
  // A picture point as a desktop point (lower-left origin), for mouse input.
  Point toDesktop(double px, double py) const;
  // Number of parts drawn by the last update (for tests and benchmarks).
  int partsDrawnLastUpdate() const { return drawnLast_; }

 private:
  friend class SceneSink;
  void paintTree(XbpWindow& part, cairo_t* cr, const Rect& parentVis);
  bool touchesDirty(const Rect& r) const;
  Rect visibleRectOf(const XbpWindow& part) const;

  std::weak_ptr<XbpWindow> top_;
  bool decorated_;
  bool claimSinks_;
  std::vector<std::shared_ptr<XbpPresSpace>> borrowed_;
  std::vector<Rect> painting_;
  Picture pic_;
  bool all_ = true;
  std::vector<Rect> dirty_;
  std::vector<Rect> changed_;
  std::unordered_map<const XbpWindow*, Rect> lastRect_;
  std::shared_ptr<SceneSink> sink_;
  bool updating_ = false;
  Rect clip_;  // during update: what the current part may draw on
  int drawnLast_ = 0;
};

// The look of one part in its own coordinates (decorated: a dialog draws frame and title).
DrawList partLook(XbpWindow& part, bool decorated);
// The font a part draws with.
Font fontOf(const XbpWindow& part);

// Draws a top-level window afresh, every part and every paint method (decorated).
Picture renderWindow(const WindowRef& top, bool decorated = true);
// Writes renderWindow(top) as PNG. A failure raises a run-time error and returns false.
bool writeWindowPng(const WindowRef& top, const std::string& path, bool decorated = true);
// The same for a backend's screenshot hook: the error text, empty on success.
std::string screenshotTo(XbpWindow& top, const std::string& path);

}  // namespace xb::render
