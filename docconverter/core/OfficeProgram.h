#pragma once

#include "docconverter/core/RunFolder.h"

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace folyant::docconverter {

// One run of the office program (LibreOffice), headless, with a profile of its
// own that is made for the run and removed after it: LibreOffice allows one
// instance per profile, and a fresh profile never asks anything. It prints
// PDF, which keeps the document's text (its PostScript keeps only the glyphs).
class OfficeProgram {
public:
    // The program on PATH ("soffice", else "libreoffice"), or nothing.
    static std::optional<std::string> locate();

    // limitMilliseconds: how long a run may take before it is ended.
    OfficeProgram(std::string program, int limitMilliseconds);
    OfficeProgram(const OfficeProgram&) = delete;
    OfficeProgram& operator=(const OfficeProgram&) = delete;

    // Runs the program with the arguments after its own (headless, the
    // profile) until it ends, the limit passes or cancelled() says so; the
    // last two end it. False when it could not be started at all.
    bool run(const std::vector<std::string>& arguments, const std::function<bool()>& cancelled);

    // Starts it and returns at once: the process id, or -1.
    pid_t start(const std::vector<std::string>& arguments);

    const std::string& program() const { return m_program; }

private:
    std::string m_program;
    int m_limit;
    RunFolder m_profile;
};

// The prefixes of the folders the office runs make in the temporary folder.
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
