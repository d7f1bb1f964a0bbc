// KV_SCALED_DOWN is defined in a sanitizer build, where the long soaks and
// statistics run fewer cases: the checks stay, the counts shrink.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define KV_SCALED_DOWN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_SCALED_DOWN 1
#endif
#endif
