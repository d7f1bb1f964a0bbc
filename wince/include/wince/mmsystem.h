// Waveform audio output (waveOut), the subset the game's sound player uses.
//
// Every open handle is one output channel. Buffers queued with waveOutWrite are
// played in order; when one finishes (or is returned by waveOutReset) the
// callback given to waveOutOpen receives WOM_DONE with the header, on the
// audio thread. The callback may call waveOutWrite/waveOutUnprepareHeader.
//
// Backends: "headless" consumes buffers against GetTickCount (the virtual clock
// of the headless layer) and keeps what each handle played in a capture buffer
// for tests; "sdl" mixes all open handles, each with its volume, into one SDL
// audio device.
#pragma once

#include <cstdint>
#include <vector>

#include "wince/windows.h"

struct HWAVEOUT__;
typedef HWAVEOUT__* HWAVEOUT;
typedef HWAVEOUT* LPHWAVEOUT;
typedef UINT MMRESULT;
typedef uintptr_t DWORD_PTR;

constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;
constexpr DWORD CALLBACK_NULL = 0x00000;
constexpr DWORD CALLBACK_FUNCTION = 0x30000;
constexpr DWORD WAVE_FORMAT_QUERY = 0x0001;
constexpr WORD WAVE_FORMAT_PCM = 1;

constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_BEGINLOOP = 0x04;
constexpr DWORD WHDR_ENDLOOP = 0x08;
constexpr DWORD WHDR_INQUEUE = 0x10;

constexpr DWORD WAVECAPS_PITCH = 0x01;
constexpr DWORD WAVECAPS_PLAYBACKRATE = 0x02;
constexpr DWORD WAVECAPS_VOLUME = 0x04;
constexpr DWORD WAVECAPS_LRVOLUME = 0x08;

#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct WAVEHDR {
  char* lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD dwLoops;
  WAVEHDR* lpNext;
  DWORD_PTR reserved;
};
typedef WAVEHDR* LPWAVEHDR;

struct WAVEOUTCAPSW {
  WORD wMid;
  WORD wPid;
  UINT vDriverVersion;
  WCHAR szPname[32];
  DWORD dwFormats;
  WORD wChannels;
  WORD wReserved1;
  DWORD dwSupport;
};

typedef void (*LPWAVECALLBACK)(HWAVEOUT hwo, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

UINT waveOutGetNumDevs();
MMRESULT waveOutGetDevCaps(UINT deviceId, WAVEOUTCAPSW* caps, UINT size);
MMRESULT waveOutOpen(LPHWAVEOUT out, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
MMRESULT waveOutClose(HWAVEOUT hwo);
MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR header, UINT size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR header, UINT size);
MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR header, UINT size);
MMRESULT waveOutReset(HWAVEOUT hwo);
MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* volume);
MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD volume);

// --- Layer controls (not part of the Windows API) ---------------------------

enum class CeAudioMode { Headless, Sdl };
// Chosen by the program entry before any waveOut call; headless by default.
void ceAudioSetMode(CeAudioMode mode);
// Headless: the number of devices waveOutGetNumDevs reports (default 1).
void ceAudioSetDeviceCount(UINT count);
// Headless: processes playback up to the current GetTickCount and waits until
// every completion due so far has been delivered to its callback.
void ceAudioSync();
// Headless: what each handle has played so far (interleaved 16-bit samples as
// written), and clearing it.
std::vector<int16_t> ceAudioCaptured(HWAVEOUT hwo);
void ceAudioClearCapture();
// Number of handles currently open.
int ceAudioOpenCount();
