// Where window_shots finds Nuvora and the test server: given on its command
// line, read by the Nuvora driver through its usual macros.
#pragma once

extern const char* shots_nuvora_exe;
extern const char* shots_server_state;
extern const char* shots_work_dir;
