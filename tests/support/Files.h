#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tryzone
{

// A fresh, empty folder under the system's temporary directory, removed with the object.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();

    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path path;
};

// Works in a fresh temporary folder for as long as it lives, as the game does in its working directory.
class WorkingInTemporaryFolder
{
public:
    WorkingInTemporaryFolder();
    ~WorkingInTemporaryFolder();

    WorkingInTemporaryFolder(const WorkingInTemporaryFolder&) = delete;
    WorkingInTemporaryFolder& operator=(const WorkingInTemporaryFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return folder.Path(); }

private:
    std::filesystem::path previous;
    TemporaryFolder folder;
};

[[nodiscard]] std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& text);
// The names of what a folder holds, sorted.
[[nodiscard]] std::vector<std::string> FileNames(const std::filesystem::path& folder);
// What a folder holds: each name with its contents, or "-> " and its link's target.
[[nodiscard]] std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

} // namespace tryzone
