#include "runtime/data/driver/operation_table.h"

namespace vrt::data {

namespace {

// Class words: 0 pure query, 1 ordinary, 3 file-level, 5 sequence.
constexpr uint8_t Q = 0, O = 1, F = 3, S = 5;
constexpr bool K = true, _ = false;

//  name             required forbidden set       cleared   cleared    key pops gives class
//                                              on success on failure
const OperationRow kRows[kOpLastCode + 1] = {
    {"(0)", 0, 0, 0, 0, 0, _, 0, _, Q},
    {"ADD", 0x41, 0, 0x2, 0x1400, 0, _, 0, _, O},
    {"BOF", 0x21, 0, 0, 0, 0, _, 0, _, Q},
    {"BUILDfile", 0xC0, 0x4, 0, 0, 0x2022, _, 0, _, O},
    {"APPEND", 0x41, 0, 0, 0, 0, _, 0, _, O},
    {"BUILDdyn", 0x1, 0x4, 0x100, 0, 0, K, 1, _, O},
    {"BUILDkey", 0xC0, 0x4, 0, 0, 0, K, 0, _, O},
    {"CLOSE", 0x1, 0x4, 0, 0x101, 0, _, 0, _, F},
    {"COMMIT", 0x5, 0, 0, 0x4, 0, _, 0, _, O},
    {"COPY", 0, 0x1, 0, 0, 0, _, 1, _, F},
    {"CREATE", 0, 0x1, 0, 0, 0, _, 0, _, F},
    {"DELETE", 0x43, 0, 0, 0x2, 0, _, 0, _, O},
    {"DUPLICATE", 0x41, 0, 0, 0, 0, _, 0, _, Q},
    {"EMPTY", 0xC1, 0x4, 0, 0, 0, _, 0, _, O},
    {"EOF", 0x21, 0, 0, 0, 0, _, 0, _, Q},
    {"GETfilekey", 0x101, 0, 0x2, 0xA00, 0x2, K, 0, _, O},
    {"GETfileptr", 0x1, 0, 0x2, 0xA00, 0x2, _, 0, _, O},
    {"GETkeyptr", 0x101, 0, 0x2, 0xA00, 0x2, K, 0, _, O},
    {"HOLDfile", 0x1, 0, 0x800, 0, 0, _, 0, _, O},
    {"HOLDfilesec", 0x1, 0, 0x800, 0, 0, _, 0, _, O},
    {"LOCKfile", 0x1, 0x10, 0x90, 0, 0, _, 0, _, O},
    {"LOCKfilesec", 0x1, 0x10, 0x90, 0, 0, _, 0, _, O},
    {"LOGOUT", 0x1, 0x4, 0x4, 0, 0, _, 0, _, O},
    {"NAME", 0, 0, 0, 0, 0, _, 0, true, Q},
    {"NEXT", 0x21, 0, 0x2, 0xA00, 0x2022, _, 0, _, S},
    {"OPEN", 0, 0x1, 0x1, 0, 0, _, 0, _, O},
    {"PACK", 0xC0, 0x4, 0, 0x22, 0x2022, _, 0, _, O},
    {"POINTERfile", 0x3, 0, 0, 0, 0, _, 0, _, Q},
    {"POINTERkey", 0x103, 0, 0, 0, 0, K, 0, _, Q},
    {"FLUSH", 0x1, 0, 0, 0x8, 0, _, 0, _, O},
    {"PUT", 0x43, 0, 0, 0x1400, 0, _, 0, _, O},
    {"PREVIOUS", 0x21, 0, 0x2, 0xA00, 0x2022, _, 0, _, S},
    {"RECORDSfile", 0x1, 0, 0, 0, 0, _, 0, _, Q},
    {"RECORDSkey", 0x101, 0, 0, 0, 0, K, 0, _, Q},
    {"BUILDdynfilter", 0x1, 0x4, 0x100, 0, 0, K, 2, _, O},
    {"(35)", 0, 0, 0, 0, 0, _, 0, _, Q},
    {"RELEASE", 0x1, 0, 0, 0x1000, 0, _, 0, _, O},
    {"REMOVE", 0, 0x1, 0, 0, 0, _, 0, _, F},
    {"RENAME", 0, 0x1, 0, 0, 0, _, 1, _, F},
    {"(39)", 0, 0, 0, 0, 0, _, 0, _, Q},
    {"ROLLBACK", 0x5, 0, 0, 0x4, 0, _, 0, _, O},
    {"SETfile", 0x1, 0, 0x2020, 0, 0x2020, _, 0, _, S},
    {"SETfilekey", 0x101, 0, 0x2020, 0, 0x2020, K, 0, _, S},
    {"SETfileptr", 0x1, 0, 0x2020, 0, 0x2020, _, 0, _, S},
    {"SETkey", 0x101, 0, 0x2020, 0, 0x2020, K, 0, _, S},
    {"SETkeykey", 0x101, 0, 0x2020, 0, 0x2020, K, 0, _, S},
    {"SETkeyptr", 0x101, 0, 0x2020, 0, 0x2020, K, 0, _, S},
    {"SETkeykeyptr", 0x101, 0, 0x2020, 0, 0x2020, K, 0, _, S},
    {"SHARE", 0, 0x1, 0x1, 0, 0, _, 0, _, O},
    {"SKIP", 0x21, 0, 0, 0x2, 0x2022, _, 0, _, S},
    {"UNLOCK", 0x11, 0x4, 0, 0x10, 0, _, 0, _, O},
    {"ADDfilelen", 0x1, 0, 0, 0x1400, 0, _, 0, _, O},
    {"BYTES", 0x1, 0, 0, 0, 0, _, 0, _, Q},
    {"GETfileptrlen", 0x1, 0, 0x2, 0xA00, 0x2, _, 0, _, O},
    {"PUTfileptr", 0x41, 0, 0, 0x1400, 0x2, _, 0, _, O},
    {"PUTfileptrlen", 0x41, 0, 0, 0x1400, 0x2, _, 0, _, O},
    {"STREAM", 0x1, 0x8, 0x8, 0, 0, _, 0, _, O},
    {"DUPLICATEkey", 0x101, 0, 0, 0, 0, K, 0, _, Q},
    {"WATCH", 0x1, 0, 0x200, 0, 0, _, 0, _, O},
    {"APPENDlen", 0x41, 0, 0, 0x1400, 0, _, 0, _, O},
    {"SEND", 0, 0, 0x10000, 0, 0, _, 1, true, O},
    {"POSITIONfile", 0x3, 0, 0, 0, 0, _, 0, true, Q},
    {"POSITIONkey", 0x103, 0, 0, 0, 0, K, 0, true, Q},
    {"RESETfile", 0x1, 0, 0x2020, 0, 0x2020, _, 1, _, S},
    {"RESETkey", 0x101, 0, 0x2020, 0, 0x2020, K, 1, _, S},
    {"NOMEMO", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"REGETfile", 0x1, 0, 0x2, 0xA00, 0, _, 1, _, O},
    {"REGETkey", 0x101, 0, 0x2, 0xA00, 0, K, 1, _, O},
    {"NULL", 0x1, 0, 0, 0, 0, _, 0, _, Q},
    {"SETNULL", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"SETNONULL", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"SET_PROPERTY", 0, 0, 0x10000, 0, 0, _, 2, _, O},
    {"GET_PROPERTY", 0, 0, 0, 0, 0, _, 1, true, Q},
    {"QUERY_KEY", 0x101, 0, 0, 0, 0, K, 0, _, Q},
    {"QUERY_VIEW", 0, 0, 0, 0, 0, _, 0, _, Q},
    {"BLOB_YIELD", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"BLOB_TAKE", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"BLOB_SIZE", 0x3, 0, 0, 0, 0, _, 0, _, Q},
    {"BLOB_GET_PROP", 0x1, 0, 0x10000, 0, 0, _, 2, _, O},
    {"BLOB_SET_PROP", 0x1, 0, 0, 0, 0, _, 1, true, O},
    {"BUFFER", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"SETview", 0x1, 0, 0x20, 0, 0x20, _, 0, _, S},
    {"CLEAR", 0x1, 0, 0, 0, 0, _, 0, _, O},
    {"RESETviewfile", 0x1, 0, 0x2020, 0, 0x2020, _, 0, _, S},
    {"BUILDevent", 0xC0, 0x4, 0, 0, 0x2022, _, 0, _, O},
    {"SETPROPERTYkey", 0, 0, 0x10000, 0, 0, K, 2, _, O},
    {"GETPROPERTYkey", 0, 0, 0, 0, 0, K, 1, true, Q},
    {"Internal", 0, 0, 0, 0, 0, _, 0, _, Q},
    {"DO_PROPERTY", 0, 0, 0x10000, 0, 0, _, 1, _, O},
    {"DOPROPERTYkey", 0, 0, 0x10000, 0, 0, K, 1, _, O},
    {"DOPROPERTYblob", 0, 0, 0x10000, 0, 0, _, 1, _, O},
    {"Internal", 0, 0, 0, 0, 0, _, 0, _, Q},
    {"INVIEW", 0x1, 0x100, 0x100, 0, 0, _, 0, _, O},
    {"ENDVIEW", 0x1, 0, 0, 0x100, 0, _, 0, _, O},
    {"Internal", 0, 0x1, 0, 0, 0, _, 0, _, Q},
    {"COUNTRECORDS", 0x1, 0, 0, 0, 0, _, 0, _, Q},
};

const OperationRow kOutside = {"", 0, 0, 0, 0, 0, false, 0, false, 0};

}  // namespace

const OperationRow& operation_row(int32_t code) {
  if (code < 0 || code > kOpLastCode) return kOutside;
  return kRows[code];
}

const char* operation_name(int32_t code) { return operation_row(code).name; }

}  // namespace vrt::data
