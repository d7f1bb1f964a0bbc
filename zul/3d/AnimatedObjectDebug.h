// The animation debug stream, "c:\AnimatedObjectDebug.txt" opened through
// the log writer (zul/memory/Debug.h) by the first text written,
// closed at exit (or by closeAnimatedObjectDebug, after which the next text
// opens it anew).
#pragma once

void animatedObjectDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
void closeAnimatedObjectDebug();
// Off: nothing is formatted or written (fuzzing and benchmarks). On by default.
void setAnimatedObjectDebugEnabled(bool on);
