#pragma once

// Test-only control over the platform's file operations: a test can make
// the Nth operation from now on fail, to prove that every failure path
// leaves the user's files sound. Only the tests' build of the platform
// layer (QUORVANE_FAULT_INJECTION) has it; in the programs every check
// below is a constant false that the compiler removes.

namespace plat {

enum class FileOp { Open, Read, Write, Flush, Close, Rename, Copy, CreateFolder, Truncate, Remove };

#ifdef QUORVANE_FAULT_INJECTION

// Makes the nth operation (counting from 1) after this call fail, giving
// `error` (an errno value) as the system's reason; 0 turns injection off.
// Either way the operation count starts again at 0.
void FailNthOperation(long n, int error = 5 /* EIO */);

// Makes the nth operation after this call end the process as a kill would,
// there and then, with nothing flushed or cleaned up (on Windows through
// TerminateProcess, as Task Manager ends a program).
void KillAtNthOperation(long n);

// Makes the disk full from the nth operation on: every write, flush, copy
// and new folder fails with ENOSPC; reading, renaming and removing still
// work, as they do on a full disk.
void FillDiskAtNthOperation(long n);

// Runs `action` just before the nth operation after this call (a test's
// other program taking hold of a file at a chosen moment).
void RunAtNthOperation(long n, void (*action)());

// Operations counted since the last FailNthOperation call.
long OperationCount();

// Whether an injected fault has fired since the last FailNthOperation call.
bool InjectedFaultFired();

namespace detail {
// Counts one operation; when it is the one to fail, gives the errno value
// to fail with, else 0.
int InjectFault(FileOp op);
}  // namespace detail

#else

namespace detail {
inline int InjectFault(FileOp) { return 0; }
}  // namespace detail

#endif

}  // namespace plat
