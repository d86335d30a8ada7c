#include "converter/CDu2RorApp.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Words that must not show in the process list, where every user can read a
// command line (the passwords of a protected PDF), come after the command
// line's own from the descriptor FOLYANT_WORDS_FD names, each ended by a NUL.
std::vector<std::string> wordsFromDescriptor()
{
    const char* named = std::getenv("FOLYANT_WORDS_FD");
    if (!named || !*named)
        return {};
    char* end = nullptr;
    const long fd = std::strtol(named, &end, 10);
    ::unsetenv("FOLYANT_WORDS_FD");
    if (*end != '\0' || fd < 3 || fd > 1024)
        return {};
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(fd), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || text.size() > 65536)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(static_cast<int>(fd));
    std::vector<std::string> words;
    for (std::size_t at = 0, next; (next = text.find('\0', at)) != std::string::npos; at = next + 1)
        words.push_back(text.substr(at, next - at));
    return words;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> more = wordsFromDescriptor();
    std::vector<char*> words(argv, argv + argc);
    for (std::string& word : more)
        words.push_back(word.data());
    words.push_back(nullptr);
    folyant::converter::CDu2RorApp application;
    return application.InitInstance(static_cast<int>(words.size() - 1), words.data());
}
