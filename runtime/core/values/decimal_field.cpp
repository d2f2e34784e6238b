#include "runtime/core/values/decimal_field.h"

namespace vrt::core {

namespace {

int clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Nibble k of the field: byte k / 2, high nibble first.
uint8_t nibble(const uint8_t* bytes, int k) {
  uint8_t b = bytes[k / 2];
  return k % 2 == 0 ? b >> 4 : b & 0x0F;
}

void set_nibble(uint8_t* bytes, int k, uint8_t v) {
  uint8_t& b = bytes[k / 2];
  b = k % 2 == 0 ? static_cast<uint8_t>((b & 0x0F) | (v << 4)) : static_cast<uint8_t>((b & 0xF0) | v);
}

}  // namespace

Decimal decimal_from_field(const uint8_t* bytes, int size, int places, bool sign_last) {
  int n = clamp(size, 1, kMaxDecimalBytes);
  int s = clamp(places, 0, kMaxDecimalPlaces);
  int digits = 2 * n - 1;
  int first = sign_last ? 0 : 1;  // nibble of the most significant digit
  Decimal d = decimal_zero();
  for (int j = 0; j < digits; ++j) {
    uint8_t v = nibble(bytes, first + j);
    d.digit[kDecimalUnits + digits - 1 - s - j] = v > 9 ? 0 : v;
  }
  d.low = static_cast<uint8_t>(kDecimalUnits - s);
  d.negative = sign_last ? nibble(bytes, 2 * n - 1) == 0xD : nibble(bytes, 0) != 0;
  // Normalise the top and the sign of zero the way every operation does.
  Decimal r;
  decimal_add(decimal_zero(), d, &r);
  r.low = d.low;
  return r;
}

DecimalStatus decimal_to_field(const Decimal& value, uint8_t* bytes, int size, int places, bool sign_last) {
  int n = clamp(size, 1, kMaxDecimalBytes);
  int s = clamp(places, 0, kMaxDecimalPlaces);
  int digits = 2 * n - 1;
  Decimal d = value;
  DecimalStatus status = decimal_round(&d, s);
  int top = kDecimalUnits + digits - 1 - s;  // index of the field's highest digit
  for (int i = top + 1; i < kDecimalDigits; ++i)
    if (d.digit[i]) status = DecimalStatus::kOverflow;
  int first = sign_last ? 0 : 1;
  for (int j = 0; j < digits; ++j) set_nibble(bytes, first + j, d.digit[top - j]);
  bool negative = d.negative && !decimal_is_zero(d);
  if (sign_last)
    set_nibble(bytes, 2 * n - 1, negative ? 0xD : 0xF);
  else
    set_nibble(bytes, 0, negative ? 0xF : 0x0);
  return status;
}

}  // namespace vrt::core
