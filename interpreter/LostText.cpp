#include "interpreter/LostText.h"

#include "interpreter/ActualTextRestore.h"
#include "interpreter/ToUnicodeRepair.h"

namespace folyant::gs {

void putBackLostText(const std::string& written, const std::string& read)
{
    repairToUnicode(written, read);
    if (!read.empty())
        restoreActualText(read, written);
}

} // namespace folyant::gs
