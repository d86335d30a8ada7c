#include "converter/core/MuPdfRewriter.h"

#include "converter/core/Revision6Keys.h"

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace folyant::converter::mupdf {

namespace {

using Outcome = RewriteResult::Outcome;

// A failure as plain C data, so that it can be filled inside fz_try.
struct Failure {
    Outcome outcome;
    char text[512];
};

void setFailure(Failure& failure, Outcome outcome, const char* detail)
{
    failure.outcome = outcome;
    std::snprintf(failure.text, sizeof failure.text, "%s", detail ? detail : "");
}

// MuPDF's failure to read a document it could open as a file. This MuPDF
// gives no error code of its own for encryption handlers or for the font
// engine, only its words: they are read here, at its door, and nowhere else.
void classifyReadFailure(Failure& failure, fz_context* ctx)
{
    const char* message = fz_caught_message(ctx);
    const auto says = [message](const char* word) { return message && std::strstr(message, word); };
    if (fz_caught(ctx) == FZ_ERROR_MEMORY)
        setFailure(failure, Outcome::Other, message);
    else if (says("crypt") || says("encryption"))
        setFailure(failure, Outcome::UnsupportedEncryption, message);
    else if (says("reetype"))
        setFailure(failure, Outcome::FontEngine, message);
    else
        setFailure(failure, Outcome::Structure, message);
}

// The output as a file descriptor of our own, so that a failed write is known
// by its errno rather than by MuPDF's words about it.
struct OutputFile {
    int fd;
    int error;
};

[[noreturn]] void throwOutputError(fz_context* ctx, OutputFile& file, const char* what)
{
    file.error = errno;
    fz_throw(ctx, FZ_ERROR_GENERIC, "cannot %s the output: %s", what, std::strerror(file.error));
}

void writeOutput(fz_context* ctx, void* state, const void* data, size_t size)
{
    auto& file = *static_cast<OutputFile*>(state);
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(file.fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throwOutputError(ctx, file, "write");
        bytes += written;
        size -= static_cast<size_t>(written);
    }
}

void seekOutput(fz_context* ctx, void* state, int64_t offset, int whence)
{
    auto& file = *static_cast<OutputFile*>(state);
    if (::lseek(file.fd, static_cast<off_t>(offset), whence) < 0)
        throwOutputError(ctx, file, "seek in");
}

int64_t tellOutput(fz_context* ctx, void* state)
{
    auto& file = *static_cast<OutputFile*>(state);
    const off_t at = ::lseek(file.fd, 0, SEEK_CUR);
    if (at < 0)
        throwOutputError(ctx, file, "tell the place in");
    return at;
}

void closeOutput(fz_context* ctx, void* state)
{
    auto& file = *static_cast<OutputFile*>(state);
    if (::fsync(file.fd) != 0 && errno != EINVAL)
        throwOutputError(ctx, file, "flush");
}

// Writes the document to the path, which is created or emptied.
void writeDocument(
    fz_context* ctx, pdf_document* doc, const char* path, const pdf_write_options& options, OutputFile& file)
{
    file.fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (file.fd < 0)
        throwOutputError(ctx, file, "open");
    fz_output* out = fz_new_output(ctx, 8192, &file, writeOutput, closeOutput, nullptr);
    out->seek = seekOutput;
    out->tell = tellOutput;
    fz_try(ctx)
    {
        pdf_write_document(ctx, doc, out, &options);
        fz_close_output(ctx, out);
    }
    fz_always(ctx) fz_drop_output(ctx, out);
    fz_catch(ctx) fz_rethrow(ctx);
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
        setFailure(failure, Outcome::WrongPassword, "invalid password");
    else if ((outcome & kOwner) == 0)
        setFailure(failure, Outcome::NotOwner, "permission denied");
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

void putBytes(fz_context* ctx, pdf_obj* dict, pdf_obj* key, const unsigned char* bytes, size_t length)
{
    pdf_dict_put_string(ctx, dict, key, reinterpret_cast<const char*>(bytes), length);
}

// Every object and the raw bytes of every stream in memory, decrypted with
// the document's own encryption: the document's crypt is about to become the
// new one, and MuPDF would decrypt whatever it still read from the file with
// it. An object that does not load is left to the writer, which meets it as
// it would have (its parse fails before any decryption).
void loadEverything(fz_context* ctx, pdf_document* doc)
{
    const int count = pdf_xref_len(ctx, doc);
    pdf_obj* ref = nullptr;
    fz_buffer* raw = nullptr;
    fz_var(ref);
    fz_var(raw);
    for (int num = 1; num < count; ++num) {
        fz_try(ctx)
        {
            pdf_cache_object(ctx, doc, num);
            if (pdf_obj_num_is_stream(ctx, doc, num)) {
                raw = pdf_load_raw_stream_number(ctx, doc, num);
                ref = pdf_new_indirect(ctx, doc, num, 0);
                pdf_update_stream(ctx, doc, ref, raw, 1);
            }
        }
        fz_always(ctx)
        {
            pdf_drop_obj(ctx, ref);
            fz_drop_buffer(ctx, raw);
            ref = nullptr;
            raw = nullptr;
        }
        fz_catch(ctx)
        {
            if (fz_caught(ctx) == FZ_ERROR_MEMORY)
                fz_rethrow(ctx);
        }
    }
}

// Makes the entries of revision 6 the document's encryption, with the file
// key they wrap: saved with its encryption kept, the document is written
// under them. MuPDF would derive its own entries (pdf_new_encrypt) with four
// hardened hashes of its software AES and SHA-2, which cost more than the
// whole rest of a small document's protection; Nettle derived these.
// MuPDF has no call that sets a key, but pdf_crypt_key hands out the crypt's
// own key buffer, which authentication fills in the same way.
void installRevisionSix(fz_context* ctx, pdf_document* doc, const revision6::EncryptionEntries& entries)
{
    pdf_obj* dict = pdf_new_dict(ctx, doc, 16);
    pdf_crypt* crypt = nullptr;
    fz_var(crypt);
    fz_try(ctx)
    {
        pdf_dict_put(ctx, dict, PDF_NAME(Filter), PDF_NAME(Standard));
        pdf_dict_put_int(ctx, dict, PDF_NAME(V), 5);
        pdf_dict_put_int(ctx, dict, PDF_NAME(R), 6);
        pdf_dict_put_int(ctx, dict, PDF_NAME(Length), 256);
        pdf_dict_put_int(ctx, dict, PDF_NAME(P), entries.permissions);
        pdf_dict_put_bool(ctx, dict, PDF_NAME(EncryptMetadata), 1);
        pdf_obj* filters = pdf_dict_put_dict(ctx, dict, PDF_NAME(CF), 1);
        pdf_obj* standard = pdf_dict_put_dict(ctx, filters, PDF_NAME(StdCF), 3);
        pdf_dict_put_name(ctx, standard, PDF_NAME(AuthEvent), "DocOpen");
        pdf_dict_put(ctx, standard, PDF_NAME(CFM), PDF_NAME(AESV3));
        pdf_dict_put_int(ctx, standard, PDF_NAME(Length), 32);
        pdf_dict_put(ctx, dict, PDF_NAME(StmF), PDF_NAME(StdCF));
        pdf_dict_put(ctx, dict, PDF_NAME(StrF), PDF_NAME(StdCF));
        putBytes(ctx, dict, PDF_NAME(O), entries.o.data(), entries.o.size());
        putBytes(ctx, dict, PDF_NAME(U), entries.u.data(), entries.u.size());
        putBytes(ctx, dict, PDF_NAME(OE), entries.oe.data(), entries.oe.size());
        putBytes(ctx, dict, PDF_NAME(UE), entries.ue.data(), entries.ue.size());
        putBytes(ctx, dict, PDF_NAME(Perms), entries.perms.data(), entries.perms.size());

        pdf_obj* trailer = pdf_trailer(ctx, doc);
        crypt = pdf_new_crypt(ctx, dict, pdf_dict_get(ctx, trailer, PDF_NAME(ID)));
        if (pdf_crypt_revision(ctx, crypt) != 6 || pdf_crypt_length(ctx, crypt) != 256)
            fz_throw(ctx, FZ_ERROR_GENERIC, "MuPDF does not take the AES-256 encryption dictionary");
        std::memcpy(pdf_crypt_key(ctx, crypt), entries.fileKey.data(), entries.fileKey.size());
        pdf_dict_put(ctx, trailer, PDF_NAME(Encrypt), dict);
        pdf_drop_crypt(ctx, doc->crypt);
        doc->crypt = crypt;
        crypt = nullptr;
    }
    fz_always(ctx)
    {
        pdf_drop_crypt(ctx, crypt);
        pdf_drop_obj(ctx, dict);
    }
    fz_catch(ctx) fz_rethrow(ctx);
}

void copyPassword(char (&target)[128], const char* source)
{
    std::snprintf(target, sizeof target, "%s", source ? source : "");
}

bool sameBytes(fz_context* ctx, pdf_obj* string, const unsigned char* bytes, size_t length)
{
    return pdf_is_string(ctx, string) && pdf_to_str_len(ctx, string) == length
        && std::memcmp(pdf_to_str_buf(ctx, string), bytes, length) == 0;
}

// Whether a document of revision 6 carries exactly these entries; if so,
// their file key becomes the key MuPDF reads it with. The entries are a
// function of the passwords, so entries equal to those derived for them open
// it for every reader; deriving them again from the password would only
// repeat the same computation. MuPDF's own authentication would cost two
// hardened hashes of its software AES and SHA-2 for each entry it tries,
// three entries for a user password: more than the rest of the protection.
bool carriesEntries(fz_context* ctx, pdf_document* doc, const revision6::EncryptionEntries& entries)
{
    pdf_obj* dict = pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Encrypt));
    const bool same = pdf_dict_get_int(ctx, dict, PDF_NAME(P)) == entries.permissions
        && sameBytes(ctx, pdf_dict_get(ctx, dict, PDF_NAME(U)), entries.u.data(), entries.u.size())
        && sameBytes(ctx, pdf_dict_get(ctx, dict, PDF_NAME(O)), entries.o.data(), entries.o.size())
        && sameBytes(ctx, pdf_dict_get(ctx, dict, PDF_NAME(UE)), entries.ue.data(), entries.ue.size())
        && sameBytes(ctx, pdf_dict_get(ctx, dict, PDF_NAME(OE)), entries.oe.data(), entries.oe.size())
        && sameBytes(
            ctx, pdf_dict_get(ctx, dict, PDF_NAME(Perms)), entries.perms.data(), entries.perms.size());
    if (same)
        std::memcpy(pdf_crypt_key(ctx, doc->crypt), entries.fileKey.data(), entries.fileKey.size());
    return same;
}

// Whether the written document opens with the password (or, under revision
// 6, carries the entries derived for it) and has pages that MuPDF can load:
// a copy that does not replaces nothing.
bool opensWithPages(
    const char* path, const char* password, const revision6::EncryptionEntries* entries = nullptr)
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
        // Opening tries the empty password, which MuPDF checks against both
        // entries whatever the encryption: that much of its hashing stays.
        doc = pdf_open_document(ctx, path);
        bool opens = false;
        if (entries && doc->crypt && pdf_crypt_revision(ctx, doc->crypt) == 6)
            opens = carriesEntries(ctx, doc, *entries);
        else
            opens = *password ? pdf_authenticate_password(ctx, doc, password) != 0
                              : !pdf_needs_password(ctx, doc);
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

RewriteResult rewrite(const RewriteRequest& request)
{
    struct stat info { };
    if (::stat(request.inputPath, &info) != 0)
        return {Outcome::InputOutput, "cannot open " + std::string(request.inputPath)};
    // A device or FIFO could be read without end.
    if (!S_ISREG(info.st_mode))
        return {Outcome::InputOutput, "not a regular file: " + std::string(request.inputPath)};
    if (info.st_size == 0)
        return {Outcome::EmptyFile, "empty file"};

    // Our own keys spare MuPDF's hardened hashes, about 10 ms of its
    // software AES and SHA-2 to write and to check: most of a small
    // document's protection. They cost holding every stream of the input in
    // memory while it is written; past a size where those milliseconds no
    // longer count, MuPDF derives the keys and reads one stream at a time.
    std::optional<revision6::EncryptionEntries> entries;
    if (request.encryption == Encryption::Aes256 && info.st_size <= request.ownKeysUpToBytes) {
        entries = revision6::makeEntries(request.userPassword, request.ownerPassword, request.permissions);
        if (!entries)
            return {Outcome::Other, "cannot make the AES-256 keys"};
    }

    fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx)
        return {Outcome::InputOutput, "out of memory"};
    fz_set_warning_callback(ctx, nullptr, nullptr);
    fz_set_error_callback(ctx, nullptr, nullptr);

    Failure failure{Outcome::Done, {}};
    fz_stream* input = nullptr;
    pdf_document* doc = nullptr;
    OutputFile output{-1, 0};
    bool saving = false;

    fz_var(input);
    fz_var(doc);
    fz_var(output);
    fz_var(saving);
    fz_try(ctx)
    {
        // Opened apart from the document, so that a file that cannot be read
        // is told from one that is no PDF by where it failed.
        input = fz_open_file(ctx, request.inputPath);
        doc = pdf_open_document_with_stream(ctx, input);
        // A repaired cross-reference table is MuPDF's guess at a broken file:
        // what it would write is no faithful copy of the PDF.
        if (pdf_was_repaired(ctx, doc))
            setFailure(failure, Outcome::Structure, "the PDF's cross-reference table is broken");
        else
            authenticateOwner(ctx, doc, request.password, failure);
        if (failure.outcome == Outcome::Done) {
            ensureIdentifier(ctx, doc);
            pdf_write_options options = pdf_default_write_options;
            options.do_garbage = 1;
            // MuPDF keeps the first element of the identifier (the one the
            // key is computed from) and renews the second; told not to
            // regenerate, it would replace the whole identifier instead.
            options.dont_regenerate_id = 0;
            if (entries) {
                loadEverything(ctx, doc);
                installRevisionSix(ctx, doc, *entries);
                options.do_encrypt = PDF_ENCRYPT_KEEP;
            } else {
                options.do_encrypt = encryptionMethod(request.encryption);
                options.permissions = request.permissions;
                copyPassword(options.upwd_utf8, request.userPassword);
                copyPassword(options.opwd_utf8, request.ownerPassword);
            }
            saving = true;
            writeDocument(ctx, doc, request.outputPath, options, output);
            // The copy's entries wrap our key: it must be the one MuPDF wrote with.
            if (entries
                && std::memcmp(
                       pdf_crypt_key(ctx, doc->crypt), entries->fileKey.data(), entries->fileKey.size())
                    != 0)
                fz_throw(ctx, FZ_ERROR_GENERIC, "MuPDF did not write with the AES-256 key");
        }
    }
    fz_always(ctx)
    {
        pdf_drop_document(ctx, doc);
        fz_drop_stream(ctx, input);
    }
    fz_catch(ctx)
    {
        if (!input || output.error != 0)
            setFailure(failure, Outcome::InputOutput, fz_caught_message(ctx));
        else if (saving)
            setFailure(failure, Outcome::Other, fz_caught_message(ctx));
        else
            classifyReadFailure(failure, ctx);
    }
    fz_drop_context(ctx);
    if (output.fd >= 0 && ::close(output.fd) != 0 && failure.outcome == Outcome::Done)
        setFailure(failure, Outcome::InputOutput, "cannot close the output");

    const bool encrypted = request.encryption != Encryption::None;
    if (failure.outcome == Outcome::Done
        && !opensWithPages(
            request.outputPath, encrypted ? request.userPassword : "", entries ? &*entries : nullptr))
        setFailure(failure, Outcome::Structure, "the written copy does not open");
    if (failure.outcome != Outcome::Done && saving)
        ::unlink(request.outputPath);
    return {failure.outcome, failure.text};
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

    Failure failure{Outcome::Done, {}};
    AppendResult::Outcome outcome = AppendResult::Outcome::NotWritten;
    pdf_document* existing = nullptr;
    pdf_document* added = nullptr;
    pdf_graft_map* map = nullptr;
    int pages = 0;
    fz_var(existing);
    fz_var(added);
    fz_var(map);
    fz_var(outcome);
    fz_var(pages);
    fz_try(ctx)
    {
        outcome = AppendResult::Outcome::Unreadable;
        existing = pdf_open_document(ctx, existingPath);
        if (pdf_dict_get(ctx, pdf_trailer(ctx, existing), PDF_NAME(Encrypt))) {
            outcome = AppendResult::Outcome::Protected;
        } else if (pdf_count_pages(ctx, existing) == 0) {
            setFailure(failure, Outcome::Structure, "the PDF has no pages");
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
        setFailure(failure, Outcome::Other, fz_caught_message(ctx));
        if (outcome == AppendResult::Outcome::Appended)
            outcome = AppendResult::Outcome::NotWritten;
    }
    fz_drop_context(ctx);
    if (outcome == AppendResult::Outcome::Appended && !opensWithPages(outputPath, "")) {
        outcome = AppendResult::Outcome::NotWritten;
        setFailure(failure, Outcome::Structure, "the combined PDF does not open");
    }
    result.outcome = outcome;
    result.pages = pages;
    if (failure.outcome != Outcome::Done)
        result.message = failure.text;
    return result;
}

} // namespace folyant::converter::mupdf
