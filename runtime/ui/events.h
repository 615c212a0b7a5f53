// The application event queue, the input focus and the application-wide key table.
//
// One GUI thread. The queue holds {code, mp1, mp2, target}; the target is held weakly, so
// a queued event never keeps a part alive. An event whose target has been destroyed by the
// time it is taken is dropped by AppEvent/NextAppEvent with a diagnostic naming the event
// and the part (see uiDiagnostics), never handed out as a dangling or NIL target.
//
// SetAppFocus(part) makes `part` the focus holder at once and queues killInputFocus for
// the previous holder, then setInputFocus for the new one; the focus methods run when an
// event loop takes those events. Setting the focus on the part that already holds it
// queues nothing.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/eventcodes.h"
#include "ui/window.h"

namespace xb {

// Waits for the next event and returns its code, filling mp1, mp2 and the target part
// (NIL when the event was posted without one and there is no application window).
// A timeout in seconds (>= 0) returns 0 when nothing came. When the backend says no input
// will ever come, the application ends through QUIT after a diagnostic.
int AppEvent(Value& mp1, Value& mp2, Value& target, double timeoutSeconds = -1);
// The code of the next queued event without taking it; 0 when the queue is empty. Never
// asks the backend for input.
int NextAppEvent();
int NextAppEvent(Value& mp1, Value& mp2, Value& target);
// The code (and parameters) of the event AppEvent returned last.
int LastAppEvent();
int LastAppEvent(Value& mp1, Value& mp2, Value& target);
// Appends an event. A NIL target means the application window (SetAppWindow()), or no
// target when there is none. A target that is not a part or is destroyed raises a run-time
// error and queues nothing (false).
bool PostAppEvent(int code, const Value& mp1 = {}, const Value& mp2 = {},
                  const Value& target = {});

// SetAppFocus(): the focus holder (NIL when none). SetAppFocus(part): moves the focus and
// returns the previous holder. NIL as argument is the same as none.
Value SetAppFocus();
Value SetAppFocus(const Value& part);
WindowRef focusHolder();

// SetAppEvent(key): the block registered for the key, or NIL. SetAppEvent(key, block)
// registers (NIL removes) and returns the previous block.
Value SetAppEvent(const Value& key);
Value SetAppEvent(const Value& key, const Value& block);

// The desktop part: parent of all top-level parts.
WindowRef AppDesktop();
// SetAppWindow(): the application window or NIL; SetAppWindow(part) sets it and returns
// the previous one.
Value SetAppWindow();
Value SetAppWindow(const Value& part);

// ---- used by the parts and the backends ----

// The active top-level part (the one with the display focus).
WindowRef activeWindow();
// Makes a top-level part active: queues killDisplayFocus for the previous one and
// setDisplayFocus for this one. Nothing happens when it already is.
void activateWindow(const WindowRef& topLevel);
// Takes the activation away from a top-level part (queues its killDisplayFocus).
void deactivateWindow(const WindowRef& topLevel);

// While a part holds the input capture (an open popup menu, a message box), keyboard and
// mouse input go to it instead of the focus holder / the part under the pointer. Capture
// is a stack: the innermost holder gets the input.
void pushInputCapture(const WindowRef& part);
void popInputCapture(const WindowRef& part);
WindowRef inputCapture();

// The modal top-level part, if any: mouse input for other top-level parts is refused.
WindowRef modalWindow();
void setModalWindow(const WindowRef& w, bool modal);

// Input translation for backends: queue the events of one key or one mouse action.
// Keys go to the capture holder, else the focus holder, else the application window.
// Returns false (with a diagnostic) when the input had nowhere to go.
bool postKeyInput(int keyCode);
enum class MouseButton { left = 1, right = 2, middle = 3 };
enum class MouseAction { down, up, dblClick, motion };
// `desktop` is a point on the desktop (lower-left origin). A left button down gives the
// focus to the part under the pointer when it takes focus on a click. Between a button
// down and its up the part that got the down keeps the mouse (drags).
bool postMouseInput(MouseAction action, MouseButton button, Point desktop);
// The part under a desktop point that input would reach: front-most top-level window
// first, the deepest visible child under the point.
WindowRef partAt(Point desktop);

// Dispatches queued events (AppEvent then handleEvent) until the queue is empty, without
// asking the backend for input. Returns the number of events dispatched.
int dispatchQueuedEvents();

// Diagnostics of the window layer: events dropped because their target is gone, input that
// had nowhere to go, and similar. CP850 text like every string of the runtime. Each is also
// handed to the hook (default: standard error, in UTF-8).
const std::vector<std::string>& uiDiagnostics();
void uiDiagnostic(const std::string& text);
void setUiDiagnosticHook(std::function<void(const std::string&)> hook);

// Registers every class of the window layer for lookup by name (ClassDesc::find, `new` by
// class name). Runs by itself when the desktop is first asked for.
void registerUiClasses();

// Back to the state at start: every top-level part destroyed, queue and focus empty, key
// table, application window, capture and diagnostics cleared. For tests.
void resetUiForTesting();

// Counts of the queue for benchmarks and tests.
size_t queuedEventCount();

}  // namespace xb
