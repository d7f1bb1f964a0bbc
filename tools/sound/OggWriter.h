// Ogg Vorbis writer for the data tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvtools {

// Encodes interleaved 16-bit PCM as Ogg Vorbis (fixed stream serial, so the
// output is reproducible). Returns false and sets `error` on failure.
bool writeOggVorbis(const std::string& path, const std::vector<int16_t>& pcm, int rate, int channels,
                    float quality, std::string* error);

}  // namespace kvtools
