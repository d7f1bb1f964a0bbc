#include "tools/sound/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace kvtools {

bool writeOggVorbis(const std::string& path, const std::vector<int16_t>& pcm, int rate, int channels,
                    float quality, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = what;
    return false;
  };
  if (channels < 1 || channels > 2 || rate <= 0) return fail("bad format");
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return fail("cannot create file");

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    std::fclose(f);
    return fail("encoder set-up failed");
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x4B56);

  bool ok = true;
  auto writePage = [&](const ogg_page& og) {
    ok = ok && std::fwrite(og.header, 1, og.header_len, f) == static_cast<size_t>(og.header_len);
    ok = ok && std::fwrite(og.body, 1, og.body_len, f) == static_cast<size_t>(og.body_len);
  };

  ogg_packet header, comm, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comm, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comm);
  ogg_stream_packetin(&os, &code);
  ogg_page og;
  while (ogg_stream_flush(&os, &og) != 0) writePage(og);

  const std::size_t frames = pcm.size() / static_cast<std::size_t>(channels);
  std::size_t pos = 0;
  bool eos = false;
  while (!eos) {
    std::size_t n = std::min<std::size_t>(1024, frames - pos);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (std::size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buf[c][i] = pcm[(pos + i) * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] / 32768.0f;
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      pos += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (!eos && ogg_stream_pageout(&os, &og) != 0) {
          writePage(og);
          if (ogg_page_eos(&og)) eos = true;
        }
      }
    }
  }

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  if (std::fclose(f) != 0) ok = false;
  if (!ok) {
    std::remove(path.c_str());
    return fail("write failed");
  }
  return true;
}

}  // namespace kvtools
