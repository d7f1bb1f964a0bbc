// SDL2 backend (being written).
#include "wince/src/internal.h"

namespace wince {
std::unique_ptr<Backend> makeSdlBackend(int, std::string* error) {
  if (error) *error = "not available";
  return nullptr;
}
}  // namespace wince
