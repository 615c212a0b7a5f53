#include "ui/backend.h"

#include <chrono>

namespace xb {

double TextMetrics::textWidth(const XbpWindow&, std::string_view cp850) const {
  return 8.0 * static_cast<double>(cp850.size());
}
double TextMetrics::lineHeight(const XbpWindow&) const { return 16.0; }

const TextMetrics& Backend::metrics() const {
  static const TextMetrics fixed;
  return fixed;
}

namespace {

// Used until a real backend is installed: no input, in-process clipboard, no sound.
class QuietBackend : public Backend {
 public:
  std::string name() const override { return "none"; }
  Input waitInput(double) override { return Input::exhausted; }
  std::optional<std::string> clipboardText() override { return clip_; }
  void setClipboardText(const std::string& t) override { clip_ = t; }
  void clearClipboard() override { clip_.reset(); }
  void tone(double, double) override {}
  std::optional<int> answerMessageBox(const MessageBoxInfo& info) override {
    return info.escapeResult >= 0 ? info.escapeResult : (info.results.empty() ? 0 : info.results[0]);
  }
  double now() override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }

 private:
  std::optional<std::string> clip_;
};

std::shared_ptr<Backend>& current() {
  static std::shared_ptr<Backend> b;
  return b;
}
Backend& quiet() {
  static QuietBackend q;
  return q;
}

}  // namespace

Backend& backend() {
  auto& b = current();
  return b ? *b : quiet();
}

std::shared_ptr<Backend> setBackend(std::shared_ptr<Backend> b) {
  auto old = std::move(current());
  current() = std::move(b);
  return old;
}

}  // namespace xb
