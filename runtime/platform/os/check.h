// Checks of invariants that debug and sanitizer builds make and release
// builds compile away (their arguments are not evaluated there). A broken
// invariant is a fault of the program, not of its input: the process stops
// at once with the invariant's text, before the fault can spread to a file.
//
//   VRT_CHECK(condition)          the condition must hold
//   VRT_CHECK_INVARIANTS(object)  object.broken_invariant() must be null;
//                                 otherwise it names the rule that failed
#pragma once

namespace vrt::platform {

[[noreturn]] void check_failed(const char* what, const char* file, int line);

}  // namespace vrt::platform

#ifdef NDEBUG
#define VRT_CHECK(condition) ((void)0)
#define VRT_CHECK_INVARIANTS(object) ((void)0)
#else
#define VRT_CHECK(condition) \
  ((condition) ? (void)0 : ::vrt::platform::check_failed(#condition, __FILE__, __LINE__))
#define VRT_CHECK_INVARIANTS(object)                                                        \
  do {                                                                                       \
    if (const char* vrt_broken_ = (object).broken_invariant())                               \
      ::vrt::platform::check_failed(vrt_broken_, __FILE__, __LINE__);                            \
  } while (0)
#endif
