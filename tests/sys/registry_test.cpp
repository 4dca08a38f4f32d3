#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "deploykit.h"
#include "support/dk_test.h"
#include "sys/registry_tree.h"
#include "test_keys.h"

namespace {

namespace reg = dk::test::reg;
using namespace std::string_literals;

struct Freed {
    void operator()(char* p) const { std::free(p); }
};
using owned = std::unique_ptr<char, Freed>;

std::string Text(const owned& p) { return p ? std::string(p.get()) : "(null)"; }

// A writable copy of a caller's string followed by bytes the export must leave alone.
class CallerString {
public:
    explicit CallerString(const std::string& text) : bytes_(text + '\0' + kGuard) {}
    char* get() { return bytes_.data(); }
    std::string text() const { return bytes_.c_str(); }
    bool guard_intact() const {
        return bytes_.compare(bytes_.size() - kGuard.size(), kGuard.size(), kGuard) == 0;
    }

private:
    static inline const std::string kGuard = "\x7FGUARD\x01"s;
    std::string bytes_;
};

class Registry : public ::testing::Test {
protected:
    void TearDown() override { reg::RemoveTree(root); }
    std::string At(const std::string& relative) const { return root + "\\" + relative; }

    const std::string root = reg::UniqueRoot();
    dk::test::Library dll;
    DK_PFN_ReadKeyValue read_value = dll.get<DK_PFN_ReadKeyValue>("ReadKeyValue");
    DK_PFN_ReadSubKeys read_subkeys = dll.get<DK_PFN_ReadSubKeys>("ReadSubKeys");
    DK_PFN_ReadSubKeysInFile read_subkeys_in_file = dll.get<DK_PFN_ReadSubKeysInFile>("ReadSubKeysInFile");
    DK_PFN_RegDeleteKeyNT delete_key = dll.get<DK_PFN_RegDeleteKeyNT>("RegDeleteKeyNT");
    DK_PFN_RenameRegistryKey rename_key = dll.get<DK_PFN_RenameRegistryKey>("RenameRegistryKey");
};

TEST_F(Registry, ReadSubKeysJoinsNamesWithCommas) {
    for (const char* name : {"C", "A", "B"}) reg::CreateKey(At("Three\\"s + name));
    reg::CreateKey(At("One\\Only"));
    reg::CreateKey(At("None"));
    reg::SetString(At("None"), "value", "not a key");
    EXPECT_EQ(Text(owned(read_subkeys(At("Three").c_str()))), "A,B,C");
    EXPECT_EQ(Text(owned(read_subkeys(At("One").c_str()))), "Only");
    EXPECT_EQ(read_subkeys(At("None").c_str()), nullptr);
    EXPECT_EQ(read_subkeys(At("Missing").c_str()), nullptr);
    EXPECT_EQ(read_subkeys(nullptr), nullptr);
}

TEST_F(Registry, ReadSubKeysInFileAppendsWithoutLineBreaks) {
    dk::test::TempDir dir;
    const std::string file = dir / "keys.txt";
    reg::CreateKey(At("Two\\A"));
    reg::CreateKey(At("Two\\B"));
    EXPECT_EQ(read_subkeys_in_file(At("Missing").c_str(), file.c_str()), 0);
    EXPECT_EQ(read_subkeys_in_file(At("Two").c_str(), file.c_str()), 0);
    EXPECT_EQ(read_subkeys_in_file(At("Two").c_str(), file.c_str()), 0);
    EXPECT_EQ(dk::test::ReadFile(file), "(null)A,BA,B");
    EXPECT_EQ(read_subkeys_in_file(At("Two").c_str(), nullptr), 0);
    EXPECT_EQ(read_subkeys_in_file(At("Two").c_str(), (dir / "no\\such\\dir.txt").c_str()), 0);
}

TEST_F(Registry, ReadKeyValueFitsFiveHundredElevenCharacters) {
    const std::string k = At("Values");
    reg::SetString(k, "fits", std::string(511, 'x'));
    reg::SetString(k, "too long", std::string(512, 'y'));
    reg::SetString(k, "expand", "%SystemRoot%\\x", REG_EXPAND_SZ);
    const std::string binary(512, '\x41');
    reg::SetValueW(reg::Wide(k), L"binary", REG_BINARY, binary.data(), 512);
    EXPECT_EQ(Text(owned(read_value(k.c_str(), "fits"))), std::string(511, 'x'));
    EXPECT_EQ(read_value(k.c_str(), "too long"), nullptr);
    EXPECT_EQ(Text(owned(read_value(k.c_str(), "expand"))), "%SystemRoot%\\x");
    // Data without a zero byte ends where the data ends.
    EXPECT_EQ(Text(owned(read_value(k.c_str(), "binary"))), binary);
    EXPECT_EQ(read_value(k.c_str(), "missing"), nullptr);
    EXPECT_EQ(read_value(At("Missing").c_str(), "fits"), nullptr);
    EXPECT_EQ(read_value(nullptr, "fits"), nullptr);
    EXPECT_EQ(read_value(k.c_str(), nullptr), nullptr);
}

TEST_F(Registry, RegDeleteKeyNTDeletesOnlyKeysWithoutSubkeys) {
    reg::CreateKey(At("Parent\\Child"));
    EXPECT_EQ(delete_key(""), 1010);
    EXPECT_EQ(delete_key(nullptr), 1010);
    EXPECT_EQ(delete_key(At("Missing").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(delete_key(At("Parent").c_str()), 0);
    EXPECT_TRUE(reg::KeyExists(At("Parent\\Child")));
    EXPECT_EQ(delete_key(At("Parent\\Child").c_str()), 0);
    EXPECT_FALSE(reg::KeyExists(At("Parent\\Child")));
    EXPECT_TRUE(reg::KeyExists(At("Parent")));
}

// App with a value of every type, data larger than 1 KiB, a long value name, names and data
// outside the ANSI code page, and nested subkeys.
void FillApp(const std::string& app) {
    const std::wstring w = reg::Wide(app);
    const wchar_t sz[] = L"hello";
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    const wchar_t expand[] = L"%SystemRoot%\\x";
    const wchar_t multi[] = L"one\0two\0";
    const DWORD dword = 0x12345678;
    const unsigned long long qword = 0x0123456789ABCDEFull;
    std::string binary(3000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
    reg::SetValueW(w, L"", REG_SZ, L"default", sizeof L"default");
    reg::SetValueW(w, L"sz", REG_SZ, sz, sizeof sz);
    reg::SetValueW(w, L"unterminated", REG_SZ, unterminated, sizeof unterminated);
    reg::SetValueW(w, L"expand", REG_EXPAND_SZ, expand, sizeof expand);
    reg::SetValueW(w, L"multi", REG_MULTI_SZ, multi, sizeof multi);
    reg::SetValueW(w, L"dword", REG_DWORD, &dword, sizeof dword);
    reg::SetValueW(w, L"qword", REG_QWORD, &qword, sizeof qword);
    reg::SetValueW(w, L"binary", REG_BINARY, binary.data(), static_cast<DWORD>(binary.size()));
    reg::SetValueW(w, L"empty", REG_BINARY, nullptr, 0);
    reg::SetValueW(w, std::wstring(300, L'n'), REG_SZ, sz, sizeof sz);
    reg::SetValueW(w, L"\x041F\x0440\x0438\x0432\x0435\x0442", REG_SZ, L"\x041A\x043B\x044E\x0447",
                   sizeof L"\x041A\x043B\x044E\x0447");
    reg::SetValueW(w + L"\\Sub1", L"inner", REG_DWORD, &dword, sizeof dword);
    reg::SetValueW(w + L"\\Sub1\\Deep", L"deeper", REG_QWORD, &qword, sizeof qword);
    reg::CreateKeyW(w + L"\\Sub2");
    reg::CreateKeyW(w + L"\\\x041A\x043B\x044E\x0447");
}

TEST_F(Registry, RenameRegistryKeyMovesTheWholeTreeByteForByte) {
    const std::string app = At("Old\\App");
    FillApp(app);
    const reg::Tree before = reg::Snapshot(app);
    ASSERT_EQ(before.size(), 5u);
    CallerString old_key(app), new_key(At("New\\App"));
    EXPECT_EQ(rename_key(2, old_key.get(), new_key.get()), 0);
    EXPECT_EQ(reg::Snapshot(At("New\\App")), before);
    EXPECT_FALSE(reg::KeyExists(app));
    EXPECT_FALSE(reg::KeyExists(At("Old")));  // left empty, so removed too
    EXPECT_EQ(old_key.text(), At("Old"));
    EXPECT_EQ(new_key.text(), At("New"));
    EXPECT_TRUE(old_key.guard_intact());
    EXPECT_TRUE(new_key.guard_intact());
}

TEST_F(Registry, RenameRegistryKeyKeepsAnOldParentThatStillHoldsSomething) {
    reg::SetString(At("WithValue\\App"), "v", "1");
    reg::SetString(At("WithValue"), "keep", "me");
    reg::SetString(At("WithKey\\App"), "v", "1");
    reg::CreateKey(At("WithKey\\Other"));
    for (const char* parent : {"WithValue", "WithKey"}) {
        SCOPED_TRACE(parent);
        CallerString old_key(At(parent + "\\App"s)), new_key(At("Moved\\"s + parent));
        EXPECT_EQ(rename_key(2, old_key.get(), new_key.get()), 0);
        EXPECT_TRUE(reg::KeyExists(At(parent)));
        EXPECT_FALSE(reg::KeyExists(At(parent + "\\App"s)));
        EXPECT_TRUE(reg::KeyExists(At("Moved\\"s + parent)));
    }
}

TEST_F(Registry, RenameRegistryKeyHandlesPathsLongerThanAnyFixedBuffer) {
    const std::string deep =
        std::string(200, 'a') + "\\" + std::string(200, 'b') + "\\" + std::string(200, 'c');
    reg::SetString(At("Old\\" + deep + "\\App"), "v", "1");
    CallerString old_key(At("Old\\" + deep + "\\App")), new_key(At("New\\" + deep + "\\App"));
    EXPECT_EQ(rename_key(2, old_key.get(), new_key.get()), 0);
    EXPECT_TRUE(reg::KeyExists(At("New\\" + deep + "\\App")));
    EXPECT_EQ(old_key.text(), At("Old\\" + deep));
    EXPECT_EQ(new_key.text(), At("New\\" + deep));
    EXPECT_TRUE(old_key.guard_intact());
    EXPECT_TRUE(new_key.guard_intact());
}

TEST_F(Registry, RenameRegistryKeyArgumentChecksChangeNothing) {
    reg::SetString(At("Old\\App"), "v", "1");
    const reg::Tree before = reg::Snapshot(root);
    struct Case {
        int root;
        std::string old_key, new_key;
        int want;
        std::string new_after;  // the caller's new key afterwards
    };
    const Case cases[] = {
        {1, At("Old\\App"), At("New\\App"), -1, At("New\\App")},
        {2, At("Old\\App"), "NoBackslash", -2, "NoBackslash"},
        {2, "", At("New\\App"), ERROR_INVALID_PARAMETER, At("New")},
        {2, At("Old\\App"), At("New\\"), ERROR_INVALID_PARAMETER, At("New")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.old_key + " -> " + c.new_key);
        CallerString old_key(c.old_key), new_key(c.new_key);
        EXPECT_EQ(rename_key(c.root, old_key.get(), new_key.get()), c.want);
        EXPECT_EQ(old_key.text(), c.old_key);
        EXPECT_EQ(new_key.text(), c.new_after);
        EXPECT_EQ(reg::Snapshot(root), before);
    }
    CallerString new_key(At("New\\App"));
    EXPECT_EQ(rename_key(2, nullptr, new_key.get()), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(rename_key(2, new_key.get(), nullptr), -2);
    EXPECT_EQ(reg::Snapshot(root), before);
}

TEST_F(Registry, RenameRegistryKeyOfAMissingKeyCreatesNothing) {
    reg::CreateKey(At("Present"));
    CallerString old_key(At("Missing\\App")), new_key(At("New\\Parent\\App"));
    EXPECT_EQ(rename_key(2, old_key.get(), new_key.get()), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reg::KeyExists(At("New")));
    EXPECT_EQ(old_key.text(), At("Missing\\App"));
}

TEST_F(Registry, RenameRegistryKeyRefusesItselfAndItsOwnSubtree) {
    FillApp(At("Old\\App"));
    const reg::Tree before = reg::Snapshot(root);
    std::string upper = At("OLD\\APP");
    ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    for (const std::string& target : {At("Old\\App"), upper, At("old\\app\\"), At("Old\\App\\Inner"),
                                      At("Old\\App\\Sub1\\Deep\\Deeper"), At("old\\APP\\sub1")}) {
        SCOPED_TRACE(target);
        CallerString old_key(At("Old\\App")), new_key(target);
        EXPECT_EQ(rename_key(2, old_key.get(), new_key.get()), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(reg::Snapshot(root), before);
        EXPECT_EQ(old_key.text(), At("Old\\App"));
    }
    // One buffer for both keys is the same key too.
    CallerString both(At("Old\\App"));
    EXPECT_EQ(rename_key(2, both.get(), both.get()), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(reg::Snapshot(root), before);
}

TEST_F(Registry, RenameRegistryKeyUndoesACopyThatFailsHalfWay) {
    // Sub2 sorts after Sub1: the copy has written App, its values and Sub1 when it finds it
    // cannot open Sub2 for full access.
    FillApp(At("Old\\App"));
    reg::MakeReadOnly(At("Old\\App\\Sub2"));
    reg::SetString(At("Existing"), "mine", "stays");
    const reg::Tree before = reg::Snapshot(root);
    for (const char* target : {"New\\Parent\\App", "Existing\\App"}) {
        SCOPED_TRACE(target);
        CallerString old_key(At("Old\\App")), new_key(At(target));
        EXPECT_EQ(rename_key(2, old_key.get(), new_key.get()), ERROR_ACCESS_DENIED);
        EXPECT_EQ(reg::Snapshot(root), before);
        EXPECT_FALSE(reg::KeyExists(At("New")));
    }
}

TEST_F(Registry, DeleteKeyTreeAndDeleteIfNoValues) {
    reg::CreateKey(At("Tree\\a\\b\\c"));
    reg::CreateKey(At("Tree\\d"));
    reg::SetString(At("Tree\\a\\b"), "v", "1");
    EXPECT_TRUE(dk::sys::DeleteKeyTree(HKEY_LOCAL_MACHINE, At("Tree").c_str()));
    EXPECT_FALSE(reg::KeyExists(At("Tree")));
    EXPECT_TRUE(dk::sys::DeleteKeyTree(HKEY_LOCAL_MACHINE, At("Tree").c_str()));  // not found: gone

    reg::SetString(At("Valued"), "v", "1");
    reg::CreateKey(At("Bare"));
    reg::CreateKey(At("Parent\\Child"));
    for (const char* k : {"Valued", "Bare", "Parent", "Missing"})
        dk::sys::DeleteIfNoValues(HKEY_LOCAL_MACHINE, At(k).c_str());
    EXPECT_TRUE(reg::KeyExists(At("Valued")));
    EXPECT_FALSE(reg::KeyExists(At("Bare")));
    EXPECT_TRUE(reg::KeyExists(At("Parent")));
}

}  // namespace
