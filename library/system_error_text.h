#pragma once

#include <string>

// Whether a file was being read or written when the system refused.
enum class FileAccess { kRead, kWrite };

// Why the system refused to open, read or write a file, as a German sentence,
// from the C library's error number. The one place where system errors get
// their words, for the reader, the command-line tool and the dialog alike.
std::string SystemErrorText(int error, FileAccess access);
