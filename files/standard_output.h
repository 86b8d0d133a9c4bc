// A command-line program's answer written to standard output with every failure seen: a full
// disk or a closed stream is reported, never passed off as success.
#pragma once

#include <string>
#include <string_view>

namespace cyclar {

/// To be called first in main. Of descriptors 0, 1 and 2, those the program was started without
/// (`>&-`) are opened on /dev/null, so that no file the program opens later takes their number
/// and receives its output. Standard output is opened for reading only: writing the answer then
/// fails as it would on the closed stream ("Bad file descriptor") and is reported.
void holdStandardStreams();

/// Writes `bytes` to standard output, then flushes and closes it: the write, the flush and the
/// close are each checked, so a failure that shows only when the buffer is flushed or the
/// stream is closed is caught as well. Returns false with the system's reason in `error` ("No
/// space left on device") when any byte did not reach the system. Standard output is closed
/// either way, so this is the program's last word on it.
bool finishStandardOutput(std::string_view bytes, std::string& error);

} // namespace cyclar
