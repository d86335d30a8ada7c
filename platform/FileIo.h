#pragma once

#include <sys/types.h>

#include <cstddef>

// The file calls through which the suite reads a job and writes its files,
// with a seam for faults: a test makes the nth read, write or rename fail
// with the error it names (EIO, ENOSPC, EACCES), so that a full disk or a
// read error is seen to be said, never swallowed.
namespace folyant::io {

enum class Operation { Read, Write, Rename };

ssize_t read(int fd, void* buffer, std::size_t size);
ssize_t write(int fd, const void* buffer, std::size_t size);
int rename(const char* from, const char* to);

// From now on, the nth call of the operation (1 the next one) fails with
// error; 0 for nth clears it.
void failAt(Operation operation, int nth, int error);

// Name of the environment variable that plans a fault in a program under
// test: "read:3:EIO", "write:1:ENOSPC" or "rename:1:EACCES". A user can only
// make their own run fail with it.
inline constexpr const char* kFaultVariable = "FOLYANT_IO_FAULT";

} // namespace folyant::io
