#pragma once

// One line to standard error, prefixed "render: ". printf-style.
void renderLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
