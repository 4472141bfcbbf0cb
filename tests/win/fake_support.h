/* Shared by the test doubles of PASSWORD.CPL and MPR.DLL: a call log in the
   file named by VERIVIR_FAKE_LOG (nothing is written when it is unset). */
#pragma once
#include <stdarg.h>
#include <stdio.h>
#include <windows.h>

static void FakeLog(const char* format, ...) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("VERIVIR_FAKE_LOG", path, sizeof path)) return;
  FILE* f = fopen(path, "a");
  if (!f) return;
  va_list args;
  va_start(args, format);
  vfprintf(f, format, args);
  va_end(args);
  fputc('\n', f);
  fclose(f);
}
