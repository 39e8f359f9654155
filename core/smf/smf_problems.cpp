// Records the first problem met while reading a MIDI file, as a status and an English text.
#include "smf_problems.h"

#include <cstdarg>
#include <cstdio>

namespace tw::smf {

void ProblemLog::note(Status status, const char *format, ...) {
    bool replace = file_.status == Status::Ok || (file_.status == Status::Irregular && status != Status::Irregular);
    if (!replace)
        return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    file_.status = status;
    file_.error = text;
}

} // namespace tw::smf
