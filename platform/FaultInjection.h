#pragma once

// Test-only control over the platform's file operations: a test can make
// the Nth operation from now on fail, to prove that every failure path
// leaves the user's files sound. Production code never calls these.

namespace plat {

enum class FileOp { Open, Read, Write, Flush, Close, Rename, Copy, CreateFolder, Truncate, Remove };

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

}  // namespace plat
