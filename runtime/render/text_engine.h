// The one place that knows Pango and fontconfig: a Pango context over a font map restricted
// to the runtime's own fonts (DejaVu Sans), with fixed font options and resolution so that
// pictures are identical run to run and machine to machine.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "render/draw.h"

typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontDescription PangoFontDescription;

namespace xb::render {

// Where the DejaVu fonts are looked for; $XB_FONT_DIR overrides.
inline constexpr const char* kDefaultFontDir = "/usr/share/fonts/truetype/dejavu";
inline constexpr double kDpi = 96;

class TextEngine {
 public:
  static TextEngine& instance();
  // Starts over with another font directory (tests: a missing font); "" = the default.
  static void restart(const std::string& fontDir = {});
  // Loads the fonts on another thread while the caller goes on (a backend opening its
  // display); the first use of the engine waits for it.
  static void prepareInBackground();

  PangoContext* context() const { return ctx_; }
  // Description of a font; a family that is not installed falls back to DejaVu Sans (or,
  // without DejaVu, the system's sans-serif font) with one message per family.
  PangoFontDescription* description(const Font& f);
  // A layout of CP850 text with the font set; byte offsets of the CP850 text in UTF-8 are
  // in `offsets` (size + 1 entries). The layout is shared: use it before the next call.
  PangoLayout* layout(const Font& f, const std::string& cp850, std::vector<int>* offsets = nullptr);

  // Whoever sets tabs or attributes on the shared layout says so; the next layout() call
  // takes them off again.
  void decorated() { decorated_ = true; }

  // The family the default font resolved to ("DejaVu Sans" when it is installed).
  const std::string& defaultFamily() const { return defaultFamily_; }
  bool hasFamily(const std::string& family) const;

  ~TextEngine();

 private:
  explicit TextEngine(const std::string& fontDir);
  struct Cached;
  PangoContext* ctx_ = nullptr;
  PangoLayout* layout_ = nullptr;
  // The text and font the shared layout holds, so measuring the same text again does not
  // lay it out again.
  std::string lastText_;
  PangoFontDescription* lastDesc_ = nullptr;
  bool lastValid_ = false;
  bool decorated_ = false;
  std::vector<std::string> families_;
  std::string defaultFamily_;
  std::vector<Cached*> cache_;
  std::vector<std::string> warned_;
};

// Font messages (a missing font) go here; the default writes one line to stderr.
void setFontMessageSink(std::function<void(const std::string&)> sink);

// Pango measures for looks.
class PangoMetrics final : public Metrics {
 public:
  double lineHeight(const Font& f) override;
  double textWidth(const Font& f, const std::string& cp850) override;
  double charWidth(const Font& f) override;
  double xOfIndex(const Font& f, const std::string& cp850, int index) override;
  int indexAtX(const Font& f, const std::string& cp850, double x) override;
};
Metrics& pangoMetrics();

}  // namespace xb::render
