// Message boxes and the tone.
//
// Each box asks the backend for an answer first (the headless backend answers from its
// scripted answers). When the backend leaves it to the window layer, the box is built as
// a dialog of parts (XbpDialog, XbpStatic lines, XbpPushButton buttons), made modal, given
// the input capture (the application's focus does not move) and runs its own event loop
// until a button, Enter, Esc or closing answers it. Break and QUIT from callbacks that run
// meanwhile pass through; the box is taken down on the way.
#pragma once
#include <string>
#include <vector>

#include "ui/backend.h"

namespace xb {

// Button sets, results and icons of the Windows message box.
namespace mb {
inline constexpr int kOk = 0, kOkCancel = 1, kAbortRetryIgnore = 2, kYesNoCancel = 3, kYesNo = 4,
                     kRetryCancel = 5;
inline constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6,
                     kIdNo = 7;
inline constexpr int kIconStop = 16, kIconQuestion = 32, kIconExclamation = 48, kIconInformation = 64;
inline constexpr int kDefButton2 = 256, kDefButton3 = 512;
}  // namespace mb

// MsgBox(text [, title]): a message with OK. Lines break at CR/LF. Returns NIL.
Value MsgBox(const Value& text, const Value& title = {});
// ConfirmBox(owner, text [, title [, buttons [, style [, defaultButton]]]]): returns the code
// of the pressed button. Style: icon + default-button flags (+ further bits kept as given).
Value ConfirmBox(const Value& owner, const Value& text, const Value& title = {}, const Value& buttons = {},
                 const Value& style = {}, const Value& defaultButton = {});
// Alert(text [, options [, colour [, align [, title]]]]): ";" breaks lines; returns the
// 1-based number of the chosen option, 0 when left with Esc.
Value Alert(const Value& text, const Value& options = {}, const Value& colour = {}, const Value& align = {},
            const Value& title = {});
// Tone(frequency [, duration]): duration in ticks of 1/18.2 second (default 2).
Value Tone(const Value& frequency, const Value& duration = {});

// Shows a prepared box and returns its answer (used by the three functions above).
int runMessageBox(const MessageBoxInfo& info);

// The German captions of the Windows buttons and what they answer, for a button set.
bool buttonSet(int set, std::vector<std::string>& captions, std::vector<int>& results);

}  // namespace xb
