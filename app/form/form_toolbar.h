// The frame's toolbar while a form is open: every button disabled, then
// those the form's mode offers enabled with tips that say what they do;
// when the form ends each button is as it was before.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace marlock {

class FormToolbar {
 public:
  // `changing`: the change mode's navigation buttons, else the insert mode's.
  explicit FormToolbar(bool changing);
  ~FormToolbar();
  FormToolbar(const FormToolbar&) = delete;
  FormToolbar& operator=(const FormToolbar&) = delete;

  // A navigation button the form saves with (a navigation request).
  bool saves_with(int32_t field) const;

 private:
  struct Before {
    int32_t field;
    bool enabled;
    std::string tip;
  };
  std::vector<Before> before_;
  std::vector<int32_t> navigation_;
};

}  // namespace marlock
