#include "interpreter/ToUnicodeRepair.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include <ghostscript/iapi.h>
#include <sys/stat.h>
#include <unistd.h>

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
    std::string digits;
    for (const char c : hex)
        if (!std::isspace(static_cast<unsigned char>(c)))
            digits += c;
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

} // namespace

std::optional<std::string> reorderToUnicodeUnits(std::string_view cmap)
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
                changed |= appendReordered(out, hex);
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

} // namespace

ToUnicodeRepair repairToUnicode(const std::string& path)
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
    for (const int number : doc ? toUnicodeStreams(ctx, doc) : std::vector<int>{}) {
        if (!loadText(ctx, doc, number, text))
            continue;
        const auto reordered = reorderToUnicodeUnits(text);
        if (!reordered)
            continue;
        if (!storeText(ctx, doc, number, *reordered)) {
            result = ToUnicodeRepair::Failed;
            break;
        }
        result = ToUnicodeRepair::Repaired;
    }
    fz_var(result);
    if (result == ToUnicodeRepair::Repaired) {
        fz_try(ctx)
        {
            pdf_write_options options = pdf_default_write_options;
            options.do_incremental = 1;
            pdf_save_document(ctx, doc, path.c_str(), &options);
        }
        fz_catch(ctx)
        {
            result = ToUnicodeRepair::Failed;
            // Half an update (a full disk) would hide the PDF behind a broken
            // trailer: the file goes back to what the interpreter wrote.
            (void)::truncate(path.c_str(), before.st_size);
        }
    }
    pdf_drop_document(ctx, doc);
    fz_drop_context(ctx);
    return result;
}

} // namespace folyant::gs
