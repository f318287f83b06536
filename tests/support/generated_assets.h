// The asset files the build generates into its datos/ folder before any test
// runs, for the tests that check them: each test reads them there instead of
// writing them again.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/asset_reader.h"

inline std::string generated_asset(const std::string& name) {
    return std::string(SUNDOWN_BUILD_DIR) + "/datos/" + name;
}

class GeneratedAssetTest : public testing::Test {
protected:
    void SetUp() override {
        // A set that is not there is a broken build, not a reason to skip.
        ASSERT_TRUE(std::filesystem::exists(generated_asset(".complete")))
            << "datos/ has not been generated; build the datos target";
    }
    static std::string path(const std::string& name) { return generated_asset(name); }
};

// A RAW picture, checked to be exactly as long as its header promises; no
// pixels (0 by 0) when it is missing or is not.
inline RawImage read_picture(const std::string& path) {
    const std::vector<uint8_t> bytes = read_file(path);
    if (bytes.size() < RAW_HEADER_BYTES) {
        ADD_FAILURE() << path << " missing";
        return RawImage();
    }
    RawImage raw = parse_raw(bytes);
    EXPECT_EQ(bytes.size(), raw.expected_size) << path;
    return bytes.size() == raw.expected_size ? raw : RawImage();
}
