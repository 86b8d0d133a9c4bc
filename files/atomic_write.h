// Writing a whole file so that it appears complete or not at all, in plain POSIX.
#pragma once

#include <string>
#include <string_view>

namespace cyclar {

/// Writes `bytes` to `path` (the system's bytes, as given) so that a reader sees either the
/// earlier file or the whole new one. The bytes go into a fresh temporary file beside the
/// target; every write and the close are checked and the file is synced; only then does it
/// replace the target by rename, after which the folder is synced too. On any failure the
/// temporary file is removed, an earlier file at `path` is untouched, and `error` says which
/// file could not be written and the system's reason. The new file keeps the permissions of
/// the file it replaces, or gets those of any new file (0666 less the umask). A symbolic link
/// at `path` is followed: its target is the file replaced. What is in the way is never replaced:
/// a folder, a named pipe, a device or a socket at `path`, or a file the user may not write
/// ("... is read-only"), refuses the write and stays as it was.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

} // namespace cyclar
