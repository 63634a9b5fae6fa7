// Reading a library file whole, safely: the bytes are copied, so a file rewritten or cut short
// while it loads can change what is read but never stop the process.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "textdb/csv_reader.h"
#include "textdb/status.h"

namespace textdb {

// Reads the file at `path` into *bytes. Only a regular file is read: anything else (a FIFO, a
// device, a folder) is refused at once with kRefused, without waiting on it; a missing file
// gives kNotFound, its message naming `name`. A file that changes while it is read is read
// again, a few times at most; if it is still changing, what was read is kept and a note says
// so. `after_chunk`, when given, runs after each chunk of the file is read. `read_as`, when
// given, gets the file's status when the bytes are the file as it stood throughout the read,
// and is left alone when it kept changing.
Status ReadFileBytes(const std::string& path, const std::string& name, std::string* bytes,
                     std::vector<LoadNote>* notes,
                     const std::function<void()>& after_chunk = nullptr,
                     struct stat* read_as = nullptr);

}  // namespace textdb
