#include "support/Restrictions.h"

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace tryzone
{

namespace
{
bool Apply(const Restrictions& restrictions)
{
    if (restrictions.fileSizeLimit)
    {
        // Ignored, SIGXFSZ stays ignored across exec, so the write returns an error the program can see.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {*restrictions.fileSizeLimit, *restrictions.fileSizeLimit};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        {
            return false;
        }
    }
    if (restrictions.obeyFilePermissions && geteuid() == 0)
    {
        // Root passes permission checks through these two capabilities only. Dropped from the bounding set, they
        // are gone for the program exec'd next; root still owns the files, so the owner's bits decide.
        if (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
            prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0)
        {
            return false;
        }
    }
    if (restrictions.timeLimitSeconds > 0)
    {
        alarm(restrictions.timeLimitSeconds);
    }
    return true;
}
} // namespace

void PrepareChild(const std::filesystem::path& folder, const std::string& out, const std::string& err,
                  const Restrictions& restrictions)
{
    if (chdir(folder.c_str()) != 0)
    {
        _exit(126);
    }
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    if (!Apply(restrictions))
    {
        _exit(125);
    }
}

} // namespace tryzone
