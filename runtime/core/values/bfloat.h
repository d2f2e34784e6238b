// The BFLOAT4 and BFLOAT8 storage forms (the old binary floating format):
// the exponent is the last byte, the sign the top bit of the byte before it,
// the rest the mantissa without its leading one, least significant byte
// first.
//
//   BFLOAT8: bytes 0-6  sign (bit 55) and 55 mantissa bits
//            byte 7     exponent, excess 129; 0 means zero
//   BFLOAT4: bytes 0-2  sign (bit 23) and 23 mantissa bits
//            byte 3     exponent, excess 129; 0 means zero
//
// The IEEE exponent is the stored one plus 894. From IEEE, BFLOAT8 keeps all
// 52 mantissa bits (shifted left by 3) and BFLOAT4 the top 23 (the rest cut
// off, not rounded). Zero and values whose top 16 bits are 0 store zeros;
// an exponent above the stored range stores 255; one below it (too small
// for the format) stores zero.
#pragma once
#include <cstdint>

namespace vrt::core {

void real_to_bfloat8(double value, uint8_t bytes[8]);
double bfloat8_to_real(const uint8_t bytes[8]);
void real_to_bfloat4(double value, uint8_t bytes[4]);
double bfloat4_to_real(const uint8_t bytes[4]);

}  // namespace vrt::core
