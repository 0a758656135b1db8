#include "support/Program.h"

#include "support/Files.h"

#include <sys/wait.h>
#include <unistd.h>

namespace tryzone
{

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const Restrictions& restrictions,
                      const WhileRunning& whileRunning)
{
    TemporaryFolder outputs;
    const std::string out = (outputs.Path() / "out").string();
    const std::string err = (outputs.Path() / "err").string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
    {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    ProgramRun run;
    const pid_t pid = fork();
    if (pid == 0)
    {
        PrepareChild(folder, out, err, restrictions);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pid > 0 && whileRunning)
    {
        whileRunning(pid, out);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid)
    {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

} // namespace tryzone
