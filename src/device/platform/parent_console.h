#pragma once

namespace zx {

// A window program on Windows starts without a console: its standard output and error go to
// the console of the program that started it (a command prompt), when there is one and they
// were not redirected. Elsewhere nothing changes.
void UseParentConsole();

} // namespace zx
