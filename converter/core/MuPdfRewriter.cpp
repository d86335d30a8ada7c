#include "converter/core/MuPdfRewriter.h"

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace folyant::converter::mupdf {

namespace {

// A failure as plain C data, so that it can be filled inside fz_try.
struct Failure {
    char text[512];
    bool set;
};

void setFailure(Failure& failure, const char* kind, const char* detail)
{
    if (detail && *detail)
        std::snprintf(failure.text, sizeof failure.text, "%s: %s", kind, detail);
    else
        std::snprintf(failure.text, sizeof failure.text, "%s", kind);
    failure.set = true;
}

bool contains(const char* text, const char* word)
{
    return text && std::strstr(text, word) != nullptr;
}

// MuPDF's failure when opening or preparing a document, by class.
void classifyOpenFailure(Failure& failure, fz_context* ctx)
{
    const char* message = fz_caught_message(ctx);
    if (contains(message, "cannot open") || contains(message, "cannot read")
        || contains(message, "No such file"))
        setFailure(failure, "ioerror", message);
    else if (contains(message, "crypt") || contains(message, "encryption"))
        setFailure(failure, "unsupported encryption", message);
    else if (contains(message, "reetype"))
        setFailure(failure, "freetype", message);
    else
        setFailure(failure, "syntaxerror", message);
}

void classifySaveFailure(Failure& failure, fz_context* ctx)
{
    const char* message = fz_caught_message(ctx);
    if (contains(message, "cannot open") || contains(message, "cannot write")
        || contains(message, "cannot seek"))
        setFailure(failure, "ioerror", message);
    else
        setFailure(failure, message ? message : "failure", nullptr);
}

// Authenticates the password as the owner's. The outcome is written into
// failure when it is not the owner.
void authenticateOwner(fz_context* ctx, pdf_document* doc, const char* password, Failure& failure)
{
    if (!pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Encrypt)))
        return;
    const int outcome = pdf_authenticate_password(ctx, doc, password);
    constexpr int kOwner = 4;
    if (outcome == 0)
        setFailure(failure, "invalid password", nullptr);
    else if ((outcome & kOwner) == 0)
        setFailure(failure, "permission denied", nullptr);
}

// The trailer's identifier, or the fixed one when the document has none.
void ensureIdentifier(fz_context* ctx, pdf_document* doc)
{
    pdf_obj* trailer = pdf_trailer(ctx, doc);
    pdf_obj* id = pdf_dict_get(ctx, trailer, PDF_NAME(ID));
    if (pdf_is_array(ctx, id) && pdf_array_len(ctx, id) >= 1)
        return;
    static const char kFallback[] = "ABCDEFGHIJKLMNOP";
    pdf_obj* array = pdf_new_array(ctx, doc, 2);
    fz_try(ctx)
    {
        pdf_array_push_drop(ctx, array, pdf_new_string(ctx, kFallback, 16));
        pdf_array_push_drop(ctx, array, pdf_new_string(ctx, kFallback, 16));
        pdf_dict_put(ctx, trailer, PDF_NAME(ID), array);
    }
    fz_always(ctx) pdf_drop_obj(ctx, array);
    fz_catch(ctx) fz_rethrow(ctx);
}

int encryptionMethod(Encryption encryption)
{
    switch (encryption) {
    case Encryption::Rc4Bits40:
        return PDF_ENCRYPT_RC4_40;
    case Encryption::Aes256:
        return PDF_ENCRYPT_AES_256;
    case Encryption::None:
        break;
    }
    return PDF_ENCRYPT_NONE;
}

void copyPassword(char (&target)[128], const char* source)
{
    std::snprintf(target, sizeof target, "%s", source ? source : "");
}

// Whether the written document opens with the password and has pages that
// MuPDF can load: a copy that does not replaces nothing.
bool opensWithPages(const char* path, const char* password)
{
    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx)
        return false;
    fz_set_warning_callback(ctx, nullptr, nullptr);
    fz_set_error_callback(ctx, nullptr, nullptr);
    pdf_document* doc = nullptr;
    int pages = 0;
    bool usable = false;
    fz_var(doc);
    fz_var(pages);
    fz_var(usable);
    fz_try(ctx)
    {
        doc = pdf_open_document(ctx, path);
        // Each password check of revision 6 costs MuPDF four hardened hashes:
        // a password is checked once, and the empty one (which opening tried
        // already) only when there is no other.
        const bool opens
            = *password ? pdf_authenticate_password(ctx, doc, password) != 0 : !pdf_needs_password(ctx, doc);
        if (!pdf_was_repaired(ctx, doc) && opens) {
            pages = pdf_count_pages(ctx, doc);
            for (int i = 0; i < pages; ++i)
                fz_drop_page(ctx, fz_load_page(ctx, &doc->super, i));
            usable = pages > 0;
        }
    }
    fz_always(ctx)
    {
        pdf_drop_document(ctx, doc);
    }
    fz_catch(ctx)
    {
        usable = false;
    }
    fz_drop_context(ctx);
    return usable;
}

} // namespace

std::string rewrite(const RewriteRequest& request)
{
    struct stat info { };
    if (::stat(request.inputPath, &info) != 0)
        return "ioerror: cannot open " + std::string(request.inputPath);
    // A device or FIFO could be read without end.
    if (!S_ISREG(info.st_mode))
        return "ioerror: not a regular file: " + std::string(request.inputPath);
    if (info.st_size == 0)
        return "empty file";

    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx)
        return "ioerror: out of memory";
    fz_set_warning_callback(ctx, nullptr, nullptr);
    fz_set_error_callback(ctx, nullptr, nullptr);

    Failure failure{};
    pdf_document* doc = nullptr;
    bool saving = false;

    fz_var(doc);
    fz_var(saving);
    fz_try(ctx)
    {
        doc = pdf_open_document(ctx, request.inputPath);
        // A repaired cross-reference table is MuPDF's guess at a broken file:
        // what it would write is no faithful copy of the PDF.
        if (pdf_was_repaired(ctx, doc))
            setFailure(failure, "syntaxerror", "the PDF's cross-reference table is broken");
        else
            authenticateOwner(ctx, doc, request.password, failure);
        if (!failure.set) {
            ensureIdentifier(ctx, doc);
            pdf_write_options options = pdf_default_write_options;
            options.do_garbage = 1;
            // MuPDF keeps the first element of the identifier (the one the
            // key is computed from) and renews the second; told not to
            // regenerate, it would replace the whole identifier instead.
            options.dont_regenerate_id = 0;
            options.do_encrypt = encryptionMethod(request.encryption);
            options.permissions = request.permissions;
            copyPassword(options.upwd_utf8, request.userPassword);
            copyPassword(options.opwd_utf8, request.ownerPassword);
            saving = true;
            pdf_save_document(ctx, doc, request.outputPath, &options);
        }
    }
    fz_always(ctx)
    {
        pdf_drop_document(ctx, doc);
    }
    fz_catch(ctx)
    {
        if (saving)
            classifySaveFailure(failure, ctx);
        else
            classifyOpenFailure(failure, ctx);
    }
    fz_drop_context(ctx);

    const bool encrypted = request.encryption != Encryption::None;
    if (!failure.set && !opensWithPages(request.outputPath, encrypted ? request.userPassword : ""))
        setFailure(failure, "syntaxerror", "the written copy does not open");
    if (failure.set && saving)
        ::unlink(request.outputPath);
    return failure.set ? std::string(failure.text) : std::string();
}

PdfFacts inspect(const char* path)
{
    PdfFacts facts;
    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx)
        return facts;
    fz_set_warning_callback(ctx, nullptr, nullptr);
    fz_set_error_callback(ctx, nullptr, nullptr);
    pdf_document* doc = nullptr;
    fz_var(doc);
    fz_var(facts);
    fz_try(ctx)
    {
        doc = pdf_open_document(ctx, path);
        facts.opens = true;
        facts.needsPassword = pdf_needs_password(ctx, doc) != 0;
        facts.encrypted = pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Encrypt)) != nullptr;
        if (!facts.needsPassword)
            facts.pages = pdf_count_pages(ctx, doc);
    }
    fz_always(ctx)
    {
        pdf_drop_document(ctx, doc);
    }
    fz_catch(ctx)
    {
        facts.pages = 0;
    }
    fz_drop_context(ctx);
    return facts;
}

AppendResult appendPages(const char* existingPath, const char* addedPath, const char* outputPath)
{
    AppendResult result;
    struct stat info { };
    // A device or FIFO could be read without end.
    if (::stat(existingPath, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.outcome = AppendResult::Outcome::Unreadable;
        result.message = std::strerror(S_ISREG(info.st_mode) ? errno : EINVAL);
        return result;
    }
    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx) {
        result.message = "out of memory";
        return result;
    }
    fz_set_warning_callback(ctx, nullptr, nullptr);
    fz_set_error_callback(ctx, nullptr, nullptr);

    Failure failure{};
    AppendResult::Outcome outcome = AppendResult::Outcome::NotWritten;
    pdf_document* existing = nullptr;
    pdf_document* added = nullptr;
    pdf_graft_map* map = nullptr;
    bool saving = false;
    int pages = 0;
    fz_var(existing);
    fz_var(added);
    fz_var(map);
    fz_var(saving);
    fz_var(outcome);
    fz_var(pages);
    fz_try(ctx)
    {
        outcome = AppendResult::Outcome::Unreadable;
        existing = pdf_open_document(ctx, existingPath);
        if (pdf_dict_get(ctx, pdf_trailer(ctx, existing), PDF_NAME(Encrypt))) {
            outcome = AppendResult::Outcome::Protected;
        } else if (pdf_count_pages(ctx, existing) == 0) {
            setFailure(failure, "the PDF has no pages", nullptr);
        } else {
            outcome = AppendResult::Outcome::NotWritten;
            added = pdf_open_document(ctx, addedPath);
            map = pdf_new_graft_map(ctx, existing);
            const int count = pdf_count_pages(ctx, added);
            for (int page = 0; page < count; ++page)
                pdf_graft_mapped_page(ctx, map, -1, added, page);
            pages = pdf_count_pages(ctx, existing);
            pdf_write_options options = pdf_default_write_options;
            options.do_garbage = 1;
            saving = true;
            pdf_save_document(ctx, existing, outputPath, &options);
            outcome = AppendResult::Outcome::Appended;
        }
    }
    fz_always(ctx)
    {
        pdf_drop_graft_map(ctx, map);
        pdf_drop_document(ctx, added);
        pdf_drop_document(ctx, existing);
    }
    fz_catch(ctx)
    {
        if (saving)
            classifySaveFailure(failure, ctx);
        else
            classifyOpenFailure(failure, ctx);
        if (outcome == AppendResult::Outcome::Appended)
            outcome = AppendResult::Outcome::NotWritten;
    }
    fz_drop_context(ctx);
    if (outcome == AppendResult::Outcome::Appended && !opensWithPages(outputPath, "")) {
        outcome = AppendResult::Outcome::NotWritten;
        setFailure(failure, "the combined PDF does not open", nullptr);
    }
    result.outcome = outcome;
    result.pages = pages;
    if (failure.set)
        result.message = failure.text;
    return result;
}

} // namespace folyant::converter::mupdf
