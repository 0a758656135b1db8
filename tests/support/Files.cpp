#include "support/Files.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tryzone
{

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tryzone-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
    {
        path = pattern;
    }
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    // TRYZONE_KEEP_TEST_FILES keeps what a test left behind (the game's output, screenshots) for a look.
    if (std::getenv("TRYZONE_KEEP_TEST_FILES") == nullptr)
    {
        std::filesystem::remove_all(path, ignored);
    }
}

WorkingInTemporaryFolder::WorkingInTemporaryFolder() : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(folder.Path());
}

WorkingInTemporaryFolder::~WorkingInTemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<std::string> FileNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        contents[entry.path().filename().string()] =
            entry.is_symlink() ? "-> " + std::filesystem::read_symlink(entry.path()).string() : ReadFile(entry.path());
    }
    return contents;
}

} // namespace tryzone
