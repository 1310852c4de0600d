// A file that may not grow beyond a few records, as a full disk would stop
// it: the process's file size limit, for as long as the object lives. The
// limit's signal is ignored, as the programs themselves ignore it.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace bl::testing {

struct FileSizeLimit {
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limited = before;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
};

} // namespace bl::testing
