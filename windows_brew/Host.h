// The program's host on the platform layer: entry, window, message loop,
// frame pacing and the copy of the frame buffer to the window.
// WinMain itself is declared by the layer (wince/windows.h).
#pragma once

#include <cstdint>

#include "wince/windows.h"

class ShellHost;

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr uint32_t kFrameBufferBytes = kScreenWidth * kScreenHeight * 2;
// The exit code of a run the game could not go on with (missing or damaged
// data).
constexpr int kGameFailedExitCode = 1;

// What the host gives the engine below it: its log writer to the memory
// tracker and the traces, the shell's files to the streams; then starts
// "memory.log". WinMain's first step.
void installHostServices();
int createMainWindow(HINSTANCE instance, int showCommand);
ATOM registerWindowClass(HINSTANCE instance, LPCWSTR className);
int GameStart();
void GameFrame();
void GameEnd();
void GameSuspend();
void GameResume();
void GameQuit();
LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void setFullScreen(HWND window, int on);
bool isOldSmartphone();
void switchToDesktop(int showDesktop);
uint8_t isRunning();
bool hasShellHost();
int isHostPaused();
bool isDisplayOff();
int setDisplayPowerOn();
BOOL resizeToScreen(HWND window);
void setFullScreenMode(HWND window, int on);
int invalidateWindow(HWND window);

// The copy of a 240x320 frame through the scale maps: where a map repeats a
// source index the neighbouring pixels are averaged.
void scaleBlit(const uint16_t* source, uint16_t* destination, const uint16_t* xMap, const uint16_t* yMap);

// A view of the host's state, for tests.
struct HostState {
  HWND window;
  uint16_t* frameBuffer;
  uint16_t* blitBuffer;
  ShellHost* shell;
  uint8_t paused;
  uint8_t activatedOnce;
  uint8_t swallowNextCharacter;
  uint32_t savedOrientation;
  float frameRate;
};
HostState hostState();

// Entry points the host offers that do nothing.
int hostPassThrough(int value);
void hostNothing();
int hostNothing4(int, int, int, int);
