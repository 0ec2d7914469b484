#pragma once
// A test fixture with a fresh folder of its own, removed after each test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

class CTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        folder = std::filesystem::temp_directory_path() /
                 ("orvex-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // Path of `name` inside the folder.
    std::string P(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};
