#pragma once

#include <csignal>

namespace folyant::docconverter::exitcode {

// The PDF was written ("변환이 성공적으로 완료되었습니다."), the dialog was
// closed, or the usage was asked for.
inline constexpr int kSuccess = 0;
// The checks refused the names, or the job ended with "변환에 실패하였습니다.".
inline constexpr int kFailed = 1;
// The command line was not understood.
inline constexpr int kUsage = 2;
// A termination signal ended the job; nothing of it was left.
inline constexpr int kTerminated = 128 + SIGTERM;

} // namespace folyant::docconverter::exitcode
