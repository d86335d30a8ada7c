#pragma once

#include <string>

namespace folyant {

// The desktop's handling of documents.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens the document in the user's program for its type without waiting
    // for it. False only when no opener could be started.
    virtual bool open(const std::string& path) = 0;
};

// xdg-open, started detached with the path as its only argument.
class XdgShell final : public Shell {
public:
    bool open(const std::string& path) override;
};

} // namespace folyant
