// The Login window, where choosing a user sets the access mode, and the
// explanation window that says what each user may do. Each runs on a
// thread of its own.
#pragma once
#include <cstdint>
#include <string>

namespace marlock::frame {

inline constexpr const char* kLoginModule = "marlock$marlo036";
inline constexpr const char* kExplanationModule = "marlock$marlo035";
inline constexpr uint32_t kLoginStack = 25000;

void login_procedure(const std::string& parameter);
void explanation_procedure(const std::string& parameter);

}  // namespace marlock::frame
