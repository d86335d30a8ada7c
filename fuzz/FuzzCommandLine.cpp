// The converter's command line: NUL-separated words, parsed and built into a
// job. Nothing may crash, and the output path is the first value word that
// is not empty (an empty one leaves the name to the next).
#include "converter/core/CDu2RorCommandLineInfo.h"
#include "converter/core/ConversionJob.h"
#include "platform/UserProfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
class EmptyProfile final : public folyant::UserProfile {
public:
    int getInt(const std::string&, int defaultValue) const override { return defaultValue; }
    bool writeInt(const std::string&, int) override { return true; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words{"Folyant_Standard"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());

    folyant::converter::CDu2RorCommandLineInfo info;
    folyant::converter::ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
    const folyant::converter::ConversionJob job = folyant::converter::buildJob(info, EmptyProfile{});
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (!words[i].empty() && !folyant::converter::isSwitchWord(words[i])) {
            if (job.outputPath != words[i])
                std::abort();
            break;
        }
    }
    return 0;
}
