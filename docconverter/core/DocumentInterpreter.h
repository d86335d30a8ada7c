#pragma once

#include "interpreter/PostScriptFeed.h"

#include <functional>
#include <string>

namespace folyant::docconverter {

// The document converter's interpreter run: the fixed printer preset, no page
// size, the stamp on every page, and a synchronous feed that lets the caller
// keep its window alive between chunks.
class DocumentInterpreter {
public:
    DocumentInterpreter(std::string libFolder, std::string fontFolder);

    // 0 when the interpreter runs (or ran already), -1 when none could be
    // created, otherwise the interpreter's refusal code. A refused instance is
    // shut down at once: nothing is ever fed to it, and the next job starts
    // from nothing.
    // source, when given, is the file FeedPostScriptFile will be given: a PDF
    // there (what the office prints) is read by the interpreter's PDF reader,
    // which may read only files named to it at its start. It need not have
    // been written yet.
    int StartInterpreter(const std::string& pdfPath, const std::string& source = {});

    // Ends an interpreter that will be fed nothing, and deletes what it wrote.
    void DiscardInterpreter();

    // Called after every chunk; false stops the run (the process is being
    // ended): the partial PDF is deleted.
    using Pump = std::function<bool()>;

    // 1 after the whole file went to the interpreter and it was shut down; 0
    // when the file cannot be opened (or no interpreter runs), -1 when pump
    // stopped the run. The interpreter is gone afterwards in every case, and a
    // PDF is left only when 1 is returned.
    int FeedPostScriptFile(const std::string& path, const Pump& pump);

    bool hasInterpreter() const { return m_feed.hasInterpreter(); }
    const gs::ConversionLog& log() const { return m_feed.log(); }

private:
    std::string m_libFolder;
    std::string m_fontFolder;
    std::string m_pdfPath;
    gs::PostScriptFeed m_feed;
};

} // namespace folyant::docconverter
