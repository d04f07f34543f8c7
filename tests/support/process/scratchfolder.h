// A folder of a test's own in the temporary folder, for what its programs keep while they run.
#pragma once

#include <string>
#include <vector>

namespace dwellmark::testing {

/// Makes a folder of its own in the temporary folder, and removes it with
/// everything in it when the object goes. The programs that write there
/// must have ended by then; files that they leave to processes ending on
/// their own are waited for, within a limit that only catches a hang.
class ScratchFolder final {
public:
    /// Makes TMPDIR/NAME-XXXXXX; check made().
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool made() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }

    /// Makes the folder at the relative path (and its parents) and returns its
    /// absolute path; ownerOnly leaves it to its owner alone, as a runtime
    /// folder must be.
    std::string makeFolder(const std::string& relative, bool ownerOnly = false) const;

    /// Makes a home of the folder's own (runtime, home, cache, data and
    /// config folders) and returns the environment entries that lead a
    /// program's files there instead of into the user's home folder.
    std::vector<std::string> privateHome() const;

private:
    std::string m_path;
};

} // namespace dwellmark::testing
