// Memory figures of the running process, from /proc/self/status.
#pragma once

// The value of a "Name:   1234 kB" line in kilobytes, or -1 when the line is missing.
long ReadStatusKb(const char* name);
