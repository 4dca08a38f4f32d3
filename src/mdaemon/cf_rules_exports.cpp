#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "deploykit.h"
#include "frame/result.h"
#include "frame/win/raii.h"
#include "mdaemon/cf_rules.h"
#include "mdaemon/mduser.h"

namespace dk::mdaemon {

namespace {

// The rules file as MD_GetDBPath reports it; empty when it reports nothing usable.
std::string RulesFilePath() {
    char buffer[kMDUserPathBuffer] = {};
    MDGetDBPath(buffer, kContentFilterRules);
    buffer[sizeof buffer - 1] = '\0';
    return IsFullPath(buffer) ? std::string(buffer) : std::string();
}

// Tells MDaemon to reload its rules: an empty "cfilter.sem" in its application folder. A
// semaphore that cannot be created is skipped.
void SignalRulesChanged() {
    char folder[kMDUserPathBuffer] = {};
    MDGetAppDir(folder, kAppDirSize);
    folder[sizeof folder - 1] = '\0';
    const std::string path = std::string(folder) + "cfilter.sem";
    win::unique_file semaphore(std::fopen(path.c_str(), "wb"));
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    win::unique_file file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    char chunk[16384];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, n);
    return !std::ferror(file.get());
}

// Deletes the temporary rules file on every path that does not move it over the rules file.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (owned_) DeleteFileA(path_.c_str());
    }
    const char* path() const { return path_.c_str(); }
    // Starts it empty, whatever an earlier run left under its name.
    bool CreateEmpty() {
        win::unique_hfile file(
            CreateFileA(path(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        owned_ = static_cast<bool>(file);
        return owned_;
    }
    void Release() { owned_ = false; }

private:
    std::string path_;
    bool owned_ = false;
};

int CreateRule(const char* folder, const char* rule_name) {
    if (!RuleInputsAcceptable(folder, rule_name)) return -4;
    MDUserBinding binding;
    if (!binding.bound()) return -binding.status();

    const std::string rules = RulesFilePath();
    std::string content;
    if (rules.empty() || !ReadWholeFile(rules, content)) return -1;

    // The new rules file is built completely beside the old one, which stays untouched until
    // the finished file replaces it in one step.
    TemporaryFile temporary(rules + ".qiv");
    if (!temporary.CreateEmpty()) return -2;
    const std::string action = ActionText(folder);
    const std::pair<const char*, const char*> keys[] = {
        {"RuleName", rule_name},      {"Enable", "Yes"},
        {"ThisRuleCondition", "All"}, {"Condition01", "body|all message|AND|"},
        {"ProcessQueue", "BOTH"},     {"Action01", action.c_str()},
    };
    for (const auto& [key, value] : keys)
        if (!WritePrivateProfileStringA(kRuleSection, key, value, temporary.path())) return -2;
    {
        win::unique_file out(std::fopen(temporary.path(), "a+b"));
        if (!out) return -2;
        const std::string rest = WithoutSection(content, kRuleSection);
        if (std::fwrite(rest.data(), 1, rest.size(), out.get()) != rest.size()) return -2;
        if (std::fclose(out.release()) != 0) return -2;
    }
    if (!ReplaceFileA(rules.c_str(), temporary.path(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr))
        return -3;
    temporary.Release();

    SignalRulesChanged();
    return 0;
}

int DisableRules() {
    MDUserBinding binding;
    if (!binding.bound()) return -binding.status();

    const std::string rules = RulesFilePath();
    if (!rules.empty()) {
        // The list is read whole: a list cut at a fixed size would leave later rules enabled.
        std::string list(4096, '\0');
        for (;;) {
            const DWORD size = static_cast<DWORD>(list.size());
            const DWORD n = GetPrivateProfileSectionNamesA(list.data(), size, rules.c_str());
            if (n + 2 < size) {
                list.resize(n);
                break;
            }
            list.assign(list.size() * 2, '\0');
        }
        for (const std::string& section : SectionNames(list))
            WritePrivateProfileStringA(section.c_str(), "Enable", "NO", rules.c_str());
    }
    SignalRulesChanged();
    return 0;
}

}  // namespace

}  // namespace dk::mdaemon

extern "C" int __cdecl createMDaemonCFRule(const char* folder, const char* rule_name) noexcept {
    return dk::guarded(-1, [&] { return dk::mdaemon::CreateRule(folder, rule_name); });
}

extern "C" int __cdecl MDaemonDisableCFRules() noexcept {
    return dk::guarded(-ERROR_NOT_ENOUGH_MEMORY, [&] { return dk::mdaemon::DisableRules(); });
}
