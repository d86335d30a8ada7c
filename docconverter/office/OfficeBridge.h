#pragma once

#include <string>
#include <vector>

namespace folyant::docconverter {

// One document's round trip over UNO to a running office: connect to its
// pipe, close what an earlier client left open, load the document hidden and
// read-only, name the printer on it, print and wait, close it. The only code
// that sees UNO's types.
struct BridgeRequest {
    std::string pipeName; // the office's acceptor, "pipe,name=PIPE"
    std::string document; // a file system path
    // The import filters the document may be loaded with, tried in turn;
    // none: the office detects the type.
    std::vector<std::string> filters;
    std::string printer; // the queue named on the document
    std::string file; // the file printed into; empty: to the queue
};

enum class BridgeOutcome {
    Printed,
    NoConnection, // nobody answers on the pipe
    NotLoaded, // the office refused the document (not of the filter's type, encrypted, broken)
    UnknownPrinter, // the office does not know the queue
    Disposed, // the connection broke while the office worked
    Failed, // the office reported an error of its own
};

struct BridgeResult {
    BridgeOutcome outcome;
    std::string message; // the office's own words, when it said any
};

BridgeResult printOverBridge(const BridgeRequest& request);

} // namespace folyant::docconverter
