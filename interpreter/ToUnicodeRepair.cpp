#include "interpreter/ToUnicodeRepair.h"

#include "interpreter/PdfUpdate.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <vector>

#include <ghostscript/iapi.h>
#include <sys/stat.h>

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

namespace folyant::gs {

namespace {

bool isHexDigits(std::string_view digits)
{
    for (const char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// A destination's digits, without the blanks between them, in capitals.
std::string hexDigitsOf(std::string_view hex)
{
    std::string digits;
    for (const char c : hex)
        if (!std::isspace(static_cast<unsigned char>(c)))
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digits;
}

bool isHighSurrogate(std::string_view unit)
{
    return unit.size() == 4 && unit[0] == 'D'
        && std::string_view("89AB").find(unit[1]) != std::string_view::npos;
}

bool isLowSurrogate(std::string_view unit)
{
    return unit.size() == 4 && unit[0] == 'D'
        && std::string_view("CDEF").find(unit[1]) != std::string_view::npos;
}

// One character outside the BMP, written right.
bool isSurrogatePair(std::string_view digits)
{
    return digits.size() == 8 && isHexDigits(digits) && isHighSurrogate(digits.substr(0, 4))
        && isLowSurrogate(digits.substr(4, 4));
}

// The same release writes a character outside the BMP with the second
// unit's first byte replaced by the first unit's last one: <D842DF9F> comes
// out as <D842429F>.
bool isCutShortPair(std::string_view digits)
{
    return digits.size() == 8 && isHexDigits(digits) && isHighSurrogate(digits.substr(0, 4))
        && !isLowSurrogate(digits.substr(4, 4)) && digits.substr(4, 2) == digits.substr(2, 2);
}

// Two bits of a pair cut short are gone; the input's own tables
// (pairsOfInput) tell which of the four characters it was, when only one fits.
bool appendRestoredPair(std::string& out, std::string_view hex, const std::set<std::string>& pairsOfInput)
{
    const std::string digits = hexDigitsOf(hex);
    if (!isCutShortPair(digits))
        return false;
    std::string restored;
    for (const char second : std::string_view("CDEF")) {
        const std::string candidate = digits.substr(0, 4) + 'D' + second + digits.substr(6, 2);
        if (pairsOfInput.count(candidate)) {
            if (!restored.empty())
                return false;
            restored = candidate;
        }
    }
    if (restored.empty())
        return false;
    out.append(restored);
    return true;
}

// Every unit reads as a Latin-1 character turned round (XX00): the shape of
// the ligatures (fi, ffl, ...) that make nearly all entries of several units.
// Entries the interpreter wrote from glyph names rather than from the input's
// table are right as they stand; a right entry of this shape would stand for
// characters such as U+6600 U+6900 from one glyph, which no font has.
bool turnedLatin(std::string_view digits)
{
    for (std::size_t unit = 0; unit < digits.size(); unit += 4)
        if (digits.substr(unit + 2, 2) != "00" || digits.substr(unit, 2) == "00")
            return false;
    return true;
}

// A destination of one unit was written right; only longer ones are turned,
// and only where turning them back is beyond doubt (turnedLatin). Other
// scripts' entries of several units stay as the interpreter wrote them.
bool appendReordered(std::string& out, std::string_view hex)
{
    const std::string digits = hexDigitsOf(hex);
    if (digits.size() <= 4 || digits.size() % 4 != 0 || !isHexDigits(digits) || !turnedLatin(digits)) {
        out.append(hex);
        return false;
    }
    for (std::size_t unit = 0; unit < digits.size(); unit += 4)
        out.append(digits, unit + 2, 2).append(digits, unit, 2);
    return true;
}

enum class Section { Other, Chars, Ranges };

// Whether the interpreter linked in is a release that swaps those bytes.
bool interpreterSwapsToUnicodeUnits()
{
    gsapi_revision_t revision{};
    if (gsapi_revision(&revision, sizeof revision) != 0)
        return false;
    return revision.revision >= 10000 && revision.revision < 10010;
}

// Copies the CMap, each destination of its bfchar and bfrange entries
// through rewrite (which appends it, changed or not, and says whether it
// changed it); nothing when no destination changed.
std::optional<std::string> rewriteDestinations(
    std::string_view cmap, const std::function<bool(std::string& out, std::string_view hex)>& rewrite)
{
    std::string out;
    out.reserve(cmap.size());
    Section section = Section::Other;
    int operand = 0; // of the entry being read: source, (last source,) destination
    int arrayDepth = 0;
    bool changed = false;
    const auto entryOperands = [&] { return section == Section::Chars ? 2 : 3; };
    const auto operandRead = [&] {
        if (section != Section::Other && arrayDepth == 0)
            operand = (operand + 1) % entryOperands();
    };
    std::size_t i = 0;
    while (i < cmap.size()) {
        const char c = cmap[i];
        if (c == '%') {
            const std::size_t end = std::min(cmap.find_first_of("\r\n", i), cmap.size());
            out.append(cmap.substr(i, end - i));
            i = end;
        } else if (c == '(') {
            // Names in the CMap's header; no entry is a literal string.
            const std::size_t end = std::min(cmap.find(')', i), cmap.size() - 1);
            out.append(cmap.substr(i, end + 1 - i));
            i = end + 1;
        } else if (c == '<' && i + 1 < cmap.size() && cmap[i + 1] == '<') {
            out.append("<<");
            i += 2;
        } else if (c == '<') {
            const std::size_t end = cmap.find('>', i);
            if (end == std::string_view::npos) {
                out.append(cmap.substr(i));
                break;
            }
            const std::string_view hex = cmap.substr(i + 1, end - i - 1);
            const bool destination = (section == Section::Chars && operand == 1)
                || (section == Section::Ranges && (operand == 2 || arrayDepth > 0));
            out += '<';
            if (destination)
                changed |= rewrite(out, hex);
            else
                out.append(hex);
            out += '>';
            i = end + 1;
            operandRead();
        } else if (c == '[') {
            ++arrayDepth;
            out += c;
            ++i;
        } else if (c == ']') {
            out += c;
            ++i;
            if (arrayDepth > 0 && --arrayDepth == 0)
                operandRead();
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            std::size_t end = i;
            while (end < cmap.size() && std::isalnum(static_cast<unsigned char>(cmap[end])))
                ++end;
            const std::string_view word = cmap.substr(i, end - i);
            if (word == "beginbfchar" || word == "beginbfrange") {
                section = word == "beginbfchar" ? Section::Chars : Section::Ranges;
                operand = arrayDepth = 0;
            } else if (word == "endbfchar" || word == "endbfrange") {
                section = Section::Other;
            }
            out.append(word);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    if (!changed)
        return std::nullopt;
    return out;
}

} // namespace

std::set<std::string> surrogatePairsIn(std::string_view cmap)
{
    std::set<std::string> pairs;
    rewriteDestinations(cmap, [&pairs](std::string& out, std::string_view hex) {
        const std::string digits = hexDigitsOf(hex);
        if (isSurrogatePair(digits))
            pairs.insert(digits);
        out.append(hex);
        return false;
    });
    return pairs;
}

std::optional<std::string> reorderToUnicodeUnits(
    std::string_view cmap, const std::set<std::string>& pairsOfInput)
{
    return rewriteDestinations(cmap, [&pairsOfInput](std::string& out, std::string_view hex) {
        return appendRestoredPair(out, hex, pairsOfInput) || appendReordered(out, hex);
    });
}

namespace {

// The numbers of the fonts' ToUnicode streams, each once (a CMap shared by
// several fonts is turned once). An object that does not load is passed over.
std::vector<int> toUnicodeStreams(fz_context* ctx, pdf_document* doc)
{
    std::vector<int> streams;
    std::set<int> seen;
    const int objects = pdf_xref_len(ctx, doc);
    for (int number = 1; number < objects; ++number) {
        pdf_obj* object = nullptr;
        int stream = 0;
        fz_var(object);
        fz_var(stream);
        fz_var(number);
        fz_try(ctx)
        {
            object = pdf_load_object(ctx, doc, number);
            pdf_obj* cmap
                = pdf_is_dict(ctx, object) ? pdf_dict_get(ctx, object, PDF_NAME(ToUnicode)) : nullptr;
            if (pdf_is_indirect(ctx, cmap) && pdf_is_stream(ctx, cmap))
                stream = pdf_to_num(ctx, cmap);
        }
        fz_always(ctx) pdf_drop_obj(ctx, object);
        fz_catch(ctx) stream = 0;
        if (stream > 0 && seen.insert(stream).second)
            streams.push_back(stream);
    }
    return streams;
}

// The stream's decoded text; false when it does not load.
bool loadText(fz_context* ctx, pdf_document* doc, int number, std::string& text)
{
    fz_buffer* buffer = nullptr;
    bool loaded = false;
    fz_var(buffer);
    fz_var(loaded);
    fz_try(ctx)
    {
        buffer = pdf_load_stream_number(ctx, doc, number);
        unsigned char* data = nullptr;
        const std::size_t length = fz_buffer_storage(ctx, buffer, &data);
        text.assign(reinterpret_cast<const char*>(data), length);
        loaded = true;
    }
    fz_always(ctx) fz_drop_buffer(ctx, buffer);
    fz_catch(ctx) loaded = false;
    return loaded;
}

// Replaces the stream's contents; false when MuPDF refuses.
bool storeText(fz_context* ctx, pdf_document* doc, int number, const std::string& text)
{
    fz_buffer* buffer = nullptr;
    pdf_obj* reference = nullptr;
    bool stored = false;
    fz_var(buffer);
    fz_var(stored);
    fz_var(reference);
    fz_try(ctx)
    {
        buffer = fz_new_buffer_from_copied_data(
            ctx, reinterpret_cast<const unsigned char*>(text.data()), text.size());
        reference = pdf_new_indirect(ctx, doc, number, 0);
        pdf_update_stream(ctx, doc, reference, buffer, 0);
        stored = true;
    }
    fz_always(ctx)
    {
        pdf_drop_obj(ctx, reference);
        fz_drop_buffer(ctx, buffer);
    }
    fz_catch(ctx) stored = false;
    return stored;
}

// Whether the CMap holds a character outside the BMP written wrong, which
// only the input's tables can put right.
bool hasBrokenPair(std::string_view cmap)
{
    bool broken = false;
    rewriteDestinations(cmap, [&broken](std::string& out, std::string_view hex) {
        broken = broken || isCutShortPair(hexDigitsOf(hex));
        out.append(hex);
        return false;
    });
    return broken;
}

// The characters outside the BMP that the input PDF's ToUnicode tables hold;
// none when it cannot be read.
std::set<std::string> surrogatePairsOfPdf(fz_context* ctx, const std::string& path)
{
    std::set<std::string> pairs;
    pdf_document* doc = nullptr;
    fz_var(doc);
    fz_try(ctx) doc = pdf_open_document(ctx, path.c_str());
    fz_catch(ctx) doc = nullptr;
    std::string text;
    for (const int number : doc ? toUnicodeStreams(ctx, doc) : std::vector<int>{})
        if (loadText(ctx, doc, number, text))
            pairs.merge(surrogatePairsIn(text));
    pdf_drop_document(ctx, doc);
    return pairs;
}

} // namespace

ToUnicodeRepair repairToUnicode(const std::string& path, const std::string& inputPath)
{
    if (!interpreterSwapsToUnicodeUnits())
        return ToUnicodeRepair::Unchanged;
    struct stat before { };
    if (::stat(path.c_str(), &before) != 0)
        return ToUnicodeRepair::Failed;
    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx)
        return ToUnicodeRepair::Failed;
    pdf_document* doc = nullptr;
    fz_var(doc);
    fz_try(ctx) doc = pdf_open_document(ctx, path.c_str());
    fz_catch(ctx) doc = nullptr;
    ToUnicodeRepair result = doc ? ToUnicodeRepair::Unchanged : ToUnicodeRepair::Failed;
    std::string text;
    std::optional<std::set<std::string>> pairsOfInput;
    for (const int number : doc ? toUnicodeStreams(ctx, doc) : std::vector<int>{}) {
        if (!loadText(ctx, doc, number, text))
            continue;
        // The input is read only for a table that needs it.
        if (!pairsOfInput && !inputPath.empty() && hasBrokenPair(text))
            pairsOfInput = surrogatePairsOfPdf(ctx, inputPath);
        const auto reordered = reorderToUnicodeUnits(text, pairsOfInput.value_or(std::set<std::string>{}));
        if (!reordered)
            continue;
        if (!storeText(ctx, doc, number, *reordered)) {
            result = ToUnicodeRepair::Failed;
            break;
        }
        result = ToUnicodeRepair::Repaired;
    }
    if (result == ToUnicodeRepair::Repaired && !appendUpdate(ctx, doc, path, before.st_size))
        result = ToUnicodeRepair::Failed;
    pdf_drop_document(ctx, doc);
    fz_drop_context(ctx);
    return result;
}

} // namespace folyant::gs
