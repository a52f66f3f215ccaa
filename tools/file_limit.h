#pragma once
// Raises the process's limit of open files, so a server can hold one socket
// per player. Does nothing where there is no such limit to raise (Windows).

namespace vornel::tools {

// Raises the soft limit towards `wanted` (never past the hard limit);
// returns the limit in force afterwards, or -1 when there is none.
long raiseOpenFileLimit(long wanted);

}  // namespace vornel::tools
