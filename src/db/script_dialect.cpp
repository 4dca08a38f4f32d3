#include "db/script_dialect.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace dk::db {
namespace {

constexpr std::string_view kBlockOpen = "/*";
constexpr std::string_view kBlockClose = "*/";
constexpr std::string_view kStatementEndMarker = "$END_STATEMENT$";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr bool IsSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
constexpr char Fold(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool EqualNoCase(const char* a, std::string_view b) noexcept {
    for (std::size_t i = 0; i < b.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

// First position >= from where needle (non-empty) occurs in any letter case, or npos. The first
// byte is located with memchr (both cases for a letter), which keeps the common no-match scan fast.
class FoldFinder {
public:
    explicit FoldFinder(std::string_view needle) noexcept
        : needle_(needle), upper_(Fold(needle[0])), lower_(ToLower(upper_)) {}

    std::size_t Find(std::string_view hay, std::size_t from) noexcept {
        const std::size_t n = needle_.size();
        if (hay.size() < n) return std::string_view::npos;
        const std::size_t last = hay.size() - n;  // last start that fits
        while (from <= last) {
            std::size_t p = NextFirst(hay, from, last);
            if (p == std::string_view::npos) return p;
            if (EqualNoCase(hay.data() + p + 1, needle_.substr(1))) return p;
            from = p + 1;
        }
        return std::string_view::npos;
    }

private:
    static constexpr char ToLower(char c) noexcept {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    static std::size_t Chr(std::string_view hay, std::size_t from, std::size_t last, char c) noexcept {
        const void* p = std::memchr(hay.data() + from, c, last - from + 1);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - hay.data())
                 : std::string_view::npos;
    }
    // Next start candidate in [from, last]. For a letter the next position of each case is kept
    // between calls, so a frequent case never makes the search for the rare one start over.
    std::size_t NextFirst(std::string_view hay, std::size_t from, std::size_t last) noexcept {
        if (upper_ == lower_) return Chr(hay, from, last, upper_);
        if (hay.data() != hay_) {
            hay_ = hay.data();
            next_upper_ = next_lower_ = kUnknown;
        }
        if (next_upper_ == kUnknown || (next_upper_ != std::string_view::npos && next_upper_ < from))
            next_upper_ = Chr(hay, from, last, upper_);
        if (next_lower_ == kUnknown || (next_lower_ != std::string_view::npos && next_lower_ < from))
            next_lower_ = Chr(hay, from, last, lower_);
        return std::min(next_upper_, next_lower_);
    }

    static constexpr std::size_t kUnknown = std::string_view::npos - 1;
    std::string_view needle_;
    char upper_;
    char lower_;
    const char* hay_ = nullptr;
    std::size_t next_upper_ = kUnknown;
    std::size_t next_lower_ = kUnknown;
};

// Overwrites every occurrence of marker with blanks; true when there was one.
bool BlankOut(std::string& text, std::string_view marker) {
    FoldFinder finder(marker);
    bool found = false;
    for (std::size_t p = finder.Find(text, 0); p != std::string_view::npos; p = finder.Find(text, p)) {
        text.replace(p, marker.size(), marker.size(), ' ');
        found = true;
        p += marker.size();
    }
    return found;
}

struct Placeholder {
    std::string_view token;
    std::string_view access;
    std::string_view sqlserver;
    std::string_view mysql;  // empty: stays in the text
};
constexpr Placeholder kPlaceholders[] = {
    {"[[[CRLF]]]", "chr(13) + chr(10)", "char(13) + char(10)", "'\\r\\n'"},
    {"[[[LIKE]]]", "=", "LIKE", "LIKE"},
    {"$END_ROW$", "", "", ";"},
};

}  // namespace

std::string ScriptTextFromBytes(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    text.reserve(bytes.size() + 1);
    text.append(bytes);
    text.push_back(' ');
    return text;
}

std::optional<std::string> LoadScriptText(const char* path) {
    if (!path) return std::nullopt;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[64 * 1024];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) bytes.append(chunk, n);
    return ScriptTextFromBytes(bytes);
}

void StripBlockComments(std::string& text) {
    // Copying forward within the buffer: what is kept never moves more than once.
    std::string_view in(text);
    std::size_t write = 0;
    std::size_t read = 0;
    for (;;) {
        std::size_t open = in.find(kBlockOpen, read);
        std::size_t keep_end = open == std::string_view::npos ? in.size() : open;
        if (write != read) std::memmove(text.data() + write, text.data() + read, keep_end - read);
        write += keep_end - read;
        if (open == std::string_view::npos) break;
        // The close is looked for from the opening asterisk: "/*/" is a whole comment.
        std::size_t close = in.find(kBlockClose, open + 1);
        if (close == std::string_view::npos) break;
        read = close + kBlockClose.size();
    }
    text.resize(write);
}

int ConvertStatementEnds(std::string& text, int dialect) {
    std::string_view end;
    if (dialect == kSqlServer)
        end = "\nGO\n";
    else if (dialect == kMySql)
        end = ";\n";
    else
        return 0;
    FoldFinder finder(kStatementEndMarker);
    const std::string_view in(text);
    std::size_t write = 0;
    std::size_t read = 0;
    int count = 0;
    for (std::size_t marker; (marker = finder.Find(in, read)) != std::string_view::npos;) {
        if (write != read) std::memmove(text.data() + write, text.data() + read, marker - read);
        write += marker - read;
        // The white space before the marker goes, also a line end written for an earlier one.
        while (write > 0 && IsSpace(text[write - 1])) --write;
        std::memcpy(text.data() + write, end.data(), end.size());
        write += end.size();
        read = marker + kStatementEndMarker.size();
        ++count;
    }
    if (write != read) std::memmove(text.data() + write, text.data() + read, text.size() - read);
    text.resize(write + (text.size() - read));
    return count;
}

bool IsBatchSeparator(std::string_view text, std::size_t pos) {
    if (pos + 2 > text.size()) return false;
    if (pos > 0 && !IsSpace(text[pos - 1])) return false;
    for (std::size_t i = pos + 2; i < text.size() && text[i] != '\n'; ++i)
        if (!IsSpace(text[i])) return false;
    return true;
}

bool IsStatementEnd(std::string_view text, std::size_t pos) {
    if (pos == 0 || pos >= text.size() || IsSpace(text[pos - 1])) return false;
    for (std::size_t i = pos + 1; i < text.size() && text[i] != '\n'; ++i)
        if (!IsSpace(text[i])) return false;
    return true;
}

std::string ReplaceAllNoCase(std::string text, std::string_view search, std::string_view replacement) {
    if (search.empty()) return text;
    FoldFinder finder(search);
    const std::size_t first = finder.Find(text, 0);
    if (first == std::string_view::npos) return text;

    std::string out;
    out.reserve(text.size() + (replacement.size() > search.size() ? text.size() / 4 : 0));
    out.append(text, 0, first);
    if (FoldFinder(search).Find(replacement, 0) != std::string_view::npos) {
        // The restart-from-the-start rule would never end here; one pass is the sane reading.
        std::size_t read = first;
        for (std::size_t p = first; p != std::string_view::npos; p = finder.Find(text, read)) {
            out.append(text, read, p - read);
            out.append(replacement);
            read = p + search.size();
        }
        out.append(text, read, std::string::npos);
        return out;
    }

    // Bytes go to out one by one; the moment out ends in the search text, that occurrence is the
    // leftmost one of the whole text (all occurrences have the same length, and out held none
    // before), so it is replaced, and the replacement is read again ahead of the rest: it may join
    // with what stands before or after it into a new occurrence, exactly as a search from the start
    // of the rewritten text would find.
    const char last = Fold(search.back());
    std::string pending;  // bytes to read before the rest of text, in reverse order
    std::size_t read = first;
    for (;;) {
        char c;
        if (!pending.empty()) {
            c = pending.back();
            pending.pop_back();
        } else if (read < text.size()) {
            c = text[read++];
        } else {
            break;
        }
        out.push_back(c);
        if (Fold(c) == last && out.size() >= search.size() &&
            EqualNoCase(out.data() + out.size() - search.size(), search)) {
            out.resize(out.size() - search.size());
            pending.append(replacement.rbegin(), replacement.rend());
        }
    }
    return out;
}

int RewriteForDialect(std::optional<std::string_view> statement, std::string& out, int dialect) {
    out.clear();
    if (!statement) return kRewriteAbsent;
    if (dialect != kAccess && dialect != kSqlServer && dialect != kMySql) return kRewriteBadDialect;
    std::string text(*statement);
    for (const Placeholder& p : kPlaceholders) {
        std::string_view with = dialect == kAccess ? p.access : dialect == kSqlServer ? p.sqlserver : p.mysql;
        if (!with.empty()) text = ReplaceAllNoCase(std::move(text), p.token, with);
    }
    int belongs = dialect;
    if (BlankOut(text, "$SQL_ONLY$")) belongs = kSqlServer;
    if (BlankOut(text, "$ACCESS_ONLY$")) belongs = kAccess;
    if (BlankOut(text, "$MYSQL_ONLY$")) belongs = kMySql;
    out = std::move(text);
    return belongs;
}

std::string_view TrimView(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    return text.substr(b, e - b);
}

std::vector<std::string_view> SplitAtBatchSeparators(std::string_view text) {
    std::vector<std::string_view> statements;
    FoldFinder finder("GO");
    std::size_t start = 0;
    for (std::size_t go = finder.Find(text, 0); go != std::string_view::npos;
         go = finder.Find(text, go + 2)) {
        if (!IsBatchSeparator(text, go)) continue;
        statements.push_back(TrimView(text.substr(start, go - start)));
        start = go + 2;
    }
    return statements;
}

namespace {

// Calls visit with each statement, trimmed, without collecting them first.
template <class Visit>
void ForEachStatementEnd(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    // After every ';' the search resumes two characters on, accepted or not; the text may end
    // right after a ';' (an unclosed comment cut it there), so the positions stop at its end.
    for (std::size_t end = text.find(';'); end != std::string_view::npos;
         end = end + 2 < text.size() ? text.find(';', end + 2) : std::string_view::npos) {
        if (!IsStatementEnd(text, end)) continue;
        visit(TrimView(text.substr(start, end + 1 - start)));
        start = std::min(end + 2, text.size());
    }
}

}  // namespace

std::vector<std::string_view> SplitAtStatementEnds(std::string_view text) {
    std::vector<std::string_view> statements;
    ForEachStatementEnd(text, [&](std::string_view statement) { statements.push_back(statement); });
    return statements;
}

std::vector<std::string> PrepareMySqlScript(std::string text) {
    StripBlockComments(text);
    ConvertStatementEnds(text, kMySql);
    std::vector<std::string> prepared;
    std::string rewritten;
    ForEachStatementEnd(text, [&](std::string_view statement) {
        if (RewriteForDialect(statement, rewritten, kMySql) == kMySql)
            prepared.push_back(std::move(rewritten));
    });
    return prepared;
}

}  // namespace dk::db
