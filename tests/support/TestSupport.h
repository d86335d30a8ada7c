#pragma once

#include "platform/DefaultDestination.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/UserProfile.h"

class QProcess;

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace folyant::test {

// A folder that exists for one test and is removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// An ordinary user that exists for one test, with a home of its own in a
// temporary folder; made only when the test runs as root.
class ThrowAwayUser {
public:
    ThrowAwayUser();
    ~ThrowAwayUser();
    ThrowAwayUser(const ThrowAwayUser&) = delete;
    ThrowAwayUser& operator=(const ThrowAwayUser&) = delete;

    bool exists() const { return !m_name.empty(); }
    const std::string& name() const { return m_name; }
    const std::string& home() const { return m_home; }
    // Makes everything below path (path included) the user's.
    void own(const std::string& path) const;

private:
    std::string m_base;
    std::string m_name;
    std::string m_home;
};

// Ends the warm office whose folder (HOME/.local/state/folyant/office) is
// given, with its processes, if one runs.
void endOffice(const std::string& officeFolder);

std::string dataFile(const std::string& name);
// The machine settings of the development installation, with further lines
// ("Name=value\n") after them.
std::string developmentMachineSettings(const std::string& moreLines = {});
std::string readFile(const std::string& path);
// The bytes a string of hexadecimal digit pairs spells (known-answer vectors).
std::vector<unsigned char> bytesFromHex(const std::string& digits);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);
// Writes an executable shell script.
void writeScript(const std::string& path, const std::string& body);
// The NUL-separated words a recording stand-in wrote.
std::vector<std::string> recordedWords(const std::string& path);
// Every file below a folder, relative names, sorted.
std::vector<std::string> filesBelow(const std::string& folder);

struct ProcessResult {
    int exitCode = -1; // -1 when it did not end normally
    std::string out;
    std::string err;
};
using Environment = std::vector<std::pair<std::string, std::string>>;

// Starts a program with an argument vector (never a shell) and these
// variables added to ours; false when it could not start.
bool startProgram(QProcess& process, const std::string& program, const std::vector<std::string>& arguments,
    const Environment& environment = {});

// Runs a program with an argument vector (never a shell) and waits for it.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::string& standardInput = {},
    const std::vector<std::pair<std::string, std::string>>& environment = {});

// Judges of our PDFs that we did not write.
int pdfPageCount(const std::string& pdf); // -1 when pdfinfo rejects the file
std::string pdfText(const std::string& pdf);
// The words of a text, each CJK character a word of its own (those scripts
// put no blanks between words), without the page stamp's two words.
std::set<std::string> wordsOf(const std::string& text);
// How many pages carry the stamp text, by pdftotext page by page.
int pagesWithStamp(const std::string& pdf, int pages);
// How often each page carries the stamp text, page by page.
std::vector<int> stampsPerPage(const std::string& pdf);
// The share (0 to 1) of the words of four letters or more in the original's
// text that the copy's text holds too, by pdftotext; words, not bytes.
double sharedWords(const std::string& original, const std::string& copy);
// The page sizes pdfinfo reports, one line a page.
std::string pageSizes(const std::string& pdf);
// Whether two PDFs have as many pages of the same sizes, to a point (the
// interpreter rounds sizes it writes).
bool samePageSizes(const std::string& pdf, const std::string& other);
// Whether pdffonts finds every font embedded.
bool allFontsEmbedded(const std::string& pdf);

// Message boxes answered by the test.
class RecordingMessageBox final : public MessageBox {
public:
    MessageAnswer show(const std::string& text, MessageButtons, MessageIcon, MessageAnswer defaultAnswer,
        const std::string&) override
    {
        texts.push_back(text);
        return answer.value_or(defaultAnswer);
    }
    std::vector<std::string> texts;
    std::optional<MessageAnswer> answer;
};

// File dialogs answered by the test.
class RecordingFileDialogs final : public FileDialogs {
public:
    std::optional<std::string> openFile(const std::string& filter) override
    {
        filters.push_back(filter);
        return openAnswer;
    }
    std::optional<std::string> saveFile(
        const std::string& proposedName, const std::string& suffix, const std::string& filter) override
    {
        proposed.push_back(proposedName);
        filters.push_back(filter + " ." + suffix);
        return saveAnswer;
    }
    std::optional<std::string> openAnswer;
    std::optional<std::string> saveAnswer;
    std::vector<std::string> proposed;
    std::vector<std::string> filters;
};

// The desktop's "open", recorded.
class RecordingShell final : public Shell {
public:
    bool open(const std::string& path) override
    {
        opened.push_back(path);
        return true;
    }
    std::vector<std::string> opened;
};

// The print system's queues and the user's default, in memory.
class RecordingDestination final : public DefaultDestination {
public:
    bool exists(const std::string& queue) override { return queues.count(queue) != 0; }
    bool save() override
    {
        saved = current;
        calls.push_back("save");
        return saveWorks;
    }
    bool makeDefault(const std::string& queue) override
    {
        current = queue;
        calls.push_back("default " + queue);
        return true;
    }
    void recover() override { ++recovered; }
    bool restore() override
    {
        current = saved;
        calls.push_back("restore");
        return true;
    }
    std::map<std::string, bool> queues{{"Folyant_Velmo", true}};
    bool saveWorks = true;
    int recovered = 0;
    std::optional<std::string> current;
    std::optional<std::string> saved;
    std::vector<std::string> calls;
};

// Stands in for a document's application that printed the document, which is
// PostScript already, into the temporary file.
void printReadyPostScript(const std::string& document, const std::string& pdf, const std::string& temporary);

// A profile in memory that remembers the order of reads and writes.
class RecordingProfile final : public UserProfile {
public:
    int getInt(const std::string& name, int defaultValue) const override
    {
        reads.push_back(name);
        const auto found = values.find(name);
        return found == values.end() ? defaultValue : found->second;
    }
    bool writeInt(const std::string& name, int value) override
    {
        writes.push_back(name);
        values[name] = value;
        return true;
    }
    std::map<std::string, int> values;
    mutable std::vector<std::string> reads;
    std::vector<std::string> writes;
};

} // namespace folyant::test
