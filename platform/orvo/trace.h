#pragma once

// The diagnostic logs: `information` writes to standard output and `trace` (faults) to standard
// error, one line per call (a line end is added). Tests silence both.
void information(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));
void trace(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));
// The debug trace, the program's steps as they happen (every frame drawn, the pointer over a
// connector): written like `trace`, but only while the environment variable BRISVANE_TRACE is set
// to something other than "" or "0".
void debug_trace(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));

void set_logs_silent(bool bSilent);
bool are_logs_silent();
