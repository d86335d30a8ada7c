#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folyant::docconverter {

// Looks for "%%EOF" in a stream of chunks. The count of characters matched so
// far carries across chunks; a byte that does not continue the match resets it
// to none and is not tried again as the start of a new match, so "%%%EOF" is
// not found. Once found, the stream stays complete whatever follows.
class EofScan {
public:
    void scan(std::string_view chunk);
    bool found() const { return m_matched == kMarker.size(); }

private:
    static constexpr std::string_view kMarker = "%%EOF";
    std::size_t m_matched = 0;
};

// The completeness test of the job's temporary PostScript: true when the file
// can be read to its end (in 65535-byte chunks) and holds "%%EOF". There is no
// text mode here: a Ctrl-Z byte is data like any other.
bool IsPostScriptComplete(const std::string& path);

} // namespace folyant::docconverter
