#include "app/form/form_request.h"

namespace marlock {

GlobalRequest& global_request() {
  thread_local GlobalRequest request;
  return request;
}

}  // namespace marlock
