#pragma once

#include <string>
#include <sys/types.h>

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

// The repairs of what the interpreter writes wrong change a few objects of a
// PDF that may be large: they append them as an incremental update.
namespace folyant::gs {

// Appends what changed in doc to the file at path, which was sizeBefore
// bytes long. Half an update (a full disk) would hide the PDF behind a broken
// trailer: a save that fails cuts the file back to what it was, and false
// is returned.
bool appendUpdate(fz_context* ctx, pdf_document* doc, const std::string& path, off_t sizeBefore);

} // namespace folyant::gs
