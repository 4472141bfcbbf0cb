// Test stand-in for the update checker: appends its command line, and the tail
// after the program name, to nuvora_calls.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string log = path;
  log = log.substr(0, log.find_last_of("\\/") + 1) + "nuvora_calls.txt";
  FILE* f = fopen(log.c_str(), "ab");
  if (!f) return 1;
  fprintf(f, "%s\n", tail ? tail : "");
  fclose(f);
  return 0;
}
