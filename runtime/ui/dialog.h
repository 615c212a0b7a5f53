// Top-level parts: the dialog with its drawing area, and the terminal-style window.
#pragma once
#include <string>

#include "ui/window.h"

namespace xb {

// Frame states (getFrameState / setFrameState).
namespace frame {
inline constexpr int kMinimized = 1;
inline constexpr int kMaximized = 2;
inline constexpr int kNormalized = 3;
}  // namespace frame
// Modal states (setModalState / getModalState).
namespace modal {
inline constexpr int kModeless = 1;
inline constexpr int kApplicationModal = 2;
inline constexpr int kSystemModal = 3;
}  // namespace modal

// The frame a dialog draws around its drawing area, in pixels. The drawing area sits at
// {kBorder, kBorder} and is the dialog's size less the border on each side and the title.
inline constexpr double kDialogBorder = 4;
inline constexpr double kDialogTitleHeight = 24;

class XbpDialog : public XbpWindow {
  XB_CLASS()
 public:
  XbpDialog() = default;

  Value init(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
             const Value& size = {}, const Value& presParam = {},
             const Value& visible = {}) override;
  Value create(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
               const Value& size = {}, const Value& presParam = {},
               const Value& visible = {}) override;
  Value destroy() override;
  Value show() override;
  Value hide() override;
  Value toFront() override;
  Value setSize(const Value& size) override;

  // The client-area part that holds the dialog's parts.
  std::shared_ptr<XbpIWindow> drawingArea() const { return area_; }
  const std::string& title() const { return title_; }
  void setTitle(const std::string& t);

  Value getFrameState() const { return Value(frameState_); }
  Value setFrameState(const Value& state);  // returns true when the state is valid
  int frameState() const { return frameState_; }
  Value getModalState() const { return Value(modalState_); }
  Value setModalState(const Value& state);
  int modalState() const { return modalState_; }

  // Native: nothing but the slot; the application decides what closing means.
  Value close(const Value& mp1 = {}, const Value& mp2 = {}) override;
  Value setDisplayFocus(const Value& mp1 = {}, const Value& mp2 = {}) override;
  Value killDisplayFocus(const Value& mp1 = {}, const Value& mp2 = {}) override;
  bool isActive() const;
  std::string labelText() const override { return title_; }

  bool moveWithOwner = true;
  bool sysMenu = true;
  bool minButton = true;
  bool maxButton = true;
  bool titleBar = true;
  Value icon;
  Value border;

 protected:
  bool isTopLevelKind() const override { return true; }
  Size defaultSize() const override { return {300, 200}; }
  void layoutArea();
  void ensureArea();

  std::shared_ptr<XbpIWindow> area_;
  std::string title_;
  int frameState_ = frame::kNormalized;
  int modalState_ = modal::kModeless;
};

// A top-level window with a character grid (the terminal-style window); it draws into its
// own presentation space and has no drawing area.
class XbpCrt : public XbpWindow {
  XB_CLASS()
 public:
  XbpCrt() = default;
  Value create(const Value& parent = {}, const Value& owner = {}, const Value& pos = {},
               const Value& size = {}, const Value& presParam = {},
               const Value& visible = {}) override;
  Value close(const Value& mp1 = {}, const Value& mp2 = {}) override;
  Value getFrameState() const { return Value(frameState_); }
  Value setFrameState(const Value& state);
  Value setModalState(const Value& state);
  std::string title;

 protected:
  bool isTopLevelKind() const override { return true; }
  Size defaultSize() const override { return {640, 400}; }
  int frameState_ = frame::kNormalized;
  int modalState_ = modal::kModeless;
};

// The application's root terminal window.
class RootCrt : public XbpCrt {
  XB_CLASS()
 public:
  RootCrt() = default;
};

}  // namespace xb
