#include "file_limit.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace vornel::tools {

long raiseOpenFileLimit(long wanted) {
#ifdef _WIN32
    (void)wanted;
    return -1;
#else
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
    const rlim_t goal = static_cast<rlim_t>(wanted);
    if (limit.rlim_cur < goal) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY || goal < limit.rlim_max ? goal : limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? wanted : static_cast<long>(limit.rlim_cur);
#endif
}

}  // namespace vornel::tools
