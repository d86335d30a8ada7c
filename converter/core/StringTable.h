#pragma once

#include <initializer_list>
#include <string>

namespace folyant::converter {

// The converter's numbered messages in the user's language (Korean, English,
// Japanese, Simplified or Traditional Chinese).
namespace strings {
inline constexpr int kLanguageTag = 104;
inline constexpr int kPdfMissing = 106;
inline constexpr int kPdfNotCorrect = 107;
inline constexpr int kMinchoFace = 108;
inline constexpr int kGothicFace = 109;
inline constexpr int kMailNotLoaded = 61840;
inline constexpr int kMailNotUsable = 61841;
inline constexpr int kMailFailed = 61842;
inline constexpr int kPasswordNotUsable = 61850;
inline constexpr int kOutputIsSource = 61851;
inline constexpr int kPdfNotReadable = 61852;
inline constexpr int kPdfNotWritten = 61853;
inline constexpr int kUnprotectedKept = 61854;
inline constexpr int kNoScratchFolder = 61855;
inline constexpr int kInterpreterNotStarted = 61856;
inline constexpr int kSourceNotReadable = 61857;
inline constexpr int kNothingToConvert = 61858;
inline constexpr int kOutOfMemory = 61859;
inline constexpr int kJobError = 61860; // %1 the error's name, %2 the page
inline constexpr int kJobCutShort = 61861; // %1 the page
inline constexpr int kFewerPages = 61862; // %1 pages promised, %2 pages made
inline constexpr int kReadError = 61863; // %1 the system's reason
inline constexpr int kIncompleteKept = 61864;
inline constexpr int kNoPageKept = 61865;
inline constexpr int kEmptyInput = 61866;
inline constexpr int kNotPostScript = 61867;
inline constexpr int kPdfProtected = 61868;
inline constexpr int kStampRemoved = 61869;
inline constexpr int kOutputNotWritable = 61870; // %1 the system's reason
inline constexpr int kAppendProtected = 61871; // %1 the PDF added to
inline constexpr int kAppendUnreadable = 61872; // %1 the PDF added to, %2 why
inline constexpr int kAppendFailed = 61873; // %1 the PDF added to, %2 why
} // namespace strings

// The suite's language for the user's locale: "ko", "en", "ja", "zh_Hans" or
// "zh_Hant" (the names of the dialogs' translations too).
std::string messageLanguage();

// The text of a message, or an empty text for an unknown number.
std::string loadString(int id);

// The message with "%1", "%2" replaced by the values, in that order.
std::string formatString(int id, std::initializer_list<std::string> values);

// The CID font that a watermark in the given face would use, by the language
// tag of the string table.
std::string watermarkCidFont(const std::string& languageTag, const std::string& fontFace);

} // namespace folyant::converter
