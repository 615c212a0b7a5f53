#include "ui/msgbox.h"

#include <algorithm>
#include <optional>

#include "core/error.h"
#include "core/system.h"
#include "core/text.h"
#include "ui/dialog.h"
#include "ui/events.h"
#include "ui/keys.h"
#include "ui/parts.h"

namespace xb {

namespace {

std::vector<std::string> splitLines(const std::string& text, bool semicolons) {
  std::vector<std::string> out;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n' || (semicolons && c == ';')) {
      out.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

std::string defaultTitle() {
  std::string n = AppName(false);
  return n;
}

// The state of a shown box, shared by the blocks of its parts (no part holds another).
struct BoxState {
  std::optional<int> answer;
  int current = 0;
  std::vector<std::weak_ptr<XbpPushButton>> buttons;
  std::vector<int> results;
  int escape = -1;
  void setCurrent(int i) {
    int n = static_cast<int>(buttons.size());
    if (n == 0) return;
    current = ((i % n) + n) % n;
    for (int k = 0; k < n; ++k)
      if (auto b = buttons[static_cast<size_t>(k)].lock()) {
        b->isDefault = k == current;
        b->invalidate();
      }
  }
};

int showBox(const MessageBoxInfo& info) {
  auto& m = backend().metrics();
  auto desk = AppDesktop();
  double lh = 18, bw = 96, bh = 26, gap = 10;
  double textW = 0;
  auto d0 = std::make_shared<XbpStatic>();  // only for measuring
  for (auto& l : info.lines) textW = std::max(textW, m.textWidth(*d0, l));
  double buttonsW = static_cast<double>(info.buttons.size()) * (bw + gap) - gap;
  double w = std::max({280.0, textW + 48, buttonsW + 48});
  double h = kDialogTitleHeight + 2 * kDialogBorder + 24 + static_cast<double>(info.lines.size()) * lh + bh + 28;
  Size screen = desk->size();
  auto box = newPart<XbpDialog>(Value(desk), Value(), pointValue((screen.w - w) / 2, (screen.h - h) / 2),
                                pointValue(w, h));
  box->setTitle(info.title);
  box->create();
  auto area = box->drawingArea();
  Size a = area->size();
  double y = a.h - 16 - lh;
  for (auto& l : info.lines) {
    auto s = newPart<XbpStatic>(Value(area), Value(), pointValue(24, y), pointValue(a.w - 48, lh));
    s->setCaption(Value(l));
    s->create();
    y -= lh;
  }
  auto state = std::make_shared<BoxState>();
  state->results = info.results;
  state->escape = info.escapeResult;
  double x = (a.w - buttonsW) / 2;
  for (size_t i = 0; i < info.buttons.size(); ++i) {
    auto b = newPart<XbpPushButton>(Value(area), Value(), pointValue(x, 12), pointValue(bw, bh));
    b->setCaption(Value(info.buttons[i]));
    int result = info.results[i];
    b->setSlot(Slot::activate, Value(makeBlock([state, result](Args) -> Value {
                 state->answer = result;
                 return Value();
               })));
    b->create();
    state->buttons.push_back(b);
    x += bw + gap;
  }
  state->setCurrent(info.defaultButton);
  box->setSlot(Slot::keyboard, Value(makeBlock([state](Args a) -> Value {
                 int k = static_cast<int>(a[0].num());
                 if (k == key::kTab || k == key::kRight) state->setCurrent(state->current + 1);
                 else if (k == key::kShiftTab || k == key::kLeft) state->setCurrent(state->current - 1);
                 else if ((k == key::kEnter || k == key::kSpace) && !state->results.empty())
                   state->answer = state->results[static_cast<size_t>(state->current)];
                 else if (k == key::kEsc && state->escape >= 0) state->answer = state->escape;
                 return Value();
               })));
  box->setSlot(Slot::close, Value(makeBlock([state](Args) -> Value {
                 if (state->escape >= 0) state->answer = state->escape;
                 return Value();
               })));
  box->setModalState(Value(modal::kApplicationModal));
  pushInputCapture(box);
  struct Teardown {
    std::shared_ptr<XbpDialog> box;
    ~Teardown() {
      popInputCapture(box);
      if (!box->isDestroyed()) {
        setModalWindow(box, false);
        box->destroy();
      }
    }
  } teardown{box};
  while (!state->answer) {
    if (box->isDestroyed()) {
      state->answer = info.escapeResult >= 0 ? info.escapeResult : 0;
      break;
    }
    Value m1, m2, t;
    int code = AppEvent(m1, m2, t);
    if (auto wnd = windowOf(t)) wnd->handleEvent(code, m1, m2);
  }
  return *state->answer;
}

}  // namespace

bool buttonSet(int set, std::vector<std::string>& captions, std::vector<int>& results) {
  switch (set) {
    case mb::kOk: captions = {"OK"}; results = {mb::kIdOk}; return true;
    case mb::kOkCancel: captions = {"OK", "Abbrechen"}; results = {mb::kIdOk, mb::kIdCancel}; return true;
    case mb::kAbortRetryIgnore:
      captions = {"Abbrechen", "Wiederholen", "Ignorieren"};
      results = {mb::kIdAbort, mb::kIdRetry, mb::kIdIgnore};
      return true;
    case mb::kYesNoCancel:
      captions = {"Ja", "Nein", "Abbrechen"};
      results = {mb::kIdYes, mb::kIdNo, mb::kIdCancel};
      return true;
    case mb::kYesNo: captions = {"Ja", "Nein"}; results = {mb::kIdYes, mb::kIdNo}; return true;
    case mb::kRetryCancel:
      captions = {"Wiederholen", "Abbrechen"};
      results = {mb::kIdRetry, mb::kIdCancel};
      return true;
    default: return false;
  }
}

int runMessageBox(const MessageBoxInfo& info) {
  int answer = 0;
  if (auto a = backend().answerMessageBox(info)) answer = *a;
  else answer = showBox(info);
  backend().messageBoxDone(info, answer);
  return answer;
}

Value MsgBox(const Value& text, const Value& title) {
  if (!text.isChar())
    return uiError(gen::kArgument, "MsgBox: the message must be text, not of type " + ValType(text), "MsgBox");
  MessageBoxInfo info;
  info.kind = MessageBoxInfo::msgBox;
  info.text = text.str();
  info.title = title.isChar() ? title.str() : defaultTitle();
  info.lines = splitLines(info.text, false);
  buttonSet(mb::kOk, info.buttons, info.results);
  info.escapeResult = mb::kIdOk;
  info.icon = mb::kIconInformation;
  runMessageBox(info);
  return Value();
}

Value ConfirmBox(const Value&, const Value& text, const Value& title, const Value& buttons, const Value& style,
                 const Value& defaultButton) {
  if (!text.isChar())
    return uiError(gen::kArgument, "ConfirmBox: the message must be text, not of type " + ValType(text), "ConfirmBox",
                   Value(0));
  MessageBoxInfo info;
  info.kind = MessageBoxInfo::confirmBox;
  info.text = text.str();
  info.title = title.isChar() ? title.str() : defaultTitle();
  info.lines = splitLines(info.text, false);
  int set = buttons.isNum() ? static_cast<int>(buttons.num()) : mb::kOkCancel;
  if (!buttonSet(set, info.buttons, info.results)) {
    uiError(gen::kArgument, "ConfirmBox: there is no button set " + std::to_string(set) + "; OK is shown", "ConfirmBox");
    buttonSet(mb::kOk, info.buttons, info.results);
  }
  info.style = style.isNum() ? static_cast<int>(style.num()) : 0;
  info.icon = info.style & 0xF0;
  int def = (info.style & 0xF00) / 256;
  if (defaultButton.isNum()) def = static_cast<int>(defaultButton.num()) - 1;
  info.defaultButton = std::clamp(def, 0, static_cast<int>(info.buttons.size()) - 1);
  // Esc and closing answer Cancel where there is one; an OK-only box answers OK; the
  // other boxes must be answered with a button.
  auto& r = info.results;
  if (std::find(r.begin(), r.end(), mb::kIdCancel) != r.end()) info.escapeResult = mb::kIdCancel;
  else if (set == mb::kOk) info.escapeResult = mb::kIdOk;
  else info.escapeResult = -1;
  return Value(runMessageBox(info));
}

Value Alert(const Value& text, const Value& options, const Value&, const Value&, const Value& title) {
  if (!text.isChar())
    return uiError(gen::kArgument, "Alert: the message must be text, not of type " + ValType(text), "Alert", Value(0));
  MessageBoxInfo info;
  info.kind = MessageBoxInfo::alert;
  info.text = text.str();
  info.title = title.isChar() ? title.str() : defaultTitle();
  info.lines = splitLines(info.text, true);
  if (options.isArray() && options.array()->size() > 0) {
    for (auto& o : options.array()->items()) {
      if (!o.isChar())
        return uiError(gen::kArgument, "Alert: every option must be text", "Alert", Value(0));
      info.buttons.push_back(o.str());
    }
  } else {
    info.buttons = {"Ok"};
  }
  for (size_t i = 0; i < info.buttons.size(); ++i) info.results.push_back(static_cast<int>(i) + 1);
  info.escapeResult = 0;
  return Value(runMessageBox(info));
}

Value Tone(const Value& frequency, const Value& duration) {
  if (!frequency.isNum())
    return uiError(gen::kArgument, "Tone: the frequency must be a number, not of type " + ValType(frequency), "Tone");
  double ticks = duration.isNum() ? duration.num() : 2;
  if (ticks < 0) ticks = 0;
  backend().tone(frequency.num(), ticks / 18.2);
  return Value();
}

}  // namespace xb
