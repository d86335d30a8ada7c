#include "interpreter/PdfUpdate.h"

#include <unistd.h>

namespace folyant::gs {

bool appendUpdate(fz_context* ctx, pdf_document* doc, const std::string& path, off_t sizeBefore)
{
    bool saved = true;
    fz_var(saved);
    fz_try(ctx)
    {
        pdf_write_options options = pdf_default_write_options;
        options.do_incremental = 1;
        pdf_save_document(ctx, doc, path.c_str(), &options);
    }
    fz_catch(ctx)
    {
        saved = false;
        (void)::truncate(path.c_str(), sizeBefore);
    }
    return saved;
}

} // namespace folyant::gs
