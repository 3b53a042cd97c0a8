#pragma once

// Test-only control over the platform's file operations: a test can make
// the Nth operation from now on fail, to prove that every failure path
// leaves the user's files sound. Only the tests' build of the platform
// layer (QUORVANE_FAULT_INJECTION) has it; in the programs every check
// below is a constant false that the compiler removes.

namespace plat {

enum class FileOp { Open, Read, Write, Flush, Close, Rename, Copy, CreateFolder, Truncate, Remove };

#ifdef QUORVANE_FAULT_INJECTION

// Makes the nth operation (counting from 1) after this call fail; 0 turns
// injection off. Either way the operation count starts again at 0.
void FailNthOperation(long n);

// Operations counted since the last FailNthOperation call.
long OperationCount();

// Whether an injected fault has fired since the last FailNthOperation call.
bool InjectedFaultFired();

namespace detail {
// Counts one operation and tells whether it is the one to fail.
bool InjectFault(FileOp op);
}  // namespace detail

#else

namespace detail {
inline bool InjectFault(FileOp) { return false; }
}  // namespace detail

#endif

}  // namespace plat
