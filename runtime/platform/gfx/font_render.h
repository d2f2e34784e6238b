// Fonts as cairo sees them: a LOGFONT at a device size becomes a cairo font
// face and size; measuring happens on a scratch surface so that any device
// context, a recording one too, can measure text.
#pragma once
#include <string_view>

#include "runtime/platform/gfx/gdi_objects.h"

typedef struct _cairo cairo_t;

namespace vrt::platform {

struct FontMetrics {
  double ascent, descent, em;  // device units
  double average_width;        // of the 52 letters
  double max_width;
};

// Selects the font into a cairo context at the size that lfHeight asks for,
// scaled by `scale` device units per logical unit. Null selects the default
// interface font, which is 8 points on a device of `dpi` pixels an inch.
void select_cairo_font(cairo_t* cr, HFONT font, double scale, int dpi);
FontMetrics font_metrics(HFONT font, double scale, int dpi);
// Width of ANSI text, device units.
double text_width(HFONT font, double scale, int dpi, std::string_view ansi);

}  // namespace vrt::platform
