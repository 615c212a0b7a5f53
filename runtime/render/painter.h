// Executes draw lists with Cairo and Pango.
#pragma once
#include "render/draw.h"

typedef struct _cairo cairo_t;

namespace xb::render {

// Draws the list on `cr`, whose origin is the part's top-left corner and whose clip is the
// part's visible area. Leaves the Cairo state as it found it.
void paintList(cairo_t* cr, const DrawList& list);
// The same, leaving out operations that lie wholly outside `clip` (part coordinates).
void paintList(cairo_t* cr, const DrawList& list, const Rect& clip);
// The rectangle an operation can touch.
Rect boundsOf(const DrawOp& op);
void paintOp(cairo_t* cr, const DrawOp& op);

}  // namespace xb::render
