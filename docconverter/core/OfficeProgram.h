#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace folyant::docconverter {

// The office program on PATH ("soffice", else "libreoffice"), or nothing.
std::optional<std::string> locateOffice();

// The prefixes of the folders the office runs make in the temporary folder
// (the first: profiles of single runs, which earlier versions made).
inline constexpr const char* kOfficeProfilePrefix = "folyant-office";
inline constexpr const char* kPrintFolderPrefix = "folyant-print";

// Waits for a process the job started: until it ends, the limit (ms, or -1
// for none) passes, or cancelled() says so; in the last two cases it is ended.
// True when it ended by itself.
bool waitForProgram(pid_t pid, int limitMilliseconds, const std::function<bool()>& cancelled);

// The caller's environment without the variables that would choose another
// destination than the user's default (LPDEST, PRINTER).
std::vector<std::string> printingEnvironment();

} // namespace folyant::docconverter
