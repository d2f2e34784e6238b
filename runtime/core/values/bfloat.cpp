#include "runtime/core/values/bfloat.h"

#include <cstring>

namespace vrt::core {

namespace {

constexpr int kExponentShift = 894;  // IEEE exponent = stored + 894

uint64_t bits_of(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

double double_of(uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

constexpr int kMaxStoredExponent = 255;

// The stored exponent byte for an IEEE value; 0 stores zero, and a value
// too large for the format answers more than the largest exponent.
int stored_exponent(uint64_t bits) {
  if ((bits >> 48) == 0) return 0;
  int e = static_cast<int>((bits >> 52) & 0x7FF) - kExponentShift;
  if (e <= 0) return 0;  // too small for the format
  return e;
}

void put_le(uint8_t* bytes, int count, uint64_t v) {
  for (int i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t get_le(const uint8_t* bytes, int count) {
  uint64_t v = 0;
  for (int i = 0; i < count; ++i) v |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  return v;
}

// Mantissa bits (without the leading one) below the sign bit.
void to_bfloat(double value, uint8_t* bytes, int mantissa_bits) {
  uint64_t bits = bits_of(value);
  int exponent = stored_exponent(bits);
  int size = (mantissa_bits + 1) / 8 + 1;
  if (exponent == 0) {
    std::memset(bytes, 0, static_cast<size_t>(size));
    return;
  }
  uint64_t mantissa = bits & ((UINT64_C(1) << 52) - 1);
  mantissa = mantissa_bits >= 52 ? mantissa << (mantissa_bits - 52) : mantissa >> (52 - mantissa_bits);
  if (exponent > kMaxStoredExponent) {
    // Too large (infinities and NaN among them): the largest value of the
    // format with the value's sign, never the mantissa under a forced
    // exponent, which would be an unrelated number.
    exponent = kMaxStoredExponent;
    mantissa = (UINT64_C(1) << mantissa_bits) - 1;
  }
  uint64_t sign = bits >> 63;
  put_le(bytes, size - 1, (sign << mantissa_bits) | mantissa);
  bytes[size - 1] = static_cast<uint8_t>(exponent);
}

double from_bfloat(const uint8_t* bytes, int mantissa_bits) {
  int size = (mantissa_bits + 1) / 8 + 1;
  int exponent = bytes[size - 1];
  if (exponent == 0) return 0;
  uint64_t body = get_le(bytes, size - 1);
  uint64_t sign = (body >> mantissa_bits) & 1;
  uint64_t mantissa = body & ((UINT64_C(1) << mantissa_bits) - 1);
  mantissa = mantissa_bits >= 52 ? mantissa >> (mantissa_bits - 52) : mantissa << (52 - mantissa_bits);
  return double_of((sign << 63) | (static_cast<uint64_t>(exponent + kExponentShift) << 52) | mantissa);
}

}  // namespace

void real_to_bfloat8(double value, uint8_t bytes[8]) { to_bfloat(value, bytes, 55); }
double bfloat8_to_real(const uint8_t bytes[8]) { return from_bfloat(bytes, 55); }
void real_to_bfloat4(double value, uint8_t bytes[4]) { to_bfloat(value, bytes, 23); }
double bfloat4_to_real(const uint8_t bytes[4]) { return from_bfloat(bytes, 23); }

}  // namespace vrt::core
