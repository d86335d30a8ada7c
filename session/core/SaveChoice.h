#pragma once

#include <optional>
#include <string>
#include <vector>

namespace folyant::session {

// Where and how one print job is saved, as the user chose it (or as the
// agent's settings choose it when nobody is asked).
struct SaveChoice {
    std::string folder;
    std::string name; // a file name in folder, ".pdf" included
    int quality = -1; // the converter's /quality; -1 leaves its own setting
    bool protect = false;
    std::string userPassword; // asked for when the PDF is opened
    std::string ownerPassword; // lifts the restrictions
    bool allowPrinting = true;
    bool allowCopying = true;
    // The protection's cipher as the machine settings name it ("AES256" or
    // the default, "RC4-40").
    std::string encryption;
    bool mail = false;
    bool openAfterSaving = false;
    // An existing PDF the job's pages are added to; the PDF at path() (the
    // same file, when chosen so) is then that PDF and the job's pages.
    std::string appendTo;

    std::string path() const { return folder + "/" + name; }
};

// The choices for a series of jobs combined into one PDF in their order:
// the first makes the PDF (or adds to the one chosen), each further one adds
// its pages to it. Protection, mail and opening come with the last job, when
// the PDF is whole: a protected PDF could take no more pages.
std::vector<SaveChoice> combinedChoices(const SaveChoice& first, std::size_t jobs);

// The converter's command line for a choice: the words anyone may see in
// the process list, and those that go through a descriptor instead (the
// passwords).
struct ConverterWords {
    std::vector<std::string> visible;
    std::vector<std::string> hidden;
};
ConverterWords converterWords(const SaveChoice& choice);

// A password the converter's command line can carry: a word beginning with
// "-" or "/" would be read as a switch.
bool isUsablePassword(const std::string& password);

// The file name for what the user typed: ".pdf" added when the name does not
// end in it; nothing for a name that is empty, ".", "..", or holds a "/" or a
// control character.
std::optional<std::string> pdfFileName(const std::string& typed);

// The first folder the dialog offers: the one last used while it exists,
// otherwise the machine's output folder (a leading "~" is home), otherwise
// ~/PDF.
std::string startFolder(const std::string& lastUsed, const std::optional<std::string>& machineOutputFolder,
    const std::string& home);

} // namespace folyant::session
