// A folder of a test's own in the temporary folder, for what its programs keep while they run.
#include "scratchfolder.h"

#include "childprocess.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace dwellmark::testing {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& name) {
    std::string pattern = fs::temp_directory_path() / (name + "-XXXXXX");
    if (mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

ScratchFolder::~ScratchFolder() {
    if (m_path.empty()) {
        return;
    }
    eventually(
        [&] {
            std::error_code ignored;
            fs::remove_all(m_path, ignored);
            return !fs::exists(m_path, ignored);
        },
        std::chrono::seconds(30));
}

std::string ScratchFolder::makeFolder(const std::string& relative, bool ownerOnly) const {
    const std::string folder = m_path + "/" + relative;
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    if (ownerOnly) {
        chmod(folder.c_str(), 0700);
    }
    return folder;
}

std::vector<std::string> ScratchFolder::privateHome() const {
    return {"XDG_RUNTIME_DIR=" + makeFolder("runtime", true), "HOME=" + makeFolder("home"),
            "XDG_CACHE_HOME=" + makeFolder("home/.cache"), "XDG_DATA_HOME=" + makeFolder("data"),
            "XDG_CONFIG_HOME=" + makeFolder("config")};
}

} // namespace dwellmark::testing
