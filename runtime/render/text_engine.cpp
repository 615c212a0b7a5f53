#include "render/text_engine.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>

#include "core/text.h"

namespace xb::render {
namespace {

std::function<void(const std::string&)>& messageSink() {
  static std::function<void(const std::string&)> sink;
  return sink;
}

void message(const std::string& text) {
  if (messageSink()) messageSink()(text);
  else std::fprintf(stderr, "%s\n", text.c_str());
}

std::unique_ptr<TextEngine>& engineSlot() {
  static std::unique_ptr<TextEngine> e;
  return e;
}

// UTF-8 of every CP850 byte, made once.
struct Utf8Table {
  std::string bytes[256];
  Utf8Table() {
    for (int c = 0; c < 256; ++c) bytes[c] = cpToUtf8(std::string(1, static_cast<char>(c)));
  }
};
const Utf8Table& utf8Table() {
  static const Utf8Table t;
  return t;
}

}  // namespace

void setFontMessageSink(std::function<void(const std::string&)> sink) {
  messageSink() = std::move(sink);
}

struct TextEngine::Cached {
  Font font;
  PangoFontDescription* desc;
};

std::future<void>& preparing() {
  static std::future<void> f;
  return f;
}

TextEngine& TextEngine::instance() {
  if (preparing().valid()) preparing().get();
  if (!engineSlot()) engineSlot().reset(new TextEngine({}));
  return *engineSlot();
}

void TextEngine::prepareInBackground() {
  if (engineSlot() || preparing().valid()) return;
  preparing() = std::async(std::launch::async, [] {
    auto* e = new TextEngine({});
    // Shaping a line loads the faces and glyphs the first picture needs.
    for (bool bold : {false}) {
      Font f;
      f.bold = bold;
      PangoRectangle r;
      pango_layout_get_pixel_extents(e->layout(f, "Test 0123 \x84"), nullptr, &r);
    }
    engineSlot().reset(e);
  });
}

void TextEngine::restart(const std::string& fontDir) {
  if (preparing().valid()) preparing().get();
  engineSlot().reset();
  engineSlot().reset(new TextEngine(fontDir));
}

TextEngine::TextEngine(const std::string& fontDirArg) {
  std::string dir = fontDirArg;
  if (dir.empty()) {
    const char* env = std::getenv("XB_FONT_DIR");
    dir = env && *env ? env : kDefaultFontDir;
  }
  static bool started = false;
  const bool firstEngine = !started;
  started = true;
  std::error_code ec;
  const bool ownFonts = std::filesystem::exists(dir + "/DejaVuSans.ttf", ec);
  FcConfig* cfg = nullptr;
  if (ownFonts) {
    // Only our own fonts and no system rules: start-up stays fast (the system's cache is
    // used) and nothing of the machine's font set-up changes the pictures.
    cfg = FcConfigCreate();
    std::string xml =
        "<?xml version=\"1.0\"?><fontconfig><dir>" + dir +
        "</dir><cachedir>/var/cache/fontconfig</cachedir>"
        "<cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>";
    if (!FcConfigParseAndLoadFromMemory(cfg, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse) ||
        !FcConfigBuildFonts(cfg)) {
      message("fonts: cannot read the fonts in " + dir + "; drawing with the system's fonts");
      FcConfigDestroy(cfg);
      cfg = nullptr;
    } else if (firstEngine) {
      // Also the process's current configuration, before Pango starts: its start-up thread
      // then finds fontconfig set up and does not load the system's configuration besides.
      FcConfigSetCurrent(cfg);
    }
  }
  PangoFontMap* fm = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
  if (cfg) {
    pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fm), cfg);
    // Kept for the whole run: the font map does not give back its reference when it goes,
    // so this one configuration per font directory is all there is.
    static std::vector<FcConfig*> kept;
    kept.push_back(cfg);
  } else if (!ownFonts) {
    message("fonts: DejaVu Sans is not installed (" + dir +
            "/DejaVuSans.ttf is missing; package fonts-dejavu-core); drawing with the "
            "system's sans-serif font");
  }
  ctx_ = pango_font_map_create_context(fm);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_subpixel_order(o, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  pango_cairo_context_set_font_options(ctx_, o);
  cairo_font_options_destroy(o);
  pango_cairo_context_set_resolution(ctx_, kDpi);

  PangoFontFamily** fams = nullptr;
  int n = 0;
  pango_font_map_list_families(fm, &fams, &n);
  for (int i = 0; i < n; ++i) families_.emplace_back(pango_font_family_get_name(fams[i]));
  g_free(fams);
  if (hasFamily("DejaVu Sans")) {
    defaultFamily_ = "DejaVu Sans";
  } else {
    // Whatever the system makes of "Sans"; with no fonts at all Pango draws boxes.
    defaultFamily_ = "Sans";
    PangoFontDescription* d = pango_font_description_from_string("Sans 9");
    if (PangoFont* font = pango_font_map_load_font(fm, ctx_, d)) {
      PangoFontDescription* got = pango_font_describe(font);
      if (const char* fam = pango_font_description_get_family(got)) defaultFamily_ = fam;
      pango_font_description_free(got);
      g_object_unref(font);
    } else {
      message("fonts: no font is installed; text cannot be drawn");
    }
    pango_font_description_free(d);
  }
  g_object_unref(fm);
  layout_ = pango_layout_new(ctx_);
}

TextEngine::~TextEngine() {
  for (Cached* c : cache_) {
    pango_font_description_free(c->desc);
    delete c;
  }
  if (layout_) g_object_unref(layout_);
  if (ctx_) {
    // Releases the fonts and our fontconfig set-up with them.
    PangoFontMap* fm = pango_context_get_font_map(ctx_);
    if (PANGO_IS_FC_FONT_MAP(fm)) pango_fc_font_map_shutdown(PANGO_FC_FONT_MAP(fm));
    g_object_unref(ctx_);
  }

}

bool TextEngine::hasFamily(const std::string& family) const {
  return std::any_of(families_.begin(), families_.end(),
                     [&](const std::string& f) { return iequals(f, family); });
}

PangoFontDescription* TextEngine::description(const Font& f) {
  for (Cached* c : cache_)
    if (c->font == f) return c->desc;
  std::string family = f.family;
  if (family.empty()) {
    family = defaultFamily_;
  } else if (!hasFamily(family)) {
    if (std::find(warned_.begin(), warned_.end(), family) == warned_.end()) {
      warned_.push_back(family);
      message("fonts: font \"" + family + "\" is not installed; drawing with " +
              defaultFamily_ + " instead");
    }
    family = defaultFamily_;
  }
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, family.c_str());
  pango_font_description_set_size(
      d, static_cast<gint>(std::lround((f.points > 0 ? f.points : 9) * PANGO_SCALE)));
  pango_font_description_set_weight(d, f.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d, f.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  cache_.push_back(new Cached{f, d});
  return d;
}

PangoLayout* TextEngine::layout(const Font& f, const std::string& cp850, std::vector<int>* offsets) {
  const Utf8Table& t = utf8Table();
  if (offsets) {
    offsets->clear();
    offsets->reserve(cp850.size() + 1);
    int at = 0;
    for (unsigned char c : cp850) {
      offsets->push_back(at);
      at += static_cast<int>(t.bytes[c].size());
    }
    offsets->push_back(at);
  }
  if (decorated_) {
    pango_layout_set_attributes(layout_, nullptr);
    pango_layout_set_tabs(layout_, nullptr);
    decorated_ = false;
    lastValid_ = false;  // the layout must be made again without them
  }
  PangoFontDescription* d = description(f);
  if (lastValid_ && d == lastDesc_ && cp850 == lastText_) return layout_;  // still laid out
  if (!lastValid_) {
    pango_layout_set_width(layout_, -1);
    pango_layout_set_single_paragraph_mode(layout_, TRUE);
    pango_layout_set_alignment(layout_, PANGO_ALIGN_LEFT);
  }
  if (d != lastDesc_ || !lastValid_) pango_layout_set_font_description(layout_, d);
  std::string utf8;
  utf8.reserve(cp850.size() * 2);
  for (unsigned char c : cp850) utf8 += t.bytes[c];
  pango_layout_set_text(layout_, utf8.data(), static_cast<int>(utf8.size()));
  lastDesc_ = d;
  lastText_ = cp850;
  lastValid_ = true;
  return layout_;
}

// ---- metrics ----

double PangoMetrics::lineHeight(const Font& f) {
  PangoLayout* l = TextEngine::instance().layout(f, "Xg");
  PangoRectangle logical;
  pango_layout_get_pixel_extents(l, nullptr, &logical);
  return logical.height;
}

double PangoMetrics::textWidth(const Font& f, const std::string& cp850) {
  PangoLayout* l = TextEngine::instance().layout(f, cp850);
  PangoRectangle logical;
  pango_layout_get_extents(l, nullptr, &logical);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

double PangoMetrics::charWidth(const Font& f) { return textWidth(f, "0"); }

double PangoMetrics::xOfIndex(const Font& f, const std::string& cp850, int index) {
  std::vector<int> off;
  PangoLayout* l = TextEngine::instance().layout(f, cp850, &off);
  index = std::clamp(index, 0, static_cast<int>(cp850.size()));
  PangoRectangle pos;
  pango_layout_index_to_pos(l, off[static_cast<size_t>(index)], &pos);
  return static_cast<double>(pos.x) / PANGO_SCALE;
}

int PangoMetrics::indexAtX(const Font& f, const std::string& cp850, double x) {
  if (x <= 0 || cp850.empty()) return 0;
  std::vector<int> off;
  PangoLayout* l = TextEngine::instance().layout(f, cp850, &off);
  int idx = 0, trailing = 0;
  pango_layout_xy_to_index(l, static_cast<int>(std::lround(x * PANGO_SCALE)), 0, &idx, &trailing);
  auto it = std::lower_bound(off.begin(), off.end(), idx);
  int i = static_cast<int>(it - off.begin());
  return std::min(i + (trailing > 0 ? 1 : 0), static_cast<int>(cp850.size()));
}

Metrics& pangoMetrics() {
  static PangoMetrics m;
  return m;
}

}  // namespace xb::render

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig (through Pango) and D-Bus (through SDL) keep process-wide caches that they
// never free; those are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
#endif
