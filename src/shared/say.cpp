#include "shared/say.h"

#include <cstdio>

namespace bl {

namespace {
const char *program_name = "bus-lauscher";
}

void set_program_name(const char *name) { program_name = name; }

void say(const QString &text) {
    std::fprintf(stderr, "%s: %s\n", program_name, text.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace bl
