#include "files/LogFile.h"

#include "support/Files.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tryzone
{

// A log cut back loses exactly what came after the cut and goes on from there; it cannot be cut past its end, nor
// once a write has failed, nor when it is a pipe; the first failed write is kept.
TEST(LogFile, CutsBackToAnEarlierLengthOnlyWhereItCan)
{
    TemporaryFolder folder;
    const std::string path = (folder.Path() / "events.jsonl").string();
    EXPECT_EQ(LogFile().Open((folder.Path() / "none" / "e.jsonl").string()), ENOENT);
    {
        LogFile log;
        ASSERT_EQ(log.Open(path), 0);
        log.Stream() << "kick-off\n";
        const std::uint64_t kept = log.Length();
        log.Stream() << "pass\ntry\n";
        EXPECT_EQ(log.Length(), kept + 9);
        EXPECT_FALSE(log.CutTo(kept + 10));
        ASSERT_TRUE(log.CutTo(kept));
        EXPECT_EQ(log.Length(), kept);
        log.Stream() << "tackle\n";
    }
    EXPECT_EQ(ReadFile(path), "kick-off\ntackle\n");

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    LogFile piped;
    ASSERT_EQ(piped.Adopt(ends[1]), 0);
    piped.Stream() << "line\n";
    EXPECT_FALSE(piped.CutTo(0));
    close(ends[0]);

    LogFile full;
    ASSERT_EQ(full.Open("/dev/full"), 0);
    full.Stream() << std::string(100000, 'x') << std::flush;
    EXPECT_EQ(full.Error(), ENOSPC);
    EXPECT_FALSE(full.CutTo(0));
}

} // namespace tryzone
