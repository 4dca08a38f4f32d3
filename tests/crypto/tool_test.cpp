// The container reader tool on containers the library's own code wrote.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/wait.h>
#include <unistd.h>

#include "crypto/container.h"
#include "crypto/padding.h"
#include "oracles.h"

namespace fs = std::filesystem;
using dk::test::Bytes;

namespace {

class Tool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("dkcontainer-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    static void Write(const std::string& path, const Bytes& b) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static int Run(const std::string& args) {
        const int status = std::system((std::string(DKCONTAINER) + " " + args + " 2>/dev/null").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static Bytes Sealed(const Bytes& content) {
        std::mt19937 rng(static_cast<unsigned>(content.size()));
        dk::crypto::ContainerKey key;
        for (auto& k : key) k = static_cast<std::uint8_t>(rng());
        Bytes box(dk::crypto::kContainerHeader + dk::crypto::PaddedLength(content.size()));
        std::copy(content.begin(), content.end(), box.begin() + dk::crypto::kContainerHeader);
        dk::crypto::SealContainer(box.data(), box.size(), key);
        return box;
    }

    fs::path dir_;
};

TEST_F(Tool, WritesTheContentWithOrWithoutPadding) {
    std::mt19937 rng(31);
    for (std::size_t n : {0u, 1u, 32u, 45u, 100000u}) {
        SCOPED_TRACE(n);
        Bytes content = dk::test::RandomBytes(rng, n);
        if (n) content.back() = 0x7F;  // so that stripping stops at the content's end
        Write(Path("box"), Sealed(content));
        ASSERT_EQ(Run(Path("box") + " " + Path("out")), 0);
        Bytes padded = content;
        padded.resize(dk::crypto::PaddedLength(n));
        EXPECT_EQ(Read(Path("out")), padded);
        ASSERT_EQ(Run("--strip " + Path("box") + " > " + Path("stdout")), 0);
        EXPECT_EQ(Read(Path("stdout")), content);
    }
}

TEST_F(Tool, RefusesWhatIsNotAContainer) {
    std::mt19937 rng(32);
    Write(Path("plain"), dk::test::RandomBytes(rng, 52));
    EXPECT_EQ(Run(Path("plain") + " " + Path("out")), 1);
    EXPECT_FALSE(fs::exists(Path("out")));
    Bytes damaged = Sealed(dk::test::RandomBytes(rng, 40));
    damaged[7] ^= 1;
    Write(Path("damaged"), damaged);
    EXPECT_EQ(Run("--check " + Path("damaged")), 1);
    Write(Path("good"), Sealed(dk::test::RandomBytes(rng, 40)));
    EXPECT_EQ(Run("--check " + Path("good")), 0);
    EXPECT_EQ(Run(Path("missing")), 2);
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(Run("--bogus " + Path("good")), 2);
}

}  // namespace
