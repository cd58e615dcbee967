#pragma once

// The two diagnostic logs: `information` writes to standard output and `trace` to standard
// error, one line per call (a line end is added). Tests silence both.
void information(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));
void trace(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));

void set_logs_silent(bool bSilent);
bool are_logs_silent();
