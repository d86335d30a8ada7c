#include "interpreter/ActualTextRestore.h"

#include "interpreter/PdfUpdate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>
#include <system_error>
#include <vector>

#include <sys/stat.h>

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

namespace folyant::gs {

namespace {

// The codes one font of the restored text holds (single-byte, 0 unused).
constexpr int kCodesPerFont = 255;

struct Span {
    std::string text; // UTF-8
    fz_matrix place = fz_identity; // the first glyph's, in the page's default user space
    fz_point end = {0, 0}; // where the last glyph ends on its baseline, in default user space
    bool placed = false;
};

struct PageSpans {
    int page = 0;
    fz_rect mediaBox = fz_empty_rect;
    std::vector<Span> spans;
};

// One page's marked content as it is read: which open sequence is the
// outermost /ActualText span, whose text stands for everything drawn inside
// it, nested spans included.
struct SpanScan {
    std::vector<Span> spans;
    std::vector<int> open; // per open sequence: the span it started, or -1
    int covering = -1;
    bool failed = false;
    // The transformation at each q of the content being read, innermost form
    // last: the filter keeps its own to itself, and a form drawn from the
    // page (as the print system's page handling wraps every page in one) is
    // read with the transformation it was drawn with.
    std::vector<std::vector<fz_matrix>> transforms;
    std::vector<int> forms; // the forms being read, by object number
    // The filter's own handlers of what is taken over.
    void (*q)(fz_context*, pdf_processor*) = nullptr;
    void (*Q)(fz_context*, pdf_processor*) = nullptr;
    void (*cm)(fz_context*, pdf_processor*, float, float, float, float, float, float) = nullptr;
    pdf_document* doc = nullptr;
};

// How deep forms drawn from forms are followed.
constexpr std::size_t kFormDepth = 8;

// MuPDF's processor callbacks carry no pointer of ours but the text filter's;
// the marked-content ones find the scan of this thread here.
thread_local SpanScan* t_scan = nullptr;

void beginSpan(fz_context* ctx, pdf_processor* /*proc*/, const char* /*tag*/, pdf_obj* raw, pdf_obj* cooked)
{
    SpanScan* scan = t_scan;
    pdf_obj* properties = pdf_is_dict(ctx, cooked) ? cooked : raw;
    pdf_obj* actual = pdf_dict_get(ctx, properties, PDF_NAME(ActualText));
    // No exception may cross MuPDF's C frames: a scan short of memory is
    // marked failed and read on.
    try {
        if (scan->covering >= 0 || !pdf_is_string(ctx, actual)) {
            scan->open.push_back(-1);
            return;
        }
        Span span;
        span.text = pdf_to_text_string(ctx, actual);
        scan->spans.push_back(std::move(span));
        scan->open.push_back(static_cast<int>(scan->spans.size() - 1));
        scan->covering = scan->open.back();
    } catch (const std::bad_alloc&) {
        scan->failed = true;
    }
}

void beginSequence(fz_context* /*ctx*/, pdf_processor* /*proc*/, const char* /*tag*/)
{
    try {
        t_scan->open.push_back(-1);
    } catch (const std::bad_alloc&) {
        t_scan->failed = true;
    }
}

void endSequence(fz_context* /*ctx*/, pdf_processor* /*proc*/)
{
    SpanScan* scan = t_scan;
    if (scan->open.empty())
        return;
    if (scan->open.back() == scan->covering)
        scan->covering = -1;
    scan->open.pop_back();
}

int recordGlyph(fz_context* /*ctx*/, void* opaque, int* /*ucs*/, int /*ucsLength*/, fz_matrix trm,
    fz_matrix ctm, fz_rect bbox)
{
    auto* scan = static_cast<SpanScan*>(opaque);
    if (scan->covering < 0)
        return 0;
    Span& span = scan->spans[static_cast<std::size_t>(scan->covering)];
    // The filter gives the glyph's box in glyph space (an em is 1).
    const fz_matrix place = fz_concat(trm, ctm);
    if (!span.placed) {
        span.place = place;
        span.placed = true;
    }
    span.end = fz_transform_point(fz_make_point(bbox.x1, 0), place);
    return 0;
}

// Whether the stream, decoded, mentions /ActualText; one that does not load
// mentions nothing.
bool streamMentions(fz_context* ctx, pdf_obj* stream)
{
    bool found = false;
    fz_buffer* buffer = nullptr;
    fz_var(found);
    fz_var(buffer);
    fz_try(ctx)
    {
        buffer = pdf_load_stream(ctx, stream);
        unsigned char* data = nullptr;
        const std::size_t length = fz_buffer_storage(ctx, buffer, &data);
        found = ::memmem(data, length, "ActualText", 10) != nullptr;
    }
    fz_always(ctx) fz_drop_buffer(ctx, buffer);
    fz_catch(ctx) found = false;
    return found;
}

// Whether content (a stream or an array of them), or a form its resources
// hold, mentions /ActualText, or (when orProperties) names marked-content
// properties, which may hold it. MuPDF's errors pass on to the caller.
bool contentMayHold(
    fz_context* ctx, pdf_obj* resources, pdf_obj* contents, bool orProperties, std::size_t depth)
{
    if (orProperties && pdf_dict_len(ctx, pdf_dict_get(ctx, resources, PDF_NAME(Properties))) > 0)
        return true;
    const int streams = pdf_is_array(ctx, contents) ? pdf_array_len(ctx, contents) : 1;
    for (int i = 0; i < streams; ++i) {
        pdf_obj* stream = pdf_is_array(ctx, contents) ? pdf_array_get(ctx, contents, i) : contents;
        if (pdf_is_stream(ctx, stream) && streamMentions(ctx, stream))
            return true;
    }
    if (depth >= kFormDepth)
        return false;
    pdf_obj* forms = pdf_dict_get(ctx, resources, PDF_NAME(XObject));
    for (int i = 0; i < pdf_dict_len(ctx, forms); ++i) {
        pdf_obj* form = pdf_dict_get_val(ctx, forms, i);
        if (!pdf_name_eq(ctx, pdf_dict_get(ctx, form, PDF_NAME(Subtype)), PDF_NAME(Form)))
            continue;
        pdf_obj* own = pdf_xobject_resources(ctx, form);
        if (contentMayHold(ctx, own ? own : resources, form, orProperties, depth + 1))
            return true;
    }
    return false;
}

// A page's content, or a form it draws (the print system's page handling
// wraps every page in one), mentions /ActualText or may hold it (see
// contentMayHold): only then is an input's page read operator by operator.
// A page that does not load mentions nothing.
bool mayHoldActualText(fz_context* ctx, pdf_document* doc, int index, bool orProperties)
{
    bool found = false;
    fz_var(found);
    fz_try(ctx)
    {
        pdf_obj* page = pdf_lookup_page_obj(ctx, doc, index);
        found = contentMayHold(ctx, pdf_dict_get_inheritable(ctx, page, PDF_NAME(Resources)),
            pdf_dict_get(ctx, page, PDF_NAME(Contents)), orProperties, 0);
    }
    fz_catch(ctx) found = false;
    return found;
}

// The fonts of the restored text (a number follows) are named as no
// interpreter names its fonts.
constexpr const char* kFontName = "FolyantActualText";

bool holdsRestoredText(fz_context* ctx, pdf_document* doc, int index)
{
    const std::string first = std::string(kFontName) + "1";
    bool holds = false;
    fz_var(holds);
    fz_try(ctx)
    {
        pdf_obj* resources
            = pdf_dict_get_inheritable(ctx, pdf_lookup_page_obj(ctx, doc, index), PDF_NAME(Resources));
        holds = pdf_dict_gets(ctx, pdf_dict_get(ctx, resources, PDF_NAME(Font)), first.c_str()) != nullptr;
    }
    fz_catch(ctx) holds = false;
    return holds;
}

fz_rect mediaBox(fz_context* ctx, pdf_document* doc, int index)
{
    fz_rect box = fz_empty_rect;
    fz_var(box);
    fz_try(ctx) box = pdf_to_rect(
        ctx, pdf_dict_get_inheritable(ctx, pdf_lookup_page_obj(ctx, doc, index), PDF_NAME(MediaBox)));
    fz_catch(ctx) box = fz_empty_rect;
    return box;
}

void saveState(fz_context* ctx, pdf_processor* proc)
{
    SpanScan* scan = t_scan;
    scan->q(ctx, proc);
    try {
        scan->transforms.back().push_back(scan->transforms.back().back());
    } catch (const std::bad_alloc&) {
        scan->failed = true;
    }
}

void restoreState(fz_context* ctx, pdf_processor* proc)
{
    SpanScan* scan = t_scan;
    scan->Q(ctx, proc);
    if (scan->transforms.back().size() > 1)
        scan->transforms.back().pop_back();
}

void concatTransform(
    fz_context* ctx, pdf_processor* proc, float a, float b, float c, float d, float e, float f)
{
    SpanScan* scan = t_scan;
    scan->cm(ctx, proc, a, b, c, d, e, f);
    fz_matrix& current = scan->transforms.back().back();
    current = fz_concat(fz_make_matrix(a, b, c, d, e, f), current);
}

bool scanContent(fz_context* ctx, pdf_obj* resources, pdf_obj* contents, fz_matrix transform, SpanScan& scan);

void drawForm(
    fz_context* /*ctx*/, pdf_processor* /*proc*/, const char* /*name*/, pdf_obj* form, pdf_obj* resources);

// Reads content through MuPDF's filter, which tells every glyph's place; the
// marked-content operators, the transformation and the forms it draws are
// taken over to follow the spans. False when the content cannot be read to
// its end.
bool scanContent(fz_context* ctx, pdf_obj* resources, pdf_obj* contents, fz_matrix transform, SpanScan& scan)
{
    fz_buffer* sink = nullptr;
    pdf_obj* kept = nullptr;
    pdf_processor* chain = nullptr;
    pdf_processor* filter = nullptr;
    bool scanned = false;
    pdf_filter_options options{};
    options.opaque = &scan;
    options.text_filter = recordGlyph;
    options.sanitize = 1;
    try {
        scan.transforms.push_back({transform});
    } catch (const std::bad_alloc&) {
        return false;
    }
    fz_var(sink);
    fz_var(kept);
    fz_var(chain);
    fz_var(filter);
    fz_var(scanned);
    fz_try(ctx)
    {
        sink = fz_new_buffer(ctx, 1024);
        chain = pdf_new_buffer_processor(ctx, sink, 0);
        kept = pdf_new_dict(ctx, scan.doc, 1);
        filter = pdf_new_filter_processor(ctx, scan.doc, chain, resources, kept, -1, transform, &options);
        scan.q = filter->op_q;
        scan.Q = filter->op_Q;
        scan.cm = filter->op_cm;
        filter->op_BDC = beginSpan;
        filter->op_BMC = beginSequence;
        filter->op_EMC = endSequence;
        filter->op_q = saveState;
        filter->op_Q = restoreState;
        filter->op_cm = concatTransform;
        filter->op_Do_form = drawForm;
        pdf_process_contents(ctx, filter, scan.doc, resources, contents, nullptr);
        pdf_close_processor(ctx, filter);
        pdf_close_processor(ctx, chain);
        scanned = true;
    }
    fz_always(ctx)
    {
        pdf_drop_processor(ctx, filter);
        pdf_drop_processor(ctx, chain);
        pdf_drop_obj(ctx, kept);
        fz_drop_buffer(ctx, sink);
    }
    fz_catch(ctx) scanned = false;
    scan.transforms.pop_back();
    return scanned;
}

// A form the content draws is read where it is drawn, as far as kFormDepth
// and never inside itself; one that cannot be read fails the page's scan.
void drawForm(
    fz_context* ctx, pdf_processor* /*proc*/, const char* /*name*/, pdf_obj* form, pdf_obj* resources)
{
    SpanScan* scan = t_scan;
    const int number = pdf_to_num(ctx, form);
    if (scan->forms.size() >= kFormDepth
        || std::find(scan->forms.begin(), scan->forms.end(), number) != scan->forms.end())
        return;
    pdf_obj* own = pdf_xobject_resources(ctx, form);
    const fz_matrix drawn = fz_concat(pdf_xobject_matrix(ctx, form), scan->transforms.back().back());
    try {
        scan->forms.push_back(number);
    } catch (const std::bad_alloc&) {
        scan->failed = true;
        return;
    }
    if (!scanContent(ctx, own ? own : resources, form, drawn, *scan))
        scan->failed = true;
    scan->forms.pop_back();
}

// A page's content, read for its spans.
bool scanPage(fz_context* ctx, pdf_document* doc, int index, SpanScan& scan)
{
    bool found = false;
    pdf_obj* resources = nullptr;
    pdf_obj* contents = nullptr;
    fz_var(found);
    fz_var(resources);
    fz_var(contents);
    fz_try(ctx)
    {
        pdf_obj* page = pdf_lookup_page_obj(ctx, doc, index);
        resources = pdf_dict_get_inheritable(ctx, page, PDF_NAME(Resources));
        contents = pdf_dict_get(ctx, page, PDF_NAME(Contents));
        found = true;
    }
    fz_catch(ctx) found = false;
    if (!found)
        return false;
    scan.doc = doc;
    t_scan = &scan;
    const bool scanned = scanContent(ctx, resources, contents, fz_identity, scan);
    t_scan = nullptr;
    return scanned;
}

int pageCount(fz_context* ctx, pdf_document* doc)
{
    int count = 0;
    fz_var(count);
    fz_try(ctx) count = pdf_count_pages(ctx, doc);
    fz_catch(ctx) count = 0;
    return count;
}

// Every page's spans that have text and a place; count is the input's pages.
std::vector<PageSpans> inputSpans(fz_context* ctx, pdf_document* doc, int& count)
{
    std::vector<PageSpans> pages;
    count = pageCount(ctx, doc);
    for (int index = 0; index < count; ++index) {
        if (!mayHoldActualText(ctx, doc, index, true))
            continue;
        SpanScan scan;
        if (!scanPage(ctx, doc, index, scan) || scan.failed)
            continue;
        PageSpans page;
        page.page = index;
        page.mediaBox = mediaBox(ctx, doc, index);
        for (Span& span : scan.spans)
            if (span.placed && !span.text.empty())
                page.spans.push_back(std::move(span));
        if (!page.spans.empty())
            pages.push_back(std::move(page));
    }
    return pages;
}

pdf_document* openPdf(fz_context* ctx, const std::string& path)
{
    pdf_document* doc = nullptr;
    fz_var(doc);
    fz_try(ctx) doc = pdf_open_document(ctx, path.c_str());
    fz_catch(ctx) doc = nullptr;
    if (doc && pdf_needs_password(ctx, doc)) {
        pdf_drop_document(ctx, doc);
        doc = nullptr;
    }
    return doc;
}

// The text that puts a font's spans on the page, and the font: a Type 3
// font whose glyphs draw nothing, its codes read through its ToUnicode as the
// spans' text, each as wide as the glyphs of its span.
struct TextFont {
    std::string name;
    std::vector<int> widths; // of codes 1, 2, ... in thousandths of the text size
    std::string toUnicode;
};

// A number in a content stream, whatever the locale's decimal point.
void appendNumber(std::string& out, float value)
{
    char digits[64];
    const auto written
        = std::to_chars(std::begin(digits), std::end(digits), value, std::chars_format::fixed, 4);
    if (written.ec != std::errc{} || !std::isfinite(value))
        out += '0';
    else
        out.append(std::begin(digits), written.ptr);
    out += ' ';
}

void appendHexByte(std::string& out, unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

// The text as UTF-16BE digits, supplementary characters as surrogate pairs.
std::string utf16Digits(const std::string& utf8)
{
    std::string digits;
    const char* next = utf8.c_str();
    while (*next) {
        int rune = 0;
        next += fz_chartorune(&rune, next);
        auto unit = [&digits](unsigned value) {
            appendHexByte(digits, value >> 8);
            appendHexByte(digits, value & 0xFF);
        };
        if (rune > 0xFFFF) {
            const auto offset = static_cast<unsigned>(rune - 0x10000);
            unit(0xD800 + (offset >> 10));
            unit(0xDC00 + (offset & 0x3FF));
        } else {
            unit(static_cast<unsigned>(rune));
        }
    }
    return digits;
}

std::string toUnicodeCMap(const std::vector<const Span*>& spans)
{
    std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    // A block holds at most a hundred entries.
    for (std::size_t first = 0; first < spans.size(); first += 100) {
        const std::size_t last = std::min(spans.size(), first + 100);
        cmap += std::to_string(last - first) + " beginbfchar\n";
        for (std::size_t i = first; i < last; ++i) {
            cmap += '<';
            appendHexByte(cmap, static_cast<unsigned>(i + 1));
            cmap += "> <" + utf16Digits(spans[i]->text) + ">\n";
        }
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return cmap;
}

// The spans of a page as fonts of at most kCodesPerFont codes, and the
// content that shows them, invisible (render mode 3), each at its first
// glyph's place. The content ends the page's own first: that one may leave
// the graphics state changed inside the q that opens the page.
std::vector<TextFont> textFonts(const std::vector<Span>& spans, std::string& content)
{
    std::vector<TextFont> fonts;
    content = "Q\nq\nBT\n3 Tr\n";
    for (std::size_t first = 0; first < spans.size(); first += kCodesPerFont) {
        const std::size_t last = std::min(spans.size(), first + kCodesPerFont);
        TextFont font;
        font.name = kFontName + std::to_string(fonts.size() + 1);
        content += "/" + font.name + " 1 Tf\n";
        std::vector<const Span*> own;
        for (std::size_t i = first; i < last; ++i) {
            const Span& span = spans[i];
            own.push_back(&span);
            const fz_point end = fz_transform_point(span.end, fz_invert_matrix(span.place));
            font.widths.push_back(static_cast<int>(std::lround(std::clamp(end.x, 0.0F, 100.0F) * 1000)));
            for (const float value :
                {span.place.a, span.place.b, span.place.c, span.place.d, span.place.e, span.place.f})
                appendNumber(content, value);
            content += "Tm <";
            appendHexByte(content, static_cast<unsigned>(i - first + 1));
            content += "> Tj\n";
        }
        font.toUnicode = toUnicodeCMap(own);
        fonts.push_back(std::move(font));
    }
    content += "ET\nQ\n";
    return fonts;
}

// A new stream object holding text; MuPDF's errors pass on to the caller.
pdf_obj* addStream(fz_context* ctx, pdf_document* doc, const std::string& text)
{
    fz_buffer* buffer = fz_new_buffer_from_copied_data(
        ctx, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    pdf_obj* stream = nullptr;
    fz_try(ctx) stream = pdf_add_stream(ctx, doc, buffer, nullptr, 0);
    fz_always(ctx) fz_drop_buffer(ctx, buffer);
    fz_catch(ctx) fz_rethrow(ctx);
    return stream;
}

// A new font object; every glyph is the empty procedure glyph. MuPDF's
// errors pass on to the caller.
pdf_obj* addFont(fz_context* ctx, pdf_document* doc, const TextFont& font, pdf_obj* glyph)
{
    pdf_obj* dict = pdf_new_dict(ctx, doc, 12);
    pdf_obj* cmap = nullptr;
    pdf_obj* added = nullptr;
    fz_var(cmap);
    fz_var(added);
    fz_try(ctx)
    {
        const int codes = static_cast<int>(font.widths.size());
        pdf_dict_put(ctx, dict, PDF_NAME(Type), PDF_NAME(Font));
        pdf_dict_put(ctx, dict, PDF_NAME(Subtype), PDF_NAME(Type3));
        // The height that text readers give the characters' boxes.
        pdf_dict_put_rect(ctx, dict, PDF_NAME(FontBBox), fz_make_rect(0, -200, 1000, 800));
        pdf_dict_put_matrix(ctx, dict, PDF_NAME(FontMatrix), fz_scale(0.001F, 0.001F));
        pdf_dict_put_dict(ctx, dict, PDF_NAME(Resources), 0);
        pdf_dict_put_int(ctx, dict, PDF_NAME(FirstChar), 1);
        pdf_dict_put_int(ctx, dict, PDF_NAME(LastChar), codes);
        pdf_obj* widths = pdf_dict_put_array(ctx, dict, PDF_NAME(Widths), codes);
        pdf_obj* encoding = pdf_dict_put_dict(ctx, dict, PDF_NAME(Encoding), 2);
        pdf_dict_put(ctx, encoding, PDF_NAME(Type), PDF_NAME(Encoding));
        pdf_obj* differences = pdf_dict_put_array(ctx, encoding, PDF_NAME(Differences), codes + 1);
        pdf_array_push_int(ctx, differences, 1);
        pdf_obj* procedures = pdf_dict_put_dict(ctx, dict, PDF_NAME(CharProcs), codes);
        for (int code = 1; code <= codes; ++code) {
            char name[16];
            fz_snprintf(name, sizeof name, "g%d", code);
            pdf_array_push_int(ctx, widths, font.widths[static_cast<std::size_t>(code - 1)]);
            pdf_array_push_name(ctx, differences, name);
            pdf_dict_puts(ctx, procedures, name, glyph);
        }
        cmap = addStream(ctx, doc, font.toUnicode);
        pdf_dict_put(ctx, dict, PDF_NAME(ToUnicode), cmap);
        added = pdf_add_object(ctx, doc, dict);
    }
    fz_always(ctx)
    {
        pdf_drop_obj(ctx, cmap);
        pdf_drop_obj(ctx, dict);
    }
    fz_catch(ctx) fz_rethrow(ctx);
    return added;
}

// Gives the page its own Resources and Font dictionaries (they may be
// inherited or shared with other pages) with the fonts added, and wraps its
// content in opening (q) and the text. False when MuPDF refuses.
bool appendToPage(fz_context* ctx, pdf_document* doc, int index, const std::vector<TextFont>& fonts,
    const std::string& text, pdf_obj* opening, pdf_obj* glyph)
{
    pdf_obj* resources = nullptr;
    pdf_obj* fontDict = nullptr;
    pdf_obj* font = nullptr;
    pdf_obj* closing = nullptr;
    pdf_obj* contents = nullptr;
    bool appended = false;
    fz_var(resources);
    fz_var(fontDict);
    fz_var(font);
    fz_var(closing);
    fz_var(contents);
    fz_var(appended);
    fz_try(ctx)
    {
        pdf_obj* page = pdf_lookup_page_obj(ctx, doc, index);
        pdf_obj* inherited = pdf_dict_get_inheritable(ctx, page, PDF_NAME(Resources));
        resources = pdf_is_dict(ctx, inherited) ? pdf_copy_dict(ctx, inherited) : pdf_new_dict(ctx, doc, 1);
        pdf_obj* existing = pdf_dict_get(ctx, resources, PDF_NAME(Font));
        fontDict = pdf_is_dict(ctx, existing) ? pdf_copy_dict(ctx, existing) : pdf_new_dict(ctx, doc, 1);
        for (const TextFont& each : fonts) {
            if (pdf_dict_gets(ctx, fontDict, each.name.c_str()))
                fz_throw(ctx, FZ_ERROR_GENERIC, "font name taken");
            font = addFont(ctx, doc, each, glyph);
            pdf_dict_puts(ctx, fontDict, each.name.c_str(), font);
            pdf_drop_obj(ctx, font);
            font = nullptr;
        }
        pdf_dict_put(ctx, resources, PDF_NAME(Font), fontDict);
        closing = addStream(ctx, doc, text);
        contents = pdf_new_array(ctx, doc, 3);
        pdf_array_push(ctx, contents, opening);
        pdf_obj* old = pdf_dict_get(ctx, page, PDF_NAME(Contents));
        if (pdf_is_array(ctx, old)) {
            for (int i = 0; i < pdf_array_len(ctx, old); ++i)
                pdf_array_push(ctx, contents, pdf_array_get(ctx, old, i));
        } else if (old) {
            pdf_array_push(ctx, contents, old);
        }
        pdf_array_push(ctx, contents, closing);
        pdf_dict_put(ctx, page, PDF_NAME(Resources), resources);
        pdf_dict_put(ctx, page, PDF_NAME(Contents), contents);
        appended = true;
    }
    fz_always(ctx)
    {
        pdf_drop_obj(ctx, contents);
        pdf_drop_obj(ctx, closing);
        pdf_drop_obj(ctx, font);
        pdf_drop_obj(ctx, fontDict);
        pdf_drop_obj(ctx, resources);
    }
    fz_catch(ctx) appended = false;
    return appended;
}

// The objects every restored page shares: the stream that opens its content
// and the glyph procedure that draws nothing. False when MuPDF refuses.
bool addSharedStreams(fz_context* ctx, pdf_document* doc, pdf_obj*& opening, pdf_obj*& glyph)
{
    static const std::string kOpening = "q\n";
    static const std::string kEmptyGlyph = "0 0 d0\n";
    bool added = false;
    fz_var(added);
    fz_try(ctx)
    {
        opening = addStream(ctx, doc, kOpening);
        glyph = addStream(ctx, doc, kEmptyGlyph);
        added = true;
    }
    fz_catch(ctx) added = false;
    return added;
}

bool sameBox(fz_rect a, fz_rect b)
{
    constexpr float kTolerance = 0.01F;
    return std::fabs(a.x0 - b.x0) < kTolerance && std::fabs(a.y0 - b.y0) < kTolerance
        && std::fabs(a.x1 - b.x1) < kTolerance && std::fabs(a.y1 - b.y1) < kTolerance;
}

} // namespace

ActualTextRestore restoreActualText(const std::string& inputPath, const std::string& outputPath)
{
    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx)
        return ActualTextRestore::Failed;
    pdf_document* input = openPdf(ctx, inputPath);
    int inputPages = 0;
    const std::vector<PageSpans> pages
        = input ? inputSpans(ctx, input, inputPages) : std::vector<PageSpans>{};
    pdf_drop_document(ctx, input);
    if (pages.empty()) {
        fz_drop_context(ctx);
        return ActualTextRestore::Unchanged;
    }
    struct stat before { };
    pdf_document* doc = ::stat(outputPath.c_str(), &before) == 0 ? openPdf(ctx, outputPath) : nullptr;
    // An update cannot go onto a file MuPDF had to rebuild to read.
    if (!doc || pdf_was_repaired(ctx, doc)) {
        pdf_drop_document(ctx, doc);
        fz_drop_context(ctx);
        return ActualTextRestore::Failed;
    }
    ActualTextRestore result = ActualTextRestore::Unchanged;
    // Pages are matched by number only where every page came out.
    const int count = pageCount(ctx, doc) == inputPages ? inputPages : 0;
    pdf_obj* opening = nullptr;
    pdf_obj* glyph = nullptr;
    std::string text;
    for (const PageSpans& page : pages) {
        // A written page that holds /ActualText is of an interpreter that
        // keeps the spans; one with our font has been restored before.
        if (page.page >= count || !sameBox(mediaBox(ctx, doc, page.page), page.mediaBox)
            || mayHoldActualText(ctx, doc, page.page, false) || holdsRestoredText(ctx, doc, page.page))
            continue;
        const std::vector<TextFont> fonts = textFonts(page.spans, text);
        if ((!opening && !addSharedStreams(ctx, doc, opening, glyph))
            || !appendToPage(ctx, doc, page.page, fonts, text, opening, glyph)) {
            result = ActualTextRestore::Failed;
            break;
        }
        result = ActualTextRestore::Restored;
    }
    if (result == ActualTextRestore::Restored && !appendUpdate(ctx, doc, outputPath, before.st_size))
        result = ActualTextRestore::Failed;
    pdf_drop_obj(ctx, glyph);
    pdf_drop_obj(ctx, opening);
    pdf_drop_document(ctx, doc);
    fz_drop_context(ctx);
    return result;
}

} // namespace folyant::gs
