#pragma once
// Saving a small file so that it is never lost or cut off, and stays what the
// player made it:
// - a symbolic link is followed, and what it points to is saved; a dangling
//   link, or one to anything but a regular file, is left alone;
// - a file the player could not write (or one marked read-only) is left as it
//   was;
// - the new contents are complete on disk before they replace the old;
//   on POSIX with the old file's owner and mode, and where its folder takes
//   no new file, or the owner could not be kept, the file is rewritten in
//   place instead; on Windows a replacement another program holds for a
//   moment is tried again for a while;
// - the one temporary name, FILE.new, is cleared by the next save (on
//   Windows by the failing save itself), so an interrupted save leaves
//   nothing behind for long.
#include <string>
#include <string_view>

// True when the bytes are saved.
bool save_file(const std::string& path, std::string_view bytes);
