#pragma once

#include <string>

namespace folyant::docconverter {

// A private folder in the temporary folder for one run of a program the job
// starts (an office profile, a print-to-file folder): made as
// TEMP/PREFIX-XXXXXX, held (a lock on the folder) for as long as it lives,
// removed with all it holds when it goes. A run that was killed leaves its
// folders unheld; the next job removes them.
class RunFolder {
public:
    explicit RunFolder(const std::string& prefix);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // Empty when the folder could not be made.
    const std::string& path() const { return m_path; }

    // Removes the user's folders of that prefix that no living run holds.
    // Call only while no other job of the user can be making one.
    static void removeStale(const std::string& prefix);

private:
    std::string m_path;
    int m_lock = -1;
};

} // namespace folyant::docconverter
