// A fresh folder of the system's temporary folder for a test's files; it
// goes, with everything in it, when the object does.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

struct ScratchDir {
    std::string path;  // empty when the folder could not be made

    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sundown-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }
};
