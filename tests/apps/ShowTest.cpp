#include "support/Files.h"
#include "support/Program.h"

#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace tryzone
{

namespace
{
class ShowTest : public ::testing::Test
{
protected:
    ProgramRun Sim(std::vector<std::string> arguments)
    {
        return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path());
    }

    // ffprobe's count of the video's frames and its duration in seconds.
    std::pair<int, double> Probe(const std::string& name)
    {
        const ProgramRun probe =
            RunProgram("/usr/bin/ffprobe",
                       {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                        "stream=nb_read_frames,duration,width,height", "-of", "default=noprint_wrappers=1", name},
                       folder.Path());
        EXPECT_EQ(probe.status, 0) << probe.err;
        std::istringstream lines(probe.out);
        int frames = -1;
        double seconds = -1.0;
        for (std::string line; std::getline(lines, line);)
        {
            if (line.rfind("nb_read_frames=", 0) == 0)
            {
                frames = std::stoi(line.substr(15));
            }
            if (line.rfind("duration=", 0) == 0)
            {
                seconds = std::stod(line.substr(9));
            }
            if (line.rfind("width=", 0) == 0)
            {
                EXPECT_EQ(line, "width=1280");
            }
        }
        return {frames, seconds};
    }

    TemporaryFolder folder;
};
} // namespace

// At x1 a picture every other frame at 30 a second: the game's 60 frames a second; x4 a quarter of the pictures.
TEST_F(ShowTest, AVideoHasAPictureForEveryOtherFrameAtTheGamesPaceOrTheChosenSpeed)
{
    for (const auto& [speed, pictures] : {std::pair{"1", 120}, {"4", 30}})
    {
        const ProgramRun run = Sim({"--seed", "7", "--match", "3", "--video", "m.mp4", "--to", "2", "--speed", speed});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("Wrote m.mp4"), std::string::npos) << run.out;
        const auto [frames, seconds] = Probe("m.mp4");
        EXPECT_EQ(frames, pictures) << "x" << speed;
        EXPECT_NEAR(seconds, pictures / 30.0, 0.05) << "x" << speed;
    }
}

TEST_F(ShowTest, BadTimesAndAnOutputThatIsAnInputAreRefusedBeforeAnythingIsWritten)
{
    WriteFile(folder.Path() / "match.jsonl", "");
    for (const auto& [arguments, reason] :
         {std::pair{std::vector<std::string>{"--from", "2:00", "--to", "1:00"}, "--to must come after --from"},
          {{"--from", "1:75"}, "--from 1:75: not a match time"},
          {{"--to", "3s"}, "--to 3s: not a match time"},
          {{"--from", "4:00", "--minutes", "3"}, "--from 04:00 is after the match's end at 03:00"}})
    {
        std::vector<std::string> command{"--seed", "1", "--html", "m.html", "--video", "m.mp4"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const ProgramRun run = Sim(command);
        EXPECT_EQ(run.status, 2) << arguments[1];
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "m.html"));
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "m.mp4"));
    }
    const ProgramRun same = Sim({"--replay", "match.jsonl", "--html", "./match.jsonl"});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("--html"), std::string::npos) << same.err;
    EXPECT_EQ(ReadFile(folder.Path() / "match.jsonl"), "");
}

TEST_F(ShowTest, AFiveMinuteClipPageStandsAloneUnderTwoMegabytes)
{
    const ProgramRun run = Sim({"--seed", "3", "--html", "clip.html", "--from", "10:00", "--to", "15:00"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string page = ReadFile(folder.Path() / "clip.html");
    EXPECT_LT(page.size(), 2u << 20);
    EXPECT_GT(page.size(), 10u << 10);
    // Nothing is fetched: no address, no file beside it.
    for (const char* outside : {"http:", "https:", " src=", " href=", "import(", "fetch("})
    {
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    }
    EXPECT_NE(page.find("10:00 to 15:00"), std::string::npos);
}

} // namespace tryzone
