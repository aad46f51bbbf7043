#pragma once

// The one platform-specific place of the command-line tool: standard streams
// as the reports need them. On Windows standard output writes bytes as they
// are (no CR added before LF, so that a report is byte for byte the same as
// on Linux) and a console shows UTF-8; a reader going away (SIGPIPE) ends a
// write with an error instead of the process.
void PrepareStandardStreams();
