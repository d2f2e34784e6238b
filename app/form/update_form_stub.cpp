// Until the forms exist, every request is answered as cancelled.
#include "app/form/form_request.h"

namespace marlock {

void update_form(FileId) { global_request().response = kRequestCancelled; }

}  // namespace marlock
