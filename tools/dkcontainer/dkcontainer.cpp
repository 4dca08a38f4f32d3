// Reads an encrypted file container back: checks the key's CRC and writes the content.
//
//   dkcontainer [--check] [--strip] FILE [OUT]
//
// Without OUT the content goes to standard output. The container does not record the content's
// length, so the zero padding (up to 31 bytes) is part of what comes out unless --strip removes
// every trailing zero byte. --check only checks the header. Exit codes: 0 read, 1 not a container,
// 2 usage or file error.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "crypto/container.h"

namespace {

int Usage() {
    std::fputs("usage: dkcontainer [--check] [--strip] FILE [OUT]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool checkOnly = false, strip = false;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0) {
            checkOnly = true;
        } else if (std::strcmp(argv[i], "--strip") == 0) {
            strip = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return Usage();
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty() || paths.size() > 2) return Usage();

    // One buffer of the file's size, read in place: the reader handles files as large as the
    // library writes.
    std::ifstream in(paths[0], std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    std::vector<std::uint8_t> bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
    if (size < 0 || !in.seekg(0) || !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        std::fprintf(stderr, "dkcontainer: cannot read %s\n", paths[0]);
        return 2;
    }
    if (!dk::crypto::OpenContainer(bytes.data(), bytes.size())) {
        std::fprintf(
            stderr,
            "dkcontainer: %s is not a container (%zu bytes; the key CRC or the length does not fit)\n",
            paths[0], bytes.size());
        return 1;
    }
    std::size_t end = bytes.size();
    if (strip)
        while (end > dk::crypto::kContainerHeader && bytes[end - 1] == 0) --end;
    const std::size_t count = end - dk::crypto::kContainerHeader;
    std::fprintf(stderr, "dkcontainer: key CRC %02X%02X%02X%02X checks, rotation %u, %zu content bytes%s\n",
                 bytes[0], bytes[1], bytes[2], bytes[3], bytes[2] & 7u, count, strip ? "" : " with padding");
    if (checkOnly) return 0;

    const char* data = reinterpret_cast<const char*>(bytes.data() + dk::crypto::kContainerHeader);
    if (paths.size() == 2) {
        std::ofstream out(paths[1], std::ios::binary | std::ios::trunc);
        if (!out.write(data, static_cast<std::streamsize>(count)) || !out.flush()) {
            std::fprintf(stderr, "dkcontainer: cannot write %s\n", paths[1]);
            return 2;
        }
        return 0;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (std::fwrite(data, 1, count, stdout) != count || std::fflush(stdout) != 0) return 2;
    return 0;
}
