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
// interface font.
void select_cairo_font(cairo_t* cr, HFONT font, double scale);
FontMetrics font_metrics(HFONT font, double scale);
// Width of ANSI text, device units.
double text_width(HFONT font, double scale, std::string_view ansi);

}  // namespace vrt::platform
