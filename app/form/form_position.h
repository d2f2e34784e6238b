// Where the user last moved each form's window, kept while the program
// runs, so that the form opens there again.
#pragma once
#include <string>

#include "runtime/window/controls/window_object.h"

namespace marlock {

// The window was moved: remember its place under its module.
void remember_form_position(const vrt::window::WindowObject& window);
// Puts a window just opened where its form was last moved to, if it was.
void restore_form_position(const vrt::window::WindowObject& window);

}  // namespace marlock
