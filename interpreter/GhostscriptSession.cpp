#include "interpreter/GhostscriptSession.h"

#include "interpreter/ConversionLog.h"
#include "interpreter/ScratchFolder.h"

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include <climits>
#include <cstdlib>
#include <iterator>

namespace folyant::gs {

namespace {

// The process's only instance; gsapi allows no second one on this platform.
void* g_activeInstance = nullptr;

int GSDLLCALL readInput(void*, char*, int)
{
    return 0;
}

int GSDLLCALL writeOutput(void* handle, const char* text, int length)
{
    if (length <= 0)
        return 0;
    if (auto* log = static_cast<ConversionLog*>(handle)) // append() never throws into the interpreter
        log->append(std::string_view(text, static_cast<std::size_t>(length)));
    return length;
}

int GSDLLCALL poll(void*)
{
    return 0;
}

// The PostScript errors in the order of their codes, -1 first.
constexpr std::string_view kErrorNames[] = {"unknownerror", "dictfull", "dictstackoverflow",
    "dictstackunderflow", "execstackoverflow", "interrupt", "invalidaccess", "invalidexit",
    "invalidfileaccess", "invalidfont", "invalidrestore", "ioerror", "limitcheck", "nocurrentpoint",
    "rangecheck", "stackoverflow", "stackunderflow", "syntaxerror", "timeout", "typecheck", "undefined",
    "undefinedfilename", "undefinedresult", "unmatchedmark", "VMerror", "configurationerror",
    "undefinedresource", "unregistered", "invalidcontext", "invalidid"};
static_assert(std::size(kErrorNames) == -gs_error_invalidid);
static_assert(gs_error_VMerror == -25 && gs_error_undefined == -21);

} // namespace

int StartResult::dialogCode() const
{
    switch (outcome) {
    case Outcome::Started:
        return 0;
    case Outcome::NoInstance:
        return -1;
    case Outcome::NoScratchFolder:
        // Below every code of the interpreter's.
        return -1000;
    case Outcome::Refused:
        break;
    }
    return code < 0 ? code : -1;
}

std::string_view errorName(int code)
{
    if (code >= 0 || code < gs_error_invalidid)
        return {};
    return kErrorNames[static_cast<std::size_t>(-code - 1)];
}

GhostscriptSession::GhostscriptSession(ConversionLog* log)
    : m_log(log)
{
}

GhostscriptSession::~GhostscriptSession()
{
    abort();
}

StartResult GhostscriptSession::start(const std::vector<std::string>& arguments)
{
    using Outcome = StartResult::Outcome;
    if (m_instance)
        return {};
    if (g_activeInstance)
        return {Outcome::NoInstance};

    // Without a folder of its own the interpreter would use a shared one, or
    // none it can write to: no run at all rather than a broken one.
    if (!prepareScratchFolder())
        return {Outcome::NoScratchFolder};
    void* instance = nullptr;
    if (gsapi_new_instance(&instance, m_log) < 0 || !instance) {
        m_scratch.reset();
        return {Outcome::NoInstance};
    }
    m_instance = instance;
    g_activeInstance = instance;

    gsapi_set_stdio(instance, readInput, writeOutput, writeOutput);
    gsapi_set_poll(instance, poll);

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const int code = gsapi_init_with_args(instance, static_cast<int>(arguments.size()), argv.data());
    if (code < 0)
        return {Outcome::Refused, code};

    int exitCode = 0;
    gsapi_run_string_begin(instance, 0, &exitCode);
    m_running = true;
    return {};
}

int GhostscriptSession::send(std::string_view text)
{
    if (!isRunning())
        return 0;
    int exitCode = 0;
    int result = 0;
    // Chunks of input are far below UINT_MAX; the limit is the API's.
    while (!text.empty()) {
        const std::size_t piece = text.size() < UINT_MAX ? text.size() : UINT_MAX;
        const int code = gsapi_run_string_continue(
            m_instance, text.data(), static_cast<unsigned int>(piece), 0, &exitCode);
        text.remove_prefix(piece);
        // NeedInput is the normal answer. After "quit" or a fatal error the
        // interpreter takes no more input: feeding it would use a finished one.
        if (code == gs_error_Fatal || (code <= gs_error_Quit && code != gs_error_NeedInput)) {
            m_running = false;
            return code;
        }
        if (code < 0 && code != gs_error_NeedInput)
            result = code;
    }
    return result;
}

int GhostscriptSession::finish()
{
    if (!m_instance)
        return 0;
    int code = 0;
    if (m_running) {
        int exitCode = 0;
        code = gsapi_run_string_end(m_instance, 0, &exitCode);
        // A job that ended with "quit" has ended as it meant to.
        if (code == gs_error_Quit || code == gs_error_InterpreterExit)
            code = 0;
    }
    const int closed = release();
    return code < 0 ? code : closed;
}

void GhostscriptSession::restart()
{
    if (!isRunning())
        return;
    int exitCode = 0;
    gsapi_run_string_end(m_instance, 0, &exitCode);
    gsapi_run_string_begin(m_instance, 0, &exitCode);
}

bool GhostscriptSession::prepareScratchFolder()
{
    if (!m_scratch) {
        auto scratch = std::make_unique<ScratchFolder>();
        if (scratch->path().empty())
            return false;
        m_scratch = std::move(scratch);
    }
    return true;
}

std::string GhostscriptSession::scratchFolder() const
{
    return m_scratch ? m_scratch->path() : std::string();
}

void GhostscriptSession::abort()
{
    if (m_instance)
        release();
}

int GhostscriptSession::release()
{
    const int code = gsapi_exit(m_instance);
    gsapi_delete_instance(m_instance);
    if (g_activeInstance == m_instance)
        g_activeInstance = nullptr;
    m_instance = nullptr;
    m_running = false;
    m_scratch.reset();
    return code;
}

} // namespace folyant::gs
