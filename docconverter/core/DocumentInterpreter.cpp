#include "docconverter/core/DocumentInterpreter.h"

#include "interpreter/GhostscriptArguments.h"
#include "interpreter/LostText.h"

#include <cstdio>
#include <utility>

namespace folyant::docconverter {

DocumentInterpreter::DocumentInterpreter(std::string libFolder, std::string fontFolder)
    : m_libFolder(std::move(libFolder))
    , m_fontFolder(std::move(fontFolder))
{
}

int DocumentInterpreter::StartInterpreter(const std::string& pdfPath, const std::string& source)
{
    if (m_feed.hasInterpreter())
        return 0;
    if (!source.empty())
        m_feed.expectSource(source);
    const gs::StartResult started
        = m_feed.start(gs::documentArgumentVector(m_libFolder, m_fontFolder, pdfPath));
    if (!started.started()) {
        // Refused before it opened anything of ours: nothing to delete.
        m_feed.cancel({});
        return started.dialogCode();
    }
    m_pdfPath = pdfPath;
    m_feed.sendPageStamp(m_libFolder);
    return 0;
}

void DocumentInterpreter::DiscardInterpreter()
{
    if (m_feed.hasInterpreter())
        m_feed.cancel(m_pdfPath);
}

int DocumentInterpreter::FeedPostScriptFile(const std::string& path, const Pump& pump)
{
    if (!m_feed.hasInterpreter())
        return 0;
    if (!m_feed.openSource(path)) {
        // The interpreter has opened the PDF already; what it holds is no PDF.
        m_feed.cancel(m_pdfPath);
        return 0;
    }
    // Asked now: the feed forgets what its input was once the input ends.
    const bool pdfInput = m_feed.isPdf();
    for (;;) {
        switch (m_feed.feedStep(m_pdfPath)) {
        case gs::PostScriptFeed::Step::Fed:
        case gs::PostScriptFeed::Step::Interrupted:
            if (!pump()) {
                m_feed.cancel(m_pdfPath);
                return -1;
            }
            break;
        case gs::PostScriptFeed::Step::InputEnded:
            // What the office printed keeps its ligatures, its characters
            // outside the BMP and the text of its stand-in glyphs searchable;
            // a repair that fails leaves the interpreter's PDF as it was.
            if (pdfInput)
                gs::putBackLostText(m_pdfPath, path);
            pump();
            return 1;
        case gs::PostScriptFeed::Step::Failed:
            // A document printed in part is no conversion of it.
            if (m_feed.outputKept())
                std::remove(m_pdfPath.c_str());
            return 0;
        case gs::PostScriptFeed::Step::Idle:
            return 0;
        }
    }
}

} // namespace folyant::docconverter
