// The shutdown request at the end of the countdown. Called on the user-interface thread.
#pragma once

namespace vd {

// Enables SeShutdownPrivilege in the process token; failures are not examined (a token without
// the privilege just makes the request below fail).
void EnableShutdownPrivilege();
// Shut-down with other applications ended without asking (flags 5), reason 0xFFFF.
void ForcedShutdown();
// Shut-down that other applications may hold up or cancel (flags 1), reason 0xFFFF.
void PlainShutdown();

}  // namespace vd
