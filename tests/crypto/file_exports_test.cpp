// cryptFile through the DLL and the container writer it shares with the configuration file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "crypto/container.h"
#include "crypto/container_file.h"
#include "crypto/padding.h"
#include "frame/win/raii.h"
#include "support/dk_test.h"

namespace {

using dk::test::ReadFile;
using dk::test::WriteFile;

std::string Content(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + 7) & 0xFF);
    return s;
}

// The files in a folder: a failed replace must leave no temporary file behind.
std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, ".."))
            names.push_back(found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

// What a reader gets back from the container file at path: the content and its zero padding.
std::string Opened(const std::string& path) {
    std::string bytes = ReadFile(path);
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    if (!dk::crypto::OpenContainer(p, bytes.size())) return "(not a container)";
    return bytes.substr(dk::crypto::kContainerHeader);
}

class CryptFile : public ::testing::Test {
protected:
    dk::test::Library lib;
    DK_PFN_cryptFile cryptFile = lib.get<DK_PFN_cryptFile>("cryptFile");
    dk::test::TempDir dir;
};

TEST_F(CryptFile, SizesAndContent) {
    struct Case {
        std::size_t content, container;
    };
    const Case cases[] = {{0, 20}, {1, 52}, {32, 52}, {33, 84}, {65504, 65524}, {200000, 200020}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string path = dir / "file.bin", content = Content(c.content);
        WriteFile(path, content);
        ASSERT_EQ(cryptFile(path.c_str()), 2);
        EXPECT_EQ(ReadFile(path).size(), c.container);
        std::string padded = content;
        padded.resize(dk::crypto::PaddedLength(c.content), '\0');
        EXPECT_EQ(Opened(path), padded);
    }
}

// A container is recognised by the layout the writer produces, so a second run keeps it.
TEST_F(CryptFile, SecondRunKeepsTheContainer) {
    const std::string path = dir / "twice.txt";
    WriteFile(path, "connection=secret\r\n");
    ASSERT_EQ(cryptFile(path.c_str()), 2);
    const std::string once = ReadFile(path);
    EXPECT_EQ(cryptFile(path.c_str()), 1);
    EXPECT_EQ(ReadFile(path), once);
}

TEST_F(CryptFile, UnreadablePaths) {
    const std::string missing = dir / "missing.txt";
    EXPECT_EQ(cryptFile(missing.c_str()), -1);
    EXPECT_FALSE(dk::test::FileExists(missing));
    EXPECT_EQ(cryptFile(dir.path().c_str()), -1);
    EXPECT_EQ(cryptFile(""), -1);
    EXPECT_EQ(cryptFile(nullptr), -1);
    EXPECT_TRUE(Listing(dir.path()).empty());
}

// Targets that cannot be replaced: the file stays byte for byte and no temporary file remains.
TEST_F(CryptFile, TargetThatCannotBeReplaced) {
    const std::string path = dir / "kept.txt", content = Content(100);
    WriteFile(path, content);
    {
        // Another process reads it and shares no write access.
        dk::win::unique_hfile reader(
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_EQ(cryptFile(path.c_str()), -2);
    }
    EXPECT_EQ(ReadFile(path), content);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(cryptFile(path.c_str()), -2);
    EXPECT_EQ(ReadFile(path), content);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"kept.txt"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CryptFile, RecognisedButReadOnlyGivesMinusOne) {
    const std::string path = dir / "box.bin";
    WriteFile(path, Content(40));
    ASSERT_EQ(cryptFile(path.c_str()), 2);
    const std::string container = ReadFile(path);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(cryptFile(path.c_str()), -1);
    EXPECT_EQ(ReadFile(path), container);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file too large to hold in memory (here 5 GiB, sparse): refused before anything is read.
TEST_F(CryptFile, HugeFileIsRefused) {
    const std::string path = dir / "huge.bin";
    {
        dk::win::unique_hfile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER size;
        size.QuadPart = 5LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    EXPECT_EQ(cryptFile(path.c_str()), -1);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeHigh, 5u / 4u);
    EXPECT_EQ(data.nFileSizeLow, (5u << 30) & 0xFFFFFFFFu);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"huge.bin"});
}

// The container the DLL writes, read back by the support engineers' tool.
TEST_F(CryptFile, ReaderToolGetsTheContentBack) {
    const std::string path = dir / "settings.ini", out = dir / "settings.out";
    WriteFile(path, "[db]\r\npassword=hunter2\r\n");
    ASSERT_EQ(cryptFile(path.c_str()), 2);
    std::string command =
        "\"" + dk::test::BinDir() + "\\dkcontainer.exe\" --strip \"" + path + "\" \"" + out + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &si, &pi));
    dk::win::unique_handle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadFile(out), "[db]\r\npassword=hunter2\r\n");
}

class WriteContainer : public ::testing::Test {
protected:
    dk::test::TempDir dir;
};

TEST_F(WriteContainer, NewFileExistingFileAndLength) {
    const std::string fresh = dir / "new.cfg", existing = dir / "old.cfg";
    const std::string content = Content(70);
    std::size_t length = content.size();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(bytes, length, fresh.c_str()), 2);
    EXPECT_EQ(length, 20u + 96u);
    EXPECT_EQ(Opened(fresh).substr(0, 70), content);

    WriteFile(existing, std::string(5000, 'x'));
    length = content.size();
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(bytes, length, existing.c_str()), 2);
    EXPECT_EQ(ReadFile(existing).size(), length);
    EXPECT_EQ(Opened(existing).substr(0, 70), content);

    // Content that already is a container is written as it is.
    const std::string container = ReadFile(existing);
    length = container.size();
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(reinterpret_cast<const std::uint8_t*>(container.data()),
                                                  length, fresh.c_str()),
              1);
    EXPECT_EQ(ReadFile(fresh), container);
    EXPECT_EQ(Listing(dir.path()).size(), 2u);
}

TEST_F(WriteContainer, FailuresLeaveTheTargetAndNoTemporaryFile) {
    const std::string target = dir / "target.cfg", folder = dir / "folder";
    WriteFile(target, "original");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string content = Content(10);
    std::size_t length = content.size();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(bytes, length, target.c_str()), -2);
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(bytes, length, folder.c_str()), -2);
    const std::string nowhere = dir / "no-such-folder\\x.cfg";
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(bytes, length, nowhere.c_str()), -2);
    EXPECT_EQ(dk::crypto::WriteEncryptedContainer(bytes, length, nullptr), -2);
    EXPECT_EQ(ReadFile(target), "original");
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"folder", "target.cfg"}));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
