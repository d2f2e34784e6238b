// Device contexts: where drawing goes. The base class keeps the state every
// kind shares (selected objects, colours, modes, the mapping from logical to
// device units); a kind decides what a drawing call does: a cairo context
// draws, a metafile context records.
#pragma once
#include <string_view>
#include <vector>

#include "runtime/platform/gfx/gdi_objects.h"

namespace vrt::platform {

enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
enum MapMode { MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
               MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
enum TextAlign : uint32_t { TA_LEFT = 0, TA_TOP = 0, TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8,
                            TA_BASELINE = 24 };
enum ExtTextOutOptions : uint32_t { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
enum DeviceCap { HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALWIDTH = 110,
                 PHYSICALHEIGHT = 111 };

struct TEXTMETRIC {
  int32_t tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth, tmMaxCharWidth,
      tmWeight;
};

class DeviceContext {
 public:
  struct State {
    HFONT font = nullptr;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    COLORREF text_color = RGB(0, 0, 0);
    COLORREF bk_color = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    uint32_t text_align = TA_LEFT | TA_TOP;
    POINT position;  // current position, logical
    int map_mode = MM_TEXT;
    POINT window_org, viewport_org;
    SIZE window_ext{1, 1}, viewport_ext{1, 1};
    RECT clip;  // device units; empty rect with has_clip false means none
    bool has_clip = false;
  };

  DeviceContext();
  virtual ~DeviceContext() = default;
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // Pixels per inch of the device.
  virtual int dpi() const = 0;
  virtual int GetDeviceCaps(int cap) const;

  virtual HGDIOBJ SelectObject(HGDIOBJ object);
  virtual COLORREF SetTextColor(COLORREF c);
  virtual COLORREF SetBkColor(COLORREF c);
  virtual int SetBkMode(int mode);
  virtual uint32_t SetTextAlign(uint32_t align);
  virtual int SetMapMode(int mode);
  virtual void SetWindowOrgEx(int x, int y);
  virtual void SetWindowExtEx(int cx, int cy);
  virtual void SetViewportOrgEx(int x, int y);
  virtual void SetViewportExtEx(int cx, int cy);
  virtual int SaveDC();
  virtual bool RestoreDC(int level);
  virtual void IntersectClipRect(int left, int top, int right, int bottom);
  virtual void MoveToEx(int x, int y);
  // Before an object is deleted: wherever this context still holds it, now
  // or in a saved state, the stock object of its kind stands in, so neither
  // a later drawing nor a RestoreDC reaches the freed object.
  void LetGoOf(HGDIOBJ object);

  // Drawing, in logical units.
  virtual void LineTo(int x, int y) = 0;
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void RoundRect(int left, int top, int right, int bottom, int w, int h) = 0;
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  virtual void Polyline(const POINT* points, int count) = 0;
  virtual void Polygon(const POINT* points, int count) = 0;
  virtual void FillRect(const RECT& r, HBRUSH brush) = 0;
  virtual void ExtTextOut(int x, int y, uint32_t options, const RECT* rect, std::string_view text) = 0;

  // Measuring with the selected font, in logical units.
  SIZE GetTextExtentPoint(std::string_view text) const;
  TEXTMETRIC GetTextMetrics() const;

  // Logical to device units and back.
  POINT lp_to_dp(POINT p) const;
  POINT dp_to_lp(POINT p) const;
  RECT lp_to_dp(const RECT& r) const;  // normalised
  double x_scale() const;  // device units per logical unit
  double y_scale() const;

  const State& state() const { return state_; }

 protected:
  State state_;
  std::vector<State> saved_;
};

// The GDI calls of the system, as free functions over any device context.
inline HGDIOBJ SelectObject(HDC dc, HGDIOBJ o) { return dc->SelectObject(o); }
inline COLORREF SetTextColor(HDC dc, COLORREF c) { return dc->SetTextColor(c); }
inline COLORREF SetBkColor(HDC dc, COLORREF c) { return dc->SetBkColor(c); }
inline int SetBkMode(HDC dc, int m) { return dc->SetBkMode(m); }
inline uint32_t SetTextAlign(HDC dc, uint32_t a) { return dc->SetTextAlign(a); }
inline int SetMapMode(HDC dc, int m) { return dc->SetMapMode(m); }
inline void SetWindowOrgEx(HDC dc, int x, int y) { dc->SetWindowOrgEx(x, y); }
inline void SetWindowExtEx(HDC dc, int cx, int cy) { dc->SetWindowExtEx(cx, cy); }
inline void SetViewportOrgEx(HDC dc, int x, int y) { dc->SetViewportOrgEx(x, y); }
inline void SetViewportExtEx(HDC dc, int cx, int cy) { dc->SetViewportExtEx(cx, cy); }
inline int SaveDC(HDC dc) { return dc->SaveDC(); }
inline bool RestoreDC(HDC dc, int level) { return dc->RestoreDC(level); }
inline void IntersectClipRect(HDC dc, int l, int t, int r, int b) { dc->IntersectClipRect(l, t, r, b); }
inline void MoveToEx(HDC dc, int x, int y) { dc->MoveToEx(x, y); }
inline void LineTo(HDC dc, int x, int y) { dc->LineTo(x, y); }
inline void Rectangle(HDC dc, int l, int t, int r, int b) { dc->Rectangle(l, t, r, b); }
inline void RoundRect(HDC dc, int l, int t, int r, int b, int w, int h) { dc->RoundRect(l, t, r, b, w, h); }
inline void Ellipse(HDC dc, int l, int t, int r, int b) { dc->Ellipse(l, t, r, b); }
inline void Polyline(HDC dc, const POINT* p, int n) { dc->Polyline(p, n); }
inline void Polygon(HDC dc, const POINT* p, int n) { dc->Polygon(p, n); }
inline void FillRect(HDC dc, const RECT& r, HBRUSH b) { dc->FillRect(r, b); }
inline void TextOut(HDC dc, int x, int y, std::string_view text) { dc->ExtTextOut(x, y, 0, nullptr, text); }
inline void ExtTextOut(HDC dc, int x, int y, uint32_t o, const RECT* r, std::string_view t) {
  dc->ExtTextOut(x, y, o, r, t);
}
inline SIZE GetTextExtentPoint32(HDC dc, std::string_view text) { return dc->GetTextExtentPoint(text); }
inline TEXTMETRIC GetTextMetrics(HDC dc) { return dc->GetTextMetrics(); }
inline int GetDeviceCaps(HDC dc, int cap) { return dc->GetDeviceCaps(cap); }

// A frame of one logical unit inside the rectangle, in the brush's colour.
void FrameRect(HDC dc, const RECT& r, HBRUSH brush);

enum DrawTextFormat : uint32_t {
  DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8, DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000,
};
// One line of text in a rectangle; "&x" shows x (underlined while access
// underlines are shown) unless DT_NOPREFIX. With DT_WORDBREAK the text
// runs on in lines broken between words to fit the rectangle's width.
// Returns the height of the text.
int DrawText(HDC dc, std::string_view text, RECT* rect, uint32_t format);
// Whether DrawText underlines the letter after "&" (the keyboard shows them
// while Alt is held); the "&" itself is never drawn.
void show_access_underlines(bool show);
bool access_underlines_shown();

// Dialog base units of a font on a device, as the system computes them:
// the average width of the 52 letters and the font's height.
SIZE dialog_base_units(HDC dc, HFONT font);

}  // namespace vrt::platform
