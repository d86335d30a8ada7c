#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>

// How a print job's PDF is named, the same for the backend's unattended
// saving and the desktop agent's proposed name, and how a name is taken
// without ever overwriting anything.
namespace folyant::names {

// A file name for a job's PDF made from its title: the title's letters stay
// (Hangul and kana included); folder separators become "_"; control
// characters and invalid UTF-8 go; leading dots and blanks go; an extension
// of a document type (.pdf, .ps, .prn, .txt, ...) goes; the result is cut to
// a length every file system takes. An empty result is "Untitled".
std::string baseNameForTitle(const std::string& title);

// The name template's value (the user's, else the machine's), and the
// template that names PDFs as the job's title does.
inline constexpr const char* kOutputName = "OutputName";
inline constexpr const char* kDefaultTemplate = "<Title>";

// What a template's tokens stand for in one job.
struct NameFields {
    std::string title; // <Title>: the job's title, made a name as above
    std::string user; // <User>
    std::string jobId; // <JobId>
    std::string host; // <Host>: where the job came from
    std::time_t now = 0; // <Date:FORMAT>: strftime's FORMAT of the local time
    // <Counter>: called at most once per name, and only when the template
    // holds the token, so that a name without it advances nothing.
    std::function<std::string()> counter;
};

// The base name (without ".pdf") a template gives: tokens replaced, the rest
// of the template as written, and the whole made a file name by the title's
// rules (no folder parts, no control characters, no leading dot, Unicode
// kept, "%" a letter). "<" and ">" that form no known token stay letters. An
// empty template is the default one.
std::string expandTemplate(const std::string& nameTemplate, const NameFields& fields);

// Whether a template a user typed can name PDFs: no token misspelt (a
// "<Name>" or "<Name:...>" that is no token would stay in every name as
// letters), and something left of it as a name whatever the job.
struct TemplateCheck {
    enum class Problem { None, UnknownToken, ExpandsToNothing };
    Problem problem = Problem::None;
    std::string unknownToken; // the first one, "<" and ">" included
};
TemplateCheck checkTemplate(const std::string& nameTemplate);

// Advances the counter kept in FOLDER/counter (made with the folder, mode
// 0700, when missing) and returns its new value, 1 the first time. Two jobs
// at once never get the same number, and a reader never sees the file half
// written. Nothing when the folder or the file cannot be used or its lock is
// held past a few seconds.
std::optional<long long> advanceCounter(const std::string& folder);

// The per-user folder the counter is kept in: $XDG_STATE_HOME/folyant (when
// it is absolute and given), else HOME/.local/state/folyant.
std::string stateFolder(const std::string& home, const char* xdgStateHome);

// The user's own name template from "CONFIG/Quorvale/Folyant Velmo.conf",
// group Settings; nothing when it is absent or unreadable. A file that is
// not a regular one (a FIFO) is not waited on.
std::optional<std::string> userTemplate(const std::string& configFolder);

// Stores the user's own name template there (empty: the machine's counts),
// the rest of the file as it was; false when it could not be stored.
bool saveUserTemplate(const std::string& configFolder, const std::string& nameTemplate);

// Creates FOLDER/BASE.pdf, or FOLDER/BASE (2).pdf and so on when that
// exists, as a new empty file that nobody else can have taken; never an
// existing one and never through a link; mode 0600 unless the folder has a
// default ACL. Empty when no name could be reserved (errno says why).
std::string reserveUniquePdf(const std::string& folder, const std::string& base);

// Whether a folder gives new files their permissions by a default ACL.
bool hasDefaultAcl(const std::string& folder);

} // namespace folyant::names
