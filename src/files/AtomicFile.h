#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace tryzone
{

// Who owns a file and who may read it; a replacement takes these over from the file it replaces.
struct FileAccess
{
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// A new version of a file, written beside it under a hidden temporary name no other writer shares
// (".results.json.XXXXXX"), then put in its place in one step, so that a crash at any moment leaves either the old
// file or the new one whole. The temporary takes the access of the file it replaces (its mode and, where the
// process may set them, owner and group), or the usual mode under the umask when there is none. A temporary never
// committed is removed with the object. Failures are errno values, 0 being success: callers word their own lines.
class AtomicFile
{
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary beside target, which must be a regular file or nothing yet (EISDIR for a folder,
    // EEXIST for anything else). `like` gives the access to take instead of the replaced file's.
    [[nodiscard]] int Open(const std::filesystem::path& target, std::optional<FileAccess> like = std::nullopt);

    [[nodiscard]] int Descriptor() const { return descriptor; }
    [[nodiscard]] const std::filesystem::path& Target() const { return target; }
    // The file being written; empty once committed or discarded.
    [[nodiscard]] const std::filesystem::path& Temporary() const { return temporary; }

    // Makes the data reach the disk and closes the temporary, ready to take the target's name.
    [[nodiscard]] int Finish();
    // Finish, then the rename over the target and a flush of the folder that makes the rename durable.
    [[nodiscard]] int Commit();
    // Closes and removes the temporary; the target stays as it was.
    void Discard();

private:
    friend struct AtomicGroup;

    std::filesystem::path target;
    std::filesystem::path temporary;
    int descriptor = -1;
};

// The one that failed when several files are committed together, and why.
struct GroupFailure
{
    std::size_t index = 0;
    int error = 0;
};

// Commits finished files together: every one takes its target's name, or none does. The files replaced are kept
// under a second name until the last rename has succeeded, and put back if one fails.
struct AtomicGroup
{
    [[nodiscard]] static std::optional<GroupFailure> CommitAll(const std::vector<AtomicFile*>& files);
};

// Writes target anew through fill (given the open descriptor) and commits it; false when any step fails, the
// target then left as it was. Anything at target other than a regular file is refused.
[[nodiscard]] bool ReplaceFile(const std::filesystem::path& target, const std::function<bool(int descriptor)>& fill,
                               std::optional<FileAccess> like = std::nullopt);

} // namespace tryzone
