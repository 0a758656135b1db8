#include "drawing/MatchPage.h"

#include <gtest/gtest.h>
#include <random>

namespace tryzone
{

namespace
{
FramePicture Picture(float x)
{
    FramePicture picture;
    picture.width = 1280;
    picture.height = 720;
    PictureShape circle;
    circle.kind = ShapeKind::Circle;
    circle.x = x;
    circle.x2 = 25.f;
    picture.Add(circle);
    PictureShape text;
    text.kind = ShapeKind::Text;
    picture.Add(text, "Score Bleu : 0");
    return picture;
}

MatchPageInfo Info()
{
    MatchPageInfo info;
    info.title = "a </script> title";
    info.facts = {{"Settings", "<b>&</b>"}};
    info.width = 1280;
    info.height = 720;
    return info;
}
} // namespace

TEST(PictureStream, AFrameIsWrittenAsWhatChangedSinceTheOneBefore)
{
    PictureStream stream;
    stream.Add(1, 0.0, Picture(100.f), 2);
    const std::size_t first = stream.Bytes().size();
    // Kind, radius, x and the text change from the blank shape; the second shape is a text of 14 characters.
    EXPECT_GT(first, 14u + 8u);
    stream.Add(2, 0.0, Picture(100.f), 2);
    // Frame step, clock, count, marks, then one empty mask per unchanged shape.
    EXPECT_EQ(stream.Bytes().size() - first, 6u);
    stream.Add(3, 0.0, Picture(101.f), 2);
    // The circle moved by eight eighths: its mask (x is bit 5) and the change, a byte each; the text's empty mask.
    EXPECT_EQ(stream.Bytes().size() - first - 6u, 4u + 2u + 1u);
    EXPECT_EQ(stream.Frames(), 3u);
}

TEST(MatchPage, OnePageWithItsScriptAndFactsThatCannotBreakOutOfIt)
{
    PictureStream stream;
    for (int frame = 1; frame <= 50; ++frame)
    {
        stream.Add(frame, frame * 0.1, Picture(static_cast<float>(frame)), 2);
    }
    const auto page = MatchPage(Info(), stream, {{10, "try"}});
    ASSERT_TRUE(page) << page.Reason();
    EXPECT_EQ(page->rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page->find("tryzonePage"), std::string::npos);
    EXPECT_NE(page->find("&lt;b&gt;&amp;&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(page->find("</script> title"), std::string::npos);
    // Two scripts, each closed once.
    std::size_t closes = 0;
    for (std::size_t at = page->find("</script>"); at != std::string::npos; at = page->find("</script>", at + 1))
    {
        ++closes;
    }
    EXPECT_EQ(closes, 2u);
    EXPECT_NE(page->find(R"({"frame":10,"kind":"try"})"), std::string::npos);

    EXPECT_FALSE(MatchPage(Info(), PictureStream(), {}));
}

TEST(MatchPage, APageTooLargeToOpenQuicklyIsRefusedWithAHintToClip)
{
    // Shapes wandering at random compress badly: a few megabytes of them.
    std::mt19937 random(5);
    std::uniform_real_distribution<float> anywhere(0.f, 1280.f);
    PictureStream stream;
    FramePicture picture = Picture(0.f);
    for (int frame = 1; stream.Bytes().size() < 2 * kMaxPageBytes; ++frame)
    {
        for (PictureShape& shape : picture.shapes)
        {
            shape.x = anywhere(random);
            shape.y = anywhere(random);
        }
        stream.Add(frame, frame * 0.1, picture, 2);
    }
    const auto page = MatchPage(Info(), stream, {});
    ASSERT_FALSE(page);
    EXPECT_NE(page.Reason().find("--from and --to"), std::string::npos) << page.Reason();
}

} // namespace tryzone
